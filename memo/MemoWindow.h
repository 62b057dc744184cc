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
#include <string_view>
#include <vector>

namespace kp::memo {

// Where the memo draws its marks and markers over the control's client
// area. Drawing happens in passes (Begin ... End); a device may take the
// platform's drawing context for each pass only. Coordinates are client
// pixels; colours are RGB.
class CanvasDevice {
public:
    virtual ~CanvasDevice() = default;

    virtual void Begin() {}
    virtual void End() {}
    // Fills each rectangle (right and bottom exclusive) with one colour.
    virtual void Fill(const std::vector<re::Rect>& rects, uint32_t rgb) = 0;
    // One-pixel lines in one colour: counts[i] points of `points` form the
    // i-th polyline (each count at least 2). A segment's end point is drawn.
    virtual void Polylines(const std::vector<re::PointL>& points, const std::vector<uint32_t>& counts,
                           uint32_t rgb) = 0;
    // Code-page-932 text in a font at (x, y), its cell filled with `back`
    // and clipped to `clip`.
    virtual void Text(int x, int y, std::string_view text, const platform::FontSpec& font, uint32_t rgb,
                      uint32_t back, const re::Rect& clip) = 0;
    virtual void HideCaret() = 0;
    virtual void ShowCaret() = 0;
};

// One drawing pass on a device (nothing without one).
class CanvasPass {
public:
    explicit CanvasPass(CanvasDevice* device) : device_(device)
    {
        if (device_) device_->Begin();
    }
    ~CanvasPass()
    {
        if (device_) device_->End();
    }
    CanvasPass(const CanvasPass&) = delete;
    CanvasPass& operator=(const CanvasPass&) = delete;

private:
    CanvasDevice* device_;
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
    // Whether the whole client area is waiting to be painted: what is drawn
    // over it now would be painted over again before anyone sees it.
    virtual bool WholePaintDue() const = 0;
    virtual void SetFocus() = 0;
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
    virtual std::unique_ptr<CanvasDevice> GetDC() = 0;
    // Dots per inch of the window's display.
    virtual int Dpi() const { return 96; }
    // Whether the window has the keyboard focus, and where its caret is.
    virtual bool Focused() const = 0;
    virtual re::PointL CaretPos() const = 0;
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
