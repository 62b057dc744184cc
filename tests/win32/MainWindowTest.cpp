// The main window as the platform shows it: its real menu bar, tool bar and
// status bar, built from the form's components, in-process under Wine.

#include "app/MainForm.h"

#include "memo/win32/EditWindow.h"
#include "memo/win32/Win32MemoWindow.h"
#include "platform/clipboard/SimClipboard.h"
#include "platform/clock/Win32Clock.h"
#include "platform/files/SimFileSystem.h"
#include "platform/keyboard/Win32KeyState.h"
#include "platform/help/SimHelpViewer.h"
#include "platform/printer/SimPrintDevice.h"
#include "platform/keynames/Win32KeyNames.h"
#include "platform/locale/Win32DateTimeLocale.h"
#include "platform/locale/Win32LocaleCompare.h"
#include "platform/registry/SimRegistry.h"
#include "platform/syscolors/Win32SysColors.h"
#include "tests/TestPlatform.h"
#include "ui/sim/SimDialogService.h"
#include "ui/sim/SimFormService.h"
#include "ui/sim/SimMessageDialogs.h"
#include "ui/win32/Win32Application.h"
#include "ui/win32/Win32FormHost.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

namespace kp::test {
namespace {

std::wstring MenuString(HMENU menu, UINT position)
{
    wchar_t buffer[256] = {};
    GetMenuStringW(menu, position, buffer, 256, MF_BYPOSITION);
    return buffer;
}

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
        : host(Options()),
          memoWindows(host.Handle(), 100),
          services{registry, files, keyNames, keys, colors, application, dialogs, host.Timers(), memoWindows, locale,
                   {}, "C:\\", clock, dateLocale, clipboard, TestCodec(), forms, printers, help,
                   nullptr},
          form(services, host)
    {
        host.SetShortCutText([this](ui::TShortCut shortCut) { return app::ShortCutText(shortCut, keyNames); });
        host.SetMainMenu(&form.MainMenu);
        host.SetToolBar(&form.ToolBar1);
        host.SetStatusBar(&form.StatusBar1);
        host.SetControls(&form.ClientArea);
        memoWindows.SetParent(host.ParentWindowOf(*form.MemoControl));
        form.FormCreate({});
    }
    ~MainWindowTest() override { host.DetachAll(); }

    ui::Win32FormOptions Options()
    {
        ui::Win32FormOptions options;
        options.caption = "[NewFile] - Kestrelpad";
        options.application = &applicationHost;
        options.mainForm = false;
        return options;
    }

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
};

TEST_F(MainWindowTest, TheMenuBarShowsCaptionsChecksAndShortcuts)
{
    HMENU bar = host.MenuOf(form.MainMenu);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 6);
    EXPECT_EQ(MenuString(bar, 0), L"ファイル(&F)");
    EXPECT_EQ(MenuString(bar, 2), L"検索(S)");
    HMENU file = GetSubMenu(bar, 0);
    EXPECT_EQ(MenuString(file, 0), L"新規作成(&N)\tCtrl+N");
    EXPECT_EQ(MenuString(file, 3), L"名前をつけて保存(&A)...");
    EXPECT_TRUE(GetMenuState(file, 2, MF_BYPOSITION) & MF_GRAYED);       // Save
    EXPECT_TRUE(GetMenuState(file, 5, MF_BYPOSITION) & MF_CHECKED);      // LastTimeFile
    EXPECT_TRUE(GetMenuState(file, 4, MF_BYPOSITION) & MF_SEPARATOR);
    HMENU search = GetSubMenu(bar, 2);
    EXPECT_EQ(MenuString(search, 1), L"次を検索(&S)\tF3");
    HMENU templates = GetSubMenu(bar, 3);
    EXPECT_EQ(MenuString(templates, 0), L"定義文書1(&1)\tCtrl+1");

    // A shortcut changed while the program runs shows at once.
    form.MenuItem("Exit")->SetShortCut(static_cast<ui::TShortCut>(ui::scCtrl | 'Q'));
    EXPECT_EQ(MenuString(file, 11), L"終了(&X)\tCtrl+Q");
}

TEST_F(MainWindowTest, TheToolBarAndStatusBarShowTheDesign)
{
    HWND toolBar = host.ToolBarWindow();
    ASSERT_NE(toolBar, nullptr);
    EXPECT_EQ(SendMessageW(toolBar, TB_BUTTONCOUNT, 0, 0), 12);
    TBBUTTON save{};
    ASSERT_TRUE(SendMessageW(toolBar, TB_GETBUTTON, 2, reinterpret_cast<LPARAM>(&save)));
    EXPECT_FALSE(SendMessageW(toolBar, TB_ISBUTTONENABLED, save.idCommand, 0));

    HWND status = host.StatusBarWindow();
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(SendMessageW(status, SB_GETPARTS, 0, 0), 4);
    wchar_t text[64] = {};
    SendMessageW(status, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"1行　　1桁");
    SendMessageW(status, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"挿入");
    form.StatusBar1.SetText(2, "C:\\文書\\a.txt");
    SendMessageW(status, SB_GETTEXTW, 2, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"C:\\文書\\a.txt");
}

// The status panels as the real status bar shows them while the memo's
// window gets the messages a user's keys and mouse send; hiding the tool bar
// gives its room to the memo.
TEST_F(MainWindowTest, TheStatusPanelsAndTheToolBarFollowTheUser)
{
    HWND parent = host.ParentWindowOf(*form.MemoControl);
    HWND memo = FindWindowExW(parent, nullptr, memo::kEditWindowClass, nullptr);
    ASSERT_NE(memo, nullptr);
    host.AttachWindow(*form.MemoControl, memo);
    HWND status = host.StatusBarWindow();
    auto panel = [&](int index) {
        wchar_t text[128] = {};
        SendMessageW(status, SB_GETTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
        return std::wstring(text);
    };

    form.Memo.SetText("first\r\n\x82\xa0\x82\xa2\x82\xa4x");
    form.Memo.SetSelStart(13);
    EXPECT_EQ(panel(0), L"2行　　7桁");
    SendMessageW(memo, WM_KEYDOWN, VK_INSERT, 0);
    EXPECT_EQ(panel(1), L"上書");
    SendMessageW(memo, WM_KEYDOWN, VK_INSERT, 0);
    EXPECT_EQ(panel(1), L"挿入");
    form.StatusBar1.SetText(2, "C:\\docs\\a.txt");
    SendMessageW(memo, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(panel(2), L"[Insert]で挿入・上書きの切り替え");

    RECT before{};
    GetWindowRect(memo, &before);
    auto toolBarShown = [&] { return (GetWindowLongW(host.ToolBarWindow(), GWL_STYLE) & WS_VISIBLE) != 0; };
    EXPECT_TRUE(toolBarShown());
    form.MenuItem("ToolBar")->Click();
    EXPECT_FALSE(toolBarShown());
    RECT after{};
    GetWindowRect(memo, &after);
    EXPECT_LT(after.top, before.top);
    EXPECT_EQ(after.bottom, before.bottom);
    form.MenuItem("ToolBar")->Click();
    EXPECT_TRUE(toolBarShown());
    GetWindowRect(memo, &after);
    EXPECT_EQ(after.top, before.top);
}

}  // namespace
}  // namespace kp::test
