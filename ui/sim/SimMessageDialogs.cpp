#include "ui/sim/SimMessageDialogs.h"

#include <stdexcept>

namespace kp::ui {

namespace {

// What each button answers; a dialog without buttons has OK.
bool Offers(DialogButtons buttons, ModalResult result)
{
    if (buttons == 0) return result == mrOk;
    switch (result) {
    case mrYes: return (buttons & mbYes) != 0;
    case mrNo: return (buttons & mbNo) != 0;
    case mrOk: return (buttons & mbOK) != 0;
    case mrCancel: return (buttons & mbCancel) != 0;
    case mrNone: break;
    }
    return false;
}

ModalResult FirstButton(DialogButtons buttons)
{
    for (const ModalResult result : {mrYes, mrNo, mrOk, mrCancel})
        if (Offers(buttons, result)) return result;
    return mrOk;
}

}  // namespace

ModalResult SimMessageDialogs::Show(std::string_view text, std::string_view caption, DialogKind kind,
                                    DialogButtons buttons)
{
    shown_.push_back({std::string(text), std::string(caption), kind, buttons});
    if (WhileShown) WhileShown();
    if (answers_.empty() && Chooser) {
        const ModalResult chosen = Chooser(buttons);
        if (!Offers(buttons, chosen))
            throw std::logic_error("chosen answer " + std::to_string(chosen) + " is not a button of \"" +
                                   std::string(text) + "\"");
        return chosen;
    }
    if (answers_.empty()) return FirstButton(buttons);
    const ModalResult answer = answers_.front();
    answers_.pop_front();
    if (!Offers(buttons, answer))
        throw std::logic_error("scripted answer " + std::to_string(answer) + " is not a button of \"" +
                               std::string(text) + "\"");
    return answer;
}

const ShownMessage& SimMessageDialogs::Last() const
{
    if (shown_.empty()) throw std::logic_error("no message dialog was shown");
    return shown_.back();
}

}  // namespace kp::ui
