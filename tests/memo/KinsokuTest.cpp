// Japanese line breaking in the edit control: real text laid out ten
// full-width cells wide with one overflow cell, under each rule level, the
// custom sets and each wrapping flag.

#include "memo/edit/EditControl.h"

#include "platform/clipboard/SimClipboard.h"
#include "tests/TestPlatform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kp::memo {
namespace {

constexpr int kCell = 16;                  // a full-width character with FixedGlyphMetrics
constexpr int kRectWidth = 10 * kCell + kCell;  // ten cells and the overflow cell

using Lines = std::vector<std::string>;

struct Memo {
    explicit Memo(int width = kRectWidth) : control(metrics, test::TestCodec(), &clipboard)
    {
        control.SetClientSize(400, 320);
        control.SetWordWrap(true);
        re::Rect rect{0, 0, width, 320};
        control.Message(re::kSetRect, 0, reinterpret_cast<intptr_t>(&rect));
    }
    intptr_t SetCustom(uint32_t type, std::string utf8)
    {
        std::string set = test::TestCodec().FromUtf8(utf8);
        re::Punctuation punctuation{static_cast<uint32_t>(set.size() + 1), set.data()};
        return control.Message(re::kSetPunctuation, type, reinterpret_cast<intptr_t>(&punctuation));
    }
    Lines Layout(uint32_t mode, const std::string& utf8)
    {
        control.Message(re::kSetWordWrapMode, mode, 0);
        control.SetText(test::TestCodec().FromUtf8(utf8));
        Lines lines;
        for (size_t line = 0; line < control.LineCount(); ++line)
            lines.push_back(test::TestCodec().ToUtf8(control.LineText(line)));
        return lines;
    }
    FixedGlyphMetrics metrics;
    platform::SimClipboard clipboard;
    EditControl control;
};

constexpr uint32_t kLevel1All = 0x0F0;  // wrap, word break, overflow, level 1
constexpr uint32_t kLevel2All = 0x170;
constexpr uint32_t kCustomAll = 0x270;

TEST(Kinsoku, JapaneseTextBreaksByTheRuleLevel)
{
    struct Case {
        const char* what;
        uint32_t mode;
        const char* text;
        Lines lines;
    };
    const Case cases[] = {
        {"a full stop hangs past the tenth character", kLevel2All, "あいうえおかきくけこ。さ",
         {"あいうえおかきくけこ。", "さ"}},
        {"without overflow the full stop goes down with the character before", 0x130,
         "あいうえおかきくけこさ。し", {"あいうえおかきくけこ", "さ。し"}},
        {"a closing bracket is pushed down, not hung", kLevel2All, "あいうえおかきくけこ」さ",
         {"あいうえおかきくけ", "こ」さ"}},
        {"an opening bracket never ends a line", kLevel2All, "あいうえおかきくけ「こさ",
         {"あいうえおかきくけ", "「こさ"}},
        {"a small tsu may start a line at level 1", kLevel1All, "あいうえおかきくけこッさ",
         {"あいうえおかきくけこ", "ッさ"}},
        {"a small tsu may not at level 2", kLevel2All, "あいうえおかきくけこッさ",
         {"あいうえおかきくけ", "こッさ"}},
        {"a small ya may start a line at level 1", kLevel1All, "あいうえおかきくけこゃさ",
         {"あいうえおかきくけこ", "ゃさ"}},
        {"a small ya may not at level 2", kLevel2All, "あいうえおかきくけこゃさ",
         {"あいうえおかきくけ", "こゃさ"}},
        {"a yen sign may end a line at level 1", kLevel1All, "あいうえおかきくけ￥１", {"あいうえおかきくけ￥", "１"}},
        {"a yen sign may not at level 2", kLevel2All, "あいうえおかきくけ￥１", {"あいうえおかきくけ", "￥１"}},
        {"a dollar sign may not at level 2", kLevel2All, "あいうえおかきくけ＄１", {"あいうえおかきくけ", "＄１"}},
        {"without the wrap rule a full stop may start a line", 0x100, "あいうえおかきくけこさ。",
         {"あいうえおかきくけこさ", "。"}},
        {"both level bits act as level 2", 0x1F0, "あいうえおかきくけこッさ", {"あいうえおかきくけ", "こッさ"}},
        {"no rule bit acts as level 2", 0x070, "あいうえおかきくけこッさ", {"あいうえおかきくけ", "こッさ"}},
        {"a line of closing brackets breaks at the width", kLevel2All, "」」」」」」」」」」」」",
         {"」」」」」」」」」」", "」」"}},
        {"word break keeps a word whole", 0x120, "the quickest of all brown", {"the quickest of all ", "brown"}},
        {"without word break the word splits", 0x100, "the quickest of all brown", {"the quickest of all br", "own"}},
        {"an overlong word splits at the width", 0x120, "abcdefghijklmnopqrstuvwxyz",
         {"abcdefghijklmnopqrstuv", "wxyz"}},
        {"only one character hangs", 0x140, "あいうえおかきくけこ｡｡さ", {"あいうえおかきくけこ｡", "｡さ"}},
        {"a second full stop that cannot start a line takes the run down", kLevel2All,
         "あいうえおかきくけこ｡｡さ", {"あいうえおかきくけ", "こ｡｡さ"}},
    };
    Memo memo;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(memo.Layout(c.mode, c.text), c.lines);
    }
}

TEST(Kinsoku, CustomSetsActAndARefusedOneEmptiesBothSides)
{
    Memo memo;
    ASSERT_EQ(memo.SetCustom(re::kPcFollowing, "さ"), 1);
    EXPECT_EQ(memo.Layout(kCustomAll, "あいうえおかきくけこさし"), (Lines{"あいうえおかきくけ", "こさし"}));
    // Under a level rule the custom set has no say.
    EXPECT_EQ(memo.Layout(kLevel2All, "あいうえおかきくけこさし"), (Lines{"あいうえおかきくけこ", "さし"}));
    // Refused: the control's set is empty, so nothing holds "さ" back.
    EXPECT_EQ(memo.SetCustom(re::kPcFollowing, "\x01"), 0);
    EXPECT_EQ(memo.Layout(kCustomAll, "あいうえおかきくけこさし"), (Lines{"あいうえおかきくけこ", "さし"}));
    char buffer[64];
    re::Punctuation query{sizeof buffer, buffer};
    ASSERT_EQ(memo.control.Message(re::kGetPunctuation, re::kPcFollowing, reinterpret_cast<intptr_t>(&query)), 1);
    EXPECT_STREQ(buffer, "");
}

TEST(Kinsoku, AWindowNarrowerThanACharacterTakesOneCharacterALine)
{
    Memo memo(10);
    EXPECT_EQ(memo.Layout(kLevel2All, "あ。「」い"), (Lines{"あ", "。", "「", "」", "い"}));
}

TEST(Kinsoku, ChangingTheRuleRelaysTheDocumentOnce)
{
    Memo memo;
    memo.Layout(kLevel1All, "あいうえおかきくけこッさ");
    const size_t level1Lines = memo.control.LineCount();
    memo.control.SetSel(12, 12);
    memo.control.Message(re::kSetWordWrapMode, kLevel2All, 0);
    EXPECT_EQ(memo.control.LineFromChar(20), 1u);
    EXPECT_EQ(memo.control.LineIndex(1), 18);  // "こ" went down with "ッ"
    EXPECT_EQ(memo.control.LineCount(), level1Lines);
}

}  // namespace
}  // namespace kp::memo
