#include "memo/edit/Layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

namespace kp::memo {
namespace {

// Fixed metrics: single bytes 8 px, double-byte characters 16 px.
struct Fixture {
    explicit Fixture(std::string_view text, int wrap = 0) : buffer(text), layout(buffer, metrics)
    {
        layout.SetWrapWidth(wrap);
    }
    std::vector<size_t> Starts() const
    {
        std::vector<size_t> starts;
        for (size_t line = 0; line < layout.DisplayLineCount(); ++line) starts.push_back(layout.DisplayLineStart(line));
        return starts;
    }
    FixedGlyphMetrics metrics;
    TextBuffer buffer;
    Layout layout;
};

TEST(Layout, WithoutWrappingDisplayLinesAreTheLogicalLines)
{
    Fixture f("a\r\nb\rc\nd\r\n");
    EXPECT_EQ(f.layout.DisplayLineCount(), 5u);
    EXPECT_EQ(f.Starts(), (std::vector<size_t>{0, 3, 5, 7, 10}));
    EXPECT_EQ(f.layout.DisplayLineEnd(0), 1u);
    EXPECT_EQ(f.layout.DisplayLineNext(0), 3u);
    EXPECT_EQ(f.layout.DisplayLineOfOffset(2), 0u);  // between CR and LF: still line 0
    EXPECT_EQ(f.layout.DisplayLineOfOffset(10), 4u);
}

TEST(Layout, WrapsAtTheWidthWithoutSplittingADoubleByteCharacter)
{
    // 80 px: ten single bytes. Nine 'a' then "あ" (16 px) cannot fit.
    Fixture f("aaaaaaaaa\x82\xA0" "bb", 80);
    EXPECT_EQ(f.Starts(), (std::vector<size_t>{0, 9}));
    EXPECT_EQ(f.layout.DisplayLineEnd(0), 9u);
    EXPECT_EQ(f.layout.DisplayLineOfOffset(9), 1u);  // the wrap point belongs to the next line
    EXPECT_EQ(f.layout.XOfOffset(11), 16);
    // The wrap point is the end of the line above too.
    EXPECT_TRUE(f.layout.IsWrapPoint(9));
    EXPECT_FALSE(f.layout.IsWrapPoint(0));
    EXPECT_FALSE(f.layout.IsWrapPoint(10));
    EXPECT_EQ(f.layout.XOnLine(0, 9), 72);
    EXPECT_EQ(f.layout.XOnLine(1, 9), 0);
    Fixture hard("aaaa\r\nbb", 80);  // a line break is no wrap
    EXPECT_FALSE(hard.layout.IsWrapPoint(6));
    // A character wider than the line still takes a line of its own.
    Fixture narrow("\x82\xA0\x82\xA0", 10);
    EXPECT_EQ(narrow.Starts(), (std::vector<size_t>{0, 2}));
}

TEST(Layout, TabsAdvanceToTheNextStopOfEightAverageWidths)
{
    Fixture f("a\tb\t\tc");
    const auto glyphs = f.layout.Glyphs(0);
    ASSERT_EQ(glyphs.size(), 6u);
    EXPECT_EQ(glyphs[1].x, 8);
    EXPECT_EQ(glyphs[1].width, 56);
    EXPECT_EQ(glyphs[2].x, 64);
    EXPECT_EQ(glyphs[4].x, 128);
    EXPECT_EQ(glyphs[5].x, 192);
}

TEST(Layout, HitTestingRoundsToTheNearestBoundary)
{
    Fixture f("ab\x82\xA0" "c");
    EXPECT_EQ(f.layout.OffsetAtX(0, 0), 0u);
    EXPECT_EQ(f.layout.OffsetAtX(0, 3), 0u);
    EXPECT_EQ(f.layout.OffsetAtX(0, 4), 1u);
    EXPECT_EQ(f.layout.OffsetAtX(0, 23), 2u);  // left half of "あ"
    EXPECT_EQ(f.layout.OffsetAtX(0, 24), 4u);
    EXPECT_EQ(f.layout.OffsetAtX(0, 500), 5u);
    EXPECT_EQ(f.layout.OffsetAtX(0, -20), 0u);
}

// After any edit the incremental update must give what a fresh layout gives.
TEST(Layout, IncrementalUpdatesMatchAFreshLayout)
{
    std::mt19937 rng(42);
    const char* const pieces[] = {"a", "bb", "\x82\xA0", "\r\n", "\r", "\n", "\t", "word ", "\x83\x5C"};
    FixedGlyphMetrics metrics;
    TextBuffer buffer;
    Layout layout(buffer, metrics);
    layout.SetWrapWidth(56);
    for (int round = 0; round < 1500; ++round) {
        const size_t offset = buffer.CharStart(rng() % (buffer.Length() + 1));
        size_t removed = 0;
        std::string inserted;
        if (rng() % 3 == 0 && buffer.Length() > offset) {
            removed = std::min<size_t>(buffer.Length() - offset, rng() % 7);
        } else {
            for (int n = rng() % 4; n >= 0; --n) inserted += pieces[rng() % std::size(pieces)];
        }
        buffer.Replace(offset, removed, inserted);
        layout.Update(offset, removed, inserted.size());

        Layout fresh(buffer, metrics);
        fresh.SetWrapWidth(56);
        ASSERT_EQ(layout.DisplayLineCount(), fresh.DisplayLineCount()) << "round " << round;
        for (size_t line = 0; line < fresh.DisplayLineCount(); ++line)
            ASSERT_EQ(layout.DisplayLineStart(line), fresh.DisplayLineStart(line)) << "round " << round;
    }
}


// Long lines without wrapping keep checkpoints (here every 8 bytes from 32):
// each edit below must leave positions, hit tests and the width exactly as a
// fresh layout of the new text gives them.
TEST(LayoutLongLines, EditsLeaveWhatAFreshLayoutGives)
{
    const std::string tabbed = std::string(40, 'a') + "\t" + std::string(40, 'b') + "\tc" + std::string(30, 'd');
    std::string wide;
    for (int i = 0; i < 40; ++i) wide += "\x82\xA0";
    const struct {
        const char* name;
        std::string text;
        size_t offset;
        size_t removed;
        std::string inserted;
    } cases[] = {
        {"a tab right after the edit", tabbed, 40, 0, "xyz"},
        {"an edit before the first tab", tabbed, 3, 1, "\x82\xA0"},
        {"a deletion across a tab", tabbed, 38, 6, ""},
        {"a lead byte joining the trail after it", wide, 10, 0, "\x82"},
        {"deleting a lead byte", wide, 8, 1, ""},
        {"a CR LF splitting the line", tabbed, 60, 0, "\r\n"},
        {"deleting the CR LF that split it", std::string(50, 'a') + "\r\n" + std::string(50, '\t'), 50, 2, ""},
        {"a lone lead byte at the line's end", wide + "\x82", 0, 0, "\t"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FixedGlyphMetrics metrics;
        TextBuffer text(c.text);
        Layout kept(text, metrics);
        kept.SetLongLineTuning(32, 8);
        kept.XOfOffset(text.Length());  // every checkpoint measured before the edit
        text.Replace(c.offset, c.removed, c.inserted);
        kept.Update(c.offset, c.removed, c.inserted.size());
        Layout fresh(text, metrics);
        for (size_t line = 0; line < fresh.DisplayLineCount(); ++line) {
            EXPECT_EQ(kept.LineWidth(line), fresh.LineWidth(line)) << "line " << line;
            for (int x = -8; x <= fresh.LineWidth(line) + 8; x += 5)
                ASSERT_EQ(kept.OffsetAtX(line, x), fresh.OffsetAtX(line, x)) << "line " << line << " x " << x;
        }
        for (size_t offset = 0; offset <= text.Length(); ++offset)
            ASSERT_EQ(kept.XOfOffset(offset), fresh.XOfOffset(offset)) << "offset " << offset;
    }
}

TEST(LayoutLongLines, TypingBeforeATabLeavesTheTextAfterItInPlace)
{
    FixedGlyphMetrics metrics;  // 8 px a byte: tab stops every 64 px
    TextBuffer text("\t" + std::string(200, 'a'));
    Layout layout(text, metrics);
    layout.SetLongLineTuning(32, 8);
    EXPECT_EQ(layout.XOfOffset(1), 64);
    EXPECT_EQ(layout.LineWidth(0), 64 + 200 * 8);
    text.Insert(0, "abc");
    layout.Update(0, 0, 3);
    EXPECT_EQ(layout.XOfOffset(4), 64);
    EXPECT_EQ(layout.LineWidth(0), 64 + 200 * 8);
    text.Insert(0, std::string(6, 'x'));  // nine letters overrun the stop: the tab reaches the next
    layout.Update(0, 0, 6);
    EXPECT_EQ(layout.XOfOffset(10), 128);
    EXPECT_EQ(layout.LineWidth(0), 128 + 200 * 8);
}

TEST(LayoutLongLines, PositionsFarBeyondSixteenBitsStayExact)
{
    FixedGlyphMetrics metrics;
    std::string wide;
    for (int i = 0; i < 20000; ++i) wide += "\x82\xA0";  // 16 px each: 320,000 px
    TextBuffer text(wide);
    Layout layout(text, metrics);
    layout.SetLongLineTuning(1024, 256);
    EXPECT_EQ(layout.OffsetAtX(0, 319991), text.Length() - 2);
    EXPECT_EQ(layout.OffsetAtX(0, 319992), text.Length());
    EXPECT_EQ(layout.OffsetAtX(0, INT_MAX), text.Length());
    EXPECT_EQ(layout.XOfOffset(text.Length() - 2), 319984);
    EXPECT_EQ(layout.LineWidth(0), 320000);
    EXPECT_EQ(layout.MaxLineWidth(), 320000);
    const std::vector<Layout::Glyph> glyphs = layout.Glyphs(0, 300000, 300040);
    ASSERT_EQ(glyphs.size(), 3u);  // 300000, 300016, 300032
    EXPECT_EQ(glyphs[0].x, 300000);
    EXPECT_EQ(glyphs[0].offset, 300000u / 8);
}

// Metrics that count the characters measured, so a test can tell how much
// of a line an edit re-laid.
class CountingMetrics final : public GlyphMetrics {
public:
    int CharWidth(uint16_t code) override
    {
        ++measured;
        return inner.CharWidth(code);
    }
    int LineHeight() override { return inner.LineHeight(); }
    int Ascent() override { return inner.Ascent(); }
    int AveCharWidth() override { return inner.AveCharWidth(); }
    FixedGlyphMetrics inner;
    size_t measured = 0;
};

// A wrapped line of 256 KB split and joined by line breaks, typed into at both
// ends: each edit leaves what a fresh layout gives, and measures the display
// lines around the edit (until the layout meets the old one), not the line's
// 180,000 characters.
TEST(LayoutLongLines, SplittingAndJoiningAWrappedLineRelaysOnlyNearTheEdit)
{
    // Pieces in a random order: a layout of text that repeats with a period
    // may stay out of step with the old one to the line's end.
    const char* const pieces[] = {"abc ", "de", "\x82\xA0\x82\xA2", "\x81\x41", "(", "\tword", "\x81\x42 ", "xyz "};
    std::mt19937 rng(13);
    std::string line;
    while (line.size() < 256 * 1024) line += pieces[rng() % std::size(pieces)];
    const size_t middle = line.size() / 2 - line.size() / 2 % 4;
    const struct {
        const char* name;
        size_t offset;  // SIZE_MAX: the end
        size_t removed;
        std::string inserted;
    } edits[] = {
        {"a CR LF splitting the line", middle, 0, "\r\n"},
        {"a letter typed after it", middle + 2, 0, "x"},
        {"the CR LF deleted again", middle, 2, ""},
        {"a LF at the start", 0, 0, "\n"},
        {"the LF deleted", 0, 1, ""},
        {"a CR LF at the end", SIZE_MAX, 0, "\r\n"},
        {"a letter on the new line", SIZE_MAX, 0, "y"},
        {"joined back", line.size(), 2, ""},
        {"a CR alone, then an LF after it", middle, 0, "\r"},
        {"the LF making it a pair", middle + 1, 0, "\n"},
        {"both deleted", middle, 2, ""},
    };
    const std::string_view sets[4] = {"\x81\x41\x81\x42)", "(", "\x81\x41\x81\x42", " "};
    const Kinsoku rules(0x70, sets);
    CountingMetrics metrics;
    TextBuffer text(line);
    Layout kept(text, metrics);
    kept.SetWrapWidth(800);
    kept.SetRules(rules, 16);
    for (const auto& edit : edits) {
        SCOPED_TRACE(edit.name);
        const size_t offset = edit.offset == SIZE_MAX ? text.Length() : edit.offset;
        for (size_t l = 0; l < kept.DisplayLineCount(); l += 997) kept.DisplayLineStart(l);  // a screen somewhere
        text.Replace(offset, edit.removed, edit.inserted);
        metrics.measured = 0;
        kept.Update(offset, edit.removed, edit.inserted.size());
        EXPECT_LT(metrics.measured, 8000u);
        FixedGlyphMetrics fixed;
        Layout fresh(text, fixed);
        fresh.SetWrapWidth(800);
        fresh.SetRules(rules, 16);
        ASSERT_EQ(kept.DisplayLineCount(), fresh.DisplayLineCount());
        for (size_t l = 0; l < fresh.DisplayLineCount(); ++l)
            ASSERT_EQ(kept.DisplayLineStart(l), fresh.DisplayLineStart(l)) << "display line " << l;
        EXPECT_LT(metrics.measured, 8000u) << "the layout kept no breaks across the edit";
    }
}

// Without wrapping, setting the text measures a long line whole (as wrapping
// lays out every line), so the first move to its end measures nothing more
// than the stretch from the checkpoint before it.
TEST(LayoutLongLines, ALongLineIsMeasuredWhenTheTextIsSet)
{
    CountingMetrics metrics;
    TextBuffer text("short\r\n" + std::string(200000, 'a') + "\r\nshort");
    Layout layout(text, metrics);
    metrics.measured = 0;
    EXPECT_EQ(layout.LineWidth(1), 200000 * 8);
    EXPECT_EQ(metrics.measured, 0u);
    EXPECT_EQ(layout.OffsetAtX(1, 199999 * 8), 7u + 199999);
    EXPECT_LE(metrics.measured, 4096u) << "a hit test walks from the checkpoint before it";
}

}  // namespace
}  // namespace kp::memo
