#pragma once
// The system colours of a freshly installed Windows 10 or 11 with its default
// (light) settings. Indices 0..30 are known; any other answers 0, as the
// platform does.

#include "platform/syscolors/SysColors.h"

namespace kp::platform {

class SimSysColors final : public SysColors {
public:
    uint32_t SysColor(int index) const override;
};

}  // namespace kp::platform
