#pragma once
// The docked TControl tree as windows: panels, splitters the user drags,
// tree views, list views, and windows the program makes itself (the memo),
// which are only moved, shown and hidden.
//
// Sizes: the widths and heights a tree carries when it is attached are
// designed at 96 DPI and are scaled once to the window's DPI; from then on
// every size and bound of the tree is in device pixels (splitter drags,
// sizes the program sets, Bounds()). A change of DPI scales them again.

#include "ui/Layout.h"
#include "ui/win32/Win32Common.h"

#include <windows.h>

#include <unordered_map>

namespace kp::ui {

class Win32DockedControls final : public LayoutObserver {
public:
    // Windows of the tree are children of `host`; handler receives what the
    // splitters' handling throws.
    Win32DockedControls(HWND host, UINT dpi, HFONT font, const ExceptionHandler& handler);
    ~Win32DockedControls() override;
    Win32DockedControls(const Win32DockedControls&) = delete;
    Win32DockedControls& operator=(const Win32DockedControls&) = delete;

    // Shows `root`'s children inside the area Arrange gives; nullptr detaches.
    // Scales the tree's design sizes to the DPI and becomes its observer.
    void Attach(TControl* root);
    TControl* Root() const { return root_; }
    // Stops observing the root (while it still lives).
    void Detach();
    // Lays the tree out in `area` (host client coordinates).
    void Arrange(const RECT& area);

    // A window made elsewhere for a control (the memo): made a child of the
    // control's parent window, then kept at the control's bounds.
    void AttachWindow(TControl& control, HWND window);
    HWND WindowOf(const TControl& control) const;
    // The window a control's own window has as parent.
    HWND ParentWindowOf(const TControl& control) const;
    // The control shown by `window`, or nullptr.
    TControl* ControlOf(HWND window) const;
    // The first visible memo's window, or nullptr.
    HWND MemoWindow() const;

    void SetDpi(UINT dpi, HFONT font);
    void ControlChanged(TControl& control) override;

private:
    struct Entry {
        HWND window = nullptr;
        bool owned = false;  // made (and destroyed) here
        TViewStyle style = TViewStyle::vsReport;  // the view style last applied
    };
    struct Drag {
        TControl* splitter = nullptr;
        TControl* neighbour = nullptr;
        POINT start{};
        int startSize = 0;
    };
    static LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SplitterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Splitter(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void CreateWindows(TControl& parent);
    HWND Create(TControl& control);
    void Apply(TControl& control, HWND window);
    void Scale(TControl& parent, UINT from, UINT to);
    void DestroyAll();
    TControl* NeighbourOf(TControl& splitter) const;
    void DragTo(POINT screen);

    HWND host_;
    UINT dpi_;
    HFONT font_;
    const ExceptionHandler& handler_;
    TControl* root_ = nullptr;
    std::unordered_map<const TControl*, Entry> windows_;
    std::unordered_map<HWND, TControl*> controls_;
    Drag drag_;
    int nextId_ = 0x7000;
};

}  // namespace kp::ui
