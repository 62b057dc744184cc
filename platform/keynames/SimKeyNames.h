#pragma once
// Key names of a US keyboard as Wine's X11 driver reports them (measured under
// Wine 8 with Xvfb's default keymap): X11 key-symbol names such as
// "BackSpace", "KP_Divide" and ";", including its quirks (VK 0x92 is also
// named "=", VK_HELP "Alt"). Keys it does not name answer empty, as do
// VK_NUMPAD0..9, which have no scan code of their own there.

#include "platform/keynames/KeyNames.h"

namespace kp::platform {

class SimKeyNames final : public KeyNames {
public:
    std::string NameOf(uint32_t virtualKey) const override;
};

}  // namespace kp::platform
