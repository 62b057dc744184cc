#pragma once
// The memo's window on Win32: an EditWindow whose messages pass the memo's
// handler first (through the window's hook), created as a child of the
// form that holds the memo. What the handling of a message throws (the
// memo's events included) goes to the exception handler that whoever makes
// the windows gives the factory; the program gives its default handler.

#include "memo/MemoWindow.h"
#include "memo/win32/EditWindow.h"

#include <functional>
#include <memory>

namespace kp::memo {

class Win32MemoWindow final : public MemoWindow {
public:
    // When keepBounds is given, the window leaves its place there when it
    // goes, in its parent's client coordinates.
    Win32MemoWindow(HWND parent, int id, const RECT& bounds, const MemoWindowStyle& style, MessageHandler handler,
                    EditWindow::ExceptionHandler onException = {}, std::shared_ptr<RECT> keepBounds = nullptr);
    ~Win32MemoWindow() override;
    Win32MemoWindow(const Win32MemoWindow&) = delete;
    Win32MemoWindow& operator=(const Win32MemoWindow&) = delete;

    intptr_t Send(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    intptr_t DefaultProc(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    EditControl& Control() override { return window_.Control(); }
    void SetFont(const platform::FontSpec& font) override;
    void SetTextColor(uint32_t rgb) override { window_.SetTextColor(rgb); }
    void Invalidate() override { window_.Refresh(); }
    bool WholePaintDue() const override;
    void SetFocus() override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    std::unique_ptr<CanvasDevice> GetDC() override;
    int Dpi() const override { return static_cast<int>(window_.Dpi()); }
    bool Focused() const override;
    re::PointL CaretPos() const override;

    EditWindow& Window() { return window_; }

private:
    EditWindow window_;
    MessageHandler handler_;
    std::shared_ptr<RECT> keepBounds_;
};

// A canvas device on a window: each pass takes the window's client DC and
// releases it at its end (the window class keeps no DC of its own, so none
// is held between passes). Made on a DC instead (a memory DC), it draws there
// and leaves the caret alone.
class Win32CanvasDevice final : public CanvasDevice {
public:
    explicit Win32CanvasDevice(HWND window) : window_(window) {}
    explicit Win32CanvasDevice(HDC dc) : dc_(dc), ownDc_(false) {}
    ~Win32CanvasDevice() override;
    Win32CanvasDevice(const Win32CanvasDevice&) = delete;
    Win32CanvasDevice& operator=(const Win32CanvasDevice&) = delete;

    void Begin() override;
    void End() override;
    void Fill(const std::vector<re::Rect>& rects, uint32_t rgb) override;
    void Polylines(const std::vector<re::PointL>& points, const std::vector<uint32_t>& counts, uint32_t rgb) override;
    void Text(int x, int y, std::string_view text, const platform::FontSpec& font, uint32_t rgb, uint32_t back,
              const re::Rect& clip) override;
    void HideCaret() override;
    void ShowCaret() override;
    // The DC of the pass under way (or the one given).
    HDC Handle() const { return dc_; }

private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    bool ownDc_ = true;
    int depth_ = 0;
};

// A window made again (the memo recreates its window) takes the place of the
// one before it, so that it lays the document out once, at its final size.
class Win32MemoWindowFactory final : public MemoWindowFactory {
public:
    Win32MemoWindowFactory(HWND parent, int id) : parent_(parent), id_(id) {}
    void SetBounds(const RECT& bounds) { *bounds_ = bounds; }
    // Where the memo is laid out, in the parent's client coordinates (an
    // empty rectangle when not known yet), asked for the first window.
    void SetLayoutBounds(std::function<RECT()> source) { layoutBounds_ = std::move(source); }
    void SetParent(HWND parent) { parent_ = parent; }
    // For the windows made from now on.
    void SetExceptionHandler(EditWindow::ExceptionHandler handler) { onException_ = std::move(handler); }
    std::unique_ptr<MemoWindow> Create(const MemoWindowStyle& style, MessageHandler handler) override;

private:
    HWND parent_;
    int id_;
    // Shared with the windows, which may outlive the factory.
    // Empty until known: the first window then fills its parent's client
    // area, where the host lays the memo out.
    std::shared_ptr<RECT> bounds_ = std::make_shared<RECT>(RECT{0, 0, 0, 0});
    EditWindow::ExceptionHandler onException_;
    std::function<RECT()> layoutBounds_;
};

}  // namespace kp::memo
