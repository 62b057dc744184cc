#include "ui/win32/Win32FormService.h"

#include "base/Utf.h"
#include "ui/win32/DialogTemplate.h"

#include <algorithm>
#include <string>
#include <vector>

namespace kp::ui {

namespace {

constexpr WORD kButtonClass = 0x0080;
constexpr WORD kStaticClass = 0x0082;
// Ids of the controls that return nothing: the form's order from here.
constexpr int kFirstPlainId = 1000;

std::wstring Wide(std::string_view utf8)
{
    const std::u16string text = Utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}

int Scale(int design, UINT dpi) { return MulDiv(design, static_cast<int>(dpi), 96); }

int IdOf(const FormControl& control, size_t index)
{
    if (control.kind == FormControlKind::Button && control.result != mrNone) return control.result;
    return kFirstPlainId + static_cast<int>(index);
}

struct FormState {
    const FormSpec* form = nullptr;
    HWND owner = nullptr;
    HINSTANCE resources = nullptr;
    std::vector<HFONT> fonts;  // per control; null: the dialog's own
    std::vector<HICON> icons;
};

COLORREF ColorOf(TColor color)
{
    return IsSystemColor(color) ? GetSysColor(SystemColorIndex(color)) : static_cast<COLORREF>(color & 0xFFFFFF);
}

// The label's own font at `dpi`: a size in points, or a character height in
// pixels (a negative height asks GDI for exactly that). A face the system
// lacks is replaced by the font mapper's nearest.
HFONT CreateLabelFont(const FormFont& font, UINT dpi)
{
    const int height = font.points > 0 ? -MulDiv(font.points, static_cast<int>(dpi), 72) : -Scale(font.pixelHeight, dpi);
    const bool ascii = std::all_of(font.face.begin(), font.face.end(), [](char c) { return (c & 0x80) == 0; });
    return CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic, FALSE, FALSE,
                       ascii ? DEFAULT_CHARSET : SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Wide(font.face).c_str());
}

// The size of a label's text in its font, with room for an italic last
// letter that leans past its advance.
SIZE LabelExtent(HWND label, HFONT font, const std::wstring& text)
{
    HDC dc = GetDC(label);
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    size.cy = std::max<LONG>(size.cy, metrics.tmHeight);
    if (metrics.tmItalic && !text.empty()) {
        ABC abc{};
        if (GetCharABCWidthsW(dc, text.back(), text.back(), &abc) && abc.abcC < 0) size.cx -= abc.abcC;
        size.cx += metrics.tmOverhang + metrics.tmHeight / 6;
    }
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    return size;
}

void PlaceControls(HWND dialog, FormState& state, UINT dpi)
{
    const FormSpec& form = *state.form;
    const HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    state.fonts.assign(form.controls.size(), nullptr);
    for (size_t i = 0; i < form.controls.size(); ++i) {
        const FormControl& control = form.controls[i];
        HWND window = GetDlgItem(dialog, IdOf(control, i));
        if (!window) continue;
        int width = Scale(control.width, dpi);
        int height = Scale(control.height, dpi);
        switch (control.kind) {
        case FormControlKind::Label: {
            HFONT font = dialogFont;
            if (!control.font.face.empty()) {
                font = state.fonts[i] = CreateLabelFont(control.font, dpi);
                SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            }
            const SIZE extent = LabelExtent(window, font, Wide(control.text));
            if (control.width == 0) width = extent.cx;
            if (control.height == 0) height = extent.cy;
            break;
        }
        case FormControlKind::Icon: {
            const HICON icon = static_cast<HICON>(LoadImageW(state.resources ? state.resources : GetModuleHandleW(nullptr),
                                                             MAKEINTRESOURCEW(control.iconId), IMAGE_ICON, width,
                                                             height, LR_DEFAULTCOLOR));
            if (icon) {
                state.icons.push_back(icon);
                SendMessageW(window, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
            }
            break;
        }
        default: break;
        }
        MoveWindow(window, Scale(control.left, dpi), Scale(control.top, dpi), width, height, FALSE);
    }
}

RECT MonitorNear(HWND window, bool workArea)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return workArea ? monitor.rcWork : monitor.rcMonitor;
}

// Sizes the window around the form's client area and centres it over its
// owner (when that shows) or on the screen, kept inside the work area.
void PlaceWindow(HWND dialog, const FormState& state, UINT dpi)
{
    RECT frame{0, 0, Scale(state.form->clientWidth, dpi), Scale(state.form->clientHeight, dpi)};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)), dpi);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    HWND anchor = state.owner ? state.owner : dialog;
    const RECT work = MonitorNear(anchor, true);
    RECT around = MonitorNear(anchor, false);
    if (state.form->position == FormPosition::OwnerCenter && state.owner && IsWindowVisible(state.owner) &&
        !IsIconic(state.owner))
        GetWindowRect(state.owner, &around);
    int left = around.left + ((around.right - around.left) - width) / 2;
    int top = around.top + ((around.bottom - around.top) - height) / 2;
    left = std::clamp<int>(left, work.left, std::max<int>(work.left, work.right - width));
    top = std::clamp<int>(top, work.top, std::max<int>(work.top, work.bottom - height));
    SetWindowPos(dialog, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

const FormControl* ControlOf(const FormState& state, int id)
{
    const auto& controls = state.form->controls;
    for (size_t i = 0; i < controls.size(); ++i)
        if (IdOf(controls[i], i) == id) return &controls[i];
    return nullptr;
}

INT_PTR CALLBACK FormProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* state = reinterpret_cast<FormState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        state = reinterpret_cast<FormState*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        const UINT dpi = GetDpiForWindow(dialog);
        PlaceControls(dialog, *state, dpi ? dpi : USER_DEFAULT_SCREEN_DPI);
        PlaceWindow(dialog, *state, dpi ? dpi : USER_DEFAULT_SCREEN_DPI);
        const auto& controls = state->form->controls;
        for (size_t i = 0; i < controls.size(); ++i) {
            if (controls[i].kind != FormControlKind::Button || !controls[i].isDefault) continue;
            SendMessageW(dialog, DM_SETDEFID, IdOf(controls[i], i), 0);
            SetFocus(GetDlgItem(dialog, IdOf(controls[i], i)));
            return FALSE;  // focus set here
        }
        return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
        const FormControl* control = state ? ControlOf(*state, GetDlgCtrlID(reinterpret_cast<HWND>(lParam))) : nullptr;
        if (!control || control->kind != FormControlKind::Label) break;
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, ColorOf(control->color));
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_COMMAND: {
        if (!state || HIWORD(wParam) != BN_CLICKED) break;
        const int id = LOWORD(wParam);
        const FormControl* control = ControlOf(*state, id);
        if (control && control->kind == FormControlKind::Button) {
            if (control->result != mrNone) EndDialog(dialog, control->result);
        } else if (id == IDCANCEL && state->form->escapeResult != mrNone) {  // Escape
            EndDialog(dialog, state->form->escapeResult);
        }
        return TRUE;
    }
    case WM_CLOSE: EndDialog(dialog, mrCancel); return TRUE;
    case WM_DESTROY:
        if (!state) break;
        for (HFONT font : state->fonts)
            if (font) DeleteObject(font);
        for (HICON icon : state->icons) DestroyIcon(icon);
        state->fonts.clear();
        state->icons.clear();
        break;
    default: break;
    }
    return FALSE;
}

}  // namespace

ModalResult Win32FormService::ShowModal(const FormSpec& form)
{
    for (const FormControl& control : form.controls) {
        if (control.kind > FormControlKind::Icon) {
            FormSpec editing = form;
            return Edit(editing);
        }
    }
    FormState state;
    state.form = &form;
    state.owner = owner_ && IsWindow(owner_) ? owner_ : GetActiveWindow();
    state.resources = resources_;

    DialogTemplate dialog(Wide(form.caption),
                          WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_SETFOREGROUND,
                          static_cast<WORD>(form.controls.size()), Wide(form.font.face),
                          static_cast<WORD>(form.font.points > 0 ? form.font.points : 9), form.font.bold,
                          form.font.italic);
    bool firstButton = true;
    for (size_t i = 0; i < form.controls.size(); ++i) {
        const FormControl& control = form.controls[i];
        const DWORD id = static_cast<DWORD>(IdOf(control, i));
        switch (control.kind) {
        case FormControlKind::Label: {
            const DWORD align = control.align == FormAlign::Right    ? SS_RIGHT
                                : control.align == FormAlign::Center ? SS_CENTER
                                                                     : SS_LEFT;
            dialog.Item(kStaticClass, id, align | SS_NOPREFIX, Wide(control.text));
            break;
        }
        case FormControlKind::Button:
            dialog.Item(kButtonClass, id,
                        (control.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP |
                            (firstButton ? WS_GROUP : 0),
                        Wide(control.text));
            firstButton = false;
            break;
        case FormControlKind::Bevel: dialog.Item(kStaticClass, id, SS_ETCHEDFRAME, L""); break;
        case FormControlKind::Icon: dialog.Item(kStaticClass, id, SS_ICON | SS_REALSIZECONTROL, L""); break;
        default: break;  // editing kinds go through Edit
        }
    }
    const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.Get(), state.owner, FormProc,
                                                   reinterpret_cast<LPARAM>(&state));
    return result > 0 ? static_cast<ModalResult>(result) : mrNone;
}

}  // namespace kp::ui
