#include "ui/sim/SimFormService.h"

#include <stdexcept>

namespace kp::ui {

namespace {

// What one step does to the form: its result when it closes it, else mrNone.
ModalResult Apply(const FormSpec& form, const SimFormService::Step& step)
{
    switch (step.kind) {
    case SimFormService::Step::Enter:
        for (const FormControl& control : form.controls)
            if (control.kind == FormControlKind::Button && control.isDefault) return control.result;
        return mrNone;
    case SimFormService::Step::Escape: return form.escapeResult;
    case SimFormService::Step::CloseBox: return mrCancel;
    case SimFormService::Step::Click:
        if (const FormControl* button = form.Find(step.button); button && button->kind == FormControlKind::Button)
            return button->result;
        throw std::logic_error("form \"" + form.caption + "\" has no button " + step.button);
    }
    return mrNone;
}

}  // namespace

ModalResult SimFormService::ShowModal(const FormSpec& form)
{
    shown_.push_back(form);
    if (WhileShown) WhileShown(form);
    if (steps_.empty()) steps_.push_back({Step::Enter, {}});
    while (!steps_.empty()) {
        const Step step = steps_.front();
        steps_.pop_front();
        if (const ModalResult result = Apply(form, step); result != mrNone) return result;
    }
    throw std::logic_error("form \"" + form.caption + "\" is still open at the end of the script");
}

ModalResult SimFormService::Edit(FormSpec& form)
{
    shown_.push_back(form);
    if (WhileEditing) WhileEditing(form);
    if (steps_.empty()) steps_.push_back({Step::Enter, {}});
    while (!steps_.empty()) {
        const Step step = steps_.front();
        steps_.pop_front();
        const ModalResult result = Apply(form, step);
        if (result == mrNone) continue;
        if (result == mrOk && form.CanClose && !form.CanClose(form)) {
            // Still open: the user acts on it again.
            if (WhileEditing) WhileEditing(form);
            continue;
        }
        return result;
    }
    throw std::logic_error("form \"" + form.caption + "\" is still open at the end of the script");
}

const FormSpec& SimFormService::Last() const
{
    if (shown_.empty()) throw std::logic_error("no form was shown");
    return shown_.back();
}

}  // namespace kp::ui
