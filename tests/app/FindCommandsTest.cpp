// Find and replace on the simulated main window: find steps as a table of
// documents, dialog presses and the selection each leaves; replace presses as
// a table of documents and what each press leaves (text, selection, message);
// and the paths around them (the dialogs' options, undo, a press during the
// message, scrolling to a match).

#include "tests/app/MainFormFixture.h"

#include <optional>
#include <vector>

namespace kp::app {
namespace {

class FindCommandsTest : public MainFormFixture {
protected:
    TEditForm& StartWith(std::string_view text, bool wrap = false)
    {
        TEditForm& f = Start();
        f.Memo.SetText(text);
        f.Memo.SetModified(false);
        if (wrap) Run("LeftEnter");
        return f;
    }
    void Select(size_t start, size_t length)
    {
        form->Memo.SetSelStart(start);
        form->Memo.SetSelLength(length);
    }
    void Run(std::string_view command) { form->MenuItem(command)->Click(); }
    std::pair<size_t, size_t> Selection() const { return {form->Memo.SelStart(), form->Memo.SelLength()}; }
};

std::string NotFound(std::string_view findText) { return "\"" + std::string(findText) + "\" は見つかりません"; }
constexpr const char* kRefused = "置換後の文字列にシフトJISで表せない文字が含まれています";

// ---- The find step ----------------------------------------------------------------

// Caret: the user puts the caret at after.first, selecting nothing.
enum class Source { FindDialog, F3, ReplaceDialog, Caret };
struct FindPress {
    Source source;
    const char* text;  // the dialog's text (F3, Caret: unused)
    uint32_t options;
    std::pair<size_t, size_t> after;
};
struct FindCase {
    const char* name;
    std::string document;
    std::pair<size_t, size_t> selection;
    std::vector<FindPress> presses;
};

TEST_F(FindCommandsTest, FindStepsRunForwardFromTheSelectionMatchingCaseWithoutWrapping)
{
    using enum Source;
    const uint32_t down = ui::frDown;
    const FindCase cases[] = {
        {"starts at 0, not at the caret; F3 goes on; no wrap", "ab xx ab", {8, 0},
         {{FindDialog, "ab", down, {0, 2}}, {F3, "", 0, {6, 2}}, {F3, "", 0, {6, 2}}, {F3, "", 0, {6, 2}}}},
        {"after the last one, removing the selection starts over", "ab ab", {0, 0},
         {{FindDialog, "ab", down, {0, 2}},
          {F3, "", 0, {3, 2}},
          {FindDialog, "ab", down, {3, 2}},
          {Caret, "", 0, {4, 0}},
          {F3, "", 0, {0, 2}}}},
        {"the direction up is ignored", "ab ab ab", {3, 2}, {{FindDialog, "ab", 0, {6, 2}}}},
        {"the whole-word box is ignored", "abc ab", {0, 0}, {{ReplaceDialog, "ab", down | ui::frWholeWord, {0, 2}}}},
        {"the replace dialog's match case off still matches case", "AB ab", {0, 0},
         {{ReplaceDialog, "ab", down, {3, 2}}}},
        {"a case mismatch finds nothing, silently", "abc", {1, 0}, {{FindDialog, "ABC", down, {1, 0}}}},
        {"a match on a trail byte is skipped", "\x83\x41\x83\x41" "A", {0, 0}, {{FindDialog, "A", down, {4, 1}}}},
        {"kana: the search starts at the selection's end", "\x82\xa0\x82\xa2\x82\xa0\x82\xa2", {0, 2},
         {{FindDialog, "あい", down, {4, 4}}}},
        {"an empty text finds nothing", "abc", {1, 1}, {{FindDialog, "", down, {1, 1}}}},
        {"a character code page 932 lacks finds nothing, not '?'", "a?b", {0, 0}, {{FindDialog, "한", down, {0, 0}}}},
        {"offsets are the memo's across a lone LF and a lone CR", "x\ny\rzz\r\nzz", {0, 0},
         {{FindDialog, "zz", down, {4, 2}}, {F3, "", 0, {8, 2}}}},
        {"F3 uses the find dialog's text, the replace dialog its own", "one two one two", {0, 0},
         {{FindDialog, "two", down, {4, 3}},
          {ReplaceDialog, "one", down, {8, 3}},
          {F3, "", 0, {12, 3}},
          {ReplaceDialog, "one", down, {12, 3}}}},
    };
    for (const FindCase& c : cases) {
        SCOPED_TRACE(c.name);
        TEditForm& f = StartWith(c.document);
        Run("Find");
        Run("Replace");
        Select(c.selection.first, c.selection.second);
        for (const FindPress& press : c.presses) {
            switch (press.source) {
            case FindDialog: dialogs.PressFindNext(f.FindDialog1, press.text, press.options); break;
            case ReplaceDialog: dialogs.PressFindNext(f.ReplaceDialog1, press.text, press.options); break;
            case F3: Run("FindNext"); break;
            case Caret: Select(press.after.first, 0); break;
            }
            EXPECT_EQ(Selection(), press.after);
        }
        EXPECT_EQ(f.Memo.Text(), c.document);
        EXPECT_TRUE(messages.Shown().empty());
    }
}

TEST_F(FindCommandsTest, FindShowsTheDialogWithoutCaseAndWordBoxesAndReplaceWithItsDefaults)
{
    TEditForm& f = StartWith("text");
    Run("FindNext");  // nothing typed yet: nothing happens
    EXPECT_EQ(Selection(), (std::pair<size_t, size_t>{0, 0}));
    Run("Find");
    Run("Replace");
    ASSERT_EQ(dialogs.FindDialogs().size(), 2u);
    EXPECT_FALSE(dialogs.FindDialogs()[0].replace);
    EXPECT_EQ(dialogs.FindDialogs()[0].options, uint32_t{ui::frDown | ui::frHideMatchCase | ui::frHideWholeWord});
    EXPECT_TRUE(dialogs.FindDialogs()[1].replace);
    EXPECT_EQ(dialogs.FindDialogs()[1].options, uint32_t{ui::frDown});
    EXPECT_TRUE(dialogs.IsShowing(f.FindDialog1));
    EXPECT_TRUE(dialogs.IsShowing(f.ReplaceDialog1));

    // The texts outlive the dialogs: shown again, each has its own.
    dialogs.PressFindNext(f.FindDialog1, "ex", 0);
    dialogs.PressReplace(f.ReplaceDialog1, "t", "T", ui::frMatchCase);
    dialogs.UserCloses(f.FindDialog1);
    dialogs.UserCloses(f.ReplaceDialog1);
    Run("Find");
    Run("Replace");
    EXPECT_EQ(dialogs.FindDialogs()[2].findText, "ex");
    EXPECT_EQ(dialogs.FindDialogs()[2].options & (ui::frHideMatchCase | ui::frHideWholeWord),
              uint32_t{ui::frHideMatchCase | ui::frHideWholeWord});
    EXPECT_EQ(dialogs.FindDialogs()[3].findText, "t");
    EXPECT_EQ(dialogs.FindDialogs()[3].replaceText, "T");
    Select(0, 0);
    Run("FindNext");
    EXPECT_EQ(Selection(), (std::pair<size_t, size_t>{1, 2}));
}

TEST_F(FindCommandsTest, AMatchFarDownIsScrolledIntoView)
{
    std::string text;
    for (int i = 0; i < 500; ++i) text += "line\r\n";
    text += "needle";
    TEditForm& f = StartWith(text, true);
    ASSERT_EQ(f.Memo.Control()->FirstVisibleLine(), 0u);
    Run("Find");
    dialogs.PressFindNext(f.FindDialog1, "needle", ui::frDown);
    EXPECT_EQ(Selection(), (std::pair<size_t, size_t>{text.size() - 6, 6}));
    const size_t line = f.Memo.Control()->LineFromChar(text.size() - 6);
    EXPECT_GT(f.Memo.Control()->FirstVisibleLine(), 0u);
    EXPECT_LE(f.Memo.Control()->FirstVisibleLine(), line);
    EXPECT_LT(line, f.Memo.Control()->FirstVisibleLine() + f.Memo.Control()->VisibleLineCount());
}

// ---- The replace step -------------------------------------------------------------

struct ReplacePress {
    bool all;  // Replace All, else Replace
    std::string text;
    std::pair<size_t, size_t> selection;
    std::optional<std::string> message;
};
struct ReplaceCase {
    const char* name;
    std::string document;
    bool wrap;
    const char* findText;
    const char* replaceText;
    std::vector<ReplacePress> presses;
};

TEST_F(FindCommandsTest, EachReplacePressTakesTheFirstOccurrenceAndLeavesTheNewTextSelected)
{
    const std::string longLine = std::string(120, 'w') + " cat " + std::string(120, 'w');
    const ReplaceCase cases[] = {
        {"two presses, then the message",
         "a cat, a cat",
         false,
         "cat",
         "dog",
         {{false, "a dog, a cat", {2, 3}, {}},
          {false, "a dog, a dog", {9, 3}, {}},
          {false, "a dog, a dog", {9, 3}, NotFound("cat")}}},
        {"Replace All replaces one per press",
         "cat cat",
         false,
         "cat",
         "pup",
         {{true, "pup cat", {0, 3}, {}}, {true, "pup pup", {4, 3}, {}}, {true, "pup pup", {4, 3}, NotFound("cat")}}},
        {"a shorter replacement", "xx yy xx", false, "xx", "x",
         {{false, "x yy xx", {0, 1}, {}}, {false, "x yy x", {5, 1}, {}}}},
        {"a replacement holding the find text is taken again", "ab", false, "a", "aa",
         {{false, "aab", {0, 2}, {}}, {false, "aaab", {0, 2}, {}}}},
        {"case matches exactly", "Cat", false, "cat", "dog", {{false, "Cat", {0, 0}, NotFound("cat")}}},
        {"kana, and a match on a trail byte skipped", "\x83\x41" "A", false, "A", "あ",
         {{false, "\x83\x41\x82\xa0", {2, 2}, {}}}},
        {"an empty replacement deletes", "a-b", false, "-", "", {{false, "ab", {1, 0}, {}}}},
        {"memo offsets after a lone LF and a lone CR", "x\ny\rcat\r\ncat", false, "cat", "dog",
         {{false, "x\ny\rdog\r\ncat", {4, 3}, {}}, {false, "x\ny\rdog\r\ndog", {9, 3}, {}}}},
        {"memo offsets with word wrap on", longLine + "\ncat", true, "cat", "dog",
         {{false, std::string(120, 'w') + " dog " + std::string(120, 'w') + "\ncat", {121, 3}, {}},
          {false, std::string(120, 'w') + " dog " + std::string(120, 'w') + "\ndog", {246, 3}, {}}}},
        {"a find text code page 932 lacks is not found", "a?b", false, "한", "x",
         {{false, "a?b", {0, 0}, NotFound("한")}}},
        {"a replacement code page 932 lacks is refused", "cat", false, "cat", "고양이",
         {{false, "cat", {0, 0}, std::string(kRefused)}}},
        {"an empty find text is not found", "abc", false, "", "x", {{false, "abc", {0, 0}, NotFound("")}}},
    };
    for (const ReplaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        TEditForm& f = StartWith(c.document, c.wrap);
        if (c.wrap) {
            ASSERT_GT(f.Memo.LineCount(), 3u);
        }
        Select(0, 0);
        Run("Replace");
        messages.Clear();
        for (const ReplacePress& press : c.presses) {
            if (press.all)
                dialogs.PressReplaceAll(f.ReplaceDialog1, c.findText, c.replaceText, ui::frDown);
            else
                dialogs.PressReplace(f.ReplaceDialog1, c.findText, c.replaceText, ui::frDown);
            EXPECT_EQ(f.Memo.Text(), press.text);
            EXPECT_EQ(Selection(), press.selection);
            if (press.message) {
                ASSERT_EQ(messages.Shown().size(), 1u);
                EXPECT_EQ(messages.Last().text, *press.message);
                EXPECT_EQ(messages.Last().kind, ui::DialogKind::Error);
                EXPECT_EQ(messages.Last().buttons, ui::DialogButtons{ui::mbOK});
                messages.Clear();
            } else {
                EXPECT_TRUE(messages.Shown().empty());
            }
        }
        EXPECT_EQ(f.Memo.Modified(), f.Memo.Text() != c.document);
    }
}

// A user's session: replace, find on after the new text, undo each press.
TEST_F(FindCommandsTest, ReplaceIsOneUndoStepAndTheFindStepGoesOnAfterTheNewText)
{
    TEditForm& f = StartWith("cat cat cat");
    Run("Find");
    Run("Replace");
    dialogs.PressReplace(f.ReplaceDialog1, "cat", "tiger", ui::frDown);
    EXPECT_EQ(f.Memo.Text(), "tiger cat cat");
    dialogs.PressFindNext(f.FindDialog1, "cat", ui::frDown);
    EXPECT_EQ(Selection(), (std::pair<size_t, size_t>{6, 3}));
    dialogs.PressReplaceAll(f.ReplaceDialog1, "cat", "tiger", ui::frDown);
    EXPECT_EQ(f.Memo.Text(), "tiger tiger cat");
    Run("Undo");
    EXPECT_EQ(f.Memo.Text(), "tiger cat cat");
    Run("Undo");
    EXPECT_EQ(f.Memo.Text(), "cat cat cat");
}

TEST_F(FindCommandsTest, PressesWhileTheMessageShowsAddNoMessage)
{
    TEditForm& f = StartWith("none here");
    Run("Replace");
    int nested = 0;
    messages.WhileShown = [&] {
        if (nested++ > 0) return;  // a stacked message presses nothing more
        dialogs.PressReplace(f.ReplaceDialog1, "cat", "dog", ui::frDown);
        dialogs.PressReplaceAll(f.ReplaceDialog1, "cat", "dog", ui::frDown);
    };
    dialogs.PressReplace(f.ReplaceDialog1, "cat", "dog", ui::frDown);
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(messages.Shown().size(), 1u);
    // Once it has gone, the next press shows it again.
    messages.WhileShown = nullptr;
    dialogs.PressReplace(f.ReplaceDialog1, "cat", "dog", ui::frDown);
    EXPECT_EQ(messages.Shown().size(), 2u);
}

}  // namespace
}  // namespace kp::app
