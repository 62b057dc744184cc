#pragma once
// A tree view's display for tests: keeps what a real one shows (redraw
// state, the label edit in progress, boxes reported) and plays the user's
// doing as the platform's control reports it: clicks, double-clicks,
// right clicks, the expand button, F2, typing, Enter and Esc, painting.

#include "ui/TreeView.h"

#include <string>
#include <vector>

namespace kp::ui {

class SimTreeView final : public TreeViewDisplay {
public:
    explicit SimTreeView(TTreeView& tree);
    ~SimTreeView() override;
    SimTreeView(const SimTreeView&) = delete;
    SimTreeView& operator=(const SimTreeView&) = delete;

    // ---- The user ----
    // A left press and release on a node: selects it.
    void Click(TTreeNode& node);
    // A left double-click: selects, reports it, then toggles the node.
    void DoubleClick(TTreeNode& node);
    // The expand button.
    void Toggle(TTreeNode& node);
    // A right press and release over a node (nullptr: over no node).
    void RightClick(TTreeNode* node);
    // A left press on a node dragged away.
    void Drag(TTreeNode& node);
    void PressF2();
    // The pointer moves over the tree.
    void MouseMove(int x, int y) { tree_.UserMouseMove(x, y); }
    // Types into the label editor (replacing its text).
    void Type(const std::string& text);
    void PressEnter();
    void PressEscape();
    // Draws every visible node (asking for its images).
    void Paint();

    // ---- What it shows ----
    bool Redrawing() const { return redraw_; }
    bool EditorShown() const { return editor_ != nullptr; }
    // Messages of the failures reported (each a box).
    const std::vector<std::string>& Boxes() const { return boxes_; }
    // The selected image drawn for each node at the last Paint.
    int DrawnSelectedIndex(const TTreeNode& node) const;

    // ---- TreeViewDisplay ----
    void Inserted(TTreeNode& node) override;
    void Removing(TTreeNode& node) override;
    void Changed(TTreeNode& node, unsigned what) override;
    void Reordered(TTreeNode* parent) override;
    void ShowExpanded(TTreeNode& node, bool expanded) override;
    void ShowSelected(TTreeNode* node) override;
    void SetRedraw(bool redraw) override;
    void StartEdit(TTreeNode& node) override;
    void StopEdit(bool cancel) override;
    void OptionsChanged() override {}
    PostingService* Posting() override { return posting_; }
    // Where the tree's pieces of work go (a SimPosting the test runs);
    // nullptr: the tree does such work at once.
    void SetPosting(PostingService* posting) { posting_ = posting; }
    void Detached() override { alive_ = false; }
    void ReportFailure(const std::exception& failure) override;

private:
    bool alive_ = true;
    void PaintNodes(TTreeNode* parent);
    void Finish(bool cancel);

    TTreeView& tree_;
    PostingService* posting_ = nullptr;
    bool redraw_ = true;
    TTreeNode* editor_ = nullptr;
    std::string editText_;
    std::vector<std::string> boxes_;
    std::vector<std::pair<const TTreeNode*, int>> drawn_;
};

}  // namespace kp::ui
