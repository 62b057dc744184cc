#include "memo/edit/Layout.h"

#include "base/Cp932.h"

#include <algorithm>

namespace kp::memo {

namespace {

constexpr size_t kBreakCacheLines = 64;

uint16_t CodeAt(std::string_view bytes, size_t at, size_t length)
{
    const auto b0 = static_cast<uint8_t>(bytes[at]);
    return length == 2 ? static_cast<uint16_t>((b0 << 8) | static_cast<uint8_t>(bytes[at + 1])) : b0;
}

}  // namespace

Layout::Layout(const TextBuffer& text, GlyphMetrics& metrics) : text_(text), metrics_(metrics)
{
    Reset();
}

int Layout::TabWidth() const
{
    return std::max(1, 8 * metrics_.AveCharWidth());
}

int Layout::Advance(uint16_t code, int x) const
{
    if (code == '\t') {
        const int tab = TabWidth();
        return (x / tab + 1) * tab - x;
    }
    return metrics_.CharWidth(code);
}

void Layout::SetWrapWidth(int width)
{
    width = std::max(width, 0);
    if (width == wrapWidth_) return;
    wrapWidth_ = width;
    Reset();
}

void Layout::Reset()
{
    breakCache_.clear();
    maxWidth_ = 0;
    lineCount_ = text_.LineCount();
    if (!Wrapping()) {
        counts_.Assign({});
        return;
    }
    std::vector<uint32_t> counts(lineCount_);
    for (size_t line = 0; line < lineCount_; ++line)
        counts[line] = static_cast<uint32_t>(
            ComputeBreaks(text_.LineStart(line), text_.LineEnd(line)).size());
    counts_.Assign(counts);
}

void Layout::Update(size_t offset, size_t removed, size_t inserted)
{
    breakCache_.clear();
    const size_t newCount = text_.LineCount();
    if (!Wrapping()) {
        lineCount_ = newCount;
        return;
    }
    // The line before the edit point is included: a CR there may have
    // joined with an inserted LF, or lost its LF.
    const size_t first = text_.LineOfOffset(offset > 0 ? offset - 1 : 0);
    const size_t lastNew = text_.LineOfOffset(std::min(offset + inserted + 1, text_.Length()));
    const ptrdiff_t delta = static_cast<ptrdiff_t>(newCount) - static_cast<ptrdiff_t>(lineCount_);
    const size_t lastOld = static_cast<size_t>(static_cast<ptrdiff_t>(lastNew) - delta);
    (void)removed;
    std::vector<uint32_t> counts;
    for (size_t line = first; line <= lastNew; ++line)
        counts.push_back(static_cast<uint32_t>(
            ComputeBreaks(text_.LineStart(line), text_.LineEnd(line)).size()));
    counts_.Replace(first, lastOld - first + 1, counts);
    lineCount_ = newCount;
}

void Layout::SetRules(const Kinsoku& rules, int overflowCell)
{
    rules_ = rules;
    overflowCell_ = std::max(overflowCell, 0);
    if (Wrapping()) Reset();
}

// Display lines break where the next character overruns the wrap width. With
// the line-breaking rules, ordinary text wraps one overflow cell early when
// the overflow rule is on, and one overflow character may hang into that cell
// instead; a break the rules forbid moves back to the nearest allowed one.
std::vector<uint32_t> Layout::ComputeBreaks(size_t lineStart, size_t lineEnd) const
{
    std::vector<uint32_t> breaks{0};
    const std::string bytes = text_.Read(lineStart, lineEnd - lineStart);
    const bool rules = Wrapping() && rules_.Active();
    const bool overflow = rules && rules_.Overflow();
    const int limit = overflow ? std::max(wrapWidth_ - overflowCell_, 1) : wrapWidth_;
    std::vector<uint32_t>& starts = starts_;  // character starts on the current display line
    starts.clear();
    int x = 0;
    size_t displayStart = 0;
    bool hung = false;
    for (size_t at = 0; at < bytes.size();) {
        const size_t length = cp932::CharLength(bytes, at);
        const uint16_t code = CodeAt(bytes, at, length);
        const int width = Advance(code, x);
        if (Wrapping() && at > displayStart && (hung || x + width > limit)) {
            if (overflow && !hung && x + width <= wrapWidth_ && rules_.In(Kinsoku::kOverflow, code)) {
                hung = true;  // hangs into the cell; the line breaks after it
                starts.push_back(static_cast<uint32_t>(at));
                x += width;
                at += length;
                continue;
            }
            const size_t to = rules ? LegalBreak(bytes, starts, at) : at;
            breaks.push_back(static_cast<uint32_t>(to));
            displayStart = to;
            maxWidth_ = std::max(maxWidth_, x);
            x = 0;
            hung = false;
            starts.clear();
            at = to;
            continue;  // measure again: a tab's advance depends on x
        }
        if (rules) starts.push_back(static_cast<uint32_t>(at));
        x += width;
        at += length;
    }
    maxWidth_ = std::max(maxWidth_, x);
    return breaks;
}

size_t Layout::LegalBreak(std::string_view bytes, const std::vector<uint32_t>& starts, size_t at) const
{
    auto codeAt = [&](size_t pos) { return CodeAt(bytes, pos, cp932::CharLength(bytes, pos)); };
    size_t before = starts.size();  // starts[before - 1] is the character before the break
    size_t candidate = at;
    while (before > 0) {
        const uint16_t next = codeAt(candidate);
        const uint16_t previous = codeAt(starts[before - 1]);
        const bool kinsoku = rules_.WordWrap() && (rules_.In(Kinsoku::kFollowing, next) ||
                                                   rules_.In(Kinsoku::kLeading, previous));
        const bool inWord = rules_.WordBreak() && rules_.WordChar(next) && rules_.WordChar(previous);
        if (!kinsoku && !inWord) return candidate;
        --before;
        candidate = starts[before];
    }
    return at;  // no allowed break on the line: at the width
}

const std::vector<uint32_t>& Layout::Breaks(size_t logicalLine) const
{
    const auto it = breakCache_.find(logicalLine);
    if (it != breakCache_.end()) return it->second;
    if (breakCache_.size() >= kBreakCacheLines) breakCache_.erase(breakCache_.begin());
    return breakCache_[logicalLine] =
               Wrapping() ? ComputeBreaks(text_.LineStart(logicalLine), text_.LineEnd(logicalLine))
                          : std::vector<uint32_t>{0};
}

size_t Layout::DisplayLineCount() const
{
    return Wrapping() ? static_cast<size_t>(counts_.Total()) : text_.LineCount();
}

size_t Layout::LogicalLineOf(size_t displayLine) const
{
    if (!Wrapping()) return std::min(displayLine, text_.LineCount() - 1);
    uint64_t start = 0;
    return counts_.Find(displayLine, start);
}

size_t Layout::DisplayLineOfOffset(size_t offset) const
{
    offset = std::min(offset, text_.Length());
    const size_t logical = text_.LineOfOffset(offset);
    if (!Wrapping()) return logical;
    const std::vector<uint32_t>& breaks = Breaks(logical);
    const size_t relative = offset - text_.LineStart(logical);
    const size_t within =
        static_cast<size_t>(std::upper_bound(breaks.begin(), breaks.end(), relative) - breaks.begin()) - 1;
    return static_cast<size_t>(counts_.PrefixSum(logical)) + within;
}

Layout::Location Layout::Locate(size_t displayLine) const
{
    uint64_t start = 0;
    const size_t logical = counts_.Find(displayLine, start);
    const std::vector<uint32_t>& breaks = Breaks(logical);
    return Location{logical, std::min<size_t>(displayLine - start, breaks.size() - 1), &breaks};
}

size_t Layout::DisplayLineStart(size_t line) const
{
    if (!Wrapping()) return text_.LineStart(line);
    const Location at = Locate(line);
    return text_.LineStart(at.logical) + (*at.breaks)[at.within];
}

size_t Layout::DisplayLineNext(size_t line) const
{
    if (!Wrapping()) return text_.LineNext(line);
    const Location at = Locate(line);
    if (at.within + 1 < at.breaks->size()) return text_.LineStart(at.logical) + (*at.breaks)[at.within + 1];
    return text_.LineNext(at.logical);
}

size_t Layout::DisplayLineEnd(size_t line) const
{
    if (!Wrapping()) return text_.LineEnd(line);
    const Location at = Locate(line);
    if (at.within + 1 < at.breaks->size()) return text_.LineStart(at.logical) + (*at.breaks)[at.within + 1];
    return text_.LineEnd(at.logical);
}

std::vector<Layout::Glyph> Layout::Glyphs(size_t line) const
{
    const size_t start = DisplayLineStart(line);
    const size_t end = DisplayLineEnd(line);
    const std::string bytes = text_.Read(start, end - start);
    std::vector<Glyph> glyphs;
    glyphs.reserve(bytes.size());
    int x = 0;
    for (size_t at = 0; at < bytes.size();) {
        const size_t length = cp932::CharLength(bytes, at);
        const int width = Advance(CodeAt(bytes, at, length), x);
        glyphs.push_back(Glyph{start + at, static_cast<uint8_t>(length), x, width});
        x += width;
        at += length;
    }
    maxWidth_ = std::max(maxWidth_, x);
    return glyphs;
}

bool Layout::IsWrapPoint(size_t offset) const
{
    if (!Wrapping() || offset >= text_.Length()) return false;
    const size_t logical = text_.LineOfOffset(offset);
    const size_t relative = offset - text_.LineStart(logical);
    const std::vector<uint32_t>& breaks = Breaks(logical);
    return relative > 0 && std::binary_search(breaks.begin(), breaks.end(), static_cast<uint32_t>(relative));
}

int Layout::XOfOffset(size_t offset) const
{
    return XOnLine(DisplayLineOfOffset(offset), offset);
}

int Layout::XOnLine(size_t line, size_t offset) const
{
    int x = 0;
    for (const Glyph& glyph : Glyphs(line)) {
        if (glyph.offset >= offset) return glyph.x;
        x = glyph.x + glyph.width;
    }
    return x;
}

size_t Layout::OffsetAtX(size_t line, int x) const
{
    const std::vector<Glyph> glyphs = Glyphs(line);
    for (const Glyph& glyph : glyphs)
        if (x < glyph.x + glyph.width / 2 + (glyph.width & 1)) return glyph.offset;
    return DisplayLineEnd(line);
}

}  // namespace kp::memo
