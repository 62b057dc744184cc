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

#include <functional>
#include <memory>
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
    bool underline = false;  // editing forms' labels
    bool strikeOut = false;
    bool operator==(const FormFont&) const = default;
};

// Check boxes, radio items (a group begins at `groupStart`), edit boxes
// (read-only or limited to `maxLength` characters), drop-down lists with
// their `items`, group frames, trees, hot-key boxes and pictures make
// editing forms; their state goes in through the fields below and comes
// back from FormService::Edit.
//
// A tree shows `items` in display order, each at its `levels` depth under
// the nearest shallower item before it, all expanded, with read-only
// labels; `selected` is its selection (moved by mouse or keyboard), and a
// mouse click raises OnEvent once the click has selected.
// A hot-key box holds the combination the user pressed in `shortCut`
// (scShift/scCtrl/scAlt | virtual key; 0 none): a key without modifiers is
// taken as it is, and the keys a dialog keeps for itself (Tab, Enter, Esc)
// or that the platform's box takes for clearing it (Space, Delete,
// BackSpace) cannot be entered.
// A picture draws its `shapes`, filled rectangles in its own pixels.
// A number box is an edit box with up/down arrows (`maximum` above
// `minimum`) that step `position` inside the range and show it in the box;
// text typed into the box stays as typed, whatever its value, and the arrows
// start from it only when it is a whole number in the range (else from the
// last position). Disabling the box disables its arrows.
// An edit box with `fits` set takes typed or pasted text only as far as the
// whole text still fits: the new text is cut at a character boundary.
enum class FormControlKind {
    Label, Button, Bevel, Icon, CheckBox, Radio, Edit, ComboBox, GroupBox, Tree, HotKey, Picture
};

struct FormShape {
    int left = 0, top = 0, width = 0, height = 0;
    TColor color = clWindowText;
    bool operator==(const FormShape&) const = default;
};
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
    // Editing forms' labels with their own font: the colour they sit on.
    TColor background = clWindow;
    FormAlign align = FormAlign::Left;
    // Buttons: what a press returns, and whether Enter presses it.
    ModalResult result = mrNone;
    bool isDefault = false;
    // Icons: the program's icon resource.
    int iconId = 0;
    // Editing forms: the page the control sits on (-1: the form itself),
    // its check, whether it takes input, read-only and length limit of an
    // edit, a radio group's first item, a list's entries.
    int page = -1;
    bool checked = false;
    bool enabled = true;
    bool readOnly = false;
    int maxLength = 0;
    bool groupStart = false;
    std::vector<std::string> items;
    int selected = -1;  // the list entry or tree item chosen; -1 none
    std::vector<int> levels;  // trees: the depth of each item, 0 the top
    int shortCut = 0;         // hot-key boxes
    int minimum = 0, maximum = 0, position = 0;  // number boxes
    std::function<bool(std::string_view utf8)> fits;  // edit boxes
    std::vector<FormShape> shapes;  // pictures
};

// The window of an editing form kept between showings (FormSpec::keep):
// made by the service at the first showing and destroyed when the last
// form holding it goes.
class FormWindow {
public:
    virtual ~FormWindow() = default;
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
    // Editing forms: the captions of the pages of a tab control filling the
    // area above the form's own controls, the page in front, and the control
    // given the focus (by name; empty: the default button).
    std::vector<std::string> pages;
    int activePage = 0;
    std::string focused;
    // Editing forms: runs when a button that returns nothing is pressed, a
    // check box or radio item clicked, or a list's entry chosen or its text
    // typed; `form` holds the controls' state then, and the controls show
    // what the handler leaves in it.
    std::function<void(FormSpec& form, const std::string& control)> OnEvent;
    // Editing forms: runs when the button returning mrOk is pressed; false
    // keeps the form open, showing what it left in `form` (page, focus).
    std::function<bool(FormSpec& form)> CanClose;
    // Editing forms: one window for all showings. The first Edit makes it
    // and leaves it in `window`; closing hides it, and the next Edit of this
    // form shows the same window again, its controls as the user left them
    // and then set from the form.
    bool keep = false;
    std::shared_ptr<FormWindow> window;

    const FormControl* Find(std::string_view controlName) const
    {
        for (const FormControl& control : controls)
            if (control.name == controlName) return &control;
        return nullptr;
    }
    FormControl* Find(std::string_view controlName)
    {
        for (FormControl& control : controls)
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
    // The same for an editing form: when it closes, `form` holds what the
    // user typed, checked and chose, and the page in front.
    virtual ModalResult Edit(FormSpec& form) { return ShowModal(form); }
};

}  // namespace kp::ui
