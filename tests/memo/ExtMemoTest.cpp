// The memo over a simulated window: creation and recreation, the message
// handling around the control's own, and the points at which marks and
// markers are painted or wiped.

#include "memo/ExtMemo.h"

#include "base/Error.h"
#include "memo/SimMemoWindow.h"
#include "memo/TextFile.h"
#include "memo/edit/WindowMessages.h"
#include "platform/clipboard/SimClipboard.h"
#include "platform/files/SimFileSystem.h"
#include "platform/keyboard/KeyState.h"
#include "platform/syscolors/SimSysColors.h"
#include "tests/TestPlatform.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kp::memo {
namespace {

// Records the calls of the painting seams in order.
class RecordingMemo final : public TExtMemo {
public:
    using TExtMemo::TExtMemo;
    std::vector<std::string> calls;

protected:
    void PaintMarks(size_t from, size_t to, bool erase) override
    {
        calls.push_back((erase ? "erase " : "marks ") + std::to_string(from) + "-" + std::to_string(to));
    }
    void DrawWrapLine() override { calls.push_back("wrap"); }
    void DrawCaretLine() override { calls.push_back("caret"); }
    void EraseCaretLine() override { calls.push_back("uncaret"); }
    void ApplyEditArea() override { calls.push_back("area"); }
    void DeriveEditArea() override { calls.push_back("derive"); }
    void ReadPunctuationSets() override { calls.push_back("punctuation"); }
};

class ExtMemoTest : public ::testing::Test {
protected:
    ExtMemoTest() : factory(test::TestCodec(), &clipboard, keys), memo(factory, keys, colors) {}

    std::vector<std::string> Erasures() const
    {
        std::vector<std::string> out;
        for (const auto& call : memo.calls)
            if (call.rfind("erase", 0) == 0) out.push_back(call);
        return out;
    }
    void Type(char16_t c)
    {
        memo.calls.clear();
        memo.Perform(wm::kChar, c, 0);
    }
    void Key(uint32_t key, bool shift = false, bool ctrl = false)
    {
        keys.SetDown(vk::kShift, shift);
        keys.SetDown(vk::kControl, ctrl);
        memo.calls.clear();
        memo.Perform(wm::kKeyDown, key, 0);
        keys.SetDown(vk::kShift, false);
        keys.SetDown(vk::kControl, false);
    }

    platform::SimClipboard clipboard;
    platform::SimKeyState keys;
    platform::SimSysColors colors;
    SimMemoWindowFactory factory;
    RecordingMemo memo;
};

TEST_F(ExtMemoTest, WithoutAWindowPropertiesAreHeldAndMessagesYieldZero)
{
    EXPECT_FALSE(memo.HandleAllocated());
    EXPECT_EQ(memo.Perform(re::kGetLineCount), 0);
    memo.SetText("held");
    memo.SetModified(true);
    memo.SetWordWrap(true);
    EXPECT_EQ(memo.Text(), "held");
    EXPECT_EQ(factory.Created(), 0);  // no window appears by itself

    memo.CreateWnd();
    EXPECT_EQ(memo.Text(), "held");
    EXPECT_TRUE(memo.Modified());
    EXPECT_TRUE(memo.Control()->WordWrap());
}

TEST_F(ExtMemoTest, RangeEditsReachTheControlAndDoNothingWithoutAWindow)
{
    memo.SetText("abc def");
    memo.MapCase(CaseMapping::Upper, 0, 3, 3);
    memo.Crop(0, 3);
    memo.ReplaceRange(0, 0, "x", 1);
    EXPECT_EQ(memo.Text(), "abc def");
    memo.CreateWnd();
    memo.MapCase(CaseMapping::Upper, 4, 3, 7);
    memo.ReplaceRange(3, 1, "-", 4);
    EXPECT_EQ(memo.Text(), "abc-DEF");
    EXPECT_EQ(memo.SelStart(), 4u);
    memo.Crop(4, 3);
    EXPECT_EQ(memo.Text(), "DEF");
    EXPECT_EQ(memo.SelStart(), 0u);
    memo.Undo();
    EXPECT_EQ(memo.Text(), "abc-DEF");
}

TEST_F(ExtMemoTest, CreationAsksForNotificationsAndTheSelectionBarKeepingTheModifiedFlag)
{
    memo.SetText("x");
    memo.SetModified(true);
    memo.CreateWnd();
    EditControl& control = *memo.Control();
    EXPECT_EQ(control.EventMask(), 0x002C0001u);
    EXPECT_EQ(control.Options() & re::kEcoSelectionBar, re::kEcoSelectionBar);
    EXPECT_EQ(control.Options() & re::kEcoVertical, 0u);
    EXPECT_TRUE(memo.Modified());
    EXPECT_TRUE(memo.Canvas.Bound());
    EXPECT_EQ(factory.Last()->OpenDCs(), 1);
    // The punctuation sets are read, then the edit area is derived.
    EXPECT_EQ(memo.calls, (std::vector<std::string>{"punctuation", "derive"}));
    EXPECT_EQ(factory.Last()->Font().face, "ＭＳ Ｐゴシック");
    EXPECT_EQ(factory.Last()->Font().pixelHeight, 15);
}

TEST_F(ExtMemoTest, RecreationKeepsTextModifiedFlagAndStates)
{
    memo.CreateWnd();
    memo.Perform(wm::kChar, 'a', 0);
    Key(vk::kInsert);
    ASSERT_FALSE(memo.InsertMode());
    memo.MarkedLine = 3;

    memo.SetLineSelect(false);
    EXPECT_EQ(factory.Created(), 2);
    EXPECT_EQ(memo.Text(), "a");
    EXPECT_TRUE(memo.Modified());
    EXPECT_FALSE(memo.InsertMode());
    EXPECT_EQ(memo.MarkedLine, 3);
    EXPECT_EQ(memo.Control()->Options() & re::kEcoSelectionBar, 0u);

    memo.SetVertical(true);
    EXPECT_EQ(factory.Created(), 3);
    EXPECT_EQ(memo.Control()->Options() & re::kEcoVertical, re::kEcoVertical);
    memo.SetVertical(true);  // the same value: no new window
    EXPECT_EQ(factory.Created(), 3);
}

TEST_F(ExtMemoTest, InsertTogglesBeforeTheKeyHandlerOnlyWithoutShiftOrCtrl)
{
    memo.CreateWnd();
    std::vector<bool> seen;
    memo.OnKeyDown = [&](KeyEvent&) { seen.push_back(memo.InsertMode()); };

    Key(vk::kInsert);
    EXPECT_EQ(seen, std::vector<bool>{false});
    EXPECT_TRUE(memo.Control()->Overwrite());  // the control's own toggle agrees
    Key(vk::kInsert, true);                    // Shift+Insert pastes
    Key(vk::kInsert, false, true);             // Ctrl+Insert copies
    EXPECT_EQ(seen, (std::vector<bool>{false, false, false}));
    Key(vk::kInsert);
    EXPECT_TRUE(memo.InsertMode());

    // A handler that takes the key does not part the control from InsertMode.
    memo.OnKeyDown = [](KeyEvent& e) { e.key = 0; };
    Key(vk::kInsert);
    EXPECT_FALSE(memo.InsertMode());
    EXPECT_TRUE(memo.Control()->Overwrite());
}

TEST_F(ExtMemoTest, AKeyHandlerCanTakeTheKey)
{
    memo.CreateWnd();
    memo.SetText("ab");
    memo.SetSelStart(0);
    memo.OnKeyDown = [](KeyEvent& e) {
        if (e.key == vk::kRight) e.key = 0;
    };
    Key(vk::kRight);
    EXPECT_EQ(memo.SelStart(), 0u);
}

TEST_F(ExtMemoTest, ShiftArrowsWipeTheCaretLineBeforeMoving)
{
    memo.CreateWnd();
    memo.SetText("abc");
    Key(vk::kRight, true);
    ASSERT_FALSE(memo.calls.empty());
    EXPECT_EQ(memo.calls.front(), "uncaret");
    Key(vk::kRight);
    EXPECT_TRUE(std::find(memo.calls.begin(), memo.calls.end(), "uncaret") == memo.calls.end());
}

TEST_F(ExtMemoTest, TypingAtTheEndWipesAndRedrawsTheMarksAtTheCaret)
{
    memo.CreateWnd();
    memo.SetText("ab");
    memo.SetSelStart(2);
    Type('c');
    EXPECT_EQ(Erasures(), std::vector<std::string>{"erase 2-2"});
    EXPECT_NE(std::find(memo.calls.begin(), memo.calls.end(), "marks 2-3"), memo.calls.end());
}

TEST_F(ExtMemoTest, TypingBeforeBlanksThatReachTheLineEndRedrawsThem)
{
    memo.CreateWnd();
    memo.SetText("a  \r\nb");
    memo.SetSelStart(1);
    Type('x');
    EXPECT_EQ(Erasures(), std::vector<std::string>{"erase 1-3"});
    EXPECT_NE(std::find(memo.calls.begin(), memo.calls.end(), "marks 1-4"), memo.calls.end());

    // An ideographic space counts as a blank.
    memo.SetText("a\x81\x40\r\n");
    memo.SetSelStart(1);
    Type('x');
    EXPECT_EQ(Erasures(), std::vector<std::string>{"erase 1-3"});
}

TEST_F(ExtMemoTest, TypingElsewhereLeavesTheMarksToTheControl)
{
    memo.CreateWnd();
    memo.SetText("a b\r\n");
    memo.SetSelStart(1);
    Type('x');  // before " b": the blank run ends at a letter
    EXPECT_TRUE(Erasures().empty());
    memo.SetText("a\x81\x41\r\n");  // another 0x81 character ends the scan
    memo.SetSelStart(1);
    Type('x');
    EXPECT_TRUE(Erasures().empty());
    memo.SetText("ab");
    memo.SetSelStart(2);
    Type(8);  // backspace never wipes
    EXPECT_TRUE(Erasures().empty());
    EXPECT_EQ(memo.Text(), "a");
}

TEST_F(ExtMemoTest, PaintDrawsMarksWrapLineAndCaretLineOverTheVisibleRange)
{
    memo.CreateWnd();
    memo.SetText("one\r\ntwo");
    memo.MarkedLine = 1;
    memo.calls.clear();
    memo.Perform(wm::kPaint, 0, 0);
    EXPECT_EQ(memo.calls, (std::vector<std::string>{"marks 0-8", "wrap", "caret"}));
    EXPECT_EQ(memo.MarkedLine, ~1);  // the paint wiped the underline
    EXPECT_EQ(factory.Last()->Paints(), 1);

    memo.calls.clear();
    memo.Perform(wm::kNcPaint, 1, 0);
    EXPECT_EQ(memo.calls, std::vector<std::string>{"area"});
}

// The control's selection change invalidates the whole window, so its marks
// wait for the paint that follows; with nothing due they are drawn at once.
TEST_F(ExtMemoTest, SelectionChangesRaiseTheEventThenRepaintTheMarks)
{
    memo.CreateWnd();
    memo.SetText("abc");
    int raised = 0;
    memo.OnSelectionChange = [&] {
        ++raised;
        memo.calls.push_back("event");
    };
    memo.calls.clear();
    memo.SetSelStart(2);
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(memo.calls, (std::vector<std::string>{"event", "wrap", "caret"}));
    memo.calls.clear();
    memo.Perform(wm::kPaint, 0, 0);
    EXPECT_EQ(memo.calls, (std::vector<std::string>{"marks 0-3", "wrap", "caret"}));

    memo.calls.clear();
    memo.Perform(wm::kCnNotify, re::kEnSelChange, 0);
    EXPECT_EQ(memo.calls, (std::vector<std::string>{"event", "marks 0-3", "wrap", "caret"}));
}

TEST_F(ExtMemoTest, ClicksWipeTheCaretLineAndASingleClickRedrawsIt)
{
    memo.CreateWnd();
    memo.SetText("abc");
    memo.calls.clear();
    memo.Perform(wm::kLButtonDown, 0, (10 << 16) | 20);
    ASSERT_GE(memo.calls.size(), 2u);
    EXPECT_EQ(memo.calls.front(), "uncaret");
    EXPECT_EQ(memo.calls.back(), "caret");
    memo.calls.clear();
    memo.Perform(wm::kLButtonDblClk, 0, (10 << 16) | 20);
    EXPECT_EQ(memo.calls.front(), "uncaret");
    EXPECT_EQ(std::count(memo.calls.begin(), memo.calls.end(), "caret"), 1);  // from the selection change only
    EXPECT_EQ(memo.SelText(), "abc");
}

TEST_F(ExtMemoTest, CaretLineAndColumnCountBytesOfDisplayLines)
{
    memo.CreateWnd();
    memo.SetText("x\r\n\x82\xA0" "y");
    memo.SetSelStart(5);
    EXPECT_EQ(memo.CaretLine(), 1);
    EXPECT_EQ(memo.CaretColumn(), 2);  // after one double-byte character
}

TEST_F(ExtMemoTest, SelectAllWipesTheCaretLineOnlyWhenItCanBeDrawn)
{
    memo.CreateWnd();
    memo.SetText("abc");
    memo.calls.clear();
    memo.SelectAll();
    EXPECT_EQ(memo.SelLength(), 3u);
    EXPECT_EQ(std::count(memo.calls.begin(), memo.calls.end(), "uncaret"), 0);

    memo.SetWordWrap(true);
    memo.CaretMarker.Enabled = true;
    memo.calls.clear();
    memo.SelectAll();
    EXPECT_EQ(memo.calls.front(), "uncaret");
}

TEST_F(ExtMemoTest, TextReplacementIsUndoableAndUndoGoesThroughTheControl)
{
    memo.CreateWnd();
    memo.SetText("first");
    memo.SetModified(false);
    memo.SetText("second");
    EXPECT_TRUE(memo.Modified());
    memo.Undo();
    EXPECT_EQ(memo.Text(), "first");
}

TEST_F(ExtMemoTest, FilesLoadAndSaveByteForByte)
{
    platform::SimFileSystem files;
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    bytes += "\x81";  // a lone lead byte at the end
    memo.CreateWnd();
    memo.SetText(bytes);
    memo.SaveToFile(files, "C:\\all.txt");
    std::string onDisk;
    ASSERT_EQ(files.ReadAll("C:\\all.txt", onDisk), platform::FileStatus::Ok);
    EXPECT_EQ(onDisk, bytes);

    memo.SetText("");
    memo.LoadFromFile(files, "C:\\all.txt");
    EXPECT_EQ(memo.Text(), bytes);
    EXPECT_FALSE(memo.Modified());
    EXPECT_FALSE(memo.Control()->CanUndo());
    try {
        memo.LoadFromFile(files, "C:\\missing.txt");
        FAIL() << "a missing file loaded";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "ﾌｧｲﾙ C:\\missing.txt は開けません");
    }
    EXPECT_EQ(memo.Text(), bytes);
}

TEST_F(ExtMemoTest, OtherProgramsReadTheWindowAsUtf16)
{
    memo.CreateWnd();
    memo.SetText("a\x82\xA0\r\n");
    EXPECT_EQ(memo.Perform(wm::kGetTextLength), 4);
    char16_t buffer[16];
    EXPECT_EQ(memo.Perform(wm::kGetText, 16, reinterpret_cast<intptr_t>(buffer)), 4);
    EXPECT_EQ(std::u16string(buffer), u"aあ\r\n");
    EXPECT_EQ(memo.TextLength(), 5u);  // inside the program: bytes
}

TEST_F(ExtMemoTest, DestroyingTheWindowReleasesTheCanvas)
{
    memo.CreateWnd();
    SimMemoWindow* window = factory.Last();
    EXPECT_EQ(window->OpenDCs(), 1);
    memo.SetText("kept");
    memo.DestroyWnd();
    EXPECT_FALSE(memo.Canvas.Bound());
    EXPECT_EQ(memo.Text(), "kept");
}

// The ways the window is made again, each undone by running it twice.
const std::vector<std::pair<const char*, std::function<void(TExtMemo&)>>>& Recreations()
{
    static const std::vector<std::pair<const char*, std::function<void(TExtMemo&)>>> ways = {
        {"word wrap", [](TExtMemo& m) { m.SetWordWrap(!m.WordWrap()); }},
        {"selection bar", [](TExtMemo& m) { m.SetLineSelect(!m.LineSelect()); }},
        {"vertical layout", [](TExtMemo& m) { m.SetVertical(!m.Vertical()); }},
    };
    return ways;
}

// The user types, switches to overwrite, selects, and the window is made
// again: everything carries on as if nothing had happened.
TEST_F(ExtMemoTest, RecreationKeepsOverwriteSelectionAndUndoHistory)
{
    for (const auto& [name, recreate] : Recreations()) {
        SCOPED_TRACE(name);
        RecordingMemo memo(factory, keys, colors);
        memo.CreateWnd();
        for (const char c : std::string("abc\rdef")) memo.Perform(wm::kChar, static_cast<uint8_t>(c), 0);
        ASSERT_EQ(memo.Text(), "abc\r\ndef");
        keys.SetDown(vk::kShift, false);
        memo.Perform(wm::kKeyDown, vk::kInsert, 0);
        ASSERT_FALSE(memo.InsertMode());
        memo.SetSelStart(1);
        memo.SetSelLength(2);

        recreate(memo);
        EXPECT_FALSE(memo.InsertMode());
        EXPECT_TRUE(memo.Control()->Overwrite());
        EXPECT_EQ(memo.SelStart(), 1u);
        EXPECT_EQ(memo.SelText(), "bc");
        EXPECT_TRUE(memo.Modified());

        memo.SetSelStart(5);
        memo.Perform(wm::kChar, 'X', 0);
        EXPECT_EQ(memo.Text(), "abc\r\nXef");  // overwritten, not inserted
        memo.Undo();
        EXPECT_EQ(memo.Text(), "abc\r\ndef");
        EXPECT_TRUE(memo.Control()->CanUndo());  // the typing from before is still there
        while (memo.Control()->CanUndo()) memo.Undo();
        EXPECT_EQ(memo.Text(), "");

        recreate(memo);  // and back
        EXPECT_FALSE(memo.Control()->CanUndo());
        EXPECT_TRUE(memo.Control()->Overwrite());
    }
}

TEST_F(ExtMemoTest, RecreationKeepsTheCaretLineInViewAndTheViewWhereItWas)
{
    std::string text;
    for (int line = 0; line < 300; ++line) text += std::string(120, static_cast<char>('a' + line % 26)) + "\r\n";
    const size_t caret = 200 * 122 + 7;
    memo.CreateWnd();
    memo.SetText(text);
    EditControl* control = memo.Control();
    control->SetSel(static_cast<int64_t>(caret), static_cast<int64_t>(caret));
    control->ScrollCaretIntoView();
    const size_t firstOffset = static_cast<size_t>(control->LineIndex(static_cast<int64_t>(control->FirstVisibleLine())));

    // The same layout: the view does not move.
    memo.SetLineSelect(false);
    control = memo.Control();
    EXPECT_EQ(static_cast<size_t>(control->LineIndex(static_cast<int64_t>(control->FirstVisibleLine()))), firstOffset);

    // Wrapping on and off again: the caret's line is in view each time.
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "wrapped" : "unwrapped");
        memo.SetWordWrap(round == 0);
        control = memo.Control();
        ASSERT_EQ(control->WordWrap(), round == 0);
        EXPECT_EQ(memo.SelStart(), caret);
        const size_t line = control->LineFromChar(caret);
        EXPECT_GE(line, control->FirstVisibleLine());
        EXPECT_LT(line, control->FirstVisibleLine() + control->VisibleLineCount());
        if (round == 0) {
            EXPECT_GT(control->LineCount(), 300u * 2);  // the lines really wrap
        }
    }
}

TEST_F(ExtMemoTest, RecreationHandsTheTextOnWithoutCopyingIt)
{
    memo.CreateWnd();
    memo.SetText(std::string(100000, 'x'));
    const TextSnapshot before = memo.Control()->Snapshot();
    memo.SetWordWrap(true);
    EXPECT_TRUE(memo.Control()->Snapshot().SharesStateWith(before));
    memo.DestroyWnd();
    memo.CreateWnd();
    EXPECT_TRUE(memo.Control()->Snapshot().SharesStateWith(before));
}

// Replacing the whole text is an edit: the same rule with and without a
// window, and the flag a window-less memo holds is the one its window shows.
TEST_F(ExtMemoTest, WholeTextReplacementSetsTheModifiedFlagOnlyWhenTheTextChanges)
{
    platform::SimFileSystem files;
    SaveTextFile(files, "C:\\doc.txt", std::string("loaded"));
    struct Case {
        const char* what;
        const char* start;
        bool modifiedBefore;
        std::function<void(TExtMemo&)> act;
        const char* textAfter;
        bool modifiedAfter;
    };
    const std::vector<Case> cases = {
        {"another text", "abc", false, [](TExtMemo& m) { m.SetText("xyz"); }, "xyz", true},
        {"the same text", "abc", false, [](TExtMemo& m) { m.SetText("abc"); }, "abc", false},
        {"the same text, modified", "abc", true, [](TExtMemo& m) { m.SetText("abc"); }, "abc", true},
        {"clearing a text", "abc", false, [](TExtMemo& m) { m.Clear(); }, "", true},
        {"clearing nothing", "", false, [](TExtMemo& m) { m.Clear(); }, "", false},
        {"loading a file", "abc", true, [&](TExtMemo& m) { m.LoadFromFile(files, "C:\\doc.txt"); }, "loaded", false},
    };
    for (const bool withWindow : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (withWindow ? " with a window" : " without a window"));
            RecordingMemo memo(factory, keys, colors);
            if (withWindow) memo.CreateWnd();
            memo.SetText(c.start);
            memo.SetModified(c.modifiedBefore);
            c.act(memo);
            EXPECT_EQ(memo.Text(), c.textAfter);
            EXPECT_EQ(memo.Modified(), c.modifiedAfter);
            memo.CreateWnd();
            EXPECT_EQ(memo.Control()->Modified(), c.modifiedAfter);
        }
    }
}

TEST_F(ExtMemoTest, CopiesOfTheOptionObjectsLeaveTheControlAlone)
{
    memo.CreateWnd();
    EditControl& control = *memo.Control();

    // Edit area: a copy carries every value; assigning it applies nothing
    // until it is assigned to the memo's own object.
    memo.EditArea.SetEnabled(true);
    memo.EditArea.SetWidth(300);
    TEditArea area = memo.EditArea;
    EXPECT_TRUE(area.Enabled());
    EXPECT_EQ(area.Width(), 300);
    memo.calls.clear();
    TEditArea changed;
    changed.SetWidth(420);
    changed.Margin().SetLeft(12);
    area = changed;
    EXPECT_TRUE(memo.calls.empty());
    EXPECT_EQ(memo.EditArea.Width(), 300);
    EXPECT_TRUE(area.Enabled());  // assignment leaves the switch
    memo.EditArea = area;
    EXPECT_EQ(memo.calls, std::vector<std::string>{"area"});
    EXPECT_EQ(memo.EditArea.Width(), 420);
    EXPECT_EQ(memo.EditArea.Margin().Left(), 12);

    // IME colours: sent as RGB with their effects, by the memo's object only.
    const auto defaults = control.ImeColors();
    TImeColors ime = memo.ImeColors();
    ime.Untransfered.SetIcText(clWindow);
    ime.Transfered.SetIcBackground(RGBColor(1, 2, 3));
    ime.WatchingUntransfered.SetStyle(fsBold | fsStrikeOut);
    TImeColors another = ime;
    another = ime;
    EXPECT_EQ(control.ImeColors()[0].crText, defaults[0].crText);
    EXPECT_EQ(control.ImeColors()[2].crBackground, defaults[2].crBackground);
    memo.SetImeColors(ime);
    EXPECT_EQ(control.ImeColors()[0].crText, 0xFFFFFFu);  // the window colour, as RGB
    EXPECT_EQ(control.ImeColors()[2].crBackground, 0x030201u);
    EXPECT_EQ(control.ImeColors()[3].dwEffects, 9u);
    control.SetImeColors(defaults);
    memo.SetImeColors(ime);  // the colours it holds already: nothing is sent
    EXPECT_EQ(control.ImeColors()[0].crText, defaults[0].crText);

    // Line breaking: the custom sets and the mode word reach the control from
    // the memo's object; a set the control refuses is cleared there.
    TWordWrapOption option = memo.WordWrapOption();
    option.custom = {"\x81\x41\x81\x42", "\x01", "", ""};
    option.modeWord = re::kWbfCustom | re::kWbfWordWrap | re::kWbfWordBreak;
    TWordWrapOption copy = option;
    copy = option;
    EXPECT_EQ(copy.custom[1], "\x01");
    EXPECT_EQ(control.WordWrapMode(), defaults::kWordWrapMode);
    memo.SetWordWrapOption(option);
    EXPECT_EQ(control.WordWrapMode(), option.modeWord);
    EXPECT_EQ(control.Punctuation(re::kPcFollowing), "\x81\x41\x81\x42");
    EXPECT_EQ(memo.WordWrapOption().custom[0], "\x81\x41\x81\x42");
    EXPECT_EQ(memo.WordWrapOption().custom[1], "");  // refused
    EXPECT_EQ(option.custom[1], "\x01");          // the copy keeps its own
}

TEST_F(ExtMemoTest, WithoutAWindowTheMemosOptionObjectsKeepWhatTheyAreGiven)
{
    TWordWrapOption option;
    option.custom = {"\x81\x41", "\x81\x42", "", ""};
    option.modeWord = 0x0230;
    memo.SetWordWrapOption(option);
    // Read while loading, the object holds what it was given; otherwise the
    // mode word is the control's answer, none without a window.
    memo.SetLoading(true);
    EXPECT_EQ(memo.WordWrapOption().custom, option.custom);
    EXPECT_EQ(memo.WordWrapOption().modeWord, 0x0230u);
    memo.SetLoading(false);
    EXPECT_EQ(memo.WordWrapOption().modeWord, 0u);
    memo.calls.clear();
    memo.EditArea = TEditArea{};
    EXPECT_EQ(memo.calls, std::vector<std::string>{"area"});  // applying has no effect without a window
}

}  // namespace
}  // namespace kp::memo
