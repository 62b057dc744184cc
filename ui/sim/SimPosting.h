#pragma once
// Posted work for tests: queued in order, run only when the test says, one
// piece at a time or until none is left (pieces posted meanwhile included).
// What a piece throws reaches the test.

#include "ui/Posting.h"

#include <cstddef>
#include <deque>

namespace kp::ui {

class SimPosting final : public PostingService {
public:
    void Post(std::function<void()> work) override;

    size_t Pending() const { return queue_.size(); }
    // Runs the oldest piece; false when there was none.
    bool RunOne();
    // Runs pieces until none is left; the number run.
    size_t Drain();
    // Drops every piece without running it.
    void Discard() { queue_.clear(); }
    // Pieces run so far.
    size_t Ran() const { return ran_; }

private:
    std::deque<std::function<void()>> queue_;
    size_t ran_ = 0;
};

}  // namespace kp::ui
