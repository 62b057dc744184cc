#pragma once
// The folder combo: a drop-down list of folders like an address box. The
// fixed entries are the desktop, its folders and, under the drives folder,
// the drives; below them the path entries lead down to the folder selected in
// the linked tree. Each entry is drawn with its small shell icon, indented 10
// pixels per level in the dropped list. Picking an entry selects its folder
// in the tree; selecting a folder in the tree shows it here.

#include "shell/ShellViews.h"
#include "ui/ComboBox.h"

#include <vector>

namespace kp::shell {

// What an entry holds: its folder's absolute list, its depth (the desktop 0)
// and the position it was inserted at.
struct TComboData {
    platform::IdList list;
    int level = 0;
    int index = 0;
};

class TComboView : public ui::TComboBox {
public:
    explicit TComboView(const ShellViewServices& services);
    ~TComboView() override;

    TFolderView* FolderView() const { return tree_; }
    // Also sets the tree's link to this combo (nullptr clears the old tree's).
    void SetFolderView(TFolderView* tree);

    // BuildList, then the desktop's entry.
    void Loaded();
    void BuildList();
    // The position of the entry of an absolute list, inserting the entries of
    // the levels on the way that are missing.
    size_t AddIDList(platform::IdView absolute);
    // Shows a folder: the path entries of the one before go; those of this
    // one come (none for the desktop).
    void SelectIDList(platform::IdView absolute);

    const TComboData* DataAt(size_t position) const;
    size_t FixedCount() const { return fixed_.size(); }
    size_t PathCount() const { return path_.size(); }
    // The text drawn for an entry: its folder's in-folder name.
    std::string EntryName(size_t position) const;

protected:
    void Change() override;
    void DrawItem(size_t position, ui::TItemCanvas& canvas, const ui::TRect& rect,
                  const ui::TOwnerDrawState& state) override;

private:
    friend class TFolderView;
    void InsertEntry(size_t position, int level, platform::IdView list);
    void ClearEntries();
    void RemovePathEntries();

    ShellViewServices services_;
    TFolderView* tree_ = nullptr;
    std::vector<TComboData*> fixed_;
    std::vector<TComboData*> path_;
    bool toPath_ = false;
};

}  // namespace kp::shell
