#pragma once
// The top-level window of a form as the form's logic sees it: caption,
// bounds, window state, closing and dropped files. The Win32 host is a real
// window that also shows the form's menus, bars and docked controls; the
// simulated host keeps the state for tests.

#include "ui/Layout.h"

#include <string>

namespace kp::ui {

enum class TWindowState { wsNormal, wsMinimized, wsMaximized };

class FormHost {
public:
    virtual ~FormHost() = default;

    virtual void SetCaption(const std::string& caption) = 0;
    virtual std::string Caption() const = 0;
    // The window's outer bounds in screen pixels, as the platform reports
    // them (for a maximised or minimised window: its current bounds).
    virtual TRect Bounds() const = 0;
    virtual void SetBounds(const TRect& bounds) = 0;
    virtual TWindowState WindowState() const = 0;
    virtual void SetWindowState(TWindowState state) = 0;
    // Asks the window to close: the close query and close handlers run.
    virtual void Close() = 0;
    // Registers the window as a target for files dropped from the shell.
    virtual void AcceptFiles(bool accept) = 0;
    // The platform's default sound: a command refused without a message.
    virtual void Beep() = 0;
};

// What closing does once the handlers have run.
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

}  // namespace kp::ui
