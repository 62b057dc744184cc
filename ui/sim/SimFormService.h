#pragma once
// Modal forms for tests: every form shown is recorded, and what the user does
// in it comes from a script of key presses and clicks. Each step is applied
// the way the real dialog handles it (Escape does nothing in a form without
// an Escape result), until one closes the form; without a script the form
// closes as Enter would close it.

#include "ui/Form.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kp::ui {

class SimFormService final : public FormService {
public:
    struct Step {
        enum Kind { Enter, Escape, CloseBox, Click } kind;
        std::string button;  // Click: the button's name
    };

    ModalResult ShowModal(const FormSpec& form) override;
    // Records the form, lets WhileEditing change it as the user would, then
    // applies the script; when CanClose keeps the form open, WhileEditing
    // runs again before the next step. A kept form gets its window at the
    // first showing and keeps it (the records hold no window).
    ModalResult Edit(FormSpec& form) override;

    // Kept forms' windows: how many were made, and how many are alive (a
    // window goes with the last form holding it).
    int WindowsMade() const { return counts_->made; }
    int WindowsAlive() const { return counts_->alive; }

    void PressEnter() { steps_.push_back({Step::Enter, {}}); }
    void PressEscape() { steps_.push_back({Step::Escape, {}}); }
    void CloseBox() { steps_.push_back({Step::CloseBox, {}}); }
    void Click(std::string buttonName) { steps_.push_back({Step::Click, std::move(buttonName)}); }
    size_t PendingSteps() const { return steps_.size(); }

    // Runs inside each form while it shows, before the script is applied.
    std::function<void(const FormSpec&)> WhileShown;
    std::function<void(FormSpec&)> WhileEditing;

    // The user's doing on an editing form's controls, as the platform's
    // controls take it (a disabled control takes nothing).
    // A mouse click on tree item `index`: selects it, then raises OnEvent.
    static void ClickTreeItem(FormSpec& form, std::string_view tree, int index);
    // The arrow keys moving a tree's selection: no event.
    static void MoveTreeSelection(FormSpec& form, std::string_view tree, int index);
    // A combination pressed in a hot-key box (scShift/scCtrl/scAlt | key):
    // Tab, Enter and Esc stay with the dialog, Space, Delete and BackSpace
    // clear the box, a modifier alone leaves it empty once released.
    static void PressHotKey(FormSpec& form, std::string_view box, int combination);
    // A number box's up (`steps` above 0) or down arrow pressed: the
    // position moves inside the range and shows in the box.
    static void PressArrow(FormSpec& form, std::string_view box, int steps);
    // Text typed or pasted at the end of an edit box, cut at a character
    // boundary as far as the box's `fits` asks. Typed into an editable list,
    // each character raises OnEvent, the list's `selected` left at the last
    // entry chosen.
    static void TypeText(FormSpec& form, std::string_view box, std::string_view text);
    // An entry of a list chosen: `selected` and the text follow it and
    // OnEvent runs once (the text the box takes raises nothing more).
    static void ChooseListItem(FormSpec& form, std::string_view list, int index);
    // A mouse click on a button, check box or radio item: a check box
    // toggles, a radio item is checked and the rest of its group cleared,
    // then OnEvent runs (a button returning a result closes the form
    // instead: use Click).
    static void ClickControl(FormSpec& form, std::string_view control);

    const std::vector<FormSpec>& Shown() const { return shown_; }
    // The last form shown; throws std::logic_error when none was.
    const FormSpec& Last() const;

private:
    struct Counts {
        int made = 0;
        int alive = 0;
    };
    std::shared_ptr<Counts> counts_ = std::make_shared<Counts>();
    std::deque<Step> steps_;
    std::vector<FormSpec> shown_;
};

}  // namespace kp::ui
