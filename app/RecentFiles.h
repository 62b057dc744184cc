#pragma once
// What the main window asks of its recent-files list: how many entries it
// keeps, and a path to put at the top (the history menu provides it).

#include <string>

namespace kp::app {

class RecentFiles {
public:
    virtual ~RecentFiles() = default;
    virtual int HistoryNum() const = 0;
    virtual void SetHistoryNum(int count) = 0;
    virtual void AddFile(const std::string& path) = 0;
};

}  // namespace kp::app
