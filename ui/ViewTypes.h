#pragma once
// What the tree view, the list view and the combo box share: the payload a
// node, item or entry owns, image lists named by handle, mouse buttons, the
// scoped brackets (update, busy flag, hourglass cursor) and the screen
// cursor they restore.

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <utility>

namespace kp::ui {

// An opaque object owned by a node, item or entry and freed with it (or
// when replaced). Move-only; the deleter knows what the pointer is.
class TPayload {
public:
    using Deleter = void (*)(void*);

    TPayload() = default;
    TPayload(void* data, Deleter deleter) noexcept : data_(data), deleter_(deleter) {}
    template <class T>
    static TPayload Own(std::unique_ptr<T> object)
    {
        return TPayload(object.release(), [](void* data) { delete static_cast<T*>(data); });
    }
    TPayload(TPayload&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), deleter_(std::exchange(other.deleter_, nullptr)) {}
    TPayload& operator=(TPayload&& other) noexcept
    {
        if (this != &other) {
            Reset();
            data_ = std::exchange(other.data_, nullptr);
            deleter_ = std::exchange(other.deleter_, nullptr);
        }
        return *this;
    }
    TPayload(const TPayload&) = delete;
    TPayload& operator=(const TPayload&) = delete;
    ~TPayload() { Reset(); }

    void* Get() const { return data_; }
    template <class T>
    T* As() const { return static_cast<T*>(data_); }
    explicit operator bool() const { return data_ != nullptr; }
    // Frees the object now.
    void Reset() noexcept
    {
        if (data_ && deleter_) deleter_(data_);
        data_ = nullptr;
        deleter_ = nullptr;
    }
    // Gives the object up without freeing it.
    void* Release() noexcept
    {
        deleter_ = nullptr;
        return std::exchange(data_, nullptr);
    }

private:
    void* data_ = nullptr;
    Deleter deleter_ = nullptr;
};

// A platform image list (on Win32 an HIMAGELIST, such as the system's,
// which is never freed here); 0 is none.
using TImageList = std::uintptr_t;
constexpr int kNoImage = -1;
// An image index set to this is asked for when the node or item is first
// read for display (the component's GetImageIndex hook), not before.
constexpr int kImageCallback = -2;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Receives what a handler of a view throws where it cannot unwind further
// (a window procedure, the drawing path).
using ViewErrorHandler = std::function<void(const std::exception&)>;

// ---- Scoped brackets ----------------------------------------------------------

// Opens the update bracket of a view (BeginUpdate) and ends it however the
// scope is left, exceptions included.
template <class View>
class TUpdateScope {
public:
    explicit TUpdateScope(View& view) : view_(view) { view_.BeginUpdate(); }
    ~TUpdateScope() { view_.EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    View& view_;
};

// Sets a flag for the scope's life and gives it back its earlier value.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : flag_(flag), saved_(flag) { flag_ = true; }
    ~TFlagScope() { flag_ = saved_; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& flag_;
    bool saved_;
};

// ---- Screen cursor --------------------------------------------------------------

enum class TCursor { crDefault, crHourGlass };

// The cursor the application shows over its windows. The platform side
// observes it (on Win32 by Win32ShowScreenCursor); tests read it.
class Screen {
public:
    static TCursor Cursor();
    static void SetCursor(TCursor cursor);
    // Called at each change; nullptr stops observing.
    static void SetObserver(std::function<void(TCursor)> observer);
};

// Shows the hourglass for the scope's life and restores the cursor shown
// before, however the scope is left.
class THourGlassScope {
public:
    THourGlassScope() : saved_(Screen::Cursor()) { Screen::SetCursor(TCursor::crHourGlass); }
    ~THourGlassScope() { Screen::SetCursor(saved_); }
    THourGlassScope(const THourGlassScope&) = delete;
    THourGlassScope& operator=(const THourGlassScope&) = delete;

private:
    TCursor saved_;
};

}  // namespace kp::ui
