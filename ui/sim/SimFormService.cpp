#include "ui/sim/SimFormService.h"

#include <algorithm>
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
    if (form.keep && !form.window) {
        // The window counts itself out when the last form holding it goes,
        // whether or not this service is still there.
        class Window final : public FormWindow {
        public:
            explicit Window(std::shared_ptr<Counts> counts) : counts_(std::move(counts))
            {
                ++counts_->made;
                ++counts_->alive;
            }
            ~Window() override { --counts_->alive; }

        private:
            std::shared_ptr<Counts> counts_;
        };
        form.window = std::make_shared<Window>(counts_);
    }
    shown_.push_back(form);
    shown_.back().window.reset();
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

namespace {

FormControl& Named(FormSpec& form, std::string_view name, FormControlKind kind)
{
    FormControl* control = form.Find(name);
    if (!control || control->kind != kind)
        throw std::logic_error("form \"" + form.caption + "\" has no such control " + std::string(name));
    return *control;
}

bool IsModifierKey(int key) { return key == 0x10 || key == 0x11 || key == 0x12; }

}  // namespace

void SimFormService::ClickTreeItem(FormSpec& form, std::string_view tree, int index)
{
    FormControl& control = Named(form, tree, FormControlKind::Tree);
    if (!control.enabled) return;
    if (index >= 0 && static_cast<size_t>(index) < control.items.size()) control.selected = index;
    if (form.OnEvent) form.OnEvent(form, control.name);
}

void SimFormService::MoveTreeSelection(FormSpec& form, std::string_view tree, int index)
{
    FormControl& control = Named(form, tree, FormControlKind::Tree);
    if (control.enabled && index >= 0 && static_cast<size_t>(index) < control.items.size()) control.selected = index;
}

void SimFormService::PressHotKey(FormSpec& form, std::string_view box, int combination)
{
    FormControl& control = Named(form, box, FormControlKind::HotKey);
    if (!control.enabled) return;
    const int key = combination & 0xFF;
    switch (key) {
    case 0x09:  // Tab
    case 0x0D:  // Enter
    case 0x1B:  // Esc
        return;
    case 0x08:  // BackSpace
    case 0x20:  // Space
    case 0x2E:  // Delete
        control.shortCut = 0;
        return;
    default: control.shortCut = key == 0 || IsModifierKey(key) ? 0 : combination; return;
    }
}

void SimFormService::PressArrow(FormSpec& form, std::string_view box, int steps)
{
    FormControl& control = Named(form, box, FormControlKind::Edit);
    if (!control.enabled || control.maximum <= control.minimum) return;
    const std::string& text = control.text;
    const bool digits = !text.empty() && text.size() <= 10 &&
                        text.find_first_not_of("0123456789", text[0] == '-' ? 1 : 0) == std::string::npos &&
                        text != "-";
    if (digits) {
        const long long typed = std::stoll(text);
        if (typed >= control.minimum && typed <= control.maximum) control.position = static_cast<int>(typed);
    }
    control.position = std::clamp(control.position + steps, control.minimum, control.maximum);
    control.text = std::to_string(control.position);
}

void SimFormService::TypeText(FormSpec& form, std::string_view box, std::string_view text)
{
    if (FormControl* list = form.Find(box); list && list->kind == FormControlKind::ComboBox) {
        if (!list->enabled || list->readOnly) return;
        for (size_t at = 0; at < text.size();) {
            size_t end = at + 1;
            while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
            form.Find(box)->text += text.substr(at, end - at);
            if (form.OnEvent) form.OnEvent(form, std::string(box));
            at = end;
        }
        return;
    }
    FormControl& control = Named(form, box, FormControlKind::Edit);
    if (!control.enabled || control.readOnly) return;
    const size_t start = control.text.size();
    control.text += text;
    // Drop whole UTF-8 characters from the end of what was typed.
    while (control.fits && control.text.size() > start && !control.fits(control.text)) {
        size_t at = control.text.size() - 1;
        while (at > start && (static_cast<unsigned char>(control.text[at]) & 0xC0) == 0x80) --at;
        control.text.erase(at);
    }
}

void SimFormService::ChooseListItem(FormSpec& form, std::string_view list, int index)
{
    FormControl& control = Named(form, list, FormControlKind::ComboBox);
    if (!control.enabled || index < 0 || static_cast<size_t>(index) >= control.items.size()) return;
    control.selected = index;
    control.text = control.items[static_cast<size_t>(index)];
    if (form.OnEvent) form.OnEvent(form, control.name);
}

void SimFormService::ClickControl(FormSpec& form, std::string_view name)
{
    FormControl* control = form.Find(name);
    if (!control || (control->kind != FormControlKind::Button && control->kind != FormControlKind::CheckBox &&
                     control->kind != FormControlKind::Radio))
        throw std::logic_error("form \"" + form.caption + "\" has no such control " + std::string(name));
    if (!control->enabled) return;
    if (control->kind == FormControlKind::CheckBox) control->checked = !control->checked;
    if (control->kind == FormControlKind::Radio) {
        // The group: from its first item up to the next group's first.
        const size_t at = static_cast<size_t>(control - form.controls.data());
        size_t first = at;
        while (first > 0 && !form.controls[first].groupStart &&
               form.controls[first - 1].kind == FormControlKind::Radio)
            --first;
        for (size_t i = first; i < form.controls.size() && form.controls[i].kind == FormControlKind::Radio &&
                               (i == first || !form.controls[i].groupStart);
             ++i)
            form.controls[i].checked = i == at;
    }
    if (form.OnEvent) form.OnEvent(form, std::string(name));
}

const FormSpec& SimFormService::Last() const
{
    if (shown_.empty()) throw std::logic_error("no form was shown");
    return shown_.back();
}

}  // namespace kp::ui
