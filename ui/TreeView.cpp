#include "ui/TreeView.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace kp::ui {

// ---- TTreeNode ------------------------------------------------------------------

TTreeNode::TTreeNode(TTreeView& owner, TTreeNode* parent, std::string text, TPayload data)
    : owner_(owner), parent_(parent), text_(std::move(text)), data_(std::move(data))
{
}

int TTreeNode::Level() const
{
    int level = 0;
    for (const TTreeNode* node = parent_; node; node = node->parent_) ++level;
    return level;
}

size_t TTreeNode::Index() const
{
    const auto& siblings = owner_.ChildrenOf(parent_);
    for (size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == this) return i;
    return siblings.size();
}

void TTreeNode::SetText(std::string text)
{
    if (text == text_) return;
    text_ = std::move(text);
    owner_.NodeChanged(*this, TreeViewDisplay::kText);
}

int TTreeNode::ImageIndex() const
{
    if (imageIndex_ == kImageCallback) owner_.ResolveImages(const_cast<TTreeNode&>(*this));
    return imageIndex_ == kImageCallback ? kNoImage : imageIndex_;
}

int TTreeNode::SelectedIndex() const
{
    if (selectedIndex_ == kImageCallback) owner_.ResolveImages(const_cast<TTreeNode&>(*this));
    return selectedIndex_ == kImageCallback ? kNoImage : selectedIndex_;
}

void TTreeNode::SetImageIndex(int index)
{
    if (index == imageIndex_) return;
    imageIndex_ = index;
    // Asked for while drawing: the display draws what comes back.
    if (!owner_.resolvingImages_) owner_.NodeChanged(*this, TreeViewDisplay::kImage);
}

void TTreeNode::SetSelectedIndex(int index)
{
    if (index == selectedIndex_) return;
    selectedIndex_ = index;
    if (!owner_.inDisplayInfo_ && !owner_.resolvingImages_) owner_.NodeChanged(*this, TreeViewDisplay::kImage);
}

void TTreeNode::SetHasChildren(bool hasChildren)
{
    if (hasChildren == hasChildren_) return;
    hasChildren_ = hasChildren;
    owner_.NodeChanged(*this, TreeViewDisplay::kChildren);
}

// ---- TTreeView ------------------------------------------------------------------

TTreeView::TTreeView() = default;

TTreeView::~TTreeView()
{
    if (display_) display_->Detached();
    display_ = nullptr;
    // Deletion hooks of derived classes are gone: the payloads are freed
    // without notifications.
    selected_ = nullptr;
    roots_.clear();
}

std::vector<std::unique_ptr<TTreeNode>>& TTreeView::ChildrenOf(TTreeNode* parent)
{
    return parent ? parent->children_ : roots_;
}

void TTreeView::SetDisplay(TreeViewDisplay* display)
{
    const bool changed = display != display_;
    display_ = display;
    if (changed) DisplayChanged();
    if (!display_) return;
    display_->OptionsChanged();
    ShowAll(nullptr, roots_);
    display_->ShowSelected(selected_);
}

void TTreeView::ShowAll(TTreeNode* parent, const std::vector<std::unique_ptr<TTreeNode>>& nodes)
{
    for (const auto& node : nodes) {
        display_->Inserted(*node);
        ShowAll(node.get(), node->children_);
        if (node->expanded_) display_->ShowExpanded(*node, true);
    }
    (void)parent;
}

void TTreeView::SetReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    if (display_) display_->OptionsChanged();
}

void TTreeView::SetIndent(int indent)
{
    if (indent < 0 || indent == indent_) return;
    indent_ = indent;
    if (display_) display_->OptionsChanged();
}

void TTreeView::SetShowRoot(bool showRoot)
{
    showRoot_ = showRoot;
    if (display_) display_->OptionsChanged();
}

void TTreeView::SetImages(TImageList images)
{
    images_ = images;
    if (display_) display_->OptionsChanged();
}

TTreeNode* TTreeView::Add(TTreeNode* parent, std::string text, TPayload data)
{
    return Add(parent, std::move(text), std::move(data), TNodeLook{});
}

TTreeNode* TTreeView::Add(TTreeNode* parent, std::string text, TPayload data, const TNodeLook& look)
{
    auto& siblings = ChildrenOf(parent);
    siblings.push_back(std::unique_ptr<TTreeNode>(new TTreeNode(*this, parent, std::move(text), std::move(data))));
    TTreeNode* node = siblings.back().get();
    node->imageIndex_ = look.imageIndex;
    node->selectedIndex_ = look.selectedIndex;
    node->hasChildren_ = look.hasChildren;
    if (display_) display_->Inserted(*node);
    return node;
}

void TTreeView::Forget(TTreeNode& node, std::exception_ptr& failure)
{
    for (const auto& child : node.children_) Forget(*child, failure);
    if (editing_ == &node) editing_ = nullptr;
    // The payload is still there for the handlers; it goes with the node.
    try {
        Deletion(node);
    } catch (...) {
        if (!failure) failure = std::current_exception();
    }
}

void TTreeView::Delete(TTreeNode* node)
{
    if (!node) return;
    bool selectionGone = false;
    for (TTreeNode* n = selected_; n; n = n->parent_)
        if (n == node) selectionGone = true;
    if (display_) display_->Removing(*node);
    if (selectionGone) selected_ = nullptr;
    // Every node is reported (and its payload freed) even when a handler
    // throws for another; the first failure goes on afterwards.
    std::exception_ptr failure;
    Forget(*node, failure);
    auto& siblings = ChildrenOf(node->parent_);
    const auto found = std::find_if(siblings.begin(), siblings.end(), [&](const auto& p) { return p.get() == node; });
    std::unique_ptr<TTreeNode> owned = std::move(*found);
    siblings.erase(found);
    owned.reset();
    if (selectionGone) {
        // The platform's control picks another node itself: none is shown.
        if (display_) display_->ShowSelected(nullptr);
        Change(nullptr);
    }
    if (failure) std::rethrow_exception(failure);
}

void TTreeView::Clear()
{
    TUpdateScope<TTreeView> bracket(*this);
    while (!roots_.empty()) Delete(roots_.back().get());
}

void TTreeView::SortChildren(TTreeNode* parent, const Compare& compare)
{
    auto& children = ChildrenOf(parent);
    std::stable_sort(children.begin(), children.end(),
                     [&](const auto& a, const auto& b) { return compare(*a, *b) < 0; });
    if (display_) display_->Reordered(parent);
}

void TTreeView::CollectAll(const std::vector<std::unique_ptr<TTreeNode>>& nodes, std::vector<TTreeNode*>& out) const
{
    for (const auto& node : nodes) {
        out.push_back(node.get());
        CollectAll(node->children_, out);
    }
}

std::vector<TTreeNode*> TTreeView::AllNodes() const
{
    std::vector<TTreeNode*> out;
    CollectAll(roots_, out);
    return out;
}

void TTreeView::BeginUpdate()
{
    if (updateDepth_++ == 0 && display_) display_->SetRedraw(false);
}

void TTreeView::EndUpdate()
{
    if (updateDepth_ > 0 && --updateDepth_ == 0 && display_) display_->SetRedraw(true);
}

void TTreeView::NodeChanged(TTreeNode& node, unsigned what)
{
    if (display_) display_->Changed(node, what);
}

// ---- Selection and expansion ---------------------------------------------------

void TTreeView::Select(TTreeNode* node)
{
    if (node == selected_) return;
    selected_ = node;
    if (display_) display_->ShowSelected(node);
    Change(node);
}

void TTreeView::UserSelected(TTreeNode* node)
{
    if (node == selected_) return;
    selected_ = node;
    Change(node);
}

namespace {

// Gives a flag a value for the scope's life and its earlier value back.
class TValueScope {
public:
    TValueScope(bool& flag, bool value) : flag_(flag), saved_(std::exchange(flag, value)) {}
    ~TValueScope() { flag_ = saved_; }
    TValueScope(const TValueScope&) = delete;
    TValueScope& operator=(const TValueScope&) = delete;

private:
    bool& flag_;
    bool saved_;
};

}  // namespace

bool TTreeView::Expand(TTreeNode& node)
{
    if (node.expanded_) return true;
    {
        TValueScope program(userExpansion_, false);
        if (!CanExpand(node)) return false;
    }
    node.expanded_ = true;
    if (display_) display_->ShowExpanded(node, true);
    if (OnExpanded) OnExpanded(node);
    return true;
}

void TTreeView::Collapse(TTreeNode& node)
{
    if (!node.expanded_) return;
    {
        TValueScope program(userExpansion_, false);
        if (!CanCollapse(node)) return;
    }
    node.expanded_ = false;
    if (display_) display_->ShowExpanded(node, false);
    if (OnCollapsed) OnCollapsed(node);
}

bool TTreeView::UserExpanding(TTreeNode& node, bool expand)
{
    TValueScope user(userExpansion_, true);
    return expand ? CanExpand(node) : CanCollapse(node);
}

void TTreeView::UserExpanded(TTreeNode& node, bool expanded)
{
    if (node.expanded_ == expanded) return;
    node.expanded_ = expanded;
    if (expanded && OnExpanded) OnExpanded(node);
    if (!expanded && OnCollapsed) OnCollapsed(node);
}

bool TTreeView::CanExpand(TTreeNode& node)
{
    bool allow = true;
    if (OnExpanding) OnExpanding(node, allow);
    // Nothing to show: the button goes.
    return allow && (node.Count() > 0 || node.hasChildren_);
}

bool TTreeView::CanCollapse(TTreeNode& node)
{
    bool allow = true;
    if (OnCollapsing) OnCollapsing(node, allow);
    return allow;
}

void TTreeView::Change(TTreeNode* node)
{
    if (OnChange) OnChange(node);
}

// ---- Label editing -----------------------------------------------------------

bool TTreeView::EditLabel(TTreeNode& node)
{
    if (editing_) EndEditLabel(false);
    if (!display_) return UserBeginEdit(node);
    // The display asks UserBeginEdit.
    display_->StartEdit(node);
    return editing_ == &node;
}

void TTreeView::EndEditLabel(bool cancel)
{
    if (editing_ && display_) display_->StopEdit(cancel);
}

void TTreeView::UserEditKey()
{
    if (selected_) EditLabel(*selected_);
}

bool TTreeView::UserBeginEdit(TTreeNode& node)
{
    if (!CanEdit(node)) return false;
    editing_ = &node;
    return true;
}

bool TTreeView::CanEdit(TTreeNode& node)
{
    bool allow = !readOnly_;
    if (allow && OnEditing) OnEditing(node, allow);
    return allow;
}

void TTreeView::UserEndEdit(TTreeNode& node, std::optional<std::string> text)
{
    if (editing_ != &node) return;
    editing_ = nullptr;
    if (!text) {
        if (OnCancelEdit) OnCancelEdit(node);
        if (display_) display_->Changed(node, TreeViewDisplay::kText);
        return;
    }
    if (OnEdited) OnEdited(node, *text);
    node.text_ = *text;
    if (display_) display_->Changed(node, TreeViewDisplay::kText);
    Edit(node, *text);
}

void TTreeView::Edit(TTreeNode&, const std::string&) {}

// ---- Mouse -------------------------------------------------------------------

void TTreeView::UserMouseDown(TMouseButton button, int x, int y, TTreeNode* under)
{
    MouseDown(button, x, y, under ? under : selected_);
}

void TTreeView::UserMouseUp(TMouseButton button, int x, int y, TTreeNode* under)
{
    TTreeNode* reported = selected_;
    if (button == TMouseButton::mbRight && rightClickSelect_ && under) reported = under;
    MouseUp(button, x, y, reported);
}

void TTreeView::MouseDown(TMouseButton button, int x, int y, TTreeNode* node)
{
    if (OnMouseDown) OnMouseDown(button, x, y, node);
}

void TTreeView::MouseUp(TMouseButton button, int x, int y, TTreeNode* node)
{
    if (OnMouseUp) OnMouseUp(button, x, y, node);
}

void TTreeView::UserDblClick() { DblClick(); }

void TTreeView::UserMouseMove(int x, int y)
{
    if (OnMouseMove) OnMouseMove(x, y);
}

void TTreeView::DblClick()
{
    if (OnDblClick) OnDblClick();
}

void TTreeView::UserStartDrag(TTreeNode& node) { StartDrag(node); }

void TTreeView::StartDrag(TTreeNode& node)
{
    if (OnStartDrag) OnStartDrag(node);
}

void TTreeView::Deletion(TTreeNode& node)
{
    if (OnDeletion) OnDeletion(node);
}

// ---- Drawing path --------------------------------------------------------------

void TTreeView::ResolveImages(TTreeNode& node)
{
    // A box shown by a failing handler repaints the view: nodes drawn
    // meanwhile show no image and are asked again later.
    // Failures in a row show one box: a shell that gives no icon for one
    // item gives none for the others either.
    if (resolvingImages_) return;
    {
        TFlagScope running(resolvingImages_);
        try {
            GetImageIndex(node);
            imageFailureShown_ = false;
        } catch (const std::exception& failure) {
            if (!std::exchange(imageFailureShown_, true)) ReportFailure(failure);
        } catch (...) {
            if (!std::exchange(imageFailureShown_, true))
                ReportFailure(std::runtime_error("予期しないエラーが発生しました。"));
        }
    }
    if (node.imageIndex_ == kImageCallback) node.imageIndex_ = kNoImage;
    if (node.selectedIndex_ == kImageCallback) node.selectedIndex_ = kNoImage;
}

int TTreeView::DisplayImageIndex(TTreeNode& node) { return node.ImageIndex(); }

void TTreeView::GetImageIndex(TTreeNode& node)
{
    if (OnGetImageIndex) OnGetImageIndex(node);
}

int TTreeView::DisplaySelectedIndex(TTreeNode& node)
{
    if (node.selectedIndex_ == kImageCallback) ResolveImages(node);
    if (inDisplayInfo_) return node.SelectedIndex();
    TFlagScope running(inDisplayInfo_);
    // Reported while the flag is still set: a box that repaints the view
    // draws the stored index instead of asking again.
    try {
        GetSelectedIndex(node);
    } catch (const std::exception& failure) {
        ReportFailure(failure);
    } catch (...) {
        ReportFailure(std::runtime_error("予期しないエラーが発生しました。"));
    }
    return node.SelectedIndex();
}

void TTreeView::GetSelectedIndex(TTreeNode& node)
{
    if (OnGetSelectedIndex) OnGetSelectedIndex(node);
}

void TTreeView::ReportFailure(const std::exception& failure)
{
    if (OnException) OnException(failure);
    else if (display_) display_->ReportFailure(failure);
}

}  // namespace kp::ui
