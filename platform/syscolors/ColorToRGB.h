#pragma once

#include "base/Color.h"
#include "platform/syscolors/SysColors.h"

#include <cstdint>

namespace kp::platform {

// The 0x00BBGGRR value a colour draws with: an RGB colour as it is (anything
// above its 24 bits cleared), a system colour as the platform's current value
// for its index.
uint32_t ColorToRGB(TColor color, const SysColors& colors);

}  // namespace kp::platform
