#pragma once
// The application window: the owner of the main window, whose text is the
// program's task-bar entry (TApplication::Title), apart from the main
// window's caption. The system shows a task-bar button only for a visible,
// unowned window, so this window is shown, but with no size: the user sees
// only its button. An owned main window has no button of its own.
//
// Activating the button activates the main window; "close" on the button's
// menu closes the main window; minimising the main window minimises this
// window, which hides the windows it owns until it is restored.

#include "ui/Application.h"

#include <windows.h>

#include <string>

namespace kp::ui {

// Class name of the application window; find it among the process's
// top-level windows (EnumWindows, GetClassNameW) and read its text with
// WM_GETTEXT, or take the main window's owner (GetWindow(main, GW_OWNER)).
constexpr wchar_t kApplicationWindowClass[] = L"TApplication";

// Libraries named without a path load from the system folder only, never
// from the program's folder or the current one, where a library planted
// beside a document would run inside the program. Call first thing at start,
// before anything loads a library. False when the platform refused.
bool RestrictLibrarySearchToSystem();

class Win32ApplicationHost final : public ApplicationHost {
public:
    explicit Win32ApplicationHost(const std::string& title = {});
    ~Win32ApplicationHost() override;
    Win32ApplicationHost(const Win32ApplicationHost&) = delete;
    Win32ApplicationHost& operator=(const Win32ApplicationHost&) = delete;

    HWND Handle() const { return window_; }
    void SetTitle(const std::string& title) override;
    std::string Title() const;

    // The window activation and closing go to (set by Win32FormHost).
    void SetMainWindow(HWND window)
    {
        main_ = window;
        mainHidden_ = false;
    }
    // Shows or removes the task-bar button.
    void ShowButton(bool show);
    void Minimize();
    void Restore();
    bool Minimized() const { return IsIconic(window_) != FALSE; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    HWND main_ = nullptr;
    bool mainHidden_ = false;  // by minimising
};

}  // namespace kp::ui
