// kp_edit_demo.exe: a top-level window holding the edit control with
// Japanese sample text, a selection and the caret, to look at.
//
//   kp_edit_demo.exe [--ime] [--close-after MS]
//
// --ime shows a sample composition at the caret as an input method would;
// --close-after ends the program after that many milliseconds.

#include "memo/win32/EditWindow.h"

#include <windows.h>
#include <imm.h>
#include <richedit.h>
#include <shellapi.h>

#include <memory>
#include <string>

namespace {

using kp::memo::EditWindow;

constexpr int kEditId = 100;
constexpr UINT_PTR kCloseTimer = 1;

constexpr wchar_t kSample[] =
    L"吾輩は猫である。名前はまだ無い。\r\n"
    L"どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所で泣いていた事だけは記憶している。\r\n"
    L"\r\n"
    L"半角カナ ｶﾀｶﾅ と ASCII text, proportional: iiii WWWW\r\n"
    L"タブ\tの後\t揃う\r\n"
    L"記号：「」『』【】、。・ー～　全角スペース\r\n";

EditWindow* g_edit = nullptr;

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        if (g_edit) MoveWindow(g_edit->Handle(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        if (g_edit) SetFocus(g_edit->Handle());
        return 0;
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

std::wstring SampleText()
{
    std::wstring text = kSample;
    for (int line = 1; line <= 40; ++line) text += L"行 " + std::to_wstring(line) + L"：サンプルの行です。\r\n";
    return text;
}

void ShowComposition(EditWindow& edit)
{
    kp::memo::Composition composition;
    composition.text = u"にほんごを入力";
    composition.attributes = {ATTR_CONVERTED, ATTR_CONVERTED, ATTR_CONVERTED, ATTR_CONVERTED,
                              ATTR_TARGET_CONVERTED, ATTR_INPUT, ATTR_INPUT};
    composition.cursor = 5;
    edit.SetComposition(std::move(composition));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    bool ime = false;
    UINT closeAfter = 0;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--ime") ime = true;
        if (arg == L"--close-after" && i + 1 < argc) closeAfter = static_cast<UINT>(std::stoul(argv[++i]));
    }
    LocalFree(argv);

    WNDCLASSEXW frameClass{};
    frameClass.cbSize = sizeof frameClass;
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = instance;
    frameClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    frameClass.lpszClassName = L"KestrelpadEditDemo";
    RegisterClassExW(&frameClass);
    HWND frame = CreateWindowExW(0, frameClass.lpszClassName, L"Kestrelpad edit demo", WS_OVERLAPPEDWINDOW, 40, 40,
                                 720, 420, nullptr, nullptr, instance, nullptr);

    RECT client{};
    GetClientRect(frame, &client);
    auto edit = std::make_unique<EditWindow>(frame, kEditId, client);
    g_edit = edit.get();
    kp::platform::FontSpec font;
    font.face = "ＭＳ Ｐゴシック";
    font.pixelHeight = 15;
    edit->SetFont(font);
    SendMessageW(edit->Handle(), EM_SETOPTIONS, ECOOP_OR, ECO_SELECTIONBAR);
    SendMessageW(edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(SampleText().c_str()));
    // Bytes that do not decode show as the substitute glyph.
    SendMessageW(edit->Handle(), EM_SETSEL, 0, 0);
    SendMessageW(edit->Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("\x80\xFD[bytes] "));
    // From the middle of the second line into the fourth (byte offsets).
    CHARRANGE selection{60, 190};
    SendMessageW(edit->Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));

    ShowWindow(frame, show);
    UpdateWindow(frame);
    SetFocus(edit->Handle());
    if (ime) {
        SendMessageW(edit->Handle(), EM_SETSEL, 40, 40);
        ShowComposition(*edit);
    }
    if (closeAfter) SetTimer(frame, kCloseTimer, closeAfter, nullptr);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    g_edit = nullptr;
    return 0;
}
