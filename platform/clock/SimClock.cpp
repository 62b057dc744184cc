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

bool SimClock::FileTimeToLocal(uint64_t fileTime, LocalTime& out) const
{
    // File times are signed 64-bit counts; the platform's dates end with the
    // year 30827.
    if (fileTime >= 0x8000000000000000ull) return false;
    const long long seconds = static_cast<long long>(fileTime / 10000000) + kZoneSeconds;
    out = LocalTimeFromSeconds(seconds, static_cast<int>(fileTime / 10000 % 1000));
    return out.year <= 30827;
}

}  // namespace kp::platform
