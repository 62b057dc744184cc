#pragma once
// A list view's display for tests: keeps what a real one shows (redraw
// state, rows, the label edit in progress) and plays the user's doing as
// the platform's control reports it.

#include "ui/ListView.h"

#include <string>
#include <vector>

namespace kp::ui {

class SimListView final : public ListViewDisplay {
public:
    explicit SimListView(TListView& list);
    ~SimListView() override;
    SimListView(const SimListView&) = delete;
    SimListView& operator=(const SimListView&) = delete;

    // ---- The user ----
    // A left click on an item: it alone is selected.
    void Click(TListItem& item);
    // A control-click: the item joins the selection or leaves it.
    void CtrlClick(TListItem& item);
    void DoubleClick(TListItem& item);
    // A right click over an item (nullptr: over no item): an unselected
    // item becomes the selection, as the platform's list does.
    void RightClick(TListItem* item);
    void ClickColumn(size_t column);
    void PressF2();
    // A key other than F2 goes down (the platform's list then handles it
    // unless the handler used it up).
    void KeyDown(unsigned key) { list_.UserKeyDown(key); }
    void MouseMove(int x, int y) { list_.UserMouseMove(x, y); }
    void Type(const std::string& text);
    void PressEnter();
    void PressEscape();

    // ---- What it shows ----
    bool Redrawing() const { return redraw_; }
    bool EditorShown() const { return editor_ != nullptr; }
    // The rows as drawn now: the texts of every column, in order.
    std::vector<std::vector<std::string>> Rows() const;
    size_t ShownCount() const { return shownCount_; }
    size_t ColumnCount() const { return columns_; }

    // ---- ListViewDisplay ----
    void CountChanged() override;
    void ItemChanged(TListItem&) override {}
    void Reordered() override {}
    void ShowSelection() override {}
    void SetRedraw(bool redraw) override { redraw_ = redraw; }
    void ColumnsChanged() override;
    void OptionsChanged() override {}
    void Detached() override { alive_ = false; }
    PostingService* Posting() override { return posting_; }
    // Where the list's pieces of work go (a SimPosting the test runs).
    void SetPosting(PostingService* posting) { posting_ = posting; }
    void StartEdit(TListItem& item) override;
    void StopEdit(bool cancel) override;

private:
    bool alive_ = true;
    void Finish(bool cancel);
    std::vector<size_t> SelectedPositions() const;

    TListView& list_;
    PostingService* posting_ = nullptr;
    bool redraw_ = true;
    size_t shownCount_ = 0;
    size_t columns_ = 0;
    TListItem* editor_ = nullptr;
    std::string editText_;
};

}  // namespace kp::ui
