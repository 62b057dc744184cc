// Entry point of kestrelpad.exe: opens the settings store and the main
// window with its memo, then runs the message loop until the window is closed.

#include "base/Error.h"
#include "base/Utf.h"
#include "memo/ExtMemo.h"
#include "memo/win32/Win32MemoWindow.h"
#include "platform/keyboard/Win32KeyState.h"
#include "platform/registry/Win32Registry.h"
#include "platform/syscolors/Win32SysColors.h"
#include "res/resource.h"
#include "settings/RegIniFile.h"

#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <optional>
#include <string>

namespace {

constexpr wchar_t kMainClassName[] = L"TEditForm";
constexpr wchar_t kAppName[] = L"Kestrelpad";
constexpr wchar_t kNewFileCaption[] = L"[NewFile] - Kestrelpad";
constexpr char kSettingsKey[] = "Software\\Tamarind\\Kestrelpad";

constexpr int kMemoId = 100;

// The main window's outer size at 96 DPI.
constexpr int kMainWidth96 = 738;
constexpr int kMainHeight96 = 514;

std::wstring Wide(const std::string& utf8)
{
    const std::u16string text = kp::Utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}

void ShowError(HWND owner, const std::string& utf8Message)
{
    MessageBoxW(owner, Wide(utf8Message).c_str(), kAppName, MB_OK | MB_ICONSTOP);
}

// A store that cannot be opened is reported; the program then runs without it.
std::optional<kp::TRegIniFile> OpenSettings(kp::platform::Registry& registry)
{
    try {
        return kp::TRegIniFile(registry, kSettingsKey);
    } catch (const kp::Error& e) {
        ShowError(nullptr, e.what());
        return std::nullopt;
    }
}

// The memo fills the main window's client area.
struct MainWindowParts {
    explicit MainWindowParts(HWND window) : factory(window, kMemoId), memo(factory, keys, colors) {}
    kp::platform::Win32KeyState keys;
    kp::platform::Win32SysColors colors;
    kp::memo::Win32MemoWindowFactory factory;
    kp::memo::TExtMemo memo;
};

MainWindowParts* PartsOf(HWND window)
{
    return reinterpret_cast<MainWindowParts*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void CreateMemo(HWND window)
{
    auto* parts = new MainWindowParts(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(parts));
    RECT client{};
    GetClientRect(window, &client);
    parts->factory.SetBounds(client);
    parts->memo.HideSelection = false;
    parts->memo.WantTabs = true;
    parts->memo.CreateWnd();
}

void DestroyMemo(HWND window)
{
    delete PartsOf(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}

LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreateMemo(window);
        return 0;
    case WM_SIZE:
        if (HWND memo = GetDlgItem(window, kMemoId))
            MoveWindow(memo, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        if (MainWindowParts* parts = PartsOf(window)) parts->memo.SetFocus();
        return 0;
    case WM_DPICHANGED: {
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_DESTROY:
        DestroyMemo(window);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Exceptions stop here: they must not unwind through the system's frames.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        return HandleMessage(window, message, wParam, lParam);
    } catch (const std::exception& e) {
        ShowError(window, e.what());
    } catch (...) {
        ShowError(window, "予期しないエラーが発生しました。");
    }
    return 0;
}

HICON LoadAppIcon(HINSTANCE instance, int metricX, int metricY)
{
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_KESTRELPAD), IMAGE_ICON,
                                         GetSystemMetrics(metricX), GetSystemMetrics(metricY),
                                         LR_DEFAULTCOLOR));
}

bool RegisterMainClass(HINSTANCE instance)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadAppIcon(instance, SM_CXICON, SM_CYICON);
    wc.hIconSm = LoadAppIcon(instance, SM_CXSMICON, SM_CYSMICON);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kMainClassName;
    return RegisterClassExW(&wc) != 0;
}

// The window is created hidden at the default position, then sized for the
// DPI of the monitor it landed on, so it never shows at the wrong size.
HWND CreateMainWindow(HINSTANCE instance)
{
    HWND window = CreateWindowExW(0, kMainClassName, kNewFileCaption, WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, kMainWidth96, kMainHeight96,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) return nullptr;
    const UINT dpi = GetDpiForWindow(window);
    SetWindowPos(window, nullptr, 0, 0, MulDiv(kMainWidth96, dpi, 96),
                 MulDiv(kMainHeight96, dpi, 96), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return window;
}

int RunMessageLoop()
{
    MSG msg;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return got == 0 ? static_cast<int>(msg.wParam) : 1;
}

void InitCommonControls6()
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
}

int Run(HINSTANCE instance, int showCommand)
{
    InitCommonControls6();
    kp::platform::Win32Registry registry;
    // Kept open for the whole run: the main window reads and writes through it.
    const std::optional<kp::TRegIniFile> settings = OpenSettings(registry);
    if (!RegisterMainClass(instance)) {
        ShowError(nullptr, "メインウィンドウのクラスを登録できません。");
        return 1;
    }
    HWND window = CreateMainWindow(instance);
    if (!window) {
        ShowError(nullptr, "メインウィンドウを作成できません。");
        return 1;
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return RunMessageLoop();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    try {
        return Run(instance, showCommand);
    } catch (const std::exception& e) {
        ShowError(nullptr, e.what());
    } catch (...) {
        ShowError(nullptr, "予期しないエラーが発生しました。");
    }
    return 1;
}
