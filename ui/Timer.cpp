#include "ui/Timer.h"

namespace kp::ui {

TTimer::~TTimer()
{
    if (enabled_ && service_) service_->Stop(*this);
}

void TTimer::SetEnabled(bool enabled)
{
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (!service_) return;
    if (enabled_) service_->Start(*this);
    else service_->Stop(*this);
}

void TTimer::SetInterval(int interval)
{
    if (interval == interval_ || interval < 0) return;
    interval_ = interval;
    if (enabled_ && service_) {
        service_->Stop(*this);
        service_->Start(*this);
    }
}

void TTimer::SetService(TimerService* service)
{
    if (enabled_ && service_) service_->Stop(*this);
    service_ = service;
    if (enabled_ && service_) service_->Start(*this);
}

}  // namespace kp::ui
