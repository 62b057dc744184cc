#pragma once
// Display lines of a document: logical lines (ended by CR LF, CR or LF),
// each cut into display lines at the wrap width when wrapping is on.
//
// Wrapped line counts are kept per logical line in a CountIndex, so display
// line numbers stay exact, and an edit re-lays only the logical lines it
// touched. Positions along a line come from GlyphMetrics; a tab advances to
// the next multiple of eight average character widths.

#include "memo/edit/CountIndex.h"
#include "memo/edit/GlyphMetrics.h"
#include "memo/edit/Kinsoku.h"
#include "memo/text/TextBuffer.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace kp::memo {

class Layout {
public:
    Layout(const TextBuffer& text, GlyphMetrics& metrics);

    // A width of 0 or less turns wrapping off.
    void SetWrapWidth(int width);
    int WrapWidth() const { return wrapWidth_; }
    bool Wrapping() const { return wrapWidth_ > 0; }

    // The line-breaking rules, and the width of the cell at the wrap width's
    // end that the overflow rule keeps for hanging punctuation. Re-lays the
    // document when wrapping.
    void SetRules(const Kinsoku& rules, int overflowCell);
    const Kinsoku& Rules() const { return rules_; }

    // After a font change or when the whole text was replaced.
    void Reset();
    // After the text changed at offset: `removed` bytes gave way to `inserted`.
    void Update(size_t offset, size_t removed, size_t inserted);

    size_t DisplayLineCount() const;
    // The display line that holds offset; an offset at a wrap point belongs
    // to the line that starts there.
    size_t DisplayLineOfOffset(size_t offset) const;
    size_t DisplayLineStart(size_t line) const;
    // Where the line's drawn text ends: before its line break, or at the wrap.
    size_t DisplayLineEnd(size_t line) const;
    // The start of the next display line (the text's end for the last).
    size_t DisplayLineNext(size_t line) const;
    // The logical line a display line belongs to.
    size_t LogicalLineOf(size_t displayLine) const;

    // Whether offset is a wrap point: the start of a display line that
    // continues the logical line of the display line before it.
    bool IsWrapPoint(size_t offset) const;

    // The x position (from the display line's start) of the character
    // boundary at offset, on the display line that holds it.
    int XOfOffset(size_t offset) const;
    // The same on a given display line; an offset past the line's glyphs
    // (its end, or a wrap point seen from the line above) gives its width.
    int XOnLine(size_t line, size_t offset) const;
    // The character boundary on a display line nearest to x.
    size_t OffsetAtX(size_t line, int x) const;

    struct Glyph {
        size_t offset;
        uint8_t length;  // 1 or 2 bytes
        int x;
        int width;
    };
    // The characters of a display line with their positions (line break excluded).
    std::vector<Glyph> Glyphs(size_t line) const;
    // The widest display line seen so far, for horizontal scrolling.
    int MaxLineWidth() const { return maxWidth_; }

    int TabWidth() const;
    GlyphMetrics& Metrics() const { return metrics_; }

private:
    // Where a display line lies when wrapping: its logical line, its place
    // among that line's display lines, and that line's breaks.
    struct Location {
        size_t logical;
        size_t within;
        const std::vector<uint32_t>* breaks;
    };
    Location Locate(size_t displayLine) const;
    // Display line starts of one logical line, relative to its start.
    const std::vector<uint32_t>& Breaks(size_t logicalLine) const;
    std::vector<uint32_t> ComputeBreaks(size_t lineStart, size_t lineEnd) const;
    int Advance(uint16_t code, int x) const;
    // Where a display line that overran at `at` breaks: at `at`, or moved
    // back to the nearest position the rules allow, never to `displayStart`.
    size_t LegalBreak(std::string_view bytes, const std::vector<uint32_t>& starts, size_t at) const;

    const TextBuffer& text_;
    GlyphMetrics& metrics_;
    int wrapWidth_ = 0;
    Kinsoku rules_;
    int overflowCell_ = 0;
    size_t lineCount_ = 1;  // logical lines at the last update
    CountIndex counts_;     // display lines per logical line (wrapping only)
    mutable std::map<size_t, std::vector<uint32_t>> breakCache_;
    mutable int maxWidth_ = 0;
    mutable std::vector<uint32_t> starts_;
};

}  // namespace kp::memo
