#include "ui/win32/Win32FormHost.h"

#include "base/Error.h"
#include "ui/win32/Win32Application.h"
#include "ui/win32/Win32Bars.h"
#include "ui/win32/Win32Controls.h"
#include "ui/win32/Win32Views.h"
#include "ui/win32/Win32Timer.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>

namespace kp::ui {

namespace {

constexpr int kToolBarId = 0x6F01;
constexpr int kStatusBarId = 0x6F02;

HICON LoadFormIcon(int metricX, int metricY)
{
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_KESTRELPAD), IMAGE_ICON,
                                         GetSystemMetrics(metricX), GetSystemMetrics(metricY), LR_DEFAULTCOLOR));
}

ATOM RegisterFormClass(WNDPROC procedure)
{
    static const ATOM atom = [procedure] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES |
                                                           ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hIcon = LoadFormIcon(SM_CXICON, SM_CYICON);
        windowClass.hIconSm = LoadFormIcon(SM_CXSMICON, SM_CYSMICON);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kFormWindowClass;
        return RegisterClassExW(&windowClass);
    }();
    return atom;
}

// With KP_HANDLER_TIMES naming a file, the handlers of commands are timed
// and a line "command milliseconds" is appended to it whenever a command
// takes longer than it did before (a command's last line is its longest).
// The variable is read at each command, so a run can start and stop logging.
class HandlerTimes {
public:
    static HandlerTimes& Instance()
    {
        static HandlerTimes times;
        return times;
    }
    template <class Action>
    void Run(const std::string& command, Action&& action)
    {
        const char* path = std::getenv("KP_HANDLER_TIMES");
        if (!path || !*path) {
            action();
            return;
        }
        if (path != path_) {
            if (file_) std::fclose(file_);
            path_ = path;
            file_ = std::fopen(path, "a");
            longest_.clear();
        }
        struct Record {
            HandlerTimes& times;
            const std::string& command;
            std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
            ~Record() { times.Took(command, std::chrono::steady_clock::now() - start); }
        } record{*this, command};
        action();
    }

private:
    void Took(const std::string& command, std::chrono::steady_clock::duration took)
    {
        const double ms = std::chrono::duration<double, std::milli>(took).count();
        const auto [longest, first] = longest_.try_emplace(command, ms);
        if (!file_ || (!first && ms <= longest->second)) return;
        longest->second = ms;
        std::fprintf(file_, "%s %.1f\n", command.c_str(), ms);
        std::fflush(file_);
    }

    std::string path_;
    std::FILE* file_ = nullptr;
    std::map<std::string, double> longest_;
};

std::string CommandName(const TMenuItem& item)
{
    return item.Name().empty() ? item.Caption() : item.Name();
}

bool MinimizingCommand(int showCommand)
{
    return showCommand == SW_MINIMIZE || showCommand == SW_SHOWMINIMIZED || showCommand == SW_SHOWMINNOACTIVE ||
           showCommand == SW_FORCEMINIMIZE;
}

}  // namespace

Win32FormHost::Win32FormHost(const Win32FormOptions& options)
    : application_(options.application), mainForm_(options.mainForm)
{
    const ATOM atom = RegisterFormClass(WindowProc);
    if (!atom) throw Error("フォームのウィンドウクラスを登録できません。");
    HWND owner = application_ ? application_->Handle() : nullptr;
    CreateWindowExW(0, MAKEINTATOM(atom), WideText(options.caption).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                    CW_USEDEFAULT, CW_USEDEFAULT, options.designWidth, options.designHeight, owner, nullptr,
                    GetModuleHandleW(nullptr), this);
    if (!window_) throw Error("フォームのウィンドウを作成できません。");
    try {
        CreateChildren(options);
    } catch (...) {
        // The window must not reach this object once the constructor failed.
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
        if (font_) DeleteObject(font_);
        throw;
    }
}

void Win32FormHost::CreateChildren(const Win32FormOptions& options)
{
    dpi_ = GetDpiForWindow(window_);
    if (dpi_ == 0) dpi_ = 96;
    font_ = CreateUiFont(dpi_);
    toolBar_ = std::make_unique<Win32ToolBar>(window_, kToolBarId, dpi_, GetModuleHandleW(nullptr),
                                              options.toolBarImages);
    statusBar_ = std::make_unique<Win32StatusBar>(window_, kStatusBarId, dpi_, font_);
    statusBar_->Attach(nullptr);
    controls_ = std::make_unique<Win32DockedControls>(window_, dpi_, font_, OnException);
    timers_ = std::make_unique<Win32TimerService>(window_);
    if (application_) application_->SetMainWindow(window_);
    // Created at the design size, then sized for the DPI of the monitor it
    // landed on, before it is ever shown.
    SetWindowPos(window_, nullptr, 0, 0, Scaled(options.designWidth), Scaled(options.designHeight),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
}

Win32FormHost::~Win32FormHost()
{
    destroying_ = true;
    if (window_ && mainMenu_) SetMenu(window_, nullptr);
    mainMenu_.reset();
    popups_.clear();
    controls_.reset();
    toolBar_.reset();
    statusBar_.reset();
    timers_.reset();
    if (accelerators_) DestroyAcceleratorTable(accelerators_);
    if (application_) application_->SetMainWindow(nullptr);
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    if (font_) DeleteObject(font_);
}

void Win32FormHost::DetachAll()
{
    if (mainMenu_) mainMenu_->Detach();
    for (auto& popup : popups_) popup->Detach();
    if (toolBar_ && toolBar_->Bar()) toolBar_->Bar()->SetObserver(nullptr);
    if (statusBar_ && statusBar_->Bar()) statusBar_->Bar()->SetObserver(nullptr);
    if (controls_) controls_->Detach();
}

void Win32FormHost::Guard(const std::function<void()>& callback)
{
    if (callback) Guarded(OnException, callback);
}

// ---- FormHost ------------------------------------------------------------------

void Win32FormHost::SetCaption(const std::string& caption) { SetWindowTextW(window_, WideText(caption).c_str()); }

std::string Win32FormHost::Caption() const
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window_)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window_, text.data(), static_cast<int>(text.size()))));
    return Utf8Text(text);
}

TRect Win32FormHost::Bounds() const
{
    RECT bounds{};
    GetWindowRect(window_, &bounds);
    return TRect{bounds.left, bounds.top, bounds.right, bounds.bottom};
}

void Win32FormHost::SetBounds(const TRect& bounds)
{
    if (IsIconic(window_) || IsZoomed(window_)) {
        // Workspace coordinates, which are the screen's unless a task bar
        // sits at the top or the left.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(window_, &placement);
        placement.rcNormalPosition = RECT{bounds.left, bounds.top, bounds.right, bounds.bottom};
        SetWindowPlacement(window_, &placement);
        return;
    }
    SetWindowPos(window_, nullptr, bounds.left, bounds.top, bounds.Width(), bounds.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

TWindowState Win32FormHost::WindowState() const
{
    if (application_ && application_->Minimized()) return TWindowState::wsMinimized;
    if (!everShown_) return pendingState_;
    if (IsIconic(window_)) return TWindowState::wsMinimized;
    if (IsZoomed(window_)) return TWindowState::wsMaximized;
    return TWindowState::wsNormal;
}

void Win32FormHost::SetWindowState(TWindowState state)
{
    if (!everShown_) {
        pendingState_ = state;
        return;
    }
    switch (state) {
    case TWindowState::wsMinimized:
        // An owned window minimised on its own would lie on the desktop;
        // the application window takes the task-bar button down instead.
        if (application_) application_->Minimize();
        else ShowWindow(window_, SW_MINIMIZE);
        break;
    case TWindowState::wsMaximized:
        if (application_) application_->Restore();
        ShowWindow(window_, SW_MAXIMIZE);
        break;
    case TWindowState::wsNormal:
        if (application_) application_->Restore();
        if (IsIconic(window_) || IsZoomed(window_)) ShowWindow(window_, SW_RESTORE);
        break;
    }
}

void Win32FormHost::Close() { SendMessageW(window_, WM_CLOSE, 0, 0); }

void Win32FormHost::AcceptFiles(bool accept) { DragAcceptFiles(window_, accept ? TRUE : FALSE); }
void Win32FormHost::Beep() { MessageBeep(MB_OK); }

void Win32FormHost::Show(int showCommand)
{
    if (application_) application_->ShowButton(true);
    bool minimize = MinimizingCommand(showCommand);
    if (!everShown_) {
        if (pendingState_ == TWindowState::wsMaximized) showCommand = SW_SHOWMAXIMIZED;
        if (pendingState_ == TWindowState::wsMinimized) minimize = true;
    }
    if (minimize && application_) {
        ShowWindow(window_, SW_SHOWNORMAL);
        everShown_ = true;
        application_->Minimize();
    } else {
        ShowWindow(window_, minimize ? SW_SHOWMINIMIZED : showCommand);
        everShown_ = true;
    }
    UpdateWindow(window_);
}

// ---- Menus -----------------------------------------------------------------------

void Win32FormHost::SetShortCutText(ShortCutTextFunction shortCutText)
{
    shortCutText_ = std::move(shortCutText);
    if (mainMenu_) mainMenu_->Rebuild();
    for (auto& popup : popups_) popup->Rebuild();
}

void Win32FormHost::SetMainMenu(TMenuItem* root)
{
    if (mainMenu_) {
        SetMenu(window_, nullptr);
        mainMenu_->Detach();
        mainMenu_.reset();
    }
    if (root) {
        mainMenu_ = std::make_unique<Win32Menu>(*root, Win32Menu::Kind::Bar, shortCutText_);
        mainMenu_->OnChanged = [this] {
            acceleratorsDirty_ = true;
            DrawMenuBar(window_);
        };
        SetMenu(window_, mainMenu_->Handle());
    }
    acceleratorsDirty_ = true;
}

void Win32FormHost::AddPopupMenu(TMenuItem& root)
{
    if (MenuOf(root)) return;
    popups_.push_back(std::make_unique<Win32Menu>(root, Win32Menu::Kind::Popup, shortCutText_));
    popups_.back()->OnChanged = [this] { acceleratorsDirty_ = true; };
    acceleratorsDirty_ = true;
}

void Win32FormHost::RemovePopupMenu(TMenuItem& root)
{
    for (auto it = popups_.begin(); it != popups_.end(); ++it) {
        if (&(*it)->Root() != &root) continue;
        (*it)->Detach();
        popups_.erase(it);
        acceleratorsDirty_ = true;
        return;
    }
}

HMENU Win32FormHost::MenuOf(const TMenuItem& root) const
{
    if (mainMenu_ && &mainMenu_->Root() == &root) return mainMenu_->Handle();
    for (const auto& popup : popups_)
        if (&popup->Root() == &root) return popup->Handle();
    return nullptr;
}

void Win32FormHost::Popup(TMenuItem& root, int screenX, int screenY)
{
    AddPopupMenu(root);
    HMENU menu = MenuOf(root);
    // The menu closes when the user clicks elsewhere only if our window is
    // in the foreground; the null message ends the menu's loop cleanly.
    SetForegroundWindow(window_);
    const UINT command = TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                                          screenX, screenY, window_, nullptr);
    PostMessageW(window_, WM_NULL, 0, 0);
    if (command == 0) return;
    for (const auto& popup : popups_) {
        if (&popup->Root() != &root) continue;
        if (TMenuItem* item = popup->FindCommand(static_cast<int>(command)))
            Guard([item] { HandlerTimes::Instance().Run(CommandName(*item), [item] { item->Click(); }); });
        return;
    }
}

TMenuItem* Win32FormHost::FindMenuCommand(int command) const
{
    if (mainMenu_)
        if (TMenuItem* item = mainMenu_->FindCommand(command)) return item;
    for (const auto& popup : popups_)
        if (TMenuItem* item = popup->FindCommand(command)) return item;
    return nullptr;
}

void Win32FormHost::RebuildAccelerators()
{
    if (accelerators_) DestroyAcceleratorTable(accelerators_);
    accelerators_ = nullptr;
    std::vector<ACCEL> table;
    if (mainMenu_) mainMenu_->AppendAccelerators(table);
    for (const auto& popup : popups_) popup->AppendAccelerators(table);
    if (!table.empty()) accelerators_ = CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
    acceleratorsDirty_ = false;
}

bool Win32FormHost::TranslateAccelerator(MSG& message)
{
    if (!window_ || (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)) return false;
    if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) return false;
    if (acceleratorsDirty_) RebuildAccelerators();
    return accelerators_ && ::TranslateAcceleratorW(window_, accelerators_, &message) != 0;
}

int Win32FormHost::RunMessageLoop()
{
    MSG message{};
    BOOL got;
    loopRunning_ = true;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        bool used = false;
        if (OnMessage) Guard([&] { used = OnMessage(message); });
        if (used || TranslateAccelerator(message)) continue;
        TranslateMessage(&message);
        loopTimer_ = message.message == WM_TIMER && message.hwnd == window_;
        DispatchMessageW(&message);
        loopTimer_ = false;
    }
    loopRunning_ = false;
    return got == 0 ? static_cast<int>(message.wParam) : 1;
}

// ---- Bars and docked controls --------------------------------------------------------

void Win32FormHost::SetToolBar(TToolBar* bar)
{
    if (toolBar_->Bar()) toolBar_->Bar()->SetObserver(nullptr);
    toolBar_->Attach(bar);
    if (bar) bar->SetObserver(this);
    Layout();
}

void Win32FormHost::SetStatusBar(TStatusBar* bar)
{
    if (statusBar_->Bar()) statusBar_->Bar()->SetObserver(nullptr);
    statusBar_->Attach(bar);
    if (bar) bar->SetObserver(this);
    Layout();
}

HWND Win32FormHost::ToolBarWindow() const { return toolBar_->Handle(); }
HWND Win32FormHost::StatusBarWindow() const { return statusBar_->Handle(); }

void Win32FormHost::ToolBarChanged(TToolBar&)
{
    toolBar_->Update();
    LayoutIfBarsMoved();
}

void Win32FormHost::StatusBarChanged(TStatusBar&)
{
    statusBar_->Update();
    LayoutIfBarsMoved();
}

void Win32FormHost::SetControls(TControl* root)
{
    controls_->Attach(root);
    Layout();
}

void Win32FormHost::AttachWindow(TControl& control, HWND window) { controls_->AttachWindow(control, window); }
HWND Win32FormHost::WindowOf(const TControl& control) const { return controls_->WindowOf(control); }
HWND Win32FormHost::ParentWindowOf(const TControl& control) const { return controls_->ParentWindowOf(control); }
TimerService& Win32FormHost::Timers() { return *timers_; }

void Win32FormHost::Layout()
{
    if (!window_ || !toolBar_ || !statusBar_ || !controls_) return;
    RECT client{};
    GetClientRect(window_, &client);
    toolBar_->Place(client.right);
    statusBar_->Place();
    toolBarHeight_ = toolBar_->Height();
    statusBarHeight_ = statusBar_->Height();
    RECT area = client;
    area.top = std::min<LONG>(client.bottom, toolBarHeight_);
    area.bottom = std::max<LONG>(area.top, client.bottom - statusBarHeight_);
    controls_->Arrange(area);
}

// Text and picture changes leave the bars' heights alone: no new layout.
void Win32FormHost::LayoutIfBarsMoved()
{
    if (toolBar_->Height() != toolBarHeight_ || statusBar_->Height() != statusBarHeight_) Layout();
}

// ---- Window procedure ------------------------------------------------------------------

LRESULT CALLBACK Win32FormHost::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32FormHost*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32FormHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    if (!Guarded(self->OnException, [&] { result = self->Handle(message, wParam, lParam); })) return 0;
    return result;
}

LRESULT Win32FormHost::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) {
            Layout();
            Guard(OnResize);
        }
        return 0;
    case WM_COMMAND:
        if (Command(wParam, lParam)) return 0;
        break;
    case WM_NOTIFY: {
        auto& header = *reinterpret_cast<NMHDR*>(lParam);
        if (toolBar_ && toolBar_->Notify(header)) return 0;
        {
            // The views' displays answer their controls' notifications.
            LRESULT viewResult = 0;
            bool routed = false;
            Guard([&] { routed = Win32ViewWindow::RouteNotify(header, viewResult); });
            if (routed) return viewResult;
        }
        TControl* control = controls_ ? controls_->ControlOf(header.hwndFrom) : nullptr;
        LRESULT result = 0;
        bool handled = false;
        if (control && OnNotify) Guard([&] { handled = OnNotify(*control, header, result); });
        if (handled) return result;
        break;
    }
    case WM_TIMER:
        // Timers tick between the messages of this loop only: a modal loop
        // nested in a handler (a dialog, a message box, a menu) delivers
        // WM_TIMER too, and a tick there would run inside a command.
        if (loopRunning_ && !std::exchange(loopTimer_, false)) return 0;
        if (timers_) {
            bool ours = false;
            Guard([&] { ours = timers_->Tick(wParam); });
            if (ours) return 0;
        }
        break;
    case WM_CLOSE:
        HandleClose();
        return 0;
    case WM_QUERYENDSESSION: {
        bool canEnd = true;
        const auto& query = OnQueryEndSession ? OnQueryEndSession : OnCloseQuery;
        if (query && !Guarded(OnException, [&] { query(canEnd); })) canEnd = false;
        return canEnd ? TRUE : FALSE;
    }
    case WM_ENDSESSION:
        if (wParam) Guard(OnEndSession);
        return 0;
    case WM_SHOWWINDOW:
        if (wParam && !destroying_) {
            everShown_ = true;
            if (!std::exchange(showRaised_, true)) Guard(OnShow);
        }
        break;
    case WM_ACTIVATE: {
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(window_, focus)) focus_ = focus;
            break;
        }
        const LRESULT result = DefWindowProcW(window_, message, wParam, lParam);
        if (!HIWORD(wParam)) Guard(OnActivate);
        return result;
    }
    case WM_SETFOCUS:
        RestoreFocus();
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE && application_) {
            application_->Minimize();
            return 0;
        }
        break;
    case WM_DROPFILES:
        DropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_DPICHANGED:
        DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_DESTROY:
        if (mainForm_ && !destroying_ && !std::exchange(quitPosted_, true)) PostQuitMessage(0);
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        {
            HWND window = window_;
            window_ = nullptr;
            return DefWindowProcW(window, message, wParam, lParam);
        }
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

bool Win32FormHost::Command(WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    if (lParam) {
        if (!toolBar_ || reinterpret_cast<HWND>(lParam) != toolBar_->Handle()) return false;
        bool ours = false;
        Guard([&] { HandlerTimes::Instance().Run(toolBar_->CommandName(id), [&] { ours = toolBar_->Command(id); }); });
        return ours;
    }
    // A menu (0) or an accelerator (1).
    if (HIWORD(wParam) > 1) return false;
    TMenuItem* item = FindMenuCommand(id);
    if (!item) return false;
    Guard([item] { HandlerTimes::Instance().Run(CommandName(*item), [item] { item->Click(); }); });
    return true;
}

void Win32FormHost::HandleClose()
{
    bool canClose = true;
    // A failing query keeps the window: closing could lose work.
    if (OnCloseQuery && !Guarded(OnException, [&] { OnCloseQuery(canClose); })) canClose = false;
    if (!canClose) return;
    TCloseAction action = TCloseAction::caHide;
    if (OnClose && !Guarded(OnException, [&] { OnClose(action); })) action = TCloseAction::caNone;
    switch (action) {
    case TCloseAction::caNone:
        return;
    case TCloseAction::caMinimize:
        SetWindowState(TWindowState::wsMinimized);
        return;
    case TCloseAction::caHide:
        ShowWindow(window_, SW_HIDE);
        if (application_ && mainForm_) application_->ShowButton(false);
        if (mainForm_ && !std::exchange(quitPosted_, true)) PostQuitMessage(0);
        return;
    case TCloseAction::caFree:
        if (application_ && mainForm_) application_->ShowButton(false);
        DestroyWindow(window_);  // WM_DESTROY ends the loop of a main form
        return;
    }
}

void Win32FormHost::DropFiles(HDROP drop)
{
    std::vector<std::string> paths;
    {
        struct Finish {
            HDROP drop;
            ~Finish() { DragFinish(drop); }
        } finish{drop};
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            const UINT length = DragQueryFileW(drop, i, nullptr, 0);
            std::wstring path(length + 1, L'\0');
            path.resize(DragQueryFileW(drop, i, path.data(), length + 1));
            paths.push_back(Utf8Text(path));
        }
    }
    if (OnDropFiles) Guard([&] { OnDropFiles(paths); });
}

void Win32FormHost::RestoreFocus()
{
    HWND target = focus_;
    if (!target || !IsWindow(target) || !IsChild(window_, target) || !IsWindowVisible(target))
        target = controls_ ? controls_->MemoWindow() : nullptr;
    if (target) SetFocus(target);
}

void Win32FormHost::DpiChanged(UINT dpi, const RECT& suggested)
{
    if (dpi != dpi_ && dpi != 0) {
        HFONT font = CreateUiFont(dpi);
        toolBar_->SetDpi(dpi);
        statusBar_->SetDpi(dpi, font);
        controls_->SetDpi(dpi, font);
        DeleteObject(font_);
        font_ = font;
        dpi_ = dpi;
    }
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
}

}  // namespace kp::ui
