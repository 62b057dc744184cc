#pragma once
// The platform's help viewer: it opens a help file at its contents page.
//
// The viewer may block whoever asks it until its user answers (a file it
// cannot find makes it ask where the file is), so the request runs apart from
// the caller: ShowContents returns at once, and `done` is called later on the
// caller's thread, with false when there is no viewer or it could not be
// started. What the viewer then shows (the file missing included) is its own
// business.

#include <functional>
#include <string>

namespace kp::platform {

class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void ShowContents(const std::string& helpFile, std::function<void(bool shown)> done) = 0;
};

}  // namespace kp::platform
