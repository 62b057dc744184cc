// The count dialog and the about box on the simulated main window: the two
// numbers for documents of every line-break kind, with word wrap on and off;
// the forms as shown, and which keys close them.

#include "tests/app/MainFormFixture.h"

#include "dialogs/CountDlg.h"
#include "memo/text/TextBuffer.h"

#include <algorithm>
#include <random>

namespace kp::app {
namespace {

class SmallDialogsTest : public MainFormFixture {
protected:
    // Runs Count over `text` and returns the numbers the dialog showed.
    std::pair<std::string, std::string> Count(std::string_view text, bool wrap = false)
    {
        if (!form) Start();
        form->Memo.SetWordWrap(wrap);
        form->Memo.SetText(text);
        form->MenuItem("Count")->Click();
        const ui::FormSpec& shown = forms.Last();
        return {shown.Find("CharCount")->text, shown.Find("LineCount")->text};
    }
    static std::vector<std::string> Texts(const ui::FormSpec& form)
    {
        std::vector<std::string> texts;
        for (const ui::FormControl& control : form.controls)
            if (!control.text.empty()) texts.push_back(control.text);
        return texts;
    }
};

TEST_F(SmallDialogsTest, CountTakesOffTheBytesOfEachLineBreakAndTheEmptyLastLine)
{
    struct Case {
        const char* name;
        std::string text;
        const char* characters;
        const char* lines;
    } const cases[] = {
        {"empty", "", "0", "0"},
        {"three letters and CR LF", "abc\r\n", "3", "1"},
        {"three letters, no line break", "abc", "3", "1"},
        {"three double-byte characters", "\x82\xa0\x82\xa2\x82\xa4\r\n", "6", "1"},
        {"half-width katakana count one", "\xb1\xb2\r\n", "2", "1"},
        {"two lines of two letters", "ab\r\ncd\r\n", "4", "2"},
        {"a lone LF", "ab\ncd", "4", "2"},
        {"a lone CR at the end", "ab\rcd\r", "4", "2"},
        {"mixed breaks", "a\r\n\nb\r\r\n", "2", "4"},
        {"only line breaks", "\r\n\r\n\n", "0", "3"},
    };
    for (const Case& c : cases) {
        const auto [characters, lines] = Count(c.text);
        EXPECT_EQ(characters, c.characters) << c.name;
        EXPECT_EQ(lines, c.lines) << c.name;
    }
}

// Wrap points are no line breaks: the characters stay, the lines are the
// displayed ones.
TEST_F(SmallDialogsTest, CountWithWordWrapCountsDisplayLinesAndKeepsCharacters)
{
    const std::string text = std::string(300, 'a') + "\r\n" + std::string(200, 'b');
    const auto [plainCharacters, plainLines] = Count(text, false);
    EXPECT_EQ(plainCharacters, "500");
    EXPECT_EQ(plainLines, "2");

    const auto [characters, lines] = Count(text, true);
    ASSERT_GT(form->Memo.LineCount(), 3u);
    EXPECT_EQ(characters, "500");
    EXPECT_EQ(lines, std::to_string(form->Memo.LineCount()));

    const auto [endCharacters, endLines] = Count(text + "\r\n", true);
    EXPECT_EQ(endCharacters, "500");
    EXPECT_EQ(endLines, std::to_string(form->Memo.LineCount() - 1));
}

// The scan counts alike wherever the pieces of the text and its wide steps
// begin and end.
TEST(LineBreakBytesTest, CountsEveryCrAndLfAcrossPiecesAndBlocks)
{
    std::mt19937 random(7);
    const char alphabet[] = {'\r', '\n', 'a', '\x82', '\xa0', '\0', '\xff'};
    for (size_t length : {0u, 1u, 15u, 16u, 63u, 64u, 65u, 127u, 4031u, 4032u, 4033u, 20000u}) {
        std::string text(length, ' ');
        for (char& c : text) c = alphabet[random() % sizeof alphabet];
        const size_t expected = std::count(text.begin(), text.end(), '\r') + std::count(text.begin(), text.end(), '\n');
        EXPECT_EQ(dialogs::LineBreakBytes(text), expected) << length;
        const memo::TextBuffer pieces(text, memo::TextBuffer::ChunkLimits{3, 7});
        EXPECT_EQ(dialogs::LineBreakBytes(pieces), expected) << length;
    }
}

TEST_F(SmallDialogsTest, TheCountDialogShowsTwoNumbersOverTheMainWindowAndIgnoresEscape)
{
    Start();
    forms.PressEscape();
    forms.PressEscape();
    forms.PressEnter();
    Count("ab\r\n");
    ASSERT_EQ(forms.Shown().size(), 1u);
    EXPECT_EQ(forms.PendingSteps(), 0u);
    const ui::FormSpec& shown = forms.Last();
    EXPECT_EQ(shown.caption, "カウント");
    EXPECT_EQ(shown.clientWidth, 120);
    EXPECT_EQ(shown.clientHeight, 85);
    EXPECT_EQ(shown.font, (ui::FormFont{"MS UI Gothic", 9, 0, false, false}));
    EXPECT_EQ(shown.position, ui::FormPosition::OwnerCenter);
    EXPECT_EQ(Texts(shown), (std::vector<std::string>{"文字数", "2", "行数", "1", "&OK"}));

    const ui::FormControl& characters = *shown.Find("CharCount");
    const ui::FormControl& lines = *shown.Find("LineCount");
    EXPECT_EQ(characters.align, ui::FormAlign::Right);
    EXPECT_EQ(lines.align, ui::FormAlign::Right);
    EXPECT_EQ(characters.left + characters.width, lines.left + lines.width);
    EXPECT_LT(characters.top, lines.top);
    const ui::FormControl& ok = *shown.Find("OKBtn");
    EXPECT_TRUE(ok.isDefault);
    EXPECT_EQ(ok.result, ui::mrOk);
    EXPECT_EQ(ok.left * 2 + ok.width, shown.clientWidth);
    EXPECT_GT(ok.top, lines.top);
    EXPECT_LE(ok.top + ok.height, shown.clientHeight);

    // Each use counts afresh; the close box closes it too.
    forms.CloseBox();
    Count("abc\r\ndef");
    EXPECT_EQ(forms.Shown().size(), 2u);
    EXPECT_EQ(Texts(forms.Last())[1], "6");
    EXPECT_EQ(Texts(forms.Last())[3], "2");
}

TEST_F(SmallDialogsTest, TheAboutBoxShowsNameVersionBuildLineAndIconCentredOnTheScreen)
{
    TEditForm& f = Start();
    forms.PressEscape();
    forms.Click("OKButton");
    f.MenuItem("About")->Click();
    ASSERT_EQ(forms.Shown().size(), 1u);
    EXPECT_EQ(forms.PendingSteps(), 0u);
    const ui::FormSpec& shown = forms.Last();
    EXPECT_EQ(shown.caption, "バージョン情報");
    EXPECT_EQ(shown.clientWidth, 216);
    EXPECT_EQ(shown.clientHeight, 140);
    EXPECT_EQ(shown.position, ui::FormPosition::ScreenCenter);
    EXPECT_EQ(shown.escapeResult, ui::mrNone);
    EXPECT_EQ(Texts(shown),
              (std::vector<std::string>{"Kestrelpad", "KZ", "Version 1.00", "Compare  1999/3/14", "&OK"}));

    const ui::FormControl& logo = *shown.Find("Logo");
    EXPECT_EQ(logo.font, (ui::FormFont{"Engravers MT", 0, 19, true, true}));
    EXPECT_EQ(logo.color, RGBColor(0, 0, 255));
    EXPECT_EQ(logo.width, 0);  // sized to its text, so never clipped
    EXPECT_EQ(shown.Find("ProductName")->font, (ui::FormFont{"ＭＳ Ｐ明朝", 0, 19, false, false}));
    const ui::FormControl& icon = *shown.Find("ProgramIcon");
    EXPECT_EQ(icon.kind, ui::FormControlKind::Icon);
    EXPECT_EQ(icon.iconId, 1);
    EXPECT_EQ(std::make_pair(icon.width, icon.height), std::make_pair(32, 32));
    const ui::FormControl& bevel = *shown.Find("Bevel1");
    EXPECT_EQ(bevel.kind, ui::FormControlKind::Bevel);
    EXPECT_EQ(std::make_pair(bevel.left + bevel.width, bevel.top + bevel.height), std::make_pair(209, 105));
    EXPECT_TRUE(shown.Find("OKButton")->isDefault);
}

}  // namespace
}  // namespace kp::app
