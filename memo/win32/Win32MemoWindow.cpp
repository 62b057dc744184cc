#include "memo/win32/Win32MemoWindow.h"

namespace kp::memo {

namespace {

DWORD StyleOf(const MemoWindowStyle& style)
{
    DWORD bits = WS_TABSTOP;
    if (style.verticalScrollBar) bits |= WS_VSCROLL;
    if (style.horizontalScrollBar) bits |= WS_HSCROLL;
    return bits;
}

}  // namespace

Win32MemoWindow::Win32MemoWindow(HWND parent, int id, const RECT& bounds, const MemoWindowStyle& style,
                                 MessageHandler handler, EditWindow::ExceptionHandler onException,
                                 std::shared_ptr<RECT> keepBounds)
    : window_(parent, id, bounds, StyleOf(style)), handler_(std::move(handler)), keepBounds_(std::move(keepBounds))
{
    window_.SetExceptionHandler(std::move(onException));
    window_.SetHideSelection(style.hideSelection);
    window_.SetHook([this](UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        if (!handler_) return std::nullopt;
        return static_cast<LRESULT>(handler_(message, wParam, lParam));
    });
}

Win32MemoWindow::~Win32MemoWindow()
{
    HWND hwnd = window_.Handle();
    if (!keepBounds_ || !hwnd) return;
    RECT bounds{};
    if (!GetWindowRect(hwnd, &bounds)) return;
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&bounds), 2);
    *keepBounds_ = bounds;
}

intptr_t Win32MemoWindow::Send(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    HWND hwnd = window_.Handle();
    return hwnd ? static_cast<intptr_t>(SendMessageW(hwnd, message, wParam, lParam)) : 0;
}

intptr_t Win32MemoWindow::DefaultProc(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    return static_cast<intptr_t>(window_.DefaultProc(message, wParam, lParam));
}

void Win32MemoWindow::SetFont(const platform::FontSpec& font)
{
    window_.SetFont(font);
}

void Win32MemoWindow::SetFocus()
{
    if (window_.Handle()) ::SetFocus(window_.Handle());
}

int Win32MemoWindow::ClientWidth() const
{
    RECT rect{};
    if (window_.Handle()) GetClientRect(window_.Handle(), &rect);
    return rect.right;
}

int Win32MemoWindow::ClientHeight() const
{
    RECT rect{};
    if (window_.Handle()) GetClientRect(window_.Handle(), &rect);
    return rect.bottom;
}

std::unique_ptr<CanvasDevice> Win32MemoWindow::GetDC()
{
    return window_.Handle() ? std::make_unique<Win32CanvasDevice>(window_.Handle()) : nullptr;
}

std::unique_ptr<MemoWindow> Win32MemoWindowFactory::Create(const MemoWindowStyle& style, MessageHandler handler)
{
    return std::make_unique<Win32MemoWindow>(parent_, id_, *bounds_, style, std::move(handler), onException_,
                                             bounds_);
}

}  // namespace kp::memo
