// The tree view's contract: expansion that consults CanExpand, selection,
// the right-button release over another node, label editing with Enter and
// Esc, deletion that frees payloads, one box from a failing drawing handler.

#include "tests/contract/ViewContracts.h"

#include <map>
#include <stdexcept>
#include <vector>

namespace kp::test {
namespace {

using ui::TMouseButton;
using ui::TPayload;
using ui::TTreeNode;

// A payload that counts its frees.
TPayload Counted(int& frees)
{
    return TPayload(&frees, [](void* counter) { ++*static_cast<int*>(counter); });
}

// A tree that reads a node's children when it is first expanded, the way a
// folder tree does: a node that turns out to have none loses its button.
class LazyTree : public ui::TTreeView {
public:
    std::map<std::string, std::vector<std::string>> folders;
    std::map<std::string, int> reads;
    int canExpandAsked = 0;
    int frees = 0;
    std::vector<std::string> log;

    TTreeNode* AddFolder(TTreeNode* parent, const std::string& name)
    {
        TTreeNode* node = Add(parent, name, Counted(frees));
        node->SetHasChildren(true);
        return node;
    }

protected:
    bool CanExpand(TTreeNode& node) override
    {
        ++canExpandAsked;
        if (node.HasChildren() && node.Count() == 0) {
            ++reads[node.Text()];
            for (const std::string& child : folders[node.Text()]) AddFolder(&node, child);
            if (node.Count() == 0) node.SetHasChildren(false);
        }
        return TTreeView::CanExpand(node);
    }
    bool CanEdit(TTreeNode& node) override { return node.Level() > 0 && TTreeView::CanEdit(node); }
    void Change(TTreeNode* node) override
    {
        log.push_back("change " + (node ? node->Text() : std::string("-")));
        TTreeView::Change(node);
    }
    void Edit(TTreeNode& node, const std::string& text) override
    {
        log.push_back("edit " + node.Text() + " " + text);
        TTreeView::Edit(node, text);
    }
    void MouseUp(TMouseButton button, int x, int y, TTreeNode* node) override
    {
        if (button == TMouseButton::mbRight) log.push_back("right-up " + (node ? node->Text() : std::string("-")));
        TTreeView::MouseUp(button, x, y, node);
    }
    void DblClick() override
    {
        log.push_back("dblclick");
        TTreeView::DblClick();
    }
    void Deletion(TTreeNode& node) override
    {
        log.push_back("deleted " + node.Text());
        TTreeView::Deletion(node);
    }
};

TEST_P(TreeViewContract, ExpandingReadsChildrenOnceAndDropsAnEmptyFoldersButton)
{
    LazyTree tree;
    tree.folders = {{"desk", {"docs", "empty"}}, {"docs", {"a", "b"}}};
    stage->Show(tree);
    TTreeNode* root = tree.AddFolder(nullptr, "desk");
    tree.Select(root);
    tree.log.clear();

    // Open, close, open: CanExpand is asked each time, the children read once.
    stage->DoubleClick(*root);
    ASSERT_EQ(root->Count(), 2u);
    EXPECT_TRUE(stage->ShownExpanded(*root));
    stage->DoubleClick(*root);
    EXPECT_FALSE(stage->ShownExpanded(*root));
    stage->DoubleClick(*root);
    EXPECT_TRUE(stage->ShownExpanded(*root));
    EXPECT_EQ(tree.canExpandAsked, 2);
    EXPECT_EQ(tree.reads["desk"], 1);
    EXPECT_EQ(root->Count(), 2u);
    EXPECT_EQ(tree.log, (std::vector<std::string>{"dblclick", "dblclick", "dblclick"}));

    // A folder without subfolders: read once, then no button and no expansion.
    TTreeNode* empty = root->Item(1);
    tree.log.clear();
    stage->DoubleClick(*empty);
    EXPECT_EQ(tree.reads["empty"], 1);
    EXPECT_FALSE(empty->HasChildren());
    EXPECT_FALSE(stage->ShownExpanded(*empty));
    EXPECT_EQ(tree.log, (std::vector<std::string>{"change empty", "dblclick"}));
    stage->DoubleClick(*empty);
    EXPECT_EQ(tree.reads["empty"], 1);

    // The program's own expansion asks the same question.
    TTreeNode* docs = root->Item(0);
    docs->SetImageIndex(4);
    EXPECT_EQ(stage->ShownImage(*docs), 4);
    EXPECT_TRUE(tree.Expand(*docs));
    EXPECT_TRUE(stage->ShownExpanded(*docs));
    EXPECT_EQ(docs->Count(), 2u);
}

TEST_P(TreeViewContract, SelectionAndARightClickOverAnotherNode)
{
    LazyTree tree;
    tree.folders = {{"desk", {"one", "two"}}};
    stage->Show(tree);
    TTreeNode* root = tree.AddFolder(nullptr, "desk");
    tree.Select(root);
    tree.Expand(*root);
    tree.SetRightClickSelect(true);
    tree.log.clear();

    stage->Click(*root->Item(0));
    EXPECT_EQ(tree.Selected(), root->Item(0));
    EXPECT_EQ(stage->ShownSelection(), root->Item(0));

    // Released over "two": reported as the node, the selection stays on "one".
    stage->RightClick(*root->Item(1));
    EXPECT_EQ(tree.Selected(), root->Item(0));
    EXPECT_EQ(stage->ShownSelection(), root->Item(0));
    EXPECT_EQ(tree.log, (std::vector<std::string>{"change one", "right-up two"}));

    // Without the option the selection is what is reported.
    tree.SetRightClickSelect(false);
    tree.log.clear();
    stage->RightClick(*root->Item(1));
    EXPECT_EQ(tree.log, (std::vector<std::string>{"right-up one"}));
}

TEST_P(TreeViewContract, LabelEditingWithEnterAndEscape)
{
    LazyTree tree;
    tree.folders = {{"desk", {"old"}}};
    stage->Show(tree);
    TTreeNode* root = tree.AddFolder(nullptr, "desk");
    tree.Select(root);
    tree.Expand(*root);
    TTreeNode* node = root->Item(0);
    std::vector<std::string> events;
    tree.OnEdited = [&](TTreeNode&, std::string& text) { events.push_back("edited " + text); };
    tree.OnCancelEdit = [&](TTreeNode& n) { events.push_back("cancel " + n.Text()); };

    // The root never edits.
    stage->PressF2();
    EXPECT_EQ(tree.Editing(), nullptr);

    stage->Click(*node);
    tree.log.clear();
    stage->PressF2();
    EXPECT_EQ(tree.Editing(), node);
    stage->TypeAndEscape("dropped");
    EXPECT_EQ(tree.Editing(), nullptr);
    EXPECT_EQ(node->Text(), "old");
    EXPECT_EQ(stage->ShownText(*node), "old");

    stage->PressF2();
    stage->TypeAndEnter("新しい名前");
    EXPECT_EQ(node->Text(), "新しい名前");
    EXPECT_EQ(stage->ShownText(*node), "新しい名前");
    EXPECT_EQ(events, (std::vector<std::string>{"cancel old", "edited 新しい名前"}));
    EXPECT_EQ(tree.log, (std::vector<std::string>{"edit 新しい名前 新しい名前"}));

    // A read-only tree starts no editor.
    tree.SetReadOnly(true);
    stage->PressF2();
    EXPECT_EQ(tree.Editing(), nullptr);
}

TEST_P(TreeViewContract, DeletingNodesFreesEveryPayloadAndTheSelection)
{
    LazyTree tree;
    tree.folders = {{"desk", {"a", "b"}}, {"a", {"a1", "a2"}}};
    stage->Show(tree);
    TTreeNode* root = tree.AddFolder(nullptr, "desk");
    tree.Expand(*root);
    tree.Expand(*root->Item(0));
    stage->Click(*root->Item(0)->Item(1));
    tree.log.clear();

    tree.Delete(root->Item(0));
    EXPECT_EQ(tree.frees, 3);
    EXPECT_EQ(tree.log, (std::vector<std::string>{"deleted a1", "deleted a2", "deleted a", "change -"}));
    EXPECT_EQ(tree.Selected(), nullptr);
    EXPECT_EQ(stage->ShownSelection(), nullptr);
    ASSERT_EQ(root->Count(), 1u);
    EXPECT_EQ(stage->ShownText(*root->Item(0)), "b");

    tree.Clear();
    EXPECT_EQ(tree.frees, 5);
    EXPECT_EQ(tree.Count(), 0u);
}

TEST_P(TreeViewContract, AFailingSelectedImageHandlerShowsOneBox)
{
    LazyTree tree;
    tree.folders = {{"desk", {"a", "b"}}};
    stage->Show(tree);
    TTreeNode* root = tree.AddFolder(nullptr, "desk");
    tree.Expand(*root);
    int asked = 0;
    tree.OnGetSelectedIndex = [&](TTreeNode& node) {
        ++asked;
        if (node.Text() == "a") throw std::runtime_error("broken icon");
        node.SetSelectedIndex(7);
    };
    int boxes = 0;
    // A box is modal: while it shows the view paints again.
    tree.OnException = [&](const std::exception& failure) {
        EXPECT_STREQ(failure.what(), "broken icon");
        ++boxes;
        stage->Paint();
    };
    stage->Paint();
    EXPECT_EQ(boxes, 1);
    EXPECT_GE(asked, 3);
    EXPECT_EQ(root->Item(1)->SelectedIndex(), 7);
}

TEST_P(TreeViewContract, PendingImagesAreAskedOnceForTheNodesDrawn)
{
    LazyTree tree;
    tree.folders = {{"desk", {"a", "b"}}, {"a", {"a1"}}};
    stage->Show(tree);
    std::map<std::string, int> asked;
    tree.OnGetImageIndex = [&](TTreeNode& node) {
        ++asked[node.Text()];
        node.SetImageIndex(static_cast<int>(node.Text().size()) + 2);
        node.SetSelectedIndex(9);
    };
    TTreeNode* root = tree.AddFolder(nullptr, "desk");
    root->SetImageIndex(ui::kImageCallback);
    root->SetSelectedIndex(ui::kImageCallback);
    tree.Expand(*root);
    // The children and a grandchild under a closed node, all pending.
    ASSERT_TRUE(tree.Expand(*root->Item(0)));
    tree.Collapse(*root->Item(0));
    for (TTreeNode* node : tree.AllNodes()) {
        node->SetImageIndex(ui::kImageCallback);
        node->SetSelectedIndex(ui::kImageCallback);
    }
    asked.clear();
    stage->Paint();
    stage->Paint();
    EXPECT_EQ(asked, (std::map<std::string, int>{{"desk", 1}, {"a", 1}, {"b", 1}}));
    EXPECT_EQ(stage->ShownImage(*root->Item(1)), 3);
    EXPECT_EQ(stage->ShownImage(*root), 6);
    EXPECT_EQ(root->Item(0)->SelectedIndex(), 9);
    EXPECT_EQ(asked.count("a1"), 0u);
}

}  // namespace
}  // namespace kp::test
