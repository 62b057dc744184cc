// The editor settings dialog as the platform shows it, in-process: the main
// window's form on a real host, the dialog on the real editing-form service,
// driven from a timer that the dialog's own modal loop dispatches. Keys go
// through IsDialogMessage as the loop would hand them over.

#include "app/MainForm.h"
#include "app/SetupCommands.h"

#include "memo/win32/Win32MemoWindow.h"
#include "platform/clipboard/SimClipboard.h"
#include "platform/clock/Win32Clock.h"
#include "platform/files/SimFileSystem.h"
#include "platform/help/SimHelpViewer.h"
#include "platform/keyboard/Win32KeyState.h"
#include "platform/keynames/Win32KeyNames.h"
#include "platform/locale/Win32DateTimeLocale.h"
#include "platform/locale/Win32LocaleCompare.h"
#include "platform/printer/SimPrintDevice.h"
#include "platform/registry/SimRegistry.h"
#include "platform/syscolors/Win32SysColors.h"
#include "settings/SettingsKeys.h"
#include "settings/SetupDlg.h"
#include "settings/ShortCut.h"
#include "tests/TestPlatform.h"
#include "ui/sim/SimDialogService.h"
#include "ui/sim/SimFormService.h"
#include "ui/sim/SimMessageDialogs.h"
#include "ui/win32/Win32Application.h"
#include "ui/win32/Win32Common.h"
#include "ui/win32/Win32FormHost.h"
#include "ui/win32/Win32FormService.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace kp::test {
namespace {

HWND VisibleDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM out) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (!IsWindowVisible(window) || std::wstring(name) != L"#32770") return TRUE;
            *reinterpret_cast<HWND*>(out) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// One step per tick while a dialog shows; a dialog still open well after
// the last step is cancelled.
struct Script {
    std::vector<std::function<void(HWND)>> steps;
    size_t next = 0;
    int idle = 0;
    static inline Script* current = nullptr;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND dialog = VisibleDialog();
        if (!current || !dialog) return;
        if (current->next < current->steps.size())
            current->steps[current->next++](dialog);
        else if (++current->idle > 20)
            EndDialog(dialog, 0);
    }
};

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

bool Visible(HWND window) { return (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

// The controls the user sees, in tab order: the dialog's visible children
// and, inside a visible page (a child dialog), the page's.
std::vector<HWND> Shown(HWND dialog)
{
    std::vector<HWND> shown;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!Visible(child)) continue;
        if (ClassOf(child) == L"#32770") {
            const std::vector<HWND> inner = Shown(child);
            shown.insert(shown.end(), inner.begin(), inner.end());
        } else {
            shown.push_back(child);
        }
    }
    return shown;
}

// The nth visible control of a class, or the visible control with a text.
HWND Child(HWND dialog, const wchar_t* className, int nth = 0)
{
    for (HWND child : Shown(dialog))
        if (CompareStringOrdinal(ClassOf(child).c_str(), -1, className, -1, TRUE) == CSTR_EQUAL && nth-- == 0)
            return child;
    return nullptr;
}

HWND Captioned(HWND dialog, const wchar_t* text)
{
    for (HWND child : Shown(dialog))
        if (TextOf(child) == text) return child;
    return nullptr;
}

void SetModifiers(bool ctrl, bool shift, bool alt = false)
{
    BYTE state[256]{};
    GetKeyboardState(state);
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    state[VK_SHIFT] = shift ? 0x80 : 0;
    state[VK_MENU] = alt ? 0x80 : 0;
    SetKeyboardState(state);
}

// A key pressed in the focused control, handed to the dialog as its
// message loop does.
void PressKey(HWND dialog, WORD key, bool ctrl = false, bool shift = false)
{
    SetModifiers(ctrl, shift);
    MSG message{GetFocus(), WM_KEYDOWN, key, 1, 0, {}};
    if (!IsDialogMessageW(dialog, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    MSG up{GetFocus(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u), 0, {}};
    if (!IsDialogMessageW(dialog, &up)) DispatchMessageW(&up);
    SetModifiers(false, false);
}

// Alt with a letter: the dialog's access keys.
void PressAlt(HWND dialog, wchar_t letter)
{
    MSG message{GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(letter), static_cast<LPARAM>(1u | (1u << 29)), 0, {}};
    if (!IsDialogMessageW(dialog, &message)) DispatchMessageW(&message);
}

// A combination typed into the hot-key box, as the keyboard delivers it.
void TypeCombination(HWND box, bool ctrl, bool shift, WORD key, bool extended)
{
    SetFocus(box);
    SetModifiers(ctrl, shift);
    const auto send = [box](UINT message, WORD vk, bool ext) {
        const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
        const LPARAM flags = (ext ? 1 << 24 : 0) | (message == WM_KEYUP ? static_cast<LPARAM>(0xC0000000u) : 0);
        SendMessageW(box, message, vk, 1 | scan | flags);
    };
    if (ctrl) send(WM_KEYDOWN, VK_CONTROL, false);
    if (shift) send(WM_KEYDOWN, VK_SHIFT, false);
    send(WM_KEYDOWN, key, extended);
    send(WM_KEYUP, key, extended);
    if (shift) send(WM_KEYUP, VK_SHIFT, false);
    if (ctrl) send(WM_KEYUP, VK_CONTROL, false);
    SetModifiers(false, false);
}

HTREEITEM TreeItem(HWND tree, const std::wstring& caption)
{
    std::vector<HTREEITEM> pending{TreeView_GetRoot(tree)};
    while (!pending.empty()) {
        HTREEITEM item = pending.back();
        pending.pop_back();
        for (; item; item = TreeView_GetNextSibling(tree, item)) {
            wchar_t text[64] = {};
            TVITEMW info{};
            info.mask = TVIF_TEXT;
            info.hItem = item;
            info.pszText = text;
            info.cchTextMax = 64;
            TreeView_GetItem(tree, &info);
            if (caption == text) return item;
            if (HTREEITEM child = TreeView_GetChild(tree, item)) pending.push_back(child);
        }
    }
    return nullptr;
}

void ClickTreeItem(HWND tree, HTREEITEM item)
{
    TreeView_EnsureVisible(tree, item);
    RECT rect{};
    std::memcpy(&rect, &item, sizeof item);  // the item goes in where the rectangle comes out
    SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(tree, WM_LBUTTONUP, 0, at);
}

class SetupDialogTest : public ::testing::Test {
protected:
    SetupDialogTest()
        : host(Options()),
          memoWindows(host.Handle(), 100),
          services{registry, files, keyNames, keys, colors, application, dialogs, host.Timers(), memoWindows, locale,
                   {}, "C:\\", clock, dateLocale, clipboard, TestCodec(), forms, printers, help,
                   nullptr},
          form(services, host),
          target(form),
          dialog(settings::SetupServices{registry, clock, dateLocale, TestCodec(), keyNames, application}, target),
          shown(host.Handle())
    {
        host.SetShortCutText([this](ui::TShortCut shortCut) { return app::ShortCutText(shortCut, keyNames); });
        host.SetMainMenu(&form.MainMenu);
        host.SetControls(&form.ClientArea);
        memoWindows.SetParent(host.ParentWindowOf(*form.MemoControl));
        form.FormCreate({});
    }
    ~SetupDialogTest() override
    {
        SetModifiers(false, false);
        host.DetachAll();
    }

    ui::Win32FormOptions Options()
    {
        ui::Win32FormOptions options;
        options.caption = "[NewFile] - Kestrelpad";
        options.application = &applicationHost;
        options.mainForm = false;
        return options;
    }

    ui::ModalResult Run(Script& script)
    {
        Script::current = &script;
        const UINT_PTR timer = SetTimer(nullptr, 0, 40, Script::Tick);
        const ui::ModalResult result = dialog.ShowModal(shown);
        KillTimer(nullptr, timer);
        Script::current = nullptr;
        return result;
    }

    std::string Stored(const std::string& section, const std::string& name)
    {
        return TRegIniFile(registry, std::string(settings::kProgramKey)).ReadString(section, name, "(missing)");
    }

    std::string ShortCutOf(const char* key) { return settings::ShortCutToText(form.MenuItem(key)->ShortCut(), keyNames); }

    platform::SimRegistry registry;
    platform::SimClipboard clipboard;
    platform::SimFileSystem files;
    platform::Win32KeyNames keyNames;
    platform::Win32KeyState keys;
    platform::Win32SysColors colors;
    ui::SimMessageDialogs messages;
    ui::Win32ApplicationHost applicationHost{"Kestrelpad"};
    ui::TApplication application{applicationHost, messages};
    ui::SimDialogService dialogs;
    platform::Win32LocaleCompare locale;
    platform::Win32Clock clock;
    platform::Win32DateTimeLocale dateLocale;
    ui::SimFormService forms;
    ui::Win32FormHost host;
    memo::Win32MemoWindowFactory memoWindows;
    platform::SimPrintDeviceFactory printers;
    platform::SimHelpViewer help;
    app::FormServices services;
    app::TEditForm form;
    app::MainWindowSetup target;
    settings::TPagesDlg1 dialog;
    ui::Win32FormService shown;
};

std::wstring ActiveTab(HWND dialog)
{
    HWND tab = Child(dialog, WC_TABCONTROLW);
    wchar_t text[32] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 32;
    TabCtrl_GetItem(tab, TabCtrl_GetCurSel(tab), &item);
    return text;
}

// Every page by keyboard: Ctrl+Tab and Ctrl+Shift+Tab, access keys of the
// page in front only, Tab through a page; then the backup switched on and
// OK storing it.
TEST_F(SetupDialogTest, PagesByKeyboardAccessKeysAndOk)
{
    std::vector<std::wstring> tabs;
    SIZE client{};
    bool mnemonicOfHiddenPage = true, intervalEnabledByAltB = false, tabMovedToInterval = false;
    Script script;
    script.steps = {
        [&](HWND d) {
            RECT rect{};
            GetClientRect(d, &rect);
            client = {rect.right, rect.bottom};
            tabs.push_back(ActiveTab(d));
            for (int i = 0; i < 6; ++i) {
                PressKey(d, VK_TAB, true);
                tabs.push_back(ActiveTab(d));
            }
            PressKey(d, VK_TAB, true, true);  // back to the date page
            tabs.push_back(ActiveTab(d));
            PressKey(d, VK_PRIOR, true);
            tabs.push_back(ActiveTab(d));
            PressKey(d, VK_NEXT, true);
        },
        [&](HWND d) {
            // "ファイル" in front: Alt+V (a check box of this page) works,
            // Alt+G (a radio item of "エクスプローラ") does nothing.
            const HWND before = GetFocus();
            PressAlt(d, L'g');
            mnemonicOfHiddenPage = GetFocus() != before || ActiveTab(d) != L"ファイル";
            PressAlt(d, L'b');
        },
        [&](HWND d) {
            HWND backup = Captioned(d, L"バックアップを作成(&B)");
            intervalEnabledByAltB = backup && GetFocus() == backup &&
                                    SendMessageW(backup, BM_GETCHECK, 0, 0) == BST_CHECKED &&
                                    IsWindowEnabled(GetWindow(backup, GW_HWNDNEXT));
            PressKey(d, VK_TAB);
            tabMovedToInterval = GetFocus() == GetWindow(backup, GW_HWNDNEXT);
            SetWindowTextW(GetFocus(), L"5");
        },
        [&](HWND d) { PressKey(d, VK_RETURN); },
    };
    const ui::ModalResult result = Run(script);
    EXPECT_EQ(result, ui::mrOk);
    const UINT dpi = GetDpiForSystem();
    EXPECT_EQ(client.cx, MulDiv(345, static_cast<int>(dpi), 96));
    EXPECT_EQ(client.cy, MulDiv(212, static_cast<int>(dpi), 96));
    const std::vector<std::wstring> expected = {L"日付け時刻",     L"表示",     L"ショートカット", L"エクスプローラ",
                                                L"定義文書",       L"ファイル", L"日付け時刻",     L"ファイル",
                                                L"定義文書"};
    EXPECT_EQ(tabs, expected);
    EXPECT_FALSE(mnemonicOfHiddenPage);
    EXPECT_TRUE(intervalEnabledByAltB);
    EXPECT_TRUE(tabMovedToInterval);
    EXPECT_EQ(Stored("File", "Backup"), "1");
    EXPECT_EQ(Stored("File", "BackupTime"), "5");
    EXPECT_TRUE(form.Timer1.Enabled());
    EXPECT_EQ(form.Timer1.Interval(), 5000);
}

// The shortcut page: a click in the tree shows the command's key, a group
// disables the box, the keyboard moves the selection without refreshing the
// box, a combination typed into the box is assigned at once.
TEST_F(SetupDialogTest, ShortCutTreeAndHotKeyBox)
{
    const ui::TShortCut ctrlLeft = ui::scCtrl | VK_LEFT;
    bool isTree = false, isHotKeyBox = false, groupDisables = false, keyboardKeepsBox = false;
    WORD saveShown = 0, leftShown = 0;
    std::wstring after;
    Script script;
    script.steps = {
        [&](HWND d) {
            PressKey(d, VK_TAB, true);
            PressKey(d, VK_TAB, true);
            HWND tree = Child(d, WC_TREEVIEWW);
            HWND box = Child(d, HOTKEY_CLASSW);
            isTree = tree && TreeView_GetCount(tree) == settings::kShortCutTree.size();
            isHotKeyBox = box != nullptr;
            if (tree) ClickTreeItem(tree, TreeItem(tree, L"上書き保存"));
        },
        [&](HWND d) {
            saveShown = LOWORD(SendMessageW(Child(d, HOTKEY_CLASSW), HKM_GETHOTKEY, 0, 0));
            ClickTreeItem(Child(d, WC_TREEVIEWW), TreeItem(Child(d, WC_TREEVIEWW), L"検索"));
        },
        [&](HWND d) {
            groupDisables = !IsWindowEnabled(Child(d, HOTKEY_CLASSW));
            HWND tree = Child(d, WC_TREEVIEWW);
            SetFocus(tree);
            PressKey(d, VK_DOWN);  // "検索" (the command) under the group
            keyboardKeepsBox = !IsWindowEnabled(Child(d, HOTKEY_CLASSW)) &&
                               LOWORD(SendMessageW(Child(d, HOTKEY_CLASSW), HKM_GETHOTKEY, 0, 0)) == saveShown;
            ClickTreeItem(tree, TreeItem(tree, L"右端で折り返す"));
        },
        [&](HWND d) {
            TypeCombination(Child(d, HOTKEY_CLASSW), true, false, VK_LEFT, true);
            SendMessageW(Captioned(d, L"ショートカット更新(&S)"), BM_CLICK, 0, 0);
        },
        [&](HWND d) { ClickTreeItem(Child(d, WC_TREEVIEWW), TreeItem(Child(d, WC_TREEVIEWW), L"上書き保存")); },
        [&](HWND d) {
            // Shown again from the command: the cursor key goes in as itself,
            // not as the keypad's key (the box typed into leaves the flag out
            // under this platform).
            ClickTreeItem(Child(d, WC_TREEVIEWW), TreeItem(Child(d, WC_TREEVIEWW), L"右端で折り返す"));
        },
        [&](HWND d) {
            leftShown = LOWORD(SendMessageW(Child(d, HOTKEY_CLASSW), HKM_GETHOTKEY, 0, 0));
            after = ActiveTab(d);
            SendMessageW(Captioned(d, L"キャンセル(&C)"), BM_CLICK, 0, 0);
        },
    };
    EXPECT_EQ(Run(script), ui::mrCancel);
    EXPECT_TRUE(isTree);
    EXPECT_TRUE(isHotKeyBox);
    EXPECT_EQ(LOBYTE(saveShown), 'S');
    EXPECT_EQ(HIBYTE(saveShown), HOTKEYF_CONTROL);
    EXPECT_TRUE(groupDisables);
    EXPECT_TRUE(keyboardKeepsBox);
    EXPECT_EQ(form.MenuItem("LeftEnter")->ShortCut(), ctrlLeft);
    EXPECT_EQ(ShortCutOf("LeftEnter"), "Ctrl+Left");
    EXPECT_EQ(LOBYTE(leftShown), VK_LEFT);
    EXPECT_EQ(HIBYTE(leftShown), HOTKEYF_CONTROL | HOTKEYF_EXT);
    EXPECT_EQ(ShortCutOf("Find"), "Ctrl+F");  // the keyboard's node got nothing
    EXPECT_EQ(after, L"ショートカット");
    EXPECT_EQ(dialog.ActivePage, settings::pgShortCut);
}

// Keys the box cannot hold: Space and Delete clear it under this platform
// (Tab and Enter belong to the dialog); F3 alone is a combination.
TEST_F(SetupDialogTest, HotKeyBoxTakesKeysAloneAndClearsOnSpace)
{
    WORD f3 = 0, afterSpace = 1, afterDelete = 1;
    Script script;
    script.steps = {
        [&](HWND d) {
            PressKey(d, VK_TAB, true);
            PressKey(d, VK_TAB, true);
            HWND box = Child(d, HOTKEY_CLASSW);
            TypeCombination(box, false, false, VK_F3, false);
            f3 = LOWORD(SendMessageW(box, HKM_GETHOTKEY, 0, 0));
            TypeCombination(box, false, false, VK_SPACE, false);
            afterSpace = LOWORD(SendMessageW(box, HKM_GETHOTKEY, 0, 0));
            TypeCombination(box, false, false, VK_F3, false);
            TypeCombination(box, false, false, VK_DELETE, true);
            afterDelete = LOWORD(SendMessageW(box, HKM_GETHOTKEY, 0, 0));
            PressKey(d, VK_ESCAPE);
        },
    };
    EXPECT_EQ(Run(script), ui::mrCancel);
    EXPECT_EQ(f3, VK_F3);
    EXPECT_EQ(afterSpace, 0);
    EXPECT_EQ(afterDelete, 0);
}

// A refused number keeps the dialog open on "ファイル" with the box focused;
// the explorer page's pictures are drawn beside their buttons.
TEST_F(SetupDialogTest, RefusedNumberAndPositionPictures)
{
    int pictures = 0;
    bool pictureBesideButton = false;
    std::wstring pageAfterRefusal, focusedText;
    Script script;
    script.steps = {
        [&](HWND d) {
            for (int i = 0; i < 3; ++i) PressKey(d, VK_TAB, true);  // "エクスプローラ"
            for (HWND child : Shown(d)) {
                if (ClassOf(child) != L"Static" ||
                    (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_OWNERDRAW)
                    continue;
                ++pictures;
                RECT picture{}, button{};
                GetWindowRect(child, &picture);
                GetWindowRect(GetWindow(child, GW_HWNDNEXT), &button);
                pictureBesideButton = (pictures == 1 || pictureBesideButton) && button.left >= picture.right &&
                                      button.top < picture.bottom && button.bottom > picture.top;
            }
            PressKey(d, VK_TAB, true, true);
            PressKey(d, VK_TAB, true, true);
            PressKey(d, VK_TAB, true, true);
            PressKey(d, VK_TAB, true, true);  // "ファイル"
            SetWindowTextW(Child(d, L"Edit", 0), L"abc");
            SendMessageW(Captioned(d, L"&OK"), BM_CLICK, 0, 0);
        },
        [&](HWND d) {
            pageAfterRefusal = ActiveTab(d);
            focusedText = TextOf(GetFocus());
            PressKey(d, VK_ESCAPE);
        },
    };
    EXPECT_EQ(Run(script), ui::mrCancel);
    EXPECT_EQ(pictures, 4);
    EXPECT_TRUE(pictureBesideButton);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text, settings::kCountNotWhole);
    EXPECT_EQ(pageAfterRefusal, L"ファイル");
    EXPECT_EQ(focusedText, L"abc");
    EXPECT_EQ(Stored("File", "Backup"), "(missing)");
}

// The interval box's arrows: enabled with the backup tick, stepping from a
// typed number in range or else from their last position; the template
// boxes stop typed and pasted text at 20 code-page-932 bytes.
TEST_F(SetupDialogTest, NumberBoxArrowsAndByteLimitedTemplateBoxes)
{
    std::wstring arrowsClass, typed, pasted;
    std::vector<std::wstring> stepped;
    bool enabledWithTick = false, disabledWithoutTick = true;
    Script script;
    script.steps = {
        [&](HWND d) {
            PressKey(d, VK_TAB, true, true);  // "ファイル"
            PressAlt(d, L'b');
            HWND interval = GetWindow(Captioned(d, L"バックアップを作成(&B)"), GW_HWNDNEXT);
            HWND arrows = GetWindow(interval, GW_HWNDNEXT);
            arrowsClass = ClassOf(arrows);
            enabledWithTick = IsWindowEnabled(interval) && IsWindowEnabled(arrows) && Visible(arrows);
            SetFocus(interval);
            for (const auto& [text, key] : {std::pair{L"7", VK_DOWN}, std::pair{L"150", VK_UP}, std::pair{L"", VK_UP}}) {
                if (*text) SetWindowTextW(interval, text);
                PressKey(d, key);
                stepped.push_back(TextOf(interval));
            }
            PressAlt(d, L'b');
            disabledWithoutTick = !IsWindowEnabled(interval) && !IsWindowEnabled(arrows);
            PressAlt(d, L'b');
        },
        [&](HWND d) {
            PressKey(d, VK_TAB, true, true);  // "定義文書"
            HWND first = Child(d, L"Edit", 0), second = Child(d, L"Edit", 1);
            SetFocus(first);
            SetWindowTextW(first, L"");
            for (const wchar_t* at = L"abcdefghijkあいうえお"; *at; ++at) SendMessageW(first, WM_CHAR, *at, 1);
            typed = TextOf(first);
            SendMessageW(second, EM_SETSEL, 0, -1);
            SendMessageW(second, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"一二三四五六七八九ｱｲｳ"));
            pasted = TextOf(second);
            PressKey(d, VK_RETURN);
        },
    };
    EXPECT_EQ(Run(script), ui::mrOk);
    EXPECT_EQ(arrowsClass, UPDOWN_CLASSW);
    EXPECT_TRUE(enabledWithTick);
    EXPECT_TRUE(disabledWithoutTick);
    EXPECT_EQ(stepped, (std::vector<std::wstring>{L"6", L"7", L"8"}));
    EXPECT_EQ(typed, L"abcdefghijkあいうえ");
    EXPECT_EQ(pasted, L"一二三四五六七八九ｱｲ");
    EXPECT_EQ(Stored("File", "BackupTime"), "8");
    EXPECT_EQ(Stored("Text", "T1"), "abcdefghijkあいうえ(&1)");
    EXPECT_EQ(Stored("Text", "T2"), "一二三四五六七八九ｱｲ(&2)");
}

// The captions of the checked buttons shown, each followed by a space.
std::wstring Checks(HWND dialog)
{
    std::wstring checked;
    for (HWND child : Shown(dialog))
        if (ClassOf(child) == L"Button" && SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED)
            checked += TextOf(child) + L" ";
    return checked;
}

// Pages are child dialogs: Tab stays among the page shown and the form's
// buttons; on "エクスプローラ" the two "(&L)" take the focus in turn and
// press neither, while a key of its own ("詳細(&D)") presses its item.
TEST_F(SetupDialogTest, PagesAreChildDialogsAndASharedAccessKeyCyclesTheFocus)
{
    bool pagesAreControlParents = false, tabStaysShown = true;
    std::vector<std::wstring> focused;
    std::wstring loaded, checks, details;
    bool detailsFocused = false;
    Script script;
    script.steps = {
        [&](HWND d) {
            for (int i = 0; i < 3; ++i) PressKey(d, VK_TAB, true);  // "エクスプローラ"
            int pages = 0, controlParents = 0;
            for (HWND child = GetWindow(d, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                if (ClassOf(child) != L"#32770") continue;
                ++pages;
                controlParents += (GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0;
            }
            pagesAreControlParents = pages == 6 && controlParents == 6;
            const std::vector<HWND> shown = Shown(d);
            for (int i = 0; i < 12; ++i) {
                PressKey(d, VK_TAB);
                const HWND now = GetFocus();
                tabStaysShown = tabStaysShown && std::find(shown.begin(), shown.end(), now) != shown.end();
            }
            PressKey(d, VK_TAB, true);
            PressKey(d, VK_TAB, true, true);  // the focus on the tab control again
            loaded = Checks(d);
            for (int i = 0; i < 3; ++i) {
                PressAlt(d, L'l');
                focused.push_back(TextOf(GetFocus()));
            }
            checks = Checks(d);
            PressAlt(d, L'd');
            details = Checks(d);
            detailsFocused = GetFocus() == Captioned(d, L"詳細(&D)");
            PressKey(d, VK_ESCAPE);
        },
    };
    form.ShellListBox1.SetViewStyle(ui::TViewStyle::vsIcon);
    EXPECT_EQ(Run(script), ui::mrCancel);
    EXPECT_TRUE(pagesAreControlParents);
    EXPECT_TRUE(tabStaysShown);
    EXPECT_EQ(focused, (std::vector<std::wstring>{L"一覧(&L)", L"(&L)", L"一覧(&L)"}));
    // As loaded: neither "(&L)" pressed.
    EXPECT_EQ(loaded.rfind(L"大きなアイコン(&G) ", 0), 0u) << loaded;
    EXPECT_EQ(checks, loaded);
    EXPECT_EQ(details, L"詳細(&D) " + loaded.substr(std::wstring(L"大きなアイコン(&G) ").size()));
    EXPECT_TRUE(detailsFocused);
}

// One window for the run: Cancel hides it with the count box's typed text,
// the next showing brings the same window back with that text and the page
// last used; the main window takes no input and no shortcut meanwhile; the
// window goes with the dialog.
TEST_F(SetupDialogTest, OneWindowKeepsItsContentsBetweenShowingsAndGoesWithTheDialog)
{
    HWND first = nullptr, second = nullptr;
    bool ownerDisabled = false;
    std::wstring countShown, pageShown;
    bool shortCutRan = false;
    form.MenuItem("About")->OnClick = [&shortCutRan] { shortCutRan = true; };
    form.MenuItem("About")->SetShortCut(ui::scCtrl | 'K');
    Script cancelling;
    cancelling.steps = {
        [&](HWND d) {
            first = d;
            ownerDisabled = !IsWindowEnabled(host.Handle());
            PressKey(d, VK_TAB, true, true);  // "ファイル"
            SetWindowTextW(Child(d, L"Edit", 0), L"12");
            PressKey(d, VK_TAB, true);
            PressKey(d, VK_TAB, true);
            PressKey(d, VK_TAB, true);  // "ショートカット"
            SetModifiers(true, false);
            PostMessageW(host.Handle(), WM_KEYDOWN, 'K', 1);
        },
        [&](HWND d) {
            SetModifiers(false, false);
            SendMessageW(Captioned(d, L"キャンセル(&C)"), BM_CLICK, 0, 0);
        },
    };
    EXPECT_EQ(Run(cancelling), ui::mrCancel);
    EXPECT_TRUE(IsWindow(first));
    EXPECT_FALSE(IsWindowVisible(first));
    EXPECT_TRUE(IsWindowEnabled(host.Handle()));
    Script reopening;
    reopening.steps = {
        [&](HWND d) {
            second = d;
            pageShown = ActiveTab(d);
            PressKey(d, VK_TAB, true);
            PressKey(d, VK_TAB, true);
            PressKey(d, VK_TAB, true);  // "ファイル"
            countShown = TextOf(Child(d, L"Edit", 0));
            PressKey(d, VK_ESCAPE);
        },
    };
    EXPECT_EQ(Run(reopening), ui::mrCancel);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_FALSE(shortCutRan);
    EXPECT_EQ(second, first);
    EXPECT_EQ(pageShown, L"ショートカット");
    EXPECT_EQ(countShown, L"12");
    {
        // A dialog of its own, shown once: its window goes with it.
        settings::TPagesDlg1 other(settings::SetupServices{registry, clock, dateLocale, TestCodec(), keyNames, application},
                                   target);
        HWND shownOnce = nullptr;
        Script once;
        once.steps = {[&](HWND d) {
            shownOnce = d;
            PressKey(d, VK_ESCAPE);
        }};
        Script::current = &once;
        const UINT_PTR timer = SetTimer(nullptr, 0, 40, Script::Tick);
        other.ShowModal(shown);
        KillTimer(nullptr, timer);
        Script::current = nullptr;
        ASSERT_NE(shownOnce, nullptr);
        EXPECT_NE(shownOnce, first);
        EXPECT_TRUE(IsWindow(shownOnce));
        EXPECT_TRUE(IsWindow(first));
        first = shownOnce;
    }
    EXPECT_FALSE(IsWindow(first));
}

// The date list: an entry chosen by the arrow key is stored with its
// position and stays in the box; typing on stores the typed text at once.
TEST_F(SetupDialogTest, DateListChoiceStaysInTheBoxAndTypingIsStored)
{
    std::wstring page, chosen, typed, storedAfterChoice;
    Script script;
    script.steps = {
        [&](HWND d) {
            page = ActiveTab(d);
            HWND list = Child(d, L"ComboBox", 0);
            SetFocus(list);
            SendMessageW(list, CB_SETCURSEL, 8, 0);
            PressKey(d, VK_DOWN);
        },
        [&](HWND d) {
            HWND list = Child(d, L"ComboBox", 0);
            chosen = TextOf(list);
            storedAfterChoice = ui::WideText(Stored("SetUp", "Date"));
            const LRESULT end = GetWindowTextLengthW(list);
            SendMessageW(list, CB_SETEDITSEL, 0, MAKELPARAM(end, end));
            SendMessageW(list, WM_CHAR, L'x', 1);
            typed = TextOf(list);
            PressKey(d, VK_ESCAPE);
        },
    };
    EXPECT_EQ(Run(script), ui::mrCancel);
    EXPECT_EQ(page, L"日付け時刻");
    EXPECT_EQ(chosen, L"yyyy/mm/dd");
    EXPECT_EQ(storedAfterChoice, L"yyyy/mm/dd");
    EXPECT_EQ(typed, L"yyyy/mm/ddx");
    EXPECT_EQ(Stored("SetUp", "DateIndex"), "9");
    EXPECT_EQ(Stored("SetUp", "Date"), "yyyy/mm/ddx");  // kept on Cancel
}

// Two commands sharing a shortcut: the first in menu order answers,
// whichever took the key last.
TEST(SharedShortCut, TheFirstCommandInMenuOrderAnswers)
{
    ui::Win32FormOptions options;
    options.caption = "SharedShortCut";
    options.mainForm = false;
    ui::Win32FormHost host(options);
    host.SetShortCutText([](ui::TShortCut) { return std::string(); });
    ui::TMenuItem menu;
    std::vector<std::string> ran;
    ui::TMenuItem* first = menu.Add("ファイル(&F)")->Add("新規作成(&N)", "New");
    ui::TMenuItem* second = menu.Add("表示(&V)")->Add("右端で折り返す(&L)", "LeftEnter");
    first->OnClick = [&ran] { ran.push_back("New"); };
    second->OnClick = [&ran] { ran.push_back("LeftEnter"); };
    host.SetMainMenu(&menu);
    SetModifiers(true, false);
    for (const auto& [earlier, later] : {std::pair{second, first}, std::pair{first, second}}) {
        earlier->SetShortCut(ui::scCtrl | 'K');
        later->SetShortCut(ui::scCtrl | 'K');
        MSG key{host.Handle(), WM_KEYDOWN, 'K', 1, 0, {}};
        EXPECT_TRUE(host.TranslateAccelerator(key));
    }
    SetModifiers(false, false);
    EXPECT_EQ(ran, (std::vector<std::string>{"New", "New"}));
}

}  // namespace
}  // namespace kp::test
