#pragma once
// The framework's list view: items with a caption, an owned payload, an
// image and an overlay index and sub-items; columns whose headers can be
// clicked; a selection of several items; a sort by a comparison; view
// styles; label editing with a cancel; mouse, double-click, selection and
// item-deleted notifications.
//
// As with the tree view (TreeView.h) the component keeps the items and a
// display shows them: a SysListView32 holding no item data of its own on
// Win32 (it asks for each text and image as it draws), a simulation in
// tests. Derived components override the hooks and call the base.

#include "ui/Layout.h"
#include "ui/Posting.h"
#include "ui/ViewTypes.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kp::ui {

class TListView;

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

struct TListColumn {
    std::string caption;
    int width = 50;  // at 96 DPI
    TAlignment alignment = TAlignment::taLeftJustify;
};

class TListItem {
public:
    TListItem(const TListItem&) = delete;
    TListItem& operator=(const TListItem&) = delete;

    TListView& Owner() const { return owner_; }
    // The current position (changes with sorts and deletions).
    size_t Index() const { return index_; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    // Reading an index set to kImageCallback asks the component for it.
    int ImageIndex() const;
    void SetImageIndex(int index);
    bool ImagePending() const { return imageIndex_ == kImageCallback; }
    // 0: none; 1 and up: the image list's overlay images (1 the shortcut).
    int OverlayIndex() const { return overlayIndex_; }
    void SetOverlayIndex(int index);
    // The texts of the columns after the first.
    const std::vector<std::string>& SubItems() const { return subItems_; }
    void SetSubItems(std::vector<std::string> subItems);
    // The text of column `column` (0: the caption); empty past the end.
    const std::string& ColumnText(size_t column) const;
    bool Selected() const { return selected_; }

    TPayload& Data() { return data_; }
    const TPayload& Data() const { return data_; }

private:
    friend class TListView;
    TListItem(TListView& owner, std::string caption, TPayload data)
        : owner_(owner), caption_(std::move(caption)), data_(std::move(data)) {}

    TListView& owner_;
    size_t index_ = 0;
    std::string caption_;
    TPayload data_;
    int imageIndex_ = kNoImage;
    int overlayIndex_ = 0;
    std::vector<std::string> subItems_;
    bool selected_ = false;
};

// What shows a list view. Items are shown by position.
class ListViewDisplay {
public:
    virtual ~ListViewDisplay() = default;
    // Where work cut into pieces runs between the display's messages
    // (nullptr: nowhere; such work is done at once).
    virtual PostingService* Posting() { return nullptr; }
    // The number of items changed (items added or deleted).
    virtual void CountChanged() = 0;
    virtual void ItemChanged(TListItem& item) = 0;
    // Items moved (a sort): everything is drawn again.
    virtual void Reordered() = 0;
    virtual void ShowSelection() = 0;
    virtual void SetRedraw(bool redraw) = 0;
    virtual void ColumnsChanged() = 0;
    // View style, images, read-only state, multiple selection.
    virtual void OptionsChanged() = 0;
    virtual void StartEdit(TListItem& item) = 0;
    virtual void StopEdit(bool cancel) = 0;
    // The component goes first: show nothing, forget it.
    virtual void Detached() = 0;
};

class TListView {
public:
    TListView();
    virtual ~TListView();
    TListView(const TListView&) = delete;
    TListView& operator=(const TListView&) = delete;

    void SetDisplay(ListViewDisplay* display);
    ListViewDisplay* Display() const { return display_; }

    // ---- Options ----
    TViewStyle ViewStyle() const { return viewStyle_; }
    void SetViewStyle(TViewStyle style);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool multiSelect);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    TImageList LargeImages() const { return largeImages_; }
    TImageList SmallImages() const { return smallImages_; }
    void SetImages(TImageList large, TImageList small);

    // ---- Columns ----
    const std::vector<TListColumn>& Columns() const { return columns_; }
    void SetColumns(std::vector<TListColumn> columns);

    // ---- Items ----
    size_t Count() const { return items_.size(); }
    TListItem* Item(size_t index) const { return items_[index].get(); }
    TListItem* Add(std::string caption, TPayload data = {});
    // Raises Deletion, then frees the item and its payload.
    void Delete(TListItem* item);
    void Clear();
    // Sorts the items (stable); the selection stays on the same items.
    using Compare = std::function<int(const TListItem&, const TListItem&)>;
    void CustomSort(const Compare& compare);

    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return updateDepth_ > 0; }

    // ---- Selection ----
    // The first selected item in list order, or nullptr.
    TListItem* Selected() const;
    std::vector<TListItem*> SelectedItems() const;
    size_t SelCount() const;
    // Selects one item alone (nullptr: none).
    void Select(TListItem* item);
    // Adds an item to the selection or takes it out (one item alone
    // without MultiSelect).
    void SetSelected(TListItem& item, bool selected);

    // ---- Label editing ----
    bool EditLabel(TListItem& item);
    TListItem* Editing() const { return editing_; }
    void EndEditLabel(bool cancel);

    // ---- Events ----
    // The selection changed.
    std::function<void()> OnChange;
    std::function<void(size_t column)> OnColumnClick;
    std::function<void()> OnDblClick;
    std::function<void(TListItem& item, bool& allow)> OnEditing;
    std::function<void(TListItem& item, std::string& text)> OnEdited;
    std::function<void(TListItem& item)> OnCancelEdit;
    // `item`: the item under the pointer, or nullptr.
    std::function<void(TMouseButton button, int x, int y, TListItem* item)> OnMouseDown;
    std::function<void(TMouseButton button, int x, int y, TListItem* item)> OnMouseUp;
    std::function<void(TListItem& item)> OnStartDrag;
    // The pointer moved over the view (client coordinates).
    std::function<void(int x, int y)> OnMouseMove;
    // A key went down while the list had the focus (F2 excepted, which
    // edits); a handler that uses the key sets it to 0.
    std::function<void(unsigned& key)> OnKeyDown;
    // Raised for each item deleted, before its payload is freed.
    std::function<void(TListItem& item)> OnDeletion;
    // Asked when an image index set to kImageCallback is first read (the
    // item is drawn); sets the item's image index.
    std::function<void(TListItem& item)> OnGetImageIndex;
    // What a handler throws on the drawing path.
    ViewErrorHandler OnException;

    // ---- What the display reports ----
    // The selection the user made, as positions.
    void UserSelection(const std::vector<size_t>& selected);
    void UserColumnClick(size_t column);
    void UserDblClick();
    void UserEditKey();
    bool UserBeginEdit(TListItem& item);
    void UserEndEdit(TListItem& item, std::optional<std::string> text);
    void UserMouseDown(TMouseButton button, int x, int y, TListItem* under);
    void UserMouseUp(TMouseButton button, int x, int y, TListItem* under);
    void UserStartDrag(TListItem& item);
    void UserMouseMove(int x, int y);
    // The key after the handler: 0 when it used the key.
    unsigned UserKeyDown(unsigned key);

protected:
    virtual bool CanEdit(TListItem& item);
    virtual void Change();
    virtual void ColumnClick(size_t column);
    virtual void DblClick();
    virtual void Edit(TListItem& item, const std::string& text);
    virtual void MouseDown(TMouseButton button, int x, int y, TListItem* item);
    virtual void MouseUp(TMouseButton button, int x, int y, TListItem* item);
    virtual void StartDrag(TListItem& item);
    virtual void Deletion(TListItem& item);
    // Sets an image index left as kImageCallback.
    virtual void GetImageIndex(TListItem& item);

private:
    friend class TListItem;
    void ItemChanged(TListItem& item);
    void Renumber(size_t from);
    bool ApplySelection(const std::vector<bool>& wanted);
    // Asks for a pending image once; one still pending is no image.
    void ResolveImage(TListItem& item);

    ListViewDisplay* display_ = nullptr;
    std::vector<std::unique_ptr<TListItem>> items_;
    std::vector<TListColumn> columns_;
    TListItem* editing_ = nullptr;
    TViewStyle viewStyle_ = TViewStyle::vsReport;
    TImageList largeImages_ = 0;
    TImageList smallImages_ = 0;
    int updateDepth_ = 0;
    bool multiSelect_ = true;
    bool readOnly_ = false;
    bool resolvingImage_ = false;
    bool imageFailureShown_ = false;
};

}  // namespace kp::ui
