#pragma once
// The machine's local time (GetLocalTime).

#include "platform/clock/Clock.h"

namespace kp::platform {

class Win32Clock final : public Clock {
public:
    LocalTime Now() const override;
};

}  // namespace kp::platform
