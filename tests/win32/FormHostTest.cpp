// The form host under the real platform: what the menus, bars and docked
// windows show is read back from the controls themselves, and keys, commands,
// drops, timers and closing go through the window's own message handling.

#include "ui/win32/Win32FormHost.h"

#include "base/Error.h"
#include "ui/win32/Win32Application.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace kp::test {
namespace {

using namespace kp::ui;

std::string ShortCutText(TShortCut shortCut)
{
    std::string text;
    if (shortCut & scCtrl) text += "Ctrl+";
    if (shortCut & scShift) text += "Shift+";
    if (shortCut & scAlt) text += "Alt+";
    return text + static_cast<char>(shortCut & 0xFF);
}

// Runs the thread's messages (through the host's accelerators) for a while
// or until `done`.
template <class Done>
void PumpUntil(Win32FormHost& host, std::chrono::milliseconds limit, Done done)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    MSG message;
    while (!done() && std::chrono::steady_clock::now() < end) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) continue;
            if (host.TranslateAccelerator(message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(5);
    }
}

void Pump(Win32FormHost& host, std::chrono::milliseconds duration)
{
    PumpUntil(host, duration, [] { return false; });
}

std::wstring MenuText(HMENU menu, UINT position)
{
    wchar_t text[256] = {};
    GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    return text;
}

MENUITEMINFOW MenuInfo(HMENU menu, UINT position)
{
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    GetMenuItemInfoW(menu, position, TRUE, &info);
    return info;
}

// A window's bounds in the client coordinates of `host`.
RECT RectIn(HWND host, HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, host, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

::testing::AssertionResult SameRect(const RECT& actual, const RECT& expected)
{
    if (EqualRect(&actual, &expected)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "{" << actual.left << ", " << actual.top << ", " << actual.right << ", "
                                         << actual.bottom << "} instead of {" << expected.left << ", " << expected.top
                                         << ", " << expected.right << ", " << expected.bottom << "}";
}

// Stands in for the memo: counts the key-down messages it is given.
int g_sinkKeyDowns = 0;

HWND CreateKeySink(HWND parent)
{
    static const ATOM atom = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (message == WM_KEYDOWN) ++g_sinkKeyDowns;
            return DefWindowProcW(window, message, wParam, lParam);
        };
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KestrelpadFormTestSink";
        return RegisterClassExW(&windowClass);
    }();
    g_sinkKeyDowns = 0;
    return CreateWindowExW(0, MAKEINTATOM(atom), nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

void SetModifiers(bool ctrl, bool shift)
{
    BYTE state[256]{};
    GetKeyboardState(state);
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    state[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(state);
}

// Shown by its own style, whether or not the form is (tests leave it hidden).
bool Shown(HWND window) { return (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

MSG KeyDown(HWND window, WORD key) { return MSG{window, WM_KEYDOWN, key, 1, 0, {}}; }

class FormHostTest : public ::testing::Test {
protected:
    FormHostTest() : host(Options())
    {
        host.OnException = [this](const std::exception& failure) { failures.push_back(failure.what()); };
        host.SetShortCutText(ShortCutText);
    }
    ~FormHostTest() override { SetModifiers(false, false); }

    static Win32FormOptions Options()
    {
        Win32FormOptions options;
        options.caption = "FormHostTest";
        options.mainForm = false;
        return options;
    }

    TMenuItem* AddCounted(TMenuItem* parent, const std::string& caption, TShortCut shortCut, int& count)
    {
        TMenuItem* item = parent->Add(caption, "", shortCut);
        item->OnClick = [&count] { ++count; };
        return item;
    }

    // The explorer layout of the main window: a Left panel with a tree
    // above a splitter above a list, a Left splitter, the memo in the rest.
    void BuildExplorer()
    {
        explorer = layout.Add(ControlKind::Panel, "Explorer", TAlign::Left, 185);
        list = explorer->Add(ControlKind::ListView, "List", TAlign::Bottom, 0, 137);
        listSplitter = explorer->Add(ControlKind::Splitter, "ListSplitter", TAlign::Bottom, 0, 3);
        tree = explorer->Add(ControlKind::TreeView, "Tree", TAlign::Client);
        splitter = layout.Add(ControlKind::Splitter, "Splitter", TAlign::Left, 3);
        memo = layout.Add(ControlKind::Memo, "Memo", TAlign::Client);
        host.SetControls(&layout);
        memoWindow = CreateKeySink(host.ParentWindowOf(*memo));
        host.AttachWindow(*memo, memoWindow);
    }

    // The area between the bars, in client coordinates.
    RECT Area() const
    {
        RECT client{};
        GetClientRect(host.Handle(), &client);
        client.top = Shown(host.ToolBarWindow()) ? RectIn(host.Handle(), host.ToolBarWindow()).bottom : 0;
        if (Shown(host.StatusBarWindow())) client.bottom = RectIn(host.Handle(), host.StatusBarWindow()).top;
        return client;
    }

    Win32FormHost host;
    std::vector<std::string> failures;
    TMenuItem menu;
    TToolBar toolBar;
    TStatusBar statusBar;
    TControl layout{ControlKind::Panel, "Root", TAlign::Client};
    TControl *explorer = nullptr, *list = nullptr, *listSplitter = nullptr, *tree = nullptr;
    TControl *splitter = nullptr, *memo = nullptr;
    HWND memoWindow = nullptr;
};

// ---- The window ------------------------------------------------------------------

TEST_F(FormHostTest, WindowHasItsClassDesignSizeAndCaption)
{
    wchar_t className[64] = {};
    GetClassNameW(host.Handle(), className, 64);
    EXPECT_STREQ(className, L"TEditForm");
    const TRect bounds = host.Bounds();
    EXPECT_EQ(bounds.Width(), host.Scaled(738));
    EXPECT_EQ(bounds.Height(), host.Scaled(514));
    EXPECT_FALSE(IsWindowVisible(host.Handle()));
    EXPECT_EQ(GetWindow(host.Handle(), GW_OWNER), nullptr);

    host.SetCaption("無題 - Kestrelpad");
    EXPECT_EQ(host.Caption(), "無題 - Kestrelpad");
    host.SetBounds(TRect{30, 40, 530, 440});
    EXPECT_EQ(host.Bounds(), (TRect{30, 40, 530, 440}));
}

TEST_F(FormHostTest, StateSetBeforeShowingAppliesWhenShown)
{
    int shows = 0;
    host.OnShow = [&] { ++shows; };
    host.SetWindowState(TWindowState::wsMaximized);
    EXPECT_EQ(host.WindowState(), TWindowState::wsMaximized);
    EXPECT_FALSE(IsWindowVisible(host.Handle()));
    host.Show();
    EXPECT_TRUE(IsZoomed(host.Handle()));
    host.SetWindowState(TWindowState::wsNormal);
    EXPECT_EQ(host.WindowState(), TWindowState::wsNormal);
    ShowWindow(host.Handle(), SW_HIDE);
    host.Show();
    EXPECT_EQ(shows, 1) << "OnShow is raised the first time only";
}

// ---- Menus -----------------------------------------------------------------------

TEST_F(FormHostTest, MenuBarShowsCaptionsChecksStatesAndShortCutTexts)
{
    int clicks = 0;
    TMenuItem* file = menu.Add("ファイル(&F)");
    AddCounted(file, "新規作成(&N)", scCtrl | 'N', clicks);
    file->AddSeparator();
    AddCounted(file, "終了(&X)", 0, clicks)->SetEnabled(false);
    TMenuItem* view = menu.Add("表示(&V)");
    AddCounted(view, "ツールバー(&T)", scCtrl | scShift | 'T', clicks)->SetChecked(true);
    AddCounted(view, "隠し", 0, clicks)->SetVisible(false);
    view->Add("文字コード(&C)")->Add("Shift_JIS");
    host.SetMainMenu(&menu);

    HMENU bar = GetMenu(host.Handle());
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(MenuText(bar, 0), L"ファイル(&F)");
    EXPECT_EQ(MenuText(bar, 1), L"表示(&V)");
    HMENU fileMenu = GetSubMenu(bar, 0);
    ASSERT_EQ(GetMenuItemCount(fileMenu), 3);
    EXPECT_EQ(MenuText(fileMenu, 0), L"新規作成(&N)\tCtrl+N");
    EXPECT_EQ(MenuInfo(fileMenu, 0).wID, static_cast<UINT>(file->Item(0)->Id()));
    EXPECT_TRUE(MenuInfo(fileMenu, 1).fType & MFT_SEPARATOR);
    EXPECT_EQ(MenuText(fileMenu, 2), L"終了(&X)");
    EXPECT_TRUE(MenuInfo(fileMenu, 2).fState & MFS_GRAYED);
    EXPECT_FALSE(MenuInfo(fileMenu, 0).fState & MFS_GRAYED);

    HMENU viewMenu = GetSubMenu(bar, 1);
    ASSERT_EQ(GetMenuItemCount(viewMenu), 2) << "the hidden item is left out";
    EXPECT_EQ(MenuText(viewMenu, 0), L"ツールバー(&T)\tCtrl+Shift+T");
    EXPECT_TRUE(MenuInfo(viewMenu, 0).fState & MFS_CHECKED);
    ASSERT_NE(GetSubMenu(viewMenu, 1), nullptr);
    EXPECT_EQ(MenuText(GetSubMenu(viewMenu, 1), 0), L"Shift_JIS");
}

TEST_F(FormHostTest, MenuChangesShowAtOnce)
{
    TMenuItem* edit = menu.Add("編集(&E)");
    TMenuItem* undo = edit->Add("元に戻す(&U)", "", scCtrl | 'Z');
    TMenuItem* hidden = edit->Add("検索(&F)");
    hidden->SetVisible(false);
    TMenuItem* help = menu.Add("ヘルプ(&H)");
    host.SetMainMenu(&menu);
    HMENU bar = GetMenu(host.Handle());
    HMENU editMenu = GetSubMenu(bar, 0);

    undo->SetChecked(true);
    undo->SetEnabled(false);
    undo->SetCaption("やり直し(&R)");
    undo->SetShortCut(scCtrl | 'Y');
    EXPECT_EQ(MenuText(editMenu, 0), L"やり直し(&R)\tCtrl+Y");
    EXPECT_TRUE(MenuInfo(editMenu, 0).fState & MFS_CHECKED);
    EXPECT_TRUE(MenuInfo(editMenu, 0).fState & MFS_GRAYED);
    undo->SetShortCut(0);
    EXPECT_EQ(MenuText(editMenu, 0), L"やり直し(&R)");

    hidden->SetVisible(true);
    editMenu = GetSubMenu(bar, 0);
    ASSERT_EQ(GetMenuItemCount(editMenu), 2);
    EXPECT_EQ(MenuText(editMenu, 1), L"検索(&F)");
    undo->SetVisible(false);
    editMenu = GetSubMenu(bar, 0);
    ASSERT_EQ(GetMenuItemCount(editMenu), 1);
    EXPECT_EQ(MenuText(editMenu, 0), L"検索(&F)");

    // A bar entry that gains a child becomes a submenu; one removed is gone.
    help->Add("バージョン情報(&A)");
    ASSERT_NE(GetSubMenu(bar, 1), nullptr);
    EXPECT_EQ(MenuText(GetSubMenu(bar, 1), 0), L"バージョン情報(&A)");
    menu.Remove(edit);
    ASSERT_EQ(GetMenuItemCount(bar), 1);
    EXPECT_EQ(MenuText(bar, 0), L"ヘルプ(&H)");
}

TEST_F(FormHostTest, CommandsRunEnabledItemsOfTheBarAndPopups)
{
    int clicks = 0, popupClicks = 0;
    TMenuItem* item = AddCounted(menu.Add("ファイル(&F)"), "開く(&O)", 0, clicks);
    TMenuItem popup;
    TMenuItem* copy = AddCounted(&popup, "コピー(&C)", 0, popupClicks);
    host.SetMainMenu(&menu);
    host.AddPopupMenu(popup);
    EXPECT_EQ(MenuText(host.MenuOf(popup), 0), L"コピー(&C)");

    SendMessageW(host.Handle(), WM_COMMAND, MAKEWPARAM(item->Id(), 0), 0);
    SendMessageW(host.Handle(), WM_COMMAND, MAKEWPARAM(copy->Id(), 0), 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(popupClicks, 1);
    item->SetEnabled(false);
    SendMessageW(host.Handle(), WM_COMMAND, MAKEWPARAM(item->Id(), 0), 0);
    EXPECT_EQ(clicks, 1);

    // What a handler throws reaches the handler of failures, not the system.
    item->SetEnabled(true);
    item->OnClick = [] { throw Error("ファイルを開けません。"); };
    SendMessageW(host.Handle(), WM_COMMAND, MAKEWPARAM(item->Id(), 0), 0);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], "ファイルを開けません。");
}

// Asked by the environment, the host logs each command's longest handler;
// a handler that throws is timed too.
TEST_F(FormHostTest, HandlerTimesLogEachCommandsLongestHandler)
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring log = std::wstring(folder) + L"kp-handler-times.txt";
    DeleteFileW(log.c_str());
    std::vector<DWORD> sleeps{40, 5, 90};
    TMenuItem* slow = menu.Add("ファイル(&F)")->Add("開く(&O)", "Open");
    slow->OnClick = [&] {
        Sleep(sleeps.front());
        sleeps.erase(sleeps.begin());
    };
    TMenuItem* failing = menu.Add("編集(&E)")->Add("貼り付け(&P)", "Paste");
    failing->OnClick = [] { throw Error("貼り付けできません。"); };
    host.SetMainMenu(&menu);

    ASSERT_EQ(_wputenv_s(L"KP_HANDLER_TIMES", log.c_str()), 0);
    for (int i = 0; i < 3; ++i) SendMessageW(host.Handle(), WM_COMMAND, MAKEWPARAM(slow->Id(), 0), 0);
    SendMessageW(host.Handle(), WM_COMMAND, MAKEWPARAM(failing->Id(), 0), 0);
    ASSERT_EQ(_wputenv_s(L"KP_HANDLER_TIMES", L""), 0);
    SendMessageW(host.Handle(), WM_COMMAND, MAKEWPARAM(failing->Id(), 0), 0);

    std::vector<std::pair<std::string, double>> lines;
    if (FILE* file = _wfopen(log.c_str(), L"r")) {
        char name[64];
        double ms = 0;
        while (std::fscanf(file, "%63s %lf", name, &ms) == 2) lines.emplace_back(name, ms);
        std::fclose(file);
    }
    DeleteFileW(log.c_str());
    ASSERT_EQ(lines.size(), 3u);  // the 5 ms run set no new longest
    EXPECT_EQ(lines[0].first, "Open");
    EXPECT_EQ(lines[1].first, "Open");
    EXPECT_GT(lines[1].second, lines[0].second);  // each line a new longest
    EXPECT_EQ(lines[2].first, "Paste");
    EXPECT_EQ(failures.size(), 2u);
}

TEST_F(FormHostTest, PopupMenuRunsTheChosenItem)
{
    TMenuItem popup;
    int first = 0, second = 0;
    AddCounted(&popup, "切り取り(&T)", 0, first);
    AddCounted(&popup, "コピー(&C)", scCtrl | 'C', second);
    host.Show();
    // The menu's own loop reads these keys: down to the second item, choose.
    for (const WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageW(host.Handle(), WM_KEYDOWN, key, 0);
    host.Popup(popup, 100, 100);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
}

// ---- Accelerators ------------------------------------------------------------------

TEST_F(FormHostTest, AcceleratorsFollowShortCutChangesAndComeBeforeTheFocusedWindow)
{
    int selectAll = 0;
    TMenuItem* item = AddCounted(menu.Add("編集(&E)"), "すべて選択(&A)", scCtrl | 'A', selectAll);
    host.SetMainMenu(&menu);
    BuildExplorer();

    SetModifiers(true, false);
    MSG key = KeyDown(memoWindow, 'A');
    EXPECT_TRUE(host.TranslateAccelerator(key));
    EXPECT_EQ(selectAll, 1);

    item->SetShortCut(scCtrl | scShift | 'L');
    EXPECT_EQ(MenuText(GetSubMenu(GetMenu(host.Handle()), 0), 0), L"すべて選択(&A)\tCtrl+Shift+L");
    key = KeyDown(memoWindow, 'A');
    EXPECT_FALSE(host.TranslateAccelerator(key)) << "the old key is free again";
    key = KeyDown(memoWindow, 'L');
    EXPECT_FALSE(host.TranslateAccelerator(key)) << "Shift is part of the new shortcut";
    SetModifiers(true, true);
    key = KeyDown(memoWindow, 'L');
    EXPECT_TRUE(host.TranslateAccelerator(key));
    EXPECT_EQ(selectAll, 2);

    // Keys for windows outside the form are not the form's.
    HWND other = CreateWindowExW(0, L"STATIC", nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    key = KeyDown(other, 'L');
    EXPECT_FALSE(host.TranslateAccelerator(key));
    DestroyWindow(other);
    EXPECT_EQ(selectAll, 2);
}

TEST_F(FormHostTest, PopupShortCutsWorkAfterTheBars)
{
    int barCopy = 0, popupCopy = 0, popupPaste = 0;
    AddCounted(menu.Add("編集(&E)"), "コピー(&C)", scCtrl | 'C', barCopy);
    TMenuItem popup;
    AddCounted(&popup, "コピー(&C)", scCtrl | 'C', popupCopy);
    AddCounted(&popup, "貼り付け(&P)", scCtrl | 'V', popupPaste);
    host.SetMainMenu(&menu);
    host.AddPopupMenu(popup);
    SetModifiers(true, false);
    MSG key = KeyDown(host.Handle(), 'C');
    EXPECT_TRUE(host.TranslateAccelerator(key));
    key = KeyDown(host.Handle(), 'V');
    EXPECT_TRUE(host.TranslateAccelerator(key));
    EXPECT_EQ(barCopy, 1);
    EXPECT_EQ(popupCopy, 0);
    EXPECT_EQ(popupPaste, 1);
}

TEST_F(FormHostTest, TypedShortCutRunsTheMenuAndNeverReachesTheMemo)
{
    int selectAll = 0;
    AddCounted(menu.Add("編集(&E)"), "すべて選択(&A)", scCtrl | 'A', selectAll);
    host.SetMainMenu(&menu);
    BuildExplorer();
    host.Show();
    SetForegroundWindow(host.Handle());
    SetFocus(memoWindow);
    ASSERT_EQ(GetFocus(), memoWindow);

    INPUT inputs[4]{};
    const WORD keys[4] = {VK_CONTROL, 'A', 'A', VK_CONTROL};
    for (int i = 0; i < 4; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i];
        inputs[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    ASSERT_EQ(SendInput(4, inputs, sizeof(INPUT)), 4u);
    PumpUntil(host, std::chrono::milliseconds(2000), [&] { return selectAll > 0; });
    Pump(host, std::chrono::milliseconds(50));
    EXPECT_EQ(selectAll, 1);
    EXPECT_EQ(g_sinkKeyDowns, 1) << "the memo sees Ctrl going down, never A";
}

// ---- Bars ------------------------------------------------------------------------------

TEST_F(FormHostTest, ToolBarShowsButtonsStatesPicturesAndHints)
{
    int saves = 0;
    toolBar.AddButton("FileNew", "新規作成", 0);
    toolBar.AddSeparator();
    toolBar.AddButton("FileSave", "上書き保存", 3, [&] { ++saves; });
    toolBar.AddButton("EditUndo", "元に戻す", 7);
    toolBar.SetEnabled("EditUndo", false);
    host.SetToolBar(&toolBar);
    HWND bar = host.ToolBarWindow();
    ASSERT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 4);
    TBBUTTON buttons[4]{};
    for (int i = 0; i < 4; ++i) SendMessageW(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&buttons[i]));
    EXPECT_EQ(buttons[0].iBitmap, 0);
    EXPECT_TRUE(buttons[1].fsStyle & BTNS_SEP);
    EXPECT_EQ(buttons[2].iBitmap, 3);
    EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONENABLED, buttons[2].idCommand, 0));
    EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONENABLED, buttons[3].idCommand, 0));
    RECT button{};
    SendMessageW(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
    EXPECT_EQ(button.right - button.left, host.Scaled(25));
    EXPECT_EQ(button.bottom - button.top, host.Scaled(24));
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(bar, TB_GETIMAGELIST, 0, 0));
    EXPECT_EQ(ImageList_GetImageCount(images), 14);

    // The save button's picture follows the document; undo comes back.
    toolBar.SetImageIndex("FileSave", 4);
    toolBar.SetEnabled("EditUndo", true);
    SendMessageW(bar, TB_GETBUTTON, 2, reinterpret_cast<LPARAM>(&buttons[2]));
    EXPECT_EQ(buttons[2].iBitmap, 4);
    EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONENABLED, buttons[3].idCommand, 0));

    // The tip asks the form for a button's text, as the tip window does.
    NMTTDISPINFOW tip{};
    tip.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageW(bar, TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tip.hdr.hwndFrom, nullptr);
    tip.hdr.idFrom = static_cast<UINT_PTR>(buttons[2].idCommand);
    tip.hdr.code = TTN_GETDISPINFOW;
    SendMessageW(host.Handle(), WM_NOTIFY, tip.hdr.idFrom, reinterpret_cast<LPARAM>(&tip));
    ASSERT_NE(tip.lpszText, nullptr);
    EXPECT_STREQ(tip.lpszText, L"上書き保存");

    SendMessageW(host.Handle(), WM_COMMAND, MAKEWPARAM(buttons[2].idCommand, BN_CLICKED),
                 reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(saves, 1);
    toolBar.SetEnabled("FileSave", false);
    SendMessageW(host.Handle(), WM_COMMAND, MAKEWPARAM(buttons[2].idCommand, BN_CLICKED),
                 reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(saves, 1);
}

TEST_F(FormHostTest, StatusBarShowsPanelWidthsAndTexts)
{
    statusBar.AddPanel(100, "  1 行:   1 桁");
    statusBar.AddPanel(50, "挿入");
    statusBar.AddPanel(200);
    statusBar.AddPanel(300, "準備完了");
    host.SetStatusBar(&statusBar);
    HWND bar = host.StatusBarWindow();
    int edges[8] = {};
    ASSERT_EQ(SendMessageW(bar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 4);
    EXPECT_EQ(edges[0], host.Scaled(100));
    EXPECT_EQ(edges[1], host.Scaled(150));
    EXPECT_EQ(edges[2], host.Scaled(350));
    EXPECT_EQ(edges[3], -1) << "the last panel reaches the right edge";

    auto text = [bar](int part) {
        wchar_t buffer[128] = {};
        SendMessageW(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(buffer));
        return std::wstring(buffer);
    };
    EXPECT_EQ(text(0), L"  1 行:   1 桁");
    EXPECT_EQ(text(1), L"挿入");
    EXPECT_EQ(text(2), L"");
    statusBar.SetText(1, "上書");
    statusBar.SetText(2, "Shift_JIS");
    EXPECT_EQ(text(1), L"上書");
    EXPECT_EQ(text(2), L"Shift_JIS");
    EXPECT_EQ(text(3), L"準備完了");
}

// ---- Docked controls ---------------------------------------------------------------------

TEST_F(FormHostTest, ExplorerLayoutDocksPanelsSplittersViewsAndMemo)
{
    toolBar.AddButton("FileNew", "新規作成", 0);
    statusBar.AddPanel(100, "1");
    host.SetToolBar(&toolBar);
    host.SetStatusBar(&statusBar);
    BuildExplorer();
    const HWND form = host.Handle();
    const RECT area = Area();
    ASSERT_GT(area.top, 0);
    const int width = host.Scaled(185), bar = host.Scaled(3), listHeight = host.Scaled(137);
    EXPECT_TRUE(SameRect(RectIn(form, host.WindowOf(*explorer)), {0, area.top, width, area.bottom}));
    EXPECT_TRUE(SameRect(RectIn(form, host.WindowOf(*splitter)), {width, area.top, width + bar, area.bottom}));
    EXPECT_TRUE(SameRect(RectIn(form, memoWindow), {width + bar, area.top, area.right, area.bottom}));
    EXPECT_TRUE(SameRect(RectIn(form, host.WindowOf(*list)), {0, area.bottom - listHeight, width, area.bottom}));
    EXPECT_TRUE(SameRect(RectIn(form, host.WindowOf(*listSplitter)),
                         {0, area.bottom - listHeight - bar, width, area.bottom - listHeight}));
    EXPECT_TRUE(SameRect(RectIn(form, host.WindowOf(*tree)), {0, area.top, width, area.bottom - listHeight - bar}));

    wchar_t className[64] = {};
    GetClassNameW(host.WindowOf(*tree), className, 64);
    EXPECT_STREQ(className, WC_TREEVIEWW);
    GetClassNameW(host.WindowOf(*list), className, 64);
    EXPECT_STREQ(className, WC_LISTVIEWW);
    EXPECT_EQ(GetParent(host.WindowOf(*tree)), host.WindowOf(*explorer));
    EXPECT_EQ(GetWindowLongPtrW(host.WindowOf(*list), GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    list->SetViewStyle(TViewStyle::vsSmallIcon);
    EXPECT_EQ(GetWindowLongPtrW(host.WindowOf(*list), GWL_STYLE) & LVS_TYPEMASK, LVS_SMALLICON);

    // A resized form lays everything out again.
    SetWindowPos(form, nullptr, 0, 0, host.Scaled(600), host.Scaled(400), SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(SameRect(RectIn(form, memoWindow), {width + bar, Area().top, Area().right, Area().bottom}));
}

TEST_F(FormHostTest, HiddenControlsAndBarsGiveTheirRoomAway)
{
    toolBar.AddButton("FileNew", "新規作成", 0);
    host.SetToolBar(&toolBar);
    BuildExplorer();
    const HWND form = host.Handle();
    const int width = host.Scaled(185);

    list->SetVisible(false);
    listSplitter->SetVisible(false);
    EXPECT_FALSE(Shown(host.WindowOf(*list)));
    EXPECT_EQ(RectIn(form, host.WindowOf(*tree)).bottom, Area().bottom) << "the tree takes the list's room";

    splitter->SetVisible(false);
    EXPECT_EQ(RectIn(form, memoWindow).left, width);
    explorer->SetVisible(false);
    EXPECT_FALSE(Shown(host.WindowOf(*explorer)));
    EXPECT_EQ(RectIn(form, memoWindow).left, 0);

    const int top = RectIn(form, memoWindow).top;
    toolBar.SetVisible(false);
    EXPECT_FALSE(Shown(host.ToolBarWindow()));
    EXPECT_LT(RectIn(form, memoWindow).top, top);
    EXPECT_EQ(RectIn(form, memoWindow).top, 0);

    explorer->SetVisible(true);
    splitter->SetVisible(true);
    EXPECT_TRUE(Shown(host.WindowOf(*tree)));
    EXPECT_EQ(RectIn(form, memoWindow).left, width + host.Scaled(3));
}

TEST_F(FormHostTest, DraggedSplittersResizeTheirNeighbours)
{
    BuildExplorer();
    const HWND form = host.Handle();
    auto drag = [](HWND window, POINT from, POINT to) {
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        SendMessageW(window, WM_LBUTTONUP, 0, 0);
    };
    const int width = host.Scaled(185);
    drag(host.WindowOf(*splitter), {1, 10}, {41, 10});
    EXPECT_EQ(explorer->Width(), width + 40);
    EXPECT_EQ(RectIn(form, memoWindow).left, width + 40 + host.Scaled(3));

    drag(host.WindowOf(*listSplitter), {10, 1}, {10, -19});
    EXPECT_EQ(list->Height(), host.Scaled(137) + 20);
    EXPECT_EQ(RectIn(form, host.WindowOf(*tree)).bottom, RectIn(form, host.WindowOf(*listSplitter)).top);

    // Never past the memo's last 30 pixels, nor below 30 for the panel.
    drag(host.WindowOf(*splitter), {1, 10}, {5000, 10});
    RECT client{};
    GetClientRect(form, &client);
    EXPECT_EQ(RectIn(form, memoWindow).right - RectIn(form, memoWindow).left, host.Scaled(30));
    EXPECT_EQ(RectIn(form, memoWindow).right, client.right);
    drag(host.WindowOf(*splitter), {1, 10}, {-5000, 10});
    EXPECT_EQ(explorer->Width(), host.Scaled(30));
}

// ---- Timers, drops, application, closing -----------------------------------------------------

TEST_F(FormHostTest, TimerTicksWhileEnabledOnly)
{
    TTimer timer(20);
    int ticks = 0;
    timer.OnTimer = [&] {
        if (++ticks == 2) throw Error("タイマーの失敗");
    };
    timer.SetService(&host.Timers());
    timer.SetEnabled(true);
    PumpUntil(host, std::chrono::milliseconds(3000), [&] { return ticks >= 3; });
    EXPECT_GE(ticks, 3) << "a tick that throws does not stop the timer";
    EXPECT_EQ(failures, std::vector<std::string>{"タイマーの失敗"});
    timer.SetEnabled(false);
    const int stopped = ticks;
    Pump(host, std::chrono::milliseconds(150));
    EXPECT_EQ(ticks, stopped);
}

TEST_F(FormHostTest, DroppedFilesArriveAsUtf8AfterTheDropIsFinished)
{
    const std::vector<std::wstring> paths = {L"C:\\文書\\議事録.txt", L"Z:\\tmp\\a b.txt"};
    size_t units = 1;
    for (const auto& path : paths) units += path.size() + 1;
    HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + units * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    auto* out = reinterpret_cast<wchar_t*>(files + 1);
    for (const auto& path : paths) out = std::copy(path.begin(), path.end(), out) + 1;
    GlobalUnlock(drop);

    host.AcceptFiles(true);
    EXPECT_TRUE(GetWindowLongPtrW(host.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    std::vector<std::string> received;
    bool finished = false;
    host.OnDropFiles = [&](const std::vector<std::string>& dropped) {
        received = dropped;
        finished = GlobalSize(drop) == 0;
    };
    SendMessageW(host.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_EQ(received, (std::vector<std::string>{"C:\\文書\\議事録.txt", "Z:\\tmp\\a b.txt"}));
    EXPECT_TRUE(finished) << "DragFinish ran before the handler";
    host.AcceptFiles(false);
    EXPECT_FALSE(GetWindowLongPtrW(host.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST(FormHostApplicationTest, ApplicationWindowOwnsTheFormAndCarriesTheTitle)
{
    Win32ApplicationHost application("Kestrelpad");
    Win32FormOptions options;
    options.caption = "[NewFile] - Kestrelpad";
    options.application = &application;
    options.mainForm = false;
    Win32FormHost form(options);
    form.Show();
    EXPECT_EQ(GetWindow(form.Handle(), GW_OWNER), application.Handle());
    wchar_t className[64] = {};
    GetClassNameW(application.Handle(), className, 64);
    EXPECT_STREQ(className, kApplicationWindowClass);
    EXPECT_TRUE(IsWindowVisible(application.Handle())) << "the task bar shows visible windows only";
    RECT bounds{};
    GetWindowRect(application.Handle(), &bounds);
    EXPECT_TRUE(IsRectEmpty(&bounds));

    application.SetTitle("議事録.txt - Kestrelpad");
    wchar_t text[128] = {};
    SendMessageW(application.Handle(), WM_GETTEXT, 128, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"議事録.txt - Kestrelpad");
    EXPECT_EQ(form.Caption(), "[NewFile] - Kestrelpad");

    // Minimising goes through the application window, which hides the form.
    form.SetWindowState(TWindowState::wsMinimized);
    EXPECT_TRUE(IsIconic(application.Handle()));
    EXPECT_EQ(form.WindowState(), TWindowState::wsMinimized);
    EXPECT_FALSE(IsWindowVisible(form.Handle()));
    form.SetWindowState(TWindowState::wsNormal);
    EXPECT_EQ(form.WindowState(), TWindowState::wsNormal);
    EXPECT_TRUE(IsWindowVisible(form.Handle()));

    // "Close" on the task-bar button closes the form.
    bool closed = false;
    form.OnClose = [&](TCloseAction&) { closed = true; };
    SendMessageW(application.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpUntil(form, std::chrono::milliseconds(1000), [&] { return closed; });
    EXPECT_TRUE(closed);
}

TEST_F(FormHostTest, RefusedCloseKeepsTheWindow)
{
    host.Show();
    bool allow = false;
    int closes = 0;
    host.OnCloseQuery = [&](bool& canClose) { canClose = allow; };
    host.OnClose = [&](TCloseAction&) { ++closes; };
    host.Close();
    EXPECT_TRUE(IsWindowVisible(host.Handle()));
    EXPECT_EQ(closes, 0);
    EXPECT_FALSE(SendMessageW(host.Handle(), WM_QUERYENDSESSION, 0, 0)) << "nor may the session end";

    // A query that fails keeps the window as well.
    host.OnCloseQuery = [](bool&) { throw Error("保存できません。"); };
    host.Close();
    EXPECT_TRUE(IsWindowVisible(host.Handle()));
    EXPECT_EQ(failures, std::vector<std::string>{"保存できません。"});

    host.OnCloseQuery = [&](bool& canClose) { canClose = true; };
    host.Close();
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(IsWindowVisible(host.Handle())) << "caHide by default";
    EXPECT_TRUE(IsWindow(host.Handle()));
}

// The test program restricts its library search at start as the editor does:
// a library beside the program does not load by its name, although it loads
// by its full path and from the program's folder when that is asked for.
TEST(LibrarySearchTest, ALibraryBesideTheProgramDoesNotLoadByItsName)
{
    EXPECT_TRUE(RestrictLibrarySearchToSystem());
    std::wstring folder(MAX_PATH, L'\0');
    folder.resize(GetModuleFileNameW(nullptr, folder.data(), MAX_PATH));
    folder.resize(folder.find_last_of(L"\\/") + 1);

    HMODULE byPath = LoadLibraryW((folder + L"kp_planted.dll").c_str());
    ASSERT_NE(byPath, nullptr) << "the planted library does not load at all: " << GetLastError();
    using Entry = int (*)();
    const auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(byPath, "KpPlantedLibrary")));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry(), 42);
    FreeLibrary(byPath);

    HMODULE fromProgramFolder = LoadLibraryExW(L"kp_planted.dll", nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR);
    EXPECT_NE(fromProgramFolder, nullptr);
    if (fromProgramFolder) FreeLibrary(fromProgramFolder);

    SetLastError(0);
    HMODULE byName = LoadLibraryW(L"kp_planted.dll");
    EXPECT_EQ(byName, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    if (byName) FreeLibrary(byName);
}

// The session's end goes to its own handlers: the query's answer is the
// session's, and the end runs only when the session really ends.
TEST_F(FormHostTest, TheSessionsEndHasItsOwnQuery)
{
    int queries = 0, closeQueries = 0, ends = 0;
    bool allow = false;
    host.OnCloseQuery = [&](bool&) { ++closeQueries; };
    host.OnQueryEndSession = [&](bool& canEnd) {
        ++queries;
        canEnd = allow;
    };
    host.OnEndSession = [&] { ++ends; };
    EXPECT_FALSE(SendMessageW(host.Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    allow = true;
    EXPECT_TRUE(SendMessageW(host.Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    EXPECT_EQ(queries, 2);
    EXPECT_EQ(closeQueries, 0);
    SendMessageW(host.Handle(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_EQ(ends, 0) << "another program refused: the session goes on";
    SendMessageW(host.Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(ends, 1);

    host.OnQueryEndSession = [](bool&) { throw Error("保存できません。"); };
    EXPECT_FALSE(SendMessageW(host.Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF)) << "a failure refuses";
    EXPECT_EQ(failures, std::vector<std::string>{"保存できません。"});
}

TEST(FormHostMainFormTest, ClosingTheMainFormEndsTheMessageLoop)
{
    Win32FormHost form;
    form.Show();
    form.OnClose = [](TCloseAction& action) { action = TCloseAction::caFree; };
    form.Close();
    EXPECT_EQ(form.Handle(), nullptr) << "caFree destroys the window";
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
}

// A loop nested in a handler (a dialog's, a message box's) delivers WM_TIMER
// as well; the form's timers tick only between the messages of its own loop.
TEST(FormHostMainFormTest, TimersTickInTheMessageLoopButNotInALoopNestedInAHandler)
{
    Win32FormHost form;
    form.Show();
    form.OnClose = [](TCloseAction& action) { action = TCloseAction::caFree; };
    TTimer timer(10);
    int ticks = 0;
    int nestedTicks = 0;
    bool nested = false;
    timer.OnTimer = [&] {
        if (nested) {
            ++nestedTicks;
            return;
        }
        if (++ticks == 1) {
            nested = true;
            Pump(form, std::chrono::milliseconds(200));
            nested = false;
        } else if (ticks == 3) {
            timer.SetEnabled(false);
            form.Close();
        }
    };
    timer.SetService(&form.Timers());
    timer.SetEnabled(true);
    form.RunMessageLoop();
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(nestedTicks, 0);
}

}  // namespace
}  // namespace kp::test
