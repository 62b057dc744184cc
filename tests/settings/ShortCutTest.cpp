// Shortcut texts as the settings store them, against the simulated key names
// (Wine's X11 names) and against a layout made up for the edge cases.

#include "settings/ShortCut.h"

#include "platform/keynames/SimKeyNames.h"
#include "settings/SettingsKeys.h"

#include <gtest/gtest.h>

#include <map>

namespace kp::settings {
namespace {

using ui::scAlt;
using ui::scCtrl;
using ui::scShift;
using ui::TShortCut;

constexpr TShortCut kF24 = 0x87;
constexpr TShortCut kNumpad0 = 0x60;

// Names chosen to collide with the text syntax and with each other.
class MadeUpKeyNames final : public platform::KeyNames {
public:
    std::string NameOf(uint32_t key) const override
    {
        static const std::map<uint32_t, std::string> names = {
            {0xBA, "^"}, {0xBB, "+"}, {0xC0, "ｶﾅ"}, {0xDB, "Shift"}, {0xDC, "Tab"}, {0xDD, "F5"}};
        const auto it = names.find(key);
        return it == names.end() ? std::string() : it->second;
    }
};

class ShortCutText : public ::testing::Test {
protected:
    std::string Text(TShortCut shortCut) const { return ShortCutToText(shortCut, names); }
    TShortCut Read(std::string_view text) const { return TextToShortCut(text, names); }

    platform::SimKeyNames names;
};

TEST_F(ShortCutText, EveryDefaultShortcutRoundTrips)
{
    int withKey = 0;
    for (const Setting& setting : kShortCutKeys) {
        const TShortCut shortCut = Read(setting.defaultText);
        EXPECT_EQ(shortCut == 0, setting.defaultText.empty()) << setting.ident;
        EXPECT_EQ(Text(shortCut), setting.defaultText) << setting.ident;
        if (shortCut) ++withKey;
    }
    EXPECT_EQ(withKey, 22);
    EXPECT_EQ(Read("Ctrl+N"), scCtrl | 'N');
    EXPECT_EQ(Read("Ctrl+1"), scCtrl | '1');
    EXPECT_EQ(Read("F3"), 0x72);
}

TEST_F(ShortCutText, FixedNamesAndModifiersInTheirOrder)
{
    const std::pair<TShortCut, std::string_view> cases[] = {
        {0x08, "BkSp"}, {0x09, "Tab"}, {0x0D, "Enter"}, {0x1B, "Esc"}, {0x20, "Space"},
        {0x21, "PgUp"}, {0x22, "PgDn"}, {0x23, "End"}, {0x24, "Home"}, {0x25, "Left"},
        {0x26, "Up"}, {0x27, "Right"}, {0x28, "Down"}, {0x2D, "Ins"}, {0x2E, "Del"},
        {'0', "0"}, {'9', "9"}, {'A', "A"}, {'Z', "Z"}, {0x70, "F1"}, {0x7B, "F12"}, {kF24, "F24"},
        {scShift | 'A', "Shift+A"}, {scAlt | 0x2E, "Alt+Del"}, {scCtrl | scAlt | 0x70, "Ctrl+Alt+F1"},
        {scShift | scCtrl | scAlt | 'Q', "Shift+Ctrl+Alt+Q"}, {scShift | scAlt | 0x0D, "Shift+Alt+Enter"},
    };
    for (const auto& [shortCut, text] : cases) {
        EXPECT_EQ(Text(shortCut), text) << std::hex << shortCut;
        EXPECT_EQ(Read(text), shortCut) << text;
    }
}

TEST_F(ShortCutText, NoShortcutAndNamelessKeysGiveEmptyText)
{
    EXPECT_EQ(Text(0), "");
    EXPECT_EQ(Text(scCtrl | 0xFF), "");
    EXPECT_EQ(Text(scShift | scCtrl), "");  // modifiers without a key
    EXPECT_EQ(Read(""), 0);
}

TEST_F(ShortCutText, KeypadDigitsReadBackAsMainRowDigits)
{
    for (TShortCut digit = 0; digit <= 9; ++digit) {
        const std::string text = Text(scCtrl | (kNumpad0 + digit));
        EXPECT_EQ(text, "Ctrl+" + std::to_string(digit));
        EXPECT_EQ(Read(text), scCtrl | ('0' + digit)) << text;
    }
}

TEST_F(ShortCutText, KeysOnlyThePlatformNames)
{
    EXPECT_EQ(Text(scCtrl | 0xBA), "Ctrl+;");  // VK_OEM_1
    EXPECT_EQ(Read("Ctrl+;"), scCtrl | 0xBA);
    EXPECT_EQ(Text(scAlt | 0x6F), "Alt+KP_Divide");
    EXPECT_EQ(Read("alt+kp_divide"), scAlt | 0x6F);
    EXPECT_EQ(Read("Shift+/"), scShift | 0xBF);  // VK_OEM_2, not the keypad's
}

// Whatever the text of a shortcut, reading it gives a shortcut with the same
// text: the same key, or the first key with the same name.
TEST_F(ShortCutText, TextOfEveryKeyAndModifierReadsBackToTheSameText)
{
    const TShortCut modifierSets[] = {0, scShift, scCtrl, scAlt, scShift | scCtrl | scAlt};
    int named = 0;
    for (TShortCut key = 8; key <= 0xFF; ++key) {
        for (const TShortCut modifiers : modifierSets) {
            const std::string text = Text(modifiers | key);
            if (text.empty()) continue;
            ++named;
            const TShortCut back = Read(text);
            EXPECT_EQ(back & 0xFF00, modifiers) << text;
            EXPECT_LE(back & 0xFF, key) << text;
            EXPECT_EQ(Text(back), text) << std::hex << key;
        }
    }
    EXPECT_GT(named, 5 * 100);
    // Under Wine, VK 0x92 is "=" too and comes first.
    EXPECT_EQ(Read(Text(0xBB)), 0x92);
}

TEST_F(ShortCutText, PrefixesInAnyOrderAndCase)
{
    const TShortCut all = scShift | scCtrl | scAlt;
    for (const std::string_view text : {"Shift+Ctrl+Alt+X", "alt+ctrl+shift+x", "CTRL+ALT+SHIFT+X",
                                        "Alt+Shift+Ctrl+x", "sHiFt+^aLt+X", "^Shift+Alt+X"})
        EXPECT_EQ(Read(text), all | 'X') << text;
    EXPECT_EQ(Read("^C"), scCtrl | 'C');
    EXPECT_EQ(Read("^c"), scCtrl | 'C');
    EXPECT_EQ(Read("ctrl+bksp"), scCtrl | 0x08);
    EXPECT_EQ(Read("PGDN"), 0x22);
    EXPECT_EQ(Read("f24"), kF24);
    EXPECT_EQ(Read("Ctrl+Ctrl+A"), scCtrl | 'A');
}

TEST_F(ShortCutText, UnknownTextIsNoShortcut)
{
    for (const std::string_view text : {"Ctrl+", "^", "Shift+Ctrl+", "Ctrl+Foo", "Hyper+A", "Ctrl-A",
                                        "Ctrl+A+", " Ctrl+A", "Ctrl+ A", "F25", "F0", "Ctrl+AB", "+A"})
        EXPECT_EQ(Read(text), 0) << text;
}

TEST(ShortCutMadeUpLayout, KeyNamesThatLookLikePrefixesOrFixedNames)
{
    const MadeUpKeyNames names;
    // A key named like a prefix is the key once nothing else follows.
    EXPECT_EQ(ShortCutToText(scCtrl | 0xBA, names), "Ctrl+^");
    EXPECT_EQ(TextToShortCut("Ctrl+^", names), scCtrl | 0xBA);
    EXPECT_EQ(TextToShortCut("^^", names), scCtrl | 0xBA);
    EXPECT_EQ(TextToShortCut("Alt++", names), scAlt | 0xBB);
    // The fixed names of lower keys win over a platform name.
    EXPECT_EQ(TextToShortCut("Tab", names), 0x09);
    EXPECT_EQ(TextToShortCut("F5", names), 0x74);
    EXPECT_EQ(TextToShortCut("Shift+Shift", names), scShift | 0xDB);
    // Non-ASCII names compare as they are.
    EXPECT_EQ(TextToShortCut("Ctrl+ｶﾅ", names), scCtrl | 0xC0);
}

}  // namespace
}  // namespace kp::settings
