#pragma once
// A clock that shows what it is told: 14 March 1999, 21:05:09 (a Sunday)
// until set otherwise, in a fixed zone nine hours ahead of UTC without
// daylight saving.

#include "platform/clock/Clock.h"

namespace kp::platform {

class SimClock final : public Clock {
public:
    LocalTime Now() const override;
    void Set(const LocalTime& now);
    bool FileTimeToLocal(uint64_t fileTime, LocalTime& out) const override;
    static constexpr long long kZoneSeconds = 9 * 3600;

private:
    LocalTime now_{1999, 3, 14, 0, 21, 5, 9, 0};
};

}  // namespace kp::platform
