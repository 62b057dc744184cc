#pragma once
// The view contracts' stages over the simulated displays.

#include "tests/contract/ViewContracts.h"
#include "ui/sim/SimComboBox.h"
#include "ui/sim/SimListView.h"
#include "ui/sim/SimPosting.h"
#include "ui/sim/SimTreeView.h"

#include <memory>

namespace kp::test {

// The view's posted work runs after each thing the user does, as the
// message loop runs it once the user's messages are handled.
class SimTreeViewStage final : public TreeViewStage {
public:
    void Show(ui::TTreeView& tree) override
    {
        display_ = std::make_unique<ui::SimTreeView>(tree), tree_ = &tree;
        display_->SetPosting(&posting_);
    }
    void Click(ui::TTreeNode& node) override { display_->Click(node), posting_.Drain(); }
    void DoubleClick(ui::TTreeNode& node) override { display_->DoubleClick(node), posting_.Drain(); }
    void StartDoubleClick(ui::TTreeNode& node) override { display_->DoubleClick(node); }
    void RightClick(ui::TTreeNode& node) override { display_->RightClick(&node), posting_.Drain(); }
    void PressF2() override { display_->PressF2(), posting_.Drain(); }
    void TypeAndEnter(const std::string& text) override
    {
        display_->Type(text), display_->PressEnter(), posting_.Drain();
    }
    void TypeAndEscape(const std::string& text) override
    {
        display_->Type(text), display_->PressEscape(), posting_.Drain();
    }
    void Paint() override { display_->Paint(); }
    std::string ShownText(ui::TTreeNode& node) override { return node.Text(); }
    bool ShownExpanded(ui::TTreeNode& node) override { return node.Expanded(); }
    ui::TTreeNode* ShownSelection() override { return tree_->Selected(); }
    int ShownImage(ui::TTreeNode& node) override { return node.ImageIndex(); }

private:
    ui::TTreeView* tree_ = nullptr;
    ui::SimPosting posting_;  // outlives the display and the pieces it runs
    std::unique_ptr<ui::SimTreeView> display_;
};

class SimListViewStage final : public ListViewStage {
public:
    void Show(ui::TListView& list) override { display_ = std::make_unique<ui::SimListView>(list), list_ = &list; }
    void Click(ui::TListItem& item) override { display_->Click(item); }
    void CtrlClick(ui::TListItem& item) override { display_->CtrlClick(item); }
    void DoubleClick(ui::TListItem& item) override { display_->DoubleClick(item); }
    void RightClick(ui::TListItem& item) override { display_->RightClick(&item); }
    void ClickColumn(size_t column) override { display_->ClickColumn(column); }
    void PressF2() override { display_->PressF2(); }
    void TypeAndEnter(const std::string& text) override { display_->Type(text), display_->PressEnter(); }
    void TypeAndEscape(const std::string& text) override { display_->Type(text), display_->PressEscape(); }
    size_t ShownCount() override { return display_->ShownCount(); }
    std::string ShownText(size_t row, size_t column) override { return display_->Rows().at(row).at(column); }
    size_t ShownColumns() override { return display_->ColumnCount(); }
    int ShownImage(size_t row) override { return list_->Item(row)->ImageIndex(); }
    int ShownOverlay(size_t row) override { return list_->Item(row)->OverlayIndex(); }

private:
    ui::TListView* list_ = nullptr;
    std::unique_ptr<ui::SimListView> display_;
};

class SimComboBoxStage final : public ComboBoxStage {
public:
    void Show(ui::TComboBox& combo) override { display_ = std::make_unique<ui::SimComboBox>(combo), combo_ = &combo; }
    void DropDown() override { display_->DropDown(); }
    void PickNext() override
    {
        const int next = combo_->ItemIndex() + 1;
        if (next < static_cast<int>(combo_->Count())) {
            display_->ShowItemIndex(next);
            combo_->UserPicked(next);
        }
    }
    void CloseUp() override { display_->CloseUp(); }
    void Paint() override { display_->Paint(); }
    size_t ShownCount() override { return display_->ShownCount(); }
    int ShownIndex() override { return display_->ShownIndex(); }

private:
    ui::TComboBox* combo_ = nullptr;
    std::unique_ptr<ui::SimComboBox> display_;
};

}  // namespace kp::test
