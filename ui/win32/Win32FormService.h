#pragma once
// Modal forms on Win32: a dialog of the class "#32770" built at run time from
// an in-memory template, with a STATIC child for every label (its text
// readable by other tools), a BUTTON for every button (its id the result it
// returns), an etched STATIC frame for a bevel and an SS_ICON STATIC for an
// icon. Sizes and places are the form's pixels at 96 DPI scaled to the
// window's DPI; each label with a font of its own gets that font, and one
// sized to its text is measured in it, italic overhang included.
//
// Keys: Enter presses the default button, Escape returns the form's Escape
// result or does nothing, the close box returns mrCancel. The owner takes no
// input while the form shows.

#include "ui/Form.h"

#include <windows.h>

namespace kp::ui {

class Win32FormService final : public FormService {
public:
    // Without an owner, each form belongs to the active window of the thread
    // that shows it. Icons load from `resources` (the program's own module
    // by default).
    explicit Win32FormService(HWND owner = nullptr, HINSTANCE resources = nullptr)
        : owner_(owner), resources_(resources)
    {
    }
    void SetOwner(HWND owner) { owner_ = owner; }

    // Runs the dialog's own modal loop on the calling thread.
    ModalResult ShowModal(const FormSpec& form) override;
    // Editing forms: controls made in code, pages as child dialogs over a
    // tab control, a modal loop of the form's own. A kept form's window
    // lives in FormSpec::window between showings.
    ModalResult Edit(FormSpec& form) override;

private:
    HWND owner_;
    HINSTANCE resources_;
};

}  // namespace kp::ui
