#include "platform/syscolors/ColorToRGB.h"

namespace kp::platform {

uint32_t ColorToRGB(TColor color, const SysColors& colors)
{
    constexpr uint32_t kRgbMask = 0x00FFFFFF;
    if (IsSystemColor(color)) return colors.SysColor(SystemColorIndex(color)) & kRgbMask;
    return color & kRgbMask;
}

}  // namespace kp::platform
