#pragma once
// Work handed to the message loop: each piece posted runs once, later, on
// the user-interface thread, after the messages already waiting. Long work
// cut into pieces that each post the next keeps the window answering: input,
// painting and messages from other threads are handled between the pieces.
//
// On Win32 a hidden message-only window receives the pieces
// (ui/win32/Win32Posting.h); in tests the simulation queues them and the
// test runs them (ui/sim/SimPosting.h). Work that must not outlive an object
// checks a token of it (a weak pointer) before it acts.

#include <functional>

namespace kp::ui {

class PostingService {
public:
    virtual ~PostingService() = default;
    virtual void Post(std::function<void()> work) = 0;
};

}  // namespace kp::ui
