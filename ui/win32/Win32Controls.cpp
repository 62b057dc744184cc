#include "ui/win32/Win32Controls.h"

#include "base/Error.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace kp::ui {

namespace {

constexpr wchar_t kPanelClass[] = L"KestrelpadPanel";
constexpr wchar_t kSplitterClass[] = L"KestrelpadSplitter";
bool Horizontal(TAlign align) { return align == TAlign::Left || align == TAlign::Right; }

DWORD ListStyle(TViewStyle style)
{
    switch (style) {
    case TViewStyle::vsIcon: return LVS_ICON;
    case TViewStyle::vsSmallIcon: return LVS_SMALLICON;
    case TViewStyle::vsList: return LVS_LIST;
    case TViewStyle::vsReport: return LVS_REPORT;
    }
    return LVS_REPORT;
}

}  // namespace

Win32DockedControls::Win32DockedControls(HWND host, UINT dpi, HFONT font, const ExceptionHandler& handler)
    : host_(host), dpi_(dpi), font_(font), handler_(handler)
{
    static const bool registered = [] {
        WNDCLASSEXW panel{};
        panel.cbSize = sizeof panel;
        panel.lpfnWndProc = PanelProc;
        panel.hInstance = GetModuleHandleW(nullptr);
        panel.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        panel.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        panel.lpszClassName = kPanelClass;
        WNDCLASSEXW splitter = panel;
        splitter.lpfnWndProc = SplitterProc;
        splitter.hCursor = nullptr;  // chosen by direction in WM_SETCURSOR
        splitter.lpszClassName = kSplitterClass;
        return RegisterClassExW(&panel) != 0 && RegisterClassExW(&splitter) != 0;
    }();
    if (!registered) throw Error("パネルのウィンドウクラスを登録できません。");
}

Win32DockedControls::~Win32DockedControls() { DestroyAll(); }

void Win32DockedControls::Detach()
{
    if (root_) root_->SetObserver(nullptr);
}

void Win32DockedControls::Attach(TControl* root)
{
    Detach();
    DestroyAll();
    root_ = root;
    if (!root_) return;
    Scale(*root_, 96, dpi_);
    root_->SetObserver(this);
    CreateWindows(*root_);
}

void Win32DockedControls::Arrange(const RECT& area)
{
    if (root_) root_->Arrange(TRect{area.left, area.top, area.right, area.bottom});
}

void Win32DockedControls::Scale(TControl& parent, UINT from, UINT to)
{
    if (from == to) return;
    for (size_t i = 0; i < parent.Count(); ++i) {
        TControl& child = *parent.Child(i);
        const TAlign align = child.Align();
        if (align != TAlign::Top && align != TAlign::Bottom && align != TAlign::Client)
            child.SetWidth(MulDiv(child.Width(), static_cast<int>(to), static_cast<int>(from)));
        if (align != TAlign::Left && align != TAlign::Right && align != TAlign::Client)
            child.SetHeight(MulDiv(child.Height(), static_cast<int>(to), static_cast<int>(from)));
        Scale(child, from, to);
    }
}

void Win32DockedControls::CreateWindows(TControl& parent)
{
    for (size_t i = 0; i < parent.Count(); ++i) {
        TControl& child = *parent.Child(i);
        if (!windows_.count(&child))
            if (HWND window = Create(child)) Apply(child, window);
        CreateWindows(child);
    }
}

HWND Win32DockedControls::Create(TControl& control)
{
    const wchar_t* className = nullptr;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    switch (control.Kind()) {
    case ControlKind::Panel:
        className = kPanelClass;
        style |= WS_CLIPCHILDREN;
        break;
    case ControlKind::Splitter:
        className = kSplitterClass;
        break;
    case ControlKind::TreeView:
        className = WC_TREEVIEWW;
        // No lines at the root: the single root node has no button of its own.
        style |= WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_SHOWSELALWAYS;
        exStyle = WS_EX_CLIENTEDGE;
        break;
    case ControlKind::ListView:
        className = WC_LISTVIEWW;
        // The list component keeps the items; the control asks for them.
        style |= WS_TABSTOP | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_OWNERDATA | ListStyle(control.ViewStyle());
        exStyle = WS_EX_CLIENTEDGE;
        break;
    default:
        return nullptr;  // the memo's window comes from AttachWindow; the bars are the host's
    }
    HWND window = CreateWindowExW(exStyle, className, nullptr, style, 0, 0, 0, 0, ParentWindowOf(control),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId_++)),
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window) throw Error("ウィンドウを作成できません: " + control.Name());
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (control.Kind() == ControlKind::TreeView || control.Kind() == ControlKind::ListView)
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    windows_[&control] = Entry{window, true, control.ViewStyle()};
    controls_[window] = &control;
    return window;
}

void Win32DockedControls::Apply(TControl& control, HWND window)
{
    auto entry = windows_.find(&control);
    // The style follows the control's view style when that changes; in
    // between a list component may switch it (a fill shows the list style).
    const bool styleChanged = entry != windows_.end() && entry->second.style != control.ViewStyle();
    if (entry != windows_.end()) entry->second.style = control.ViewStyle();
    if (control.Kind() == ControlKind::ListView && styleChanged) {
        const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
        const LONG_PTR wanted = (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | ListStyle(control.ViewStyle());
        if (wanted != style) SetWindowLongPtrW(window, GWL_STYLE, wanted);
    }
    const TRect& bounds = control.Bounds();
    SetWindowPos(window, nullptr, bounds.left, bounds.top, bounds.Width(), bounds.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE | (control.Visible() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void Win32DockedControls::ControlChanged(TControl& control)
{
    auto found = windows_.find(&control);
    if (found == windows_.end()) {
        // Added to the tree after it was attached.
        if (HWND window = Create(control)) Apply(control, window);
        return;
    }
    Apply(control, found->second.window);
}

void Win32DockedControls::AttachWindow(TControl& control, HWND window)
{
    auto found = windows_.find(&control);
    if (found != windows_.end()) {
        controls_.erase(found->second.window);
        if (found->second.owned && found->second.window != window) DestroyWindow(found->second.window);
    }
    windows_[&control] = Entry{window, false, control.ViewStyle()};
    controls_[window] = &control;
    HWND parent = ParentWindowOf(control);
    if (GetParent(window) != parent) SetParent(window, parent);
    Apply(control, window);
}

HWND Win32DockedControls::WindowOf(const TControl& control) const
{
    const auto found = windows_.find(&control);
    return found == windows_.end() ? nullptr : found->second.window;
}

HWND Win32DockedControls::ParentWindowOf(const TControl& control) const
{
    const TControl* parent = control.Parent();
    if (!parent || parent == root_) return host_;
    HWND window = WindowOf(*parent);
    return window ? window : host_;
}

TControl* Win32DockedControls::ControlOf(HWND window) const
{
    const auto found = controls_.find(window);
    return found == controls_.end() ? nullptr : found->second;
}

HWND Win32DockedControls::MemoWindow() const
{
    for (const auto& [window, control] : controls_)
        if (control->Kind() == ControlKind::Memo && IsWindow(window) && IsWindowVisible(window)) return window;
    return nullptr;
}

void Win32DockedControls::SetDpi(UINT dpi, HFONT font)
{
    if (root_) Scale(*root_, dpi_, dpi);
    dpi_ = dpi;
    font_ = font;
    for (const auto& [window, control] : controls_)
        if (control->Kind() == ControlKind::TreeView || control->Kind() == ControlKind::ListView)
            SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
}

void Win32DockedControls::DestroyAll()
{
    // Windows made elsewhere outlive the panels they sit in.
    for (const auto& [control, entry] : windows_)
        if (!entry.owned && IsWindow(entry.window) && GetParent(entry.window) != host_)
            SetParent(entry.window, host_);
    for (const auto& [control, entry] : windows_)
        if (entry.owned && IsWindow(entry.window)) DestroyWindow(entry.window);
    windows_.clear();
    controls_.clear();
    drag_ = Drag{};
}

// ---- Panels and splitters --------------------------------------------------------

LRESULT CALLBACK Win32DockedControls::PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The views' notifications reach the form wherever the views sit.
    if (message == WM_NOTIFY || message == WM_COMMAND) return SendMessageW(GetParent(window), message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK Win32DockedControls::SplitterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<Win32DockedControls*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    if (!Guarded(self->handler_, [&] { result = self->Splitter(window, message, wParam, lParam); }))
        self->drag_ = Drag{};
    return result;
}

LRESULT Win32DockedControls::Splitter(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TControl* control = ControlOf(window);
    if (!control) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, Horizontal(control->Align()) ? IDC_SIZEWE : IDC_SIZENS));
        return TRUE;
    case WM_LBUTTONDOWN: {
        TControl* neighbour = NeighbourOf(*control);
        if (!neighbour) return 0;
        POINT start{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(window, &start);
        drag_ = Drag{control, neighbour, start,
                     Horizontal(control->Align()) ? neighbour->Width() : neighbour->Height()};
        SetCapture(window);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (drag_.splitter == control) {
            POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(window, &point);
            DragTo(point);
        }
        return 0;
    case WM_LBUTTONUP:
        if (drag_.splitter == control) {
            drag_ = Drag{};
            if (GetCapture() == window) ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
        drag_ = Drag{};
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// The visible control docked on the same side right next to the splitter,
// on the side it was docked from: the one a drag resizes.
TControl* Win32DockedControls::NeighbourOf(TControl& splitter) const
{
    TControl* parent = splitter.Parent();
    if (!parent) return nullptr;
    const TRect& s = splitter.Bounds();
    for (size_t i = 0; i < parent->Count(); ++i) {
        TControl* sibling = parent->Child(i);
        if (sibling == &splitter || !sibling->Visible() || sibling->Align() != splitter.Align()) continue;
        const TRect& b = sibling->Bounds();
        switch (splitter.Align()) {
        case TAlign::Left:
            if (b.right == s.left) return sibling;
            break;
        case TAlign::Right:
            if (b.left == s.right) return sibling;
            break;
        case TAlign::Top:
            if (b.bottom == s.top) return sibling;
            break;
        case TAlign::Bottom:
            if (b.top == s.bottom) return sibling;
            break;
        default:
            break;
        }
    }
    return nullptr;
}

void Win32DockedControls::DragTo(POINT point)
{
    TControl& splitter = *drag_.splitter;
    TControl& neighbour = *drag_.neighbour;
    const bool horizontal = Horizontal(splitter.Align());
    const int moved = horizontal ? point.x - drag_.start.x : point.y - drag_.start.y;
    const bool grows = splitter.Align() == TAlign::Left || splitter.Align() == TAlign::Top;
    int size = drag_.startSize + (grows ? moved : -moved);

    // The room the client-docked siblings have now may be given up, less
    // the minimum; without such a sibling, the parent's whole extent.
    const int current = horizontal ? neighbour.Width() : neighbour.Height();
    // A drag never makes the neighbour, or the room left beside it, smaller
    // than the splitter's minimum.
    const int minimum = ScaleDesign(splitter.MinSize(), dpi_);
    int room = horizontal ? splitter.Parent()->Bounds().Width() : splitter.Parent()->Bounds().Height();
    if (splitter.Parent() == root_) {
        RECT client{};
        GetClientRect(host_, &client);
        room = horizontal ? client.right : client.bottom;
    }
    for (size_t i = 0; i < splitter.Parent()->Count(); ++i) {
        const TControl* sibling = splitter.Parent()->Child(i);
        if (sibling->Align() == TAlign::Client && sibling->Visible()) {
            room = horizontal ? sibling->Bounds().Width() : sibling->Bounds().Height();
            break;
        }
    }
    const int largest = std::max(minimum, current + room - minimum);
    size = std::clamp(size, minimum, largest);
    if (horizontal) neighbour.SetWidth(size);
    else neighbour.SetHeight(size);
}

}  // namespace kp::ui
