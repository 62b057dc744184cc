#include "ui/win32/Win32ComboBox.h"

#include "base/Error.h"

#include <commctrl.h>

namespace kp::ui {

namespace {

constexpr wchar_t kContainerClass[] = L"KestrelpadComboHost";

// Draws on the DC of a WM_DRAWITEM.
class Win32ItemCanvas final : public TItemCanvas {
public:
    Win32ItemCanvas(HDC dc, bool selected) : dc_(dc), selected_(selected)
    {
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, GetSysColor(selected_ ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    }
    void FillRect(const TRect& rect) override
    {
        RECT r{rect.left, rect.top, rect.right, rect.bottom};
        ::FillRect(dc_, &r, GetSysColorBrush(selected_ ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    }
    void TextAt(int x, int y, const std::string& text) override
    {
        const std::wstring wide = WideText(text);
        ::TextOutW(dc_, x, y, wide.c_str(), static_cast<int>(wide.size()));
    }
    void DrawImage(TImageList images, int index, const TRect& square) override
    {
        HICON icon = ImageList_GetIcon(reinterpret_cast<HIMAGELIST>(images), index, ILD_NORMAL);
        if (!icon) return;
        DrawIconEx(dc_, square.left, square.top, icon, square.Width(), square.Height(), 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
    }

private:
    HDC dc_;
    bool selected_;
};

}  // namespace

Win32ComboBox::Win32ComboBox(HWND parent, const TRect& bounds, TComboBox& combo, const ExceptionHandler& handler)
    : model_(combo), handler_(handler)
{
    static const bool registered = [] {
        WNDCLASSEXW container{};
        container.cbSize = sizeof container;
        container.lpfnWndProc = ContainerProc;
        container.hInstance = GetModuleHandleW(nullptr);
        container.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        container.lpszClassName = kContainerClass;
        return RegisterClassExW(&container) != 0;
    }();
    if (!registered) throw Error("コンボボックスのウィンドウクラスを登録できません。");
    HDC screen = GetDC(nullptr);
    dpi_ = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    font_ = CreateUiFont(dpi_);
    width_ = bounds.Width();
    container_ = CreateWindowExW(0, kContainerClass, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, bounds.left,
                                 bounds.top, bounds.Width(), bounds.Height(), parent, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (!container_) throw Error("コンボボックスを作成できません。");
    SetWindowLongPtrW(container_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // The measuring message comes while the combo is being made.
    combo_ = CreateWindowExW(0, WC_COMBOBOXW, nullptr,
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED,
                             0, 0, bounds.Width(), bounds.Height(), container_, nullptr, GetModuleHandleW(nullptr),
                             nullptr);
    if (!combo_) throw Error("コンボボックスを作成できません。");
    SendMessageW(combo_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    RECT closed{};
    GetWindowRect(combo_, &closed);
    SetWindowPos(container_, nullptr, 0, 0, bounds.Width(), closed.bottom - closed.top, SWP_NOMOVE | SWP_NOZORDER);
    model_.SetDisplay(this);
}

Win32ComboBox::~Win32ComboBox()
{
    if (alive_ && model_.Display() == this) model_.SetDisplay(nullptr);
    if (IsWindow(container_)) {
        SetWindowLongPtrW(container_, GWLP_USERDATA, 0);
        DestroyWindow(container_);
    }
    if (font_) DeleteObject(font_);
}

void Win32ComboBox::Detached()
{
    alive_ = false;
    SetWindowLongPtrW(container_, GWLP_USERDATA, 0);
    TFlagScope applying(applying_);
    SendMessageW(combo_, CB_RESETCONTENT, 0, 0);
}

HWND Win32ComboBox::ListWindow() const
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    return GetComboBoxInfo(combo_, &info) ? info.hwndList : nullptr;
}

int Win32ComboBox::ItemHeightPixels() const { return ScaleDesign(model_.ItemHeight(), dpi_); }

void Win32ComboBox::Inserted(size_t position)
{
    TFlagScope applying(applying_);
    SendMessageW(combo_, CB_INSERTSTRING, position, 0);
}

void Win32ComboBox::Removed(size_t position)
{
    TFlagScope applying(applying_);
    SendMessageW(combo_, CB_DELETESTRING, position, 0);
}

void Win32ComboBox::Cleared()
{
    TFlagScope applying(applying_);
    SendMessageW(combo_, CB_RESETCONTENT, 0, 0);
}

void Win32ComboBox::ShowItemIndex(int index)
{
    TFlagScope applying(applying_);
    SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Win32ComboBox::ShowDropped(bool dropped) { SendMessageW(combo_, CB_SHOWDROPDOWN, dropped, 0); }

void Win32ComboBox::OptionsChanged()
{
    const int height = ItemHeightPixels();
    SendMessageW(combo_, CB_SETITEMHEIGHT, 0, height);
    SendMessageW(combo_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height);
    // The window's height is the closed box plus the dropped list's.
    RECT closed{};
    GetWindowRect(combo_, &closed);
    const int box = static_cast<int>(SendMessageW(combo_, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0)) + 8;
    SetWindowPos(combo_, nullptr, 0, 0, width_, box + height * model_.DropDownCount() + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK Win32ComboBox::ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<Win32ComboBox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) {
        if (message == WM_MEASUREITEM) {
            // Before the display is ready: the default height.
            reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = 16;
            return TRUE;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Container(message, wParam, lParam);
}

LRESULT Win32ComboBox::Container(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(ItemHeightPixels());
        return TRUE;
    case WM_DRAWITEM:
        Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) != combo_) break;
        switch (HIWORD(wParam)) {
        case CBN_SELCHANGE:
            if (!applying_) {
                const int index = static_cast<int>(SendMessageW(combo_, CB_GETCURSEL, 0, 0));
                Guarded(handler_, [&] { model_.UserPicked(index); });
            }
            return 0;
        case CBN_DROPDOWN:
            Guarded(handler_, [&] { model_.UserDropped(true); });
            return 0;
        case CBN_CLOSEUP:
            Guarded(handler_, [&] { model_.UserDropped(false); });
            return 0;
        default:
            break;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(container_, message, wParam, lParam);
}

void Win32ComboBox::Draw(const DRAWITEMSTRUCT& draw)
{
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    Win32ItemCanvas canvas(draw.hDC, selected);
    HGDIOBJ oldFont = SelectObject(draw.hDC, font_);
    const TRect rect{draw.rcItem.left, draw.rcItem.top, draw.rcItem.right, draw.rcItem.bottom};
    TOwnerDrawState state;
    state.selected = selected;
    state.focused = (draw.itemState & ODS_FOCUS) != 0;
    state.comboEdit = (draw.itemState & ODS_COMBOBOXEDIT) != 0;
    if (static_cast<int>(draw.itemID) < 0) canvas.FillRect(rect);
    else Guarded(handler_, [&] { model_.Draw(draw.itemID, canvas, rect, state); });
    if (state.focused && state.comboEdit) DrawFocusRect(draw.hDC, &draw.rcItem);
    SelectObject(draw.hDC, oldFont);
}

}  // namespace kp::ui
