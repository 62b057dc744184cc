#include "platform/keyboard/Win32KeyState.h"

#include <windows.h>

namespace kp::platform {

bool Win32KeyState::IsDown(uint32_t virtualKey) const
{
    return GetKeyState(static_cast<int>(virtualKey)) < 0;
}

}  // namespace kp::platform
