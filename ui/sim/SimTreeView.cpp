#include "ui/sim/SimTreeView.h"

#include <algorithm>

namespace kp::ui {

SimTreeView::SimTreeView(TTreeView& tree) : tree_(tree) { tree_.SetDisplay(this); }

SimTreeView::~SimTreeView()
{
    if (alive_ && tree_.Display() == this) tree_.SetDisplay(nullptr);
}

void SimTreeView::Click(TTreeNode& node)
{
    tree_.UserSelected(&node);
    tree_.UserMouseDown(TMouseButton::mbLeft, 0, 0, &node);
}

void SimTreeView::DoubleClick(TTreeNode& node)
{
    Click(node);
    tree_.UserDblClick();
    Toggle(node);
}

void SimTreeView::Toggle(TTreeNode& node)
{
    const bool expand = !node.Expanded();
    if (expand && node.Count() == 0 && !node.HasChildren()) return;  // no button
    if (tree_.UserExpanding(node, expand)) tree_.UserExpanded(node, expand);
}

void SimTreeView::RightClick(TTreeNode* node)
{
    tree_.UserMouseDown(TMouseButton::mbRight, 0, 0, node);
    tree_.UserMouseUp(TMouseButton::mbRight, 0, 0, node);
}

void SimTreeView::Drag(TTreeNode& node)
{
    Click(node);
    tree_.UserStartDrag(node);
}

void SimTreeView::PressF2() { tree_.UserEditKey(); }

void SimTreeView::Type(const std::string& text)
{
    if (editor_) editText_ = text;
}

void SimTreeView::PressEnter() { Finish(false); }
void SimTreeView::PressEscape() { Finish(true); }

void SimTreeView::Finish(bool cancel)
{
    TTreeNode* node = std::exchange(editor_, nullptr);
    if (!node) return;
    tree_.UserEndEdit(*node, cancel ? std::nullopt : std::optional<std::string>(editText_));
}

void SimTreeView::Paint()
{
    drawn_.clear();
    PaintNodes(nullptr);
}

void SimTreeView::PaintNodes(TTreeNode* parent)
{
    const size_t count = parent ? parent->Count() : tree_.Count();
    for (size_t i = 0; i < count; ++i) {
        TTreeNode* node = parent ? parent->Item(i) : tree_.Item(i);
        // A node deleted by a handler while painting ends this paint.
        const size_t before = parent ? parent->Count() : tree_.Count();
        tree_.DisplayImageIndex(*node);
        drawn_.emplace_back(node, tree_.DisplaySelectedIndex(*node));
        if ((parent ? parent->Count() : tree_.Count()) != before) return;
        if (node->Expanded()) PaintNodes(node);
    }
}

int SimTreeView::DrawnSelectedIndex(const TTreeNode& node) const
{
    for (const auto& [drawnNode, index] : drawn_)
        if (drawnNode == &node) return index;
    return kNoImage;
}

void SimTreeView::Inserted(TTreeNode&) {}

void SimTreeView::Removing(TTreeNode& node)
{
    for (TTreeNode* n = editor_; n; n = n->Parent())
        if (n == &node) editor_ = nullptr;
    drawn_.erase(std::remove_if(drawn_.begin(), drawn_.end(), [&](const auto& d) {
                     for (const TTreeNode* n = d.first; n; n = n->Parent())
                         if (n == &node) return true;
                     return false;
                 }),
                 drawn_.end());
}

void SimTreeView::Changed(TTreeNode&, unsigned) {}
void SimTreeView::Reordered(TTreeNode*) {}
void SimTreeView::ShowExpanded(TTreeNode&, bool) {}
void SimTreeView::ShowSelected(TTreeNode*) {}
void SimTreeView::SetRedraw(bool redraw) { redraw_ = redraw; }

void SimTreeView::StartEdit(TTreeNode& node)
{
    if (editor_) Finish(false);
    if (!tree_.UserBeginEdit(node)) return;
    editor_ = &node;
    editText_ = node.Text();
}

void SimTreeView::StopEdit(bool cancel) { Finish(cancel); }

void SimTreeView::ReportFailure(const std::exception& failure)
{
    boxes_.push_back(failure.what());
    // A modal box over the view makes it paint again.
    Paint();
}

}  // namespace kp::ui
