// The wait cursor of the commands that work on the whole text: each shows the
// hourglass while its work runs and the cursor of before once it is done,
// however it ends; no dialog or message shows under the hourglass.
//
// "While its work runs" is seen from outside: at each change of the cursor
// the test reads what the command changes (the document, the clipboard, a
// file, the wrapping), so the hourglass must come before the change and the
// default cursor after it.

#include "tests/app/MainFormFixture.h"

#include "base/Error.h"
#include "ui/ViewTypes.h"

#include <functional>
#include <string>
#include <vector>

namespace kp::app {
namespace {

using ui::TCursor;

class WaitCursorTest : public MainFormFixture {
protected:
    WaitCursorTest()
    {
        // Dialogs and messages record the cursor they show under.
        forms.WhileShown = [this](const ui::FormSpec&) { shownUnder.push_back(ui::Screen::Cursor()); };
        messages.WhileShown = [this] { shownUnder.push_back(ui::Screen::Cursor()); };
    }
    ~WaitCursorTest() override { ui::Screen::SetObserver(nullptr); }

    // Records each change of the cursor shown (a nested scope sets the same
    // cursor again) with what probe reads at that moment.
    void Watch(std::function<std::string()> probe)
    {
        ui::Screen::SetObserver([this, probe](TCursor cursor) {
            if (changes.empty() ? cursor != TCursor::crDefault : cursor != changes.back().cursor)
                changes.push_back({cursor, probe()});
        });
    }
    std::string Clipboard()
    {
        const auto text = clipboard.GetText();
        return text ? std::string(text->begin(), text->end()) : "(none)";
    }
    void Run(std::string_view command) { form->MenuItem(command)->Click(); }

    struct Change {
        TCursor cursor;
        std::string seen;
    };
    std::vector<Change> changes;
    std::vector<TCursor> shownUnder;
};

// One command on a small document: what to arrange, how the user runs it,
// and what its work changes (empty: nothing the test can read changes).
struct CursorCase {
    const char* name;
    std::function<void(TEditForm&)> arrange;
    std::function<void(TEditForm&)> run;
    std::function<std::string(TEditForm&)> probe;
};

TEST_F(WaitCursorTest, WholeTextCommandsShowTheHourGlassAroundTheirWorkOnly)
{
    const auto document = [](TEditForm& f) { return f.Memo.Text(); };
    const auto select = [](size_t start, size_t length) {
        return [start, length](TEditForm& f) {
            f.Memo.SetSelStart(start);
            f.Memo.SetSelLength(length);
        };
    };
    const auto menu = [](const char* command) { return [command](TEditForm& f) { f.MenuItem(command)->Click(); }; };
    const auto nothing = [](TEditForm&) {};
    const std::vector<CursorCase> cases = {
        {"FontBig", nothing, menu("FontBig"), document},
        {"FontSmall", [](TEditForm& f) { f.Memo.SetText("ABC DEF"); }, menu("FontSmall"), document},
        {"LeftEnter", nothing, menu("LeftEnter"), [](TEditForm& f) { return std::to_string(f.Memo.WordWrap()); }},
        {"CopyAll", nothing, menu("CopyAll"), [this](TEditForm&) { return Clipboard(); }},
        {"CutAll", nothing, menu("CutAll"), document},
        {"Cut", select(4, 3), menu("Cut"), document},
        {"Paste", select(0, 3), menu("Paste"), document},
        {"Cutting", select(4, 3), menu("Cutting"), document},
        {"Undo", [](TEditForm& f) { f.MenuItem("FontBig")->Click(); }, menu("Undo"), document},
        {"FindNext", [](TEditForm& f) { f.FindDialog1.FindText = "def"; }, menu("FindNext"),
         [](TEditForm& f) { return std::to_string(f.Memo.SelStart()); }},
        {"Replace", [](TEditForm& f) { f.MenuItem("Replace")->Click(); },
         [this](TEditForm& f) { dialogs.PressReplace(f.ReplaceDialog1, "def", "xyz", ui::frMatchCase); }, document},
        {"Save",
         [this](TEditForm& f) {
             File("C:\\docs\\a.txt", "old");
             dialogs.AnswerFile("C:\\docs\\a.txt");
             f.MenuItem("Open")->Click();
             f.Memo.SetText("abc def ghi");
         },
         menu("Save"), [this](TEditForm&) { return Contents("C:\\docs\\a.txt"); }},
        {"SaveAs", [this](TEditForm&) { dialogs.AnswerFile("C:\\docs\\b.txt"); }, menu("SaveAs"),
         [this](TEditForm&) { return Contents("C:\\docs\\b.txt"); }},
        {"Open",
         [this](TEditForm&) {
             File("C:\\docs\\c.txt", "opened");
             dialogs.AnswerFile("C:\\docs\\c.txt");
         },
         menu("Open"), document},
    };
    for (const CursorCase& c : cases) {
        SCOPED_TRACE(c.name);
        TEditForm& f = Start();
        f.Memo.SetText("abc def ghi");
        f.Memo.SetModified(false);
        clipboard.SetText(u"xy");
        c.arrange(f);
        changes.clear();
        shownUnder.clear();
        Watch([&c, &f] { return c.probe(f); });
        c.run(f);
        ui::Screen::SetObserver(nullptr);

        ASSERT_EQ(changes.size(), 2u) << "one hourglass, then the cursor of before";
        EXPECT_EQ(changes[0].cursor, TCursor::crHourGlass);
        EXPECT_EQ(changes[1].cursor, TCursor::crDefault);
        EXPECT_NE(changes[0].seen, changes[1].seen) << "the work runs under the hourglass";
        EXPECT_EQ(changes[1].seen, c.probe(f)) << "nothing of the work comes after it";
        EXPECT_EQ(ui::Screen::Cursor(), TCursor::crDefault);
        for (const TCursor shown : shownUnder) EXPECT_EQ(shown, TCursor::crDefault);
        form.reset();
    }
}

// Counting changes nothing; the hourglass shows before the dialog, which
// shows with the ordinary cursor and the counted numbers.
TEST_F(WaitCursorTest, CountShowsTheHourGlassWhileCountingAndNotOverItsDialog)
{
    TEditForm& f = Start();
    f.Memo.SetText("ab\r\ncd");
    std::vector<TCursor> sequence;
    ui::Screen::SetObserver([&](TCursor cursor) { sequence.push_back(cursor); });
    forms.WhileShown = [&](const ui::FormSpec&) { sequence.push_back(ui::Screen::Cursor()); };
    Run("Count");
    EXPECT_EQ(sequence, (std::vector<TCursor>{TCursor::crHourGlass, TCursor::crDefault, TCursor::crDefault}));
    ASSERT_EQ(forms.Shown().size(), 1u);
}

// A command that fails, or finds nothing and says so, leaves no hourglass
// behind, and its message shows with the ordinary cursor.
TEST_F(WaitCursorTest, FailuresAndMessagesComeWithTheOrdinaryCursor)
{
    TEditForm& f = Start();
    f.Memo.SetText("abc");
    f.Memo.SetModified(false);
    f.MenuItem("Replace")->Click();
    dialogs.PressReplace(f.ReplaceDialog1, "zzz", "y", ui::frMatchCase);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(shownUnder, (std::vector<TCursor>{TCursor::crDefault}));

    File("C:\\docs\\a.txt", "old");
    dialogs.AnswerFile("C:\\docs\\a.txt");
    Run("Open");
    files.FailFlush(true);
    f.Memo.SetText("new");
    EXPECT_THROW(Run("Save"), Error);
    EXPECT_EQ(ui::Screen::Cursor(), TCursor::crDefault);
    EXPECT_EQ(Contents("C:\\docs\\a.txt"), "old");

    files.FailFlush(false);
    clipboard.SetUnwritable(true);
    EXPECT_THROW(Run("CopyAll"), Error);
    EXPECT_EQ(ui::Screen::Cursor(), TCursor::crDefault);
}

}  // namespace
}  // namespace kp::app
