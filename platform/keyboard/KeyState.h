#pragma once
// Whether a key is held down right now, as the keyboard state of the thread
// that handles input reports it (GetKeyState on Win32).

#include <cstdint>

namespace kp::platform {

class KeyState {
public:
    virtual ~KeyState() = default;
    virtual bool IsDown(uint32_t virtualKey) const = 0;
};

// Keys held as a test says.
class SimKeyState final : public KeyState {
public:
    bool IsDown(uint32_t virtualKey) const override { return virtualKey < 256 && down_[virtualKey]; }
    void SetDown(uint32_t virtualKey, bool down)
    {
        if (virtualKey < 256) down_[virtualKey] = down;
    }

private:
    bool down_[256] = {};
};

}  // namespace kp::platform
