// The Edit and View menus' commands and the status panels on the simulated
// main window: the commands as a table of documents, selections and
// clipboards with what each leaves behind; the clipboard's failures; and the
// panels followed through a user's session.

#include "tests/app/MainFormFixture.h"

#include "base/Error.h"
#include "memo/edit/RichEditMessages.h"

#include <algorithm>
#include <optional>
#include <random>
#include <vector>

namespace kp::app {
namespace {

constexpr const char* kHint = "[Insert]で挿入・上書きの切り替え";

class EditCommandsTest : public MainFormFixture {
protected:
    TEditForm& StartWith(std::string_view text)
    {
        TEditForm& f = Start();
        f.Memo.SetText(text);
        f.Memo.SetModified(false);
        return f;
    }
    void Select(size_t start, size_t length)
    {
        form->Memo.SetSelStart(start);
        form->Memo.SetSelLength(length);
    }
    void Run(std::string_view command) { form->MenuItem(command)->Click(); }
    void KeyDown(uint32_t key, std::initializer_list<uint32_t> held = {})
    {
        for (uint32_t k : held) keys.SetDown(k, true);
        form->Memo.Perform(memo::wm::kKeyDown, key, 0);
        for (uint32_t k : held) keys.SetDown(k, false);
    }
    std::string Panel(size_t index) const { return form->StatusBar1.Text(index); }
};

// One row: a document, a clipboard, commands each run on a selection, and
// what the memo, its selection, the clipboard and the speaker show after.
struct Step {
    size_t start;
    size_t length;
    const char* command;
};
struct CommandCase {
    const char* name;
    std::string text;
    std::optional<std::u16string> clipboard;  // none: a picture
    std::vector<Step> steps;
    std::string after;
    size_t selStart;
    size_t selLength;
    std::optional<std::u16string> clipboardAfter;
    int beeps = 0;
};

const std::string kWithNul("a\0b", 3);

TEST_F(EditCommandsTest, EachCommandLeavesMemoSelectionAndClipboardAsExpected)
{
    const CommandCase cases[] = {
        {"AddCopy joins two selections", "abc\r\ndef", u"", {{0, 3, "AddCopy"}, {5, 3, "AddCopy"}}, "abc\r\ndef", 5, 3,
         u"abcdef"},
        {"AddCopy keeps text code page 932 lacks", "x\x82\xa0y", u"한", {{1, 2, "AddCopy"}}, "x\x82\xa0y", 1, 2,
         u"한あ"},
        {"AddCopy over a picture starts from empty", "abc", std::nullopt, {{1, 1, "AddCopy"}}, "abc", 1, 1, u"b"},
        {"AddCopy without a selection keeps a picture", "abc", std::nullopt, {{1, 0, "AddCopy"}}, "abc", 1, 0,
         std::nullopt},
        {"AddCut appends and removes", "one two", u"x", {{4, 3, "AddCut"}}, "one ", 4, 0, u"xtwo"},
        {"AddCut without a selection changes nothing", "one\r\ntwo", u"kept", {{2, 0, "AddCut"}}, "one\r\ntwo", 2, 0,
         u"kept"},
        {"AddCut of a NUL beeps", kWithNul, u"kept", {{0, 2, "AddCut"}}, kWithNul, 0, 2, u"kept", 1},
        {"Cut", "hello world", u"", {{6, 5, "Cut"}}, "hello ", 6, 0, u"world"},
        {"Cut without a selection keeps a picture", "hello", std::nullopt, {{2, 0, "Cut"}}, "hello", 2, 0,
         std::nullopt},
        {"Cut of an undecodable byte beeps", "ab\xff" "cd", u"kept", {{1, 3, "Cut"}}, "ab\xff" "cd", 1, 3, u"kept", 1},
        {"Cut of a lone lead byte beeps", "ab\x82", u"kept", {{0, 3, "Cut"}}, "ab\x82", 0, 3, u"kept", 1},
        {"Copy of an undecodable byte copies a substitute", "a\xff", u"", {{0, 2, "Copy"}}, "a\xff", 0, 2,
         u"a\uFFFD"},
        {"Copy without a selection keeps the clipboard", "abc", u"kept", {{1, 0, "Copy"}}, "abc", 1, 0, u"kept"},
        {"Paste converts to code page 932", "[]", u"あ", {{1, 0, "Paste"}}, "[\x82\xa0]", 3, 0, u"あ"},
        {"Paste of a picture does nothing", "[]", std::nullopt, {{1, 0, "Paste"}}, "[]", 1, 0, std::nullopt},
        {"Undo takes back a cut", "hello world", u"", {{6, 5, "Cut"}, {0, 0, "Undo"}}, "hello world", 6, 5, u"world"},
        {"Delete the middle line", "first\r\nsecond\r\nthird", u"", {{9, 0, "Delete"}}, "first\r\nthird", 7, 0, u""},
        {"Delete the last line keeps its break", "first\r\nsecond\r\nthird", u"", {{17, 2, "Delete"}},
         "first\r\nsecond\r\n", 15, 0, u""},
        {"Delete the line of the selection's start", "first\r\nsecond\r\nthird", u"", {{2, 10, "Delete"}},
         "second\r\nthird", 0, 0, u""},
        {"Delete in an empty memo", "", u"", {{0, 0, "Delete"}}, "", 0, 0, u""},
        {"CopyAll", "all\r\nof it", u"", {{2, 0, "CopyAll"}}, "all\r\nof it", 0, 10, u"all\r\nof it"},
        {"CutAll", "all\r\nof it", u"", {{2, 0, "CutAll"}}, "", 0, 0, u"all\r\nof it"},
        {"CutAll of a NUL beeps, all selected", kWithNul, u"kept", {{0, 0, "CutAll"}}, kWithNul, 0, 3, u"kept", 1},
        {"SelectAll", "abc", u"", {{1, 0, "SelectAll"}}, "abc", 0, 3, u""},
        {"Cutting keeps the selection only", "one\r\ntwo\r\nthree", u"", {{5, 3, "Cutting"}}, "two", 0, 0, u""},
        {"Cutting without a selection empties the memo", "one\r\ntwo", u"", {{2, 0, "Cutting"}}, "", 0, 0, u""},
        {"Cutting is undone in one step", "one\r\ntwo\r\nthree", u"", {{5, 3, "Cutting"}, {0, 0, "Undo"}},
         "one\r\ntwo\r\nthree", 5, 3, u""},
        {"DateTime in an empty memo", "", u"", {{0, 0, "DateTime"}}, "99/03/14 21:05:09", 0, 0, u""},
        {"DateTime in front of a selected word", "say hello", u"", {{4, 5, "DateTime"}},
         "say 99/03/14 21:05:09hello", 4, 0, u""},
        {"FontBig of the whole text keeps kana and the caret", "abc\x83\x41z", u"", {{2, 0, "FontBig"}},
         "ABC\x83\x41Z", 2, 0, u""},
        {"FontBig of full-width letters", "\x82\x81\x82\x82", u"", {{0, 4, "FontBig"}}, "\x82\x60\x82\x61", 4, 0, u""},
        {"FontSmall of a selection", "ABC DEF", u"", {{4, 3, "FontSmall"}}, "ABC def", 7, 0, u""},
        {"FontSmall with nothing to change", "abc\x82\xa0", u"", {{0, 5, "FontSmall"}}, "abc\x82\xa0", 5, 0, u""},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.name);
        form.reset();
        if (c.clipboard)
            clipboard.SetText(*c.clipboard);
        else
            clipboard.PutNonText();
        const int beepsBefore = host.Beeps();
        TEditForm& f = StartWith(c.text);
        for (const Step& step : c.steps) {
            Select(step.start, step.length);
            Run(step.command);
        }
        EXPECT_EQ(f.Memo.Text(), c.after);
        EXPECT_EQ(f.Memo.SelStart(), c.selStart);
        EXPECT_EQ(f.Memo.SelLength(), c.selLength);
        EXPECT_EQ(clipboard.GetText(), c.clipboardAfter);
        EXPECT_EQ(f.Memo.Modified(), c.after != c.text || c.steps.back().command == std::string("Undo"));
        EXPECT_EQ(host.Beeps() - beepsBefore, c.beeps);
    }
}

// The clipboard held by another program, its text not readable, or no new
// text taken: a command that needs what fails raises the error for the
// default handler and leaves clipboard and memo as they were. What it does
// not need may fail: Copy does not read, Paste does not write.
TEST_F(EditCommandsTest, AClipboardThatFailsChangesNothing)
{
    enum class Failure { Held, Unreadable, Unwritable };
    struct Case {
        const char* command;
        Failure failure;
        bool fails;
        const char* memoAfter;
        std::u16string clipboardAfter;
    };
    const Case cases[] = {
        {"Copy", Failure::Held, true, "one two", u"before "},
        {"Copy", Failure::Unreadable, false, "one two", u"two"},
        {"Copy", Failure::Unwritable, true, "one two", u"before "},
        {"Cut", Failure::Held, true, "one two", u"before "},
        {"Cut", Failure::Unwritable, true, "one two", u"before "},
        {"CutAll", Failure::Held, true, "one two", u"before "},
        {"CopyAll", Failure::Unwritable, true, "one two", u"before "},
        {"Paste", Failure::Held, true, "one two", u"before "},
        {"Paste", Failure::Unreadable, true, "one two", u"before "},
        {"Paste", Failure::Unwritable, false, "one before ", u"before "},
        {"AddCopy", Failure::Held, true, "one two", u"before "},
        {"AddCopy", Failure::Unreadable, true, "one two", u"before "},
        {"AddCopy", Failure::Unwritable, true, "one two", u"before "},
        {"AddCut", Failure::Held, true, "one two", u"before "},
        {"AddCut", Failure::Unreadable, true, "one two", u"before "},
        {"AddCut", Failure::Unwritable, true, "one two", u"before "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " " + std::to_string(static_cast<int>(c.failure)));
        form.reset();
        clipboard.SetText(u"before ");
        TEditForm& f = StartWith("one two");
        Select(4, 3);
        clipboard.SetHeldByAnotherProgram(c.failure == Failure::Held);
        clipboard.SetUnreadable(c.failure == Failure::Unreadable);
        clipboard.SetUnwritable(c.failure == Failure::Unwritable);
        if (c.fails)
            EXPECT_THROW(Run(c.command), Error);
        else
            EXPECT_NO_THROW(Run(c.command));
        clipboard.SetHeldByAnotherProgram(false);
        clipboard.SetUnreadable(false);
        clipboard.SetUnwritable(false);
        EXPECT_EQ(f.Memo.Text(), c.memoAfter);
        EXPECT_EQ(clipboard.GetText(), c.clipboardAfter);
        EXPECT_EQ(f.Memo.Modified(), c.memoAfter != std::string("one two"));
        if (c.fails) {
            EXPECT_EQ(f.Memo.SelText(), std::string(c.command).find("All") != std::string::npos ? "one two" : "two");
        }
    }
}

TEST_F(EditCommandsTest, AStampPatternOfTheWrongTypeInsertsNothing)
{
    TEditForm& f = StartWith("text");
    platform::RegKey key;
    ASSERT_EQ(registry.CreateKey(std::string(kKey) + "\\Setup", key), platform::RegStatus::Ok);
    ASSERT_EQ(registry.SetRaw(key, "Date", platform::RegType::Dword, std::string("\1\0\0\0", 4)),
              platform::RegStatus::Ok);
    EXPECT_THROW(Run("DateTime"), Error);
    EXPECT_EQ(f.Memo.Text(), "text");
    EXPECT_FALSE(f.Memo.Modified());
}

// Random documents (letters, kana, line breaks, NUL and bytes that do not
// decode), selections and commands: the bytes outside the range a command
// may change stay as they were.
TEST_F(EditCommandsTest, NoCommandTouchesBytesOutsideItsRange)
{
    const std::string pieces[] = {"a", "Z", "\r\n", "\x82\xa0", "\x82\x81", "\x83\x9f", "\x88\x9f",
                                  std::string(1, '\0'), "\xff", " ", "\x81\x40", "\x82"};
    const char* const commands[] = {"Cut",    "Copy",     "Paste",  "AddCut",  "AddCopy", "Cutting",  "Delete",
                                    "CopyAll", "CutAll", "DateTime", "FontBig", "FontSmall", "SelectAll"};
    std::mt19937 random(2026);
    TEditForm& f = Start();
    for (int round = 0; round < 1000; ++round) {
        std::string before;
        for (size_t n = random() % 30; n > 0; --n) before += pieces[random() % std::size(pieces)];
        const std::string command = commands[random() % std::size(commands)];
        SCOPED_TRACE(command + " on a document of " + std::to_string(before.size()) + " bytes, round " +
                     std::to_string(round));
        f.Memo.SetText(before);
        clipboard.SetText(u"clip");
        const size_t a = random() % (before.size() + 1), b = random() % (before.size() + 1);
        Select(std::min(a, b), std::max(a, b) - std::min(a, b));
        const size_t s = f.Memo.SelStart(), l = f.Memo.SelLength(), n = before.size();
        const auto line = static_cast<size_t>(f.Memo.CaretLine());
        const auto lineStart = static_cast<size_t>(f.Memo.Perform(memo::re::kLineIndex, line));
        const size_t lineNext = line + 1 < f.Memo.LineCount()
                                    ? static_cast<size_t>(f.Memo.Perform(memo::re::kLineIndex, line + 1))
                                    : n;
        Run(command);
        const std::string after = f.Memo.Text();
        // [from, to) of the old text may change; everything around it stays.
        size_t from = 0, to = 0;
        if (command == "Cut" || command == "AddCut" || command == "Paste") {
            from = s, to = s + l;
        } else if (command == "CutAll") {
            from = 0, to = n;
        } else if (command == "Delete") {
            from = lineStart, to = lineNext;
        } else if (command == "DateTime") {
            from = to = s;
        } else if (command == "FontBig" || command == "FontSmall") {
            from = l > 0 ? s : 0, to = l > 0 ? s + l : n;
            EXPECT_EQ(after.size(), n);
        } else if (command == "Cutting") {
            EXPECT_EQ(after, before.substr(s, l));
            continue;
        } else {
            EXPECT_EQ(after, before);
            continue;
        }
        ASSERT_GE(after.size(), from + (n - to));
        EXPECT_EQ(after.substr(0, from), before.substr(0, from));
        EXPECT_EQ(after.substr(after.size() - (n - to)), before.substr(to));
    }
}

// After the error the user tries again once the other program let go.
TEST_F(EditCommandsTest, ACommandThatFailedWorksOnceTheClipboardIsFree)
{
    TEditForm& f = StartWith("one two");
    clipboard.SetText(u"before ");
    Select(4, 3);
    clipboard.SetHeldByAnotherProgram(true);
    EXPECT_THROW(Run("AddCut"), Error);
    clipboard.SetHeldByAnotherProgram(false);
    Run("AddCut");
    EXPECT_EQ(clipboard.GetText(), std::u16string(u"before two"));
    EXPECT_EQ(f.Memo.Text(), "one ");
    Run("Undo");
    EXPECT_EQ(f.Memo.Text(), "one two");
}

// Word wrap: Delete takes the caret's display line only, panel 0 counts
// display lines, and the switch goes back and forth with its check mark.
TEST_F(EditCommandsTest, WordWrapMakesLinesOfTheSegments)
{
    TEditForm& f = StartWith(std::string(150, 'a') + std::string(150, 'b') + "\r\nend");
    Select(160, 0);
    EXPECT_EQ(Panel(0), "1行　　161桁");
    Run("LeftEnter");
    EXPECT_TRUE(f.Memo.WordWrap());
    EXPECT_TRUE(f.MenuItem("LeftEnter")->Checked());
    ASSERT_GT(f.Memo.LineCount(), 3u);
    const int line = f.Memo.CaretLine();
    ASSERT_GT(line, 0);
    EXPECT_EQ(Panel(0), std::to_string(line + 1) + "行　　" + std::to_string(f.Memo.CaretColumn() + 1) + "桁");
    EXPECT_NE(Panel(0), "1行　　161桁");
    std::string expected;
    for (size_t n = 0; n < f.Memo.LineCount(); ++n)
        if (n != static_cast<size_t>(line)) expected += f.Memo.Line(n) + (n + 2 == f.Memo.LineCount() ? "\r\n" : "");
    Run("Delete");
    EXPECT_EQ(f.Memo.Text(), expected);
    EXPECT_LT(f.Memo.TextLength(), 300u);
    Run("Undo");
    EXPECT_EQ(f.Memo.TextLength(), 305u);
    Run("LeftEnter");
    EXPECT_FALSE(f.Memo.WordWrap());
    EXPECT_FALSE(f.MenuItem("LeftEnter")->Checked());
    EXPECT_EQ(f.Memo.LineCount(), 2u);
}

TEST_F(EditCommandsTest, TheToolBarCommandShowsAndHidesTheBar)
{
    TEditForm& f = Start();
    for (bool visible : {false, true, false}) {
        Run("ToolBar");
        EXPECT_EQ(f.ToolBar1.Visible(), visible);
        EXPECT_EQ(f.MenuItem("ToolBar")->Checked(), visible);
    }
}

// A user's session watched in the status bar: the caret's line and column
// (bytes, so a double-byte character counts two), the typing mode with the
// Insert key, the hint where the mouse moves.
TEST_F(EditCommandsTest, TheStatusPanelsFollowCaretInsertKeyAndMouse)
{
    File("C:\\docs\\a.txt", "first\r\nabcdef\r\n\x82\xa0\x82\xa2\x82\xa4\x82\xa6");
    TEditForm& f = Start({"C:\\docs\\a.txt"});
    EXPECT_EQ(Panel(0), "1行　　1桁");
    EXPECT_EQ(Panel(2), "C:\\docs\\a.txt");
    Select(10, 0);
    EXPECT_EQ(Panel(0), "2行　　4桁");
    Select(15, 0);
    EXPECT_EQ(Panel(0), "3行　　1桁");
    Select(21, 0);
    EXPECT_EQ(Panel(0), "3行　　7桁");
    Select(9, 5);
    EXPECT_EQ(Panel(0), "2行　　3桁");  // a selection shows its start
    Type("x");
    EXPECT_EQ(Panel(0), "2行　　4桁");

    EXPECT_EQ(Panel(1), "挿入");
    KeyDown(memo::vk::kInsert);
    EXPECT_EQ(Panel(1), "上書");
    EXPECT_FALSE(f.Memo.InsertMode());
    KeyDown(memo::vk::kInsert, {0x12});  // with Alt held the memo switches, and the panel with it
    EXPECT_TRUE(f.Memo.InsertMode());
    EXPECT_EQ(Panel(1), "挿入");
    KeyDown(memo::vk::kInsert);
    EXPECT_EQ(Panel(1), "上書");
    clipboard.SetText(u"p");
    KeyDown(memo::vk::kInsert, {memo::vk::kShift});  // pastes; the mode stays
    EXPECT_EQ(Panel(1), "上書");
    EXPECT_FALSE(f.Memo.InsertMode());
    KeyDown(memo::vk::kInsert, {memo::vk::kControl});
    EXPECT_EQ(Panel(1), "上書");
    EXPECT_FALSE(f.Memo.InsertMode());

    f.Memo.Perform(memo::wm::kMouseMove, 0, (20 << 16) | 30);
    EXPECT_EQ(Panel(2), kHint);
    EXPECT_EQ(Panel(0), "2行　　5桁");
}

}  // namespace
}  // namespace kp::app
