#pragma once
// Display lines of a document: logical lines (ended by CR LF, CR or LF),
// each cut into display lines at the wrap width when wrapping is on.
//
// Wrapped line counts are kept per logical line in a CountIndex, so display
// line numbers stay exact, and an edit re-lays only the logical lines it
// touched. Positions along a line come from GlyphMetrics; a tab advances to
// the next multiple of eight average character widths.
//
// Without wrapping, a long logical line keeps (offset, x) checkpoints every
// few KB, measured lazily only as far as a query reaches, so positions, hit
// tests and the glyphs of a visible stretch cost a few KB of measuring. An
// edit re-measures from the checkpoint before it until it meets an old
// checkpoint again; later checkpoints shift by the change of x there up to
// the first tab after it, and by a whole number of tab stops beyond.

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

    // Lines of at least `threshold` bytes keep checkpoints about every
    // `spacing` bytes (without wrapping). Drops what was measured.
    void SetLongLineTuning(size_t threshold, size_t spacing);

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
    // The glyphs of a display line that meet the x range [xFrom, xTo): what a
    // paint of a visible stretch needs, measured from the nearest checkpoint.
    std::vector<Glyph> Glyphs(size_t line, int xFrom, int xTo) const;
    // The width of a display line (its drawn text).
    int LineWidth(size_t line) const;
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
    // reach, when given, receives per display line the end of the bytes its
    // break was decided on (the last line's: the line's end).
    std::vector<uint32_t> ComputeBreaks(size_t lineStart, size_t lineEnd, std::vector<uint32_t>* reach = nullptr) const;
    // Lays out display lines over `bytes`, which start at a display line's
    // start; onBreak(at, reach) hears each later break and the end of the
    // bytes that decided it (offsets into bytes) and
    // returns false to stop. Short of the line's end (`atEnd` false) the run
    // stops where the bytes run out. Returns whether it stopped by onBreak or
    // reached the line's end.
    template <class OnBreak>
    bool RunBreaks(std::string_view bytes, bool atEnd, OnBreak onBreak) const;
    int Advance(uint16_t code, int x) const;
    // Where a display line that overran at `at` breaks: at `at`, or moved
    // back to the nearest position the rules allow, never to `displayStart`.
    size_t LegalBreak(std::string_view bytes, const std::vector<uint32_t>& starts, size_t at) const;

    // Checkpoints of one long logical line (wrapping off). Offsets are
    // relative to the line's start; points[0] is {0, 0}; points are built up
    // to the last one, and the whole line when `complete`.
    struct Checkpoint {
        size_t offset;
        int x;
        bool tabAfter;  // a tab lies between this checkpoint and the next (or the end)
    };
    struct LongLine {
        size_t start;
        size_t length;
        std::vector<Checkpoint> points;
        bool complete = false;
        int width = 0;  // when complete
    };
    LongLine* LongLineOf(size_t logical) const;
    // Measures one more stretch past the last checkpoint.
    void Extend(LongLine& line) const;
    // The last checkpoint at or before `offset`, measuring as far as needed.
    const Checkpoint& PointAtOffset(LongLine& line, size_t offset) const;
    // The last checkpoint whose x is at or before x, measuring as far as needed.
    const Checkpoint& PointAtX(LongLine& line, int x) const;
    // Walks the characters from a checkpoint, a few KB read at a time;
    // visit(offset, length, code, x, width) returns false to stop. Returns the
    // x where the walk stopped (at the line's end: its width).
    template <class Visit>
    int Walk(const LongLine& line, Checkpoint from, Visit visit) const;
    void UpdateLongLines(size_t offset, size_t removed, size_t inserted);
    // The edited line's checkpoints: `points` kept before the edit, then
    // measuring until the walk lands on one of `later` (old checkpoints,
    // offsets already moved to the new text, old x).
    void Relay(LongLine& line, std::vector<Checkpoint> later, bool wasComplete, int oldWidth, size_t editEnd) const;

    const TextBuffer& text_;
    GlyphMetrics& metrics_;
    int wrapWidth_ = 0;
    Kinsoku rules_;
    int overflowCell_ = 0;
    size_t lineCount_ = 1;  // logical lines at the last update
    CountIndex counts_;     // display lines per logical line (wrapping only)
    struct CachedBreaks {
        size_t start;   // the logical line's start and length when laid out
        size_t length;
        std::vector<uint32_t> breaks;
        std::vector<uint32_t> reach;  // see ComputeBreaks
    };
    mutable std::map<size_t, CachedBreaks> breakCache_;
    struct Edit {
        size_t offset;  // where `removed` bytes gave way to `inserted`
        size_t removed;
        size_t inserted;
    };
    // The breaks of a line an edit reached, from the cached breaks of the
    // lines before the edit (`old`): what lies before the edit is kept, and
    // what follows is taken over once the layout meets it again.
    CachedBreaks RelayLine(size_t line, const std::map<size_t, CachedBreaks>& old, const Edit& edit) const;
    mutable int maxWidth_ = 0;
    mutable std::vector<uint32_t> starts_;
    size_t longThreshold_ = 64 * 1024;
    size_t spacing_ = 4 * 1024;
    mutable std::map<size_t, LongLine> longLines_;  // by logical line
};

}  // namespace kp::memo
