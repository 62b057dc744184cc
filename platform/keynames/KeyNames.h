#pragma once
// The platform's name of a virtual key ("BackSpace", ";", "Num Lock", ...) as
// the keyboard layout in use spells it: what shortcut texts show for keys
// outside the fixed list of settings/ShortCut.h. UTF-8; empty for a key the
// keyboard does not have.

#include <cstdint>
#include <string>

namespace kp::platform {

class KeyNames {
public:
    virtual ~KeyNames() = default;
    virtual std::string NameOf(uint32_t virtualKey) const = 0;
};

}  // namespace kp::platform
