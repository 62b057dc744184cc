// The edit marks and markers as the memo paints them on a simulated canvas:
// which characters get which mark, the selection and end-of-text rules,
// erasing, the bands outside the formatting rectangle, and the caret line.

#include "memo/ExtMemo.h"

#include "memo/SimMemoWindow.h"
#include "memo/edit/WindowMessages.h"
#include "platform/clipboard/SimClipboard.h"
#include "platform/keyboard/KeyState.h"
#include "platform/syscolors/SimSysColors.h"
#include "tests/TestPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kp::memo {
namespace {

// Each mark kind in a colour of its own, reversed: its cell is filled in it.
enum Mark : uint32_t { CrLf = 1, Ctrl, DSp, SSp, Tab, Eot };
constexpr uint32_t kBackground = 0xFFFFFF;
constexpr uint32_t kCaretColor = 0x0000F0;
constexpr uint32_t kWrapColor = 0x00F000;

class MarksTest : public ::testing::Test {
protected:
    MarksTest() : factory(test::TestCodec(), &clipboard, keys), memo(factory, keys, colors)
    {
        TEditMark* marks[] = {&memo.EditMarks.CrLf, &memo.EditMarks.Ctrl, &memo.EditMarks.DSp,
                              &memo.EditMarks.SSp,  &memo.EditMarks.Tab,  &memo.EditMarks.Eot};
        for (uint32_t i = 0; i < 6; ++i) {
            marks[i]->Enabled = true;
            marks[i]->Reversed = true;
            marks[i]->Color = i + 1;
        }
        memo.CreateWnd();
    }
    SimMemoWindow& Window() { return *factory.Last(); }
    // Paints and answers the marks drawn, in drawing order (by line, then x).
    std::vector<Mark> Paint()
    {
        Window().Painted().clear();
        memo.Perform(wm::kPaint);
        std::vector<std::pair<re::Rect, Mark>> cells;
        for (const PaintOp& op : Window().Painted()) {
            CheckInsideClient(op);
            if (op.kind == PaintOp::Fill && op.color >= CrLf && op.color <= Eot)
                for (const re::Rect& r : op.rects) cells.emplace_back(r, static_cast<Mark>(op.color));
        }
        std::sort(cells.begin(), cells.end(), [](const auto& a, const auto& b) {
            const int rowA = a.first.top / 16;  // the line the cell lies on
            const int rowB = b.first.top / 16;
            return rowA != rowB ? rowA < rowB : a.first.left < b.first.left;
        });
        std::vector<Mark> marks;
        for (const auto& cell : cells) marks.push_back(cell.second);
        return marks;
    }
    void CheckInsideClient(const PaintOp& op)
    {
        const int w = Window().ClientWidth();
        const int h = Window().ClientHeight();
        for (const re::Rect& r : op.rects) {
            EXPECT_GE(r.left, 0);
            EXPECT_GE(r.top, 0);
            EXPECT_LE(r.right, w);
            EXPECT_LE(r.bottom, h);
        }
        for (const re::PointL& p : op.points) {
            EXPECT_TRUE(p.x >= 0 && p.x < w && p.y >= 0 && p.y < h) << p.x << "," << p.y;
        }
    }
    std::vector<const PaintOp*> LinesIn(uint32_t color)
    {
        std::vector<const PaintOp*> out;
        for (const PaintOp& op : Window().Painted())
            if (op.kind == PaintOp::Lines && op.color == color) out.push_back(&op);
        return out;
    }

    platform::SimClipboard clipboard;
    platform::SimKeyState keys;
    platform::SimSysColors colors;
    SimMemoWindowFactory factory;
    TExtMemo memo;
};

TEST_F(MarksTest, EachCharacterGetsItsMark)
{
    struct Case {
        const char* what;
        std::string text;
        std::vector<Mark> marks;
    };
    const Case cases[] = {
        {"space, CR LF as one mark, end of text", "a b\r\nc", {SSp, CrLf, Eot}},
        {"tab, control letter, ideographic space", "\tx\x01\x81\x40\r\n", {Tab, Ctrl, DSp, CrLf, Eot}},
        {"lone LF and lone CR", "a\nb\rc", {CrLf, CrLf, Eot}},
        // A character whose trail byte is 0x81 is one character: "ａ@" has no
        // ideographic space, "ａ" CR LF one line-end mark, "ａ" CR one.
        {"trail bytes 0x81 are not lead bytes", "\x82\x81@\x82\x81\r\n\x82\x81\r", {CrLf, CrLf, Eot}},
        {"a lone lead byte at the end draws nothing for it", "ab\x81", {Eot}},
        {"an empty text has only its end", "", {Eot}},
        {"other double-byte characters have none", "\x82\xA0\x88\x9F", {Eot}},
        {"the end mark is not drawn past the rectangle", std::string(60, 'x'), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        memo.SetText(c.text);
        EXPECT_EQ(Paint(), c.marks);
    }
    // The control letter is text in the memo's face, the cell's colours reversed.
    memo.SetText("\x01");
    Paint();
    const auto text = std::find_if(Window().Painted().begin(), Window().Painted().end(),
                                   [](const PaintOp& op) { return op.kind == PaintOp::Text; });
    ASSERT_NE(text, Window().Painted().end());
    EXPECT_EQ(text->text, "A");
    EXPECT_EQ(text->font.face, memo.Font().face);
    EXPECT_EQ(text->color, kBackground);
    EXPECT_EQ(text->back, static_cast<uint32_t>(Ctrl));
    EXPECT_LE(text->clip.right, 8 + 8);  // within the character's own advance
}

TEST_F(MarksTest, SelectionAndEndOfTextRules)
{
    memo.SetText("a b c");
    memo.SetSelStart(2);
    memo.SetSelLength(2);  // "b "
    EXPECT_EQ(Paint(), (std::vector<Mark>{SSp, Eot}));
    memo.SetSelStart(3);
    memo.SetSelLength(2);  // " c": the selection reaches the end
    EXPECT_EQ(Paint(), (std::vector<Mark>{SSp}));
    memo.SelectAll();
    EXPECT_EQ(Paint(), std::vector<Mark>{});
    memo.SetSelStart(0);
    memo.EditMarks.SSp.Enabled = false;
    memo.EditMarks.Eot.Reversed = false;  // glyph in the mark's colour on the background
    EXPECT_EQ(Paint(), std::vector<Mark>{});
    EXPECT_FALSE(LinesIn(Eot).empty());
}

TEST_F(MarksTest, DrawingFillsTheBandsAndErasingLeavesThem)
{
    memo.SetText("ab  \r\nc");
    Paint();
    re::Rect rect{};
    memo.Perform(re::kGetRect, 0, reinterpret_cast<intptr_t>(&rect));
    bool leftBand = false;
    for (const PaintOp& op : Window().Painted())
        if (op.kind == PaintOp::Fill && op.color == kBackground)
            for (const re::Rect& r : op.rects)
                leftBand |= r.left == 0 && r.right == rect.left && r.bottom == Window().ClientHeight();
    EXPECT_TRUE(leftBand);
    // Marks are batched: one fill per colour in a pass.
    int spaceFills = 0;
    for (const PaintOp& op : Window().Painted()) spaceFills += op.kind == PaintOp::Fill && op.color == SSp;
    EXPECT_EQ(spaceFills, 1);

    // Typing before the trailing blanks erases their marks: background only,
    // no faces, no bands; then draws them again.
    memo.SetSelStart(2);
    Window().Painted().clear();
    memo.Perform(wm::kChar, 'x', 0);
    std::vector<PaintOp> erase;
    for (const PaintOp& op : Window().Painted()) {
        erase.push_back(op);
        if (op.kind == PaintOp::End) break;
    }
    size_t cells = 0;
    for (const PaintOp& op : erase) {
        EXPECT_NE(op.kind, PaintOp::Lines);
        if (op.kind != PaintOp::Fill) continue;
        EXPECT_EQ(op.color, kBackground);
        cells += op.rects.size();
    }
    EXPECT_EQ(cells, 3u);  // two spaces and the line end
    EXPECT_EQ(memo.Text(), "abx  \r\nc");

    // Nothing at all while vertical.
    memo.SetVertical(true);
    Paint();
    EXPECT_TRUE(Window().Painted().empty());
}

TEST_F(MarksTest, TheCaretLineFollowsTheCaretAcrossWrapPointsAndScrolling)
{
    memo.SetWordWrap(true);
    memo.EditArea.SetEnabled(true);
    memo.CaretMarker.Enabled = true;
    memo.CaretMarker.Color = kCaretColor;
    memo.WordWrapMarker.Enabled = true;
    memo.WordWrapMarker.Color = kWrapColor;
    memo.EditArea.SetWidth(144);  // with the overflow cell: 18 narrow characters a line
    memo.SetText(std::string(400, 'x'));
    Window().SetFocused(true);
    const auto underlines = [&] {
        std::vector<std::pair<uint32_t, int>> out;
        for (const PaintOp& op : Window().Painted())
            if (op.kind == PaintOp::Lines && op.points.size() == 2 && op.points[0].y == op.points[1].y)
                out.emplace_back(op.color, op.points[0].y);
        return out;
    };
    Paint();
    EXPECT_EQ(underlines(), (std::vector<std::pair<uint32_t, int>>{{kCaretColor, 16}}));
    const auto wrap = LinesIn(kWrapColor);
    ASSERT_FALSE(wrap.empty());
    EXPECT_EQ(wrap[0]->points[0].x, memo.EditArea.Margin().Left() + 144 + 1);

    // End: the caret stands at the end of the upper line of the wrap point,
    // where the underline stays.
    Window().Painted().clear();
    memo.Perform(wm::kKeyDown, vk::kEnd, 0);
    EXPECT_EQ(memo.CaretLine(), 1);  // the offset belongs to the next line
    EXPECT_EQ(memo.MarkedLine, 0);
    Window().Painted().clear();
    memo.Perform(wm::kKeyDown, vk::kDown, 0);
    EXPECT_EQ(memo.MarkedLine, 1);
    EXPECT_EQ(underlines(), (std::vector<std::pair<uint32_t, int>>{{kBackground, 16}, {kCaretColor, 32}}));

    // Scrolled off, nothing is drawn; the line is remembered.
    memo.Control()->ScrollLines(5);
    Paint();
    EXPECT_TRUE(underlines().empty());
    EXPECT_EQ(memo.MarkedLine, ~1);
}

}  // namespace
}  // namespace kp::memo
