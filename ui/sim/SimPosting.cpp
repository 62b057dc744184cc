#include "ui/sim/SimPosting.h"

#include <utility>

namespace kp::ui {

void SimPosting::Post(std::function<void()> work)
{
    if (work) queue_.push_back(std::move(work));
}

bool SimPosting::RunOne()
{
    if (queue_.empty()) return false;
    // Taken off first: the piece may post more, or throw.
    std::function<void()> work = std::move(queue_.front());
    queue_.pop_front();
    ++ran_;
    work();
    return true;
}

size_t SimPosting::Drain()
{
    size_t count = 0;
    while (RunOne()) ++count;
    return count;
}

}  // namespace kp::ui
