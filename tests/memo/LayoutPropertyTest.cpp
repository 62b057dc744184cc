// Incremental layout against a full one: random documents with long lines,
// tabs, double-byte characters, line breaks of every kind and the
// line-breaking sets' characters, edited at random character boundaries.
// After every edit the layout kept across edits must answer exactly as a
// layout freshly built on the same text.
//
// KP_LAYOUT_SEED=n replays one seed; KP_LAYOUT_SEEDS=n runs n seeds (a few
// by default, many by hand).

#include "memo/edit/Layout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sstream>

namespace kp::memo {
namespace {

// Following: "、" "。" ")"; leading: "(" "「"; overflow: "、" "。"; delimiter: space.
const std::string_view kSets[4] = {"\x81\x41\x81\x42)", "(\x81\x75", "\x81\x41\x81\x42", " "};

const char* const kPieces[] = {"a",  "bb",       "\x82\xA0", "\x82\xA0\x82\xA2", "\r\n", "\r", "\n", "\t",
                               "\t", "word ",    "\x81\x41", "\x81\x42",         "(",    ")",  "\x81\x75",
                               "\x83\x5C", "abcdefghijklmnop", "\x82"};

struct Setting {
    int wrap;         // 0: off
    uint32_t mode;    // line-breaking flags
    int overflowCell;
};

std::string Describe(const Setting& s, uint32_t seed)
{
    std::ostringstream out;
    out << "seed " << seed << " (replay with KP_LAYOUT_SEED=" << seed << "), wrap " << s.wrap << ", mode 0x"
        << std::hex << s.mode;
    return out.str();
}

uint32_t EnvNumber(const char* name, uint32_t fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? static_cast<uint32_t>(std::strtoul(value, nullptr, 10)) : fallback;
}

std::string RandomPieces(std::mt19937& rng, int count)
{
    std::string s;
    for (int n = 0; n < count; ++n) s += kPieces[rng() % std::size(kPieces)];
    return s;
}

// Compares everything a caller reads; returns at the first difference.
void ExpectSameLayout(const Layout& kept, const Layout& fresh, const TextBuffer& text, std::mt19937& rng)
{
    ASSERT_EQ(kept.DisplayLineCount(), fresh.DisplayLineCount());
    for (size_t line = 0; line < fresh.DisplayLineCount(); ++line) {
        ASSERT_EQ(kept.DisplayLineStart(line), fresh.DisplayLineStart(line)) << "display line " << line;
        ASSERT_EQ(kept.DisplayLineEnd(line), fresh.DisplayLineEnd(line)) << "display line " << line;
        ASSERT_EQ(kept.XOnLine(line, kept.DisplayLineEnd(line)), fresh.XOnLine(line, fresh.DisplayLineEnd(line)))
            << "width of display line " << line;
    }
    for (int sample = 0; sample < 24; ++sample) {
        const size_t offset = text.CharStart(rng() % (text.Length() + 1));
        ASSERT_EQ(kept.DisplayLineOfOffset(offset), fresh.DisplayLineOfOffset(offset)) << "offset " << offset;
        ASSERT_EQ(kept.XOfOffset(offset), fresh.XOfOffset(offset)) << "offset " << offset;
        ASSERT_EQ(kept.IsWrapPoint(offset), fresh.IsWrapPoint(offset)) << "offset " << offset;
        const size_t line = rng() % fresh.DisplayLineCount();
        const int x = static_cast<int>(rng() % 1200) - 20;
        ASSERT_EQ(kept.OffsetAtX(line, x), fresh.OffsetAtX(line, x)) << "line " << line << " x " << x;
        // A ranged read gives the full read's glyphs that meet the range.
        const int to = x + static_cast<int>(rng() % 300);
        std::vector<Layout::Glyph> expected;
        for (const Layout::Glyph& g : fresh.Glyphs(line))
            if (g.x + g.width > x && g.x < to) expected.push_back(g);
        const std::vector<Layout::Glyph> ranged = kept.Glyphs(line, x, to);
        ASSERT_EQ(ranged.size(), expected.size()) << "line " << line << " x " << x << ".." << to;
        for (size_t i = 0; i < ranged.size(); ++i) {
            ASSERT_EQ(ranged[i].offset, expected[i].offset);
            ASSERT_EQ(ranged[i].x, expected[i].x);
            ASSERT_EQ(ranged[i].width, expected[i].width);
            ASSERT_EQ(ranged[i].length, expected[i].length);
        }
    }
}

void RunSeed(uint32_t seed, const Setting& setting)
{
    SCOPED_TRACE(Describe(setting, seed));
    std::mt19937 rng(seed);
    FixedGlyphMetrics metrics;
    const Kinsoku rules(setting.mode, kSets);
    const auto configure = [&](Layout& layout) {
        layout.SetLongLineTuning(48, 16);  // checkpoints on short lines, so every path is walked
        layout.SetWrapWidth(setting.wrap);
        layout.SetRules(rules, setting.overflowCell);
    };
    TextBuffer text(RandomPieces(rng, 40 + static_cast<int>(rng() % 80)));
    Layout kept(text, metrics);
    configure(kept);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        // Queries between edits build checkpoints and cache breaks, which the
        // next edit must keep right.
        kept.XOfOffset(text.CharStart(rng() % (text.Length() + 1)));
        kept.XOfOffset(text.Length());
        const size_t offset = text.CharStart(rng() % (text.Length() + 1));
        size_t removed = 0;
        std::string inserted;
        if (rng() % 4 == 0) {
            // A line split or joined: a line break typed, or the one at or
            // after the edit point deleted.
            const size_t lineBreak = text.LineEnd(text.LineOfOffset(offset));
            if (rng() % 4) {  // both lines laid out before, as on a screen
                kept.DisplayLineOfOffset(offset);
                kept.DisplayLineOfOffset(std::min(lineBreak + 2, text.Length()));
            }
            if (rng() % 2 && lineBreak < text.Length()) {
                removed = text.LineNext(text.LineOfOffset(offset)) - lineBreak;
                text.Replace(lineBreak, removed, "");
                kept.Update(lineBreak, removed, 0);
            } else {
                static const char* const kLineBreaks[] = {"\r\n", "\r", "\n"};
                inserted = kLineBreaks[rng() % 3];
                text.Replace(offset, 0, inserted);
                kept.Update(offset, 0, inserted.size());
            }
            Layout fresh(text, metrics);
            configure(fresh);
            ExpectSameLayout(kept, fresh, text, rng);
            if (::testing::Test::HasFatalFailure()) return;
            continue;
        }
        // The lines around the edit laid out before it, so that it re-lays
        // from their kept breaks.
        if (rng() % 2) kept.DisplayLineOfOffset(offset);
        if (rng() % 3 == 0 && text.Length() > offset)
            removed = std::min<size_t>(text.Length() - offset, 1 + rng() % 9);
        if (rng() % 2) kept.DisplayLineOfOffset(offset + removed);
        if (removed == 0 || rng() % 2) inserted = RandomPieces(rng, 1 + static_cast<int>(rng() % 3));
        text.Replace(offset, removed, inserted);
        kept.Update(offset, removed, inserted.size());

        Layout fresh(text, metrics);
        configure(fresh);
        ExpectSameLayout(kept, fresh, text, rng);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

TEST(LayoutProperty, KeptLayoutAnswersAsAFreshOneAfterRandomEdits)
{
    const Setting settings[] = {
        {0, 0, 0},  {56, 0, 0}, {120, 0, 0}, {56, 0x10, 0}, {88, 0x20, 0}, {88, 0x70, 16}, {40, 0x70, 16},
        {12, 0x70, 8},  // narrower than a double-byte character
    };
    const uint32_t only = EnvNumber("KP_LAYOUT_SEED", 0);
    const uint32_t seeds = only ? 1 : EnvNumber("KP_LAYOUT_SEEDS", 6);
    for (uint32_t n = 0; n < seeds; ++n) {
        const uint32_t seed = only ? only : 1000 + n;
        for (const Setting& setting : settings) {
            RunSeed(seed, setting);
            if (::testing::Test::HasFatalFailure()) return;
        }
    }
}

}  // namespace
}  // namespace kp::memo
