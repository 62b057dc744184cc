#include "platform/help/SimHelpViewer.h"

namespace kp::platform {

void SimHelpViewer::ShowContents(const std::string& helpFile, std::function<void(bool shown)> done)
{
    requests_.push_back(helpFile);
    if (!installed) {
        if (done) done(false);
        return;
    }
    pending_.push_back(std::move(done));
}

bool SimHelpViewer::FinishOldest(bool shown)
{
    if (pending_.empty()) return false;
    std::function<void(bool)> done = std::move(pending_.front());
    pending_.pop_front();
    if (done) done(shown);
    return true;
}

}  // namespace kp::platform
