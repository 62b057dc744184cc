#pragma once
// What the main window asks of its recent-files list: how many entries it
// keeps, and a path to put at the top. The history menu fills this in; until
// then the list keeps its paths without showing them.

#include <string>
#include <vector>

namespace kp::app {

class RecentFiles {
public:
    virtual ~RecentFiles() = default;
    virtual int HistoryNum() const = 0;
    virtual void SetHistoryNum(int count) = 0;
    virtual void AddFile(const std::string& path) = 0;
};

// Keeps the count and the paths in order, newest first.
class RecentFileList final : public RecentFiles {
public:
    int HistoryNum() const override { return count_; }
    void SetHistoryNum(int count) override { count_ = count; }
    void AddFile(const std::string& path) override;
    const std::vector<std::string>& Paths() const { return paths_; }

private:
    int count_ = 6;
    std::vector<std::string> paths_;
};

}  // namespace kp::app
