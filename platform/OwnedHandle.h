#pragma once
// A handle that an implementation of a platform interface gives out (an open
// registry key, an open file): closed through its owner when it goes,
// movable, not copyable. A default or moved-from handle is closed.

#include <cstdint>

namespace kp::platform {

template <class Owner>
class OwnedHandle {
public:
    OwnedHandle() = default;
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    OwnedHandle(OwnedHandle&& other) noexcept { *this = static_cast<OwnedHandle&&>(other); }
    OwnedHandle& operator=(OwnedHandle&& other) noexcept
    {
        if (this != &other) {
            Close();
            owner_ = other.owner_;
            handle_ = other.handle_;
            other.owner_ = nullptr;
            other.handle_ = 0;
        }
        return *this;
    }
    ~OwnedHandle() { Close(); }

    bool IsOpen() const { return owner_ != nullptr; }
    void Close()
    {
        if (owner_) owner_->CloseHandle(handle_);
        owner_ = nullptr;
        handle_ = 0;
    }

private:
    friend Owner;
    // For the owner only: the value it gave out, and giving one out.
    static uintptr_t ValueOf(const OwnedHandle& handle) { return handle.handle_; }
    static void Bind(OwnedHandle& handle, Owner* owner, uintptr_t value)
    {
        handle.Close();
        handle.owner_ = owner;
        handle.handle_ = value;
    }

    Owner* owner_ = nullptr;
    uintptr_t handle_ = 0;
};

}  // namespace kp::platform
