// Documents of extreme shapes through the whole memo (its window simulated):
// each is opened from a file, painted, scrolled to its end and back, wrapped
// and unwrapped, typed into at its end, and saved, and the file saved holds
// exactly the bytes the document holds. Scaled down here; the full sizes run
// with KP_LARGE_SHAPES_SCALE=1.

#include "memo/ExtMemo.h"

#include "memo/SimMemoWindow.h"
#include "memo/TextFile.h"
#include "memo/edit/WindowMessages.h"
#include "platform/clipboard/SimClipboard.h"
#include "platform/files/SimFileSystem.h"
#include "platform/keyboard/KeyState.h"
#include "platform/syscolors/SimSysColors.h"
#include "tests/TestPlatform.h"
#include "tests/memo/LargeShapes.h"

#include <gtest/gtest.h>

namespace kp::memo {
namespace {

constexpr const char* kPath = "C:\\shape.txt";
constexpr const char* kSaved = "C:\\saved.txt";

class LargeShapesTest : public ::testing::Test {
protected:
    LargeShapesTest() : factory(test::TestCodec(), &clipboard, keys), memo(factory, keys, colors)
    {
        memo.CreateWnd();
        factory.Last()->Resize(640, 480);
    }
    EditControl& Control() { return *memo.Control(); }
    std::string Saved()
    {
        memo.SaveToFile(files, kSaved);
        return LoadTextFile(files, kSaved);
    }
    // The caret's place is inside the client area.
    void ExpectCaretShown()
    {
        const re::PointL at = Control().PosFromChar(Control().Caret());
        EXPECT_GE(at.x, 0);
        EXPECT_LE(at.x, Control().ClientWidth());
        EXPECT_GE(at.y, 0);
        EXPECT_LE(at.y + Control().LineHeight(), Control().ClientHeight());
    }

    platform::SimClipboard clipboard;
    platform::SimKeyState keys;
    platform::SimSysColors colors;
    platform::SimFileSystem files;
    SimMemoWindowFactory factory;
    TExtMemo memo;
};

TEST_F(LargeShapesTest, EachShapeOpensScrollsWrapsAndSavesByteExact)
{
    const double scale = test::LargeShapeScale(1.0 / 25);
    for (const test::LargeShape& shape : test::LargeShapes()) {
        SCOPED_TRACE(shape.name);
        std::string bytes = shape.make(scale);
        const size_t lines = test::LogicalLines(bytes);
        const std::vector<bool> starts = test::CharStarts(bytes);
        SaveTextFile(files, kPath, bytes);

        memo.LoadFromFile(files, kPath);
        EditControl& control = Control();
        ASSERT_EQ(control.TextLength(), bytes.size());
        EXPECT_EQ(control.LineCount(), lines);
        if (shape.oneLine) {
            EXPECT_EQ(control.GetLayout().LineWidth(0), test::FixedWidth(bytes));
        }
        memo.Perform(wm::kPaint, 0, 0);

        // To the end and back, as Ctrl+End and Ctrl+Home go.
        control.MoveCaret(CaretMove::DocumentEnd, false);
        EXPECT_EQ(control.Caret(), bytes.size());
        EXPECT_EQ(control.CaretLine(), lines - 1);
        ExpectCaretShown();
        const size_t last = control.LineCount() - 1;
        const int right = control.XScroll();
        for (const auto& glyph : control.GetLayout().Glyphs(last, right, right + control.ClientWidth()))
            ASSERT_TRUE(starts[glyph.offset]) << "a glyph at " << glyph.offset << " inside a character";
        memo.Perform(wm::kPaint, 0, 0);
        control.MoveCaret(CaretMove::DocumentStart, false);
        EXPECT_EQ(control.Caret(), 0u);
        EXPECT_EQ(control.FirstVisibleLine(), 0u);
        EXPECT_EQ(control.XScroll(), 0);

        // Wrapped: display lines follow each other, start on characters, and
        // together hold every glyph of the text.
        // (The memo makes its window anew for the change.)
        memo.SetWordWrap(true);
        EditControl& wrapped = Control();
        const Layout& layout = wrapped.GetLayout();
        const size_t displayLines = wrapped.LineCount();
        EXPECT_GE(displayLines, lines);
        int64_t width = 0;
        for (size_t line = 0; line < displayLines; ++line) {
            const size_t start = layout.DisplayLineStart(line);
            ASSERT_TRUE(starts[start]) << "display line " << line << " starts inside a character";
            if (line + 1 < displayLines) {
                ASSERT_EQ(layout.DisplayLineNext(line), layout.DisplayLineStart(line + 1));
            }
            if (shape.oneLine) width += layout.LineWidth(line);
        }
        if (shape.oneLine) {
            // Tabs widen by where they land, so only a line without one sums exactly.
            if (bytes.find('\t') == std::string::npos) {
                EXPECT_EQ(width, test::FixedWidth(bytes));
            }
            EXPECT_GT(displayLines, 1u);
        } else {
            EXPECT_EQ(displayLines, lines) << "no line is long enough to wrap";
        }
        wrapped.ScrollToLine(displayLines / 2);
        EXPECT_EQ(wrapped.FirstVisibleLine(), displayLines / 2);
        memo.Perform(wm::kPaint, 0, 0);
        wrapped.MoveCaret(CaretMove::DocumentEnd, false);
        EXPECT_EQ(wrapped.Caret(), bytes.size());
        ExpectCaretShown();
        memo.SetWordWrap(false);
        EXPECT_EQ(Control().LineCount(), lines);

        EXPECT_TRUE(Saved() == bytes) << "saved as opened";
        // A letter typed at the end (after a lone lead byte it pairs with
        // it: the bytes are still the bytes typed) and taken back.
        Control().MoveCaret(CaretMove::DocumentEnd, false);
        memo.Perform(wm::kChar, 'x', 0);
        bytes += 'x';
        EXPECT_TRUE(Saved() == bytes) << "saved with the letter";
        memo.Undo();
        bytes.pop_back();
        EXPECT_TRUE(Saved() == bytes) << "saved after undo";
        files.Delete(kSaved);
        files.Delete(kPath);
    }
}

}  // namespace
}  // namespace kp::memo
