#pragma once
// Small modal forms described as data: a caption, a client area, a font, a
// place on the screen and a list of controls (labels, buttons, a bevel, an
// icon). A FormService shows such a form modally and returns how it closed:
// a real dialog window on Win32, recorded forms and scripted results in tests.
//
// Coordinates and sizes are client-area pixels at 96 DPI; the platform scales
// them to the window's DPI.

#include "base/Color.h"
#include "ui/MessageDialogs.h"

#include <string>
#include <string_view>
#include <vector>

namespace kp::ui {

// A font by face and size. The size is in points, or a character height in
// pixels (without internal leading) when `points` is 0.
struct FormFont {
    std::string face = "MS UI Gothic";
    int points = 9;
    int pixelHeight = 0;
    bool bold = false;
    bool italic = false;
    bool operator==(const FormFont&) const = default;
};

enum class FormControlKind { Label, Button, Bevel, Icon };
enum class FormAlign { Left, Center, Right };
enum class FormPosition { OwnerCenter, ScreenCenter };

struct FormControl {
    FormControlKind kind = FormControlKind::Label;
    std::string name;  // the design's name, for finding it in tests
    int left = 0;
    int top = 0;
    // 0 for a label sizes it to its text; a label aligns its text inside
    // the box it is given.
    int width = 0;
    int height = 0;
    std::string text;  // a button's "&" marks its access key
    // Labels: their own font (the form's when the face is empty) and colour.
    FormFont font{"", 0, 0, false, false};
    TColor color = clWindowText;
    FormAlign align = FormAlign::Left;
    // Buttons: what a press returns, and whether Enter presses it.
    ModalResult result = mrNone;
    bool isDefault = false;
    // Icons: the program's icon resource.
    int iconId = 0;
};

struct FormSpec {
    std::string name;  // "TCountForm"
    std::string caption;
    int clientWidth = 0;
    int clientHeight = 0;
    FormFont font;
    FormPosition position = FormPosition::OwnerCenter;
    std::vector<FormControl> controls;
    // What Escape returns; mrNone: Escape does nothing. The close box always
    // closes with mrCancel, Enter presses the default button.
    ModalResult escapeResult = mrNone;

    const FormControl* Find(std::string_view controlName) const
    {
        for (const FormControl& control : controls)
            if (control.name == controlName) return &control;
        return nullptr;
    }
};

class FormService {
public:
    virtual ~FormService() = default;
    // Shows the form modally over the program's main window (which takes no
    // input meanwhile) and returns the result of the button pressed, or
    // mrCancel for the close box.
    virtual ModalResult ShowModal(const FormSpec& form) = 0;
};

}  // namespace kp::ui
