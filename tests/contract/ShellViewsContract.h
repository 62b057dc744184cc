#pragma once
// The folder tree, file list and folder combo over the simulated shell, shown
// on a display of each kind (the simulation, and under Wine the platform's
// controls driven by posted messages): the browsing stories the pane relies
// on give the same answers on both.

#include "tests/contract/ViewContracts.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace kp::test {

// One display stage for each of the three components.
struct ShellViewStages {
    std::unique_ptr<TreeViewStage> tree;
    std::unique_ptr<ListViewStage> list;
    std::unique_ptr<ComboBoxStage> combo;
};

template <class Tree, class List, class Combo>
Implementation<ShellViewStages> ShellStages(std::string name)
{
    return {std::move(name), [] {
                return std::make_unique<ShellViewStages>(ShellViewStages{
                    std::make_unique<Tree>(), std::make_unique<List>(), std::make_unique<Combo>()});
            }};
}

// The three components linked as the pane links them, over the simulated
// shell (defined with the suite).
class ShellPane;

class ShellViewsContract : public ::testing::TestWithParam<Implementation<ShellViewStages>> {
protected:
    ShellViewsContract();
    ~ShellViewsContract() override;
    void SetUp() override;
    void TearDown() override;

    // Clicks and opens the tree's nodes down from the root by their texts.
    ui::TTreeNode* ClickThrough(std::initializer_list<const char*> texts);
    // The texts the list shows in one column, top to bottom.
    std::vector<std::string> ShownColumn(size_t column);

    std::unique_ptr<ShellViewStages> stages;
    std::unique_ptr<ShellPane> pane;
    long liveBefore = 0;
};

}  // namespace kp::test
