// Editing forms on Win32: a "#32770" dialog whose controls are made in code
// from the form, their state set from the form and read back into it when an
// event runs and when the form closes. Pages are child dialogs
// (WS_EX_CONTROLPARENT) over a tab control with multi-line tabs, only the
// page in front visible, so the dialog manager takes Tab, the arrows and the
// access keys into the page shown and never into a hidden one. Trees are
// SysTreeView32 controls, hot-key boxes the platform's msctls_hotkey32,
// pictures owner-drawn statics, number boxes edits with an msctls_updown32
// buddied to them.
//
// The dialog is modeless under a modal loop of its own: the owner disabled,
// every message through IsDialogMessage, no accelerators of the owner's
// menu, until OK, Cancel, Escape or the close box. A kept form's window is
// hidden then and shown again by the next Edit.

#include "ui/win32/Win32FormService.h"

#include "base/Utf.h"
#include "ui/Menu.h"
#include "ui/win32/DialogTemplate.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

namespace kp::ui {

namespace {

constexpr int kTabId = 999;
constexpr int kFirstControlId = 1000;
// Posted by a tree's NM_CLICK: the click has selected by the time it
// arrives. wParam: the control's index.
constexpr UINT kTreeClicked = WM_APP + 1;
// Sent by the page keys: wParam the step (+1 next page, -1 previous).
constexpr UINT kPageStep = WM_APP;

// A hot-key box's value (virtual key, HOTKEYF_* modifiers) and a shortcut.
// The box names the cursor keys and their block by the keypad's keys unless
// they carry HOTKEYF_EXT; a shortcut names the key itself, so the flag goes
// in for them and is dropped coming back.
bool IsExtendedKey(UINT key)
{
    return (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE;
}

WPARAM HotKeyOf(int shortCut)
{
    const UINT key = static_cast<UINT>(shortCut) & 0xFFu;
    BYTE modifiers = 0;
    if (shortCut & scShift) modifiers |= HOTKEYF_SHIFT;
    if (shortCut & scCtrl) modifiers |= HOTKEYF_CONTROL;
    if (shortCut & scAlt) modifiers |= HOTKEYF_ALT;
    if (key != 0 && IsExtendedKey(key)) modifiers |= HOTKEYF_EXT;
    return MAKEWORD(key, modifiers);
}

int ShortCutOf(LRESULT hotKey)
{
    const BYTE modifiers = HIBYTE(LOWORD(hotKey));
    int shortCut = LOBYTE(LOWORD(hotKey));
    if (modifiers & HOTKEYF_SHIFT) shortCut |= scShift;
    if (modifiers & HOTKEYF_CONTROL) shortCut |= scCtrl;
    if (modifiers & HOTKEYF_ALT) shortCut |= scAlt;
    return shortCut;
}

std::wstring Wide(std::string_view utf8)
{
    const std::u16string text = Utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}

std::string Narrow(const std::wstring& text) { return Utf16ToUtf8(std::u16string(text.begin(), text.end())); }

std::string TextOf(HWND window)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

int Scale(int design, UINT dpi) { return MulDiv(design, static_cast<int>(dpi), 96); }

COLORREF RgbOf(TColor color)
{
    return IsSystemColor(color) ? GetSysColor(SystemColorIndex(color)) : static_cast<COLORREF>(color & 0xFFFFFF);
}

HFONT MakeFont(const FormFont& font, UINT dpi)
{
    return CreateFontW(-MulDiv(font.points, static_cast<int>(dpi), 72), 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL,
                       font.italic, font.underline, font.strikeOut, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Wide(font.face).c_str());
}

int IdOf(const FormControl& control, size_t index)
{
    if (control.kind == FormControlKind::Button && control.result != mrNone) return control.result;
    return kFirstControlId + static_cast<int>(index);
}

struct EditState {
    FormSpec* form = nullptr;  // null while the window is being destroyed
    HWND owner = nullptr;
    HWND dialog = nullptr;
    HWND tab = nullptr;
    std::vector<HWND> pages;    // the child dialog of each page
    std::vector<HWND> windows;  // per control
    std::vector<HFONT> fonts;
    std::vector<FormFont> madeFonts;  // per control: what its own font was made from
    std::vector<std::pair<TColor, HBRUSH>> backgrounds;  // per control: its label background
    std::vector<std::vector<HTREEITEM>> treeItems;  // per control: a tree's items by index
    std::vector<HWND> arrows;  // per control: a number box's up/down arrows
    UINT dpi = USER_DEFAULT_SCREEN_DPI;
    bool writing = false;
    bool cycling = false;  // moving the focus for a shared access key
    // The modal loop runs until `ended`, with `result` to return.
    bool ended = false;
    ModalResult result = mrCancel;
    HWND lastFocus = nullptr;  // the control focused when the form closed
};

// The page in front shown, the others hidden.
void ShowPage(EditState& state)
{
    for (size_t page = 0; page < state.pages.size(); ++page)
        if (static_cast<int>(page) == state.form->activePage) ShowWindow(state.pages[page], SW_SHOWNA);
    for (size_t page = 0; page < state.pages.size(); ++page)
        if (static_cast<int>(page) != state.form->activePage) ShowWindow(state.pages[page], SW_HIDE);
}

bool IsNumberBox(const FormControl& control)
{
    return control.kind == FormControlKind::Edit && control.maximum > control.minimum;
}

// The whole number a text shows, when it shows one inside the box's range.
bool InRange(const FormControl& control, const std::string& text, int& value)
{
    if (text.empty() || text.size() > 11) return false;
    size_t at = text[0] == '-' ? 1 : 0;
    if (at == text.size()) return false;
    long long number = 0;
    for (; at < text.size(); ++at) {
        if (text[at] < '0' || text[at] > '9') return false;
        number = number * 10 + (text[at] - '0');
    }
    if (text[0] == '-') number = -number;
    if (number < control.minimum || number > control.maximum) return false;
    value = static_cast<int>(number);
    return true;
}

// An editable list whose chosen entry is the form's text puts that text into
// its box itself once the choice is told. Setting the box's text meanwhile
// would clear the list's selection, and the list would then empty the box.
bool PuttingChosenText(HWND list, const FormControl& control)
{
    return control.selected >= 0 && static_cast<size_t>(control.selected) < control.items.size() &&
           SendMessageW(list, CB_GETCURSEL, 0, 0) == control.selected &&
           control.items[static_cast<size_t>(control.selected)] == control.text;
}

// Control state from the form into the windows.
void WriteBack(EditState& state)
{
    state.writing = true;
    for (size_t i = 0; i < state.windows.size(); ++i) {
        const FormControl& control = state.form->controls[i];
        HWND window = state.windows[i];
        switch (control.kind) {
        case FormControlKind::CheckBox:
        case FormControlKind::Radio:
            SendMessageW(window, BM_SETCHECK, control.checked ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case FormControlKind::Edit:
            if (TextOf(window) != control.text) SetWindowTextW(window, Wide(control.text).c_str());
            if (state.arrows[i]) {
                // The arrows start from the text when it is a number they
                // can show, else from where they were.
                int value = control.position;
                InRange(control, control.text, value);
                SendMessageW(state.arrows[i], UDM_SETPOS32, 0, value);
                if (TextOf(window) != control.text) SetWindowTextW(window, Wide(control.text).c_str());
            }
            break;
        case FormControlKind::ComboBox:
            if (control.readOnly)
                SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(control.selected), 0);
            else if (TextOf(window) != control.text && !PuttingChosenText(window, control))
                SetWindowTextW(window, Wide(control.text).c_str());
            break;
        case FormControlKind::Label:
            if (control.page >= 0) SetWindowTextW(window, Wide(control.text).c_str());
            // A label with its own font shows the font it is given now.
            if (state.fonts[i] && control.font.points > 0 && control.font != state.madeFonts[i]) {
                const HFONT made = MakeFont(control.font, state.dpi);
                SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(made), FALSE);
                DeleteObject(state.fonts[i]);
                state.fonts[i] = made;
                state.madeFonts[i] = control.font;
            }
            if (state.fonts[i]) InvalidateRect(window, nullptr, TRUE);
            break;
        case FormControlKind::Tree: {
            const std::vector<HTREEITEM>& items = state.treeItems[i];
            const bool inRange = control.selected >= 0 && static_cast<size_t>(control.selected) < items.size();
            HTREEITEM wanted = inRange ? items[static_cast<size_t>(control.selected)] : nullptr;
            if (TreeView_GetSelection(window) != wanted) TreeView_SelectItem(window, wanted);
            break;
        }
        case FormControlKind::HotKey:
            if (ShortCutOf(SendMessageW(window, HKM_GETHOTKEY, 0, 0)) != control.shortCut)
                SendMessageW(window, HKM_SETHOTKEY, HotKeyOf(control.shortCut), 0);
            break;
        case FormControlKind::Picture: InvalidateRect(window, nullptr, FALSE); break;
        default: break;
        }
        EnableWindow(window, control.enabled);
        if (state.arrows[i]) EnableWindow(state.arrows[i], control.enabled);
    }
    if (state.tab) TabCtrl_SetCurSel(state.tab, state.form->activePage);
    ShowPage(state);
    state.writing = false;
}

// What the user typed and checked, into the form.
void ReadBack(EditState& state)
{
    for (size_t i = 0; i < state.windows.size(); ++i) {
        FormControl& control = state.form->controls[i];
        HWND window = state.windows[i];
        switch (control.kind) {
        case FormControlKind::CheckBox:
        case FormControlKind::Radio:
            control.checked = SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
            break;
        case FormControlKind::Edit:
            control.text = TextOf(window);
            if (state.arrows[i]) control.position = static_cast<int>(SendMessageW(state.arrows[i], UDM_GETPOS32, 0, 0));
            break;
        case FormControlKind::ComboBox:
            if (control.readOnly)
                control.selected = static_cast<int>(SendMessageW(window, CB_GETCURSEL, 0, 0));
            else
                control.text = TextOf(window);
            break;
        case FormControlKind::Tree: {
            const HTREEITEM item = TreeView_GetSelection(window);
            const std::vector<HTREEITEM>& items = state.treeItems[i];
            const auto found = std::find(items.begin(), items.end(), item);
            control.selected = item && found != items.end() ? static_cast<int>(found - items.begin()) : -1;
            break;
        }
        case FormControlKind::HotKey:
            control.shortCut = ShortCutOf(SendMessageW(window, HKM_GETHOTKEY, 0, 0));
            break;
        default: break;
        }
    }
    if (state.tab) state.form->activePage = TabCtrl_GetCurSel(state.tab);
}

// An edit box whose text no longer fits loses the end of what was just
// typed or pasted (the characters before the caret), a whole character at a
// time, until it fits.
void KeepFitting(EditState& state, size_t index)
{
    const FormControl& control = state.form->controls[index];
    HWND window = state.windows[index];
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    if (control.fits(Narrow(text))) return;
    DWORD caret = 0;
    SendMessageW(window, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    size_t at = std::min<size_t>(caret, text.size());
    if (at == 0) at = text.size();
    while (at > 0 && !control.fits(Narrow(text))) {
        const size_t width = at >= 2 && IS_LOW_SURROGATE(text[at - 1]) && IS_HIGH_SURROGATE(text[at - 2]) ? 2 : 1;
        at -= width;
        text.erase(at, width);
    }
    state.writing = true;
    SetWindowTextW(window, text.c_str());
    SendMessageW(window, EM_SETSEL, at, static_cast<LPARAM>(at));
    state.writing = false;
}

void Fire(EditState& state, size_t index)
{
    if (!state.form->OnEvent) return;
    state.form->OnEvent(*state.form, state.form->controls[index].name);
    WriteBack(state);
}

// A tree's items, each under the nearest shallower item before it, all
// expanded.
void AddTreeItems(HWND tree, const FormControl& control, std::vector<HTREEITEM>& items)
{
    std::vector<HTREEITEM> parents;  // by depth
    for (size_t index = 0; index < control.items.size(); ++index) {
        const int level = index < control.levels.size() ? control.levels[index] : 0;
        const size_t depth = static_cast<size_t>(std::max(0, std::min(level, static_cast<int>(parents.size()))));
        std::wstring text = Wide(control.items[index]);
        TVINSERTSTRUCTW insert{};
        insert.hParent = depth == 0 ? TVI_ROOT : parents[depth - 1];
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        insert.item.pszText = text.data();
        insert.item.lParam = static_cast<LPARAM>(index);
        const HTREEITEM item = TreeView_InsertItem(tree, &insert);
        items.push_back(item);
        parents.resize(depth);
        parents.push_back(item);
    }
    for (HTREEITEM item : items) TreeView_Expand(tree, item, TVE_EXPAND);
    if (!items.empty()) TreeView_EnsureVisible(tree, items.front());
}

void DrawPicture(const FormControl& control, const DRAWITEMSTRUCT& draw, UINT dpi)
{
    FillRect(draw.hDC, &draw.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    for (const FormShape& shape : control.shapes) {
        const COLORREF rgb = IsSystemColor(shape.color) ? GetSysColor(SystemColorIndex(shape.color))
                                                        : static_cast<COLORREF>(shape.color & 0xFFFFFF);
        const HBRUSH brush = CreateSolidBrush(rgb);
        const RECT box{draw.rcItem.left + Scale(shape.left, dpi), draw.rcItem.top + Scale(shape.top, dpi),
                       draw.rcItem.left + Scale(shape.left + shape.width, dpi),
                       draw.rcItem.top + Scale(shape.top + shape.height, dpi)};
        FillRect(draw.hDC, &box, brush);
        DeleteObject(brush);
    }
}

// A page's child dialog: its controls' messages go on to the form's dialog,
// which handles them as its own.
INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return FALSE;  // the focus stays where the form puts it
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: return static_cast<INT_PTR>(SendMessageW(GetParent(page), message, wParam, lParam));
    default: return FALSE;
    }
}

HWND MakePage(HWND dialog, const FormSpec& form, const RECT& display)
{
    DialogTemplate page(L"", WS_CHILD | DS_CONTROL | DS_SETFONT, 0, Wide(form.font.face),
                        static_cast<WORD>(form.font.points > 0 ? form.font.points : 9), form.font.bold,
                        form.font.italic);
    HWND window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), page.Get(), dialog, PageProc, 0);
    if (!window) return nullptr;
    SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    SetWindowPos(window, nullptr, display.left, display.top, display.right - display.left,
                 display.bottom - display.top, SWP_NOZORDER | SWP_NOACTIVATE);
    return window;
}

void CreateControls(HWND dialog, EditState& state, UINT dpi)
{
    FormSpec& form = *state.form;
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RECT display{0, 0, 0, 0};
    if (!form.pages.empty()) {
        state.tab = CreateWindowExW(0, WC_TABCONTROLW, L"",
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | WS_CLIPSIBLINGS | TCS_MULTILINE,
                                    Scale(4, dpi), Scale(4, dpi), Scale(form.clientWidth - 8, dpi),
                                    Scale(form.clientHeight - 36, dpi), dialog,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTabId)), instance, nullptr);
        SendMessageW(state.tab, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        for (size_t i = 0; i < form.pages.size(); ++i) {
            std::wstring caption = Wide(form.pages[i]);
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = caption.data();
            TabCtrl_InsertItem(state.tab, static_cast<int>(i), &item);
        }
        GetClientRect(state.tab, &display);
        TabCtrl_AdjustRect(state.tab, FALSE, &display);
        MapWindowPoints(state.tab, dialog, reinterpret_cast<POINT*>(&display), 2);
        for (size_t i = 0; i < form.pages.size(); ++i) state.pages.push_back(MakePage(dialog, form, display));
    }
    state.windows.assign(form.controls.size(), nullptr);
    state.fonts.assign(form.controls.size(), nullptr);
    state.madeFonts.assign(form.controls.size(), FormFont{});
    state.backgrounds.assign(form.controls.size(), {clWindow, nullptr});
    state.treeItems.assign(form.controls.size(), {});
    state.arrows.assign(form.controls.size(), nullptr);
    for (size_t i = 0; i < form.controls.size(); ++i) {
        const FormControl& control = form.controls[i];
        const wchar_t* windowClass = L"STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE;
        DWORD exStyle = 0;
        switch (control.kind) {
        case FormControlKind::Label:
            style |= SS_LEFT | (control.font.face.empty() ? 0 : SS_SUNKEN | SS_CENTER | SS_CENTERIMAGE);
            break;
        case FormControlKind::Bevel: style |= SS_ETCHEDFRAME; break;
        case FormControlKind::Icon: style |= SS_ICON; break;
        case FormControlKind::Button:
            windowClass = L"BUTTON";
            style |= WS_TABSTOP | WS_GROUP | (control.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            break;
        case FormControlKind::CheckBox:
            windowClass = L"BUTTON";
            style |= WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX;
            break;
        case FormControlKind::Radio:
            windowClass = L"BUTTON";
            style |= BS_AUTORADIOBUTTON | (control.groupStart ? WS_GROUP | WS_TABSTOP : 0);
            break;
        case FormControlKind::GroupBox:
            windowClass = L"BUTTON";
            style |= BS_GROUPBOX | WS_GROUP;
            break;
        case FormControlKind::Edit:
            windowClass = L"EDIT";
            style |= WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL | (control.readOnly ? ES_READONLY : 0);
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case FormControlKind::ComboBox:
            windowClass = L"COMBOBOX";
            style |= WS_TABSTOP | WS_GROUP | WS_VSCROLL | (control.readOnly ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
            break;
        case FormControlKind::Tree:
            windowClass = WC_TREEVIEWW;
            style |= WS_TABSTOP | WS_GROUP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS |
                     TVS_DISABLEDRAGDROP;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case FormControlKind::HotKey:
            windowClass = HOTKEY_CLASSW;
            style |= WS_TABSTOP | WS_GROUP;
            break;
        case FormControlKind::Picture: style |= SS_OWNERDRAW; break;
        }
        // A page's controls sit in its child dialog, in the page's pixels.
        const bool onPage = control.page >= 0 && static_cast<size_t>(control.page) < state.pages.size() &&
                            state.pages[static_cast<size_t>(control.page)];
        HWND parent = onPage ? state.pages[static_cast<size_t>(control.page)] : dialog;
        HWND window = CreateWindowExW(exStyle, windowClass, Wide(control.text).c_str(), style,
                                      Scale(control.left, dpi), Scale(control.top, dpi), Scale(control.width, dpi),
                                      Scale(control.height, dpi), parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdOf(control, i))), instance,
                                      nullptr);
        state.windows[i] = window;
        HFONT own = font;
        if (!control.font.face.empty() && control.font.points > 0) {
            own = state.fonts[i] = MakeFont(control.font, dpi);
            state.madeFonts[i] = control.font;
        }
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(own), FALSE);
        if (control.kind == FormControlKind::ComboBox)
            for (const std::string& item : control.items)
                SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
        if (control.kind == FormControlKind::Edit && control.maxLength > 0)
            SendMessageW(window, EM_LIMITTEXT, static_cast<WPARAM>(control.maxLength), 0);
        if (control.kind == FormControlKind::Tree) AddTreeItems(window, control, state.treeItems[i]);
        if (IsNumberBox(control)) {
            // Arrows inside the box's right edge, writing the position into
            // it; what is typed is left as it is.
            HWND arrows = CreateWindowExW(0, UPDOWN_CLASSW, L"",
                                          WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS |
                                              UDS_NOTHOUSANDS,
                                          0, 0, 0, 0, parent, nullptr, instance, nullptr);
            SendMessageW(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(window), 0);
            SendMessageW(arrows, UDM_SETRANGE32, static_cast<WPARAM>(control.minimum), control.maximum);
            state.arrows[i] = arrows;
        }
        // Every key pressed alone is a combination of its own.
        if (control.kind == FormControlKind::HotKey) SendMessageW(window, HKM_SETRULES, HKCOMB_NONE, MAKELPARAM(0, 0));
        if (control.isDefault) SendMessageW(dialog, DM_SETDEFID, static_cast<WPARAM>(IdOf(control, i)), 0);
    }
    // The tab control lies under the pages (last in the tab order too).
    if (state.tab) SetWindowPos(state.tab, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Centre(HWND dialog, const FormSpec& form, UINT dpi)
{
    RECT frame{0, 0, Scale(form.clientWidth, dpi), Scale(form.clientHeight, dpi)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const RECT& work = monitor.rcWork;
    SetWindowPos(dialog, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

size_t IndexOf(const EditState& state, HWND window)
{
    for (size_t i = 0; i < state.windows.size(); ++i)
        if (state.windows[i] == window) return i;
    return state.windows.size();
}

// Focuses a control the way the dialog manager does (an edit's text
// selected, the default button following a push button).
void Focus(EditState& state, HWND window)
{
    if (window) SendMessageW(state.dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(window), TRUE);
}

// Focuses the form's `focused` control; false for none.
bool FocusNamed(EditState& state)
{
    const FormControl* focused = state.form->Find(state.form->focused);
    if (!focused) return false;
    Focus(state, state.windows[static_cast<size_t>(focused - state.form->controls.data())]);
    return true;
}

// At each showing: the form's `focused` control, else the one focused when
// the form last closed while it can take the focus, else the default button.
void FocusOnShow(EditState& state)
{
    if (FocusNamed(state)) return;
    HWND last = state.lastFocus;
    if (last && IsWindow(last) && IsWindowVisible(last) && IsWindowEnabled(last)) return Focus(state, last);
    for (size_t i = 0; i < state.windows.size(); ++i)
        if (state.form->controls[i].isDefault) return Focus(state, state.windows[i]);
}

// The access key a caption marks: the letter after its first single "&"
// (upper case), 0 for none.
wchar_t AccessKey(const std::string& caption)
{
    for (size_t at = 0; at + 1 < caption.size(); ++at) {
        if (caption[at] != '&') continue;
        if (caption[at + 1] == '&') {
            ++at;
            continue;
        }
        const auto letter = static_cast<unsigned char>(caption[at + 1]);
        return letter < 0x80 ? static_cast<wchar_t>(towupper(letter)) : 0;
    }
    return 0;
}

// An access key that several controls the user can see share moves the focus
// to the next of them after the focused control (in tab order, round to the
// first), pressing none; false when fewer than two share it.
bool CycleSharedAccessKey(EditState& state, WPARAM key)
{
    if (key == 0 || key >= 0x80) return false;
    const auto wanted = static_cast<wchar_t>(towupper(static_cast<wint_t>(key)));
    std::vector<size_t> sharing;
    for (size_t i = 0; i < state.windows.size(); ++i) {
        const FormControl& control = state.form->controls[i];
        const bool pressable = control.kind == FormControlKind::Button || control.kind == FormControlKind::CheckBox ||
                               control.kind == FormControlKind::Radio;
        if (pressable && AccessKey(control.text) == wanted && IsWindowVisible(state.windows[i]) &&
            IsWindowEnabled(state.windows[i]))
            sharing.push_back(i);
    }
    if (sharing.size() < 2) return false;
    const size_t focused = IndexOf(state, GetFocus());
    size_t next = sharing.front();
    for (size_t i : sharing) {
        if (focused < state.windows.size() && i > focused) {
            next = i;
            break;
        }
    }
    // A radio item taking the focus may check itself and report a click:
    // neither is the user's, so the form's choice is shown again.
    state.cycling = true;
    Focus(state, state.windows[next]);
    state.cycling = false;
    WriteBack(state);
    return true;
}

// While a form shows modally, a message filter takes what the dialog
// manager would otherwise do differently: Ctrl+Tab and Ctrl+PgDn bring the
// next page forward, with Shift or PgUp the previous one, and a shared
// access key cycles the focus. IsDialogMessage runs the filter first.
HHOOK pageKeysHook = nullptr;
HWND pageKeysDialog = nullptr;

LRESULT CALLBACK PageKeys(int code, WPARAM wParam, LPARAM lParam)
{
    auto* message = reinterpret_cast<MSG*>(lParam);
    const bool ours = code == MSGF_DIALOGBOX && pageKeysDialog &&
                      (message->hwnd == pageKeysDialog || IsChild(pageKeysDialog, message->hwnd));
    if (ours && message->message == WM_KEYDOWN && (GetKeyState(VK_CONTROL) & 0x8000)) {
        const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        int step = 0;
        if (message->wParam == VK_TAB) step = shift ? -1 : 1;
        if (message->wParam == VK_NEXT) step = 1;
        if (message->wParam == VK_PRIOR) step = -1;
        if (step != 0) {
            SendMessageW(pageKeysDialog, kPageStep, static_cast<WPARAM>(step), 0);
            return 1;
        }
    }
    if (ours && (message->message == WM_SYSCHAR || message->message == WM_CHAR)) {
        auto* state = reinterpret_cast<EditState*>(GetWindowLongPtrW(pageKeysDialog, DWLP_USER));
        // A plain letter is an access key only where the focused control
        // takes no characters.
        const LRESULT wants =
            message->message == WM_CHAR
                ? SendMessageW(message->hwnd, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(message))
                : 0;
        if (state && state->form && !(wants & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)) &&
            CycleSharedAccessKey(*state, message->wParam))
            return 1;
    }
    return CallNextHookEx(pageKeysHook, code, wParam, lParam);
}

void End(EditState& state, ModalResult result)
{
    state.result = result;
    state.ended = true;
    PostMessageW(state.dialog, WM_NULL, 0, 0);  // the loop looks again
}

INT_PTR CALLBACK EditProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* state = reinterpret_cast<EditState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message != WM_INITDIALOG && message != WM_DESTROY && (!state || !state->form)) return FALSE;
    switch (message) {
    case WM_INITDIALOG: {
        state = reinterpret_cast<EditState*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        state->dialog = dialog;
        const UINT dpi = GetDpiForWindow(dialog) ? GetDpiForWindow(dialog) : USER_DEFAULT_SCREEN_DPI;
        state->dpi = dpi;
        CreateControls(dialog, *state, dpi);
        WriteBack(*state);
        Centre(dialog, *state->form, dpi);
        return FALSE;  // focused when shown
    }
    case kPageStep: {
        const int pages = static_cast<int>(state->form->pages.size());
        if (pages == 0) return TRUE;
        state->form->activePage = (TabCtrl_GetCurSel(state->tab) + static_cast<int>(wParam) + pages) % pages;
        TabCtrl_SetCurSel(state->tab, state->form->activePage);
        ShowPage(*state);
        SetFocus(state->tab);  // the page's access keys and Tab order from here
        return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
        // Labels, check boxes and radio items on a page show the page's
        // background; read-only edits keep theirs.
        const size_t index = IndexOf(*state, reinterpret_cast<HWND>(lParam));
        if (index >= state->windows.size()) break;
        const FormControl& control = state->form->controls[index];
        if (control.page < 0 || control.kind == FormControlKind::Edit) break;
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        if (control.kind == FormControlKind::Label && !control.font.face.empty()) {
            SetTextColor(reinterpret_cast<HDC>(wParam), RgbOf(control.color));
            auto& [color, brush] = state->backgrounds[index];
            if (!brush || color != control.background) {
                if (brush) DeleteObject(brush);
                color = control.background;
                brush = CreateSolidBrush(RgbOf(color));
            }
            return reinterpret_cast<INT_PTR>(brush);
        }
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == state->tab && header->code == TCN_SELCHANGE) {
            state->form->activePage = TabCtrl_GetCurSel(state->tab);
            ShowPage(*state);
        }
        if (header->code == NM_CLICK) {
            const size_t index = IndexOf(*state, header->hwndFrom);
            if (index < state->windows.size() && state->form->controls[index].kind == FormControlKind::Tree)
                PostMessageW(dialog, kTreeClicked, index, 0);
        }
        return TRUE;
    }
    case kTreeClicked:
        if (wParam >= state->windows.size()) break;
        ReadBack(*state);
        Fire(*state, wParam);
        return TRUE;
    case WM_DRAWITEM: {
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        const size_t index = IndexOf(*state, draw->hwndItem);
        if (index >= state->windows.size()) break;
        DrawPicture(state->form->controls[index], *draw, state->dpi);
        return TRUE;
    }
    case WM_COMMAND: {
        if (state->writing || state->cycling) break;
        const int id = LOWORD(wParam);
        const WORD code = HIWORD(wParam);
        if (id == IDCANCEL || id == mrOk || id == mrCancel) {
            if (code != BN_CLICKED) break;
            ReadBack(*state);
            if (id == mrOk && state->form->CanClose && !state->form->CanClose(*state->form)) {
                WriteBack(*state);
                FocusNamed(*state);
                return TRUE;
            }
            End(*state, id == IDCANCEL ? mrCancel : static_cast<ModalResult>(id));
            return TRUE;
        }
        const size_t index = IndexOf(*state, reinterpret_cast<HWND>(lParam));
        if (index >= state->windows.size()) break;
        FormControl& control = state->form->controls[index];
        switch (control.kind) {
        case FormControlKind::Button:
        case FormControlKind::CheckBox:
        case FormControlKind::Radio:
            if (code != BN_CLICKED) break;
            ReadBack(*state);
            Fire(*state, index);
            return TRUE;
        case FormControlKind::Edit:
            if (code == EN_CHANGE && control.fits) KeepFitting(*state, index);
            break;
        case FormControlKind::ComboBox:
            if (code == CBN_SELCHANGE) {
                ReadBack(*state);
                const LRESULT selected = SendMessageW(state->windows[index], CB_GETCURSEL, 0, 0);
                if (selected < 0 || static_cast<size_t>(selected) >= control.items.size()) break;
                control.selected = static_cast<int>(selected);
                control.text = control.items[static_cast<size_t>(selected)];
                Fire(*state, index);
                return TRUE;
            }
            if (code == CBN_EDITCHANGE) {
                ReadBack(*state);
                Fire(*state, index);
                return TRUE;
            }
            break;
        default: break;
        }
        break;
    }
    case WM_CLOSE:
        ReadBack(*state);
        End(*state, mrCancel);
        return TRUE;
    case WM_DESTROY:
        if (!state) break;
        for (HFONT font : state->fonts)
            if (font) DeleteObject(font);
        state->fonts.clear();
        for (auto& background : state->backgrounds)
            if (background.second) DeleteObject(background.second);
        state->backgrounds.clear();
        state->windows.clear();
        state->arrows.clear();
        state->pages.clear();
        state->dialog = nullptr;
        break;
    default: break;
    }
    return FALSE;
}

// The dialog window of an editing form and its state: destroyed with it.
class Win32FormWindow final : public FormWindow {
public:
    ~Win32FormWindow() override
    {
        state.form = nullptr;
        if (state.dialog && IsWindow(state.dialog)) DestroyWindow(state.dialog);
    }
    bool Alive() const { return state.dialog && IsWindow(state.dialog); }
    EditState state;
};

// Shows the dialog and runs its modal loop: the owner disabled meanwhile,
// each message offered to the dialog manager first and never to the owner's
// accelerators. Ends at OK or Cancel, when the dialog is hidden or destroyed
// by another hand, or at WM_QUIT (posted again for the outer loop).
ModalResult RunModal(EditState& state)
{
    HWND dialog = state.dialog;
    HWND owner = GetWindow(dialog, GW_OWNER);
    const bool disabling = owner && IsWindowEnabled(owner);
    state.ended = false;
    state.result = mrCancel;
    HHOOK outerHook = pageKeysHook;
    HWND outerDialog = pageKeysDialog;
    pageKeysDialog = dialog;
    pageKeysHook = SetWindowsHookExW(WH_MSGFILTER, PageKeys, nullptr, GetCurrentThreadId());
    if (disabling) EnableWindow(owner, FALSE);
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);
    FocusOnShow(state);
    MSG message{};
    while (!state.ended && IsWindow(dialog) && IsWindowVisible(dialog)) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (!IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    const ModalResult result = state.ended ? state.result : mrCancel;
    if (pageKeysHook) UnhookWindowsHookEx(pageKeysHook);
    pageKeysHook = outerHook;
    pageKeysDialog = outerDialog;
    // The owner takes the activation back before the dialog hides.
    if (disabling) EnableWindow(owner, TRUE);
    if (IsWindow(dialog)) {
        HWND focus = GetFocus();
        state.lastFocus = focus && IsChild(dialog, focus) ? focus : nullptr;
        ShowWindow(dialog, SW_HIDE);
    }
    if (owner && IsWindow(owner) && GetActiveWindow() != owner) SetActiveWindow(owner);
    return result;
}

}  // namespace

ModalResult Win32FormService::Edit(FormSpec& form)
{
    if (form.pages.empty() && !form.OnEvent && !form.keep) {
        bool editing = false;
        for (const FormControl& control : form.controls)
            editing = editing || control.kind > FormControlKind::Icon;
        if (!editing) return ShowModal(form);
    }
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES | ICC_TREEVIEW_CLASSES | ICC_HOTKEY_CLASS | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&classes);
    auto window = form.keep ? std::dynamic_pointer_cast<Win32FormWindow>(form.window) : nullptr;
    if (window && window->Alive()) {
        // Shown again: the controls as they were, then what the form holds now.
        window->state.form = &form;
        WriteBack(window->state);
    } else {
        window = std::make_shared<Win32FormWindow>();
        EditState& state = window->state;
        state.form = &form;
        state.owner = owner_ && IsWindow(owner_) ? owner_ : GetActiveWindow();
        DialogTemplate dialog(Wide(form.caption), WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0,
                              Wide(form.font.face), static_cast<WORD>(form.font.points > 0 ? form.font.points : 9),
                              form.font.bold, form.font.italic);
        if (!CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialog.Get(), state.owner, EditProc,
                                        reinterpret_cast<LPARAM>(&state)))
            return mrNone;
        if (form.keep) form.window = window;
    }
    return RunModal(window->state);
}

}  // namespace kp::ui
