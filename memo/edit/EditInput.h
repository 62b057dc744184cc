#pragma once
// Keyboard and mouse input turned into edit-control operations, the same way
// for the Win32 view and for tests: what a key, a typed character, a click,
// a drag or a double click does to the text and the selection.

#include "memo/edit/EditControl.h"

#include <cstdint>
#include <string>

namespace kp::memo {

struct Modifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

class EditInput {
public:
    EditInput(EditControl& control, const platform::Cp932Codec& codec);

    // A key pressed; false when the control has no use for it.
    bool KeyDown(uint32_t virtualKey, Modifiers modifiers);
    // A typed UTF-16 unit (WM_CHAR of a Unicode window). Surrogate pairs
    // arrive as two calls. Control characters other than backspace, tab and
    // return are ignored.
    void Char(char16_t unit);
    // Text committed by an input method, inserted as one edit.
    void Commit(std::u16string_view text);

    // Mouse, in client coordinates.
    void ButtonDown(re::PointL point, Modifiers modifiers);
    void DoubleClick(re::PointL point);
    // While the button is held: extends the selection (scrolling when the
    // point is outside the formatting rectangle).
    void Drag(re::PointL point);
    void ButtonUp();
    bool Dragging() const { return dragging_; }
    // Whether a point lies in the selection bar left of the text.
    bool InSelectionBar(re::PointL point) const;
    // The wheel: positive delta scrolls up, 120 a notch, three lines a notch.
    void Wheel(int delta);

private:

    EditControl& control_;
    const platform::Cp932Codec& codec_;
    char16_t pendingHigh_ = 0;
    bool dragging_ = false;
    bool draggingLines_ = false;
    int wheelRest_ = 0;
};

}  // namespace kp::memo
