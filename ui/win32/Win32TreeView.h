#pragma once
// A tree view component shown in a SysTreeView32: the control holds one
// item per node (its lParam the node), asks for the selected image while
// drawing (TVN_GETDISPINFO) and reports expansion, selection, label edits,
// double-clicks and drags through WM_NOTIFY, which the parent hands to
// Win32ViewWindow::RouteNotify (the form host does). The right button is
// handled here: press and release report the node under the pointer and
// leave the selection alone; F2 starts the label edit. Work the tree cuts
// into pieces runs between the thread's messages (Win32Posting).

#include "ui/TreeView.h"
#include "ui/win32/Win32Posting.h"
#include "ui/win32/Win32Views.h"

#include <memory>

namespace kp::ui {

class Win32TreeView final : public Win32ViewWindow, public TreeViewDisplay {
public:
    // `window`: a SysTreeView32 (e.g. a docked TreeView control's window).
    Win32TreeView(HWND window, TTreeView& tree, const ExceptionHandler& handler);
    ~Win32TreeView() override;

    TTreeView& Tree() const { return tree_; }
    // The node's label rectangle in client coordinates (empty when hidden).
    RECT ItemRect(const TTreeNode& node) const;
    // The label editor while one is open.
    HWND EditWindow() const;
    TTreeNode* NodeAt(int x, int y) const;
    TTreeNode* NodeOf(HTREEITEM item) const;

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
    void OptionsChanged() override;
    void ReportFailure(const std::exception& failure) override;
    void Detached() override;
    // A message-only window of this thread, made when first asked.
    PostingService* Posting() override;

private:
    bool Notify(NMHDR& header, LRESULT& result) override;
    bool Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void SetChildrenFlag(TTreeNode& node);
    void ClearHandles(TTreeNode& node);

    TTreeView& tree_;
    // Set while the control carries out the component's own change: the
    // notifications it sends then are not the user's.
    bool applying_ = false;
    bool alive_ = true;  // the component still lives
    std::unique_ptr<Win32Posting> posting_;
};

}  // namespace kp::ui
