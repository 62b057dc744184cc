// The folder tree, file list and folder combo on the platform's controls and
// shell, in this process: a form with the combo above, the tree at the left
// and the list beside it, browsing to a temporary folder 表ソ holding ソース.txt
// and 한글.txt. The user is played by posting mouse and key messages at the
// rectangles the controls report; the shell's deletion box is answered by a
// watcher thread.

#include "platform/clock/Win32Clock.h"
#include "platform/files/Win32FileSystem.h"
#include "platform/locale/Win32DateTimeLocale.h"
#include "platform/locale/Win32LocaleCompare.h"
#include "platform/shell/Win32ShellNamespace.h"
#include "shell/ComboView.h"
#include "shell/DRPCOMEX.h"
#include "shell/FileView.h"
#include "shell/FolderView.h"
#include "shell/ShellItems.h"
#include "tests/TestPlatform.h"
#include "tests/contract/Win32ViewStages.h"
#include "tests/win32/ShellWatchers.h"
#include "ui/sim/SimMessageDialogs.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include <cstdlib>
#include <regex>

namespace kp::test {
namespace {

using platform::FileStatus;
using platform::IdList;
using shell::TFileView;
using shell::TFolderView;

class ShellViewsWin32Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        OleInitialize(nullptr);
        liveBefore_ = IdList::Live();
        shellNs = std::make_unique<platform::Win32ShellNamespace>();
        ASSERT_TRUE(shellNs->Allocator() && shellNs->Desktop());
        folder = platform::JoinPath(platform::Win32FileSystem::TempFolder(), "表ソ");
        files.CreateFolder(folder);
        Put("ソース.txt", "abc");
        Put("한글.txt", std::string(2000, 'k'));

        ui::Win32FormOptions options;
        options.caption = "explorer views";
        options.mainForm = false;
        options.designWidth = 640;
        options.designHeight = 420;
        host = std::make_unique<ui::Win32FormHost>(options);
        host->OnException = [this](const std::exception& failure) { failures.push_back(failure.what()); };
        layout.Add(ui::ControlKind::Panel, "ComboBar", ui::TAlign::Top, 0, 30);
        treeControl = layout.Add(ui::ControlKind::TreeView, "Tree", ui::TAlign::Left, 220);
        listControl = layout.Add(ui::ControlKind::ListView, "List", ui::TAlign::Client);
        host->SetControls(&layout);
        host->Show(SW_SHOWNORMAL);
        PumpViews();
        treeWindow = host->WindowOf(*treeControl);
        listWindow = host->WindowOf(*listControl);
        ASSERT_TRUE(treeWindow && listWindow);

        services = std::make_unique<shell::ShellViewServices>(shell::ShellViewServices{
            shellNs.get(), TestCodec(), locale, clock, dates, messages});
        tree = std::make_unique<TFolderView>(*services);
        list = std::make_unique<TFileView>(*services);
        combo = std::make_unique<shell::TComboView>(*services);
        menu = std::make_unique<shell::TContextMenuEx>(shellNs.get(), TestCodec(), messages);
        tree->Window() = {reinterpret_cast<platform::WindowRef>(treeWindow), ToScreen(treeWindow)};
        list->Window() = {reinterpret_cast<platform::WindowRef>(listWindow), ToScreen(listWindow)};
        treeDisplay = std::make_unique<ui::Win32TreeView>(treeWindow, *tree, host->OnException);
        listDisplay = std::make_unique<ui::Win32ListView>(listWindow, *list, host->OnException);
        comboDisplay = std::make_unique<ui::Win32ComboBox>(host->Handle(), ui::TRect{4, 4, 300, 26}, *combo,
                                                           host->OnException);
        tree->SetFileView(list.get());
        combo->SetFolderView(tree.get());
        tree->SetContextMenu(menu.get());
        list->SetContextMenu(menu.get());
        tree->CreateWnd();
        list->CreateWnd();
        combo->Loaded();
        tree->Loaded();
        PumpViews();
    }

    void TearDown() override
    {
        comboDisplay.reset();
        listDisplay.reset();
        treeDisplay.reset();
        combo.reset();
        list.reset();
        tree.reset();
        menu.reset();
        host->DetachAll();
        host.reset();
        shellNs.reset();
        std::vector<std::string> names;
        files.ListFolder(folder, names);
        for (const std::string& name : names) files.Delete(platform::JoinPath(folder, name));
        files.RemoveFolder(folder);
        EXPECT_EQ(IdList::Live(), liveBefore_);
        EXPECT_TRUE(failures.empty()) << failures.front();
        OleUninitialize();
    }

    static std::function<void(int&, int&)> ToScreen(HWND window)
    {
        return [window](int& x, int& y) {
            POINT point{x, y};
            ClientToScreen(window, &point);
            x = point.x;
            y = point.y;
        };
    }
    void Put(const std::string& name, std::string_view bytes)
    {
        std::string temp;
        platform::FileHandle file;
        ASSERT_EQ(files.CreateTempFile(folder, temp, file), FileStatus::Ok);
        ASSERT_EQ(files.Write(file, bytes), FileStatus::Ok);
        file.Close();
        ASSERT_EQ(files.Replace(platform::JoinPath(folder, name), temp), FileStatus::Ok);
    }
    ui::TListItem* ItemEndingWith(const std::string& name)
    {
        for (size_t i = 0; i < list->Count(); ++i) {
            const std::string path = list->ItemPath(list->Item(i));
            if (path.size() >= name.size() && path.compare(path.size() - name.size(), name.size(), name) == 0)
                return list->Item(i);
        }
        return nullptr;
    }
    ui::TTreeNode* NodeStartingWith(ui::TTreeNode* parent, const std::string& text)
    {
        for (size_t i = 0; parent && i < parent->Count(); ++i)
            if (parent->Item(i)->Text().rfind(text, 0) == 0) return parent->Item(i);
        return nullptr;
    }
    void DoubleClickItem(ui::TListItem* item)
    {
        ASSERT_NE(item, nullptr);
        ListView_EnsureVisible(listWindow, static_cast<int>(item->Index()), FALSE);
        PostDoubleClick(listWindow, listDisplay->ItemRect(item->Index()));
        PumpViews();
    }
    void ClickItem(ui::TListItem* item)
    {
        ASSERT_NE(item, nullptr);
        ListView_EnsureVisible(listWindow, static_cast<int>(item->Index()), FALSE);
        PostClick(listWindow, listDisplay->ItemRect(item->Index()));
        PumpViews();
    }
    void ClickColumn(int column)
    {
        HWND header = ListView_GetHeader(listWindow);
        RECT rect{};
        Header_GetItemRect(header, column, &rect);
        PostClick(header, rect);
        PumpViews();
    }
    std::string Shown(size_t row, int column)
    {
        wchar_t text[260] = {};
        ListView_GetItemText(listWindow, static_cast<int>(row), column, text, 260);
        return ui::Utf8Text(text);
    }
    std::vector<std::string> ShownNames()
    {
        std::vector<std::string> names;
        for (int row = 0; row < ListView_GetItemCount(listWindow); ++row) names.push_back(Shown(row, 0));
        return names;
    }

    long liveBefore_ = 0;
    platform::Win32FileSystem files;
    std::string folder;
    std::unique_ptr<platform::Win32ShellNamespace> shellNs;
    platform::Win32LocaleCompare locale;
    platform::Win32Clock clock;
    platform::Win32DateTimeLocale dates;
    ui::SimMessageDialogs messages;
    std::unique_ptr<shell::ShellViewServices> services;
    ui::TControl layout{ui::ControlKind::Panel, "Root", ui::TAlign::Client};
    ui::TControl* treeControl = nullptr;
    ui::TControl* listControl = nullptr;
    std::unique_ptr<ui::Win32FormHost> host;
    HWND treeWindow = nullptr;
    HWND listWindow = nullptr;
    std::unique_ptr<TFolderView> tree;
    std::unique_ptr<TFileView> list;
    std::unique_ptr<shell::TComboView> combo;
    std::unique_ptr<shell::TContextMenuEx> menu;
    std::unique_ptr<ui::Win32TreeView> treeDisplay;
    std::unique_ptr<ui::Win32ListView> listDisplay;
    std::unique_ptr<ui::Win32ComboBox> comboDisplay;
    std::vector<std::string> failures;
};

TEST_F(ShellViewsWin32Test, BrowseListSortRenameAndDeleteInTheRealControls)
{
    // The desktop: the list shows its items, マイ コンピューター among them.
    ASSERT_EQ(tree->Count(), 1u);
    ui::TListItem* computer = nullptr;
    for (size_t i = 0; i < list->Count(); ++i)
        if (list->Item(i)->Caption() == "マイ コンピューター") computer = list->Item(i);
    ASSERT_NE(computer, nullptr) << "the desktop lists マイ コンピューター";
    DoubleClickItem(computer);
    ASSERT_NE(tree->Selected(), nullptr);
    EXPECT_EQ(tree->Selected()->Text(), "マイ コンピューター");
    // The drive of the test folder, double-clicked in the list.
    const std::string drive = folder.substr(0, 3);
    DoubleClickItem(ItemEndingWith(drive));
    EXPECT_EQ(tree->SelectedPath(), drive);
    tree->SetSelectedPath(folder);
    PumpViews();
    ASSERT_EQ(tree->SelectedPath(), folder);
    EXPECT_EQ(tree->Selected()->Text(), "表ソ");
    ASSERT_EQ(list->Count(), 2u);
    EXPECT_EQ(static_cast<size_t>(ListView_GetItemCount(listWindow)), 2u);

    // Columns: the control shows the component's texts.
    ui::TListItem* kana = ItemEndingWith("ソース.txt");
    ui::TListItem* korean = ItemEndingWith("한글.txt");
    ASSERT_TRUE(kana && korean);
    EXPECT_EQ(kana->ColumnText(1), "       1KB");
    EXPECT_EQ(korean->ColumnText(1), "       2KB");
    EXPECT_FALSE(kana->ColumnText(2).empty()) << "a type name";
    EXPECT_TRUE(std::regex_match(kana->ColumnText(3), std::regex(R"(\d\d/\d\d/\d\d \d\d:\d\d)"))) << kana->ColumnText(3);
    for (size_t row = 0; row < 2; ++row)
        for (int column = 0; column < 4; ++column)
            EXPECT_EQ(Shown(row, column), list->Item(row)->ColumnText(static_cast<size_t>(column)));

    // Sorting by size: descending, then ascending, as the control shows it.
    ClickColumn(1);
    EXPECT_EQ(list->Item(0), korean);
    EXPECT_EQ(Shown(0, 1), "       2KB");
    ClickColumn(1);
    EXPECT_EQ(list->Item(0), kana);
    EXPECT_EQ(Shown(0, 1), "       1KB");

    // Renames with F2: Enter renames, Esc keeps, a separator is refused.
    auto rename = [&](ui::TListItem* item, const std::string& text, WPARAM key) {
        ClickItem(item);
        PostMessageW(listWindow, WM_KEYDOWN, VK_F2, 0);
        PumpViews();
        PostLabel(listDisplay->EditWindow(), text, key);
    };
    rename(kana, "名前.txt", VK_RETURN);
    EXPECT_TRUE(files.Query(platform::JoinPath(folder, "名前.txt")).exists);
    EXPECT_FALSE(files.Query(platform::JoinPath(folder, "ソース.txt")).exists);
    ui::TListItem* renamed = ItemEndingWith("名前.txt");
    ASSERT_NE(renamed, nullptr);
    rename(renamed, "escaped.txt", VK_ESCAPE);
    rename(renamed, "a\\b.txt", VK_RETURN);
    EXPECT_TRUE(files.Query(platform::JoinPath(folder, "名前.txt")).exists);
    EXPECT_EQ(list->ItemPath(renamed), platform::JoinPath(folder, "名前.txt"));

    // Deletion: the shell asks; いいえ keeps the file, はい sends it away.
    const DWORD thread = GetCurrentThreadId();
    ClickItem(renamed);
    {
        BoxWatcher watcher(thread, "ファイルの削除の確認", IDNO);
        list->DeleteSelected();
        EXPECT_TRUE(watcher.Pressed());
        EXPECT_FALSE(watcher.TimedOut());
    }
    EXPECT_TRUE(files.Query(platform::JoinPath(folder, "名前.txt")).exists);
    EXPECT_EQ(list->Count(), 2u);
    ClickItem(ItemEndingWith("名前.txt"));
    {
        BoxWatcher watcher(thread, "ファイルの削除の確認", IDYES);
        list->DeleteSelected();
        EXPECT_TRUE(watcher.Pressed());
        EXPECT_FALSE(watcher.TimedOut());
    }
    PumpViews();
    EXPECT_FALSE(files.Query(platform::JoinPath(folder, "名前.txt")).exists);
    EXPECT_EQ(list->Count(), 1u);
    EXPECT_EQ(static_cast<size_t>(ListView_GetItemCount(listWindow)), 1u);
    EXPECT_TRUE(messages.Beeps().empty());

    // The combo beside the tree: the folder's entry is shown, indented below
    // its drive; dropped down for a look.
    ASSERT_GE(combo->ItemIndex(), 0);
    EXPECT_EQ(combo->EntryName(static_cast<size_t>(combo->ItemIndex())), "表ソ");
    EXPECT_GT(combo->DataAt(static_cast<size_t>(combo->ItemIndex()))->level, 2);
    // A second click on the selected item may have opened its label editor,
    // which would take the focus and close the dropped list.
    list->EndEditLabel(true);
    ListView_CancelEditLabel(listWindow);
    SetFocus(comboDisplay->Handle());
    PumpViews();
    combo->SetDroppedDown(true);
    PumpViews();
    EXPECT_TRUE(combo->DroppedDown());
    if (const char* hold = std::getenv("KP_VIEWS_HOLD_MS")) {
        const DWORD end = GetTickCount() + static_cast<DWORD>(std::atoi(hold));
        while (GetTickCount() < end) PumpViews();
    }
    combo->SetDroppedDown(false);
    PumpViews();
}

}  // namespace
}  // namespace kp::test
