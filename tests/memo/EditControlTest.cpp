// The edit control's model driven as the view drives it: typing, moving,
// selecting, undoing, the clipboard and the rich-edit messages.

#include "memo/edit/EditControl.h"

#include "memo/edit/EditInput.h"
#include "memo/edit/WindowMessages.h"
#include "platform/clipboard/SimClipboard.h"
#include "tests/TestPlatform.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

namespace kp::memo {
namespace {

class Recorder final : public EditListener {
public:
    void Notify(uint32_t code) override { codes.push_back(code); }
    std::vector<uint32_t> codes;
};

class EditControlTest : public ::testing::Test {
protected:
    EditControlTest() : control(metrics, test::TestCodec(), &clipboard)
    {
        control.SetListener(&recorder);
        control.SetClientSize(400, 160);  // ten lines of 16 px
        control.SetWordWrapMode(re::kWbfLevel1);  // lines wrap at the width, no line-breaking rules
    }
    std::string Text() const { return control.GetText(); }
    intptr_t Send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0)
    {
        return control.Message(message, wParam, lParam);
    }

    FixedGlyphMetrics metrics;
    platform::SimClipboard clipboard;
    Recorder recorder;
    EditControl control;
};

constexpr const char* kA = "\x82\xA0";   // あ
constexpr const char* kSo = "\x83\x5C";  // ソ, trail byte 0x5C

TEST_F(EditControlTest, TypingInsertsAndOneRunUndoesAtOnce)
{
    control.Type("a");
    control.Type(kA);
    control.Type("b");
    EXPECT_EQ(Text(), std::string("a") + kA + "b");
    EXPECT_EQ(control.Caret(), 4u);
    EXPECT_TRUE(control.Modified());
    control.MoveCaret(CaretMove::Left, false);
    control.Type("c");  // a new run after the caret moved
    EXPECT_EQ(Text(), std::string("a") + kA + "cb");
    ASSERT_TRUE(control.Undo());
    EXPECT_EQ(Text(), std::string("a") + kA + "b");
    EXPECT_EQ(control.Caret(), 3u);
    ASSERT_TRUE(control.Undo());
    EXPECT_EQ(Text(), "");
    EXPECT_FALSE(control.Undo());
}

TEST_F(EditControlTest, CaretAndDeletionNeverSplitACharacterOrALineBreak)
{
    control.SetText(std::string("x") + kSo + "\r\n" + kA);
    control.SetSel(0, 0);
    control.MoveCaret(CaretMove::Right, false);
    control.MoveCaret(CaretMove::Right, false);
    EXPECT_EQ(control.Caret(), 3u);  // over ソ in one step
    control.MoveCaret(CaretMove::Right, false);
    EXPECT_EQ(control.Caret(), 5u);  // over CR LF in one step
    control.SetSel(2, 2);            // inside ソ: snapped to its start
    EXPECT_EQ(control.Caret(), 1u);
    control.SetSel(4, 4);            // between CR and LF: before the CR
    EXPECT_EQ(control.Caret(), 3u);

    control.SetSel(5, 5);
    control.Backspace();             // removes CR LF together
    EXPECT_EQ(Text(), std::string("x") + kSo + kA);
    control.Backspace();             // removes ソ, both bytes
    EXPECT_EQ(Text(), std::string("x") + kA);
    control.DeleteForward();
    EXPECT_EQ(Text(), "x");
}

TEST_F(EditControlTest, OverwriteReplacesWholeCharactersButNotLineBreaks)
{
    control.SetText(std::string(kA) + "b\r\nc");
    control.SetOverwrite(true);
    control.SetSel(0, 0);
    control.Type("x");
    EXPECT_EQ(Text(), "xb\r\nc");
    control.Type(kA);
    EXPECT_EQ(Text(), std::string("x") + kA + "\r\nc");
    control.Type("y");  // at the line end: inserts
    EXPECT_EQ(Text(), std::string("x") + kA + "y\r\nc");
}

TEST_F(EditControlTest, SelectionRulesOfTheSetSelMessage)
{
    control.SetText("hello world");
    Send(re::kSetSel, 6, -1);
    EXPECT_EQ(control.SelText(), "world");
    Send(re::kSetSel, 3, 1);  // reversed: caret at 1
    EXPECT_EQ(control.SelStart(), 1u);
    EXPECT_EQ(control.SelLength(), 2u);
    EXPECT_EQ(control.Caret(), 1u);
    Send(re::kSetSel, static_cast<uintptr_t>(-1), 0);  // -1 removes the selection
    EXPECT_EQ(control.SelLength(), 0u);
    re::CharRange range{2, 100};
    Send(re::kExSetSel, 0, reinterpret_cast<intptr_t>(&range));
    re::CharRange got{};
    Send(re::kExGetSel, 0, reinterpret_cast<intptr_t>(&got));
    EXPECT_EQ(got.cpMin, 2);
    EXPECT_EQ(got.cpMax, 11);
}

TEST_F(EditControlTest, WholeTextReplacementIsOneStepAndKeepsTheScrollPosition)
{
    std::string text;
    for (int i = 0; i < 50; ++i) text += "line " + std::to_string(i) + "\r\n";
    control.SetText(text);
    EXPECT_FALSE(control.Modified());
    EXPECT_FALSE(control.CanUndo());
    control.ScrollToLine(20);
    control.SetSel(static_cast<int64_t>(control.LineIndex(25)), static_cast<int64_t>(control.LineIndex(25)));
    control.ReplaceAll("LINE" + text.substr(4), control.Caret());
    EXPECT_EQ(control.FirstVisibleLine(), 20u);
    EXPECT_TRUE(control.Modified());
    EXPECT_EQ(control.UndoDepth(), 1u);
    ASSERT_TRUE(control.Undo());
    EXPECT_EQ(Text(), text);

    // The same text again changes nothing and records nothing.
    control.SetModified(false);
    control.ReplaceAll(text, 0);
    EXPECT_FALSE(control.Modified());
    EXPECT_FALSE(control.CanUndo());
}

TEST_F(EditControlTest, AnEditThatCannotBeUndoneClearsTheOlderSteps)
{
    control.Type("abc");
    control.SetSel(0, 1);
    Send(re::kReplaceSel, 0, reinterpret_cast<intptr_t>("X"));
    EXPECT_EQ(Text(), "Xbc");
    EXPECT_FALSE(control.CanUndo());  // undoing "abc" would drop the X silently
}

TEST_F(EditControlTest, LineQueriesCountEveryKindOfLineBreak)
{
    control.SetText("ab\r\ncd\ref\n\r\n");
    EXPECT_EQ(Send(re::kGetLineCount), 5);
    EXPECT_EQ(Send(re::kLineIndex, 1), 4);
    EXPECT_EQ(Send(re::kLineIndex, 2), 7);
    EXPECT_EQ(Send(re::kLineIndex, 4), 12);
    EXPECT_EQ(Send(re::kLineIndex, 5), -1);
    EXPECT_EQ(Send(re::kExLineFromChar, 0, 8), 2);
    EXPECT_EQ(Send(re::kLineLength, 7), 2);
    control.SetSel(5, 5);
    EXPECT_EQ(Send(re::kLineIndex, static_cast<uintptr_t>(-1)), 4);  // the caret's line
}

TEST_F(EditControlTest, FindTextMessageHonoursFlagsAndRange)
{
    control.SetText("Cat cat concat");
    re::FindText find{{0, -1}, "cat"};
    EXPECT_EQ(Send(re::kFindText, 0, reinterpret_cast<intptr_t>(&find)), 0);
    EXPECT_EQ(Send(re::kFindText, re::kFtMatchCase, reinterpret_cast<intptr_t>(&find)), 4);
    find.chrg = {5, -1};
    EXPECT_EQ(Send(re::kFindText, re::kFtWholeWord, reinterpret_cast<intptr_t>(&find)), -1);
    EXPECT_EQ(Send(re::kFindText, 0, reinterpret_cast<intptr_t>(&find)), 11);
}

TEST_F(EditControlTest, NotificationsFollowTheEventMask)
{
    control.Type("a");
    EXPECT_TRUE(recorder.codes.empty());
    EXPECT_EQ(Send(re::kSetEventMask, 0, 0x002C0001), 0);
    control.Type("b");
    EXPECT_EQ(recorder.codes, (std::vector<uint32_t>{re::kEnChange, re::kEnSelChange}));
    recorder.codes.clear();
    control.MoveCaret(CaretMove::Left, false);
    EXPECT_EQ(recorder.codes, (std::vector<uint32_t>{re::kEnSelChange}));
    recorder.codes.clear();
    control.MoveCaret(CaretMove::DocumentStart, false);
    control.MoveCaret(CaretMove::Left, false);  // nothing moves: nothing reported
    EXPECT_EQ(recorder.codes, (std::vector<uint32_t>{re::kEnSelChange}));
    EXPECT_EQ(Send(re::kSetEventMask, 0, 0), 0x002C0001);
}

TEST_F(EditControlTest, OptionsCombineAsTheirOperationSays)
{
    EXPECT_EQ(Send(re::kSetOptions, re::kEcoopOr, re::kEcoSelectionBar), static_cast<intptr_t>(re::kEcoSelectionBar));
    EXPECT_EQ(Send(re::kSetOptions, re::kEcoopOr, re::kEcoVertical),
              static_cast<intptr_t>(re::kEcoSelectionBar | re::kEcoVertical));
    EXPECT_EQ(Send(re::kSetOptions, re::kEcoopXor, re::kEcoVertical), static_cast<intptr_t>(re::kEcoSelectionBar));
    EXPECT_EQ(Send(re::kSetOptions, re::kEcoopAnd, 0), 0);
    Send(re::kSetOptions, re::kEcoopSet, re::kEcoReadOnly);
    control.Type("x");
    EXPECT_EQ(Text(), "");
}

TEST_F(EditControlTest, ClipboardTextCrossesAsUtf16)
{
    control.SetText(std::string("ab") + kA + "\r\n");
    control.SelectAll();
    ASSERT_TRUE(control.Copy());
    EXPECT_EQ(clipboard.GetText(), std::u16string(u"abあ\r\n"));
    ASSERT_TRUE(clipboard.SetText(u"ソ表"));
    control.SetSel(2, 4);
    ASSERT_TRUE(control.Paste());
    EXPECT_EQ(Text(), "ab\x83\x5C\x95\x5C\r\n");
    control.SetSel(0, 2);
    ASSERT_TRUE(control.Cut());
    EXPECT_EQ(clipboard.GetText(), std::u16string(u"ab"));
    EXPECT_EQ(Text(), "\x83\x5C\x95\x5C\r\n");
}

TEST_F(EditControlTest, WordMovementAndDoubleClickSelection)
{
    control.SetText("foo bar\x82\xA0\x82\xA2\x8A\xBF\x8E\x9A");  // foo barあい漢字
    control.SetSel(0, 0);
    control.MoveCaret(CaretMove::WordRight, false);
    EXPECT_EQ(control.Caret(), 4u);
    control.MoveCaret(CaretMove::WordRight, false);
    EXPECT_EQ(control.Caret(), 7u);
    control.MoveCaret(CaretMove::WordRight, false);
    EXPECT_EQ(control.Caret(), 11u);
    control.MoveCaret(CaretMove::WordLeft, false);
    EXPECT_EQ(control.Caret(), 7u);
    control.SelectWordAt(12);
    EXPECT_EQ(control.SelStart(), 11u);
    EXPECT_EQ(control.SelLength(), 4u);
    control.SelectWordAt(1);
    EXPECT_EQ(control.SelText(), "foo ");
}

TEST_F(EditControlTest, VerticalMovementKeepsTheColumnAcrossShortLines)
{
    control.SetText("abcdef\r\nab\r\nabcdef");
    control.SetSel(5, 5);
    control.MoveCaret(CaretMove::Down, false);
    EXPECT_EQ(control.Caret(), 10u);  // end of "ab"
    control.MoveCaret(CaretMove::Down, false);
    EXPECT_EQ(control.Caret(), 17u);  // back in column 5
    control.MoveCaret(CaretMove::Up, true);
    EXPECT_EQ(control.Anchor(), 17u);
    EXPECT_EQ(control.Caret(), 10u);
}

TEST_F(EditControlTest, PositionsAndPointsMapBothWays)
{
    control.SetText("ab\r\n\x82\xA0" "c");
    const re::Rect rect = control.FormatRect();
    const re::PointL p = control.PosFromChar(6);
    EXPECT_EQ(p.x, rect.left + 16);
    EXPECT_EQ(p.y, rect.top + 16);
    EXPECT_EQ(control.CharFromPos(p), 6u);
    EXPECT_EQ(control.CharFromPos({rect.right, rect.bottom}), 7u);  // the last character
    re::PointL out{};
    Send(re::kPosFromChar, reinterpret_cast<uintptr_t>(&out), 1);
    EXPECT_EQ(out.x, rect.left + 8);
}

TEST_F(EditControlTest, WrappedLinesAreDisplayLinesForEveryQuery)
{
    control.SetFormatRect({0, 0, 80, 160});  // ten single bytes a line
    control.SetWordWrap(true);
    control.SetText(std::string(25, 'x') + "\r\ny");
    EXPECT_EQ(Send(re::kGetLineCount), 4);
    EXPECT_EQ(Send(re::kLineIndex, 2), 20);
    EXPECT_EQ(Send(re::kExLineFromChar, 0, 27), 3);
    EXPECT_EQ(control.LineText(1), std::string(10, 'x'));
    control.DeleteLine(1);
    EXPECT_EQ(Text(), std::string(15, 'x') + "\r\ny");
}

TEST_F(EditControlTest, PunctuationSetsAnswerForTheirRuleLevel)
{
    char buffer[2048];
    re::Punctuation query{sizeof buffer, buffer};
    Send(re::kSetWordWrapMode, 0xF0);
    ASSERT_EQ(Send(re::kGetPunctuation, re::kPcFollowing, reinterpret_cast<intptr_t>(&query)), 1);
    const std::string level1 = buffer;
    Send(re::kSetWordWrapMode, 0x170);
    ASSERT_EQ(Send(re::kGetPunctuation, re::kPcFollowing, reinterpret_cast<intptr_t>(&query)), 1);
    const std::string level2 = buffer;
    EXPECT_GT(level2.size(), level1.size());
    EXPECT_NE(level2.find("\x82\xC1"), std::string::npos);  // small "っ" only at level 2
    EXPECT_EQ(level1.find("\x82\xC1"), std::string::npos);

    char custom[] = "\x81\x42\x81\x41";
    re::Punctuation set{sizeof custom, custom};
    char bad[] = "a\x81";  // a lead byte without its partner
    re::Punctuation refused{sizeof bad, bad};
    EXPECT_EQ(Send(re::kSetPunctuation, re::kPcOverflow, reinterpret_cast<intptr_t>(&refused)), 0);
    EXPECT_EQ(Send(re::kSetPunctuation, re::kPcOverflow, reinterpret_cast<intptr_t>(&set)), 1);
    EXPECT_EQ(Send(re::kSetPunctuation, 5, reinterpret_cast<intptr_t>(&set)), 0);
    Send(re::kSetWordWrapMode, 0x270);
    ASSERT_EQ(Send(re::kGetPunctuation, re::kPcOverflow, reinterpret_cast<intptr_t>(&query)), 1);
    EXPECT_STREQ(buffer, custom);
    // A buffer too small is filled up to a character boundary.
    char tiny[4];
    re::Punctuation small{sizeof tiny, tiny};
    ASSERT_EQ(Send(re::kGetPunctuation, re::kPcOverflow, reinterpret_cast<intptr_t>(&small)), 1);
    EXPECT_STREQ(tiny, "\x81\x42");
}

TEST_F(EditControlTest, ImeColoursAndBackgroundAreHeldForTheView)
{
    re::CompColor colors[4];
    ASSERT_EQ(Send(re::kGetImeColor, 0, reinterpret_cast<intptr_t>(colors)), 1);
    EXPECT_EQ(colors[0].dwEffects, re::kCfeUnderline);
    colors[1] = {0x0000FF, 0x00FF00, re::kCfeBold | re::kCfeItalic};
    ASSERT_EQ(Send(re::kSetImeColor, 0, reinterpret_cast<intptr_t>(colors)), 1);
    EXPECT_EQ(control.ImeColors()[1].crText, 0x0000FFu);
    EXPECT_EQ(Send(re::kSetBkgndColor, 0, 0x123456), 0xFFFFFF);
    EXPECT_FALSE(control.UsesSystemBackground());
    EXPECT_EQ(Send(re::kSetBkgndColor, 1, 0), 0x123456);
    EXPECT_TRUE(control.UsesSystemBackground());
}

}  // namespace
}  // namespace kp::memo

namespace kp::memo {
namespace {

// Replacing the whole text by another and back, between a saved and a
// restored state, leaves nothing behind: not the other text in the undo
// history, not a moved caret or scroll position, not a modified flag.
TEST_F(EditControlTest, ARestoredStateLeavesNoTraceOfReplacementsInBetween)
{
    std::string text;
    for (int i = 0; i < 40; ++i) text += "line " + std::to_string(i) + "\r\n";
    control.SetText(text);
    control.SetSel(30, 30);
    control.Type("typed");
    control.ScrollToLine(12);
    control.SetModified(false);
    const size_t depth = control.UndoDepth();

    const EditControl::State state = control.SaveState();
    control.ReplaceAll("another file's text", 0);
    control.ReplaceAll(text.substr(0, 30) + "typed" + text.substr(30), 0);
    control.RestoreState(state);

    EXPECT_EQ(control.GetText(), text.substr(0, 30) + "typed" + text.substr(30));
    EXPECT_EQ(control.Caret(), 35u);
    EXPECT_EQ(control.FirstVisibleLine(), 12u);
    EXPECT_FALSE(control.Modified());
    EXPECT_EQ(control.UndoDepth(), depth);
    ASSERT_TRUE(control.Undo());
    EXPECT_EQ(control.GetText(), text);  // the typing, not the other file's text
}

}  // namespace
}  // namespace kp::memo

namespace kp::memo {
namespace {

// Overwrite mode replaces what is typed over, character for character: a
// line break goes in without taking anything, a committed string takes as
// many characters as it brings, never a line break.
TEST_F(EditControlTest, OverwriteTakesAsManyCharactersAsItBringsAndNoneForALineBreak)
{
    EditInput input(control, test::TestCodec());
    struct Case {
        const char* name;
        std::string text;
        size_t caret;
        std::function<void(EditInput&)> input;
        std::string after;
        size_t caretAfter;
    };
    const Case cases[] = {
        {"Enter", "abc", 1, [](EditInput& in) { in.Char(u'\r'); }, "a\r\nbc", 3},
        {"Enter at a line's end", "ab\r\nc", 2, [](EditInput& in) { in.Char(u'\r'); }, "ab\r\n\r\nc", 4},
        {"typed letter", "abc", 1, [](EditInput& in) { in.Char(u'x'); }, "axc", 2},
        {"commit of three over four", "abcd", 0, [](EditInput& in) { in.Commit(u"漢字か"); },
         "\x8A\xBF\x8E\x9A\x82\xA9" "d", 6},
        {"commit stops at the line break", "ab\r\ncd", 1, [](EditInput& in) { in.Commit(u"xyz"); }, "axyz\r\ncd", 4},
        {"commit over double-byte characters", "\x82\xA0\x82\xA2\x82\xA4", 0,
         [](EditInput& in) { in.Commit(u"xy"); }, "xy\x82\xA4", 2},
        {"commit at the end", "abc", 3, [](EditInput& in) { in.Commit(u"xy"); }, "abcxy", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        control.SetText(c.text);
        control.SetOverwrite(true);
        control.SetSel(static_cast<int64_t>(c.caret), static_cast<int64_t>(c.caret));
        c.input(input);
        EXPECT_EQ(Text(), c.after);
        EXPECT_EQ(control.Caret(), c.caretAfter);
        ASSERT_TRUE(control.Undo());
        EXPECT_EQ(Text(), c.text);
    }
    // A selection is replaced as a whole, whatever the mode.
    control.SetText("abcdef");
    control.SetSel(1, 3);
    input.Commit(u"x");
    EXPECT_EQ(Text(), "axdef");
}

// An edit that joins a lone lead byte to the byte after it makes one
// double-byte character of them; the caret and the anchor never stay
// between its bytes, whatever the edit.
TEST_F(EditControlTest, NoEditLeavesTheCaretInsideACharacterItJoined)
{
    struct Case {
        const char* name;
        std::string text;
        size_t anchor;
        size_t caret;
        std::function<void(EditControl&)> edit;
        std::string after;  // 0x81 0x40 is an ideographic space
        size_t caretAfter;
    };
    const Case cases[] = {
        {"Delete", "\x81\n@", 1, 1, [](EditControl& c) { c.DeleteForward(); }, "\x81@", 0},
        {"Backspace", "\x81\n@", 2, 2, [](EditControl& c) { c.Backspace(); }, "\x81@", 0},
        {"Delete of a selection", "x\x81" "01@", 2, 4, [](EditControl& c) { c.DeleteSelection(); }, "x\x81@", 1},
        {"Cut", "\x81" "0@", 1, 2, [](EditControl& c) { c.Cut(); }, "\x81@", 0},
        {"replacement ending in a lead byte", "a0@", 1, 2, [](EditControl& c) { c.ReplaceSel("\x81"); }, "a\x81@", 1},
        {"replacement that cannot be undone", "a0@", 2, 1,
         [](EditControl& c) { c.ReplaceSel("\x81", false); }, "a\x81@", 1},
        {"replacement between CR and LF", "\rx\n", 1, 2, [](EditControl& c) { c.ReplaceSel(""); }, "\r\n", 0},
        {"DeleteLine after a wrap", std::string(10, 'a') + "\x81" "01234\r\n@x", 0, 0,
         [](EditControl& c) { c.DeleteLine(1); }, std::string(10, 'a') + "\x81@x", 10},
    };
    control.SetFormatRect({0, 0, 88, 160});  // eleven single bytes a line
    control.SetWordWrap(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        control.SetText(c.text);
        control.SetSel(static_cast<int64_t>(c.anchor), static_cast<int64_t>(c.caret));
        c.edit(control);
        ASSERT_EQ(Text(), c.after);
        EXPECT_EQ(control.Caret(), c.caretAfter);
        EXPECT_EQ(control.Anchor(), c.caretAfter);
        // Typing goes in before the joined character, not into it.
        control.Type("a");
        EXPECT_EQ(Text(), c.after.substr(0, c.caretAfter) + "a" + c.after.substr(c.caretAfter));
    }
}

// Coordinates and scroll positions from callers can be anything an int
// holds; nothing they are added to or subtracted from may overflow.
TEST_F(EditControlTest, ExtremeCoordinatesAndScrollPositionsAreClamped)
{
    control.SetText("abc\r\ndef");
    auto charFromPos = [&](int32_t x, int32_t y) {
        re::PointL point{x, y};
        return Send(re::kCharFromPos, 0, reinterpret_cast<intptr_t>(&point));
    };
    EXPECT_EQ(charFromPos(INT_MIN, INT_MIN), 0);
    EXPECT_EQ(charFromPos(INT_MIN, 20), 5);
    EXPECT_EQ(charFromPos(INT_MAX, INT_MAX), 8);

    control.SetFormatRect({4, -50, 400, 160});  // a top above the client area
    EXPECT_EQ(charFromPos(0, INT_MAX), 5);
    EXPECT_EQ(charFromPos(INT_MAX, -50 + 16), 8);
    control.SetFormatRect({INT_MIN, INT_MIN, INT_MAX, INT_MAX});
    control.SetWordWrap(true);
    EXPECT_EQ(control.LineCount(), 2u);
    EXPECT_GT(control.VisibleLineCount(), 1000u);
    EXPECT_EQ(charFromPos(INT_MAX, INT_MIN), 3);
    control.SetWordWrap(false);
    control.SetFormatRect({INT_MAX - 4, INT_MAX - 4, INT_MAX, INT_MAX});
    re::PointL point{};
    Send(re::kPosFromChar, reinterpret_cast<uintptr_t>(&point), 8);
    EXPECT_EQ(point.x, INT_MAX);
    EXPECT_EQ(point.y, INT_MAX);
    control.SetFormatRect({0, 0, 0, 0});

    // Scrolling sideways stops past the widest line, and never goes negative.
    control.SetXScroll(INT_MAX);
    EXPECT_GT(control.XScroll(), 0);
    EXPECT_LE(control.XScroll(), control.GetLayout().MaxLineWidth());
    control.SetXScroll(control.XScroll() + 1);
    EXPECT_LE(control.XScroll(), control.GetLayout().MaxLineWidth());
    EXPECT_LT(control.PosFromChar(0).x, 0);
    control.SetXScroll(INT_MIN);
    EXPECT_EQ(control.XScroll(), 0);
}

// With word wrap on, a wrapped display line ends where the next one begins.
// The caret stands at either place: End, Up/Down and clicks right of the
// line keep it at the upper line's end, Home takes it back to that line's
// start; offset queries go on answering for the offset.
TEST_F(EditControlTest, AtAWrapTheCaretStaysAtTheEndOfTheUpperLine)
{
    control.SetFormatRect({0, 0, 88, 160});  // eleven letters a line
    control.SetWordWrap(true);
    control.SetText("abcdefghijklmnopqrstuvwxyzABCD");  // display lines at 0, 11, 22
    ASSERT_EQ(control.LineCount(), 3u);
    Send(re::kSetEventMask, 0, re::kEnmSelChange);

    control.MoveCaret(CaretMove::End, false);
    EXPECT_EQ(control.Caret(), 11u);
    EXPECT_TRUE(control.CaretAtLineEnd());
    EXPECT_EQ(control.CaretLine(), 0u);
    EXPECT_EQ(control.CaretPos().x, 88);
    EXPECT_EQ(control.CaretPos().y, 0);
    EXPECT_EQ(recorder.codes, (std::vector<uint32_t>{re::kEnSelChange}));
    EXPECT_EQ(Send(re::kExLineFromChar, 0, 11), 1);
    EXPECT_EQ(Send(re::kLineIndex, 1), 11);
    re::PointL point{};
    Send(re::kPosFromChar, reinterpret_cast<uintptr_t>(&point), 11);
    EXPECT_EQ(point.x, 0);
    EXPECT_EQ(point.y, 16);

    control.MoveCaret(CaretMove::End, false);  // nowhere further
    EXPECT_EQ(control.Caret(), 11u);
    EXPECT_EQ(control.CaretLine(), 0u);
    control.MoveCaret(CaretMove::Home, false);
    EXPECT_EQ(control.Caret(), 0u);

    // Shift+End selects to the line's end; one step right from there is
    // the next line's start, the next one passes its first letter.
    control.MoveCaret(CaretMove::End, true);
    EXPECT_EQ(control.SelText(), "abcdefghijk");
    EXPECT_EQ(control.CaretLine(), 0u);
    control.MoveCaret(CaretMove::End, false);
    control.MoveCaret(CaretMove::Right, false);
    EXPECT_EQ(control.Caret(), 11u);
    EXPECT_FALSE(control.CaretAtLineEnd());
    EXPECT_EQ(control.CaretLine(), 1u);
    control.MoveCaret(CaretMove::Right, false);
    EXPECT_EQ(control.Caret(), 12u);

    // Without wrapping there is no line end to stand at but the text's.
    control.MoveCaret(CaretMove::End, false);
    EXPECT_EQ(control.Caret(), 22u);
    EXPECT_EQ(control.CaretLine(), 1u);
    control.SetWordWrap(false);
    EXPECT_FALSE(control.CaretAtLineEnd());
    EXPECT_EQ(control.CaretLine(), 0u);
    EXPECT_EQ(control.CaretPos().x, 22 * 8);
}

// A user story over wrapped lines below a short one: each step names where
// the caret stands, by offset and by the display line it is drawn on.
TEST_F(EditControlTest, UpDownAndClicksKeepTheCaretOnTheLineTheyAimAt)
{
    EditInput input(control, test::TestCodec());
    control.SetFormatRect({0, 0, 88, 160});
    control.SetWordWrap(true);
    control.SetText("abcdefghijk\r\nabcdefghijklmnopqrstuvwxyzABCD");  // display lines at 0, 13, 24, 35
    auto key = [&](uint32_t k, bool shift = false) { return [&input, k, shift] { input.KeyDown(k, {shift}); }; };
    auto click = [&](int x, int y, bool shift = false) {
        return [&input, x, y, shift] {
            input.ButtonDown({x, y}, {shift});
            input.ButtonUp();
        };
    };
    struct Step {
        const char* name;
        std::function<void()> act;
        size_t caret;
        size_t line;
        bool lineEnd;
    };
    const Step steps[] = {
        {"End of the short line", key(vk::kEnd), 11, 0, false},
        {"Down to a wrapped line's end", key(vk::kDown), 24, 1, true},
        {"Down again, one line further", key(vk::kDown), 35, 2, true},
        {"Down to the shorter last line", key(vk::kDown), 43, 3, false},
        {"Up", key(vk::kUp), 35, 2, true},
        {"Home returns to the line's start", key(vk::kHome), 24, 2, false},
        {"End", key(vk::kEnd), 35, 2, true},
        {"Left", key(vk::kLeft), 34, 2, false},
        {"click right of a wrapped line", click(200, 16 + 8), 24, 1, true},
        {"click at the next line's start", click(2, 32 + 8), 24, 2, false},
        {"click right of the last line", click(200, 48 + 8), 43, 3, false},
        {"Shift+click right of a wrapped line", click(300, 32 + 8, true), 35, 2, true},
        {"Up keeps the column of the line's end", key(vk::kUp, true), 24, 1, true},
        {"PageUp to the short line's end", key(vk::kPrior), 11, 0, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        EXPECT_EQ(control.Caret(), step.caret);
        EXPECT_EQ(control.CaretLine(), step.line);
        EXPECT_EQ(control.CaretAtLineEnd(), step.lineEnd);
        EXPECT_EQ(control.CaretPos().y, static_cast<int32_t>(16 * step.line));
    }
    EXPECT_EQ(control.SelLength(), 0u);

    // A double click right of a wrapped line takes the word that ends it.
    control.SetText("hello world again");  // "hello world" fills the first line
    input.DoubleClick({200, 8});
    EXPECT_EQ(control.SelText(), "world ");  // a word takes the blanks after it
}

}  // namespace
}  // namespace kp::memo

namespace kp::memo {
namespace {

// A user story on one logical line of 200 KB (long enough for checkpoints),
// wrap off then on: End, type, Home, type, moving and hit-testing between;
// every answer must match a control freshly opened on the same text.
TEST_F(EditControlTest, ALongLineTypedIntoAtBothEndsAnswersAsAFreshControl)
{
    std::string line;
    for (int i = 0; line.size() < 200 * 1024; ++i) line += i % 25 == 0 ? "\t" : i % 3 ? "ab" : kA;
    for (const bool wrap : {false, true}) {
        SCOPED_TRACE(wrap ? "wrap on" : "wrap off");
        control.SetWordWrap(wrap);
        control.SetText(line);
        control.MoveCaret(CaretMove::DocumentEnd, false);
        control.Type("x");
        control.MoveCaret(CaretMove::DocumentStart, false);
        control.Type(kA);
        control.MoveCaret(CaretMove::End, false);
        EXPECT_EQ(Text(), kA + line + "x");

        EditControl fresh(metrics, test::TestCodec(), nullptr);
        fresh.SetClientSize(400, 160);
        fresh.SetWordWrapMode(re::kWbfLevel1);
        fresh.SetWordWrap(wrap);
        fresh.SetText(Text());
        fresh.SetSel(static_cast<int64_t>(control.Caret()), static_cast<int64_t>(control.Caret()));
        fresh.ScrollToLine(control.FirstVisibleLine());
        fresh.SetXScroll(control.XScroll());
        EXPECT_EQ(fresh.LineCount(), control.LineCount());
        EXPECT_EQ(fresh.XScroll(), control.XScroll());
        for (const size_t offset : {size_t{0}, size_t{2}, size_t{1000}, Text().size() / 2, Text().size() - 1, Text().size()}) {
            const re::PointL at = control.PosFromChar(offset);
            EXPECT_EQ(at.x, fresh.PosFromChar(offset).x) << offset;
            EXPECT_EQ(at.y, fresh.PosFromChar(offset).y) << offset;
            EXPECT_EQ(control.CharFromPos(at), fresh.CharFromPos(at)) << offset;
            EXPECT_EQ(control.LineFromChar(offset), fresh.LineFromChar(offset)) << offset;
        }
        // Sideways, the scroll reaches the line's end and no further.
        if (!wrap) {
            control.SetXScroll(INT_MAX);
            EXPECT_EQ(control.XScroll(), control.GetLayout().LineWidth(0));
            EXPECT_EQ(control.CharFromPos(control.PosFromChar(Text().size())), Text().size());
        }
    }
}

}  // namespace
}  // namespace kp::memo
