#pragma once
// The view contracts' stages over the platform's controls: each component
// shown in a form host's docked control (the combo in the form's window),
// the user played by posting mouse messages at the rectangles the controls
// report and key messages to the control or its label editor.

#include "tests/contract/ViewContracts.h"
#include "ui/win32/Win32ComboBox.h"
#include "ui/win32/Win32FormHost.h"
#include "ui/win32/Win32ListView.h"
#include "ui/win32/Win32TreeView.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace kp::test {

// Runs the thread's messages until none came for a while.
inline void PumpViews()
{
    MSG message;
    int idle = 0;
    for (int round = 0; round < 400 && idle < 4; ++round) {
        bool any = false;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            any = true;
            if (message.message == WM_QUIT) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        idle = any ? 0 : idle + 1;
        Sleep(5);
    }
}

inline LPARAM PointAt(const RECT& rect)
{
    return MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

inline void PostClick(HWND window, const RECT& rect, WPARAM keys = 0)
{
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON | keys, PointAt(rect));
    PostMessageW(window, WM_LBUTTONUP, keys, PointAt(rect));
}

inline void PostDoubleClick(HWND window, const RECT& rect)
{
    PostClick(window, rect);
    PostMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, PointAt(rect));
    PostMessageW(window, WM_LBUTTONUP, 0, PointAt(rect));
}

inline void PostRightClick(HWND window, const RECT& rect)
{
    PostMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, PointAt(rect));
    PostMessageW(window, WM_RBUTTONUP, 0, PointAt(rect));
}

// Types into a label editor and ends the edit with a key.
inline void PostLabel(HWND edit, const std::string& text, WPARAM key)
{
    if (!edit) return;
    SetWindowTextW(edit, ui::WideText(text).c_str());
    PostMessageW(edit, WM_KEYDOWN, key, 0);
    PumpViews();
}

// A shown form whose client area a docked control fills.
class Win32ViewForm {
public:
    Win32ViewForm()
    {
        ui::Win32FormOptions options;
        options.caption = "views";
        options.mainForm = false;
        options.designWidth = 480;
        options.designHeight = 360;
        host = std::make_unique<ui::Win32FormHost>(options);
        host->OnException = [this](const std::exception& failure) { failures.push_back(failure.what()); };
    }
    ~Win32ViewForm() { host->DetachAll(); }

    HWND Dock(ui::ControlKind kind)
    {
        control = layout.Add(kind, "View", ui::TAlign::Client);
        host->SetControls(&layout);
        host->Show(SW_SHOWNORMAL);
        PumpViews();
        return host->WindowOf(*control);
    }

    ui::TControl layout{ui::ControlKind::Panel, "Root", ui::TAlign::Client};
    ui::TControl* control = nullptr;
    std::unique_ptr<ui::Win32FormHost> host;
    std::vector<std::string> failures;
};

class Win32TreeViewStage final : public TreeViewStage {
public:
    ~Win32TreeViewStage() override { display_.reset(); }
    void Show(ui::TTreeView& tree) override
    {
        window_ = form_.Dock(ui::ControlKind::TreeView);
        display_ = std::make_unique<ui::Win32TreeView>(window_, tree, form_.host->OnException);
    }
    void Click(ui::TTreeNode& node) override { PostClick(window_, RectOf(node)), PumpViews(); }
    void DoubleClick(ui::TTreeNode& node) override { PostDoubleClick(window_, RectOf(node)), PumpViews(); }
    void StartDoubleClick(ui::TTreeNode& node) override
    {
        auto* posting = static_cast<ui::Win32Posting*>(display_->Posting());
        PostDoubleClick(window_, RectOf(node));
        // One message at a time until the view has posted work.
        MSG message;
        for (int idle = 0; posting->Pending() == 0 && idle < 20;) {
            if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                ++idle;
                Sleep(5);
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    void RightClick(ui::TTreeNode& node) override { PostRightClick(window_, RectOf(node)), PumpViews(); }
    void PressF2() override { PostMessageW(window_, WM_KEYDOWN, VK_F2, 0), PumpViews(); }
    void TypeAndEnter(const std::string& text) override { PostLabel(display_->EditWindow(), text, VK_RETURN); }
    void TypeAndEscape(const std::string& text) override { PostLabel(display_->EditWindow(), text, VK_ESCAPE); }
    void Paint() override { RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }
    std::string ShownText(ui::TTreeNode& node) override
    {
        wchar_t text[260] = {};
        TVITEMW item{};
        item.mask = TVIF_HANDLE | TVIF_TEXT;
        item.hItem = static_cast<HTREEITEM>(node.DisplayHandle());
        item.pszText = text;
        item.cchTextMax = 260;
        TreeView_GetItem(window_, &item);
        return ui::Utf8Text(text);
    }
    bool ShownExpanded(ui::TTreeNode& node) override
    {
        return (TreeView_GetItemState(window_, static_cast<HTREEITEM>(node.DisplayHandle()), TVIS_EXPANDED) &
                TVIS_EXPANDED) != 0;
    }
    ui::TTreeNode* ShownSelection() override { return display_->NodeOf(TreeView_GetSelection(window_)); }
    int ShownImage(ui::TTreeNode& node) override
    {
        TVITEMW item{};
        item.mask = TVIF_HANDLE | TVIF_IMAGE;
        item.hItem = static_cast<HTREEITEM>(node.DisplayHandle());
        TreeView_GetItem(window_, &item);
        return item.iImage;
    }

private:
    RECT RectOf(ui::TTreeNode& node)
    {
        TreeView_EnsureVisible(window_, static_cast<HTREEITEM>(node.DisplayHandle()));
        return display_->ItemRect(node);
    }

    Win32ViewForm form_;
    HWND window_ = nullptr;
    std::unique_ptr<ui::Win32TreeView> display_;
};

class Win32ListViewStage final : public ListViewStage {
public:
    ~Win32ListViewStage() override { display_.reset(); }
    void Show(ui::TListView& list) override
    {
        window_ = form_.Dock(ui::ControlKind::ListView);
        display_ = std::make_unique<ui::Win32ListView>(window_, list, form_.host->OnException);
    }
    void Click(ui::TListItem& item) override { PostClick(window_, RectOf(item)), PumpViews(); }
    void CtrlClick(ui::TListItem& item) override { PostClick(window_, RectOf(item), MK_CONTROL), PumpViews(); }
    void DoubleClick(ui::TListItem& item) override { PostDoubleClick(window_, RectOf(item)), PumpViews(); }
    void RightClick(ui::TListItem& item) override { PostRightClick(window_, RectOf(item)), PumpViews(); }
    void ClickColumn(size_t column) override
    {
        HWND header = ListView_GetHeader(window_);
        RECT rect{};
        Header_GetItemRect(header, static_cast<int>(column), &rect);
        PostClick(header, rect);
        PumpViews();
    }
    void PressF2() override { PostMessageW(window_, WM_KEYDOWN, VK_F2, 0), PumpViews(); }
    void TypeAndEnter(const std::string& text) override { PostLabel(display_->EditWindow(), text, VK_RETURN); }
    void TypeAndEscape(const std::string& text) override { PostLabel(display_->EditWindow(), text, VK_ESCAPE); }
    size_t ShownCount() override { return static_cast<size_t>(ListView_GetItemCount(window_)); }
    std::string ShownText(size_t row, size_t column) override
    {
        wchar_t text[260] = {};
        ListView_GetItemText(window_, static_cast<int>(row), static_cast<int>(column), text, 260);
        return ui::Utf8Text(text);
    }
    size_t ShownColumns() override { return static_cast<size_t>(Header_GetItemCount(ListView_GetHeader(window_))); }
    int ShownImage(size_t row) override
    {
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = static_cast<int>(row);
        ListView_GetItem(window_, &item);
        return item.iImage;
    }
    int ShownOverlay(size_t row) override
    {
        const UINT state = ListView_GetItemState(window_, static_cast<int>(row), LVIS_OVERLAYMASK);
        return static_cast<int>((state & LVIS_OVERLAYMASK) >> 8);
    }

private:
    RECT RectOf(ui::TListItem& item)
    {
        ListView_EnsureVisible(window_, static_cast<int>(item.Index()), FALSE);
        return display_->ItemRect(item.Index());
    }

    Win32ViewForm form_;
    HWND window_ = nullptr;
    std::unique_ptr<ui::Win32ListView> display_;
};

class Win32ComboBoxStage final : public ComboBoxStage {
public:
    ~Win32ComboBoxStage() override { display_.reset(); }
    void Show(ui::TComboBox& combo) override
    {
        form_.host->Show(SW_SHOWNORMAL);
        display_ = std::make_unique<ui::Win32ComboBox>(form_.host->Handle(), ui::TRect{8, 8, 248, 30}, combo,
                                                       form_.host->OnException);
        PumpViews();
    }
    void DropDown() override
    {
        RECT rect{};
        GetClientRect(display_->Handle(), &rect);
        PostClick(display_->Handle(), rect);
        PumpViews();
    }
    void PickNext() override { PostMessageW(display_->Handle(), WM_KEYDOWN, VK_DOWN, 0), PumpViews(); }
    void CloseUp() override { PostMessageW(display_->Handle(), WM_KEYDOWN, VK_RETURN, 0), PumpViews(); }
    void Paint() override
    {
        RedrawWindow(display_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        if (HWND list = display_->ListWindow(); list && IsWindowVisible(list))
            RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    size_t ShownCount() override { return static_cast<size_t>(SendMessageW(display_->Handle(), CB_GETCOUNT, 0, 0)); }
    int ShownIndex() override { return static_cast<int>(SendMessageW(display_->Handle(), CB_GETCURSEL, 0, 0)); }

private:
    Win32ViewForm form_;
    std::unique_ptr<ui::Win32ComboBox> display_;
};

}  // namespace kp::test
