#include "base/Utf.h"

#include <gtest/gtest.h>

namespace kp {
namespace {

TEST(Utf, RoundTripsJapaneseAndAstralText)
{
    const std::string text = "定義文書1(&1) ｴﾗｰ \xF0\x9F\x98\x80 end";
    const std::u16string wide = Utf8ToUtf16(text);
    EXPECT_EQ(wide.size(), 20u);  // the emoji is a surrogate pair
    EXPECT_EQ(Utf16ToUtf8(wide), text);
}

TEST(Utf, InvalidInputBecomesReplacementCharacters)
{
    EXPECT_EQ(Utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xE3\x81"), u"\uFFFD\uFFFD");        // truncated sequence
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");        // overlong '/'
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(Utf8ToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(Utf, CaseFoldingCoversTheLettersTheRegistryFolds)
{
    EXPECT_TRUE(EqualsIgnoreCase("SetUp", "setup"));
    EXPECT_TRUE(EqualsIgnoreCase("ａｂｃ", "ＡＢＣ"));
    EXPECT_TRUE(EqualsIgnoreCase("Ärger", "äRGER"));
    EXPECT_FALSE(EqualsIgnoreCase("abc", "ａｂｃ"));
    EXPECT_FALSE(EqualsIgnoreCase("ｱ", "ア"));
    EXPECT_FALSE(EqualsIgnoreCase("Setup", "Setup2"));
}

}  // namespace
}  // namespace kp
