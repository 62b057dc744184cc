#pragma once
// Contract suites of the tree view, the list view and the combo box: the
// same user stories played on each display (the simulation, and under Wine
// the platform's controls driven by posted mouse and key messages), with
// the notifications the components raise compared.

#include "tests/contract/Contract.h"
#include "ui/ComboBox.h"
#include "ui/ListView.h"
#include "ui/TreeView.h"

#include <string>

namespace kp::test {

// Shows a component the test owns and plays the user on it.
class TreeViewStage {
public:
    virtual ~TreeViewStage() = default;
    virtual void Show(ui::TTreeView& tree) = 0;
    virtual void Click(ui::TTreeNode& node) = 0;
    virtual void DoubleClick(ui::TTreeNode& node) = 0;
    // A double-click whose posted work (a read in pieces) is left waiting:
    // returns once the view has posted some, before it runs.
    virtual void StartDoubleClick(ui::TTreeNode& node) = 0;
    virtual void RightClick(ui::TTreeNode& node) = 0;
    virtual void PressF2() = 0;
    virtual void TypeAndEnter(const std::string& text) = 0;
    virtual void TypeAndEscape(const std::string& text) = 0;
    // Draws the whole view now.
    virtual void Paint() = 0;
    // The label the control shows for a node.
    virtual std::string ShownText(ui::TTreeNode& node) = 0;
    virtual bool ShownExpanded(ui::TTreeNode& node) = 0;
    virtual ui::TTreeNode* ShownSelection() = 0;
    virtual int ShownImage(ui::TTreeNode& node) = 0;
};

class ListViewStage {
public:
    virtual ~ListViewStage() = default;
    virtual void Show(ui::TListView& list) = 0;
    virtual void Click(ui::TListItem& item) = 0;
    virtual void CtrlClick(ui::TListItem& item) = 0;
    virtual void DoubleClick(ui::TListItem& item) = 0;
    virtual void RightClick(ui::TListItem& item) = 0;
    virtual void ClickColumn(size_t column) = 0;
    virtual void PressF2() = 0;
    virtual void TypeAndEnter(const std::string& text) = 0;
    virtual void TypeAndEscape(const std::string& text) = 0;
    virtual size_t ShownCount() = 0;
    virtual std::string ShownText(size_t row, size_t column) = 0;
    virtual size_t ShownColumns() = 0;
    virtual int ShownImage(size_t row) = 0;
    virtual int ShownOverlay(size_t row) = 0;
};

class ComboBoxStage {
public:
    virtual ~ComboBoxStage() = default;
    virtual void Show(ui::TComboBox& combo) = 0;
    virtual void DropDown() = 0;
    // The user moves to the next entry (in the dropped list or the box).
    virtual void PickNext() = 0;
    virtual void CloseUp() = 0;
    virtual void Paint() = 0;
    virtual size_t ShownCount() = 0;
    virtual int ShownIndex() = 0;
};

class TreeViewContract : public ::testing::TestWithParam<Implementation<TreeViewStage>> {
protected:
    void SetUp() override { stage = GetParam().make(); }
    std::unique_ptr<TreeViewStage> stage;
};

class ListViewContract : public ::testing::TestWithParam<Implementation<ListViewStage>> {
protected:
    void SetUp() override { stage = GetParam().make(); }
    std::unique_ptr<ListViewStage> stage;
};

class ComboBoxContract : public ::testing::TestWithParam<Implementation<ComboBoxStage>> {
protected:
    void SetUp() override { stage = GetParam().make(); }
    std::unique_ptr<ComboBoxStage> stage;
};

}  // namespace kp::test
