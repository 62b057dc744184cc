#pragma once
// Key names from the keyboard driver: GetKeyNameTextW of the key's scan code
// (MapVirtualKeyW), with the extended bit for the keys that need it to be told
// apart from their keypad twins (VK_DIVIDE from VK_OEM_2, Num Lock from Pause).

#include "platform/keynames/KeyNames.h"

namespace kp::platform {

class Win32KeyNames final : public KeyNames {
public:
    std::string NameOf(uint32_t virtualKey) const override;
};

}  // namespace kp::platform
