#include "ui/win32/Win32Views.h"

namespace kp::ui {

namespace {

constexpr wchar_t kDisplayProperty[] = L"KestrelpadViewDisplay";
constexpr UINT_PTR kSubclassId = 0x4B50;

}  // namespace

Win32ViewWindow::Win32ViewWindow(HWND window, const ExceptionHandler& handler) : window_(window), handler_(handler)
{
    SetPropW(window_, kDisplayProperty, this);
    SetWindowSubclass(window_, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

Win32ViewWindow::~Win32ViewWindow() { Release(); }

void Win32ViewWindow::Release()
{
    if (!window_) return;
    if (IsWindow(window_)) {
        RemoveWindowSubclass(window_, SubclassProc, kSubclassId);
        RemovePropW(window_, kDisplayProperty);
    }
    window_ = nullptr;
}

bool Win32ViewWindow::RouteNotify(NMHDR& header, LRESULT& result)
{
    auto* display = static_cast<Win32ViewWindow*>(GetPropW(header.hwndFrom, kDisplayProperty));
    if (!display) return false;
    result = 0;
    return display->Notify(header, result);
}

LRESULT Win32ViewWindow::CallDefault(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefSubclassProc(window_, message, wParam, lParam);
}

LRESULT CALLBACK Win32ViewWindow::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                               DWORD_PTR data)
{
    auto* self = reinterpret_cast<Win32ViewWindow*>(data);
    if (message == WM_NCDESTROY) {
        self->Release();
        return DefSubclassProc(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (self->Message(message, wParam, lParam, result)) return result;
    return DefSubclassProc(window, message, wParam, lParam);
}

void Win32ShowScreenCursor()
{
    Screen::SetObserver([](TCursor cursor) {
        SetCursor(LoadCursorW(nullptr, cursor == TCursor::crHourGlass ? IDC_WAIT : IDC_ARROW));
    });
}

void SetStyleBits(HWND window, LONG_PTR bits, bool on)
{
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR wanted = on ? style | bits : style & ~bits;
    if (wanted != style) SetWindowLongPtrW(window, GWL_STYLE, wanted);
}

}  // namespace kp::ui
