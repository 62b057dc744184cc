#pragma once
// The tool bar and the status bar as common controls. Each shows one
// TToolBar or TStatusBar and is told by its host (the bars' observer) when
// it changed; sizes are designed at 96 DPI and scaled to the window's DPI.

#include "ui/Bars.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace kp::ui {

// Pictures of the tool bar: one bitmap resource of 16 × 16 cells, 32-bit
// with alpha, drawn by tools/make_toolbar_bitmap.py.
constexpr int kToolBarImageSize = 16;

class Win32ToolBar {
public:
    // A flat tool bar with tips along the top of `parent`; its pictures come
    // from the bitmap resource `imageResource` of `module`.
    Win32ToolBar(HWND parent, int id, UINT dpi, HINSTANCE module, int imageResource);
    ~Win32ToolBar();
    Win32ToolBar(const Win32ToolBar&) = delete;
    Win32ToolBar& operator=(const Win32ToolBar&) = delete;

    HWND Handle() const { return window_; }
    // Shows `bar` (nullptr: none); the bar must outlive this or be replaced.
    void Attach(TToolBar* bar);
    TToolBar* Bar() const { return bar_; }
    // Shows the bar's current buttons, states and pictures.
    void Update();
    // Places the bar across the top of a client area `width` wide.
    void Place(int width);
    // Height in device pixels; 0 while there is no bar or it is hidden.
    int Height() const;
    void SetDpi(UINT dpi);

    // WM_COMMAND from the tool bar: runs the button. False for other ids.
    bool Command(int id);
    // The name of the button a command id stands for, for logs.
    std::string CommandName(int id) const;
    // TTN_GETDISPINFOW from the tool bar's tips: the button's hint.
    bool Notify(NMHDR& header);

private:
    struct Shown {
        bool separator;
        std::string name;
        int image;
        bool enabled;
    };
    void LoadImages();
    void Rebuild();

    HWND window_;
    HINSTANCE module_;
    int imageResource_;
    UINT dpi_;
    HIMAGELIST images_ = nullptr;
    HIMAGELIST disabledImages_ = nullptr;
    TToolBar* bar_ = nullptr;
    std::vector<Shown> shown_;
    std::wstring tip_;
};

class Win32StatusBar {
public:
    Win32StatusBar(HWND parent, int id, UINT dpi, HFONT font);
    HWND Handle() const { return window_; }
    void Attach(TStatusBar* bar);
    TStatusBar* Bar() const { return bar_; }
    // Shows the bar's panels: their widths (designed at 96 DPI; the last one
    // reaches the right edge) and the texts that changed.
    void Update();
    // Moves the bar to the bottom of its parent's client area.
    void Place();
    // Height in device pixels; 0 while there is no bar or it is hidden.
    int Height() const;
    void SetDpi(UINT dpi, HFONT font);

private:
    void SetPanelEdges();

    HWND window_;
    UINT dpi_;
    TStatusBar* bar_ = nullptr;
    std::vector<int> widths_;
    std::vector<std::string> texts_;
};

}  // namespace kp::ui
