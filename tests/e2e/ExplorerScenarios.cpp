// The explorer pane: opening files from the list by double-click (both
// branches), the Delete key with the shell's confirmation, renaming, the
// shell's menu, the folder remembered across a restart, and the four
// arrangements on screen.

#include "tests/e2e/ScenarioKit.h"

#include <algorithm>
#include <optional>
#include <string>

namespace kp::e2e {

namespace {

const std::string kSource = "source\r\n";
const std::wstring kDeleteQuestion = L"ファイルの削除の確認";

// "表ソ" in the driver's temporary folder, holding ソース.txt, 한글.txt, "memo"
// (no dot) and the folder "a.b"; the pane starts there, the list in details. Without a trailing
// backslash, as the tree names it.
std::wstring PlantPaneFolder()
{
    ForgetSettings();
    const std::wstring folder = TempFolder() + L"表ソ";
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"\\a.b").c_str(), nullptr);
    WriteBytes(folder + L"\\ソース.txt", kSource);
    WriteBytes(folder + L"\\한글.txt", "hangul");
    WriteBytes(folder + L"\\memo", "no dot");
    WriteString(kSettingsKey + L"\\File", L"Folder", folder);
    WriteString(kSettingsKey + L"\\Visual", L"FileListIcon", L"3");  // details: one row per item
    return folder;
}

struct Pane {
    HWND window;
    HWND memo;
    HWND tree;
    HWND list;
    HWND status;
};

Pane WaitForPane(const Editor& editor)
{
    Pane pane{};
    pane.window = editor.WaitForMainWindow();
    pane.memo = WaitForMemo(pane.window);
    pane.tree = FindDescendant(pane.window, L"SysTreeView32");
    pane.list = FindDescendant(pane.window, L"SysListView32");
    pane.status = StatusBarOf(pane.window);
    Expect(pane.tree && pane.list, "the main window holds no folder tree or file list");
    return pane;
}

// Waits for the list to show an item with this caption; its position.
int WaitForItem(const Editor& editor, HWND list, const std::wstring& caption)
{
    for (int attempt = 0; attempt < 60; ++attempt) {
        const std::vector<std::wstring> items = editor.ListItems(list);
        const auto found = std::find(items.begin(), items.end(), caption);
        if (found != items.end()) return static_cast<int>(found - items.begin());
        Sleep(50);
    }
    Fail("the file list shows no " + Quoted(caption));
}

void WaitForNoItem(const Editor& editor, HWND list, const std::wstring& caption)
{
    for (int attempt = 0; attempt < 60; ++attempt) {
        const std::vector<std::wstring> items = editor.ListItems(list);
        if (std::find(items.begin(), items.end(), caption) == items.end()) return;
        Sleep(50);
    }
    Fail("the file list still shows " + Quoted(caption));
}

void DoubleClickItem(const Editor& editor, const Pane& pane, const std::wstring& caption)
{
    DoubleClickAt(pane.window, editor.ListItemRect(pane.list, WaitForItem(editor, pane.list, caption)));
}

void ExpectCaptionSoon(HWND window, const std::wstring& caption)
{
    for (int attempt = 0; attempt < 60 && WindowText(window) != caption; ++attempt) Sleep(50);
    ExpectCaption(window, caption);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Unmodified, a double-click loads; modified, No loads and Cancel keeps the
// document; a name without a dot and a folder ask nothing.
void ExplorerOpensFilesByDoubleClick(Context& context)
{
    const std::wstring folder = PlantPaneFolder();
    Editor editor(context.exePath);
    const Pane pane = WaitForPane(editor);
    ExpectStatus(editor, pane.status, 3, folder);

    DoubleClickItem(editor, pane, L"ソース.txt");
    ExpectCaptionSoon(pane.window, L"[ソース.txt] - Kestrelpad");
    ExpectMemo(pane.memo, L"source\r\n", {0, 0});
    ExpectStatus(editor, pane.status, 2, folder + L"\\");

    TypeText(pane.window, L"x");
    DoubleClickItem(editor, pane, L"한글.txt");
    AnswerMessage(editor, kSaveQuestion, L"ｷｬﾝｾﾙ");
    ExpectCaption(pane.window, L"[ソース.txt] - Kestrelpad");
    DoubleClickItem(editor, pane, L"한글.txt");
    AnswerMessage(editor, kSaveQuestion, L"いいえ");
    ExpectCaptionSoon(pane.window, L"[한글.txt] - Kestrelpad");
    ExpectMemo(pane.memo, L"hangul", {0, 0});
    Expect(ReadBytes(folder + L"\\ソース.txt") == kSource, "ソース.txt changed without a save");

    TypeText(pane.window, L"y");
    DoubleClickItem(editor, pane, L"memo");
    ExpectNoDialog(editor, 700ms);
    ExpectStatus(editor, pane.status, 2, folder + L"\\한글.txt");
    DoubleClickItem(editor, pane, L"a.b");
    ExpectNoDialog(editor, 700ms);
    ExpectStatus(editor, pane.status, 2, folder + L"\\한글.txt");
    WaitForNoItem(editor, pane.list, L"memo");
    ExpectStatus(editor, pane.status, 3, folder + L"\\a.b");
    ExpectCaption(pane.window, L"[한글.txt] - Kestrelpad");
    CloseDiscardingChanges(editor, pane.window);
}

// Modified, Yes saves through the save dialog before the file opens.
void ExplorerSavesFirstWhenAskedTo(Context& context)
{
    const std::wstring folder = PlantPaneFolder();
    const std::wstring saved = TempFolder() + L"saved-first.txt";
    DeleteFileW(saved.c_str());
    Editor editor(context.exePath, {folder + L"\\한글.txt"});
    const Pane pane = WaitForPane(editor);
    ExpectMemo(pane.memo, L"hangul", {0, 0});
    TypeText(pane.window, L"z");
    DoubleClickItem(editor, pane, L"ソース.txt");
    AnswerMessage(editor, kSaveQuestion, L"はい");
    FillFileDialog(editor.WaitForDialog(), saved);
    ExpectCaptionSoon(pane.window, L"[ソース.txt] - Kestrelpad");
    ExpectMemo(pane.memo, L"source\r\n", {0, 0});
    ExpectFileBytes(saved, "zhangul");
    Expect(ReadBytes(folder + L"\\한글.txt") == std::string("hangul"), "한글.txt changed");
    editor.Close(pane.window);
    ExpectExitCode(editor, 0, 5s);
}

// Shift+Delete does nothing; F2, a new name and Enter rename the file, and a
// name another file holds is refused.
void ExplorerRenamesInTheList(Context& context)
{
    const std::wstring folder = PlantPaneFolder();
    Editor editor(context.exePath);
    const Pane pane = WaitForPane(editor);
    ClickAt(pane.window, editor.ListItemRect(pane.list, WaitForItem(editor, pane.list, L"memo")));
    ExpectStatus(editor, pane.status, 3, folder + L"\\memo");
    // Shift+Delete asks nothing and deletes nothing.
    PressKeys(pane.window, {VK_DELETE, WithShift});
    ExpectNoDialog(editor, 700ms);
    Expect(Exists(folder + L"\\memo"), "Shift+Delete deleted the file");

    // A name another file holds is refused: both files and both items stay.
    ClickAt(pane.window, editor.ListItemRect(pane.list, WaitForItem(editor, pane.list, L"한글.txt")));
    PressKeys(pane.window, {VK_F2});
    Sleep(300);
    TypeText(pane.window, L"ソース.txt");
    PressKeys(pane.window, {VK_RETURN});
    Sleep(500);
    const std::vector<std::wstring> items = editor.ListItems(pane.list);
    Expect(std::count(items.begin(), items.end(), L"ソース.txt") == 1 &&
               std::count(items.begin(), items.end(), L"한글.txt") == 1,
           "the list does not show each file once after a refused rename");
    Expect(ReadBytes(folder + L"\\ソース.txt") == kSource &&
               ReadBytes(folder + L"\\한글.txt") == std::string("hangul"),
           "a rename onto an existing name changed the files");

    ClickAt(pane.window, editor.ListItemRect(pane.list, WaitForItem(editor, pane.list, L"한글.txt")));
    PressKeys(pane.window, {VK_F2});
    Sleep(300);
    TypeText(pane.window, L"改名.txt");
    PressKeys(pane.window, {VK_RETURN});
    WaitForItem(editor, pane.list, L"改名.txt");
    WaitForNoItem(editor, pane.list, L"한글.txt");
    Expect(ReadBytes(folder + L"\\改名.txt") == std::string("hangul") && !Exists(folder + L"\\한글.txt"),
           "the rename did not move the file");
    editor.Close(pane.window);
    ExpectExitCode(editor, 0, 5s);
}

// A right click shows the shell's menu over the list; Esc closes it.
void ExplorerShowsTheShellMenu(Context& context)
{
    PlantPaneFolder();
    Editor editor(context.exePath);
    const Pane pane = WaitForPane(editor);
    RightClickAt(pane.window, editor.ListItemRect(pane.list, WaitForItem(editor, pane.list, L"ソース.txt")));
    HWND menu = nullptr;
    for (int attempt = 0; attempt < 60 && !menu; ++attempt) {
        for (HWND top : TopLevelWindows(editor.ProcessId()))
            if (ClassName(top) == L"#32768" && IsWindowVisible(top)) menu = top;
        if (!menu) Sleep(50);
    }
    Expect(menu != nullptr, "no menu appeared");
    ExpectStatus(editor, pane.status, 3, TempFolder() + L"表ソ\\ソース.txt");
    Snapshot(context, "explorer-menu");
    PressKeys(pane.window, {VK_ESCAPE});
    Expect(WaitForWindowGone(menu) || !IsWindowVisible(menu), "Esc left the menu open");
    editor.Close(pane.window);
    ExpectExitCode(editor, 0, 5s);
}

// With FolderSave on, the folder whose node was clicked last in the tree is
// where the next start goes.
void ExplorerRemembersTheFolderAcrossARestart(Context& context)
{
    const std::wstring folder = PlantPaneFolder();
    WriteString(kSettingsKey + L"\\Setup", L"FolderSave", L"1");
    const std::wstring parent = folder.substr(0, folder.rfind(L'\\'));
    {
        Editor editor(context.exePath);
        const Pane pane = WaitForPane(editor);
        ExpectStatus(editor, pane.status, 3, folder);
        Expect(editor.SelectedTreeNodeShown(pane.tree), "the tree starts with its selected node out of view");
        const std::vector<Editor::TreeNode> nodes = editor.TreeNodes(pane.tree);
        const std::wstring parentName = parent.substr(parent.rfind(L'\\') + 1);
        const auto node = std::find_if(nodes.begin(), nodes.end(),
                                       [&](const Editor::TreeNode& n) { return n.text == parentName; });
        Expect(node != nodes.end(), "the tree shows no node " + Quoted(parentName));
        ClickAt(pane.window, editor.TreeItemRect(pane.tree, node->item));
        ExpectStatus(editor, pane.status, 3, parent);
        editor.Close(pane.window);
        ExpectExitCode(editor, 0, 5s);
    }
    Expect(ReadString(kSettingsKey + L"\\File", L"Folder") == parent, "File/Folder is not the clicked folder");
    Editor editor(context.exePath);
    const Pane pane = WaitForPane(editor);
    ExpectStatus(editor, pane.status, 3, parent);
    Expect(editor.SelectedTreeNodeShown(pane.tree), "the tree starts with its selected node out of view");
    WaitForItem(editor, pane.list, L"表ソ");
    editor.Close(pane.window);
    ExpectExitCode(editor, 0, 5s);
}

// Each stored arrangement on screen (with --shots, a picture of each).
void ExplorerDocksOnFourSides(Context& context)
{
    for (int style = 0; style < 4; ++style) {
        PlantPaneFolder();
        WriteString(kSettingsKey + L"\\Visual", L"PanelStyle", std::to_wstring(style));
        Editor editor(context.exePath);
        const Pane pane = WaitForPane(editor);
        WaitForItem(editor, pane.list, L"ソース.txt");
        RECT tree{}, list{}, memo{};
        GetWindowRect(pane.tree, &tree);
        GetWindowRect(pane.list, &list);
        GetWindowRect(pane.memo, &memo);
        const std::string which = "style " + std::to_string(style) + ": ";
        switch (style) {
        case 0: Expect(tree.right <= memo.left && list.top >= tree.bottom, which + "not left, tree above list"); break;
        case 1: Expect(tree.left >= memo.right && list.top >= tree.bottom, which + "not right, tree above list"); break;
        case 2: Expect(tree.bottom <= memo.top && list.left >= tree.right, which + "not top, tree left of list"); break;
        case 3: Expect(tree.top >= memo.bottom && list.left >= tree.right, which + "not bottom, tree left of list"); break;
        }
        Snapshot(context, "explorer-style-" + std::to_string(style));
        editor.Close(pane.window);
        ExpectExitCode(editor, 0, 5s);
    }
}

// Delete asks through the shell's box: いいえ keeps the file and its item,
// はい takes the file out of its folder and the list. Each answer in its own
// run, the item selected by a click.
void ExplorerDeletesAfterTheShellAsks(Context& context)
{
    const std::wstring folder = PlantPaneFolder();
    for (const wchar_t* answer : {L"いいえ", L"はい"}) {
        Editor editor(context.exePath);
        const Pane pane = WaitForPane(editor);
        ClickAt(pane.window, editor.ListItemRect(pane.list, WaitForItem(editor, pane.list, L"memo")));
        ExpectStatus(editor, pane.status, 3, folder + L"\\memo");
        PressKeys(pane.window, {VK_DELETE});
        HWND box = editor.WaitForDialog(kDeleteQuestion);
        ClickButton(box, answer);
        Expect(WaitForWindowGone(box), Utf8(answer) + " left the box open");
        if (std::wstring(answer) == L"はい") {
            WaitForNoItem(editor, pane.list, L"memo");
            Expect(!Exists(folder + L"\\memo"), "はい left the file in its folder");
        } else {
            Sleep(300);
            WaitForItem(editor, pane.list, L"memo");
            Expect(ReadBytes(folder + L"\\memo") == std::string("no dot"), "いいえ deleted the file");
            ClickAt(pane.window, editor.ListItemRect(pane.list, WaitForItem(editor, pane.list, L"ソース.txt")));
            ExpectStatus(editor, pane.status, 3, folder + L"\\ソース.txt");
        }
        WaitForItem(editor, pane.list, L"ソース.txt");
        editor.Close(pane.window);
        ExpectExitCode(editor, 0, 5s);
    }
}

}  // namespace

const std::vector<Scenario>& ExplorerScenarios()
{
    static const std::vector<Scenario> scenarios = {
        {"ExplorerOpensFilesByDoubleClick", ExplorerOpensFilesByDoubleClick},
        {"ExplorerSavesFirstWhenAskedTo", ExplorerSavesFirstWhenAskedTo},
        {"ExplorerDeletesAfterTheShellAsks", ExplorerDeletesAfterTheShellAsks},
        {"ExplorerRenamesInTheList", ExplorerRenamesInTheList},
        {"ExplorerShowsTheShellMenu", ExplorerShowsTheShellMenu},
        {"ExplorerRemembersTheFolderAcrossARestart", ExplorerRemembersTheFolderAcrossARestart},
        {"ExplorerDocksOnFourSides", ExplorerDocksOnFourSides},
    };
    return scenarios;
}

}  // namespace kp::e2e
