#include "platform/clock/SimClock.h"

namespace kp::platform {

LocalTime SimClock::Now() const
{
    return now_;
}

void SimClock::Set(const LocalTime& now)
{
    now_ = now;
}

}  // namespace kp::platform
