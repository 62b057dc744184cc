#include "ui/win32/Win32MessageDialogs.h"

#include "base/Utf.h"
#include "ui/win32/DialogTemplate.h"

#include <algorithm>
#include <string>
#include <vector>

namespace kp::ui {

namespace {

constexpr WORD kTextId = 0xFFFF;
constexpr WORD kIconId = 0x0014;
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kFontPoints = 9;
constexpr wchar_t kFontFace[] = L"MS UI Gothic";

std::wstring Wide(std::string_view utf8)
{
    const std::u16string text = Utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}

// The buttons in the order they are shown, and what each answers.
std::vector<ModalResult> ButtonsOf(DialogButtons buttons)
{
    std::vector<ModalResult> results;
    if (buttons & mbYes) results.push_back(mrYes);
    if (buttons & mbNo) results.push_back(mrNo);
    if (buttons & mbOK) results.push_back(mrOk);
    if (buttons & mbCancel) results.push_back(mrCancel);
    if (results.empty()) results.push_back(mrOk);
    return results;
}

DialogButton ButtonOf(ModalResult result)
{
    switch (result) {
    case mrYes: return mbYes;
    case mrNo: return mbNo;
    case mrCancel: return mbCancel;
    default: return mbOK;
    }
}

// What Esc and the close box answer: Cancel, else No, else OK; a dialog with
// Yes alone cannot be dismissed that way.
ModalResult EscapeResult(const std::vector<ModalResult>& buttons)
{
    for (const ModalResult result : {mrCancel, mrNo, mrOk})
        if (std::find(buttons.begin(), buttons.end(), result) != buttons.end()) return result;
    return mrNone;
}

// System icon and sound of each kind; Custom has no icon.
LPCWSTR IconOf(DialogKind kind)
{
    switch (kind) {
    case DialogKind::Confirmation: return IDI_QUESTION;
    case DialogKind::Error: return IDI_HAND;
    case DialogKind::Warning: return IDI_EXCLAMATION;
    case DialogKind::Information: return IDI_ASTERISK;
    case DialogKind::Custom: break;
    }
    return nullptr;
}

UINT SoundOf(DialogKind kind)
{
    switch (kind) {
    case DialogKind::Confirmation: return MB_ICONQUESTION;
    case DialogKind::Error: return MB_ICONHAND;
    case DialogKind::Warning: return MB_ICONEXCLAMATION;
    case DialogKind::Information: return MB_ICONASTERISK;
    case DialogKind::Custom: break;
    }
    return MB_OK;
}

// The kind's icon at `size` pixels, drawn for that size where the common
// controls can (version 6, which a program without a manifest lacks on
// Windows); else the system's shared icon, which must not be destroyed.
HICON LoadKindIcon(LPCWSTR icon, int size, bool& owned)
{
    using LoadScaled = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    static const LoadScaled loadScaled = [] {
        const HMODULE controls = LoadLibraryW(L"comctl32.dll");
        const FARPROC proc = controls ? GetProcAddress(controls, "LoadIconWithScaleDown") : nullptr;
        return reinterpret_cast<LoadScaled>(reinterpret_cast<void (*)()>(proc));
    }();
    HICON loaded = nullptr;
    owned = loadScaled && SUCCEEDED(loadScaled(nullptr, icon, size, size, &loaded)) && loaded;
    return owned ? loaded : LoadIconW(nullptr, icon);
}

struct DialogState {
    std::wstring text;
    std::wstring caption;
    std::vector<ModalResult> buttons;
    HICON icon = nullptr;
    bool ownsIcon = false;
    HWND owner = nullptr;
};

SIZE MeasureText(HDC dc, const std::wstring& text, int maxWidth, UINT format)
{
    RECT r{0, 0, maxWidth, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_CALCRECT);
    return {r.right - r.left, r.bottom - r.top};
}

RECT WorkAreaNear(HWND window)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

// Places every control and sizes the dialog around them. Measures come from
// the dialog's own font (dialog units) and the window's DPI (icon).
void LayOut(HWND dialog, const DialogState& state)
{
    RECT units{0, 0, 4, 8};
    MapDialogRect(dialog, &units);
    const auto dluX = [&](int n) { return MulDiv(n, units.right, 4); };
    const auto dluY = [&](int n) { return MulDiv(n, units.bottom, 8); };
    const UINT dpi = GetDpiForWindow(dialog);

    const int marginX = dluX(8);
    const int marginY = dluY(8);
    const int iconSize = state.icon ? GetSystemMetricsForDpi(SM_CXICON, dpi) : 0;
    const int iconGap = state.icon ? dluX(8) : 0;
    const int buttonHeight = dluY(14);
    const int buttonGap = dluX(4);
    const RECT work = WorkAreaNear(state.owner ? state.owner : dialog);
    const int maxTextWidth =
        std::max<int>(dluX(100), (work.right - work.left) * 2 / 3 - 2 * marginX - iconSize - iconGap);

    HDC dc = GetDC(dialog);
    const HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    SIZE text = MeasureText(dc, state.text, maxTextWidth, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    text.cy = std::max<LONG>(text.cy, metrics.tmHeight);
    int buttonWidth = dluX(50);
    for (const ModalResult result : state.buttons) {
        const std::wstring caption = Wide(ButtonCaption(ButtonOf(result)));
        buttonWidth = std::max<int>(buttonWidth, MeasureText(dc, caption, 0, DT_SINGLELINE).cx + dluX(12));
    }
    const int captionWidth = MeasureText(dc, state.caption, 0, DT_SINGLELINE | DT_NOPREFIX).cx +
                             3 * GetSystemMetricsForDpi(SM_CXSIZE, dpi);
    SelectObject(dc, oldFont);
    ReleaseDC(dialog, dc);

    const int buttonCount = static_cast<int>(state.buttons.size());
    const int rowWidth = buttonCount * buttonWidth + (buttonCount - 1) * buttonGap;
    const int bodyWidth = iconSize + iconGap + text.cx;
    const int clientWidth = std::max({bodyWidth, rowWidth, captionWidth}) + 2 * marginX;
    const int bodyHeight = std::max<int>(iconSize, text.cy);
    const int rowTop = marginY + bodyHeight + dluY(8);
    const int clientHeight = rowTop + buttonHeight + marginY;

    if (state.icon)
        MoveWindow(GetDlgItem(dialog, kIconId), marginX, marginY + (bodyHeight - iconSize) / 2, iconSize,
                   iconSize, FALSE);
    MoveWindow(GetDlgItem(dialog, kTextId), marginX + iconSize + iconGap, marginY + (bodyHeight - text.cy) / 2,
               text.cx, text.cy, FALSE);
    int x = (clientWidth - rowWidth) / 2;
    for (const ModalResult result : state.buttons) {
        MoveWindow(GetDlgItem(dialog, result), x, rowTop, buttonWidth, buttonHeight, FALSE);
        x += buttonWidth + buttonGap;
    }

    // The frame around that client area, as this window has it.
    RECT window, client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    const int width = std::min<int>(clientWidth + (window.right - window.left) - client.right,
                                    work.right - work.left);
    const int height = std::min<int>(clientHeight + (window.bottom - window.top) - client.bottom,
                                     work.bottom - work.top);

    // Centred on the owner when it shows, else on the work area; kept inside.
    RECT around = work;
    if (state.owner && IsWindowVisible(state.owner) && !IsIconic(state.owner)) GetWindowRect(state.owner, &around);
    int left = around.left + ((around.right - around.left) - width) / 2;
    int top = around.top + ((around.bottom - around.top) - height) / 2;
    left = std::clamp<int>(left, work.left, work.right - width);
    top = std::clamp<int>(top, work.top, work.bottom - height);
    SetWindowPos(dialog, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        state = reinterpret_cast<DialogState*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        if (state->icon) SendDlgItemMessageW(dialog, kIconId, STM_SETICON, reinterpret_cast<WPARAM>(state->icon), 0);
        LayOut(dialog, *state);
        const int first = state->buttons.front();
        SendMessageW(dialog, DM_SETDEFID, first, 0);
        SetFocus(GetDlgItem(dialog, first));
        return FALSE;  // focus set here
    }
    case WM_COMMAND: {
        if (!state || HIWORD(wParam) != BN_CLICKED) break;
        const int id = LOWORD(wParam);
        if (std::find(state->buttons.begin(), state->buttons.end(), id) != state->buttons.end()) {
            EndDialog(dialog, id);
        } else if (id == IDCANCEL) {  // Esc or the close box
            const ModalResult result = EscapeResult(state->buttons);
            if (result != mrNone) EndDialog(dialog, result);
        }
        return TRUE;
    }
    default: break;
    }
    return FALSE;
}

}  // namespace

ModalResult Win32MessageDialogs::Show(std::string_view text, std::string_view caption, DialogKind kind,
                                      DialogButtons buttons)
{
    DialogState state;
    state.text = Wide(text);
    state.caption = Wide(caption);
    state.buttons = ButtonsOf(buttons);
    state.owner = owner_ && IsWindow(owner_) ? owner_ : GetActiveWindow();

    const bool hasIcon = IconOf(kind) != nullptr;
    DialogTemplate dialog(state.caption,
                          WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_SETFOREGROUND,
                          static_cast<WORD>(state.buttons.size() + (hasIcon ? 2 : 1)), kFontFace, kFontPoints);
    if (hasIcon) dialog.Item(kStaticClass, kIconId, SS_ICON, L"");
    dialog.Item(kStaticClass, kTextId, SS_LEFT | SS_NOPREFIX, state.text);
    bool first = true;
    for (const ModalResult result : state.buttons) {
        dialog.Item(kButtonClass, static_cast<DWORD>(result),
                    (first ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP | (first ? WS_GROUP : 0),
                    Wide(ButtonCaption(ButtonOf(result))));
        first = false;
    }

    if (hasIcon) {
        const UINT dpi = state.owner ? GetDpiForWindow(state.owner) : GetDpiForSystem();
        const int size = GetSystemMetricsForDpi(SM_CXICON, dpi ? dpi : USER_DEFAULT_SCREEN_DPI);
        state.icon = LoadKindIcon(IconOf(kind), size, state.ownsIcon);
    }
    MessageBeep(SoundOf(kind));
    const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.Get(), state.owner,
                                                   DialogProc, reinterpret_cast<LPARAM>(&state));
    if (state.ownsIcon) DestroyIcon(state.icon);
    return result > 0 ? static_cast<ModalResult>(result) : mrNone;
}

void Win32MessageDialogs::Beep(DialogKind kind) { MessageBeep(SoundOf(kind)); }

}  // namespace kp::ui
