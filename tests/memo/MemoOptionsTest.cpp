// The memo's option objects against the control: the line-breaking mode word
// and sets, the edit area and the IME colours.

#include "memo/ExtMemo.h"

#include "memo/SimMemoWindow.h"
#include "memo/edit/WindowMessages.h"
#include "platform/clipboard/SimClipboard.h"
#include "platform/keyboard/KeyState.h"
#include "platform/syscolors/SimSysColors.h"
#include "tests/TestPlatform.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

namespace kp::memo {
namespace {

class MemoOptionsTest : public ::testing::Test {
protected:
    MemoOptionsTest() : factory(test::TestCodec(), &clipboard, keys), memo(factory, keys, colors) {}
    EditControl& Control() { return *memo.Control(); }
    re::Rect Rect()
    {
        re::Rect rect{};
        memo.Perform(re::kGetRect, 0, reinterpret_cast<intptr_t>(&rect));
        return rect;
    }

    platform::SimClipboard clipboard;
    platform::SimKeyState keys;
    platform::SimSysColors colors;
    SimMemoWindowFactory factory;
    TExtMemo memo;
};

TEST(WordWrapOption, ModeWordRules)
{
    struct Case {
        const char* what;
        std::function<void(TWordWrapOption&)> act;
        uint32_t word;
        TPunctuationMode reads;
    };
    const Case cases[] = {
        {"a fresh object reads level 2", [](TWordWrapOption&) {}, 0, wbfLevel2},
        {"a wrap flag on a zero word takes the custom rule",
         [](TWordWrapOption& o) { o.SetWordWrapMode(wbfWordWrap); }, 0x210, wbfCustom},
        {"level 1 then all three flags",
         [](TWordWrapOption& o) {
             o.SetPunctuationMode(wbfLevel1);
             o.SetWordWrapMode(wbfWordWrap | wbfWordBreak | wbfOverFlow);
         },
         0x0F0, wbfLevel1},
        {"custom and level 1 bits read as level 1", [](TWordWrapOption& o) { o.modeWord = 0x280; }, 0x280, wbfLevel1},
        {"both level bits read as level 2", [](TWordWrapOption& o) { o.modeWord = 0x180; }, 0x180, wbfLevel2},
        {"the rule changes, the flags stay",
         [](TWordWrapOption& o) {
             o.modeWord = 0x0F0;
             o.SetPunctuationMode(wbfLevel2);
         },
         0x170, wbfLevel2},
        {"setting a set switches to the custom rule even when it is the same",
         [](TWordWrapOption& o) {
             o.modeWord = 0x170;
             o.SetPcLeading("");
         },
         0x270, wbfCustom},
        {"clearing the flags keeps the rule",
         [](TWordWrapOption& o) {
             o.modeWord = 0x170;
             o.SetWordWrapMode(0);
         },
         0x100, wbfLevel2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TWordWrapOption option;
        c.act(option);
        EXPECT_EQ(option.modeWord, c.word);
        EXPECT_EQ(option.PunctuationMode(), c.reads);
    }
}

TEST_F(MemoOptionsTest, LineBreakingOptionsStory)
{
    // Configured while loading and before the window: held, never sent.
    memo.SetLoading(true);
    memo.WordWrapOption().SetPunctuationMode(wbfLevel2);
    memo.WordWrapOption().SetWordWrapMode(wbfWordWrap | wbfWordBreak | wbfOverFlow);
    EXPECT_EQ(memo.WordWrapOption().modeWord, 0x170u);
    memo.SetLoading(false);
    memo.CreateWnd();
    EXPECT_EQ(Control().WordWrapMode(), defaults::kWordWrapMode);  // the control keeps its default

    // The built-in sets were read at creation, under each level.
    TWordWrapOption& option = memo.WordWrapOption();
    EXPECT_EQ(option.modeWord, defaults::kWordWrapMode);  // refreshed from the control
    EXPECT_EQ(option.level1[0], defaults::Punctuation(1, 1));
    EXPECT_EQ(option.level2[1], defaults::Punctuation(2, 2));
    EXPECT_EQ(option.pcFollowing(), option.level1[0]);

    // The same rule again sends nothing.
    Control().SetWordWrapMode(0x1F0);
    option.SetPunctuationMode(wbfLevel1);
    EXPECT_EQ(Control().WordWrapMode(), 0x1F0u);
    option.SetPunctuationMode(wbfLevel2);
    EXPECT_EQ(Control().WordWrapMode(), 0x170u);

    // A custom set reaches the control under the custom rule; a refused one
    // is cleared on both sides.
    option.SetPcFollowing("\x82\xB3");  // さ
    EXPECT_EQ(Control().WordWrapMode(), 0x270u);
    EXPECT_EQ(Control().Punctuation(re::kPcFollowing), "\x82\xB3");
    option.SetPcFollowing("\x01");
    EXPECT_EQ(option.custom[0], "");
    EXPECT_EQ(Control().Punctuation(re::kPcFollowing), "");

    // While written to a form the sets are the custom ones, whatever the rule.
    option.SetPcLeading("\x81\x75");  // 「
    option.SetPunctuationMode(wbfLevel1);
    EXPECT_EQ(option.pcLeading(), defaults::Punctuation(1, 2));
    memo.SetWriting(true);
    EXPECT_EQ(option.pcLeading(), "\x81\x75");
    memo.SetWriting(false);

    // Recreating reads the sets again and leaves the control's mode alone.
    memo.SetWordWrap(true);
    EXPECT_EQ(memo.WordWrapOption().level2[0], defaults::Punctuation(2, 1));
}

TEST_F(MemoOptionsTest, EditAreaIsDerivedAtCreationAndApplied)
{
    memo.SetWordWrap(true);
    memo.EditArea.SetEnabled(true);
    memo.CreateWnd();
    SimMemoWindow& window = *factory.Last();
    // Derived: the selection bar's margin, a full-width square of overflow.
    const int cell = Control().OverflowCellWidth();
    EXPECT_EQ(memo.EditArea.Margin().Left(), 8);
    EXPECT_EQ(memo.EditArea.OverFlow(), cell);
    EXPECT_EQ(memo.EditArea.Width(), window.ClientWidth() - 8 - cell);
    EXPECT_EQ(memo.EditArea.Margin().Bottom(), 0);

    // Applied at a non-client paint: the left margin rises to 10 for the bar.
    memo.Perform(wm::kNcPaint);
    EXPECT_EQ(Rect().left, 10);
    EXPECT_EQ(Rect().right, 10 + memo.EditArea.Width() + cell);
    // Again, unchanged: nothing is laid out or repainted.
    const int invalidations = window.Invalidations();
    memo.Perform(wm::kNcPaint);
    EXPECT_EQ(window.Invalidations(), invalidations);

    struct Step {
        const char* what;
        std::function<void()> act;
        re::Rect rect;
    };
    const int height = window.ClientHeight();
    const Step steps[] = {
        {"a margin below the minimum is raised", [&] { memo.EditArea.Margin().SetLeft(4); }, {10, 0, 0, height}},
        {"the width applies", [&] { memo.EditArea.SetWidth(200); }, {10, 0, 10 + 200 + cell, height}},
        {"a negative width is ignored", [&] { memo.EditArea.SetWidth(-5); }, {10, 0, 10 + 200 + cell, height}},
        {"top and bottom margins", [&] {
             memo.EditArea.Margin().SetTop(2);
             memo.EditArea.Margin().SetBottom(1);
         }, {10, 2, 10 + 200 + cell, height - 1}},
        {"switched off, the rectangle stays", [&] {
             memo.EditArea.SetEnabled(false);
             memo.EditArea.SetWidth(100);
         }, {10, 2, 10 + 200 + cell, height - 1}},
        {"switched on, it applies", [&] { memo.EditArea.SetEnabled(true); }, {10, 2, 10 + 100 + cell, height - 1}},
        {"a width that overflows int is clamped", [&] { memo.EditArea.SetWidth(INT_MAX); }, {10, 2, INT_MAX, height - 1}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        if (step.rect.right == 0) continue;  // only the margin is checked
        const re::Rect rect = Rect();
        EXPECT_EQ(rect.left, step.rect.left);
        EXPECT_EQ(rect.top, step.rect.top);
        EXPECT_EQ(rect.right, step.rect.right);
        EXPECT_EQ(rect.bottom, step.rect.bottom);
    }
    EXPECT_EQ(memo.EditArea.Margin().Left(), 10);

    // Nothing is applied while vertical or without wrapping.
    memo.EditArea.SetWidth(50);
    memo.SetWordWrap(false);
    memo.Perform(wm::kNcPaint);
    EXPECT_NE(Rect().right, 10 + 50 + cell);
}

TEST_F(MemoOptionsTest, ImeColorsAreSentAndRefreshed)
{
    // Without a window the held values are read unchanged.
    memo.ImeColors().Untransfered.SetIcText(RGBColor(1, 2, 3));
    EXPECT_EQ(memo.ImeColors().Untransfered.icText(), RGBColor(1, 2, 3));

    memo.CreateWnd();
    // Each changed value sends all four states; the same value sends nothing.
    memo.ImeColors().WatchingTransfered.SetStyle(fsBold | fsStrikeOut);
    EXPECT_EQ(Control().ImeColors()[1].dwEffects, 9u);
    EXPECT_EQ(Control().ImeColors()[0].crText, 0u);  // reading refreshed the held colour
    memo.ImeColors().Transfered.SetIcBackground(clWindow);
    EXPECT_EQ(Control().ImeColors()[2].crBackground, 0xFFFFFFu);  // the window colour as RGB
    auto sent = Control().ImeColors();
    sent[3].crText = 0x123456;
    Control().SetImeColors(sent);
    memo.ImeColors().Transfered.SetIcBackground(0xFFFFFF);  // what the refresh read: unchanged
    EXPECT_EQ(Control().ImeColors()[3].crText, 0x123456u);

    // A refresh takes the control's colours and the four known effects.
    sent[0] = re::CompColor{0x0000FF, 0x00FF00, re::kCfeItalic | 0x10};
    Control().SetImeColors(sent);
    const TImeColor& first = memo.ImeColors().Untransfered;
    EXPECT_EQ(first.icText(), 0x0000FFu);
    EXPECT_EQ(first.icBackground(), 0x00FF00u);
    EXPECT_EQ(first.Style(), fsItalic);

    // The memo's setter copies only when a state differs from what it holds.
    TImeColors copy = memo.ImeColors();
    Control().SetImeColors(defaults::ImeColors());
    memo.SetImeColors(copy);
    EXPECT_EQ(Control().ImeColors()[0].crText, defaults::ImeColors()[0].crText);
    copy.WatchingUntransfered.SetIcBackground(RGBColor(9, 9, 9));
    memo.SetImeColors(copy);
    EXPECT_EQ(Control().ImeColors()[0].crText, 0x0000FFu);
    EXPECT_EQ(Control().ImeColors()[3].crBackground, 0x090909u);
}

}  // namespace
}  // namespace kp::memo
