#pragma once
// The framework's tree view: nodes with a text, an owned payload, a normal
// and a selected image index and an expand-button flag; one selection;
// expansion that consults CanExpand; label editing with a cancel; mouse,
// double-click, selection, deletion and display-info notifications.
//
// The component keeps the nodes; a display (TreeViewDisplay) shows them: a
// SysTreeView32 on Win32 (ui/win32/Win32TreeView.h), a simulation in tests
// (ui/sim/SimTreeView.h). The display reports what the user did through
// the User* calls, which raise the same virtual hooks and events whichever
// display is attached. Without a display the component is a plain model.
//
// Derived components override the hooks (CanExpand, CanEdit, Change, Edit,
// MouseDown, MouseUp, DblClick, Deletion, GetSelectedIndex), call the base
// for the framework's behaviour and raise the events there.

#include "ui/Posting.h"
#include "ui/ViewTypes.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kp::ui {

class TTreeView;

class TTreeNode {
public:
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;

    TTreeView& Owner() const { return owner_; }
    TTreeNode* Parent() const { return parent_; }
    // 0 for a top-level node.
    int Level() const;
    // The position among its parent's children.
    size_t Index() const;
    size_t Count() const { return children_.size(); }
    TTreeNode* Item(size_t index) const { return children_[index].get(); }

    const std::string& Text() const { return text_; }
    void SetText(std::string text);
    // Reading an index set to kImageCallback asks the component for it.
    int ImageIndex() const;
    void SetImageIndex(int index);
    int SelectedIndex() const;
    void SetSelectedIndex(int index);
    // An index is still to be asked for (what a display shows as a callback).
    bool ImagePending() const { return imageIndex_ == kImageCallback || selectedIndex_ == kImageCallback; }
    // Shows the expand button although no child was added yet.
    bool HasChildren() const { return hasChildren_; }
    void SetHasChildren(bool hasChildren);
    bool Expanded() const { return expanded_; }

    TPayload& Data() { return data_; }
    const TPayload& Data() const { return data_; }

    // The display's handle of this node (an HTREEITEM on Win32).
    void* DisplayHandle() const { return handle_; }
    void SetDisplayHandle(void* handle) { handle_ = handle; }

private:
    friend class TTreeView;
    TTreeNode(TTreeView& owner, TTreeNode* parent, std::string text, TPayload data);

    TTreeView& owner_;
    TTreeNode* parent_;
    std::string text_;
    TPayload data_;
    int imageIndex_ = kNoImage;
    int selectedIndex_ = kNoImage;
    bool hasChildren_ = false;
    bool expanded_ = false;
    void* handle_ = nullptr;
    std::vector<std::unique_ptr<TTreeNode>> children_;
};

// What shows a tree view. Each call mirrors a change of the component.
class TreeViewDisplay {
public:
    virtual ~TreeViewDisplay() = default;
    // The node was added at its Index() under its parent.
    virtual void Inserted(TTreeNode& node) = 0;
    // The node and its children go; called before they are freed.
    virtual void Removing(TTreeNode& node) = 0;
    // What of a node changed (a combination of the flags).
    enum Change : unsigned { kText = 1, kImage = 2, kChildren = 4, kAll = 7 };
    virtual void Changed(TTreeNode& node, unsigned what) = 0;
    // The children of `parent` (nullptr: the top level) have a new order.
    virtual void Reordered(TTreeNode* parent) = 0;
    virtual void ShowExpanded(TTreeNode& node, bool expanded) = 0;
    virtual void ShowSelected(TTreeNode* node) = 0;
    // False while an update bracket is open.
    virtual void SetRedraw(bool redraw) = 0;
    virtual void StartEdit(TTreeNode& node) = 0;
    virtual void StopEdit(bool cancel) = 0;
    // Images, read-only state, buttons, lines, root lines.
    virtual void OptionsChanged() = 0;
    // A handler failed where nothing can unwind (the drawing path).
    virtual void ReportFailure(const std::exception& failure) = 0;
    // The component goes first: show nothing, forget it.
    virtual void Detached() = 0;
    // Where work cut into pieces runs between the display's messages
    // (nullptr: nowhere; such work is done at once).
    virtual PostingService* Posting() { return nullptr; }
};

class TTreeView {
public:
    TTreeView();
    virtual ~TTreeView();
    TTreeView(const TTreeView&) = delete;
    TTreeView& operator=(const TTreeView&) = delete;

    // Shows the component on a display (nullptr: none); the display is
    // told of every node already there.
    void SetDisplay(TreeViewDisplay* display);
    TreeViewDisplay* Display() const { return display_; }

    // ---- Options ----
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    // Buttons and lines before the top-level nodes.
    bool ShowRoot() const { return showRoot_; }
    void SetShowRoot(bool showRoot);
    // A right click reports the node under the pointer to MouseUp (the
    // selection itself does not change).
    bool RightClickSelect() const { return rightClickSelect_; }
    void SetRightClickSelect(bool on) { rightClickSelect_ = on; }
    TImageList Images() const { return images_; }
    void SetImages(TImageList images);
    // How far each level is indented, in pixels at 96 DPI (0: the
    // display's own).
    int Indent() const { return indent_; }
    void SetIndent(int indent);

    // ---- Nodes ----
    size_t Count() const { return roots_.size(); }
    TTreeNode* Item(size_t index) const { return roots_[index].get(); }
    // Appends a child of `parent` (nullptr: a top-level node).
    TTreeNode* Add(TTreeNode* parent, std::string text, TPayload data = {});
    // How a node looks from the start: the display is told of it once.
    struct TNodeLook {
        int imageIndex = kNoImage;
        int selectedIndex = kNoImage;
        bool hasChildren = false;
    };
    TTreeNode* Add(TTreeNode* parent, std::string text, TPayload data, const TNodeLook& look);
    // Deletes a node with its children (each raises Deletion, then its
    // payload is freed).
    void Delete(TTreeNode* node);
    void Clear();
    // Sorts the children of `parent` (nullptr: the top level); stable.
    using Compare = std::function<int(const TTreeNode&, const TTreeNode&)>;
    void SortChildren(TTreeNode* parent, const Compare& compare);
    // Every node in display order (depth first), for tests and searches.
    std::vector<TTreeNode*> AllNodes() const;

    // ---- Update bracket (see TUpdateScope) ----
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return updateDepth_ > 0; }

    // ---- Selection and expansion ----
    TTreeNode* Selected() const { return selected_; }
    // Selects a node (nullptr: none) and raises Change when it differs.
    void Select(TTreeNode* node);
    // Expands without recursion when CanExpand agrees; false otherwise.
    bool Expand(TTreeNode& node);
    void Collapse(TTreeNode& node);

    // ---- Label editing ----
    // Starts editing a node's label when CanEdit agrees.
    bool EditLabel(TTreeNode& node);
    TTreeNode* Editing() const { return editing_; }
    // Ends the edit the user is making: the display keeps or drops the text.
    void EndEditLabel(bool cancel);

    // ---- Events ----
    std::function<void(TTreeNode& node, bool& allow)> OnExpanding;
    std::function<void(TTreeNode& node)> OnExpanded;
    std::function<void(TTreeNode& node, bool& allow)> OnCollapsing;
    std::function<void(TTreeNode& node)> OnCollapsed;
    std::function<void(TTreeNode* node)> OnChange;
    std::function<void(TTreeNode& node, bool& allow)> OnEditing;
    // The label edit ended with Enter; the handler may change the text.
    std::function<void(TTreeNode& node, std::string& text)> OnEdited;
    std::function<void(TTreeNode& node)> OnCancelEdit;
    // `node`: the node under the pointer (see RightClickSelect), else the
    // selection; may be nullptr.
    std::function<void(TMouseButton button, int x, int y, TTreeNode* node)> OnMouseDown;
    std::function<void(TMouseButton button, int x, int y, TTreeNode* node)> OnMouseUp;
    std::function<void()> OnDblClick;
    // A left drag started on a node.
    std::function<void(TTreeNode& node)> OnStartDrag;
    // The pointer moved over the view (client coordinates).
    std::function<void(int x, int y)> OnMouseMove;
    // Raised for each node deleted, before its payload is freed.
    std::function<void(TTreeNode& node)> OnDeletion;
    // Asked when the display draws a node's selected image; may set it.
    std::function<void(TTreeNode& node)> OnGetSelectedIndex;
    // Asked when an index set to kImageCallback is first read (the node is
    // drawn); sets the node's image and selected indexes.
    std::function<void(TTreeNode& node)> OnGetImageIndex;
    // What a handler throws on the drawing path; without it the display
    // reports it (a box on Win32).
    ViewErrorHandler OnException;

    // ---- What the display reports (the user's doing) ----
    void UserSelected(TTreeNode* node);
    // Before the display expands or collapses a node: false refuses.
    bool UserExpanding(TTreeNode& node, bool expand);
    void UserExpanded(TTreeNode& node, bool expanded);
    // F2 pressed: edits the selected node.
    void UserEditKey();
    bool UserBeginEdit(TTreeNode& node);
    // nullopt: cancelled (Esc, focus lost). The display then shows the
    // node's label, whatever was typed.
    void UserEndEdit(TTreeNode& node, std::optional<std::string> text);
    // `under`: the node under the pointer, or nullptr.
    void UserMouseDown(TMouseButton button, int x, int y, TTreeNode* under);
    void UserMouseUp(TMouseButton button, int x, int y, TTreeNode* under);
    void UserDblClick();
    void UserStartDrag(TTreeNode& node);
    void UserMouseMove(int x, int y);
    // The display draws the node's selected image: the index to draw.
    // OnGetSelectedIndex is not raised again while a handler of it runs.
    int DisplaySelectedIndex(TTreeNode& node);
    // The display draws the node's image: the index to draw.
    int DisplayImageIndex(TTreeNode& node);

protected:
    // The framework's answers; derived components override, calling these.
    virtual bool CanExpand(TTreeNode& node);
    virtual bool CanCollapse(TTreeNode& node);
    virtual bool CanEdit(TTreeNode& node);
    virtual void Change(TTreeNode* node);
    // The label edit ended with Enter; `text` is the new label, already set.
    virtual void Edit(TTreeNode& node, const std::string& text);
    virtual void MouseDown(TMouseButton button, int x, int y, TTreeNode* node);
    virtual void MouseUp(TMouseButton button, int x, int y, TTreeNode* node);
    virtual void DblClick();
    virtual void StartDrag(TTreeNode& node);
    virtual void Deletion(TTreeNode& node);
    virtual void GetSelectedIndex(TTreeNode& node);
    // Sets the indexes left as kImageCallback.
    virtual void GetImageIndex(TTreeNode& node);
    // True while CanExpand answers an expansion the display reports (the
    // user's), false while it answers the program's Expand.
    bool UserExpansion() const { return userExpansion_; }
    // Another display (or none) shows the component; work posted to the
    // old one's Posting will not run.
    virtual void DisplayChanged() {}

private:
    friend class TTreeNode;
    void NodeChanged(TTreeNode& node, unsigned what);
    void Forget(TTreeNode& node, std::exception_ptr& failure);
    void ShowAll(TTreeNode* parent, const std::vector<std::unique_ptr<TTreeNode>>& nodes);
    void CollectAll(const std::vector<std::unique_ptr<TTreeNode>>& nodes, std::vector<TTreeNode*>& out) const;
    std::vector<std::unique_ptr<TTreeNode>>& ChildrenOf(TTreeNode* parent);
    void ReportFailure(const std::exception& failure);
    // Asks for the pending indexes once; what stays pending is no image.
    void ResolveImages(TTreeNode& node);

    TreeViewDisplay* display_ = nullptr;
    std::vector<std::unique_ptr<TTreeNode>> roots_;
    TTreeNode* selected_ = nullptr;
    TTreeNode* editing_ = nullptr;
    TImageList images_ = 0;
    int indent_ = 0;
    int updateDepth_ = 0;
    bool readOnly_ = false;
    bool showRoot_ = false;
    bool rightClickSelect_ = false;
    bool inDisplayInfo_ = false;
    bool userExpansion_ = false;
    bool resolvingImages_ = false;
    bool imageFailureShown_ = false;
};

}  // namespace kp::ui
