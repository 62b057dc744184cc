#pragma once
// A form's top-level window on Win32 (class "TEditForm") and what it hosts:
// the menu bar and pop-up menus with their accelerators, the tool bar, the
// status bar, the docked controls, the timers and dropped files.
//
// The form's logic keeps the state (TMenuItem, TToolBar, TStatusBar,
// TControl); the host observes it and shows every change. Whatever a
// callback or a handler of the form's objects throws goes to OnException
// (without one, to a stop box): exceptions never unwind through a window
// procedure.
//
// Sizes: the form is designed at 96 DPI. The window's first size, the tool
// bar's buttons and pictures, the status panels and the design sizes of an
// attached control tree are scaled to the window's DPI (see
// Win32Controls.h); Bounds() and SetBounds() are device pixels as the
// platform reports them.
//
// Lifetime: attached objects (menus, bars, the control tree, timers) are
// left alone when the host is destroyed, so they may die first; when they
// outlive the host, call DetachAll before it goes.

#include "res/resource.h"
#include "ui/Bars.h"
#include "ui/FormHost.h"
#include "ui/Layout.h"
#include "ui/Menu.h"
#include "ui/Timer.h"
#include "ui/win32/Win32Common.h"
#include "ui/win32/Win32Menu.h"

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kp::ui {

class Win32ApplicationHost;
class Win32DockedControls;
class Win32StatusBar;
class Win32TimerService;
class Win32ToolBar;

constexpr wchar_t kFormWindowClass[] = L"TEditForm";

struct Win32FormOptions {
    std::string caption;
    // The application window that owns the form and carries its task-bar
    // button; nullptr: the form is unowned and has a button of its own.
    Win32ApplicationHost* application = nullptr;
    // Closing the main form (other than caNone) ends RunMessageLoop.
    bool mainForm = true;
    // The outer size at 96 DPI; the position is the platform's default.
    int designWidth = 738;
    int designHeight = 514;
    // The tool bar's pictures: a bitmap resource of the executable.
    int toolBarImages = IDB_TOOLBAR;
};

class Win32FormHost final : public FormHost, private BarObserver {
public:
    // Creates the window hidden; Show shows it.
    explicit Win32FormHost(const Win32FormOptions& options = {});
    ~Win32FormHost() override;
    Win32FormHost(const Win32FormHost&) = delete;
    Win32FormHost& operator=(const Win32FormHost&) = delete;

    HWND Handle() const { return window_; }
    UINT Dpi() const { return dpi_; }
    // A size designed at 96 DPI, in this window's device pixels.
    int Scaled(int design) const { return ScaleDesign(design, dpi_); }

    // ---- FormHost ----
    void SetCaption(const std::string& caption) override;
    std::string Caption() const override;
    TRect Bounds() const override;
    // For a maximised or minimised window, the bounds it is restored to.
    void SetBounds(const TRect& bounds) override;
    // Before the window is first shown the state is kept and Show applies it.
    TWindowState WindowState() const override;
    void SetWindowState(TWindowState state) override;
    void Close() override;
    void AcceptFiles(bool accept) override;
    void Beep() override;

    // Shows the window (in the window state set before, else with
    // showCommand, e.g. WinMain's) and the application's task-bar button.
    void Show(int showCommand = SW_SHOWNORMAL);

    // ---- Menus ----
    // The text shown after a tab for each item's shortcut; menus are filled
    // again. Without it menus show no shortcut texts.
    void SetShortCutText(ShortCutTextFunction shortCutText);
    // The menu bar: the root's children are its entries. nullptr: none.
    void SetMainMenu(TMenuItem* root);
    // Registers a pop-up menu (its shortcuts join the accelerators after
    // the menu bar's). A root can show in one menu only.
    void AddPopupMenu(TMenuItem& root);
    void RemovePopupMenu(TMenuItem& root);
    // Shows a pop-up menu at a point on the screen and runs the chosen
    // item; registers the menu first if needed.
    void Popup(TMenuItem& root, int screenX, int screenY);
    // The menu handle showing a root (menu bar or pop-up), or nullptr.
    HMENU MenuOf(const TMenuItem& root) const;

    // ---- Bars ----
    void SetToolBar(TToolBar* bar);
    void SetStatusBar(TStatusBar* bar);
    HWND ToolBarWindow() const;
    HWND StatusBarWindow() const;

    // ---- Docked controls ----
    // The tree whose children fill the client area below the tool bar and
    // above the status bar; its sizes are design sizes (see above).
    void SetControls(TControl* root);
    // A window the program made for a control (the memo; again after the
    // memo recreated its window). Create it as a child of ParentWindowOf.
    void AttachWindow(TControl& control, HWND window);
    HWND WindowOf(const TControl& control) const;
    HWND ParentWindowOf(const TControl& control) const;

    TimerService& Timers();

    // ---- Message loop ----
    // Runs the accelerator of a key message for this window or any window
    // inside it: the menu's shortcuts come before the keys of the focused
    // control. True when the message was used up.
    bool TranslateAccelerator(MSG& message);
    // GetMessage, OnMessage, TranslateAccelerator, TranslateMessage,
    // DispatchMessage until WM_QUIT; returns its exit code.
    int RunMessageLoop();

    // Stops observing every attached object that still lives.
    void DetachAll();

    // ---- Callbacks (each guarded) ----
    std::function<void(bool& canClose)> OnCloseQuery;  // canClose starts true
    std::function<void(TCloseAction& action)> OnClose;  // action starts caHide
    // Log-off or shut-down asks whether the session may end (canEnd starts
    // true; a failure refuses). Without it the close query answers.
    std::function<void(bool& canEnd)> OnQueryEndSession;
    // The session ends: the process ends after this returns.
    std::function<void()> OnEndSession;
    std::function<void()> OnShow;                       // first time shown
    std::function<void()> OnActivate;                   // each activation
    std::function<void()> OnResize;                     // after the layout
    // Files dropped from the shell, as UTF-8 paths; raised after the drop
    // was finished (DragFinish), so the handler may take its time.
    std::function<void(const std::vector<std::string>& paths)> OnDropFiles;
    // WM_NOTIFY from a docked control (tree or list view); true when handled,
    // with the result to return.
    std::function<bool(TControl& control, NMHDR& header, LRESULT& result)> OnNotify;
    // In RunMessageLoop, before the accelerators (modeless dialogs); true
    // when the message was used up.
    std::function<bool(MSG& message)> OnMessage;
    ExceptionHandler OnException;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateChildren(const Win32FormOptions& options);
    void Layout();
    void LayoutIfBarsMoved();
    void HandleClose();
    bool Command(WPARAM wParam, LPARAM lParam);
    TMenuItem* FindMenuCommand(int command) const;
    void DropFiles(HDROP drop);
    void DpiChanged(UINT dpi, const RECT& suggested);
    void RestoreFocus();
    void RebuildAccelerators();
    void Guard(const std::function<void()>& callback);

    void ToolBarChanged(TToolBar& bar) override;
    void StatusBarChanged(TStatusBar& bar) override;

    Win32ApplicationHost* application_;
    bool mainForm_;
    HWND window_ = nullptr;
    UINT dpi_ = 96;
    HFONT font_ = nullptr;
    ShortCutTextFunction shortCutText_;
    std::unique_ptr<Win32Menu> mainMenu_;
    std::vector<std::unique_ptr<Win32Menu>> popups_;
    HACCEL accelerators_ = nullptr;
    bool acceleratorsDirty_ = true;
    std::unique_ptr<Win32ToolBar> toolBar_;
    std::unique_ptr<Win32StatusBar> statusBar_;
    std::unique_ptr<Win32DockedControls> controls_;
    std::unique_ptr<Win32TimerService> timers_;
    int toolBarHeight_ = 0;
    int statusBarHeight_ = 0;
    TWindowState pendingState_ = TWindowState::wsNormal;
    bool everShown_ = false;
    bool showRaised_ = false;
    bool quitPosted_ = false;
    bool destroying_ = false;
    bool loopRunning_ = false;  // RunMessageLoop is running
    bool loopTimer_ = false;    // it dispatches a WM_TIMER of this window
    HWND focus_ = nullptr;
};

}  // namespace kp::ui
