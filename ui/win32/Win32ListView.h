#pragma once
// A list view component shown in a SysListView32 made with LVS_OWNERDATA:
// the control holds no items, only their number and selection, and asks
// for each text, image and overlay as it draws (LVN_GETDISPINFO), so a fill
// of thousands of items costs one message. Selection changes the control
// reports are gathered and handed over once (a click that moves the
// selection is one change), always before the click, double-click or edit
// that follows. F2 starts the label edit; the release of a right click is
// reported with the item under the pointer.

#include "ui/ListView.h"
#include "ui/win32/Win32Posting.h"
#include "ui/win32/Win32Views.h"

#include <memory>

#include <string>

namespace kp::ui {

class Win32ListView final : public Win32ViewWindow, public ListViewDisplay {
public:
    // `window`: a SysListView32 with LVS_OWNERDATA (a docked ListView
    // control's window has it).
    Win32ListView(HWND window, TListView& list, const ExceptionHandler& handler);
    ~Win32ListView() override;

    TListView& List() const { return list_; }
    RECT ItemRect(size_t index) const;
    // A column's header rectangle, in the list's client coordinates.
    RECT ColumnRect(size_t column) const;
    HWND EditWindow() const;

    // ---- ListViewDisplay ----
    void CountChanged() override;
    void ItemChanged(TListItem& item) override;
    void Reordered() override;
    void ShowSelection() override;
    void SetRedraw(bool redraw) override;
    void ColumnsChanged() override;
    void OptionsChanged() override;
    void StartEdit(TListItem& item) override;
    void StopEdit(bool cancel) override;
    void Detached() override;
    // A message-only window of this thread, made when first asked.
    PostingService* Posting() override;

private:
    bool Notify(NMHDR& header, LRESULT& result) override;
    bool Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // Hands the control's selection to the component when it changed.
    void FlushSelection();
    TListItem* ItemAt(int x, int y) const;
    TListItem* ItemOf(int index) const;

    TListView& list_;
    std::unique_ptr<Win32Posting> posting_;
    bool applying_ = false;
    bool alive_ = true;
    bool selectionPending_ = false;
    std::wstring textBuffer_;
};

}  // namespace kp::ui
