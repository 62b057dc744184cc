#include "memo/edit/Layout.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kp::memo
