#pragma once
// TPagesDlg1: the editor settings dialog. It is created once at start-up,
// right after the main window, and stays hidden until the EditorSetup
// command shows it. Creating it opens its own store handle and reads what its
// pages start from.

#include "settings/RegIniFile.h"

#include <memory>
#include <string>

namespace kp::settings {

class TPagesDlg1 {
public:
    explicit TPagesDlg1(platform::Registry& registry);

    // Values read at creation.
    int HistoryCount = 6;
    std::string DateFormat;
    std::string TimeFormat;
    int DateIndex = 0;
    int TimeIndex = 0;

private:
    std::unique_ptr<TRegIniFile> store_;
};

}  // namespace kp::settings
