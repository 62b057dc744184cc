#pragma once
// The file list: a list view of the items of one shell folder (subfolders
// and files, hidden ones included, files optionally limited to some
// extensions) in four columns (name, size, type, modified), sorted by the
// shell's order; a column header reverses or changes the order. A
// double-click on a folder moves the linked folder tree into it, on another
// item launches it; editing a label renames the item; a right click shows
// the shell menu of the selected items; DeleteSelected sends the selected
// files to the recycle bin after the shell's confirmation.
//
// Each item owns its one-item identifier list relative to the listed folder.

#include "shell/ShellViews.h"
#include "ui/ListView.h"

#include <array>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace kp::shell {

class TFileView : public ui::TListView {
public:
    explicit TFileView(const ShellViewServices& services);
    ~TFileView() override;

    // ---- Properties and links ----
    bool FileExecute() const { return fileExecute_; }
    void SetFileExecute(bool on) { fileExecute_ = on; }
    // Extensions, with their dot, that files must have (empty: all files).
    const std::vector<std::string>& Mask() const { return mask_; }
    void SetMask(const std::vector<std::string>* mask)
    {
        if (mask) mask_ = *mask;
    }
    TContextMenuEx* ContextMenu() const { return contextMenu_; }
    void SetContextMenu(TContextMenuEx* menu) { contextMenu_ = menu; }
    TDropSourceEx* DropSource() const { return dropSource_; }
    void SetDropSource(TDropSourceEx* source) { dropSource_ = source; }
    TFolderView* FolderView() const { return tree_; }

    ViewWindow& Window() { return window_; }
    // Window creation: the four columns and the system image lists.
    void CreateWnd();
    // While loading, OpenFolder only takes the folder; Loaded fills.
    void SetLoading(bool loading) { loading_ = loading; }
    void Loaded();

    // ---- The folder ----
    // Shows the folder of an absolute list. A folder that cannot be bound
    // or listed leaves the list as it is and sends the linked tree back (the
    // desktop's own list takes the desktop folder).
    void OpenFolder(platform::IdView absolute);
    void FillList();
    platform::ShellFolder* Folder() const { return folder_; }
    platform::IdView FolderList() const { return folderList_.View(); }

    // ---- Items ----
    static platform::IdView ItemID(const ui::TListItem* item);
    // The parsing name of an item ("" without folder, item or identifier).
    std::string ItemPath(const ui::TListItem* item);
    std::string SelectedPath();
    // Sends the selected files to the recycle bin; a selected item that is
    // no file only beeps.
    void DeleteSelected();

    // The sort direction of each column (+1 or -1), shared by every file
    // list; each fill sets all four to +1.
    static std::array<int, 4>& SortDirections() { return sortDirections_; }
    // Type names asked of the shell during fills (the rest came from the
    // per-extension cache).
    size_t TypeNameQueries() const { return typeNameQueries_; }

    // The size text: the kilobytes plus one, right-aligned in eight, "KB".
    static std::string SizeText(uint64_t bytes);
    // A type name cut to at most 80 code-page-932 bytes on a character
    // boundary.
    static std::string CutTypeName(std::string_view name);

protected:
    void ColumnClick(size_t column) override;
    void DblClick() override;
    void Edit(ui::TListItem& item, const std::string& text) override;
    void MouseDown(ui::TMouseButton button, int x, int y, ui::TListItem* item) override;
    void MouseUp(ui::TMouseButton button, int x, int y, ui::TListItem* item) override;
    void GetImageIndex(ui::TListItem& item) override;
    void Deletion(ui::TListItem& item) override;

private:
    friend class TFolderView;
    struct ItemData;
    class FillScope;

    void Fill(platform::ShellEnum* walk);
    bool MaskAccepts(std::string_view path) const;
    std::string NameOf(platform::IdView child, uint32_t form) const;
    std::string DateText(uint64_t fileTime);
    std::string TypeNameOf(platform::IdView child, std::string_view path, bool folder);
    void SortByText(size_t column);
    platform::IdList Packed(int& count) const;
    void FallBack();
    // Asks for the icons of items drawn without them, for about 30 ms.
    void IconPiece();
    void SetItemIcon(ui::TListItem& item);
    void PostIconPiece(ui::PostingService& posting);

    ShellViewServices services_;
    ViewWindow window_;
    TFolderView* tree_ = nullptr;
    TContextMenuEx* contextMenu_ = nullptr;
    TDropSourceEx* dropSource_ = nullptr;
    std::vector<std::string> mask_;
    bool fileExecute_ = true;
    bool loading_ = false;
    platform::ShellFolder* folder_ = nullptr;  // the desktop's or owned
    std::unique_ptr<platform::ShellFolder> ownedFolder_;
    platform::IdList folderList_;
    std::map<std::string, std::string> typeNames_;  // upper-case extension -> type name
    size_t typeNameQueries_ = 0;
    std::unordered_map<uint64_t, std::string> dateTexts_;  // minute of a file time -> its text, during a fill
    static inline std::array<int, 4> sortDirections_{1, 1, 1, 1};
    std::vector<ui::TListItem*> iconQueue_;  // drawn, their icons still to ask
    std::shared_ptr<char> alive_ = std::make_shared<char>();  // the token of posted icon pieces
};

}  // namespace kp::shell
