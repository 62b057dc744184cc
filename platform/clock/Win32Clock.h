#pragma once
// The machine's local time (GetLocalTime); file times through
// FileTimeToLocalFileTime and FileTimeToSystemTime.

#include "platform/clock/Clock.h"

namespace kp::platform {

class Win32Clock final : public Clock {
public:
    LocalTime Now() const override;
    bool FileTimeToLocal(uint64_t fileTime, LocalTime& out) const override;
};

}  // namespace kp::platform
