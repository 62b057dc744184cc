#pragma once
// The system colours of the running session (GetSysColor).

#include "platform/syscolors/SysColors.h"

namespace kp::platform {

class Win32SysColors final : public SysColors {
public:
    uint32_t SysColor(int index) const override;
};

}  // namespace kp::platform
