#pragma once
// Posted work on Win32: a hidden message-only window is woken by a posted
// message and runs one piece per wake-up, in order. A piece whose turn comes while
// input or painting waits runs on a short timer instead, after them (posted
// messages are taken before input, so pieces posting pieces would otherwise
// hold the user's clicks and the repaint back until the work ends). What a
// piece throws goes to the handler (a box). Pieces still queued when the
// object goes are dropped.

#include "ui/Posting.h"
#include "ui/win32/Win32Common.h"

#include <windows.h>

#include <deque>

namespace kp::ui {

class Win32Posting final : public PostingService {
public:
    explicit Win32Posting(const ExceptionHandler& handler);
    ~Win32Posting() override;
    Win32Posting(const Win32Posting&) = delete;
    Win32Posting& operator=(const Win32Posting&) = delete;

    void Post(std::function<void()> work) override;
    size_t Pending() const { return queue_.size(); }
    HWND Handle() const { return window_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Makes sure one wake-up (a posted message or the timer) is on its way
    // while pieces wait.
    void Wake();
    void RunNext();

    HWND window_ = nullptr;
    ExceptionHandler handler_;
    std::deque<std::function<void()>> queue_;
    bool wakeScheduled_ = false;
};

}  // namespace kp::ui
