#pragma once
// An owner-drawn combo box component (CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED)
// on Win32. The combo sits in a small container window of its own, which
// receives what a combo box tells its parent (drawing, measuring, picks,
// dropping down), so it can be placed in any window.

#include "ui/ComboBox.h"
#include "ui/win32/Win32Common.h"

#include <windows.h>

namespace kp::ui {

class Win32ComboBox final : public ComboBoxDisplay {
public:
    // Creates the combo as a child of `parent` at `bounds` (client pixels;
    // the height is the closed box's, the list drops below it).
    Win32ComboBox(HWND parent, const TRect& bounds, TComboBox& combo, const ExceptionHandler& handler);
    ~Win32ComboBox() override;
    Win32ComboBox(const Win32ComboBox&) = delete;
    Win32ComboBox& operator=(const Win32ComboBox&) = delete;

    HWND Handle() const { return combo_; }
    HWND Container() const { return container_; }
    // The dropped list's window.
    HWND ListWindow() const;

    void Inserted(size_t position) override;
    void Removed(size_t position) override;
    void Cleared() override;
    void ShowItemIndex(int index) override;
    void ShowDropped(bool dropped) override;
    void OptionsChanged() override;
    void Detached() override;

private:
    static LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Container(UINT message, WPARAM wParam, LPARAM lParam);
    void Draw(const DRAWITEMSTRUCT& draw);
    int ItemHeightPixels() const;

    TComboBox& model_;
    ExceptionHandler handler_;
    HWND container_ = nullptr;
    HWND combo_ = nullptr;
    HFONT font_ = nullptr;
    UINT dpi_ = 96;
    int width_ = 0;
    bool applying_ = false;
    bool alive_ = true;
};

}  // namespace kp::ui
