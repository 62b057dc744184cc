#include "settings/SetupDlg.h"

#include "settings/SettingsKeys.h"

#include "base/Error.h"

namespace kp::settings {

namespace {

// The main window, created first, has already reported a key that cannot be
// created; the dialog then reads the defaults without a second report.
std::unique_ptr<TRegIniFile> OpenStore(platform::Registry& registry)
{
    try {
        return std::make_unique<TRegIniFile>(registry, std::string(kProgramKey));
    } catch (const Error&) {
        return std::make_unique<TRegIniFile>(registry, std::string(kProgramKey), TRegIniFile::kNoCreate);
    }
}

}  // namespace

TPagesDlg1::TPagesDlg1(platform::Registry& registry) : store_(OpenStore(registry))
{
    HistoryCount = ReadInteger(*store_, FileHistoryMenu);
    DateFormat = ReadString(*store_, SetupDate);
    TimeFormat = ReadString(*store_, SetupTime);
    DateIndex = ReadInteger(*store_, SetupDateIndex);
    TimeIndex = ReadInteger(*store_, SetupTimeIndex);
}

}  // namespace kp::settings
