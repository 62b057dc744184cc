#include "ui/ListView.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace kp::ui {

// ---- TListItem ------------------------------------------------------------------

void TListItem::SetCaption(std::string caption)
{
    if (caption == caption_) return;
    caption_ = std::move(caption);
    owner_.ItemChanged(*this);
}

int TListItem::ImageIndex() const
{
    if (imageIndex_ == kImageCallback) owner_.ResolveImage(const_cast<TListItem&>(*this));
    return imageIndex_ == kImageCallback ? kNoImage : imageIndex_;
}

void TListItem::SetImageIndex(int index)
{
    if (index == imageIndex_) return;
    imageIndex_ = index;
    // Asked for while drawing: the display draws what comes back.
    if (!owner_.resolvingImage_) owner_.ItemChanged(*this);
}

void TListItem::SetOverlayIndex(int index)
{
    if (index == overlayIndex_) return;
    overlayIndex_ = index;
    owner_.ItemChanged(*this);
}

void TListItem::SetSubItems(std::vector<std::string> subItems)
{
    subItems_ = std::move(subItems);
    owner_.ItemChanged(*this);
}

const std::string& TListItem::ColumnText(size_t column) const
{
    static const std::string empty;
    if (column == 0) return caption_;
    return column - 1 < subItems_.size() ? subItems_[column - 1] : empty;
}

// ---- TListView ------------------------------------------------------------------

TListView::TListView() = default;

TListView::~TListView()
{
    if (display_) display_->Detached();
    display_ = nullptr;
    items_.clear();
}

void TListView::SetDisplay(ListViewDisplay* display)
{
    display_ = display;
    if (!display_) return;
    display_->OptionsChanged();
    display_->ColumnsChanged();
    display_->CountChanged();
    display_->ShowSelection();
}

void TListView::SetViewStyle(TViewStyle style)
{
    if (style == viewStyle_) return;
    viewStyle_ = style;
    if (display_) display_->OptionsChanged();
}

void TListView::SetMultiSelect(bool multiSelect)
{
    multiSelect_ = multiSelect;
    if (display_) display_->OptionsChanged();
}

void TListView::SetReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    if (display_) display_->OptionsChanged();
}

void TListView::SetImages(TImageList large, TImageList small)
{
    largeImages_ = large;
    smallImages_ = small;
    if (display_) display_->OptionsChanged();
}

void TListView::SetColumns(std::vector<TListColumn> columns)
{
    columns_ = std::move(columns);
    if (display_) display_->ColumnsChanged();
}

void TListView::Renumber(size_t from)
{
    for (size_t i = from; i < items_.size(); ++i) items_[i]->index_ = i;
}

TListItem* TListView::Add(std::string caption, TPayload data)
{
    items_.push_back(std::unique_ptr<TListItem>(new TListItem(*this, std::move(caption), std::move(data))));
    items_.back()->index_ = items_.size() - 1;
    if (display_ && !Updating()) display_->CountChanged();
    return items_.back().get();
}

void TListView::Delete(TListItem* item)
{
    if (!item) return;
    if (editing_ == item) editing_ = nullptr;
    const bool wasSelected = item->selected_;
    const size_t index = item->index_;
    std::unique_ptr<TListItem> owned = std::move(items_[index]);
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    Renumber(index);
    if (display_ && !Updating()) display_->CountChanged();
    // The payload is still there for the handlers; it goes with the item,
    // even when a handler throws.
    Deletion(*owned);
    owned.reset();
    if (wasSelected) Change();
}

void TListView::Clear()
{
    TUpdateScope<TListView> bracket(*this);
    while (!items_.empty()) Delete(items_.back().get());
}

void TListView::CustomSort(const Compare& compare)
{
    std::stable_sort(items_.begin(), items_.end(), [&](const auto& a, const auto& b) { return compare(*a, *b) < 0; });
    Renumber(0);
    if (display_) display_->Reordered();
}

void TListView::BeginUpdate()
{
    if (updateDepth_++ == 0 && display_) display_->SetRedraw(false);
}

void TListView::EndUpdate()
{
    if (updateDepth_ == 0 || --updateDepth_ > 0 || !display_) return;
    // Additions and deletions inside the bracket are shown once, here.
    display_->CountChanged();
    display_->ShowSelection();
    display_->SetRedraw(true);
}

void TListView::ItemChanged(TListItem& item)
{
    if (display_ && !Updating()) display_->ItemChanged(item);
}

// ---- Selection ------------------------------------------------------------------

TListItem* TListView::Selected() const
{
    for (const auto& item : items_)
        if (item->selected_) return item.get();
    return nullptr;
}

std::vector<TListItem*> TListView::SelectedItems() const
{
    std::vector<TListItem*> out;
    for (const auto& item : items_)
        if (item->selected_) out.push_back(item.get());
    return out;
}

size_t TListView::SelCount() const
{
    return static_cast<size_t>(std::count_if(items_.begin(), items_.end(), [](const auto& i) { return i->selected_; }));
}

bool TListView::ApplySelection(const std::vector<bool>& wanted)
{
    bool changed = false;
    for (size_t i = 0; i < items_.size(); ++i) {
        const bool want = i < wanted.size() && wanted[i];
        if (items_[i]->selected_ != want) {
            items_[i]->selected_ = want;
            changed = true;
        }
    }
    return changed;
}

void TListView::Select(TListItem* item)
{
    std::vector<bool> wanted(items_.size());
    if (item) wanted[item->index_] = true;
    if (!ApplySelection(wanted)) return;
    if (display_) display_->ShowSelection();
    Change();
}

void TListView::SetSelected(TListItem& item, bool selected)
{
    std::vector<bool> wanted(items_.size());
    if (multiSelect_)
        for (size_t i = 0; i < items_.size(); ++i) wanted[i] = items_[i]->selected_;
    wanted[item.index_] = selected;
    if (!ApplySelection(wanted)) return;
    if (display_) display_->ShowSelection();
    Change();
}

void TListView::UserSelection(const std::vector<size_t>& selected)
{
    std::vector<bool> wanted(items_.size());
    for (size_t index : selected)
        if (index < wanted.size()) wanted[index] = true;
    if (ApplySelection(wanted)) Change();
}

void TListView::Change()
{
    if (OnChange) OnChange();
}

// ---- Notifications -------------------------------------------------------------

void TListView::UserColumnClick(size_t column) { ColumnClick(column); }

void TListView::ColumnClick(size_t column)
{
    if (OnColumnClick) OnColumnClick(column);
}

void TListView::UserDblClick() { DblClick(); }

void TListView::DblClick()
{
    if (OnDblClick) OnDblClick();
}

bool TListView::EditLabel(TListItem& item)
{
    if (editing_) EndEditLabel(false);
    if (!display_) return UserBeginEdit(item);
    display_->StartEdit(item);
    return editing_ == &item;
}

void TListView::EndEditLabel(bool cancel)
{
    if (editing_ && display_) display_->StopEdit(cancel);
}

void TListView::UserEditKey()
{
    // The focused item in a list is the first selected one here.
    if (TListItem* item = Selected()) EditLabel(*item);
}

bool TListView::UserBeginEdit(TListItem& item)
{
    if (!CanEdit(item)) return false;
    editing_ = &item;
    return true;
}

bool TListView::CanEdit(TListItem& item)
{
    bool allow = !readOnly_;
    if (allow && OnEditing) OnEditing(item, allow);
    return allow;
}

void TListView::UserEndEdit(TListItem& item, std::optional<std::string> text)
{
    if (editing_ != &item) return;
    editing_ = nullptr;
    if (!text) {
        if (OnCancelEdit) OnCancelEdit(item);
        if (display_) display_->ItemChanged(item);
        return;
    }
    if (OnEdited) OnEdited(item, *text);
    item.caption_ = *text;
    if (display_) display_->ItemChanged(item);
    Edit(item, *text);
}

void TListView::Edit(TListItem&, const std::string&) {}

void TListView::UserMouseMove(int x, int y)
{
    if (OnMouseMove) OnMouseMove(x, y);
}

unsigned TListView::UserKeyDown(unsigned key)
{
    if (OnKeyDown) OnKeyDown(key);
    return key;
}

void TListView::UserMouseDown(TMouseButton button, int x, int y, TListItem* under) { MouseDown(button, x, y, under); }
void TListView::UserMouseUp(TMouseButton button, int x, int y, TListItem* under) { MouseUp(button, x, y, under); }

void TListView::MouseDown(TMouseButton button, int x, int y, TListItem* item)
{
    if (OnMouseDown) OnMouseDown(button, x, y, item);
}

void TListView::MouseUp(TMouseButton button, int x, int y, TListItem* item)
{
    if (OnMouseUp) OnMouseUp(button, x, y, item);
}

void TListView::UserStartDrag(TListItem& item) { StartDrag(item); }

void TListView::StartDrag(TListItem& item)
{
    if (OnStartDrag) OnStartDrag(item);
}

void TListView::Deletion(TListItem& item)
{
    if (OnDeletion) OnDeletion(item);
}

// ---- Drawing path --------------------------------------------------------------

void TListView::ResolveImage(TListItem& item)
{
    // A box shown by a failing handler repaints the view: items drawn
    // meanwhile show no image and are asked again later.
    // Failures in a row show one box: a shell that gives no icon for one
    // item gives none for the others either.
    if (resolvingImage_) return;
    {
        TFlagScope running(resolvingImage_);
        try {
            GetImageIndex(item);
            imageFailureShown_ = false;
        } catch (const std::exception& failure) {
            if (!std::exchange(imageFailureShown_, true) && OnException) OnException(failure);
        } catch (...) {
            if (!std::exchange(imageFailureShown_, true) && OnException)
                OnException(std::runtime_error("予期しないエラーが発生しました。"));
        }
    }
    if (item.imageIndex_ == kImageCallback) item.imageIndex_ = kNoImage;
}

void TListView::GetImageIndex(TListItem& item)
{
    if (OnGetImageIndex) OnGetImageIndex(item);
}

}  // namespace kp::ui
