#include "ui/win32/Win32Timer.h"

#include "base/Error.h"

namespace kp::ui {

namespace {

UINT_PTR IdOf(const TTimer& timer) { return reinterpret_cast<UINT_PTR>(&timer); }

}  // namespace

Win32TimerService::~Win32TimerService()
{
    for (const auto& [id, timer] : running_) KillTimer(window_, id);
}

void Win32TimerService::Start(TTimer& timer)
{
    if (timer.Interval() <= 0) return;
    if (!SetTimer(window_, IdOf(timer), static_cast<UINT>(timer.Interval()), nullptr))
        throw Error("タイマーを開始できません。");
    running_[IdOf(timer)] = &timer;
}

void Win32TimerService::Stop(TTimer& timer)
{
    if (running_.erase(IdOf(timer))) KillTimer(window_, IdOf(timer));
}

bool Win32TimerService::Tick(UINT_PTR id)
{
    const auto found = running_.find(id);
    if (found == running_.end()) return false;
    found->second->Tick();
    return true;
}

}  // namespace kp::ui
