#include "memo/edit/EditInput.h"

#include "memo/edit/WindowMessages.h"
#include "platform/codec/Cp932Codec.h"

namespace kp::memo {

EditInput::EditInput(EditControl& control, const platform::Cp932Codec& codec) : control_(control), codec_(codec) {}

bool EditInput::KeyDown(uint32_t key, Modifiers m)
{
    const bool extend = m.shift;
    switch (key) {
    case vk::kLeft: control_.MoveCaret(m.ctrl ? CaretMove::WordLeft : CaretMove::Left, extend); return true;
    case vk::kRight: control_.MoveCaret(m.ctrl ? CaretMove::WordRight : CaretMove::Right, extend); return true;
    case vk::kUp:
        if (m.ctrl) control_.ScrollLines(-1);
        else control_.MoveCaret(CaretMove::Up, extend);
        return true;
    case vk::kDown:
        if (m.ctrl) control_.ScrollLines(1);
        else control_.MoveCaret(CaretMove::Down, extend);
        return true;
    case vk::kHome: control_.MoveCaret(m.ctrl ? CaretMove::DocumentStart : CaretMove::Home, extend); return true;
    case vk::kEnd: control_.MoveCaret(m.ctrl ? CaretMove::DocumentEnd : CaretMove::End, extend); return true;
    case vk::kPrior: control_.MoveCaret(CaretMove::PageUp, extend); return true;
    case vk::kNext: control_.MoveCaret(CaretMove::PageDown, extend); return true;
    case vk::kDelete:
        if (m.shift) control_.Cut();
        else control_.DeleteForward();
        return true;
    case vk::kInsert:
        if (m.shift) control_.Paste();
        else if (m.ctrl) control_.Copy();
        else control_.ToggleOverwrite();
        return true;
    default:
        break;
    }
    if (m.ctrl && !m.alt) {
        switch (key) {
        case 'C': control_.Copy(); return true;
        case 'X': control_.Cut(); return true;
        case 'V': control_.Paste(); return true;
        case 'Z': control_.Undo(); return true;
        default: break;
        }
    }
    return false;
}

void EditInput::Char(char16_t unit)
{
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        pendingHigh_ = unit;
        return;
    }
    std::u16string text;
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
        if (!pendingHigh_) return;
        text = {pendingHigh_, unit};
        pendingHigh_ = 0;
    } else {
        pendingHigh_ = 0;
        switch (unit) {
        case 0x08: control_.Backspace(); return;
        case 0x09: control_.Type("\t"); return;
        case 0x0D: control_.NewLine(); return;
        default:
            if (unit < 0x20 || unit == 0x7F) return;  // Ctrl+letter and the like
            text.assign(1, unit);
        }
    }
    control_.Type(codec_.FromUtf16(text));
}

void EditInput::Commit(std::u16string_view text)
{
    std::u16string clean;
    for (char16_t unit : text)
        if (unit >= 0x20 || unit == '\t') clean += unit;
    if (!clean.empty()) control_.Type(codec_.FromUtf16(clean));
}

bool EditInput::InSelectionBar(re::PointL point) const
{
    return (control_.Options() & re::kEcoSelectionBar) && point.x < control_.FormatRect().left;
}

void EditInput::ButtonDown(re::PointL point, Modifiers m)
{
    dragging_ = true;
    draggingLines_ = InSelectionBar(point);
    if (draggingLines_) {
        const re::Rect rect = control_.FormatRect();
        const int64_t row = (static_cast<int64_t>(point.y) - rect.top) / std::max(control_.LineHeight(), 1);
        const int64_t line = static_cast<int64_t>(control_.FirstVisibleLine()) + std::max<int64_t>(row, 0);
        control_.SelectLineAt(static_cast<size_t>(line), m.shift);
        return;
    }
    control_.SelectTo(control_.SpotFromPos(point), m.shift);
}

void EditInput::DoubleClick(re::PointL point)
{
    if (InSelectionBar(point)) {
        control_.SelectAll();
        return;
    }
    // Right of a wrapped line: the word that ends it.
    const EditControl::Spot spot = control_.SpotFromPos(point);
    control_.SelectWordAt(spot.lineEnd ? control_.Text().PrevChar(spot.offset) : spot.offset);
    dragging_ = false;
}

void EditInput::Drag(re::PointL point)
{
    if (!dragging_) return;
    const re::Rect rect = control_.FormatRect();
    if (point.y < rect.top) control_.ScrollLines(-1);
    else if (point.y >= rect.bottom) control_.ScrollLines(1);
    if (draggingLines_) {
        const int64_t row = (static_cast<int64_t>(point.y) - rect.top) / std::max(control_.LineHeight(), 1);
        const int64_t line = std::max<int64_t>(static_cast<int64_t>(control_.FirstVisibleLine()) + row, 0);
        control_.SelectLineAt(static_cast<size_t>(line), true);
        return;
    }
    control_.SelectTo(control_.SpotFromPos(point), true);
    control_.ScrollCaretIntoView();
}

void EditInput::ButtonUp()
{
    dragging_ = false;
    draggingLines_ = false;
}

void EditInput::Wheel(int delta)
{
    wheelRest_ += delta;
    const int notches = wheelRest_ / 120;
    wheelRest_ -= notches * 120;
    if (notches != 0) control_.ScrollLines(-3 * static_cast<int64_t>(notches));
}

}  // namespace kp::memo
