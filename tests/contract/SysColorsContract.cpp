#include "tests/contract/SysColorsContract.h"

#include "base/Color.h"
#include "platform/syscolors/ColorToRGB.h"

namespace kp::test {
namespace {

using platform::ColorToRGB;

// The defaults of Windows 10 and 11 that a fresh Wine prefix shares. Wine's
// other defaults are its own light scheme and match no Windows release (for
// instance button face F5F5F5 where Windows has F0F0F0, highlight 3096FA where
// it has 0078D7, tooltip background white where it has FFFFE1), so indices 0-4,
// 6, 10-13, 15-17, 19, 21 and 24-30 stay out of the contract.
TEST_P(SysColorsContract, DefaultsSharedByWindowsAndWine)
{
    const struct {
        int index;
        uint32_t color;
    } cases[] = {
        {kColorWindow, 0xFFFFFF},
        {kColorWindowText, 0x000000},
        {7, 0x000000},   // menu text
        {9, 0x000000},   // caption text
        {14, 0xFFFFFF},  // highlight text
        {18, 0x000000},  // button text
        {20, 0xFFFFFF},  // button highlight
        {22, 0xE3E3E3},  // 3-D light
        {23, 0x000000},  // tooltip text
    };
    for (const auto& [index, color] : cases) EXPECT_EQ(colors->SysColor(index), color) << index;
}

TEST_P(SysColorsContract, UnknownIndicesAnswerZero)
{
    for (const int index : {-1, 31, 255}) EXPECT_EQ(colors->SysColor(index), 0u) << index;
}

TEST_P(SysColorsContract, ColorToRGBResolvesSystemColoursAndKeepsRGB)
{
    EXPECT_EQ(ColorToRGB(clWindow, *colors), 0xFFFFFFu);
    EXPECT_EQ(ColorToRGB(clWindowText, *colors), 0x000000u);
    EXPECT_EQ(ColorToRGB(kSystemColorFlag | 22, *colors), colors->SysColor(22));
    EXPECT_EQ(ColorToRGB(RGBColor(0x12, 0x34, 0x56), *colors), 0x563412u);
    EXPECT_EQ(ColorToRGB(0x7F102030, *colors), 0x102030u);  // not a system colour: high byte dropped
}

// Colours that differ from index to index, to see which index is asked for.
class NumberedColors final : public platform::SysColors {
public:
    uint32_t SysColor(int index) const override
    {
        return 0xAB000000u | (static_cast<uint32_t>(index) * 0x010101u);
    }
};

TEST(SysColorsColorToRGB, AsksForTheIndexInTheLowByte)
{
    const NumberedColors colors;
    EXPECT_EQ(ColorToRGB(kSystemColorFlag | 13, colors), 0x0D0D0Du);
    EXPECT_EQ(ColorToRGB(kSystemColorFlag | 0x105, colors), 0x050505u);
    EXPECT_EQ(ColorToRGB(kSystemColorFlag, colors), 0u);
}

}  // namespace
}  // namespace kp::test
