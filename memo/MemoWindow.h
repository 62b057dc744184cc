#pragma once
// The control window as the memo sees it. The memo creates one through a
// MemoWindowFactory when it needs a window and destroys it when the window
// must be recreated; the Win32 factory makes a real window, the simulated one
// a window-less host for tests.
//
// Every message to the window passes the memo's handler first (as a
// subclass's window procedure would); the handler calls DefaultProc for the
// control's own handling.

#include "memo/edit/EditControl.h"
#include "platform/textmetrics/TextMetrics.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace kp::memo {

// A device context bound for drawing; released when destroyed.
class CanvasDevice {
public:
    virtual ~CanvasDevice() = default;
};

using MessageHandler = std::function<intptr_t(uint32_t message, uintptr_t wParam, intptr_t lParam)>;

class MemoWindow {
public:
    virtual ~MemoWindow() = default;

    // Sends a message through the memo's handler.
    virtual intptr_t Send(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
    // The control's own handling of a message.
    virtual intptr_t DefaultProc(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
    virtual EditControl& Control() = 0;

    virtual void SetFont(const platform::FontSpec& font) = 0;
    virtual void SetTextColor(uint32_t rgb) = 0;
    virtual void Invalidate() = 0;
    virtual void SetFocus() = 0;
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
    virtual std::unique_ptr<CanvasDevice> GetDC() = 0;
    // Dots per inch of the window's display.
    virtual int Dpi() const { return 96; }
};

struct MemoWindowStyle {
    bool hideSelection = false;
    bool wantTabs = true;
    bool horizontalScrollBar = true;
    bool verticalScrollBar = true;
};

class MemoWindowFactory {
public:
    virtual ~MemoWindowFactory() = default;
    // handler receives every message sent to the window; notifications of
    // the control (EN_CHANGE, EN_SELCHANGE) arrive as the reflected
    // notification (wm::kCnNotify, code, 0) after the parent was told.
    virtual std::unique_ptr<MemoWindow> Create(const MemoWindowStyle& style, MessageHandler handler) = 0;
};

}  // namespace kp::memo
