#pragma once
// The memo's window on Win32: an EditWindow whose messages pass the memo's
// handler first (through the window's hook), created as a child of the
// form that holds the memo. What the handling of a message throws (the
// memo's events included) goes to the exception handler that whoever makes
// the windows gives the factory; the program gives its default handler.

#include "memo/MemoWindow.h"
#include "memo/win32/EditWindow.h"

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
    void SetFocus() override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    std::unique_ptr<CanvasDevice> GetDC() override;

    EditWindow& Window() { return window_; }

private:
    EditWindow window_;
    MessageHandler handler_;
    std::shared_ptr<RECT> keepBounds_;
};

// A canvas device: the window's client DC, released with the device.
class Win32CanvasDevice final : public CanvasDevice {
public:
    explicit Win32CanvasDevice(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~Win32CanvasDevice() override
    {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC Handle() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A window made again (the memo recreates its window) takes the place of the
// one before it, so that it lays the document out once, at its final size.
class Win32MemoWindowFactory final : public MemoWindowFactory {
public:
    Win32MemoWindowFactory(HWND parent, int id) : parent_(parent), id_(id) {}
    void SetBounds(const RECT& bounds) { *bounds_ = bounds; }
    void SetParent(HWND parent) { parent_ = parent; }
    // For the windows made from now on.
    void SetExceptionHandler(EditWindow::ExceptionHandler handler) { onException_ = std::move(handler); }
    std::unique_ptr<MemoWindow> Create(const MemoWindowStyle& style, MessageHandler handler) override;

private:
    HWND parent_;
    int id_;
    // Shared with the windows, which may outlive the factory.
    std::shared_ptr<RECT> bounds_ = std::make_shared<RECT>(RECT{0, 0, 100, 100});
    EditWindow::ExceptionHandler onException_;
};

}  // namespace kp::memo
