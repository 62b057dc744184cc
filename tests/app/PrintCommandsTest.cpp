// Printing: the text printer's layout on the simulated printer, the Print
// command with its dialog, ranges and failures, and the Help menu's Contents.

#include "app/TextPrinter.h"
#include "tests/app/MainFormFixture.h"

#include <gtest/gtest.h>

namespace kp::app {
namespace {

// Code-page-932 bytes of a UTF-8 literal.
std::string J(std::string_view utf8) { return test::TestCodec().FromUtf8(utf8); }

// "[x,y text]" per drawn text, pages separated by '/'.
std::string Render(const platform::SimPrintJob& job)
{
    std::string out;
    for (size_t page = 0; page < job.pages.size(); ++page) {
        if (page > 0) out += '/';
        for (const platform::SimDrawnText& text : job.pages[page])
            out += "[" + std::to_string(text.x) + "," + std::to_string(text.y) + " " + text.bytes + "]";
    }
    return out;
}

platform::SimPrintJob PrintPieces(const std::vector<std::string>& pieces, int width, int height)
{
    platform::SimPrintJob job;
    platform::SimPrintDevice device({width, height, 96, platform::SimPrintFailure::None, nullptr}, job);
    TextPrinter printer(device);
    // Character height 16: text lines advance 18, empty ones 16; half-width
    // characters 8 wide, others 16, tab stops every 64.
    printer.Begin("job", platform::FontSpec{"ＭＳ ゴシック", 16, false, false, platform::kShiftJisCharset}, 0);
    for (const std::string& piece : pieces) printer.Write(piece);
    printer.End();
    return job;
}

TEST(TextPrinterTest, LaysOutTextByTheRules)
{
    struct Case {
        const char* what;
        std::vector<std::string> pieces;
        int width, height;
        std::string expected;
    };
    const Case cases[] = {
        {"text lines advance tallest + 2, CR is ignored", {"ab\r\ncd\r\n"}, 96, 400, "[0,0 ab][0,18 cd]"},
        {"an empty line advances the character height", {"a\n\nb"}, 96, 400, "[0,0 a][0,34 b]"},
        {"a long text breaks before the character crossing the edge", {"abcdefghijklm"}, 96, 400,
         "[0,0 abcdefghijkl][0,18 m]"},
        {"a double-byte character is never split", {J("abcdefghijkあ")}, 96, 400,
         "[0,0 abcdefghijk][0,18 " + J("あ") + "]"},
        {"tabs stop every 8 average widths; one past the edge ends the line", {"a\tb\tc"}, 96, 400,
         "[0,0 a][64,0 b][0,18 c]"},
        {"a form feed starts a page, inside a line too", {"ab\fcd\n"}, 96, 400, "[0,0 ab]/[0,0 cd]"},
        {"a closing form feed leaves no blank sheet", {"a\f", "\n\f"}, 96, 400, "[0,0 a]"},
        {"two form feeds leave one blank page between", {"a\f\fb"}, 96, 400, "[0,0 a]//[0,0 b]"},
        {"a new page when two more lines would not fit", {"a\nb\nc"}, 96, 60, "[0,0 a][0,18 b]/[0,0 c]"},
        {"empty lines count toward the bottom", {"a\n\nb\nc"}, 96, 60, "[0,0 a]/[0,0 b][0,18 c]"},
        {"a character wider than the page prints alone", {J("aあb")}, 10, 400,
         "[0,0 a][0,18 " + J("あ") + "][0,36 b]"},
        {"a page shorter than two lines holds one line", {"a\nb"}, 96, 10, "[0,0 a]/[0,0 b]"},
        {"NUL and lone lead bytes are characters of full width", {std::string("x\0y", 3) + "\x82 z"}, 96, 400,
         std::string("[0,0 x\0y", 8) + "\x82 z]"},
        {"a lone lead byte ending a piece never joins the next", {"a\x82", "\xA0"}, 96, 400,
         "[0,0 a\x82][24,0 \xA0]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const platform::SimPrintJob job = PrintPieces(c.pieces, c.width, c.height);
        EXPECT_EQ(Render(job), c.expected);
        EXPECT_TRUE(job.ended);
    }
}

TEST(TextPrinterTest, MeasuresEachCharacterOncePerJobInTheScaledFont)
{
    platform::SimPrintJob job;
    platform::SimPrintDevice device({2000, 4000, 192, platform::SimPrintFailure::None, nullptr}, job);
    TextPrinter printer(device);
    printer.Begin("job", platform::FontSpec{"ＭＳ 明朝", 15, true, false, platform::kShiftJisCharset}, 0x0000FF);
    for (int i = 0; i < 50; ++i) printer.Write(J("aあa\tあ\r\n"));
    printer.End();
    EXPECT_EQ(job.widthQueries.size(), 2u);
    for (const auto& [code, count] : job.widthQueries) EXPECT_EQ(count, 1) << code;
    ASSERT_FALSE(job.pages[0].empty());
    const platform::SimDrawnText& first = job.pages[0][0];
    EXPECT_EQ(first.font.pixelHeight, 30);  // 15 screen pixels at 192 DPI
    EXPECT_EQ(first.font.face, "ＭＳ 明朝");
    EXPECT_TRUE(first.font.bold);
    EXPECT_EQ(first.rgb, 0x0000FFu);
}

class PrintCommandsTest : public MainFormFixture {
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
    void Print() { form->MenuItem("Print")->Click(); }
};

// The user prints the whole document, then only a selection, then cancels.
TEST_F(PrintCommandsTest, PrintsTheDocumentOrTheSelectionAsTheDialogSays)
{
    TEditForm& f = StartWith("first\r\nsecond\fthird\r\n");
    dialogs.AnswerPrint(true);
    Print();
    ASSERT_EQ(printers.Jobs().size(), 1u);
    const platform::SimPrintJob& all = printers.Jobs()[0];
    EXPECT_EQ(dialogs.PrintDialogOptions().back(), 0u);  // no selection: no selection range
    EXPECT_EQ(all.title, application.Title());
    EXPECT_EQ(Render(all), "[0,0 first][0,17 second]/[0,0 third]");
    EXPECT_TRUE(all.ended);
    EXPECT_EQ(all.pages[0][0].font.face, f.Memo.Font().face);
    EXPECT_EQ(all.pages[0][0].font.pixelHeight, f.Memo.Font().pixelHeight);
    EXPECT_EQ(all.pages[0][0].rgb, 0x000000u);  // window text
    for (const auto& page : all.pages)
        for (const platform::SimDrawnText& text : page) EXPECT_TRUE(text.busy);  // the wait cursor shows
    EXPECT_FALSE(printers.Busy());

    Select(2, 9);  // "rst\r\nseco"
    dialogs.AnswerPrintSelection();
    Print();
    EXPECT_EQ(dialogs.PrintDialogOptions().back(), uint32_t{ui::poSelection});
    ASSERT_EQ(printers.Jobs().size(), 2u);
    EXPECT_EQ(Render(printers.Jobs()[1]), "[0,0 rst][0,17 seco]");

    // With a selection the user may still print everything.
    dialogs.AnswerPrint(true);
    Print();
    ASSERT_EQ(printers.Jobs().size(), 3u);
    EXPECT_EQ(Render(printers.Jobs()[2]), Render(all));

    dialogs.AnswerPrint(false);
    Print();
    EXPECT_EQ(dialogs.PrintDialogRuns(), 4);
    EXPECT_EQ(printers.Jobs().size(), 3u);
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_EQ(f.Memo.Text(), "first\r\nsecond\fthird\r\n");
}

TEST_F(PrintCommandsTest, ADeviceFailureAbortsTheJobAndSaysSo)
{
    struct Case {
        const char* what;
        bool unreachable;
        platform::SimPrintFailure failure;
    };
    const Case cases[] = {
        {"the printer went away after the dialog", true, platform::SimPrintFailure::None},
        {"the job is refused", false, platform::SimPrintFailure::BeginDoc},
        {"drawing fails", false, platform::SimPrintFailure::Draw},
        {"a page cannot start", false, platform::SimPrintFailure::NewPage},
        {"the job cannot end", false, platform::SimPrintFailure::EndDoc},
    };
    TEditForm& f = StartWith("page one\fpage two");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.Clear();
        const size_t jobsBefore = printers.Jobs().size();
        printers.unreachable = c.unreachable;
        printers.setup.failure = c.failure;
        dialogs.AnswerPrint(true);
        Print();
        ASSERT_EQ(messages.Shown().size(), 1u);
        EXPECT_EQ(messages.Last().text, "印刷できませんでした。");
        EXPECT_EQ(messages.Last().kind, ui::DialogKind::Error);
        if (!c.unreachable) {
            ASSERT_EQ(printers.Jobs().size(), jobsBefore + 1);
            EXPECT_FALSE(printers.Jobs().back().ended);
            EXPECT_EQ(printers.Jobs().back().aborted, c.failure != platform::SimPrintFailure::BeginDoc);
        }
        EXPECT_FALSE(printers.Busy());
        EXPECT_EQ(f.Memo.Text(), "page one\fpage two");
        EXPECT_FALSE(f.Memo.Modified());
    }
}

TEST_F(PrintCommandsTest, ContentsAsksTheViewerOnceAtATime)
{
    TEditForm& f = Start();
    f.MenuItem("Contents")->Click();
    EXPECT_EQ(application.HelpFile, "kpad.hlp");
    f.MenuItem("Contents")->Click();  // the viewer is still asking its user
    EXPECT_EQ(help.Requests(), std::vector<std::string>{"kpad.hlp"});
    ASSERT_TRUE(help.FinishOldest(true));
    EXPECT_TRUE(messages.Shown().empty());

    f.MenuItem("Contents")->Click();
    EXPECT_EQ(help.Requests().size(), 2u);
    ASSERT_TRUE(help.FinishOldest(false));  // the viewer could not start
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Last().text,
              "ヘルプを表示できません。ヘルプ ビューア (winhlp32.exe) が見つかりません。");
    EXPECT_EQ(messages.Last().kind, ui::DialogKind::Error);

    help.installed = false;
    f.MenuItem("Contents")->Click();
    EXPECT_EQ(messages.Shown().size(), 2u);
    f.MenuItem("Contents")->Click();  // nothing was left in flight
    EXPECT_EQ(help.Requests().size(), 4u);

    // An answer that comes after the window has gone is dropped.
    help.installed = true;
    f.MenuItem("Contents")->Click();
    form.reset();
    EXPECT_TRUE(help.FinishOldest(false));
    EXPECT_EQ(messages.Shown().size(), 3u);
}

}  // namespace
}  // namespace kp::app
