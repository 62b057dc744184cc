#include "tests/contract/KeyNamesContract.h"

namespace kp::test {
namespace {

// Shortcut texts name these keys through the platform. Their exact names
// depend on the keyboard layout and the platform (X11 names under Wine), so
// only their presence is pinned here.
TEST_P(KeyNamesContract, KeysOutsideTheFixedListHaveNames)
{
    const uint32_t keys[] = {
        0xBA, 0xBB, 0xC0, 0xDB, 0xDC, 0xDD, 0xDE,  // VK_OEM_1, VK_OEM_PLUS, VK_OEM_3 .. VK_OEM_7
        0x6A, 0x6B, 0x6D, 0x6E, 0x6F,              // keypad * + - . /
        0x13, 0x14, 0x90, 0x91, 0x5D,              // Pause, Caps Lock, Num Lock, Scroll Lock, Apps
    };
    for (const uint32_t key : keys) EXPECT_NE(names->NameOf(key), "") << std::hex << key;
}

// The punctuation keys that US and Japanese layouts agree on.
TEST_P(KeyNamesContract, PunctuationKeysAreNamedByTheirCharacter)
{
    EXPECT_EQ(names->NameOf(0xBC), ",");  // VK_OEM_COMMA
    EXPECT_EQ(names->NameOf(0xBD), "-");  // VK_OEM_MINUS
    EXPECT_EQ(names->NameOf(0xBE), ".");  // VK_OEM_PERIOD
    EXPECT_EQ(names->NameOf(0xBF), "/");  // VK_OEM_2
}

// Keys sharing a scan code with a keypad key keep their own names, so that a
// shortcut on one does not read back as the other.
TEST_P(KeyNamesContract, ExtendedKeysAreToldFromTheirKeypadTwins)
{
    EXPECT_NE(names->NameOf(0x6F), names->NameOf(0xBF));  // VK_DIVIDE, VK_OEM_2
    EXPECT_NE(names->NameOf(0x90), names->NameOf(0x13));  // VK_NUMLOCK, VK_PAUSE
}

TEST_P(KeyNamesContract, KeysTheKeyboardDoesNotHaveAreNameless)
{
    for (const uint32_t key : {0x00u, 0x07u, 0x0Au, 0xFFu, 0x100u, 0x1BAu, 0xFFFFFFFFu})
        EXPECT_EQ(names->NameOf(key), "") << std::hex << key;
}

}  // namespace
}  // namespace kp::test
