#include "ui/win32/Win32TreeView.h"

#include <windowsx.h>

#include <algorithm>
#include <unordered_map>

namespace kp::ui {

namespace {

HTREEITEM HandleOf(const TTreeNode& node) { return static_cast<HTREEITEM>(node.DisplayHandle()); }

int CALLBACK ByPosition(LPARAM a, LPARAM b, LPARAM positions)
{
    const auto& map = *reinterpret_cast<const std::unordered_map<LPARAM, size_t>*>(positions);
    const size_t x = map.at(a);
    const size_t y = map.at(b);
    return x < y ? -1 : x > y ? 1 : 0;
}

}  // namespace

Win32TreeView::Win32TreeView(HWND window, TTreeView& tree, const ExceptionHandler& handler)
    : Win32ViewWindow(window, handler), tree_(tree)
{
    tree_.SetDisplay(this);
}

Win32TreeView::~Win32TreeView()
{
    if (alive_) {
        if (tree_.Display() == this) tree_.SetDisplay(nullptr);
        for (TTreeNode* node : tree_.AllNodes()) node->SetDisplayHandle(nullptr);
    }
    Detached();
}

void Win32TreeView::Detached()
{
    alive_ = false;
    if (IsWindow(Handle())) {
        TFlagScope applying(applying_);
        TreeView_DeleteAllItems(Handle());
    }
}

TTreeNode* Win32TreeView::NodeOf(HTREEITEM item) const
{
    if (!item) return nullptr;
    TVITEMW data{};
    data.mask = TVIF_PARAM | TVIF_HANDLE;
    data.hItem = item;
    if (!TreeView_GetItem(Handle(), &data)) return nullptr;
    return reinterpret_cast<TTreeNode*>(data.lParam);
}

TTreeNode* Win32TreeView::NodeAt(int x, int y) const
{
    TVHITTESTINFO hit{};
    hit.pt = POINT{x, y};
    HTREEITEM item = TreeView_HitTest(Handle(), &hit);
    if (!item || !(hit.flags & TVHT_ONITEM)) return nullptr;
    return NodeOf(item);
}

RECT Win32TreeView::ItemRect(const TTreeNode& node) const
{
    RECT rect{};
    if (!HandleOf(node) || !TreeView_GetItemRect(Handle(), HandleOf(node), &rect, TRUE)) return RECT{};
    return rect;
}

HWND Win32TreeView::EditWindow() const { return TreeView_GetEditControl(Handle()); }

// ---- Showing the component ----------------------------------------------------

void Win32TreeView::SetChildrenFlag(TTreeNode& node)
{
    TVITEMW item{};
    item.mask = TVIF_HANDLE | TVIF_CHILDREN;
    item.hItem = HandleOf(node);
    item.cChildren = node.HasChildren() || node.Count() > 0 ? 1 : 0;
    TreeView_SetItem(Handle(), &item);
}

void Win32TreeView::Inserted(TTreeNode& node)
{
    TTreeNode* parent = node.Parent();
    if (parent && !HandleOf(*parent)) return;
    const std::wstring text = WideText(node.Text());
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent ? HandleOf(*parent) : TVI_ROOT;
    const size_t count = parent ? parent->Count() : tree_.Count();
    const TTreeNode* last = count ? (parent ? parent->Item(count - 1) : tree_.Item(count - 1)) : nullptr;
    // Appended (the common case) without looking for the node's place.
    const size_t index = last == &node ? count - 1 : node.Index();
    if (index == 0) {
        insert.hInsertAfter = TVI_FIRST;
    } else if (last == &node) {
        insert.hInsertAfter = TVI_LAST;
    } else {
        TTreeNode* before = parent ? parent->Item(index - 1) : tree_.Item(index - 1);
        insert.hInsertAfter = HandleOf(*before);
    }
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    // A pending image is asked for when the node is drawn.
    insert.item.iImage = node.ImagePending() ? I_IMAGECALLBACK : node.ImageIndex();
    insert.item.iSelectedImage = I_IMAGECALLBACK;
    insert.item.cChildren = node.HasChildren() || node.Count() > 0 ? 1 : 0;
    insert.item.lParam = reinterpret_cast<LPARAM>(&node);
    TFlagScope applying(applying_);
    node.SetDisplayHandle(TreeView_InsertItem(Handle(), &insert));
    // The parent's button appears with its first child.
    if (parent && parent->Count() == 1) SetChildrenFlag(*parent);
}

void Win32TreeView::ClearHandles(TTreeNode& node)
{
    node.SetDisplayHandle(nullptr);
    for (size_t i = 0; i < node.Count(); ++i) ClearHandles(*node.Item(i));
}

void Win32TreeView::Removing(TTreeNode& node)
{
    if (!HandleOf(node)) return;
    TFlagScope applying(applying_);
    TreeView_DeleteItem(Handle(), HandleOf(node));
    ClearHandles(node);
}

void Win32TreeView::Changed(TTreeNode& node, unsigned what)
{
    if (!HandleOf(node)) return;
    // Only what changed: the control measures a label again when its text
    // is set, which a fill setting the expand flags need not pay.
    const std::wstring text = what & kText ? WideText(node.Text()) : std::wstring();
    TVITEMW item{};
    item.mask = TVIF_HANDLE;
    item.hItem = HandleOf(node);
    if (what & kText) {
        item.mask |= TVIF_TEXT;
        item.pszText = const_cast<wchar_t*>(text.c_str());
    }
    if (what & kImage) {
        item.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        item.iImage = node.ImagePending() ? I_IMAGECALLBACK : node.ImageIndex();
        item.iSelectedImage = I_IMAGECALLBACK;
    }
    if (what & kChildren) {
        item.mask |= TVIF_CHILDREN;
        item.cChildren = node.HasChildren() || node.Count() > 0 ? 1 : 0;
    }
    TFlagScope applying(applying_);
    TreeView_SetItem(Handle(), &item);
}

void Win32TreeView::Reordered(TTreeNode* parent)
{
    std::unordered_map<LPARAM, size_t> positions;
    const size_t count = parent ? parent->Count() : tree_.Count();
    for (size_t i = 0; i < count; ++i)
        positions[reinterpret_cast<LPARAM>(parent ? parent->Item(i) : tree_.Item(i))] = i;
    TVSORTCB sort{};
    sort.hParent = parent ? HandleOf(*parent) : TVI_ROOT;
    sort.lpfnCompare = ByPosition;
    sort.lParam = reinterpret_cast<LPARAM>(&positions);
    TFlagScope applying(applying_);
    TreeView_SortChildrenCB(Handle(), &sort, FALSE);
}

void Win32TreeView::ShowExpanded(TTreeNode& node, bool expanded)
{
    if (!HandleOf(node)) return;
    TFlagScope applying(applying_);
    TreeView_Expand(Handle(), HandleOf(node), expanded ? TVE_EXPAND : TVE_COLLAPSE);
}

void Win32TreeView::ShowSelected(TTreeNode* node)
{
    TFlagScope applying(applying_);
    TreeView_SelectItem(Handle(), node ? HandleOf(*node) : nullptr);
    // Selecting scrolls only up and down; a deep node's name may still lie
    // right of a narrow tree.
    if (node && HandleOf(*node)) TreeView_EnsureVisible(Handle(), HandleOf(*node));
}

void Win32TreeView::SetRedraw(bool redraw)
{
    SendMessageW(Handle(), WM_SETREDRAW, redraw, 0);
    if (redraw) InvalidateRect(Handle(), nullptr, TRUE);
}

void Win32TreeView::StartEdit(TTreeNode& node)
{
    if (!HandleOf(node)) return;
    SetFocus(Handle());
    // The control asks the component through TVN_BEGINLABELEDIT.
    TreeView_EditLabel(Handle(), HandleOf(node));
}

void Win32TreeView::StopEdit(bool cancel) { TreeView_EndEditLabelNow(Handle(), cancel); }

void Win32TreeView::OptionsChanged()
{
    SetStyleBits(Handle(), TVS_EDITLABELS, !tree_.ReadOnly());
    SetStyleBits(Handle(), TVS_LINESATROOT, tree_.ShowRoot());
    TreeView_SetImageList(Handle(), reinterpret_cast<HIMAGELIST>(tree_.Images()), TVSIL_NORMAL);
    if (tree_.Indent() > 0) {
        HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        TreeView_SetIndent(Handle(), MulDiv(tree_.Indent(), dpi, 96));
    }
}

PostingService* Win32TreeView::Posting()
{
    if (!posting_) posting_ = std::make_unique<Win32Posting>(Handler());
    return posting_.get();
}

void Win32TreeView::ReportFailure(const std::exception& failure) { ReportException(Handler(), failure); }

// ---- What the control reports ---------------------------------------------------

bool Win32TreeView::Notify(NMHDR& header, LRESULT& result)
{
    if (!alive_) return false;
    switch (header.code) {
    case TVN_SELCHANGEDW: {
        if (applying_) return true;
        auto& change = reinterpret_cast<NMTREEVIEWW&>(header);
        TTreeNode* node = reinterpret_cast<TTreeNode*>(change.itemNew.lParam);
        if (!change.itemNew.hItem) node = nullptr;
        Guard([&] { tree_.UserSelected(node); });
        return true;
    }
    case TVN_ITEMEXPANDINGW: {
        if (applying_) return true;
        auto& change = reinterpret_cast<NMTREEVIEWW&>(header);
        TTreeNode* node = reinterpret_cast<TTreeNode*>(change.itemNew.lParam);
        bool allow = false;
        if (node) Guard([&] { allow = tree_.UserExpanding(*node, (change.action & TVE_EXPAND) != 0); });
        result = allow ? FALSE : TRUE;
        return true;
    }
    case TVN_ITEMEXPANDEDW: {
        if (applying_) return true;
        auto& change = reinterpret_cast<NMTREEVIEWW&>(header);
        TTreeNode* node = reinterpret_cast<TTreeNode*>(change.itemNew.lParam);
        if (node) Guard([&] { tree_.UserExpanded(*node, (change.itemNew.state & TVIS_EXPANDED) != 0); });
        return true;
    }
    case TVN_BEGINLABELEDITW: {
        auto& edit = reinterpret_cast<NMTVDISPINFOW&>(header);
        TTreeNode* node = reinterpret_cast<TTreeNode*>(edit.item.lParam);
        bool allow = false;
        if (node) Guard([&] { allow = tree_.UserBeginEdit(*node); });
        result = allow ? FALSE : TRUE;
        return true;
    }
    case TVN_ENDLABELEDITW: {
        auto& edit = reinterpret_cast<NMTVDISPINFOW&>(header);
        TTreeNode* node = reinterpret_cast<TTreeNode*>(edit.item.lParam);
        std::optional<std::string> text;
        if (edit.item.pszText) text = Utf8Text(edit.item.pszText);
        if (node) Guard([&] { tree_.UserEndEdit(*node, text); });
        result = FALSE;  // the component has set the label
        return true;
    }
    case TVN_GETDISPINFOW: {
        auto& info = reinterpret_cast<NMTVDISPINFOW&>(header);
        TTreeNode* node = reinterpret_cast<TTreeNode*>(info.item.lParam);
        if (node && (info.item.mask & TVIF_IMAGE)) info.item.iImage = tree_.DisplayImageIndex(*node);
        if (node && (info.item.mask & TVIF_SELECTEDIMAGE)) info.item.iSelectedImage = tree_.DisplaySelectedIndex(*node);
        return true;
    }
    case TVN_BEGINDRAGW: {
        auto& drag = reinterpret_cast<NMTREEVIEWW&>(header);
        TTreeNode* node = reinterpret_cast<TTreeNode*>(drag.itemNew.lParam);
        if (node) Guard([&] { tree_.UserStartDrag(*node); });
        return true;
    }
    case NM_DBLCLK:
        Guard([&] { tree_.UserDblClick(); });
        return true;  // result 0: the control toggles the node
    default:
        return false;
    }
}

bool Win32TreeView::Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (!alive_) return false;
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_KEYDOWN:
        if (wParam != VK_F2) return false;
        Guard([&] { tree_.UserEditKey(); });
        return true;
    case WM_LBUTTONDOWN:
        // The control selects (and may start a drag) first.
        result = CallDefault(message, wParam, lParam);
        Guard([&] { tree_.UserMouseDown(TMouseButton::mbLeft, x, y, NodeAt(x, y)); });
        return true;
    case WM_LBUTTONUP:
        result = CallDefault(message, wParam, lParam);
        Guard([&] { tree_.UserMouseUp(TMouseButton::mbLeft, x, y, NodeAt(x, y)); });
        return true;
    case WM_RBUTTONDOWN:
        // The control's own handling would mark the node and wait for the
        // release; the selection stays as it is.
        if (GetFocus() != Handle()) SetFocus(Handle());
        Guard([&] { tree_.UserMouseDown(TMouseButton::mbRight, x, y, NodeAt(x, y)); });
        return true;
    case WM_RBUTTONUP:
        Guard([&] { tree_.UserMouseUp(TMouseButton::mbRight, x, y, NodeAt(x, y)); });
        return true;
    case WM_MOUSEMOVE:
        Guard([&] { tree_.UserMouseMove(x, y); });
        return false;
    default:
        return false;
    }
}

}  // namespace kp::ui
