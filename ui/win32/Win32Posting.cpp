#include "ui/win32/Win32Posting.h"

#include <utility>

namespace kp::ui {

namespace {

constexpr UINT kRunMessage = WM_APP + 7;
constexpr UINT_PTR kLaterTimer = 1;
constexpr wchar_t kPostingClass[] = L"KestrelpadPosting";

}  // namespace

Win32Posting::Win32Posting(const ExceptionHandler& handler) : handler_(handler)
{
    static const ATOM atom = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kPostingClass;
        return RegisterClassExW(&windowClass);
    }();
    window_ = CreateWindowExW(0, MAKEINTATOM(atom), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (window_) SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Posting::~Win32Posting()
{
    if (!window_) return;
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

void Win32Posting::Post(std::function<void()> work)
{
    if (!work) return;
    queue_.push_back(std::move(work));
    Wake();
}

void Win32Posting::Wake()
{
    if (wakeScheduled_ || queue_.empty()) return;
    if (window_ && PostMessageW(window_, kRunMessage, 0, 0)) {
        wakeScheduled_ = true;
        return;
    }
    // No window to post to: the pieces run now rather than never.
    while (!queue_.empty()) RunNext();
}

void Win32Posting::RunNext()
{
    if (queue_.empty()) return;
    std::function<void()> work = std::move(queue_.front());
    queue_.pop_front();
    Guarded(handler_, work);
}

LRESULT CALLBACK Win32Posting::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<Win32Posting*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    const bool posted = message == kRunMessage;
    const bool timer = message == WM_TIMER && wParam == kLaterTimer;
    if (!self || !(posted || timer)) return DefWindowProcW(window, message, wParam, lParam);
    if (timer) KillTimer(window, kLaterTimer);
    self->wakeScheduled_ = false;
    // Input or painting waiting: the piece waits for the timer, which comes
    // after both. A piece's turn on the timer is not put off again.
    if (posted && HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT)) != 0 &&
        SetTimer(window, kLaterTimer, USER_TIMER_MINIMUM, nullptr)) {
        self->wakeScheduled_ = true;
        return 0;
    }
    self->RunNext();
    // The piece may have gone with its owner, which may have gone with this
    // object: the window's pointer says whether it still lives.
    if (auto* alive = reinterpret_cast<Win32Posting*>(GetWindowLongPtrW(window, GWLP_USERDATA))) alive->Wake();
    return 0;
}

}  // namespace kp::ui
