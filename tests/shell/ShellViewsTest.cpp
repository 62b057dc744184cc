// The folder tree, file list and folder combo over the simulated shell and
// the simulated view displays: whole browsing stories (rebuild, expansion,
// paths, renames, columns, sorting, deletion, the combo's entries), the
// failures that leave everything as it was, and every identifier list freed
// at the end of each test.

#include "shell/ComboView.h"
#include "shell/DRPCOMEX.h"
#include "shell/FileView.h"
#include "shell/FolderView.h"
#include "shell/ShellItems.h"

#include "base/Utf.h"
#include "platform/clock/SimClock.h"
#include "platform/locale/SimDateTimeLocale.h"
#include "platform/locale/SimLocaleCompare.h"
#include "platform/shell/SimShellNamespace.h"
#include "tests/TestPlatform.h"
#include "ui/sim/SimComboBox.h"
#include "ui/sim/SimListView.h"
#include "ui/sim/SimMessageDialogs.h"
#include "ui/sim/SimPosting.h"
#include "ui/sim/SimTreeView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>

namespace kp::shell {
namespace {

using platform::FileStatus;
using platform::IdList;
using platform::IdView;
using ui::TListItem;
using ui::TTreeNode;

constexpr uint64_t kPerSecond = 10000000;
constexpr uint64_t k1970 = 116444736000000000ull;

uint64_t FileTimeUtc(int year, int month, int day, int hour, int minute, int second)
{
    const long long seconds =
        ((platform::DaysFromCivil(year, month, day) * 24 + hour) * 60 + minute) * 60LL + second;
    return k1970 + static_cast<uint64_t>(seconds) * kPerSecond;
}

// A folder of the simulated shell whose has-subfolder question (the tree's,
// never the list's) throws on demand; folders bound from it do the same.
class FaultyFolder final : public platform::ShellFolder {
public:
    FaultyFolder(platform::ShellFolder& inner, const bool& throwOnSubfolders)
        : inner_(inner), throwOnSubfolders_(throwOnSubfolders) {}
    FaultyFolder(std::unique_ptr<platform::ShellFolder> owned, const bool& throwOnSubfolders)
        : owned_(std::move(owned)), inner_(*owned_), throwOnSubfolders_(throwOnSubfolders) {}

    platform::ShellFolder& Inner() { return inner_; }

    platform::ShellResult ParseDisplayName(std::string_view name, IdList& out) override
    {
        return inner_.ParseDisplayName(name, out);
    }
    platform::ShellResult EnumObjects(uint32_t flags, std::unique_ptr<platform::ShellEnum>& out) override
    {
        return inner_.EnumObjects(flags, out);
    }
    platform::ShellResult BindToObject(IdView list, std::unique_ptr<platform::ShellFolder>& out) override
    {
        std::unique_ptr<platform::ShellFolder> bound;
        const platform::ShellResult result = inner_.BindToObject(list, bound);
        if (bound) out = std::make_unique<FaultyFolder>(std::move(bound), throwOnSubfolders_);
        return result;
    }
    platform::ShellResult CompareIDs(uint32_t column, IdView a, IdView b) override
    {
        return inner_.CompareIDs(column, a, b);
    }
    platform::ShellResult GetAttributesOf(std::span<const IdView> children, uint32_t& inOut) override
    {
        if (throwOnSubfolders_ && (inOut & platform::attr::kHasSubfolder))
            throw std::runtime_error("attributes failed");
        return inner_.GetAttributesOf(children, inOut);
    }
    platform::ShellResult GetDisplayNameOf(IdView child, uint32_t form, platform::ShellName& out) override
    {
        return inner_.GetDisplayNameOf(child, form, out);
    }
    platform::ShellResult SetNameOf(platform::WindowRef owner, IdView child, std::string_view name, uint32_t form,
                                    IdList* newChild) override
    {
        return inner_.SetNameOf(owner, child, name, form, newChild);
    }
    bool HasShellIcon() override { return inner_.HasShellIcon(); }
    platform::ShellResult GetIconOf(IdView child, uint32_t flags, int& index) override
    {
        return inner_.GetIconOf(child, flags, index);
    }
    platform::ShellResult GetContextMenu(platform::WindowRef owner, std::span<const IdView> children,
                                         std::unique_ptr<platform::ShellContextMenu>& out) override
    {
        return inner_.GetContextMenu(owner, children, out);
    }
    platform::ShellResult GetDataObject(platform::WindowRef owner, std::span<const IdView> children,
                                        std::unique_ptr<platform::ShellDataObject>& out) override
    {
        return inner_.GetDataObject(owner, children, out);
    }

private:
    std::unique_ptr<platform::ShellFolder> owned_;
    platform::ShellFolder& inner_;
    const bool& throwOnSubfolders_;
};

// The simulated shell with faults on demand: a file-information query that
// throws, a has-subfolder question that throws, and find data reporting
// sizes no simulated file could hold.
class FaultyShell final : public platform::ShellNamespace {
public:
    explicit FaultyShell(platform::SimShellNamespace& inner) : inner_(inner) {}

    bool throwOnFileInfo = false;
    bool throwOnSubfolders = false;
    std::map<std::string, uint64_t> fakeSizes;  // by file name

    platform::ShellAllocator* Allocator() override { return inner_.Allocator(); }
    platform::ShellFolder* Desktop() override
    {
        if (!desktop_ && inner_.Desktop())
            desktop_ = std::make_unique<FaultyFolder>(*inner_.Desktop(), throwOnSubfolders);
        return desktop_.get();
    }
    platform::ShellResult SpecialFolderLocation(platform::WindowRef owner, int folder, IdList& out) override
    {
        return inner_.SpecialFolderLocation(owner, folder, out);
    }
    bool GetFileInfo(IdView absolute, uint32_t flags, platform::ShellFileInfo& out) override
    {
        if (throwOnFileInfo) throw std::runtime_error("file information failed");
        return inner_.GetFileInfo(absolute, flags, out);
    }
    bool GetFileInfoOfPath(std::string_view path, uint32_t attributes, uint32_t flags,
                           platform::ShellFileInfo& out) override
    {
        return inner_.GetFileInfoOfPath(path, attributes, flags, out);
    }
    uintptr_t SystemImageList(bool small) override { return inner_.SystemImageList(small); }
    bool GetFindData(platform::ShellFolder& folder, IdView child, platform::ShellFindData& out) override
    {
        auto* faulty = dynamic_cast<FaultyFolder*>(&folder);
        if (!inner_.GetFindData(faulty ? faulty->Inner() : folder, child, out)) return false;
        const auto fake = fakeSizes.find(out.name);
        if (fake != fakeSizes.end()) out.size = fake->second;
        return true;
    }
    bool GetPathFromIDList(IdView absolute, std::string& path) override
    {
        return inner_.GetPathFromIDList(absolute, path);
    }
    bool Recycle(platform::WindowRef owner, const std::vector<std::string>& paths, bool& anyAborted) override
    {
        return inner_.Recycle(owner, paths, anyAborted);
    }
    bool Execute(platform::WindowRef owner, IdView absolute) override { return inner_.Execute(owner, absolute); }
    std::unique_ptr<platform::PopupMenu> CreatePopupMenu() override { return inner_.CreatePopupMenu(); }
    platform::ShellResult DoDragDrop(platform::ShellDataObject& data, platform::DropSource& source,
                                     uint32_t allowed, uint32_t& effect) override
    {
        return inner_.DoDragDrop(data, source, allowed, effect);
    }

private:
    platform::SimShellNamespace& inner_;
    std::unique_ptr<FaultyFolder> desktop_;
};

// The three views linked as the pane links them, each on its simulated
// display, with the context menu.
struct Pane {
    explicit Pane(const ShellViewServices& services, ui::MessageDialogService& messages)
        : tree(services), list(services), combo(services),
          contextMenu(services.shell, services.codec, messages)
    {
        tree.SetFileView(&list);
        combo.SetFolderView(&tree);
        tree.SetContextMenu(&contextMenu);
        list.SetContextMenu(&contextMenu);
        tree.Window().window = 0x1234;
        list.Window().window = 0x1235;
        tree.CreateWnd();
        list.CreateWnd();
        combo.Loaded();
        tree.Loaded();
    }
    TFolderView tree;
    TFileView list;
    TComboView combo;
    TContextMenuEx contextMenu;
    ui::SimTreeView treeDisplay{tree};
    ui::SimListView listDisplay{list};
    ui::SimComboBox comboDisplay{combo};
};

class ShellViewsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* path : {"C:\\work", "C:\\work\\sub1", "C:\\work\\sub1\\deep", "C:\\work\\sub1\\deep\\deeper",
                                 "C:\\work\\sub2", "C:\\mask", "C:\\mask\\folder"})
            ASSERT_EQ(files.CreateFolder(path), FileStatus::Ok) << path;
        Put("C:\\work\\empty.txt", "");
        Put("C:\\work\\k1023.txt", std::string(1023, 'x'));
        Put("C:\\work\\k1024.txt", std::string(1024, 'x'));
        Put("C:\\work\\link.lnk", "C:\\work\\sub1");
        Put("C:\\work\\hidden.dat", "h");
        ASSERT_EQ(files.SetHidden("C:\\work\\hidden.dat", true), FileStatus::Ok);
        for (const char* name : {"a.txt", "b.TXT", "c.doc", "d"}) Put(std::string("C:\\mask\\") + name, "m");
        pane = std::make_unique<Pane>(services, messages);
    }

    void TearDown() override
    {
        pane.reset();
        EXPECT_EQ(IdList::Live(), liveBefore_);
        EXPECT_EQ(sim.SimAllocator().Outstanding(), 0u);
        EXPECT_EQ(ui::Screen::Cursor(), ui::TCursor::crDefault);
    }

    void Put(const std::string& path, std::string_view bytes)
    {
        std::string temp;
        platform::FileHandle file;
        ASSERT_EQ(files.CreateTempFile(platform::ParentFolder(path), temp, file), FileStatus::Ok);
        ASSERT_EQ(files.Write(file, bytes), FileStatus::Ok);
        file.Close();
        ASSERT_EQ(files.Replace(path, temp), FileStatus::Ok);
    }

    TFolderView& tree() { return pane->tree; }
    TFileView& list() { return pane->list; }
    TComboView& combo() { return pane->combo; }

    // The tree goes to a folder by path, as another part of the program does.
    void Go(const std::string& path)
    {
        tree().SetSelectedPath(path);
        ASSERT_NE(tree().Selected(), nullptr) << path;
        ASSERT_EQ(tree().SelectedPath(), path);
    }
    std::vector<std::string> Captions()
    {
        std::vector<std::string> captions;
        for (size_t i = 0; i < list().Count(); ++i) captions.push_back(list().Item(i)->Caption());
        return captions;
    }
    TListItem* ItemNamed(const std::string& caption)
    {
        for (size_t i = 0; i < list().Count(); ++i)
            if (list().Item(i)->Caption() == caption) return list().Item(i);
        ADD_FAILURE() << "no item " << caption;
        return nullptr;
    }
    static TTreeNode* ChildNamed(TTreeNode* node, const std::string& text)
    {
        for (size_t i = 0; node && i < node->Count(); ++i)
            if (node->Item(i)->Text() == text) return node->Item(i);
        return nullptr;
    }
    static std::vector<std::string> Texts(const TTreeNode* node)
    {
        std::vector<std::string> texts;
        for (size_t i = 0; i < node->Count(); ++i) texts.push_back(node->Item(i)->Text());
        return texts;
    }
    // The path the list shows, from its folder's list.
    std::string ListedPath()
    {
        std::string path;
        sim.GetPathFromIDList(list().FolderList(), path);
        return path;
    }

    long liveBefore_ = IdList::Live();
    platform::SimFileSystem files;
    platform::SimShellNamespace sim{files, test::TestCodec()};
    FaultyShell shell{sim};
    platform::SimLocaleCompare locale;
    platform::SimClock clock;
    platform::SimDateTimeLocale dates;
    ui::SimMessageDialogs messages;
    ShellViewServices services{&shell, test::TestCodec(), locale, clock, dates, messages};
    // Outlives the pane: pieces left when the tree goes are run after it.
    ui::SimPosting posting;
    std::unique_ptr<Pane> pane;
};

// ---- Reading a large folder in pieces ----------------------------------------------

// A tree whose user's expansions read in pieces (posted work the test
// runs), over C:\many: 150 folders made in reverse order, f007 holding one.
class PiecesTest : public ShellViewsTest {
protected:
    void SetUp() override
    {
        ShellViewsTest::SetUp();
        ASSERT_EQ(files.CreateFolder("C:\\many"), FileStatus::Ok);
        for (int i = kMany - 1; i >= 0; --i) ASSERT_EQ(files.CreateFolder("C:\\many\\" + Name(i)), FileStatus::Ok);
        ASSERT_EQ(files.CreateFolder("C:\\many\\f007\\inner"), FileStatus::Ok);
        pane->treeDisplay.SetPosting(&posting);
    }

    static constexpr int kMany = 150;
    static std::string Name(int i)
    {
        char name[16];
        std::snprintf(name, sizeof name, "f%03d", i);
        return name;
    }

    // The drive read at once (the program's expansion), "many" not yet.
    TTreeNode* ManyUnread()
    {
        tree().SetSelectedPath("C:\\");
        TTreeNode* drive = tree().Selected();
        if (!drive || !tree().Expand(*drive)) return nullptr;
        TTreeNode* many = ChildNamed(drive, "many");
        if (!many || many->Count() != 0 || !many->HasChildren()) return nullptr;
        return many;
    }

    // Every folder once, in the shell's order.
    void ExpectAllInShellOrder(TTreeNode* many)
    {
        ASSERT_EQ(many->Count(), static_cast<size_t>(kMany));
        const std::vector<std::string> texts = Texts(many);
        EXPECT_EQ(std::set<std::string>(texts.begin(), texts.end()).size(), texts.size());
        IdList list = tree().NodeIDList(many);
        std::unique_ptr<platform::ShellFolder> folder;
        ASSERT_EQ(sim.Desktop()->BindToObject(list.View(), folder), 0);
        for (size_t i = 1; i < many->Count(); ++i)
            EXPECT_LT(
                CompareIDLists(*folder, TFolderView::NodeID(many->Item(i - 1)), TFolderView::NodeID(many->Item(i))), 0)
                << texts[i - 1] << " before " << texts[i];
        EXPECT_TRUE(ChildNamed(many, "f007")->HasChildren());
        EXPECT_FALSE(ChildNamed(many, "f008")->HasChildren());
    }

    // Nothing of a read is left open.
    void ExpectLive(const std::string& when)
    {
        EXPECT_FALSE(tree().Busy()) << when;
        EXPECT_FALSE(tree().Updating()) << when;
        EXPECT_TRUE(pane->treeDisplay.Redrawing()) << when;
        EXPECT_EQ(ui::Screen::Cursor(), ui::TCursor::crDefault) << when;
    }
};

TEST_F(PiecesTest, AUsersExpansionReadsInPiecesAndOpensTheFolderOnceInOneBracket)
{
    TTreeNode* many = ManyUnread();
    ASSERT_NE(many, nullptr);
    bool openedInsideTheBracket = false;
    tree().OnExpanded = [&](TTreeNode& node) {
        if (&node == many) openedInsideTheBracket = tree().Updating() && !pane->treeDisplay.Redrawing();
    };
    pane->treeDisplay.DoubleClick(*many);
    // The list shows the folder at once; the tree shows nothing of it yet.
    EXPECT_EQ(ListedPath(), "C:\\many");
    EXPECT_EQ(list().Count(), static_cast<size_t>(kMany));
    EXPECT_TRUE(tree().Reading(many));
    EXPECT_FALSE(many->Expanded());
    EXPECT_EQ(many->Count(), 0u);
    ASSERT_EQ(posting.Pending(), 1u);
    // Asked again while reading: no second read.
    pane->treeDisplay.Toggle(*many);
    EXPECT_EQ(posting.Pending(), 1u);
    // Between pieces the window is as it was.
    ASSERT_TRUE(posting.RunOne());
    EXPECT_EQ(many->Count(), 0u);
    EXPECT_FALSE(many->Expanded());
    ExpectLive("between pieces");
    const size_t pieces = 1 + posting.Drain();
    EXPECT_GT(pieces, 2u) << "150 folders are more than two pieces";
    EXPECT_FALSE(tree().Reading(many));
    EXPECT_TRUE(many->Expanded());
    EXPECT_TRUE(openedInsideTheBracket) << "children and the opening are one visible change";
    ExpectAllInShellOrder(many);
    ExpectLive("after the read");
    EXPECT_EQ(tree().Selected(), many);
    // Drawn, the new nodes show no icon at first; their icons come in pieces.
    pane->treeDisplay.Paint();
    EXPECT_EQ(posting.Pending(), 1u);
    EXPECT_EQ(many->Item(0)->ImageIndex(), ui::kNoImage);
    posting.Drain();
    EXPECT_GE(many->Item(0)->ImageIndex(), 0);
    EXPECT_GE(many->Item(kMany - 1)->SelectedIndex(), 0);
    // Closed and opened again: nothing is read.
    pane->treeDisplay.Toggle(*many);
    pane->treeDisplay.Toggle(*many);
    EXPECT_TRUE(many->Expanded());
    EXPECT_EQ(posting.Pending(), 0u);
    EXPECT_EQ(many->Count(), static_cast<size_t>(kMany));
    // The program's own expansion reads at once.
    TTreeNode* f007 = ChildNamed(many, "f007");
    ASSERT_TRUE(tree().Expand(*f007));
    EXPECT_EQ(Texts(f007), (std::vector<std::string>{"inner"}));
    EXPECT_EQ(posting.Pending(), 0u);
    // Drawn, what the program opened gets its icons at once: only a read in
    // pieces leaves them for later (a late redraw of the selected node would
    // report the tree's path again).
    pane->treeDisplay.Paint();
    EXPECT_EQ(posting.Pending(), 0u);
    EXPECT_GE(ChildNamed(f007, "inner")->ImageIndex(), 0);
    tree().OnExpanded = nullptr;
}

TEST_F(PiecesTest, AReadInPiecesSurvivesWhatHappensMeanwhile)
{
    struct Case {
        const char* what;
        std::function<void(TTreeNode* many)> meanwhile;
        bool nodeStays;        // the node is still in the tree
        bool opens;            // the read goes on and opens it
        const char* selected;  // the selected path afterwards (nullptr: the root)
    };
    const Case cases[] = {
        {"its parent collapsed", [this](TTreeNode* many) { pane->treeDisplay.Toggle(*many->Parent()); },
         true, false, "C:\\many"},
        {"the node closed as a display reports it",
         [this](TTreeNode* many) { tree().UserExpanding(*many, false); }, true, false, "C:\\many"},
        {"the tree shown on another display",
         [this](TTreeNode*) {
             tree().SetDisplay(nullptr);
             tree().SetDisplay(&pane->treeDisplay);
         },
         true, false, "C:\\many"},
        {"the node deleted", [this](TTreeNode* many) { tree().Delete(many); }, false, false, ""},
        {"the tree rebuilt", [this](TTreeNode*) { tree().RebuildTree(); }, false, false, nullptr},
        {"another folder clicked",
         [this](TTreeNode* many) { pane->treeDisplay.Click(*ChildNamed(many->Parent(), "work")); }, true,
         true, "C:\\work"},
        {"a path through the node selected",
         [this](TTreeNode*) { tree().SetSelectedPath("C:\\many\\f042"); }, true, true,
         "C:\\many\\f042"},
    };
    for (const Case& c : cases) {
        tree().RebuildTree();
        TTreeNode* many = ManyUnread();
        ASSERT_NE(many, nullptr) << c.what;
        pane->treeDisplay.DoubleClick(*many);
        ASSERT_TRUE(posting.RunOne()) << c.what;
        ASSERT_TRUE(tree().Reading(many)) << c.what << ": part read";
        c.meanwhile(many);
        posting.Drain();
        ExpectLive(c.what);
        if (c.selected)
            EXPECT_EQ(tree().SelectedPath(), c.selected) << c.what;
        else
            EXPECT_EQ(tree().Selected(), tree().Item(0)) << c.what;
        if (!c.nodeStays) continue;
        EXPECT_FALSE(tree().Reading(many)) << c.what;
        EXPECT_EQ(many->Expanded(), c.opens) << c.what;
        if (!c.opens) {
            // Nothing half-read stays: the button does, and the next
            // expansion reads the whole folder once.
            EXPECT_EQ(many->Count(), 0u) << c.what;
            EXPECT_TRUE(many->HasChildren()) << c.what;
            pane->treeDisplay.DoubleClick(*many);
            posting.Drain();
        }
        EXPECT_TRUE(many->Expanded()) << c.what;
        ExpectAllInShellOrder(many);
    }
    // Closed above while the children go into the node: they all stay, read
    // once, and the next expansion opens it without reading.
    tree().RebuildTree();
    TTreeNode* node = ManyUnread();
    ASSERT_NE(node, nullptr);
    pane->treeDisplay.DoubleClick(*node);
    while (node->Count() == 0 && posting.RunOne()) {
    }
    ASSERT_GT(node->Count(), 0u);
    ASSERT_LT(node->Count(), static_cast<size_t>(kMany)) << "part added";
    pane->treeDisplay.Toggle(*node->Parent());
    EXPECT_FALSE(tree().Reading(node));
    EXPECT_EQ(node->Count(), static_cast<size_t>(kMany));
    posting.Drain();
    ExpectLive("closed while adding");
    pane->treeDisplay.Toggle(*node->Parent());
    pane->treeDisplay.DoubleClick(*node);
    EXPECT_EQ(posting.Pending(), 0u);
    EXPECT_TRUE(node->Expanded());
    ExpectAllInShellOrder(node);

    // The tree goes with pieces still posted: they find nothing to do.
    tree().RebuildTree();
    TTreeNode* many = ManyUnread();
    ASSERT_NE(many, nullptr);
    pane->treeDisplay.DoubleClick(*many);
    ASSERT_TRUE(posting.RunOne());
    ASSERT_EQ(posting.Pending(), 1u);
    pane.reset();
    EXPECT_EQ(posting.Drain(), 1u);
    EXPECT_EQ(IdList::Live(), liveBefore_);
}

TEST_F(PiecesTest, AShellCallThrowingWhileTheTreeReadsLeavesItLiveAndReadableAgain)
{
    TTreeNode* many = ManyUnread();
    ASSERT_NE(many, nullptr);
    // Read at once (the program's expansion): nothing half-read shows.
    shell.throwOnSubfolders = true;
    EXPECT_THROW(tree().Expand(*many), std::runtime_error);
    ExpectLive("a fill that threw");
    EXPECT_EQ(many->Count(), 0u);
    EXPECT_TRUE(many->HasChildren());
    EXPECT_FALSE(many->Expanded());
    // Read in pieces: the piece that throws ends the read.
    pane->treeDisplay.DoubleClick(*many);
    ASSERT_TRUE(tree().Reading(many));
    EXPECT_THROW(posting.RunOne(), std::runtime_error);
    ExpectLive("a piece that threw");
    EXPECT_FALSE(tree().Reading(many));
    EXPECT_EQ(posting.Pending(), 0u);
    EXPECT_EQ(many->Count(), 0u);
    EXPECT_TRUE(many->HasChildren());
    // The shell answers again: the next expansion reads everything once.
    shell.throwOnSubfolders = false;
    pane->treeDisplay.DoubleClick(*many);
    posting.Drain();
    EXPECT_TRUE(many->Expanded());
    ExpectAllInShellOrder(many);
}

// ---- The tree -----------------------------------------------------------------------

TEST_F(ShellViewsTest, RebuildShowsTheDesktopExpandedInShellOrderAndTheListFollows)
{
    ASSERT_EQ(tree().Count(), 1u);
    TTreeNode* root = tree().Item(0);
    EXPECT_EQ(root->Text(), "デスクトップ");
    EXPECT_TRUE(root->Expanded());
    EXPECT_EQ(tree().Selected(), root);
    EXPECT_EQ(Texts(root), (std::vector<std::string>{"マイ コンピューター", "ごみ箱"}));
    for (size_t i = 1; i < root->Count(); ++i)
        EXPECT_LT(CompareIDLists(*sim.Desktop(), TFolderView::NodeID(root->Item(i - 1)),
                                 TFolderView::NodeID(root->Item(i))),
                  0);
    EXPECT_GE(root->ImageIndex(), 0);
    // The children's icons are asked for when they are drawn.
    EXPECT_TRUE(root->Item(0)->ImagePending());
    EXPECT_GE(root->Item(0)->ImageIndex(), 0);
    EXPECT_GE(root->Item(0)->SelectedIndex(), 0);
    EXPECT_FALSE(root->Item(0)->ImagePending());
    EXPECT_EQ(tree().Images(), sim.SystemImageList(true));
    // The list shows the desktop, the combo its entry.
    EXPECT_EQ(IDListSize(list().FolderList()), 2u);
    EXPECT_EQ(Captions(), Texts(root));
    EXPECT_EQ(combo().ItemIndex(), 0);
    EXPECT_EQ(list().Columns().size(), 4u);
    // A second rebuild frees every node's list and raises OnDeleting for each.
    int deleted = 0;
    tree().OnDeleting = [&](TFolderView&, TTreeNode& node) {
        EXPECT_FALSE(node.Data()) << "freed before the event";
        ++deleted;
    };
    const size_t nodes = tree().AllNodes().size();
    tree().RebuildTree();
    EXPECT_EQ(deleted, static_cast<int>(nodes));
    EXPECT_EQ(tree().CurrentNode(), tree().Item(0));
    EXPECT_EQ(tree().PreviousNode(), nullptr) << "the old nodes are forgotten";
    tree().OnDeleting = nullptr;  // the counter goes with this scope; the fixture deletes the nodes later
}

TEST_F(ShellViewsTest, ExpansionReadsOnceAndDropsButtonsOfFoldersWithoutChildren)
{
    Go("C:\\work");
    TTreeNode* work = tree().Selected();
    ASSERT_TRUE(tree().Expand(*work));
    EXPECT_EQ(Texts(work), (std::vector<std::string>{"sub1", "sub2"}));
    TTreeNode* sub1 = ChildNamed(work, "sub1");
    TTreeNode* sub2 = ChildNamed(work, "sub2");
    EXPECT_TRUE(sub1->HasChildren());
    EXPECT_FALSE(sub2->HasChildren()) << "no subfolders: no button";
    // Read once: a folder made after the first expansion is not read again.
    ASSERT_EQ(files.CreateFolder("C:\\work\\sub3"), FileStatus::Ok);
    tree().Collapse(*work);
    ASSERT_TRUE(tree().Expand(*work));
    EXPECT_EQ(work->Count(), 2u);
    // A folder that said it had subfolders but lists none loses its button.
    ASSERT_TRUE(tree().Expand(*sub1));
    TTreeNode* deep = ChildNamed(sub1, "deep");
    ASSERT_TRUE(deep && deep->HasChildren());
    ASSERT_EQ(files.RemoveFolder("C:\\work\\sub1\\deep\\deeper"), FileStatus::Ok);
    EXPECT_FALSE(tree().Expand(*deep));
    EXPECT_FALSE(deep->HasChildren());
    // A folder that cannot be listed keeps its button and the selection.
    ASSERT_EQ(files.CreateFolder("C:\\work\\sub3\\inner"), FileStatus::Ok);
    tree().RebuildTree();
    Go("C:\\work");
    tree().Expand(*tree().Selected());
    TTreeNode* sub3 = ChildNamed(tree().Selected(), "sub3");
    ASSERT_TRUE(sub3 && sub3->HasChildren());
    files.SetUnlistable("C:\\work\\sub3", true);
    EXPECT_FALSE(tree().Expand(*sub3));
    EXPECT_TRUE(sub3->HasChildren());
    EXPECT_EQ(tree().SelectedPath(), "C:\\work");
}

TEST_F(ShellViewsTest, SelectedPathBothWaysThroughIntermediateLevels)
{
    struct Case {
        std::string path;
        std::string selected;  // "" : cleared; "=" : unchanged
    };
    const std::string tooLong = "C:\\" + std::string(300, 'a');
    const Case cases[] = {
        {"C:\\work\\sub1\\deep", "C:\\work\\sub1\\deep"},
        {"c:\\WORK\\sub2", "C:\\work\\sub2"},
        {"C:\\", "C:\\"},                   // a drive root: its node under the drives folder
        {"Q:\\nowhere", "="},               // does not parse
        {tooLong, "="},                     // longer than the shell takes
        {"C:\\work\\k1024.txt", ""},        // parses, but is no folder of the tree
    };
    for (const Case& c : cases) {
        const std::string before = tree().SelectedPath();
        tree().SetSelectedPath(c.path);
        const std::string expected = c.selected == "=" ? before : c.selected;
        EXPECT_EQ(tree().SelectedPath(), expected) << c.path;
        if (!expected.empty()) {
            EXPECT_EQ(ListedPath(), expected) << "the list follows " << c.path;
        }
    }
    tree().SetSelectedPath("C:\\");
    TTreeNode* drive = tree().Selected();
    ASSERT_NE(drive, nullptr);
    EXPECT_EQ(drive->Level(), 2);
    EXPECT_EQ(drive->Parent()->Text(), "マイ コンピューター");
    EXPECT_EQ(drive->Text(), " (C:)");
}

TEST_F(ShellViewsTest, RenameInTheTreeKeepsThePlaceRefusesBadNamesAndMovesTheList)
{
    Go("C:\\work\\sub1");
    TTreeNode* node = tree().Selected();
    const size_t place = node->Index();
    pane->treeDisplay.PressF2();
    pane->treeDisplay.Type("renamed");
    pane->treeDisplay.PressEnter();
    EXPECT_EQ(node->Text(), "renamed");
    EXPECT_EQ(node->Index(), place);
    EXPECT_TRUE(files.Query("C:\\work\\renamed").directory);
    // The list and combo follow the new path.
    EXPECT_EQ(ListedPath(), "C:\\work\\renamed");
    EXPECT_EQ(list().ItemPath(ItemNamed("deep")), "C:\\work\\renamed\\deep");
    EXPECT_EQ(combo().EntryName(static_cast<size_t>(combo().ItemIndex())), "renamed");
    // Refused labels come back as the shell names the folder; nothing moves.
    for (const std::string& bad :
         std::vector<std::string>{"", "a\\b", "a/b", "x:y", "what?", "tab\there", std::string(260, 'n')}) {
        pane->treeDisplay.PressF2();
        pane->treeDisplay.Type(bad);
        pane->treeDisplay.PressEnter();
        EXPECT_EQ(node->Text(), "renamed") << bad;
    }
    EXPECT_TRUE(files.Query("C:\\work\\renamed\\deep").directory);
    // Esc keeps the name; a taken name is refused by the shell.
    pane->treeDisplay.PressF2();
    pane->treeDisplay.Type("other");
    pane->treeDisplay.PressEscape();
    EXPECT_EQ(node->Text(), "renamed");
    pane->treeDisplay.PressF2();
    pane->treeDisplay.Type("sub2");
    pane->treeDisplay.PressEnter();
    EXPECT_EQ(node->Text(), "renamed");
    EXPECT_TRUE(files.Query("C:\\work\\renamed").directory);
    // The root never edits; a right click on it shows no menu.
    tree().Select(tree().Item(0));
    pane->treeDisplay.PressF2();
    EXPECT_FALSE(pane->treeDisplay.EditorShown());
    pane->treeDisplay.RightClick(tree().Item(0));
    EXPECT_EQ(sim.tracked, 0);
    // A right click on a folder shows its menu; the selection stays.
    pane->treeDisplay.RightClick(node);
    EXPECT_EQ(sim.tracked, 1);
    EXPECT_EQ(tree().Selected(), tree().Item(0));
}

TEST_F(ShellViewsTest, ListsThatCannotBeReadFallBackOnceAndKeepTheirContents)
{
    Go("C:\\work");
    const auto workRows = pane->listDisplay.Rows();
    // One folder that cannot be listed: the tree goes back, the list stays.
    files.SetUnlistable("C:\\work\\sub2", true);
    TTreeNode* work = tree().Selected();
    tree().Expand(*work);
    pane->treeDisplay.Click(*ChildNamed(work, "sub2"));
    EXPECT_EQ(tree().Selected(), work);
    EXPECT_EQ(ListedPath(), "C:\\work");
    EXPECT_EQ(pane->listDisplay.Rows(), workRows);
    // Both the folder and the one before it gone (a removed medium): one
    // fall-back, then the list keeps what it shows.
    files.SetUnlistable("C:\\work", true);
    pane->treeDisplay.Click(*ChildNamed(work, "sub2"));
    EXPECT_EQ(tree().Selected(), work);
    EXPECT_EQ(ListedPath(), "C:\\work");
    EXPECT_EQ(pane->listDisplay.Rows(), workRows);
    files.SetUnlistable("C:\\work", false);
    // A list that cannot bind (a file's list) keeps its folder and items.
    tree().SetFileView(nullptr);
    IdList fileList;
    ASSERT_EQ(sim.Desktop()->ParseDisplayName("C:\\work\\k1024.txt", fileList), 0);
    platform::ShellFolder* folder = list().Folder();
    list().OpenFolder(fileList.View());
    EXPECT_EQ(list().Folder(), folder);
    EXPECT_EQ(pane->listDisplay.Rows(), workRows);
    // The desktop's empty list takes the desktop folder.
    IdList desktop;
    ASSERT_EQ(sim.SpecialFolderLocation(0, platform::csidl::kDesktop, desktop), 0);
    list().OpenFolder(desktop.View());
    EXPECT_EQ(IDListSize(list().FolderList()), 2u);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"マイ コンピューター", "ごみ箱"}));
}

TEST_F(ShellViewsTest, AFailingShellCallInsideFillsLeavesTheViewsLive)
{
    Go("C:\\work");
    TTreeNode* work = tree().Selected();
    shell.throwOnFileInfo = true;
    // The icons are asked for as the nodes are drawn: the expansion reads
    // the children, and the paint reports one failure however many nodes
    // fail (the box repaints the tree).
    ASSERT_TRUE(tree().Expand(*work));
    ASSERT_GT(work->Count(), 0u);
    pane->treeDisplay.Paint();
    EXPECT_EQ(pane->treeDisplay.Boxes(), (std::vector<std::string>{"file information failed"}));
    EXPECT_EQ(work->Item(0)->ImageIndex(), ui::kNoImage);
    EXPECT_FALSE(tree().Updating());
    EXPECT_TRUE(pane->treeDisplay.Redrawing());
    EXPECT_FALSE(tree().Busy());
    EXPECT_EQ(ui::Screen::Cursor(), ui::TCursor::crDefault);
    EXPECT_THROW(list().FillList(), std::runtime_error);
    EXPECT_FALSE(list().Updating());
    EXPECT_TRUE(pane->listDisplay.Redrawing());
    EXPECT_EQ(list().ViewStyle(), ui::TViewStyle::vsReport);
    EXPECT_EQ(ui::Screen::Cursor(), ui::TCursor::crDefault);
    shell.throwOnFileInfo = false;
    list().FillList();
    EXPECT_EQ(list().Count(), 7u);
}

// ---- The list ------------------------------------------------------------------------

TEST_F(ShellViewsTest, AListOnADisplayThatPostsWorkDrawsRowsFirstAndTheirIconsAfter)
{
    pane->listDisplay.SetPosting(&posting);
    Go("C:\\work");
    // Drawn without their icons; one piece asks for them.
    EXPECT_EQ(ItemNamed("k1024.txt")->ImageIndex(), ui::kNoImage);
    EXPECT_EQ(ItemNamed("sub1")->ImageIndex(), ui::kNoImage);
    EXPECT_EQ(posting.Pending(), 1u);
    posting.Drain();
    EXPECT_GE(ItemNamed("k1024.txt")->ImageIndex(), 0);
    EXPECT_GE(ItemNamed("sub1")->ImageIndex(), 0);
    // A refill before the piece runs leaves it nothing to ask for.
    EXPECT_EQ(ItemNamed("empty.txt")->ImageIndex(), ui::kNoImage);
    list().FillList();
    EXPECT_EQ(posting.Drain(), 1u);
    EXPECT_EQ(ItemNamed("empty.txt")->ImageIndex(), ui::kNoImage);
    // A shell that fails: the piece reports it once, the rows stay without.
    shell.throwOnFileInfo = true;
    EXPECT_THROW(posting.Drain(), std::runtime_error);
    EXPECT_EQ(posting.Pending(), 0u);
    shell.throwOnFileInfo = false;
    list().FillList();
    EXPECT_EQ(ItemNamed("empty.txt")->ImageIndex(), ui::kNoImage);
    posting.Drain();
    EXPECT_GE(ItemNamed("empty.txt")->ImageIndex(), 0);
}

TEST_F(ShellViewsTest, ColumnsShowSizesTypesDatesHiddenFilesAndTheShortcutMark)
{
    Put("C:\\work\\big3.bin", "3");
    Put("C:\\work\\big5.bin", "5");
    shell.fakeSizes = {{"big3.bin", 3ull << 30}, {"big5.bin", 5ull << 30}};
    ASSERT_EQ(files.SetLastWriteTime("C:\\work\\k1024.txt", FileTimeUtc(2026, 12, 7, 9, 30, 15)), FileStatus::Ok);
    ASSERT_EQ(files.SetLastWriteTime("C:\\work\\k1023.txt", FileTimeUtc(1975, 6, 1, 0, 0, 59)), FileStatus::Ok);
    const size_t queriesBefore = list().TypeNameQueries();
    Go("C:\\work");
    struct Row {
        std::string caption, size;
        int overlay;
    };
    const Row rows[] = {
        {"empty.txt", "       1KB", 0}, {"k1023.txt", "       1KB", 0}, {"k1024.txt", "       2KB", 0},
        {"sub1", "       1KB", 0},      {"hidden.dat", "       1KB", 0}, {"link.lnk", "       1KB", 1},
        {"big3.bin", " 3145729KB", 0},  {"big5.bin", " 5242881KB", 0},
    };
    for (const Row& row : rows) {
        TListItem* item = ItemNamed(row.caption);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->ColumnText(1), row.size) << row.caption;
        EXPECT_EQ(item->OverlayIndex(), row.overlay) << row.caption;
        EXPECT_GE(item->ImageIndex(), 0) << row.caption;
        platform::ShellFileInfo info;
        const IdList absolute = ConcatIDLists(sim.Allocator(), list().FolderList(), TFileView::ItemID(item));
        ASSERT_TRUE(sim.GetFileInfo(absolute.View(), platform::fileinfo::kTypeName, info));
        EXPECT_EQ(item->ColumnText(2), info.typeName) << row.caption;
    }
    // In the clock's zone (nine hours ahead), minutes as they are, also
    // before 1980.
    EXPECT_EQ(ItemNamed("k1024.txt")->ColumnText(3), "26/12/07 18:30");
    EXPECT_EQ(ItemNamed("k1023.txt")->ColumnText(3), "75/06/01 09:00");
    // Type names come once per extension; folders are asked each time.
    EXPECT_EQ(list().TypeNameQueries() - queriesBefore, 6u) << "TXT, DAT, LNK, BIN and the two folders";
    EXPECT_EQ(pane->listDisplay.Rows().size(), list().Count());
    EXPECT_EQ(list().ViewStyle(), ui::TViewStyle::vsReport) << "the style comes back after the fill";
}

TEST_F(ShellViewsTest, TypeNamesAreCutToEightyBytesOnACharacterBoundary)
{
    const std::string kanji = "種";
    std::string fortyOne;
    for (int i = 0; i < 41; ++i) fortyOne += kanji;
    struct Case {
        std::string name;
        size_t units;  // UTF-16 units kept
    };
    const Case cases[] = {
        {std::string(100, 'a'), 80},
        {fortyOne, 40},
        {std::string(79, 'a') + kanji, 79},  // the double-byte character would end at byte 81
        {std::string(78, 'a') + kanji, 79},
        {"ﾌｧｲﾙ" + std::string(90, 'x'), 80},
        {"short", 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf8ToUtf16(TFileView::CutTypeName(c.name)).size(), c.units) << c.name;
}

TEST_F(ShellViewsTest, TheMaskListsFilesWithItsExtensionsAndEveryFolder)
{
    const std::vector<std::string> mask = {".TXT"};
    list().SetMask(&mask);
    list().SetMask(nullptr);  // ignored
    Go("C:\\mask");
    EXPECT_EQ(Captions(), (std::vector<std::string>{"folder", "a.txt", "b.TXT"}));
}

TEST_F(ShellViewsTest, ColumnClicksSortDescendingThenAscendingAndAFillResets)
{
    Put("C:\\work\\z.bin", std::string(5000, 'z'));
    Go("C:\\work");
    const std::vector<std::string> shellOrder = Captions();
    auto column = [&](size_t c) {
        std::vector<std::string> texts;
        for (size_t i = 0; i < list().Count(); ++i) texts.push_back(list().Item(i)->ColumnText(c));
        return texts;
    };
    pane->listDisplay.ClickColumn(1);
    auto sizes = column(1);
    EXPECT_TRUE(std::is_sorted(sizes.rbegin(), sizes.rend())) << "descending";
    EXPECT_EQ(list().Item(0)->Caption(), "z.bin");
    pane->listDisplay.ClickColumn(1);
    sizes = column(1);
    EXPECT_TRUE(std::is_sorted(sizes.begin(), sizes.end())) << "ascending";
    pane->listDisplay.ClickColumn(2);
    auto types = column(2);
    for (size_t i = 1; i < types.size(); ++i) EXPECT_GE(locale.Compare(types[i - 1], types[i]), 0);
    // The name column: the shell's order reversed, then as it was.
    pane->listDisplay.ClickColumn(0);
    std::vector<std::string> reversed(shellOrder.rbegin(), shellOrder.rend());
    EXPECT_EQ(Captions(), reversed);
    // A fill brings every direction back: the size column descends again.
    list().FillList();
    EXPECT_EQ(Captions(), shellOrder);
    EXPECT_EQ(TFileView::SortDirections(), (std::array<int, 4>{1, 1, 1, 1}));
    pane->listDisplay.ClickColumn(1);
    EXPECT_EQ(list().Item(0)->Caption(), "z.bin");
}

TEST_F(ShellViewsTest, DoubleClicksOpenFoldersLaunchFilesOrLeaveItToTheOwner)
{
    Go("C:\\work");
    int dblClicks = 0;
    list().OnDblClick = [&] { ++dblClicks; };
    pane->listDisplay.DoubleClick(*ItemNamed("sub1"));
    EXPECT_EQ(tree().SelectedPath(), "C:\\work\\sub1");
    EXPECT_EQ(Captions(), (std::vector<std::string>{"deep"}));
    Go("C:\\work");
    pane->listDisplay.DoubleClick(*ItemNamed("k1024.txt"));
    EXPECT_EQ(sim.executed, (std::vector<std::string>{"C:\\work\\k1024.txt"}));
    // An item gone since the fill: the launch fails without a word.
    ASSERT_EQ(files.Delete("C:\\work\\k1023.txt"), FileStatus::Ok);
    pane->listDisplay.DoubleClick(*ItemNamed("k1023.txt"));
    EXPECT_EQ(sim.executed.size(), 1u);
    EXPECT_TRUE(messages.Shown().empty());
    // No launching and no tree: the owner's handler alone.
    list().SetFileExecute(false);
    tree().SetFileView(nullptr);
    EXPECT_EQ(list().FolderView(), nullptr);
    pane->listDisplay.DoubleClick(*ItemNamed("sub2"));
    pane->listDisplay.DoubleClick(*ItemNamed("empty.txt"));
    EXPECT_EQ(sim.executed.size(), 1u);
    EXPECT_EQ(tree().SelectedPath(), "C:\\work");
    EXPECT_EQ(dblClicks, 5);
}

// Real shells may answer attribute bits nobody asked for: a file must still
// not pass for a folder.
TEST_F(ShellViewsTest, AShellAnsweringUnaskedAttributesStillTellsFilesFromFolders)
{
    sim.Options().answerUnasked = true;
    Go("C:\\work");
    TTreeNode* work = tree().Selected();
    tree().Expand(*work);
    pane->listDisplay.DoubleClick(*ItemNamed("k1024.txt"));
    EXPECT_EQ(tree().SelectedPath(), "C:\\work") << "a file double-clicked moved the tree";
    EXPECT_EQ(sim.executed, (std::vector<std::string>{"C:\\work\\k1024.txt"}));
    pane->listDisplay.Click(*ItemNamed("k1023.txt"));
    pane->listDisplay.PressF2();
    pane->listDisplay.Type("renamed.txt");
    pane->listDisplay.PressEnter();
    EXPECT_TRUE(files.Query("C:\\work\\renamed.txt").exists);
    EXPECT_EQ(ChildNamed(work, "renamed.txt"), nullptr) << "a renamed file reached the tree";
    EXPECT_NE(ChildNamed(work, "sub1"), nullptr);
    pane->listDisplay.DoubleClick(*ItemNamed("sub1"));
    EXPECT_EQ(tree().SelectedPath(), "C:\\work\\sub1");
}

TEST_F(ShellViewsTest, RenamesInTheListRelabelTheTreeAndRefuseWhatWouldLoseData)
{
    Go("C:\\work");
    TTreeNode* work = tree().Selected();
    tree().Expand(*work);
    auto rename = [&](const std::string& from, const std::string& to) {
        pane->listDisplay.Click(*ItemNamed(from));
        pane->listDisplay.PressF2();
        pane->listDisplay.Type(to);
        pane->listDisplay.PressEnter();
    };
    rename("sub1", "moved");
    EXPECT_NE(ChildNamed(work, "moved"), nullptr) << "the tree's node relabelled";
    EXPECT_EQ(ChildNamed(work, "sub1"), nullptr);
    EXPECT_EQ(list().SelectedPath(), "C:\\work\\moved");
    tree().SetSelectedPath("C:\\work\\moved\\deep");
    EXPECT_EQ(tree().SelectedPath(), "C:\\work\\moved\\deep") << "the renamed node leads on";
    Go("C:\\work");
    // A taken name and forbidden characters: refused, nothing lost.
    rename("k1023.txt", "k1024.txt");
    rename("k1023.txt", "..\\k.txt");
    EXPECT_NE(ItemNamed("k1023.txt"), nullptr);
    std::string bytes;
    EXPECT_EQ(files.ReadAll("C:\\work\\k1024.txt", bytes), FileStatus::Ok);
    EXPECT_EQ(bytes.size(), 1024u);
    EXPECT_TRUE(files.Query("C:\\work\\k1023.txt").exists);
    // A name outside code page 932 works.
    rename("k1023.txt", "한글.txt");
    EXPECT_TRUE(files.Query("C:\\work\\한글.txt").exists);
    EXPECT_EQ(list().SelectedPath(), "C:\\work\\한글.txt");
    EXPECT_EQ(list().SelectedPath(), list().ItemPath(list().Selected()));
    list().Select(nullptr);
    EXPECT_EQ(list().SelectedPath(), "");
}

TEST_F(ShellViewsTest, DeletionGoesThroughTheShellsConfirmation)
{
    Go("C:\\work");
    const size_t before = list().Count();
    // Answered yes: gone, the list refilled, the same place selected.
    pane->listDisplay.Click(*ItemNamed("k1023.txt"));
    const size_t place = list().Selected()->Index();
    list().DeleteSelected();
    EXPECT_FALSE(files.Query("C:\\work\\k1023.txt").exists);
    EXPECT_EQ(list().Count(), before - 1);
    ASSERT_NE(list().Selected(), nullptr);
    EXPECT_EQ(list().Selected()->Index(), place);
    EXPECT_EQ(sim.confirmations, 1);
    // Answered no: nothing goes, no refill.
    sim.Options().confirmDeletion = false;
    pane->listDisplay.Click(*ItemNamed("k1024.txt"));
    TListItem* kept = list().Selected();
    list().DeleteSelected();
    EXPECT_TRUE(files.Query("C:\\work\\k1024.txt").exists);
    EXPECT_EQ(list().Item(kept->Index()), kept) << "the same items: no refill";
    EXPECT_EQ(sim.confirmations, 2);
    // A virtual item: one beep, no question, nothing deleted.
    tree().Select(tree().Item(0));
    pane->listDisplay.Click(*ItemNamed("マイ コンピューター"));
    list().DeleteSelected();
    EXPECT_EQ(messages.Beeps(), (std::vector<ui::DialogKind>{ui::DialogKind::Information}));
    EXPECT_EQ(sim.confirmations, 2);
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(ShellViewsTest, RightClicksShowTheMenuOfTheSelectionLastSelectedFirst)
{
    Go("C:\\work");
    // The user copies: the shell's copy lists the packed selection in order.
    sim.onTrack = [](platform::PopupMenu& menu) {
        return platform::SimShellNamespace::IdByCaptions(menu, {"コピー(&C)"});
    };
    pane->listDisplay.Click(*ItemNamed("empty.txt"));
    pane->listDisplay.CtrlClick(*ItemNamed("k1024.txt"));
    pane->listDisplay.RightClick(ItemNamed("k1024.txt"));
    EXPECT_EQ(sim.tracked, 1);
    EXPECT_EQ(sim.clipboardFiles, (std::vector<std::string>{"C:\\work\\k1024.txt", "C:\\work\\empty.txt"}))
        << "the last selected in list order first";
    EXPECT_EQ(list().SelCount(), 2u);
    pane->listDisplay.RightClick(nullptr);
    EXPECT_EQ(sim.tracked, 2) << "over no item the selection's menu";
}

// ---- The combo -----------------------------------------------------------------------

TEST_F(ShellViewsTest, TheComboListsDesktopFoldersAndDrivesAndFollowsTheTree)
{
    files.AddDrive('D', 1 << 20);
    combo().BuildList();
    auto levels = [&] {
        std::vector<std::pair<std::string, int>> entries;
        for (size_t i = 0; i < combo().Count(); ++i)
            entries.emplace_back(combo().EntryName(i), combo().DataAt(i)->level);
        return entries;
    };
    using Entries = std::vector<std::pair<std::string, int>>;
    const Entries fixed = {{"デスクトップ", 0}, {"マイ コンピューター", 1}, {" (C:)", 2}, {" (D:)", 2}, {"ごみ箱", 1}};
    EXPECT_EQ(levels(), fixed);
    // Three levels below a drive: three path entries, the last shown.
    Go("C:\\work\\sub1\\deep");
    Entries deep = fixed;
    deep.insert(deep.begin() + 3, {{"work", 3}, {"sub1", 4}, {"deep", 5}});
    EXPECT_EQ(levels(), deep);
    EXPECT_EQ(combo().ItemIndex(), 5);
    EXPECT_EQ(combo().PathCount(), 3u);
    // Another folder replaces them.
    Go("C:\\work\\sub2");
    Entries sub2 = fixed;
    sub2.insert(sub2.begin() + 3, {{"work", 3}, {"sub2", 4}});
    EXPECT_EQ(levels(), sub2);
    EXPECT_EQ(combo().ItemIndex(), 4);
    // Drawn dropped: 10 pixels per level, text after the icon's square.
    combo().SetItemHeight(16);
    pane->comboDisplay.DropDown();
    const ui::SimItemCanvas canvas = pane->comboDisplay.Paint();
    auto drawn = [&](const std::string& text) {
        std::string x = "none";  // of the last drawing: the dropped list
        for (const std::string& call : canvas.calls)
            if (call.size() > text.size() && call.compare(call.size() - text.size(), text.size(), text) == 0 &&
                call.rfind("text ", 0) == 0)
                x = call.substr(5, call.find(',') - 5);
        return x;
    };
    EXPECT_EQ(drawn(" sub2"), std::to_string(4 * 10 + 16 + 3));
    EXPECT_EQ(drawn(" デスクトップ"), std::to_string(0 + 16 + 3));
    // Picking the desktop selects the tree's root and drops the path entries.
    pane->comboDisplay.Pick(0);
    EXPECT_EQ(tree().Selected(), tree().Item(0));
    EXPECT_EQ(levels(), fixed);
    EXPECT_EQ(IDListSize(list().FolderList()), 2u);
    // Picking a drive selects its node.
    pane->comboDisplay.DropDown();
    pane->comboDisplay.Pick(2);
    EXPECT_EQ(tree().SelectedPath(), "C:\\");
}

}  // namespace
}  // namespace kp::shell
