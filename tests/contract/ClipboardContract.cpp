#include "tests/contract/ClipboardContract.h"

#include "platform/clipboard/SimClipboard.h"

namespace kp::test {
namespace {

using namespace std::string_literals;

TEST_P(ClipboardContract, TextRoundTripsUnchanged)
{
    const std::u16string texts[] = {
        u"plain ASCII ~!@#$%^&*()_+`-=[]{}\\|;':\",./<>?",
        u"定義文書 ｴﾗｰ ひらがな カタカナ　全角空白 ①Ⅰ纊￥～",
        u"line 1\r\nline 2\r\n\r\n",
        u"lone\nfeed and lone\rreturn\tand tab",
        u"pair \U0001F600 end",
        u"x",
    };
    for (const std::u16string& text : texts) {
        ASSERT_TRUE(clipboard->SetText(text));
        EXPECT_TRUE(clipboard->HasText());
        EXPECT_EQ(clipboard->GetText(), text);
    }
}

TEST_P(ClipboardContract, SetTextReplacesTheWholeContent)
{
    ASSERT_TRUE(clipboard->SetText(u"a longer text that was there before"));
    ASSERT_TRUE(clipboard->SetText(u"短い"));
    EXPECT_EQ(clipboard->GetText(), u"短い");
}

TEST_P(ClipboardContract, EmptyTextIsText)
{
    ASSERT_TRUE(clipboard->SetText(u"something"));
    ASSERT_TRUE(clipboard->SetText(u""));
    EXPECT_TRUE(clipboard->HasText());
    EXPECT_EQ(clipboard->GetText(), u"");
}

TEST_P(ClipboardContract, TextEndsAtItsFirstNul)
{
    ASSERT_TRUE(clipboard->SetText(u"ab\0cd\0"s));
    EXPECT_EQ(clipboard->GetText(), u"ab");
    ASSERT_TRUE(clipboard->SetText(u"\0after"s));
    EXPECT_TRUE(clipboard->HasText());
    EXPECT_EQ(clipboard->GetText(), u"");
}

TEST_P(ClipboardContract, LargeTextRoundTrips)
{
    const std::u16string line = u"一行の文章 with ASCII and ｶﾀｶﾅ\r\n";
    std::u16string text;
    while (text.size() * sizeof(char16_t) < (1u << 20)) text += line;
    text += u"末尾";
    ASSERT_TRUE(clipboard->SetText(text));
    const std::optional<std::u16string> back = clipboard->GetText();
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->size(), text.size());
    EXPECT_TRUE(*back == text);
}

TEST(SimClipboard, StartsWithoutTextAndLosesItToNonTextContent)
{
    platform::SimClipboard clipboard;
    EXPECT_FALSE(clipboard.HasText());
    EXPECT_EQ(clipboard.GetText(), std::nullopt);
    ASSERT_TRUE(clipboard.SetText(u"x"));
    clipboard.PutNonText();
    EXPECT_FALSE(clipboard.HasText());
    EXPECT_EQ(clipboard.GetText(), std::nullopt);
}

TEST(SimClipboard, HeldByAnotherProgramFailsAccessButKeepsTheContent)
{
    platform::SimClipboard clipboard;
    ASSERT_TRUE(clipboard.SetText(u"before"));
    clipboard.SetHeldByAnotherProgram(true);
    EXPECT_FALSE(clipboard.SetText(u"after"));
    EXPECT_EQ(clipboard.GetText(), std::nullopt);
    EXPECT_TRUE(clipboard.HasText());
    clipboard.SetHeldByAnotherProgram(false);
    EXPECT_EQ(clipboard.GetText(), u"before");
}

}  // namespace
}  // namespace kp::test
