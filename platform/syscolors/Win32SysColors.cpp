#include "platform/syscolors/Win32SysColors.h"

#include <windows.h>

namespace kp::platform {

uint32_t Win32SysColors::SysColor(int index) const
{
    return GetSysColor(index) & 0x00FFFFFF;
}

}  // namespace kp::platform
