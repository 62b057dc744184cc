#pragma once
// Message dialogs for tests of form logic: every dialog shown is recorded,
// and the answers come from a queue the test fills (without one, the first
// button, as Enter would give).

#include "ui/MessageDialogs.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace kp::ui {

struct ShownMessage {
    std::string text;
    std::string caption;
    DialogKind kind;
    DialogButtons buttons;
};

class SimMessageDialogs final : public MessageDialogService {
public:
    ModalResult Show(std::string_view text, std::string_view caption, DialogKind kind,
                     DialogButtons buttons) override;

    void Beep(DialogKind kind) override { beeps_.push_back(kind); }
    // The sounds made without a box, in order.
    const std::vector<DialogKind>& Beeps() const { return beeps_; }

    // The answer to the next dialog not yet answered. Show throws
    // std::logic_error when the answer is not one of its buttons.
    void Answer(ModalResult result) { answers_.push_back(result); }
    size_t PendingAnswers() const { return answers_.size(); }

    // Runs inside each dialog while it shows, as its message loop runs
    // whatever else arrives meanwhile (a timer's tick).
    std::function<void()> WhileShown;
    // Answers a dialog when the queue is empty (instead of the first
    // button); it is given the buttons offered and must pick one of them.
    std::function<ModalResult(DialogButtons buttons)> Chooser;

    const std::vector<ShownMessage>& Shown() const { return shown_; }
    // The last dialog shown; throws std::logic_error when none was.
    const ShownMessage& Last() const;
    void Clear() { shown_.clear(); }

private:
    std::deque<ModalResult> answers_;
    std::vector<ShownMessage> shown_;
    std::vector<DialogKind> beeps_;
};

}  // namespace kp::ui
