#pragma once
// Item identifier lists: the shell's length-prefixed names of files, folders
// and virtual items. A list is a run of identifiers, each a 16-bit
// little-endian size (cb, its own two bytes included) and cb - 2 opaque bytes,
// ended by a cb of 0. Lists are byte-aligned: cb is read and written with
// memcpy, never through a 16-bit pointer.
//
// IdList owns one list and frees it through the allocator that issued it;
// IdView borrows one (an argument, or a position inside another list) and
// carries how many bytes may be read from it, so no walk leaves its block.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

namespace kp::platform {

// The shell's memory allocator (IMalloc). Every list a folder or a helper
// returns comes from it and goes back to it.
class ShellAllocator {
public:
    virtual ~ShellAllocator() = default;
    // size bytes, not cleared; nullptr when there is no memory.
    virtual void* Alloc(size_t size) = 0;
    virtual void Free(void* block) = 0;
    // The size of a block this allocator issued (0 when it cannot tell).
    virtual size_t SizeOf(const void* block) = 0;
};

inline uint16_t ReadCb(const uint8_t* at)
{
    uint8_t bytes[2];
    std::memcpy(bytes, at, 2);
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

inline void WriteCb(uint8_t* at, uint16_t cb)
{
    const uint8_t bytes[2] = {static_cast<uint8_t>(cb & 0xFF), static_cast<uint8_t>(cb >> 8)};
    std::memcpy(at, bytes, 2);
}

// A borrowed list: bytes may be read up to bound. A null view is no list.
struct IdView {
    const uint8_t* bytes = nullptr;
    size_t bound = 0;

    explicit operator bool() const { return bytes != nullptr; }
};

// One owned list. Move-only; the destructor frees it through its allocator.
// Live() counts the lists alive in the process, so tests can show that every
// list was freed exactly once.
class IdList {
public:
    IdList() = default;
    // Takes over a block of size bytes issued by allocator.
    IdList(ShellAllocator* allocator, uint8_t* bytes, size_t size) : allocator_(allocator), bytes_(bytes), size_(size)
    {
        if (bytes_) ++live_;
    }
    // Takes over a block the allocator issued; its size is asked of the
    // allocator (for lists the shell allocated itself).
    static IdList Adopt(ShellAllocator* allocator, void* bytes)
    {
        if (!bytes) return {};
        return IdList(allocator, static_cast<uint8_t*>(bytes), allocator->SizeOf(bytes));
    }
    IdList(IdList&& other) noexcept
        : allocator_(std::exchange(other.allocator_, nullptr)),
          bytes_(std::exchange(other.bytes_, nullptr)),
          size_(std::exchange(other.size_, 0))
    {
    }
    IdList& operator=(IdList&& other) noexcept
    {
        if (this != &other) {
            Reset();
            allocator_ = std::exchange(other.allocator_, nullptr);
            bytes_ = std::exchange(other.bytes_, nullptr);
            size_ = std::exchange(other.size_, 0);
        }
        return *this;
    }
    IdList(const IdList&) = delete;
    IdList& operator=(const IdList&) = delete;
    ~IdList() { Reset(); }

    void Reset()
    {
        if (bytes_) {
            allocator_->Free(bytes_);
            --live_;
        }
        bytes_ = nullptr;
        size_ = 0;
        allocator_ = nullptr;
    }
    // Gives up ownership (to a platform call that frees the list itself).
    uint8_t* Release()
    {
        if (bytes_) --live_;
        size_ = 0;
        allocator_ = nullptr;
        return std::exchange(bytes_, nullptr);
    }

    const uint8_t* Bytes() const { return bytes_; }
    uint8_t* Bytes() { return bytes_; }
    size_t BlockSize() const { return size_; }
    ShellAllocator* Allocator() const { return allocator_; }
    IdView View() const { return {bytes_, size_}; }
    explicit operator bool() const { return bytes_ != nullptr; }

    static long Live() { return live_.load(); }

private:
    ShellAllocator* allocator_ = nullptr;
    uint8_t* bytes_ = nullptr;
    size_t size_ = 0;
    static inline std::atomic<long> live_{0};
};

}  // namespace kp::platform
