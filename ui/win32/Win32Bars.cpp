#include "ui/win32/Win32Bars.h"

#include "base/Error.h"
#include "ui/win32/Win32Common.h"

#include <commctrl.h>

#include <cstdint>
#include <cstring>

namespace kp::ui {

namespace {

// Buttons' command ids are their index in the bar plus this.
constexpr int kFirstButtonId = 1;
// Room above and below the buttons, at 96 DPI.
constexpr int kToolBarMargin = 2;

HWND CreateChild(const wchar_t* className, DWORD style, HWND parent, int id)
{
    HWND window = CreateWindowExW(0, className, nullptr, WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 0, 0, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                  nullptr);
    if (!window) throw Error("ツールバーまたはステータスバーを作成できません。");
    return window;
}

// A top-down 32-bit DIB section, and where its pixels are.
HBITMAP CreateDib(int width, int height, uint32_t*& pixels)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels = static_cast<uint32_t*>(bits);
    return bitmap;
}

// The look of a disabled button: the picture in light grey, half transparent.
uint32_t Disabled(uint32_t argb)
{
    const uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    const uint32_t grey = 110 + (r * 30 + g * 59 + b * 11) / 100 * 145 / 255;
    const uint32_t alpha = (argb >> 24) / 2;
    return alpha << 24 | grey << 16 | grey << 8 | grey;
}

}  // namespace

// ---- Tool bar ------------------------------------------------------------------

Win32ToolBar::Win32ToolBar(HWND parent, int id, UINT dpi, HINSTANCE module, int imageResource)
    : window_(CreateChild(TOOLBARCLASSNAMEW,
                          TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, parent,
                          id)),
      module_(module), imageResource_(imageResource), dpi_(dpi)
{
    SendMessageW(window_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    LoadImages();
}

Win32ToolBar::~Win32ToolBar()
{
    DestroyWindow(window_);
    if (images_) ImageList_Destroy(images_);
    if (disabledImages_) ImageList_Destroy(disabledImages_);
}

// The bitmap's cells scaled to the DPI (nearest pixel), and a disabled copy.
void Win32ToolBar::LoadImages()
{
    const int cell = ScaleDesign(kToolBarImageSize, dpi_);
    HIMAGELIST images = ImageList_Create(cell, cell, ILC_COLOR32, 16, 4);
    HIMAGELIST disabled = ImageList_Create(cell, cell, ILC_COLOR32, 16, 4);
    auto* source = static_cast<HBITMAP>(
        LoadImageW(module_, MAKEINTRESOURCEW(imageResource_), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    DIBSECTION dib{};
    if (source && GetObjectW(source, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBitsPixel == 32 &&
        dib.dsBm.bmHeight == kToolBarImageSize) {
        const int width = dib.dsBm.bmWidth, height = dib.dsBm.bmHeight;
        const int count = width / kToolBarImageSize;
        const bool bottomUp = dib.dsBmih.biHeight > 0;
        const auto* bits = static_cast<const uint32_t*>(dib.dsBm.bmBits);
        uint32_t* normalPixels = nullptr;
        uint32_t* disabledPixels = nullptr;
        HBITMAP normal = CreateDib(cell * count, cell, normalPixels);
        HBITMAP grey = CreateDib(cell * count, cell, disabledPixels);
        if (normal && grey) {
            for (int y = 0; y < cell; ++y) {
                const int sy = y * kToolBarImageSize / cell;
                const uint32_t* row = bits + static_cast<ptrdiff_t>(bottomUp ? height - 1 - sy : sy) * width;
                for (int x = 0; x < cell * count; ++x) {
                    const uint32_t pixel = row[(x / cell) * kToolBarImageSize + (x % cell) * kToolBarImageSize / cell];
                    normalPixels[y * cell * count + x] = pixel;
                    disabledPixels[y * cell * count + x] = Disabled(pixel);
                }
            }
            GdiFlush();
            ImageList_Add(images, normal, nullptr);
            ImageList_Add(disabled, grey, nullptr);
        }
        if (normal) DeleteObject(normal);
        if (grey) DeleteObject(grey);
    }
    if (source) DeleteObject(source);

    SendMessageW(window_, TB_SETBITMAPSIZE, 0, MAKELPARAM(cell, cell));
    SendMessageW(window_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    SendMessageW(window_, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(disabled));
    if (images_) ImageList_Destroy(images_);
    if (disabledImages_) ImageList_Destroy(disabledImages_);
    images_ = images;
    disabledImages_ = disabled;
}

void Win32ToolBar::Attach(TToolBar* bar)
{
    bar_ = bar;
    shown_.clear();
    Rebuild();
}

void Win32ToolBar::Rebuild()
{
    for (LRESULT count = SendMessageW(window_, TB_BUTTONCOUNT, 0, 0); count > 0; --count)
        SendMessageW(window_, TB_DELETEBUTTON, 0, 0);
    shown_.clear();
    if (!bar_) {
        ShowWindow(window_, SW_HIDE);
        return;
    }
    const int width = ScaleDesign(bar_->ButtonWidth, dpi_), height = ScaleDesign(bar_->ButtonHeight, dpi_);
    SendMessageW(window_, TB_SETBUTTONSIZE, 0, MAKELPARAM(width, height));
    std::vector<TBBUTTON> buttons;
    const auto& source = bar_->Buttons();
    for (size_t i = 0; i < source.size(); ++i) {
        const TToolButton& button = source[i];
        TBBUTTON shown{};
        if (button.separator) {
            shown.fsStyle = BTNS_SEP;
        } else {
            shown.iBitmap = button.imageIndex >= 0 ? button.imageIndex : I_IMAGENONE;
            shown.idCommand = kFirstButtonId + static_cast<int>(i);
            shown.fsState = button.enabled ? TBSTATE_ENABLED : 0;
            shown.fsStyle = BTNS_BUTTON;
        }
        shown.iString = -1;
        buttons.push_back(shown);
        shown_.push_back(Shown{button.separator, button.name, button.imageIndex, button.enabled});
    }
    if (!buttons.empty())
        SendMessageW(window_, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(window_, TB_SETBUTTONSIZE, 0, MAKELPARAM(width, height));
    SendMessageW(window_, TB_AUTOSIZE, 0, 0);
    ShowWindow(window_, bar_->Visible() ? SW_SHOWNA : SW_HIDE);
}

void Win32ToolBar::Update()
{
    if (!bar_) return Rebuild();
    const auto& buttons = bar_->Buttons();
    bool sameButtons = buttons.size() == shown_.size();
    for (size_t i = 0; sameButtons && i < buttons.size(); ++i)
        sameButtons = buttons[i].separator == shown_[i].separator && buttons[i].name == shown_[i].name;
    if (!sameButtons) return Rebuild();
    for (size_t i = 0; i < buttons.size(); ++i) {
        const TToolButton& button = buttons[i];
        Shown& shown = shown_[i];
        if (button.separator) continue;
        const WPARAM id = kFirstButtonId + i;
        if (button.imageIndex != shown.image) {
            SendMessageW(window_, TB_CHANGEBITMAP, id, button.imageIndex >= 0 ? button.imageIndex : I_IMAGENONE);
            shown.image = button.imageIndex;
        }
        if (button.enabled != shown.enabled) {
            SendMessageW(window_, TB_ENABLEBUTTON, id, MAKELPARAM(button.enabled ? TRUE : FALSE, 0));
            shown.enabled = button.enabled;
        }
    }
    ShowWindow(window_, bar_->Visible() ? SW_SHOWNA : SW_HIDE);
}

int Win32ToolBar::Height() const
{
    if (!bar_ || !bar_->Visible()) return 0;
    return ScaleDesign(bar_->ButtonHeight + 2 * kToolBarMargin, dpi_);
}

void Win32ToolBar::Place(int width)
{
    SetWindowPos(window_, nullptr, 0, 0, width, Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32ToolBar::SetDpi(UINT dpi)
{
    if (dpi == dpi_) return;
    dpi_ = dpi;
    LoadImages();
    Rebuild();
}

std::string Win32ToolBar::CommandName(int id) const
{
    const size_t index = static_cast<size_t>(id - kFirstButtonId);
    if (!bar_ || id < kFirstButtonId || index >= bar_->Buttons().size()) return "button";
    return "button " + bar_->Buttons()[index].name;
}

bool Win32ToolBar::Command(int id)
{
    const size_t index = static_cast<size_t>(id - kFirstButtonId);
    if (!bar_ || id < kFirstButtonId || index >= bar_->Buttons().size()) return false;
    const TToolButton& button = bar_->Buttons()[index];
    if (!button.separator && button.enabled && button.OnClick) {
        const std::function<void()> onClick = button.OnClick;  // the handler may change the bar
        onClick();
    }
    return true;
}

bool Win32ToolBar::Notify(NMHDR& header)
{
    if (header.code != TTN_GETDISPINFOW || !bar_) return false;
    const auto tips = reinterpret_cast<HWND>(SendMessageW(window_, TB_GETTOOLTIPS, 0, 0));
    if (header.hwndFrom != tips && header.hwndFrom != window_) return false;
    const size_t index = header.idFrom - kFirstButtonId;
    if (header.idFrom < kFirstButtonId || index >= bar_->Buttons().size()) return false;
    auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
    tip_ = WideText(bar_->Buttons()[index].hint);
    info.lpszText = tip_.data();
    info.szText[0] = L'\0';
    info.hinst = nullptr;
    return true;
}

// ---- Status bar ----------------------------------------------------------------

Win32StatusBar::Win32StatusBar(HWND parent, int id, UINT dpi, HFONT font)
    : window_(CreateChild(STATUSCLASSNAMEW, SBARS_SIZEGRIP, parent, id)), dpi_(dpi)
{
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void Win32StatusBar::Attach(TStatusBar* bar)
{
    bar_ = bar;
    widths_.clear();
    texts_.clear();
    Update();
}

void Win32StatusBar::SetPanelEdges()
{
    std::vector<int> edges;
    int right = 0;
    for (const int width : widths_) {
        right += ScaleDesign(width, dpi_);
        edges.push_back(right);
    }
    if (edges.empty()) edges.push_back(-1);
    edges.back() = -1;
    SendMessageW(window_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void Win32StatusBar::Update()
{
    if (!bar_) {
        ShowWindow(window_, SW_HIDE);
        return;
    }
    std::vector<int> widths;
    for (size_t i = 0; i < bar_->PanelCount(); ++i) widths.push_back(bar_->Panel(i).width);
    if (widths != widths_) {
        widths_ = std::move(widths);
        texts_.clear();  // new edges may drop the texts of panels gone
        SetPanelEdges();
    }
    texts_.resize(bar_->PanelCount(), std::string(1, '\0'));  // never equal to a real text: shown once
    for (size_t i = 0; i < bar_->PanelCount(); ++i) {
        if (texts_[i] == bar_->Text(i)) continue;
        texts_[i] = bar_->Text(i);
        SendMessageW(window_, SB_SETTEXTW, i, reinterpret_cast<LPARAM>(WideText(texts_[i]).c_str()));
    }
    ShowWindow(window_, bar_->Visible() ? SW_SHOWNA : SW_HIDE);
}

void Win32StatusBar::Place() { SendMessageW(window_, WM_SIZE, 0, 0); }

int Win32StatusBar::Height() const
{
    if (!bar_ || !bar_->Visible()) return 0;
    RECT bounds{};
    GetWindowRect(window_, &bounds);
    return bounds.bottom - bounds.top;
}

void Win32StatusBar::SetDpi(UINT dpi, HFONT font)
{
    dpi_ = dpi;
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetPanelEdges();
}

}  // namespace kp::ui
