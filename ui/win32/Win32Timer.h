#pragma once
// TTimer over SetTimer/KillTimer on a window: WM_TIMER with the timer's id
// comes to the window's procedure, which passes it to Tick. A timer with
// interval 0 never fires. The service must outlive the timers that use it.

#include "ui/Timer.h"

#include <windows.h>

#include <unordered_map>

namespace kp::ui {

class Win32TimerService final : public TimerService {
public:
    explicit Win32TimerService(HWND window) : window_(window) {}
    ~Win32TimerService() override;
    Win32TimerService(const Win32TimerService&) = delete;
    Win32TimerService& operator=(const Win32TimerService&) = delete;

    void Start(TTimer& timer) override;
    void Stop(TTimer& timer) override;
    // WM_TIMER: the timer with this id ticks. False for an id not ours (or
    // one stopped while its message waited in the queue).
    bool Tick(UINT_PTR id);

private:
    HWND window_;
    std::unordered_map<UINT_PTR, TTimer*> running_;
};

}  // namespace kp::ui
