#pragma once
// A message-loop timer: OnTimer runs on the user-interface thread every
// Interval milliseconds while Enabled. A TimerService starts and stops the
// platform's timer; tests fire ticks by hand.

#include <functional>

namespace kp::ui {

class TTimer;

class TimerService {
public:
    virtual ~TimerService() = default;
    virtual void Start(TTimer& timer) = 0;
    virtual void Stop(TTimer& timer) = 0;
};

class TTimer {
public:
    explicit TTimer(int interval = 1000) : interval_(interval) {}
    ~TTimer();

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    int Interval() const { return interval_; }
    void SetInterval(int interval);
    std::function<void()> OnTimer;
    // One tick, as the platform delivers it.
    void Tick()
    {
        if (enabled_ && OnTimer) OnTimer();
    }
    void SetService(TimerService* service);

private:
    bool enabled_ = false;
    int interval_;
    TimerService* service_ = nullptr;
};

}  // namespace kp::ui
