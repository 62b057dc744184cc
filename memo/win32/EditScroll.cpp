// Scroll bars, mouse selection with auto-scrolling, and the mouse cursor.

#include "memo/win32/EditWindow.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>

namespace kp::memo {

namespace {

constexpr UINT kAutoScrollMs = 50;

int ClampToInt(size_t value) { return static_cast<int>(std::min<size_t>(value, INT_MAX)); }

re::PointL PointOf(LPARAM lParam) { return re::PointL{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

Modifiers MouseModifiers(WPARAM keys)
{
    return Modifiers{(keys & MK_SHIFT) != 0, (keys & MK_CONTROL) != 0, GetKeyState(VK_MENU) < 0};
}

HBITMAP MirroredBitmap(HBITMAP source)
{
    BITMAP info{};
    if (!source || !GetObjectW(source, sizeof info, &info)) return nullptr;
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    HBITMAP mirrored = info.bmBitsPixel == 1 ? CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr)
                                             : CreateCompatibleBitmap(screen, info.bmWidth, info.bmHeight);
    HGDIOBJ oldFrom = SelectObject(from, source);
    HGDIOBJ oldTo = SelectObject(to, mirrored);
    StretchBlt(to, info.bmWidth - 1, 0, -info.bmWidth, info.bmHeight, from, 0, 0, info.bmWidth, info.bmHeight,
               SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    return mirrored;
}

// The selection bar's cursor: the system arrow turned to point right, at the
// line it selects. The plain arrow when the system's cannot be mirrored.
HCURSOR RightArrow()
{
    static const HCURSOR cursor = [] {
        HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
        ICONINFO info{};
        if (!GetIconInfo(arrow, &info)) return arrow;
        BITMAP mask{};
        GetObjectW(info.hbmMask, sizeof mask, &mask);
        ICONINFO mirrored{};
        mirrored.fIcon = FALSE;
        mirrored.xHotspot = static_cast<DWORD>(mask.bmWidth - 1) - info.xHotspot;
        mirrored.yHotspot = info.yHotspot;
        mirrored.hbmMask = MirroredBitmap(info.hbmMask);
        mirrored.hbmColor = info.hbmColor ? MirroredBitmap(info.hbmColor) : nullptr;
        HCURSOR made = mirrored.hbmMask ? reinterpret_cast<HCURSOR>(CreateIconIndirect(&mirrored)) : nullptr;
        for (HBITMAP bitmap : {info.hbmMask, info.hbmColor, mirrored.hbmMask, mirrored.hbmColor})
            if (bitmap) DeleteObject(bitmap);
        return made ? made : arrow;
    }();
    return cursor;
}

}  // namespace

// ---- Scroll bars ---------------------------------------------------------------

void EditWindow::UpdateScrollBars()
{
    if (!hwnd_) return;
    const LONG style = GetWindowLongW(hwnd_, GWL_STYLE);
    if (style & WS_VSCROLL) {
        const size_t page = std::max<size_t>(control_.VisibleLineCount(), 1);
        SetScrollBar(SB_VERT, ClampToInt(control_.LineCount() - 1), ClampToInt(page),
                     ClampToInt(control_.FirstVisibleLine()), vertical_);
    }
    if (style & WS_HSCROLL) {
        if (control_.WordWrap()) {
            SetScrollBar(SB_HORZ, 0, 0, 0, horizontal_);
        } else {
            const int64_t width = std::clamp<int64_t>(re::Width(control_.FormatRect()), 1, INT_MAX);
            // Room for the caret after the widest line seen so far.
            const int64_t extent =
                std::max<int64_t>(static_cast<int64_t>(control_.GetLayout().MaxLineWidth()) +
                                      control_.GetLayout().Metrics().AveCharWidth(),
                                  control_.XScroll() + width);
            SetScrollBar(SB_HORZ, re::ClampToInt32(extent - 1), static_cast<int>(width), control_.XScroll(),
                         horizontal_);
        }
    }
}

// Bars stay visible (disabled when everything fits), so setting them never
// changes the client size.
void EditWindow::SetScrollBar(int bar, int max, int page, int pos, ScrollState& last)
{
    if (last.max == max && last.page == page && last.pos == pos) return;
    last = ScrollState{max, page, pos};
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = max;
    info.nPage = static_cast<UINT>(page);
    info.nPos = pos;
    SetScrollInfo(hwnd_, bar, &info, TRUE);
}

void EditWindow::VerticalScroll(WPARAM request)
{
    const auto page = static_cast<int64_t>(std::max<size_t>(control_.VisibleLineCount(), 1));
    const auto lines = static_cast<int64_t>(control_.LineCount());
    switch (LOWORD(request)) {
    case SB_LINEUP: control_.ScrollLines(-1); break;
    case SB_LINEDOWN: control_.ScrollLines(1); break;
    case SB_PAGEUP: control_.ScrollLines(-page); break;
    case SB_PAGEDOWN: control_.ScrollLines(page); break;
    case SB_TOP: control_.ScrollToLine(0); break;
    case SB_BOTTOM: control_.ScrollToLine(static_cast<size_t>(std::max<int64_t>(lines - page, 0))); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The message carries 16 bits of the position; the bar knows all 32.
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        if (GetScrollInfo(hwnd_, SB_VERT, &info)) control_.ScrollToLine(static_cast<size_t>(std::max(info.nTrackPos, 0)));
        break;
    }
    default: return;
    }
    UpdateScrollBars();
}

void EditWindow::HorizontalScroll(WPARAM request)
{
    const int64_t page = std::max<int64_t>(1, re::Width(control_.FormatRect()));
    const int64_t step = std::max(1, control_.GetLayout().Metrics().AveCharWidth());
    const int64_t x = control_.XScroll();
    switch (LOWORD(request)) {
    case SB_LINELEFT: control_.SetXScroll(x - step); break;
    case SB_LINERIGHT: control_.SetXScroll(x + step); break;
    case SB_PAGELEFT: control_.SetXScroll(x - page); break;
    case SB_PAGERIGHT: control_.SetXScroll(x + page); break;
    case SB_LEFT: control_.SetXScroll(0); break;
    case SB_RIGHT: control_.SetXScroll(static_cast<int64_t>(horizontal_.max) + 1 - page); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        if (GetScrollInfo(hwnd_, SB_HORZ, &info)) control_.SetXScroll(info.nTrackPos);
        break;
    }
    default: return;
    }
    UpdateScrollBars();
}

// ---- Mouse -------------------------------------------------------------------------

void EditWindow::ButtonDown(WPARAM keys, LPARAM point)
{
    if (GetFocus() != hwnd_) SetFocus(hwnd_);
    SetCapture(hwnd_);
    input_.ButtonDown(PointOf(point), MouseModifiers(keys));
}

// While the pointer is outside the formatting rectangle a timer keeps
// extending the selection, so the text scrolls without the mouse moving.
void EditWindow::MouseMove(LPARAM point)
{
    if (!input_.Dragging()) return;
    dragPoint_ = POINT{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    input_.Drag(PointOf(point));
    const re::Rect rect = control_.FormatRect();
    const bool outside = dragPoint_.y < rect.top || dragPoint_.y >= rect.bottom || dragPoint_.x < rect.left ||
                         dragPoint_.x >= rect.right;
    if (outside && !autoScrolling_)
        autoScrolling_ = SetTimer(hwnd_, kAutoScrollTimer, kAutoScrollMs, nullptr) != 0;
    else if (!outside && autoScrolling_) {
        KillTimer(hwnd_, kAutoScrollTimer);
        autoScrolling_ = false;
    }
}

void EditWindow::AutoScroll()
{
    if (!input_.Dragging()) {
        StopDrag();
        return;
    }
    input_.Drag(re::PointL{dragPoint_.x, dragPoint_.y});
}

void EditWindow::ButtonUp()
{
    StopDrag();
    if (GetCapture() == hwnd_) ReleaseCapture();
}

void EditWindow::StopDrag()
{
    if (input_.Dragging()) input_.ButtonUp();
    if (autoScrolling_) KillTimer(hwnd_, kAutoScrollTimer);
    autoScrolling_ = false;
}

bool EditWindow::SetCursorShape()
{
    POINT point{};
    if (!GetCursorPos(&point) || !ScreenToClient(hwnd_, &point)) return false;
    const bool selectionBar = input_.InSelectionBar(re::PointL{point.x, point.y});
    SetCursor(selectionBar ? RightArrow() : LoadCursorW(nullptr, IDC_IBEAM));
    return true;
}

}  // namespace kp::memo
