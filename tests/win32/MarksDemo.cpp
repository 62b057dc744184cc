// kp_marks_demo.exe: the memo with every edit mark, the caret line and the
// wrap line on, word wrap with Japanese line breaking, and a composition in
// all four states (one of them struck out), to look at.
//
//   kp_marks_demo.exe [--close-after MS]

#include "memo/ExtMemo.h"
#include "memo/win32/Win32MemoWindow.h"
#include "platform/keyboard/Win32KeyState.h"
#include "platform/syscolors/Win32SysColors.h"

#include <windows.h>
#include <imm.h>
#include <shellapi.h>

#include <string>

namespace {

constexpr UINT_PTR kCloseTimer = 1;

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == kCloseTimer) DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

std::string Cp932(const std::wstring& text)
{
    const int size = WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    UINT closeAfter = 0;
    for (int i = 1; i < argc; ++i)
        if (std::wstring(argv[i]) == L"--close-after" && i + 1 < argc) closeAfter = static_cast<UINT>(std::stoul(argv[++i]));
    LocalFree(argv);

    WNDCLASSEXW frameClass{};
    frameClass.cbSize = sizeof frameClass;
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = instance;
    frameClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    frameClass.lpszClassName = L"KestrelpadMarksDemo";
    RegisterClassExW(&frameClass);
    const UINT dpi = GetDpiForSystem();
    HWND frame = CreateWindowExW(0, frameClass.lpszClassName, L"Kestrelpad marks demo", WS_OVERLAPPEDWINDOW, 20, 20,
                                 MulDiv(640, static_cast<int>(dpi), 96), MulDiv(400, static_cast<int>(dpi), 96),
                                 nullptr, nullptr, instance, nullptr);
    RECT client{};
    GetClientRect(frame, &client);

    kp::platform::Win32KeyState keys;
    kp::platform::Win32SysColors colors;
    kp::memo::Win32MemoWindowFactory factory(frame, 100);
    factory.SetBounds(client);
    kp::memo::TExtMemo memo(factory, keys, colors);
    memo.SetFont(kp::platform::FontSpec{"ＭＳ Ｐゴシック", 15, false, false, 128});
    kp::memo::TEditMark* marks[] = {&memo.EditMarks.CrLf, &memo.EditMarks.Ctrl, &memo.EditMarks.DSp,
                                    &memo.EditMarks.SSp,  &memo.EditMarks.Tab,  &memo.EditMarks.Eot};
    for (kp::memo::TEditMark* mark : marks) {
        mark->Enabled = true;
        mark->Color = kp::memo::clGray;
    }
    memo.EditMarks.Ctrl.Reversed = true;
    memo.EditMarks.DSp.Color = 0x0000C0;
    memo.CaretMarker.Enabled = true;
    memo.CaretMarker.Color = 0xC00000;
    memo.WordWrapMarker.Enabled = true;
    memo.WordWrapMarker.Color = 0x00A000;
    memo.EditArea.SetEnabled(true);
    memo.SetWordWrap(true);
    memo.CreateWnd();
    memo.EditArea.SetWidth(MulDiv(300, static_cast<int>(dpi), 96));
    memo.WordWrapOption().SetPunctuationMode(kp::memo::wbfLevel2);
    kp::memo::TImeColors& ime = memo.ImeColors();
    ime.Untransfered.SetIcBackground(kp::memo::clWhite);
    ime.Untransfered.SetStyle(kp::memo::fsUnderline);
    ime.WatchingTransfered.SetIcBackground(kp::memo::clGray);
    ime.WatchingTransfered.SetIcText(kp::memo::clWhite);
    ime.Transfered.SetIcBackground(0xE0FFFF);
    ime.Transfered.SetStyle(kp::memo::fsUnderline | kp::memo::fsStrikeOut);
    ime.WatchingUntransfered.SetIcText(kp::memo::clWhite);
    ime.WatchingUntransfered.SetIcBackground(0x800000);

    memo.SetText(Cp932(L"吾輩は猫である。名前はまだ無い。「どこで生れたか」とんと見当がつかぬ。何でも薄暗い所で泣いていた。\r\n"
                       L"\tタブ\tの後 spaces  and\x01" L"control\r\n"
                       L"全角　スペース　。lone LF\n"
                       L"lone CR\r"
                       L"The quick brown fox jumps over the lazy dog again and again.\r\n"
                       L"最後の行"));
    ShowWindow(frame, show);
    UpdateWindow(frame);
    memo.SetFocus();
    memo.SetSelStart(Cp932(L"吾輩は猫である。名前は").size());

    // A composition in the four states, as an input method would send it.
    HWND edit = FindWindowExW(frame, nullptr, kp::memo::kEditWindowClass, nullptr);
    if (auto* editWindow = reinterpret_cast<kp::memo::EditWindow*>(GetWindowLongPtrW(edit, GWLP_USERDATA))) {
        kp::memo::Composition composition;
        composition.text = u"みかん変換済み対象";
        composition.attributes = {ATTR_INPUT, ATTR_INPUT, ATTR_INPUT, ATTR_CONVERTED, ATTR_CONVERTED, ATTR_CONVERTED,
                                  ATTR_TARGET_CONVERTED, ATTR_TARGET_CONVERTED, ATTR_TARGET_NOTCONVERTED};
        composition.cursor = 9;
        editWindow->SetComposition(std::move(composition));
    }
    if (closeAfter) SetTimer(frame, kCloseTimer, closeAfter, nullptr);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
