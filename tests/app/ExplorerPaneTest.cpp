// The explorer pane in the main window over the simulated shell and view
// displays: its arrangements, Explore and Refresh, the status panels, the
// Delete key, opening a file by double-click (both branches), and what a run
// leaves in the store. Every identifier list is freed after each test.

#include "tests/app/MainFormFixture.h"

#include "platform/shell/SimShellNamespace.h"
#include "ui/sim/SimListView.h"
#include "ui/sim/SimTreeView.h"

namespace kp::app {
namespace {

using ui::TAlign;
using ui::TRect;

constexpr const char* kFolder = "C:\\表ソ";
constexpr const char* kHint = "右ｸﾘｯｸでｴｸｽﾌﾟﾛｰﾗｺﾝﾃｷｽﾄﾒﾆｭｰ表示";
constexpr TRect kClient{0, 0, 700, 400};

class ExplorerPaneTest : public MainFormFixture {
protected:
    ExplorerPaneTest()
    {
        services.shell = &sim;
        files.CreateFolder(kFolder);
        files.CreateFolder(std::string(kFolder) + "\\a.b");
        File(std::string(kFolder) + "\\ソース.txt", "source\r\n\x83\x5c\r\n");
        File(std::string(kFolder) + "\\한글.txt", "hangul");
        File(std::string(kFolder) + "\\memo", "no dot");
        File("C:\\docs\\doc.txt", "old");
    }
    ~ExplorerPaneTest() override
    {
        Stop();
        EXPECT_EQ(platform::IdList::Live(), liveBefore_);
        EXPECT_EQ(sim.SimAllocator().Outstanding(), 0u);
    }

    // Starts the window with the views on their displays, laid out in kClient.
    TEditForm& Run(std::vector<std::string> arguments = {})
    {
        Stop();
        form = std::make_unique<TEditForm>(services, host);
        form->ClientArea.Arrange(kClient);
        tree = std::make_unique<ui::SimTreeView>(form->FolderTreeViewEx1);
        list = std::make_unique<ui::SimListView>(form->ShellListBox1);
        form->FormCreate(arguments);
        form->FormShow();
        return *form;
    }
    void Stop()
    {
        tree.reset();
        list.reset();
        form.reset();
    }
    // The tree goes to the folder as the user would leave it there.
    void Browse(const std::string& path)
    {
        form->FolderTreeViewEx1.SetSelectedPath(path);
        ASSERT_EQ(form->FolderTreeViewEx1.SelectedPath(), path);
    }
    ui::TListItem* Item(const std::string& caption)
    {
        for (size_t i = 0; i < form->ShellListBox1.Count(); ++i)
            if (form->ShellListBox1.Item(i)->Caption() == caption) return form->ShellListBox1.Item(i);
        ADD_FAILURE() << "no item " << caption;
        return nullptr;
    }
    std::string Listed()
    {
        std::string path;
        sim.GetPathFromIDList(form->ShellListBox1.FolderList(), path);
        return path;
    }
    std::string Panel(size_t index) const { return form->StatusBar1.Text(index); }

    long liveBefore_ = platform::IdList::Live();
    platform::SimShellNamespace sim{files, test::TestCodec()};
    std::unique_ptr<ui::SimTreeView> tree;
    std::unique_ptr<ui::SimListView> list;
};

TEST_F(ExplorerPaneTest, AFreshStoreShowsThePaneAsDesigned)
{
    TEditForm& f = Run();
    EXPECT_TRUE(f.Panel1->Visible());
    EXPECT_TRUE(f.FolderTreeViewEx1.Visible());
    EXPECT_TRUE(f.MenuItem("Explore")->Checked());
    EXPECT_EQ(f.ShellListBox1.ViewStyle(), ui::TViewStyle::vsIcon);
    // The tree at the desktop, which the list shows.
    ASSERT_NE(f.FolderTreeViewEx1.Selected(), nullptr);
    EXPECT_EQ(f.FolderTreeViewEx1.Selected()->Level(), 0);
    EXPECT_EQ(f.FolderTreeViewEx1.FileView(), &f.ShellListBox1);
    EXPECT_NE(Item("マイ コンピューター"), nullptr);
    // The designed links and options.
    EXPECT_EQ(f.FolderTreeViewEx1.ContextMenu(), &f.ContextMenuEx1);
    EXPECT_EQ(f.ShellListBox1.ContextMenu(), &f.ContextMenuEx1);
    EXPECT_EQ(f.FolderTreeViewEx1.DropSource(), nullptr);
    EXPECT_EQ(f.ShellListBox1.DropSource(), nullptr);
    EXPECT_FALSE(f.FolderTreeViewEx1.ShowRoot());
    EXPECT_TRUE(f.FolderTreeViewEx1.RightClickSelect());
    EXPECT_EQ(f.FolderTreeViewEx1.Indent(), 19);
    EXPECT_FALSE(f.ShellListBox1.FileExecute());
    EXPECT_FALSE(f.ShellListBox1.MultiSelect());
    EXPECT_EQ(f.Splitter2->MinSize(), 4);
    EXPECT_EQ(f.Splitter3->MinSize(), 4);
    // Left of the memo, 120 wide, the tree above the list (240 high).
    EXPECT_EQ(f.Panel1->Bounds(), (TRect{0, 0, 120, 400}));
    EXPECT_EQ(f.Splitter2->Bounds(), (TRect{120, 0, 123, 400}));
    EXPECT_EQ(f.MemoControl->Bounds(), (TRect{123, 0, 700, 400}));
    EXPECT_EQ(f.FolderTreeViewEx1.Bounds(), (TRect{0, 0, 120, 157}));
    EXPECT_EQ(f.Splitter3->Bounds(), (TRect{0, 157, 120, 160}));
    EXPECT_EQ(f.ShellListBox1.Bounds(), (TRect{0, 160, 120, 400}));
}

// Each stored arrangement at start, and the settings dialog's call after it:
// the pane's side and the list's side (a splitter's cursor follows its side).
TEST_F(ExplorerPaneTest, EachPanelStyleDocksThePane)
{
    const struct {
        const char* style;
        TAlign pane, list;
        TRect panel, memo, tree, listBounds;
    } cases[] = {
        {"0", TAlign::Left, TAlign::Bottom, {0, 0, 120, 400}, {123, 0, 700, 400}, {0, 0, 120, 157}, {0, 160, 120, 400}},
        {"1", TAlign::Right, TAlign::Bottom, {580, 0, 700, 400}, {0, 0, 577, 400}, {0, 0, 120, 157}, {0, 160, 120, 400}},
        {"2", TAlign::Top, TAlign::Right, {0, 0, 700, 80}, {0, 83, 700, 400}, {0, 0, 537, 80}, {540, 0, 700, 80}},
        {"3", TAlign::Bottom, TAlign::Right, {0, 320, 700, 400}, {0, 0, 700, 317}, {0, 0, 537, 80}, {540, 0, 700, 80}},
        // Out of range: the designed left arrangement stays.
        {"4", TAlign::Left, TAlign::Bottom, {0, 0, 120, 400}, {123, 0, 700, 400}, {0, 0, 120, 157}, {0, 160, 120, 400}},
        {"-1", TAlign::Left, TAlign::Bottom, {0, 0, 120, 400}, {123, 0, 700, 400}, {0, 0, 120, 157}, {0, 160, 120, 400}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        Stored("Visual", "PanelStyle", c.style);
        TEditForm& f = Run();
        EXPECT_EQ(f.Panel1->Align(), c.pane);
        EXPECT_EQ(f.Splitter2->Align(), c.pane);
        EXPECT_EQ(f.ShellListBox1.Align(), c.list);
        EXPECT_EQ(f.Splitter3->Align(), c.list);
        EXPECT_EQ(f.Panel1->Bounds(), c.panel);
        EXPECT_EQ(f.MemoControl->Bounds(), c.memo);
        EXPECT_EQ(f.FolderTreeViewEx1.Bounds(), c.tree);
        EXPECT_EQ(f.ShellListBox1.Bounds(), c.listBounds);
        // A value out of range later leaves the arrangement as it is.
        f.SetExplorerLayout(7);
        EXPECT_EQ(f.Panel1->Align(), c.pane);
        EXPECT_EQ(f.ShellListBox1.Align(), c.list);
    }
    // Turned while shown (the settings dialog's OK), the pane and the list
    // keep their thickness, and the splitters theirs.
    Stored("Visual", "PanelStyle", "0");
    TEditForm& f = Run();
    f.SetExplorerLayout(2);
    EXPECT_EQ(f.Panel1->Bounds(), (TRect{0, 0, 700, 120}));
    EXPECT_EQ(f.MemoControl->Bounds(), (TRect{0, 123, 700, 400}));
    EXPECT_EQ(f.ShellListBox1.Bounds(), (TRect{460, 0, 700, 120}));
    EXPECT_EQ(f.FolderTreeViewEx1.Bounds(), (TRect{0, 0, 457, 120}));
}

TEST_F(ExplorerPaneTest, ExploreHidesAndShowsThePaneAndARestartShowsItAgain)
{
    Stored("Setup", "VisualSave", "1");
    TEditForm& f = Run();
    ui::TMenuItem* explore = f.MenuItem("Explore");
    explore->Click();
    EXPECT_FALSE(explore->Checked());
    EXPECT_FALSE(f.Panel1->Visible());
    EXPECT_FALSE(f.Splitter2->Visible());
    EXPECT_EQ(f.MemoControl->Bounds(), kClient);
    explore->Click();
    EXPECT_TRUE(explore->Checked());
    EXPECT_EQ(f.Panel1->Bounds(), (TRect{0, 0, 120, 400}));
    EXPECT_EQ(f.MemoControl->Bounds(), (TRect{123, 0, 700, 400}));
    explore->Click();
    EXPECT_TRUE(Close());
    EXPECT_EQ(Read("Visual", "Explore"), "1");  // the tree's own visibility
    Run();
    EXPECT_TRUE(form->Panel1->Visible());
    EXPECT_TRUE(form->MenuItem("Explore")->Checked());
}

// A stored false hides the pane as the command does; the command brings
// back the whole pane, and only then does the next run show it.
TEST_F(ExplorerPaneTest, AStoredFalseExploreStartsHiddenAndTheCommandBringsThePaneBack)
{
    Stored("Setup", "VisualSave", "1");
    Stored("Visual", "Explore", "0");
    TEditForm& f = Run();
    EXPECT_FALSE(f.MenuItem("Explore")->Checked());
    EXPECT_FALSE(f.Panel1->Visible());
    EXPECT_FALSE(f.Splitter2->Visible());
    EXPECT_EQ(f.MemoControl->Bounds(), kClient);
    EXPECT_TRUE(Close());
    EXPECT_EQ(Read("Visual", "Explore"), "0");

    TEditForm& g = Run();
    g.MenuItem("Explore")->Click();
    EXPECT_TRUE(g.MenuItem("Explore")->Checked());
    for (const ui::TControl* control : {g.Panel1, g.Splitter2, g.Splitter3, g.FolderTreeViewEx1.Control,
                                        g.ShellListBox1.Control})
        EXPECT_TRUE(control->Visible()) << control->Name();
    EXPECT_EQ(g.ShellListBox1.Bounds(), (TRect{0, 160, 120, 400}));
    EXPECT_TRUE(Close());
    EXPECT_EQ(Read("Visual", "Explore"), "1");
}

enum class Answer { None, Yes, No, Cancel };

// Double-clicking an item of the list with the document unmodified or
// modified; "C:\docs\doc.txt" ("old") is open with its backup copy beside it.
struct OpenCase {
    const char* name;
    const char* item;
    bool modified;
    Answer answer;
    const char* saveAs;  // the save dialog's file; "" cancels it
    bool failingSave;
    // What follows.
    bool loaded;
    bool asked;
    bool errorShown;
    const char* listed;  // the folder the list shows afterwards
};

class ExplorerOpenTest : public ExplorerPaneTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(ExplorerOpenTest, OpenFromTheList)
{
    const OpenCase& c = GetParam();
    const std::string folder = kFolder;
    const std::string target = folder + "\\" + c.item;
    File("C:\\docs\\bcp_doc.txt", "old");
    TEditForm& f = Run({"C:\\docs\\doc.txt"});
    Browse(folder);
    if (c.modified) Type("new");
    const std::string before = f.Memo.Text();
    switch (c.answer) {
    case Answer::Yes: messages.Answer(ui::mrYes); break;
    case Answer::No: messages.Answer(ui::mrNo); break;
    case Answer::Cancel: messages.Answer(ui::mrCancel); break;
    case Answer::None: break;
    }
    if (c.answer == Answer::Yes) {
        if (*c.saveAs) dialogs.AnswerFile(c.saveAs);
        else dialogs.AnswerCancel();
    }
    if (c.failingSave) files.FailCreateTemp(true);
    ui::TListItem* item = Item(c.item);
    ASSERT_NE(item, nullptr);
    list->MouseMove(1, 1);
    list->DoubleClick(*item);
    files.FailCreateTemp(false);

    size_t questions = 0, errors = 0;
    for (const ui::ShownMessage& shown : messages.Shown()) {
        if (shown.kind == ui::DialogKind::Confirmation) ++questions;
        if (shown.kind == ui::DialogKind::Error) ++errors;
    }
    EXPECT_EQ(questions, c.asked ? 1u : 0u);
    EXPECT_EQ(errors, c.errorShown ? 1u : 0u);
    EXPECT_EQ(dialogs.PendingScripts(), 0u);
    EXPECT_EQ(Listed(), c.listed);
    if (c.loaded) {
        EXPECT_EQ(f.Memo.Text(), Contents(target));
        EXPECT_EQ(f.CurrentFile, target);
        EXPECT_EQ(host.Caption(), "[" + std::string(c.item) + "] - Kestrelpad");
        EXPECT_EQ(Panel(2), folder + "\\");
        EXPECT_FALSE(f.Memo.Modified());
        EXPECT_TRUE(f.MenuItem("Save")->Enabled());
        EXPECT_EQ(f.ToolBar1.Find("Save")->imageIndex, 3);
        EXPECT_EQ(History().front(), target);
        EXPECT_FALSE(Exists("C:\\docs\\bcp_doc.txt"));  // the previous document's copy
    } else {
        EXPECT_EQ(f.Memo.Text(), before);
        EXPECT_EQ(f.CurrentFile, "C:\\docs\\doc.txt");
        EXPECT_EQ(host.Caption(), "[doc.txt] - Kestrelpad");
        EXPECT_EQ(f.Memo.Modified(), c.modified);
        EXPECT_TRUE(Exists("C:\\docs\\bcp_doc.txt"));
        // Refused at the question or the save: nothing at all happens.
        // Otherwise panel 2 shows the open document again.
        const bool untouched = c.answer != Answer::None;
        EXPECT_EQ(Panel(2), untouched ? kHint : "C:\\docs\\doc.txt");
    }
    // Only Yes with a confirmed, working save writes the text elsewhere.
    const bool saved = c.answer == Answer::Yes && *c.saveAs && !c.failingSave;
    if (*c.saveAs) {
        EXPECT_EQ(Contents(c.saveAs), saved ? before : "(missing)");
    }
    if (saved) {
        EXPECT_EQ(History()[1], c.saveAs);
    }
    EXPECT_EQ(Contents("C:\\docs\\doc.txt"), "old");
}

const std::string kAB = std::string(kFolder) + "\\a.b";

INSTANTIATE_TEST_SUITE_P(
    Cases, ExplorerOpenTest,
    ::testing::Values(
        OpenCase{"Unmodified", "ソース.txt", false, Answer::None, "", false, true, false, false, kFolder},
        OpenCase{"UnmodifiedHangul", "한글.txt", false, Answer::None, "", false, true, false, false, kFolder},
        OpenCase{"UnmodifiedFolder", "a.b", false, Answer::None, "", false, false, false, false, kAB.c_str()},
        OpenCase{"Yes", "ソース.txt", true, Answer::Yes, "C:\\docs\\saved.txt", false, true, true, false, kFolder},
        OpenCase{"No", "ソース.txt", true, Answer::No, "", false, true, true, false, kFolder},
        OpenCase{"Cancel", "ソース.txt", true, Answer::Cancel, "", false, false, true, false, kFolder},
        OpenCase{"SaveDialogCancelled", "ソース.txt", true, Answer::Yes, "", false, false, true, false, kFolder},
        OpenCase{"FailingSave", "ソース.txt", true, Answer::Yes, "C:\\docs\\saved.txt", true, false, true, true,
                 kFolder},
        OpenCase{"NameWithoutDot", "memo", true, Answer::None, "", false, false, false, false, kFolder},
        OpenCase{"DottedFolder", "a.b", true, Answer::None, "", false, false, false, false, kAB.c_str()}),
    [](const ::testing::TestParamInfo<OpenCase>& info) { return std::string(info.param.name); });

// A file that went away after the list was filled: nothing is reported, the
// document and its copy stay, panel 2 shows the open document.
TEST_F(ExplorerPaneTest, AFailedLoadKeepsTheDocumentAndItsCopy)
{
    File("C:\\docs\\bcp_doc.txt", "old");
    Stored("File", "Backup", "1");
    TEditForm& f = Run({"C:\\docs\\doc.txt"});
    Browse(kFolder);
    ASSERT_EQ(files.Delete(std::string(kFolder) + "\\ソース.txt"), platform::FileStatus::Ok);
    list->DoubleClick(*Item("ソース.txt"));
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_EQ(f.Memo.Text(), "old");
    EXPECT_EQ(f.CurrentFile, "C:\\docs\\doc.txt");
    EXPECT_EQ(Panel(2), "C:\\docs\\doc.txt");
    EXPECT_TRUE(Exists("C:\\docs\\bcp_doc.txt"));

    // The next file opens, and the backup follows it.
    list->DoubleClick(*Item("한글.txt"));
    EXPECT_FALSE(Exists("C:\\docs\\bcp_doc.txt"));
    Type("!");
    f.Timer1.OnTimer();
    EXPECT_EQ(Contents(std::string(kFolder) + "\\bcp_한글.txt"), "!hangul");
}

TEST_F(ExplorerPaneTest, RefreshKeepsTheFolderOrFallsBackToTheDesktop)
{
    TEditForm& f = Run();
    files.CreateFolder(std::string(kFolder) + "\\gone");
    Browse(kFolder);
    File(std::string(kFolder) + "\\later.txt", "");
    f.MenuItem("Refresh")->Click();
    EXPECT_EQ(f.FolderTreeViewEx1.SelectedPath(), kFolder);
    EXPECT_NE(Item("later.txt"), nullptr);
    EXPECT_NE(Item("gone"), nullptr);

    Browse(std::string(kFolder) + "\\gone");
    ASSERT_EQ(files.RemoveFolder(std::string(kFolder) + "\\gone"), platform::FileStatus::Ok);
    f.MenuItem("Refresh")->Click();
    ASSERT_NE(f.FolderTreeViewEx1.Selected(), nullptr);
    EXPECT_EQ(f.FolderTreeViewEx1.Selected()->Level(), 0);
    EXPECT_NE(Item("マイ コンピューター"), nullptr);
}

// A folder made outside appears in the tree after Save As, which keeps the
// tree's folder; so does the save before Open.
TEST_F(ExplorerPaneTest, SavingUnderANewNameReadsTheTreeAgain)
{
    TEditForm& f = Run();
    Browse("C:\\docs");
    const auto children = [&] {
        std::vector<std::string> texts;
        ui::TTreeNode* node = f.FolderTreeViewEx1.Selected();
        f.FolderTreeViewEx1.Expand(*node);
        for (size_t i = 0; i < node->Count(); ++i) texts.push_back(node->Item(i)->Text());
        return texts;
    };
    files.CreateFolder("C:\\docs\\new");
    EXPECT_TRUE(children().empty());
    Type("x");
    dialogs.AnswerFile("C:\\docs\\new\\x.txt");
    f.MenuItem("SaveAs")->Click();
    EXPECT_EQ(f.FolderTreeViewEx1.SelectedPath(), "C:\\docs");
    EXPECT_EQ(children(), std::vector<std::string>{"new"});

    files.CreateFolder("C:\\docs\\newer");
    Type("y");
    messages.Answer(ui::mrYes);
    dialogs.AnswerFile("C:\\docs\\new\\y.txt");
    dialogs.AnswerCancel();
    f.MenuItem("Open")->Click();
    EXPECT_EQ(Contents("C:\\docs\\new\\y.txt"), "xy");
    EXPECT_EQ(children(), (std::vector<std::string>{"new", "newer"}));
}

TEST_F(ExplorerPaneTest, TheStatusPanelsFollowThePane)
{
    TEditForm& f = Run({"C:\\docs\\doc.txt"});
    EXPECT_EQ(Panel(2), "C:\\docs\\doc.txt");
    tree->MouseMove(5, 5);
    EXPECT_EQ(Panel(2), kHint);
    f.StatusBar1.SetText(2, "");
    list->MouseMove(5, 5);
    EXPECT_EQ(Panel(2), kHint);

    Browse(kFolder);
    tree->Paint();
    EXPECT_EQ(Panel(3), kFolder);
    list->Click(*Item("memo"));
    EXPECT_EQ(Panel(3), std::string(kFolder) + "\\memo");
    f.ShellListBox1.UserSelection({});
    EXPECT_EQ(Panel(3), "");
    tree->Paint();
    EXPECT_EQ(Panel(3), kFolder);
}

// Delete alone sends the selected file to the recycle bin after the
// confirmation; with Shift, Ctrl, Alt or a mouse button held it does nothing.
TEST_F(ExplorerPaneTest, DeleteAloneRecyclesTheSelectedFile)
{
    TEditForm& f = Run({std::string(kFolder) + "\\memo"});
    Type("typed ");
    Browse(kFolder);
    const std::string memo = std::string(kFolder) + "\\memo";
    for (unsigned held : {0x10u, 0x11u, 0x12u, 0x01u, 0x02u, 0x04u}) {
        SCOPED_TRACE(held);
        keys.SetDown(held, true);
        list->Click(*Item("memo"));
        list->KeyDown(0x2E);
        keys.SetDown(held, false);
        EXPECT_EQ(sim.confirmations, 0);
        EXPECT_TRUE(Exists(memo));
    }
    list->KeyDown(0x74);  // F5
    EXPECT_EQ(sim.confirmations, 0);
    list->KeyDown(0x2E);
    EXPECT_EQ(sim.confirmations, 1);
    EXPECT_FALSE(Exists(memo));
    EXPECT_EQ(f.ShellListBox1.Count(), 3u);
    // The open document's file went; the memo keeps its text, still modified.
    EXPECT_EQ(f.Memo.Text(), "typed no dot");
    EXPECT_TRUE(f.Memo.Modified());
}

// Closing writes the pane's sizes, its visibility and the path panel 3
// holds; a file there names no folder, and the next start selects none.
TEST_F(ExplorerPaneTest, CloseWritesThePaneAndTheNextStartReadsIt)
{
    Stored("Setup", "FolderSave", "1");
    Stored("Setup", "VisualSave", "1");
    TEditForm& f = Run();
    f.Panel1->SetWidth(150);
    f.ShellListBox1.SetHeight(100);
    Browse(kFolder);
    tree->Paint();
    list->Click(*Item("ソース.txt"));
    EXPECT_TRUE(Close());
    EXPECT_EQ(Read("Visual", "PanelWidth"), "150");
    EXPECT_EQ(Read("Visual", "PanelHeight"), "400");
    EXPECT_EQ(Read("Visual", "TreeViewHeight"), "100");
    EXPECT_EQ(Read("Visual", "TreeViewWidth"), "150");
    EXPECT_EQ(Read("Visual", "Explore"), "1");
    EXPECT_EQ(Read("File", "Folder"), std::string(kFolder) + "\\ソース.txt");

    TEditForm& g = Run();
    EXPECT_EQ(g.FolderTreeViewEx1.Selected(), nullptr);
    EXPECT_EQ(g.Panel1->Bounds(), (TRect{0, 0, 150, 400}));
    EXPECT_EQ(g.ShellListBox1.Bounds(), (TRect{0, 300, 150, 400}));

    // A folder last: the next start goes there, and the list shows it.
    Browse(kFolder);
    tree->Paint();
    EXPECT_TRUE(Close());
    Run();
    EXPECT_EQ(form->FolderTreeViewEx1.SelectedPath(), kFolder);
    EXPECT_EQ(Listed(), kFolder);
}

// Stored values the shell cannot parse leave the tree at the desktop.
TEST_F(ExplorerPaneTest, AnUnparsableFolderLeavesTheTreeAtTheDesktop)
{
    for (const char* stored : {"", "::nonsense", "C:\\no\\such\\folder"}) {
        SCOPED_TRACE(stored);
        Stored("File", "Folder", stored);
        TEditForm& f = Run();
        ASSERT_NE(f.FolderTreeViewEx1.Selected(), nullptr);
        EXPECT_EQ(f.FolderTreeViewEx1.Selected()->Level(), 0);
    }
}

}  // namespace
}  // namespace kp::app
