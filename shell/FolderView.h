#pragma once
// The folder tree: a tree view of the shell namespace's folders whose single
// root is the desktop. A node's child folders are read from the shell when it
// is first expanded. Selecting a node shows the folder in the linked file
// list and folder combo; a right click shows the folder's shell menu, a left
// press can start a shell drag, and editing a label renames the folder.
//
// Each node owns a one-item identifier list relative to its parent's folder
// (the root: the desktop's empty list), freed when the node goes.
//
// An expansion the user asks for on a display that runs posted work reads
// the children in pieces between the display's messages, so a large folder
// does not stop the window; the node opens, with its children in the
// shell's order, in one update bracket once all are read. Collapsing the
// node (or one above it) or deleting it forgets the read; the program's own
// expansion (FindNode, SelectedPath, Expand) finishes it at once.

#include "shell/ShellViews.h"
#include "ui/TreeView.h"

#include <memory>
#include <string>
#include <vector>

namespace kp::shell {

class TFolderView : public ui::TTreeView {
public:
    explicit TFolderView(const ShellViewServices& services);
    ~TFolderView() override;

    // ---- Links ----
    TFileView* FileView() const { return fileView_; }
    // Also sets the list's back-link (nullptr clears the old list's).
    void SetFileView(TFileView* view);
    TContextMenuEx* ContextMenu() const { return contextMenu_; }
    // A menu also turns RightClickSelect on.
    void SetContextMenu(TContextMenuEx* menu);
    TDropSourceEx* DropSource() const { return dropSource_; }
    void SetDropSource(TDropSourceEx* source);
    TComboView* ComboLink() const { return combo_; }

    // Raised for each node deleted, after its identifier list was freed.
    std::function<void(TFolderView& sender, ui::TTreeNode& node)> OnDeleting;

    ViewWindow& Window() { return window_; }
    // Window creation: the system's small-icon image list.
    void CreateWnd();
    // After the form is read: the right-click rule, then RebuildTree.
    void Loaded();

    // ---- The tree ----
    void RebuildTree();
    void FillChildren(ui::TTreeNode* node);
    ui::TTreeNode* FindChild(ui::TTreeNode* node, platform::IdView child);
    ui::TTreeNode* FindNode(platform::IdView absolute);
    // The absolute list of a node (null for no node).
    platform::IdList NodeIDList(const ui::TTreeNode* node) const;
    // The node's own identifier (null when it has none).
    static platform::IdView NodeID(const ui::TTreeNode* node);

    // The parsing name of the selected folder ("" when none or unnamed).
    std::string SelectedPath();
    // Selects the folder of a path; a path that does not parse (or is longer
    // than the shell takes) leaves the selection alone, one that parses but
    // is not reached clears it.
    void SetSelectedPath(std::string_view path);
    void SelectChild(platform::IdView child);
    void SelectIDList(platform::IdView absolute);
    // A folder of the selected one was renamed in the file list.
    void RenameChild(platform::IdView oldChild, platform::IdView newChild);
    void NotifyLinks(ui::TTreeNode* node);

    // The linked list could not show the selected folder: select the previous
    // node, once per selection change (a second failure while falling back
    // leaves the list as it is).
    void FallBack();

    bool Busy() const { return busy_; }
    // The node's children are being read in pieces.
    bool Reading(const ui::TTreeNode* node) const;
    // The most children one piece reads (a piece also ends after about
    // 30 ms), and the most nodes one piece adds.
    static constexpr size_t kChildrenPerPiece = 48;
    static constexpr size_t kNodesPerPiece = 100;
    ui::TTreeNode* CurrentNode() const { return current_; }
    ui::TTreeNode* PreviousNode() const { return previous_; }

protected:
    bool CanExpand(ui::TTreeNode& node) override;
    bool CanCollapse(ui::TTreeNode& node) override;
    bool CanEdit(ui::TTreeNode& node) override;
    void Change(ui::TTreeNode* node) override;
    void Edit(ui::TTreeNode& node, const std::string& text) override;
    void MouseDown(ui::TMouseButton button, int x, int y, ui::TTreeNode* node) override;
    void MouseUp(ui::TMouseButton button, int x, int y, ui::TTreeNode* node) override;
    void Deletion(ui::TTreeNode& node) override;
    void GetImageIndex(ui::TTreeNode& node) override;
    // Reads in pieces went with the old display's posted work: forgotten
    // (the nodes keep their buttons).
    void DisplayChanged() override;

private:
    friend class TFileView;
    friend class TComboView;
    // The folder object of a node: the desktop for the root, else bound.
    platform::ShellFolder* FolderOf(const ui::TTreeNode* node, std::unique_ptr<platform::ShellFolder>& bound);
    // The folder that holds a node.
    platform::ShellFolder* ContainerOf(const ui::TTreeNode* node, std::unique_ptr<platform::ShellFolder>& bound);
    void SetNodeIcons(ui::TTreeNode& node);

    // ---- Reading a node's children ----
    struct ChildRead;
    // Binds the node's folder and starts the walk; null when it cannot.
    std::unique_ptr<ChildRead> StartRead(ui::TTreeNode& node);
    // Reads up to `count` more children in the shell's order; false once
    // the walk has ended.
    bool ReadChildren(ChildRead& read, size_t count, bool timed);
    // Adds up to `count` more of the children read to the node; true once
    // all are there (none: its button goes).
    bool AddChildren(ChildRead& read, size_t count);
    // A read no longer wanted: children it added are joined by the rest.
    void ForgetRead(const std::shared_ptr<ChildRead>& read);
    // Asks for the icons of nodes drawn without them, for about 30 ms.
    void IconPiece();
    // The read in pieces of a node taken out of the pending ones (null when
    // none).
    std::shared_ptr<ChildRead> TakeRead(const ui::TTreeNode* node);
    // Forgets the reads of the node and the nodes below it.
    void ForgetReadsUnder(const ui::TTreeNode* node);
    void PostPiece(const std::shared_ptr<ChildRead>& read);
    void RunPiece(const std::shared_ptr<ChildRead>& read);
    std::string NameOf(platform::ShellFolder& folder, platform::IdView list, uint32_t form) const;

    ShellViewServices services_;
    ViewWindow window_;
    TFileView* fileView_ = nullptr;
    TComboView* combo_ = nullptr;
    TContextMenuEx* contextMenu_ = nullptr;
    TDropSourceEx* dropSource_ = nullptr;
    bool busy_ = false;
    bool fallingBack_ = false;
    ui::TTreeNode* current_ = nullptr;
    ui::TTreeNode* previous_ = nullptr;
    std::vector<std::shared_ptr<ChildRead>> reads_;
    std::vector<ui::TTreeNode*> iconQueue_;  // drawn, their icons still to ask
    bool deferIcons_ = false;  // nodes drawn now get their icons between messages
    std::shared_ptr<char> alive_ = std::make_shared<char>();  // the token of posted icon pieces
};

}  // namespace kp::shell
