#pragma once
// What the Win32 displays of the views share: WM_NOTIFY routing from a
// control's parent to the display that shows the control, the subclassing
// that gives displays the control's mouse and key messages, and the screen
// cursor shown while an hourglass scope is open.

#include "ui/ViewTypes.h"
#include "ui/win32/Win32Common.h"

#include <windows.h>
#include <commctrl.h>

namespace kp::ui {

// A display of a common control: receives the control's notifications
// (sent to its parent) and the control's own messages first.
class Win32ViewWindow {
public:
    // Subclasses `window` and registers this display for its notifications.
    Win32ViewWindow(HWND window, const ExceptionHandler& handler);
    virtual ~Win32ViewWindow();
    Win32ViewWindow(const Win32ViewWindow&) = delete;
    Win32ViewWindow& operator=(const Win32ViewWindow&) = delete;

    HWND Handle() const { return window_; }

    // A parent's WM_NOTIFY: handed to the display of header.hwndFrom. True
    // when a display handled it, with the result to return.
    static bool RouteNotify(NMHDR& header, LRESULT& result);

protected:
    // A notification of the control; false: the default answer (0).
    virtual bool Notify(NMHDR& header, LRESULT& result) = 0;
    // A message of the control; false: the control's own handling.
    virtual bool Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
    LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs `action`, reporting what it throws; false when it threw.
    template <class Action>
    bool Guard(Action&& action) noexcept { return Guarded(handler_, std::forward<Action>(action)); }
    const ExceptionHandler& Handler() const { return handler_; }

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR data);
    void Release();

    HWND window_;
    ExceptionHandler handler_;
};

// Shows Screen::Cursor over the application's windows (the hourglass while a
// THourGlassScope is open).
void Win32ShowScreenCursor();

// Sets a window style's bits to `on` or clears them.
void SetStyleBits(HWND window, LONG_PTR bits, bool on);

}  // namespace kp::ui
