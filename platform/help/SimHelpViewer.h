#pragma once
// A help viewer for tests: it records each request and keeps it pending until
// the test finishes it (as the viewer's user would answer), which calls the
// request's `done`. Without a viewer every request finishes at once with false.

#include "platform/help/HelpViewer.h"

#include <deque>
#include <string>
#include <vector>

namespace kp::platform {

class SimHelpViewer final : public HelpViewer {
public:
    void ShowContents(const std::string& helpFile, std::function<void(bool shown)> done) override;

    bool installed = true;
    // The files asked for, in order.
    const std::vector<std::string>& Requests() const { return requests_; }
    size_t Pending() const { return pending_.size(); }
    // Ends the oldest pending request; false when none is pending.
    bool FinishOldest(bool shown = true);

private:
    std::vector<std::string> requests_;
    std::deque<std::function<void(bool)>> pending_;
};

}  // namespace kp::platform
