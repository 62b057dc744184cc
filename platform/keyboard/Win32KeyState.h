#pragma once
// The keyboard state of the calling thread (GetKeyState): what the message
// being handled saw, not the physical keys now.

#include "platform/keyboard/KeyState.h"

namespace kp::platform {

class Win32KeyState final : public KeyState {
public:
    bool IsDown(uint32_t virtualKey) const override;
};

}  // namespace kp::platform
