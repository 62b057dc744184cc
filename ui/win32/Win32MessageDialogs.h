#pragma once
// Our own message dialog on Win32, the same on every system: built at run
// time from an in-memory dialog template in "MS UI Gothic" 9 pt, sized to its
// text, with the kind's icon and the buttons Yes, No, OK, Cancel (as present)
// under the text. It keeps the ids of the platform's message box (class
// "#32770", text in the static 0xFFFF, buttons IDYES 6, IDNO 7, IDOK 1,
// IDCANCEL 2), so tools that handle message boxes handle it too.
//
// Keys: Enter presses the default (first) button; Esc and the close box
// answer Cancel where there is one, else No, else OK; "Y" and "N" (with or
// without Alt) press Yes and No.

#include "ui/MessageDialogs.h"

#include <windows.h>

namespace kp::ui {

class Win32MessageDialogs final : public MessageDialogService {
public:
    // Without an owner, each dialog belongs to the active window of the
    // thread that shows it.
    explicit Win32MessageDialogs(HWND owner = nullptr) : owner_(owner) {}
    void SetOwner(HWND owner) { owner_ = owner; }

    // Runs the dialog's own modal loop on the calling thread.
    ModalResult Show(std::string_view text, std::string_view caption, DialogKind kind,
                     DialogButtons buttons) override;
    // MessageBeep with the kind's sound.
    void Beep(DialogKind kind) override;

private:
    HWND owner_;
};

}  // namespace kp::ui
