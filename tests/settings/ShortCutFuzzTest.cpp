// Shortcut texts made of random pieces of prefixes and key names: reading
// never fails, and whatever a text reads as reads back from its own text.

#include "platform/keynames/SimKeyNames.h"
#include "settings/SetupDlg.h"
#include "settings/ShortCut.h"

#include <gtest/gtest.h>

#include <random>

namespace kp::settings {
namespace {

TEST(ShortCutFuzz, AnyTextReadsAsNothingOrAShortcutThatReadsBackFromItsText)
{
    const platform::SimKeyNames platformNames;
    const KeyNameTable names(platformNames);
    const std::string_view pieces[] = {"Shift+", "Ctrl+", "Alt+", "^",  "ctrl+", "+",    "F",   "1",   "12",
                                       "Del",    "pgup",  "a",    "Z",  ";",     "Num ", "Tab", "\xE3\x81\x82", "",
                                       " ",      "\x80",  "Enter", "Esc", "BkSp", "Space", "0"};
    std::mt19937 random(17);
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const int count = static_cast<int>(random() % 5);
        for (int i = 0; i < count; ++i) text += pieces[random() % std::size(pieces)];
        const ui::TShortCut read = TextToShortCut(text, names);
        if (read == 0) continue;
        const std::string written = ShortCutToText(read, names);
        ASSERT_FALSE(written.empty()) << text;
        ASSERT_EQ(TextToShortCut(written, names), read) << text << " -> " << written;
    }
}

}  // namespace
}  // namespace kp::settings
