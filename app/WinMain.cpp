// Program entry: the application title, the main window, the settings
// dialog, then the message loop until the main window has closed.

#include "app/MainForm.h"
#include "base/Error.h"
#include "base/Utf.h"
#include "memo/win32/Win32MemoWindow.h"
#include "platform/clock/Win32Clock.h"
#include "platform/clipboard/Win32Clipboard.h"
#include "platform/codec/Win32Cp932Codec.h"
#include "platform/files/Win32FileSystem.h"
#include "platform/keyboard/Win32KeyState.h"
#include "platform/keynames/Win32KeyNames.h"
#include "platform/locale/Win32DateTimeLocale.h"
#include "platform/help/Win32HelpViewer.h"
#include "platform/locale/Win32LocaleCompare.h"
#include "platform/printer/Win32PrintDevice.h"
#include "platform/registry/Win32Registry.h"
#include "platform/shell/Win32ShellNamespace.h"
#include "platform/syscolors/Win32SysColors.h"
#include "app/SetupCommands.h"
#include "settings/SetupDlg.h"
#include "ui/win32/Win32Application.h"
#include "ui/win32/Win32DialogService.h"
#include "ui/win32/Win32FormHost.h"
#include "ui/win32/Win32FormService.h"
#include "ui/win32/Win32ListView.h"
#include "ui/win32/Win32TreeView.h"
#include "ui/win32/Win32MessageDialogs.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <ole2.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kMemoId = 100;

std::string Utf8(const wchar_t* text)
{
    const std::wstring wide(text);
    return kp::Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

std::wstring Wide(const std::string& utf8)
{
    const std::u16string text = kp::Utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}

// The arguments after the program's own name, from the wide command line
// (so that any file name works, whatever the code page).
std::vector<std::string> CommandLineArguments()
{
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> out;
    for (int i = 1; arguments && i < count; ++i) out.push_back(Utf8(arguments[i]));
    if (arguments) LocalFree(arguments);
    return out;
}

std::string FullPath(const std::string& path)
{
    const std::wstring wide = Wide(path);
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    const DWORD written = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    full.resize(written);
    return Utf8(full.c_str());
}

std::string ProgramFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return Utf8(path.substr(0, path.find_last_of(L"\\/") + 1).c_str());
}

// The settings dialog's font dialog: Shift-JIS faces, no size limits, with
// effects (colour, underline, strikeout).
bool ChooseMemoFont(kp::settings::MemoAppearance& font)
{
    HWND owner = GetActiveWindow();
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    LOGFONTW logFont{};
    logFont.lfHeight = -MulDiv(font.points, dpi, 72);
    logFont.lfWeight = font.font.bold ? FW_BOLD : FW_NORMAL;
    logFont.lfItalic = font.font.italic;
    logFont.lfUnderline = font.underline;
    logFont.lfStrikeOut = font.strikeOut;
    logFont.lfCharSet = SHIFTJIS_CHARSET;
    const std::wstring face = Wide(font.font.face);
    face.copy(logFont.lfFaceName, LF_FACESIZE - 1);
    CHOOSEFONTW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = owner;
    choose.lpLogFont = &logFont;
    choose.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
    choose.rgbColors = kp::IsSystemColor(font.fontColor) ? GetSysColor(kp::SystemColorIndex(font.fontColor))
                                                         : static_cast<COLORREF>(font.fontColor & 0xFFFFFF);
    if (!ChooseFontW(&choose)) return false;
    const std::wstring chosen(logFont.lfFaceName);
    font.font.face = kp::Utf16ToUtf8(std::u16string(chosen.begin(), chosen.end()));
    font.points = choose.iPointSize / 10;
    font.font.bold = logFont.lfWeight >= FW_BOLD;
    font.font.italic = logFont.lfItalic != 0;
    font.font.charset = logFont.lfCharSet;
    font.underline = logFont.lfUnderline != 0;
    font.strikeOut = logFont.lfStrikeOut != 0;
    font.fontColor = static_cast<kp::TColor>(choose.rgbColors);
    return true;
}

// The colour dialog, fully open, any colour.
bool ChooseBackground(kp::TColor& color)
{
    static COLORREF custom[16] = {};
    CHOOSECOLORW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = GetActiveWindow();
    choose.rgbResult = kp::IsSystemColor(color) ? GetSysColor(kp::SystemColorIndex(color))
                                                : static_cast<COLORREF>(color & 0xFFFFFF);
    choose.lpCustColors = custom;
    choose.Flags = CC_FULLOPEN | CC_ANYCOLOR | CC_RGBINIT;
    if (!ChooseColorW(&choose)) return false;
    color = static_cast<kp::TColor>(choose.rgbResult);
    return true;
}

int Run()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    // Platform services for the whole run.
    kp::platform::Win32Registry registry;
    kp::platform::Win32FileSystem files;
    kp::platform::Win32KeyNames keyNames;
    kp::platform::Win32KeyState keys;
    kp::platform::Win32SysColors sysColors;
    kp::ui::Win32MessageDialogs messageDialogs;
    kp::ui::Win32ApplicationHost applicationHost("Kestrelpad");
    kp::ui::TApplication application(applicationHost, messageDialogs);
    application.SetTitle("Kestrelpad");

    kp::ui::Win32FormOptions options;
    options.caption = "[NewFile] - Kestrelpad";
    options.application = &applicationHost;
    kp::ui::Win32FormHost host(options);
    messageDialogs.SetOwner(host.Handle());
    kp::ui::Win32DialogService dialogs(host.Handle());
    dialogs.SetExceptionHandler([&](const std::exception& e) { application.HandleException(e); });
    kp::platform::Win32LocaleCompare locale;
    kp::platform::Win32Clock clock;
    kp::platform::Win32DateTimeLocale dateLocale;
    kp::platform::Win32Clipboard clipboard;
    kp::platform::Win32Cp932Codec codec;
    kp::ui::Win32FormService forms(host.Handle());
    kp::platform::Win32PrintDeviceFactory printers([&dialogs] { return dialogs.TakePrinterDC(); }, codec);
    kp::platform::Win32HelpViewer help(host.Handle());

    // The backup writer's thread outlives the form, which waits for its last write.
    kp::app::ThreadExecutor backupThread;
    // The shell's allocator and desktop folder (the folder only with the
    // allocator) outlive the form, whose explorer items free their lists
    // through them.
    kp::platform::Win32ShellNamespace shell;
    kp::platform::ShellNamespace* const shellOrNone = shell.Allocator() && shell.Desktop() ? &shell : nullptr;
    auto form = std::unique_ptr<kp::app::TEditForm>();
    kp::memo::Win32MemoWindowFactory memoWindows(host.Handle(), kMemoId);
    memoWindows.SetExceptionHandler([&](const std::exception& e) { application.HandleException(e); });
    kp::app::FormServices services{registry, files, keyNames, keys, sysColors, application, dialogs,
                                   host.Timers(), memoWindows, locale, FullPath, ProgramFolder(),
                                   clock, dateLocale, clipboard, codec, forms, printers, help, shellOrNone};
    form = std::make_unique<kp::app::TEditForm>(services, host);
    kp::app::TEditForm& editForm = *form;
    editForm.SetBackupWriting(backupThread, [] { return static_cast<uint64_t>(GetTickCount64()); });

    host.OnException = [&](const std::exception& e) { application.HandleException(e); };
    host.SetShortCutText([&](kp::ui::TShortCut shortCut) { return kp::app::ShortCutText(shortCut, keyNames); });
    host.SetMainMenu(&editForm.MainMenu);
    host.AddPopupMenu(editForm.PopupMenu1);
    host.SetToolBar(&editForm.ToolBar1);
    host.SetStatusBar(&editForm.StatusBar1);
    host.SetControls(&editForm.ClientArea);
    // The explorer pane's views show in the docked controls' windows, which
    // own the shell's menus and boxes they raise.
    const kp::ui::ExceptionHandler reportFailure = [&](const std::exception& e) { application.HandleException(e); };
    auto viewWindow = [](HWND window) {
        return kp::shell::ViewWindow{reinterpret_cast<kp::platform::WindowRef>(window), [window](int& x, int& y) {
                                         POINT point{x, y};
                                         ClientToScreen(window, &point);
                                         x = point.x;
                                         y = point.y;
                                     }};
    };
    HWND treeWindow = host.WindowOf(*editForm.FolderTreeViewEx1.Control);
    HWND listWindow = host.WindowOf(*editForm.ShellListBox1.Control);
    editForm.FolderTreeViewEx1.Window() = viewWindow(treeWindow);
    editForm.ShellListBox1.Window() = viewWindow(listWindow);
    auto treeDisplay = std::make_unique<kp::ui::Win32TreeView>(treeWindow, editForm.FolderTreeViewEx1, reportFailure);
    auto listDisplay = std::make_unique<kp::ui::Win32ListView>(listWindow, editForm.ShellListBox1, reportFailure);
    host.OnCloseQuery = [&](bool& canClose) { editForm.FormCloseQuery(canClose); };
    host.OnClose = [&](kp::ui::TCloseAction& action) { editForm.FormClose(action); };
    host.OnQueryEndSession = [&](bool& canEnd) { editForm.FormQueryEndSession(canEnd); };
    host.OnEndSession = [&] { editForm.FormEndSession(); };
    host.OnShow = [&] { editForm.FormShow(); };
    host.OnActivate = [&] { editForm.FormActivate(); };
    host.OnDropFiles = [&](const std::vector<std::string>& paths) { editForm.DropFiles(paths); };
    host.OnMessage = [&](MSG& message) { return dialogs.IsDialogMessage(message); };
    editForm.Memo.OnContextPopup = [&](int x, int y) {
        if (x == -1 && y == -1) {
            POINT caret{};
            GetCaretPos(&caret);
            ClientToScreen(GetFocus(), &caret);
            x = caret.x;
            y = caret.y;
        }
        host.Popup(editForm.PopupMenu1, x, y);
    };
    // The memo's window is made, and made again, where the host lays it out.
    memoWindows.SetParent(host.ParentWindowOf(*editForm.MemoControl));
    memoWindows.SetLayoutBounds([&] {
        const kp::ui::TRect b = editForm.MemoControl->Bounds();
        return RECT{b.left, b.top, b.right, b.bottom};
    });

    try {
        editForm.FormCreate(CommandLineArguments());
    } catch (const std::exception& e) {
        application.HandleException(e);
    }
    if (HWND memo = FindWindowExW(host.ParentWindowOf(*editForm.MemoControl), nullptr,
                                  kp::memo::kEditWindowClass, nullptr))
        host.AttachWindow(*editForm.MemoControl, memo);
    editForm.Memo.OnWindowCreated = [&] {
        if (HWND memo = FindWindowExW(host.ParentWindowOf(*editForm.MemoControl), nullptr,
                                      kp::memo::kEditWindowClass, nullptr))
            host.AttachWindow(*editForm.MemoControl, memo);
    };

    // The settings dialog exists from start-up, hidden until it is asked for.
    kp::app::MainWindowSetup setupTarget(editForm);
    std::unique_ptr<kp::settings::TPagesDlg1> setupDialog;
    try {
        setupDialog = std::make_unique<kp::settings::TPagesDlg1>(
            kp::settings::SetupServices{registry, clock, dateLocale, codec, keyNames, application}, setupTarget);
        editForm.PagesDlg1 = setupDialog.get();
        setupDialog->ExecuteFontDialog = ChooseMemoFont;
        setupDialog->ExecuteColorDialog = ChooseBackground;
    } catch (const std::exception& e) {
        application.HandleException(e);
    }

    host.Show(SW_SHOWNORMAL);
    const int code = host.RunMessageLoop();
    listDisplay.reset();
    treeDisplay.reset();
    host.DetachAll();
    return code;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    kp::ui::RestrictLibrarySearchToSystem();
    // OLE (drags and the shell's objects) for the whole run, shut down last.
    const bool ole = SUCCEEDED(OleInitialize(nullptr));
    int code = 1;
    try {
        code = Run();
    } catch (const std::exception& e) {
        MessageBoxW(nullptr, Wide(e.what()).c_str(), L"Kestrelpad", MB_OK | MB_ICONSTOP);
    }
    if (ole) OleUninitialize();
    return code;
}
