// The views' scoped brackets and payload ownership, on the simulated
// displays: every way out of a fill (exceptions included) leaves the view
// drawing, the cursor normal and the busy flag clear, and no payload leaks.

#include "ui/ListView.h"
#include "ui/TreeView.h"
#include "ui/sim/SimListView.h"
#include "ui/sim/SimTreeView.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace kp::ui {
namespace {

TPayload Counted(int& frees)
{
    return TPayload(&frees, [](void* counter) { ++*static_cast<int*>(counter); });
}

// Fills the way the folder views do: hourglass, bracket and busy flag
// around reading the children, which may fail at any step.
class FillingTree : public TTreeView {
public:
    bool busy = false;
    int frees = 0;
    std::vector<TCursor> cursorsSeen;

    void FillChildren(TTreeNode& node, int count, int failAt)
    {
        THourGlassScope hourglass;
        TUpdateScope<TTreeView> bracket(*this);
        TFlagScope busyScope(busy);
        for (int i = 0; i < count; ++i) {
            cursorsSeen.push_back(Screen::Cursor());
            if (i == failAt) throw std::runtime_error("device not ready");
            Add(&node, "child" + std::to_string(i), Counted(frees));
        }
    }
};

TEST(ViewBrackets, EveryExitOfAFillLeavesTheViewLiveAndTheCursorNormal)
{
    struct Case {
        int count;
        int failAt;
        size_t added;
    };
    for (const Case& c : {Case{3, -1, 3}, Case{3, 0, 0}, Case{3, 2, 2}}) {
        SCOPED_TRACE(c.failAt);
        FillingTree tree;
        SimTreeView display(tree);
        TTreeNode* root = tree.Add(nullptr, "root");
        {
            THourGlassScope outer;  // scopes nest: the inner one restores the hourglass
            if (c.failAt < 0) tree.FillChildren(*root, c.count, c.failAt);
            else EXPECT_THROW(tree.FillChildren(*root, c.count, c.failAt), std::runtime_error);
            EXPECT_EQ(Screen::Cursor(), TCursor::crHourGlass);
        }
        EXPECT_EQ(Screen::Cursor(), TCursor::crDefault);
        EXPECT_FALSE(tree.Updating());
        EXPECT_TRUE(display.Redrawing());
        EXPECT_FALSE(tree.busy);
        EXPECT_EQ(root->Count(), c.added);
        for (TCursor seen : tree.cursorsSeen) EXPECT_EQ(seen, TCursor::crHourGlass);
        tree.Clear();
        EXPECT_EQ(tree.frees, static_cast<int>(c.added));
    }
}

TEST(ViewBrackets, AnUpdateBracketShowsAListsAdditionsOnceAtItsEnd)
{
    TListView list;
    SimListView display(list);
    {
        TUpdateScope<TListView> outer(list);
        {
            TUpdateScope<TListView> inner(list);
            list.Add("a");
            list.Add("b");
        }
        EXPECT_FALSE(display.Redrawing());
        EXPECT_EQ(display.ShownCount(), 0u);
    }
    EXPECT_TRUE(display.Redrawing());
    EXPECT_EQ(display.ShownCount(), 2u);
}

TEST(ViewPayloads, OwnedUntilReplacedReleasedOrDeletedEvenWhenAHandlerThrows)
{
    int frees = 0;
    TTreeView tree;
    TTreeNode* node = tree.Add(nullptr, "a", Counted(frees));
    node->Data() = Counted(frees);  // the old one goes at once
    EXPECT_EQ(frees, 1);
    int kept = 0;
    TTreeNode* other = tree.Add(nullptr, "b", Counted(kept));
    EXPECT_EQ(other->Data().Release(), &kept);
    tree.Add(node, "a1", Counted(frees));
    tree.Add(node, "a2", Counted(frees));

    std::vector<std::string> reported;
    tree.OnDeletion = [&](TTreeNode& n) {
        reported.push_back(n.Text());
        if (n.Text() == "a1") throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(tree.Delete(node), std::runtime_error);
    EXPECT_EQ(reported, (std::vector<std::string>{"a1", "a2", "a"}));
    EXPECT_EQ(frees, 4);
    EXPECT_EQ(tree.Count(), 1u);
    tree.Clear();
    EXPECT_EQ(kept, 0);

    // Typed payloads are deleted as their type.
    auto counter = std::make_shared<int>(0);
    {
        TListView list;
        list.Add("x", TPayload::Own(std::make_unique<std::shared_ptr<int>>(counter)));
        EXPECT_EQ(counter.use_count(), 2);
    }
    EXPECT_EQ(counter.use_count(), 1);
}

}  // namespace
}  // namespace kp::ui
