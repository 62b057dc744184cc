#include "memo/win32/Win32MemoWindow.h"

#include "platform/textmetrics/Win32Font.h"

#include <string>
#include <vector>

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

bool Win32MemoWindow::WholePaintDue() const
{
    HWND hwnd = window_.Handle();
    if (!hwnd) return false;
    RECT client{};
    GetClientRect(hwnd, &client);
    HRGN due = CreateRectRgn(0, 0, 0, 0);
    HRGN left = CreateRectRgnIndirect(&client);
    const bool whole = GetUpdateRgn(hwnd, due, FALSE) != ERROR && CombineRgn(left, left, due, RGN_DIFF) == NULLREGION;
    DeleteObject(left);
    DeleteObject(due);
    return whole;
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

bool Win32MemoWindow::Focused() const
{
    return window_.Handle() && GetFocus() == window_.Handle();
}

re::PointL Win32MemoWindow::CaretPos() const
{
    POINT caret{};
    GetCaretPos(&caret);
    return re::PointL{caret.x, caret.y};
}

// The window is made at its laid-out size, so that the edit area derived at
// its creation has the width the user sees.
std::unique_ptr<MemoWindow> Win32MemoWindowFactory::Create(const MemoWindowStyle& style, MessageHandler handler)
{
    const auto empty = [](const RECT& r) { return r.right <= r.left || r.bottom <= r.top; };
    if (empty(*bounds_) && layoutBounds_) *bounds_ = layoutBounds_();
    if (empty(*bounds_)) {
        RECT client{};
        if (parent_ && GetClientRect(parent_, &client) && client.right > 0 && client.bottom > 0)
            *bounds_ = client;
        else
            *bounds_ = RECT{0, 0, 100, 100};
    }
    return std::make_unique<Win32MemoWindow>(parent_, id_, *bounds_, style, std::move(handler), onException_,
                                             bounds_);
}

// ---- Canvas device --------------------------------------------------------------

Win32CanvasDevice::~Win32CanvasDevice()
{
    if (ownDc_ && dc_) ReleaseDC(window_, dc_);
}

void Win32CanvasDevice::Begin()
{
    if (depth_++ == 0 && ownDc_ && window_) dc_ = ::GetDC(window_);
}

void Win32CanvasDevice::End()
{
    if (depth_ == 0 || --depth_ > 0 || !ownDc_) return;
    if (dc_) ReleaseDC(window_, dc_);
    dc_ = nullptr;
}

void Win32CanvasDevice::Fill(const std::vector<re::Rect>& rects, uint32_t rgb)
{
    if (!dc_ || rects.empty()) return;
    HBRUSH brush = CreateSolidBrush(rgb & 0x00FFFFFF);
    for (const re::Rect& r : rects) {
        const RECT rect{r.left, r.top, r.right, r.bottom};
        ::FillRect(dc_, &rect, brush);
    }
    DeleteObject(brush);
}

void Win32CanvasDevice::Polylines(const std::vector<re::PointL>& points, const std::vector<uint32_t>& counts,
                                  uint32_t rgb)
{
    if (!dc_ || points.empty() || counts.empty()) return;
    std::vector<POINT> gdiPoints;
    gdiPoints.reserve(points.size());
    for (const re::PointL& p : points) gdiPoints.push_back(POINT{p.x, p.y});
    std::vector<DWORD> gdiCounts(counts.begin(), counts.end());
    HPEN pen = CreatePen(PS_SOLID, 1, rgb & 0x00FFFFFF);
    HGDIOBJ previous = SelectObject(dc_, pen);
    PolyPolyline(dc_, gdiPoints.data(), gdiCounts.data(), static_cast<DWORD>(gdiCounts.size()));
    SelectObject(dc_, previous);
    DeleteObject(pen);
    // A line leaves out its last point; the marks' faces end there.
    size_t at = 0;
    for (const uint32_t count : counts) {
        at += count;
        if (at <= points.size()) SetPixelV(dc_, points[at - 1].x, points[at - 1].y, rgb & 0x00FFFFFF);
    }
}

void Win32CanvasDevice::Text(int x, int y, std::string_view text, const platform::FontSpec& font, uint32_t rgb,
                             uint32_t back, const re::Rect& clip)
{
    if (!dc_ || text.empty()) return;
    const int units = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (units <= 0) return;
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), wide.data(), units);
    const LOGFONTW logFont = platform::LogFontOf(font);
    HFONT gdiFont = CreateFontIndirectW(&logFont);
    HGDIOBJ previous = SelectObject(dc_, gdiFont);
    SetTextColor(dc_, rgb & 0x00FFFFFF);
    SetBkColor(dc_, back & 0x00FFFFFF);
    const RECT box{clip.left, clip.top, clip.right, clip.bottom};
    ExtTextOutW(dc_, x, y, ETO_OPAQUE | ETO_CLIPPED, &box, wide.data(), static_cast<UINT>(wide.size()), nullptr);
    SelectObject(dc_, previous);
    DeleteObject(gdiFont);
}

void Win32CanvasDevice::HideCaret()
{
    if (window_) ::HideCaret(window_);
}

void Win32CanvasDevice::ShowCaret()
{
    if (window_) ::ShowCaret(window_);
}

}  // namespace kp::memo
