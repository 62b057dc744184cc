#include "ui/win32/Win32Application.h"

#include "base/Error.h"
#include "res/resource.h"
#include "ui/win32/Win32Common.h"
#include "ui/win32/Win32Views.h"

namespace kp::ui {

namespace {

HICON LoadAppIcon(int metricX, int metricY)
{
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_KESTRELPAD), IMAGE_ICON,
                                         GetSystemMetrics(metricX), GetSystemMetrics(metricY), LR_DEFAULTCOLOR));
}

}  // namespace

bool RestrictLibrarySearchToSystem()
{
    return SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}

Win32ApplicationHost::Win32ApplicationHost(const std::string& title)
{
    static const ATOM atom = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hIcon = LoadAppIcon(SM_CXICON, SM_CYICON);
        windowClass.hIconSm = LoadAppIcon(SM_CXSMICON, SM_CYSMICON);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kApplicationWindowClass;
        return RegisterClassExW(&windowClass);
    }();
    if (!atom) throw Error("アプリケーションのウィンドウクラスを登録できません。");
    // A pop-up with a caption and a system menu: the task bar shows its
    // button with the minimise and close commands; no size, at the centre.
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
    window_ = CreateWindowExW(0, MAKEINTATOM(atom), WideText(title).c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 0, 0,
                              nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!window_) throw Error("アプリケーションのウィンドウを作成できません。");
    // The hourglass of a long fill shows over the application's windows.
    Win32ShowScreenCursor();
}

Win32ApplicationHost::~Win32ApplicationHost()
{
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

void Win32ApplicationHost::SetTitle(const std::string& title) { SetWindowTextW(window_, WideText(title).c_str()); }

std::string Win32ApplicationHost::Title() const
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window_)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window_, text.data(), static_cast<int>(text.size()))));
    return Utf8Text(text);
}

void Win32ApplicationHost::ShowButton(bool show)
{
    if (show == (IsWindowVisible(window_) != FALSE)) return;
    ShowWindow(window_, show ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void Win32ApplicationHost::Minimize()
{
    if (!Minimized()) ShowWindow(window_, SW_MINIMIZE);
}

void Win32ApplicationHost::Restore()
{
    if (Minimized()) ShowWindow(window_, SW_RESTORE);
}

LRESULT CALLBACK Win32ApplicationHost::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* self = static_cast<Win32ApplicationHost*>(create->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32ApplicationHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    try {
        return self->Handle(message, wParam, lParam);
    } catch (...) {
        return 0;  // nothing here throws on purpose; never unwind into the system
    }
}

LRESULT Win32ApplicationHost::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:
        // The task-bar button was chosen: the main window (or the dialog it
        // opened last) takes over.
        if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) {
            HWND target = GetLastActivePopup(window_);
            if (target == window_) target = main_;
            if (target && IsWindowVisible(target) && IsWindowEnabled(target)) {
                SetActiveWindow(target);
                return 0;
            }
        }
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            if (main_) PostMessageW(main_, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    case WM_CLOSE:
        if (main_) PostMessageW(main_, WM_CLOSE, 0, 0);
        return 0;
    case WM_SIZE:
        // The system hides owned windows with their owner, but not every
        // implementation does: hide and show the main window explicitly.
        if (wParam == SIZE_MINIMIZED && main_ && IsWindowVisible(main_)) {
            mainHidden_ = true;
            ShowWindow(main_, SW_HIDE);
        } else if (wParam == SIZE_RESTORED && mainHidden_) {
            mainHidden_ = false;
            if (main_) ShowWindow(main_, SW_SHOW);
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace kp::ui
