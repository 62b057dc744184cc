#pragma once
// The platform's system colours, by index (5 window background, 8 window
// text, ...), as 0x00BBGGRR values.

#include <cstdint>

namespace kp::platform {

class SysColors {
public:
    virtual ~SysColors() = default;
    virtual uint32_t SysColor(int index) const = 0;
};

}  // namespace kp::platform
