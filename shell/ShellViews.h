#pragma once
// What the explorer views (the folder tree, the file list and the folder
// combo) are given: the shell namespace (nullable: without it they show
// nothing), the code page, the locale's order, the clock and date texts for
// the modified column, and the message service for the beep. Also the checks
// they share for names typed by the user and for paths.

#include "platform/clock/Clock.h"
#include "platform/codec/Cp932Codec.h"
#include "platform/locale/DateTimeLocale.h"
#include "platform/locale/LocaleCompare.h"
#include "platform/shell/ShellNamespace.h"
#include "ui/MessageDialogs.h"

#include <functional>
#include <string_view>

namespace kp::shell {

class TFolderView;
class TFileView;
class TComboView;
class TContextMenuEx;
class TDropSourceEx;

struct ShellViewServices {
    platform::ShellNamespace* shell = nullptr;
    const platform::Cp932Codec& codec;
    const platform::LocaleCompare& locale;
    const platform::Clock& clock;
    const platform::DateTimeLocale& dates;
    ui::MessageDialogService& messages;
};

// The window a view shows in (the owner of the shell's boxes and menus) and
// how its client points become screen points. Without a window, points stay
// as they are.
struct ViewWindow {
    platform::WindowRef window = 0;
    std::function<void(int& x, int& y)> toScreen;

    void ToScreen(int& x, int& y) const
    {
        if (toScreen) toScreen(x, y);
    }
};

// The longest name or path the shell takes, in UTF-16 units, without the
// terminating zero.
constexpr size_t kMaxNameUnits = 259;

// A label typed for a rename that the shell may take as a name in the same
// folder: not empty, at most 259 units, no \ / : * ? " < > | and no control
// character (a separator would move the item elsewhere).
bool IsAcceptableName(std::string_view name);
// A path short enough to be parsed whole (at most 259 units).
bool FitsPathLimit(std::string_view path);

}  // namespace kp::shell
