#pragma once
// Watchers for the shell's own modal loops in in-process tests: the shell's
// message boxes send the test's windows nothing, so a watcher thread finds
// them among the thread's windows by caption and presses a button; menu and
// drag loops are ended with Esc. Each wait has a deadline: a box or loop
// still running then is closed and the watcher says so.

#include "base/Utf.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>
#include <string_view>
#include <thread>

namespace kp::test {

inline constexpr auto kDeadline = std::chrono::seconds(10);

inline std::wstring Wide(std::string_view utf8)
{
    const std::u16string w = Utf8ToUtf16(utf8);
    return std::wstring(w.begin(), w.end());
}

// Presses button id in the first window of thread titled caption; after the
// deadline closes every dialog of the thread instead and says so.
class BoxWatcher {
public:
    BoxWatcher(DWORD thread, std::string caption, int button)
        : worker_([this, thread, caption = Wide(caption), button] { Watch(thread, caption, button); })
    {
    }
    ~BoxWatcher()
    {
        stop_ = true;
        worker_.join();
    }
    bool Pressed() const { return pressed_; }
    bool TimedOut() const { return timedOut_; }

private:
    struct Search {
        const std::wstring* caption;
        HWND found;
        bool anyDialog;
    };
    static BOOL CALLBACK Visit(HWND window, LPARAM data)
    {
        auto& search = *reinterpret_cast<Search*>(data);
        wchar_t text[256] = {}, kind[64] = {};
        GetWindowTextW(window, text, 256);
        GetClassNameW(window, kind, 64);
        const bool dialog = std::wstring_view(kind) == L"#32770";
        if ((search.anyDialog && dialog) || (!search.anyDialog && *search.caption == text && IsWindowVisible(window))) {
            search.found = window;
            return FALSE;
        }
        return TRUE;
    }
    void Watch(DWORD thread, const std::wstring& caption, int button)
    {
        const auto end = std::chrono::steady_clock::now() + kDeadline;
        while (!stop_) {
            Search search{&caption, nullptr, false};
            EnumThreadWindows(thread, Visit, reinterpret_cast<LPARAM>(&search));
            if (search.found) {
                PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(search.found, button)));
                pressed_ = true;
                return;
            }
            if (std::chrono::steady_clock::now() > end) {
                timedOut_ = true;
                for (Search any{&caption, nullptr, true};; any.found = nullptr) {
                    EnumThreadWindows(thread, Visit, reinterpret_cast<LPARAM>(&any));
                    if (!any.found || stop_) return;
                    PostMessageW(any.found, WM_COMMAND, IDCANCEL, 0);
                    std::this_thread::sleep_for(std::chrono::milliseconds(200));
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    std::atomic<bool> stop_{false}, pressed_{false}, timedOut_{false};
    std::thread worker_;
};

// Ends a menu or drag loop that is still running after the deadline, with
// Esc posted to the owner until it stops, and says so.
class LoopDeadline {
public:
    explicit LoopDeadline(HWND owner)
        : worker_([this, owner] {
              const auto end = std::chrono::steady_clock::now() + kDeadline;
              while (!stop_) {
                  if (std::chrono::steady_clock::now() > end) {
                      timedOut_ = true;
                      PostMessageW(owner, WM_KEYDOWN, VK_ESCAPE, 0);
                      std::this_thread::sleep_for(std::chrono::milliseconds(500));
                  } else {
                      std::this_thread::sleep_for(std::chrono::milliseconds(50));
                  }
              }
          })
    {
    }
    ~LoopDeadline()
    {
        stop_ = true;
        worker_.join();
    }
    bool TimedOut() const { return timedOut_; }

private:
    std::atomic<bool> stop_{false}, timedOut_{false};
    std::thread worker_;
};

}  // namespace kp::test
