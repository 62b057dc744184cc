#include "ui/sim/SimListView.h"

#include <algorithm>
#include <utility>

namespace kp::ui {

SimListView::SimListView(TListView& list) : list_(list) { list_.SetDisplay(this); }

SimListView::~SimListView()
{
    if (alive_ && list_.Display() == this) list_.SetDisplay(nullptr);
}

std::vector<size_t> SimListView::SelectedPositions() const
{
    std::vector<size_t> out;
    for (TListItem* item : list_.SelectedItems()) out.push_back(item->Index());
    return out;
}

void SimListView::Click(TListItem& item)
{
    list_.UserSelection({item.Index()});
    list_.UserMouseDown(TMouseButton::mbLeft, 0, 0, &item);
}

void SimListView::CtrlClick(TListItem& item)
{
    std::vector<size_t> selected = SelectedPositions();
    if (!list_.MultiSelect()) selected.clear();
    const auto found = std::find(selected.begin(), selected.end(), item.Index());
    if (found != selected.end()) selected.erase(found);
    else selected.push_back(item.Index());
    list_.UserSelection(selected);
    list_.UserMouseDown(TMouseButton::mbLeft, 0, 0, &item);
}

void SimListView::DoubleClick(TListItem& item)
{
    Click(item);
    list_.UserDblClick();
}

void SimListView::RightClick(TListItem* item)
{
    if (item && !item->Selected()) list_.UserSelection({item->Index()});
    list_.UserMouseUp(TMouseButton::mbRight, 0, 0, item);
}

void SimListView::ClickColumn(size_t column) { list_.UserColumnClick(column); }

void SimListView::PressF2() { list_.UserEditKey(); }

void SimListView::Type(const std::string& text)
{
    if (editor_) editText_ = text;
}

void SimListView::PressEnter() { Finish(false); }
void SimListView::PressEscape() { Finish(true); }

void SimListView::Finish(bool cancel)
{
    TListItem* item = std::exchange(editor_, nullptr);
    if (item) list_.UserEndEdit(*item, cancel ? std::nullopt : std::optional<std::string>(editText_));
}

std::vector<std::vector<std::string>> SimListView::Rows() const
{
    std::vector<std::vector<std::string>> rows;
    for (size_t i = 0; i < std::min(shownCount_, list_.Count()); ++i) {
        std::vector<std::string> row;
        for (size_t c = 0; c < std::max<size_t>(columns_, 1); ++c) row.push_back(list_.Item(i)->ColumnText(c));
        rows.push_back(std::move(row));
    }
    return rows;
}

void SimListView::CountChanged()
{
    shownCount_ = list_.Count();
    if (editor_ && (editor_->Index() >= list_.Count() || list_.Item(editor_->Index()) != editor_)) editor_ = nullptr;
}

void SimListView::ColumnsChanged() { columns_ = list_.Columns().size(); }

void SimListView::StartEdit(TListItem& item)
{
    if (editor_) Finish(false);
    if (!list_.UserBeginEdit(item)) return;
    editor_ = &item;
    editText_ = item.Caption();
}

void SimListView::StopEdit(bool cancel) { Finish(cancel); }

}  // namespace kp::ui
