#include "ui/ComboBox.h"

#include <stdexcept>

namespace kp::ui {

TComboBox::TComboBox() = default;

TComboBox::~TComboBox()
{
    if (display_) display_->Detached();
    display_ = nullptr;
}

void TComboBox::SetDisplay(ComboBoxDisplay* display)
{
    display_ = display;
    if (!display_) return;
    display_->OptionsChanged();
    display_->Cleared();
    for (size_t i = 0; i < entries_.size(); ++i) display_->Inserted(i);
    display_->ShowItemIndex(itemIndex_);
}

void TComboBox::SetItemHeight(int height)
{
    itemHeight_ = height;
    if (display_) display_->OptionsChanged();
}

void TComboBox::SetDropDownCount(int count)
{
    dropDownCount_ = count;
    if (display_) display_->OptionsChanged();
}

size_t TComboBox::Insert(size_t position, std::string text, TPayload data)
{
    if (position > entries_.size()) position = entries_.size();
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(position), Entry{std::move(text), std::move(data)});
    if (itemIndex_ >= static_cast<int>(position)) ++itemIndex_;
    if (display_) {
        display_->Inserted(position);
        display_->ShowItemIndex(itemIndex_);
    }
    return position;
}

void TComboBox::Delete(size_t position)
{
    if (position >= entries_.size()) throw std::out_of_range("TComboBox::Delete");
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(position));
    const int at = static_cast<int>(position);
    if (itemIndex_ == at) itemIndex_ = -1;
    else if (itemIndex_ > at) --itemIndex_;
    if (display_) {
        display_->Removed(position);
        display_->ShowItemIndex(itemIndex_);
    }
}

void TComboBox::Clear()
{
    entries_.clear();
    itemIndex_ = -1;
    if (display_) display_->Cleared();
}

void TComboBox::SetItemIndex(int index)
{
    if (index < -1 || index >= static_cast<int>(entries_.size())) index = -1;
    itemIndex_ = index;
    if (display_) display_->ShowItemIndex(index);
}

void TComboBox::SetDroppedDown(bool dropped)
{
    if (display_) display_->ShowDropped(dropped);
    else UserDropped(dropped);
}

void TComboBox::UserPicked(int index)
{
    if (index < -1 || index >= static_cast<int>(entries_.size())) index = -1;
    itemIndex_ = index;
    Change();
}

void TComboBox::UserDropped(bool dropped)
{
    if (dropped == dropped_) return;
    dropped_ = dropped;
    if (dropped && OnDropDown) OnDropDown();
}

void TComboBox::Change()
{
    if (OnChange) OnChange();
}

void TComboBox::Draw(size_t position, TItemCanvas& canvas, const TRect& rect, const TOwnerDrawState& state)
{
    try {
        if (position >= entries_.size()) canvas.FillRect(rect);
        else DrawItem(position, canvas, rect, state);
    } catch (const std::exception& failure) {
        if (OnException) OnException(failure);
    }
}

void TComboBox::DrawItem(size_t position, TItemCanvas& canvas, const TRect& rect, const TOwnerDrawState& state)
{
    if (OnDrawItem) {
        OnDrawItem(position, canvas, rect, state);
        return;
    }
    canvas.FillRect(rect);
    canvas.TextAt(rect.left + 2, rect.top, entries_[position].text);
}

}  // namespace kp::ui
