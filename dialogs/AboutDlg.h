#pragma once
// The about box: the program's name, version, build line and icon, centred on
// the screen. Enter (the OK button) and the close box close it; Escape does
// not, as it has no cancel button. It reads and writes no settings.

#include "ui/Form.h"

#include <string>
#include <utility>

namespace kp::dialogs {

class TAboutBox {
public:
    // iconId: the program's icon resource.
    explicit TAboutBox(int iconId) : iconId_(iconId) {}

    ui::FormSpec Spec() const;
    ui::ModalResult ShowModal(ui::FormService& forms) { return forms.ShowModal(Spec()); }

private:
    int iconId_;
};

}  // namespace kp::dialogs
