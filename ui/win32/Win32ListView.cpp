#include "ui/win32/Win32ListView.h"

#include "base/Error.h"

#include <windowsx.h>

#include <vector>

namespace kp::ui {

namespace {

// Posted to the list when the control reported a selection change.
constexpr UINT kSelectionMessage = WM_APP + 0x4B5;

DWORD ListStyleOf(TViewStyle style)
{
    switch (style) {
    case TViewStyle::vsIcon: return LVS_ICON;
    case TViewStyle::vsSmallIcon: return LVS_SMALLICON;
    case TViewStyle::vsList: return LVS_LIST;
    case TViewStyle::vsReport: return LVS_REPORT;
    }
    return LVS_REPORT;
}

int FormatOf(TAlignment alignment)
{
    switch (alignment) {
    case TAlignment::taRightJustify: return LVCFMT_RIGHT;
    case TAlignment::taCenter: return LVCFMT_CENTER;
    default: return LVCFMT_LEFT;
    }
}

}  // namespace

Win32ListView::Win32ListView(HWND window, TListView& list, const ExceptionHandler& handler)
    : Win32ViewWindow(window, handler), list_(list)
{
    if (!(GetWindowLongPtrW(window, GWL_STYLE) & LVS_OWNERDATA))
        throw Error("リストビューが項目を保持しない形式で作成されていません。");
    ListView_SetCallbackMask(window, LVIS_OVERLAYMASK);
    list_.SetDisplay(this);
}

Win32ListView::~Win32ListView()
{
    if (alive_ && list_.Display() == this) list_.SetDisplay(nullptr);
    Detached();
}

void Win32ListView::Detached()
{
    alive_ = false;
    if (IsWindow(Handle())) {
        TFlagScope applying(applying_);
        ListView_SetItemCountEx(Handle(), 0, 0);
    }
}

TListItem* Win32ListView::ItemOf(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= list_.Count()) return nullptr;
    return list_.Item(static_cast<size_t>(index));
}

TListItem* Win32ListView::ItemAt(int x, int y) const
{
    LVHITTESTINFO hit{};
    hit.pt = POINT{x, y};
    const int index = ListView_HitTest(Handle(), &hit);
    return (hit.flags & LVHT_ONITEM) ? ItemOf(index) : nullptr;
}

RECT Win32ListView::ItemRect(size_t index) const
{
    RECT rect{};
    if (!ListView_GetItemRect(Handle(), static_cast<int>(index), &rect, LVIR_LABEL)) return RECT{};
    return rect;
}

RECT Win32ListView::ColumnRect(size_t column) const
{
    HWND header = ListView_GetHeader(Handle());
    RECT rect{};
    if (!header || !Header_GetItemRect(header, static_cast<int>(column), &rect)) return RECT{};
    MapWindowPoints(header, Handle(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HWND Win32ListView::EditWindow() const { return ListView_GetEditControl(Handle()); }

// ---- Showing the component ----------------------------------------------------

void Win32ListView::CountChanged()
{
    TFlagScope applying(applying_);
    ListView_SetItemCountEx(Handle(), static_cast<int>(list_.Count()), LVSICF_NOSCROLL);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void Win32ListView::ItemChanged(TListItem& item)
{
    ListView_RedrawItems(Handle(), static_cast<int>(item.Index()), static_cast<int>(item.Index()));
}

void Win32ListView::Reordered()
{
    ShowSelection();
    InvalidateRect(Handle(), nullptr, TRUE);
}

void Win32ListView::ShowSelection()
{
    TFlagScope applying(applying_);
    selectionPending_ = false;
    ListView_SetItemState(Handle(), -1, 0, LVIS_SELECTED);
    bool first = true;
    for (TListItem* item : list_.SelectedItems()) {
        const UINT state = first ? LVIS_SELECTED | LVIS_FOCUSED : LVIS_SELECTED;
        ListView_SetItemState(Handle(), static_cast<int>(item->Index()), state, state);
        first = false;
    }
}

void Win32ListView::SetRedraw(bool redraw)
{
    SendMessageW(Handle(), WM_SETREDRAW, redraw, 0);
    if (redraw) InvalidateRect(Handle(), nullptr, TRUE);
}

void Win32ListView::ColumnsChanged()
{
    while (ListView_DeleteColumn(Handle(), 0)) {
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    const auto& columns = list_.Columns();
    for (size_t i = 0; i < columns.size(); ++i) {
        std::wstring caption = WideText(columns[i].caption);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = FormatOf(columns[i].alignment);
        column.cx = MulDiv(columns[i].width, dpi, 96);
        column.pszText = caption.data();
        column.iSubItem = static_cast<int>(i);
        ListView_InsertColumn(Handle(), static_cast<int>(i), &column);
    }
}

void Win32ListView::OptionsChanged()
{
    const LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_STYLE);
    const LONG_PTR wanted = (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | ListStyleOf(list_.ViewStyle());
    if (wanted != style) SetWindowLongPtrW(Handle(), GWL_STYLE, wanted);
    SetStyleBits(Handle(), LVS_SINGLESEL, !list_.MultiSelect());
    SetStyleBits(Handle(), LVS_EDITLABELS, !list_.ReadOnly());
    ListView_SetImageList(Handle(), reinterpret_cast<HIMAGELIST>(list_.LargeImages()), LVSIL_NORMAL);
    ListView_SetImageList(Handle(), reinterpret_cast<HIMAGELIST>(list_.SmallImages()), LVSIL_SMALL);
}

void Win32ListView::StartEdit(TListItem& item)
{
    SetFocus(Handle());
    ListView_EditLabel(Handle(), static_cast<int>(item.Index()));
}

void Win32ListView::StopEdit(bool cancel)
{
    HWND edit = EditWindow();
    if (!edit) return;
    if (cancel) ListView_CancelEditLabel(Handle());
    else SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
}

// ---- What the control reports ---------------------------------------------------

void Win32ListView::FlushSelection()
{
    if (!selectionPending_ || !alive_) return;
    selectionPending_ = false;
    std::vector<size_t> selected;
    for (int i = ListView_GetNextItem(Handle(), -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(Handle(), i, LVNI_SELECTED))
        selected.push_back(static_cast<size_t>(i));
    Guard([&] { list_.UserSelection(selected); });
}

bool Win32ListView::Notify(NMHDR& header, LRESULT& result)
{
    if (!alive_) return false;
    switch (header.code) {
    case LVN_GETDISPINFOW: {
        auto& info = reinterpret_cast<NMLVDISPINFOW&>(header).item;
        TListItem* item = ItemOf(info.iItem);
        if (!item) return true;
        if (info.mask & LVIF_TEXT && info.pszText && info.cchTextMax > 0) {
            textBuffer_ = WideText(item->ColumnText(static_cast<size_t>(info.iSubItem)));
            lstrcpynW(info.pszText, textBuffer_.c_str(), info.cchTextMax);
        }
        if (info.mask & LVIF_IMAGE) info.iImage = item->ImageIndex();
        if (info.mask & LVIF_STATE) {
            info.state |= INDEXTOOVERLAYMASK(static_cast<UINT>(item->OverlayIndex()));
            info.stateMask |= LVIS_OVERLAYMASK;
        }
        return true;
    }
    case LVN_ITEMCHANGED: {
        if (applying_) return true;
        auto& change = reinterpret_cast<NMLISTVIEW&>(header);
        if (!(change.uChanged & LVIF_STATE) || !((change.uOldState ^ change.uNewState) & LVIS_SELECTED)) return true;
        if (!selectionPending_) PostMessageW(Handle(), kSelectionMessage, 0, 0);
        selectionPending_ = true;
        return true;
    }
    case LVN_ODSTATECHANGED: {
        if (applying_) return true;
        if (!selectionPending_) PostMessageW(Handle(), kSelectionMessage, 0, 0);
        selectionPending_ = true;
        return true;
    }
    case LVN_ODFINDITEMW:
        result = -1;
        return true;
    case LVN_COLUMNCLICK: {
        FlushSelection();
        const int column = reinterpret_cast<NMLISTVIEW&>(header).iSubItem;
        Guard([&] { list_.UserColumnClick(static_cast<size_t>(column)); });
        return true;
    }
    case NM_DBLCLK:
        FlushSelection();
        Guard([&] { list_.UserDblClick(); });
        return true;
    case NM_RCLICK: {
        // The release of the right button (the control waited for it).
        FlushSelection();
        const auto& click = reinterpret_cast<NMITEMACTIVATE&>(header);
        Guard([&] {
            list_.UserMouseUp(TMouseButton::mbRight, click.ptAction.x, click.ptAction.y,
                              ItemAt(click.ptAction.x, click.ptAction.y));
        });
        return true;
    }
    case LVN_BEGINLABELEDITW: {
        FlushSelection();
        TListItem* item = ItemOf(reinterpret_cast<NMLVDISPINFOW&>(header).item.iItem);
        bool allow = false;
        if (item) Guard([&] { allow = list_.UserBeginEdit(*item); });
        result = allow ? FALSE : TRUE;
        return true;
    }
    case LVN_ENDLABELEDITW: {
        auto& edit = reinterpret_cast<NMLVDISPINFOW&>(header).item;
        TListItem* item = ItemOf(edit.iItem);
        std::optional<std::string> text;
        if (edit.pszText) text = Utf8Text(edit.pszText);
        if (item) Guard([&] { list_.UserEndEdit(*item, text); });
        result = FALSE;
        return true;
    }
    case LVN_BEGINDRAG: {
        FlushSelection();
        TListItem* item = ItemOf(reinterpret_cast<NMLISTVIEW&>(header).iItem);
        if (item) Guard([&] { list_.UserStartDrag(*item); });
        return true;
    }
    default:
        return false;
    }
}

bool Win32ListView::Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (!alive_) return false;
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    switch (message) {
    case kSelectionMessage:
        FlushSelection();
        return true;
    case WM_KEYDOWN: {
        FlushSelection();
        if (wParam == VK_F2) {
            Guard([&] { list_.UserEditKey(); });
            return true;
        }
        unsigned key = static_cast<unsigned>(wParam);
        Guard([&] { key = list_.UserKeyDown(key); });
        return key == 0;
    }
    case WM_MOUSEMOVE:
        Guard([&] { list_.UserMouseMove(x, y); });
        return false;
    case WM_LBUTTONDOWN:
        result = CallDefault(message, wParam, lParam);
        FlushSelection();
        Guard([&] { list_.UserMouseDown(TMouseButton::mbLeft, x, y, ItemAt(x, y)); });
        return true;
    case WM_RBUTTONDOWN:
        // The control selects, waits for the release and reports NM_RCLICK.
        result = CallDefault(message, wParam, lParam);
        FlushSelection();
        return true;
    default:
        return false;
    }
}

PostingService* Win32ListView::Posting()
{
    if (!posting_) posting_ = std::make_unique<Win32Posting>(Handler());
    return posting_.get();
}

}  // namespace kp::ui
