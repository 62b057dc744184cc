#include "memo/edit/Layout.h"

#include "base/Cp932.h"

#include <algorithm>
#include <span>

namespace kp::memo {

namespace {

constexpr size_t kBreakCacheLines = 64;
// Lines at least this long keep the breaks a full layout computed.
constexpr size_t kKeptAtReset = 16 * 1024;

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

void Layout::SetLongLineTuning(size_t threshold, size_t spacing)
{
    longThreshold_ = std::max<size_t>(threshold, 1);
    spacing_ = std::max<size_t>(spacing, 2);
    longLines_.clear();
}

void Layout::Reset()
{
    breakCache_.clear();
    longLines_.clear();
    maxWidth_ = 0;
    lineCount_ = text_.LineCount();
    if (!Wrapping()) {
        counts_.Assign({});
        // Long lines are measured whole here, as wrapping lays out every
        // line, so that the first move to a long line's end does not stall.
        // A long line holds a multiple of the threshold: only those are looked up.
        size_t last = SIZE_MAX;
        for (size_t at = 0; at < text_.Length(); at += longThreshold_) {
            const size_t line = text_.LineOfOffset(at);
            if (line == last || text_.LineEnd(line) - text_.LineStart(line) < longThreshold_) continue;
            last = line;
            LongLine* long_ = LongLineOf(line);
            while (!long_->complete) Extend(*long_);
        }
        return;
    }
    // Long lines keep what was measured here, so that neither the first paint
    // nor the first edit measures them again.
    std::vector<uint32_t> counts(lineCount_);
    for (size_t line = 0; line < lineCount_; ++line) {
        const size_t start = text_.LineStart(line);
        const size_t end = text_.LineEnd(line);
        if (end - start < kKeptAtReset || breakCache_.size() >= kBreakCacheLines) {
            counts[line] = static_cast<uint32_t>(ComputeBreaks(start, end).size());
            continue;
        }
        CachedBreaks& cached = breakCache_[line];
        cached.start = start;
        cached.length = end - start;
        cached.breaks = ComputeBreaks(start, end, &cached.reach);
        counts[line] = static_cast<uint32_t>(cached.breaks.size());
    }
    counts_.Assign(counts);
}

void Layout::Update(size_t offset, size_t removed, size_t inserted)
{
    const size_t newCount = text_.LineCount();
    if (!Wrapping()) {
        breakCache_.clear();
        UpdateLongLines(offset, removed, inserted);
        lineCount_ = newCount;
        return;
    }
    // The line before the edit point is included: a CR there may have
    // joined with an inserted LF, or lost its LF.
    const size_t first = text_.LineOfOffset(offset > 0 ? offset - 1 : 0);
    const size_t lastNew = text_.LineOfOffset(std::min(offset + inserted + 1, text_.Length()));
    const ptrdiff_t lineDelta = static_cast<ptrdiff_t>(newCount) - static_cast<ptrdiff_t>(lineCount_);
    const size_t lastOld = static_cast<size_t>(static_cast<ptrdiff_t>(lastNew) - lineDelta);
    const ptrdiff_t delta = static_cast<ptrdiff_t>(inserted) - static_cast<ptrdiff_t>(removed);
    std::map<size_t, CachedBreaks> old = std::move(breakCache_);
    breakCache_.clear();
    const Edit edit{offset, removed, inserted};
    std::vector<uint32_t> counts;
    for (size_t line = first; line <= lastNew; ++line) {
        CachedBreaks laid = RelayLine(line, old, edit);
        counts.push_back(static_cast<uint32_t>(laid.breaks.size()));
        if (breakCache_.size() < kBreakCacheLines) breakCache_[line] = std::move(laid);
    }
    counts_.Replace(first, lastOld - first + 1, counts);
    // Lines the edit did not reach keep their breaks, under their new numbers.
    for (auto& [line, cached] : old) {
        if (breakCache_.size() >= kBreakCacheLines) break;
        if (line < first) {
            breakCache_.emplace(line, std::move(cached));
        } else if (line > lastOld) {
            cached.start = static_cast<size_t>(static_cast<ptrdiff_t>(cached.start) + delta);
            breakCache_.emplace(static_cast<size_t>(static_cast<ptrdiff_t>(line) + lineDelta), std::move(cached));
        }
    }
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
std::vector<uint32_t> Layout::ComputeBreaks(size_t lineStart, size_t lineEnd, std::vector<uint32_t>* reach) const
{
    std::vector<uint32_t> breaks{0};
    const std::string bytes = text_.Read(lineStart, lineEnd - lineStart);
    if (reach) reach->clear();
    RunBreaks(bytes, true, [&](size_t at, size_t decided) {
        breaks.push_back(static_cast<uint32_t>(at));
        if (reach) reach->push_back(static_cast<uint32_t>(decided));
        return true;
    });
    if (reach) reach->push_back(static_cast<uint32_t>(bytes.size()));
    return breaks;
}

template <class OnBreak>
bool Layout::RunBreaks(std::string_view bytes, bool atEnd, OnBreak onBreak) const
{
    const bool rules = Wrapping() && rules_.Active();
    const bool overflow = rules && rules_.Overflow();
    const int limit = overflow ? std::max(wrapWidth_ - overflowCell_, 1) : wrapWidth_;
    std::vector<uint32_t>& starts = starts_;  // character starts on the current display line
    starts.clear();
    int x = 0;
    size_t displayStart = 0;
    bool hung = false;
    for (size_t at = 0; at < bytes.size();) {
        // A character is read only with the byte after it; a break looks at
        // the character after it too.
        if (!atEnd && at + 3 >= bytes.size()) return false;
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
            maxWidth_ = std::max(maxWidth_, x);
            if (!onBreak(to, std::min(at + 3, bytes.size()))) return true;
            displayStart = to;
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
    return true;
}

// A new line's breaks from the old lines' cached ones. The head: an old line
// that started where this one starts keeps the display lines whose break was
// decided on bytes before the edit (kinsoku may pull a character back onto
// a line before the one holding the edit, a deletion may let text rise to
// it); a decision that read up to the old line's end is taken again, since
// the end may have moved. From there the line is laid out anew until a break
// at or after the edit meets a break of the tail: the old line that ended
// where this one ends, its bytes after the edit the same. From a common
// break on, the layout is the same (x restarts at 0 at a break, and a break
// decision reads only the text after its line's start), moved by the edit's
// size.
Layout::CachedBreaks Layout::RelayLine(size_t line, const std::map<size_t, CachedBreaks>& old, const Edit& edit) const
{
    const size_t start = text_.LineStart(line);
    const size_t length = text_.LineEnd(line) - start;
    const size_t editEnd = edit.offset + edit.inserted;  // in the new text
    const ptrdiff_t delta = static_cast<ptrdiff_t>(edit.inserted) - static_cast<ptrdiff_t>(edit.removed);
    const CachedBreaks* head = nullptr;
    const CachedBreaks* tail = nullptr;
    for (const auto& [number, cached] : old) {
        if (cached.reach.size() != cached.breaks.size()) continue;
        const size_t end = cached.start + cached.length;
        if (cached.start == start && start <= edit.offset) head = &cached;
        const bool sameEnd = static_cast<ptrdiff_t>(end) + delta == static_cast<ptrdiff_t>(start + length);
        if (end >= edit.offset + edit.removed && sameEnd) tail = &cached;
    }
    CachedBreaks laid{start, length, {0}, {}};
    if (head) {
        const size_t at = edit.offset - start;
        const std::vector<uint32_t>& was = head->breaks;
        size_t kept = 0;
        while (kept + 1 < was.size() && head->reach[kept] <= at && head->reach[kept] < head->length) ++kept;
        laid.breaks.assign(was.begin(), was.begin() + static_cast<ptrdiff_t>(kept) + 1);
        laid.reach.assign(head->reach.begin(), head->reach.begin() + static_cast<ptrdiff_t>(kept));
    }
    // Where a break at b (in the new text) meets one of the tail's breaks,
    // from which on the tail's breaks and decisions are taken over.
    const auto tailIndex = [&](size_t b) -> size_t {
        if (!tail || b < editEnd) return SIZE_MAX;
        const auto moved = static_cast<size_t>(static_cast<ptrdiff_t>(b) - delta);
        if (moved < tail->start) return SIZE_MAX;
        const auto same = std::lower_bound(tail->breaks.begin(), tail->breaks.end(), moved - tail->start);
        if (same == tail->breaks.end() || *same != moved - tail->start) return SIZE_MAX;
        return static_cast<size_t>(same - tail->breaks.begin());
    };
    const auto takeOver = [&](size_t index) {
        const auto shift = [&](uint32_t relative) {
            return static_cast<uint32_t>(static_cast<ptrdiff_t>(tail->start + relative) + delta -
                                         static_cast<ptrdiff_t>(start));
        };
        laid.breaks.reserve(laid.breaks.size() + tail->breaks.size() - index);
        laid.reach.reserve(laid.reach.size() + tail->breaks.size() - index);
        for (size_t i = index; i < tail->breaks.size(); ++i) {
            if (i > index) laid.breaks.push_back(shift(tail->breaks[i]));
            laid.reach.push_back(shift(tail->reach[i]));
        }
    };
    const size_t from = laid.breaks.back();
    if (const size_t index = tailIndex(start + from); index != SIZE_MAX) {
        takeOver(index);
        return laid;
    }
    // A stretch at a time: breaks decided in one stretch are final, and the
    // next stretch starts at the last of them (x is 0 there). A stretch that
    // decided no break is read again longer.
    size_t window = tail ? 8 * 1024 : length - from;
    for (size_t pos = from;;) {
        const size_t take = std::min(window, length - pos);
        const std::string bytes = text_.Read(start + pos, take);
        bool met = false;
        const size_t before = laid.breaks.size();
        const bool done = RunBreaks(bytes, pos + take == length, [&](size_t local, size_t decided) {
            laid.reach.push_back(static_cast<uint32_t>(pos + decided));
            laid.breaks.push_back(static_cast<uint32_t>(pos + local));
            const size_t index = tailIndex(start + pos + local);
            if (index == SIZE_MAX) return true;
            takeOver(index);
            met = true;
            return false;
        });
        if (done) {
            if (!met) laid.reach.push_back(static_cast<uint32_t>(length));  // laid out to the end
            return laid;
        }
        if (laid.breaks.size() == before) window *= 2;
        pos = laid.breaks.back();
    }
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
    if (it != breakCache_.end()) return it->second.breaks;
    if (breakCache_.size() >= kBreakCacheLines) breakCache_.erase(breakCache_.begin());
    const size_t start = text_.LineStart(logicalLine);
    const size_t end = text_.LineEnd(logicalLine);
    CachedBreaks& cached = breakCache_[logicalLine];
    cached.start = start;
    cached.length = end - start;
    cached.breaks = Wrapping() ? ComputeBreaks(start, end, &cached.reach) : std::vector<uint32_t>{0};
    return cached.breaks;
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

std::vector<Layout::Glyph> Layout::Glyphs(size_t line, int xFrom, int xTo) const
{
    std::vector<Glyph> glyphs;
    const auto meets = [&](int x, int width) { return x + width > xFrom && x < xTo; };
    if (LongLine* long_ = LongLineOf(line)) {
        const size_t start = long_->start;
        Walk(*long_, PointAtX(*long_, xFrom), [&](size_t at, size_t length, uint16_t, int x, int width) {
            if (x >= xTo) return false;
            if (meets(x, width)) glyphs.push_back(Glyph{start + at, static_cast<uint8_t>(length), x, width});
            return true;
        });
        return glyphs;
    }
    for (const Glyph& glyph : Glyphs(line))
        if (meets(glyph.x, glyph.width)) glyphs.push_back(glyph);
    return glyphs;
}

int Layout::LineWidth(size_t line) const
{
    return XOnLine(line, DisplayLineEnd(line));
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
    if (LongLine* long_ = LongLineOf(line)) {
        const size_t relative = offset < long_->start ? 0 : std::min(offset - long_->start, long_->length);
        if (relative == long_->length) {
            while (!long_->complete) Extend(*long_);
            return long_->width;
        }
        return Walk(*long_, PointAtOffset(*long_, relative),
                    [&](size_t at, size_t, uint16_t, int, int) { return at < relative; });
    }
    int x = 0;
    for (const Glyph& glyph : Glyphs(line)) {
        if (glyph.offset >= offset) return glyph.x;
        x = glyph.x + glyph.width;
    }
    return x;
}

size_t Layout::OffsetAtX(size_t line, int x) const
{
    if (LongLine* long_ = LongLineOf(line)) {
        size_t found = long_->length;
        Walk(*long_, PointAtX(*long_, x), [&](size_t at, size_t, uint16_t, int gx, int width) {
            if (x >= gx + width / 2 + (width & 1)) return true;
            found = at;
            return false;
        });
        return long_->start + found;
    }
    const std::vector<Glyph> glyphs = Glyphs(line);
    for (const Glyph& glyph : glyphs)
        if (x < glyph.x + glyph.width / 2 + (glyph.width & 1)) return glyph.offset;
    return DisplayLineEnd(line);
}

// ---- Long lines without wrapping -------------------------------------------------

Layout::LongLine* Layout::LongLineOf(size_t logical) const
{
    if (Wrapping() || logical >= text_.LineCount()) return nullptr;
    const auto it = longLines_.find(logical);
    if (it != longLines_.end()) return &it->second;
    const size_t start = text_.LineStart(logical);
    const size_t length = text_.LineEnd(logical) - start;
    if (length < longThreshold_) return nullptr;
    return &(longLines_[logical] = LongLine{start, length, {Checkpoint{0, 0, false}}, false, 0});
}

template <class Visit>
int Layout::Walk(const LongLine& line, Checkpoint from, Visit visit) const
{
    size_t pos = from.offset;
    int x = from.x;
    while (pos < line.length) {
        const size_t take = std::min(spacing_ + 1, line.length - pos);
        const std::string bytes = text_.Read(line.start + pos, take);
        const bool atEnd = pos + take == line.length;
        size_t at = 0;
        // Short of the line's end, a character is read only with the byte after it.
        while (at < bytes.size() && (atEnd || at + 1 < bytes.size())) {
            const size_t length = cp932::CharLength(bytes, at);
            const uint16_t code = CodeAt(bytes, at, length);
            const int width = Advance(code, x);
            if (!visit(pos + at, length, code, x, width)) return x;
            x += width;
            at += length;
        }
        pos += at;
    }
    return x;
}

void Layout::Extend(LongLine& line) const
{
    const Checkpoint last = line.points.back();
    bool tab = false;
    size_t stop = line.length;
    const int x = Walk(line, last, [&](size_t at, size_t, uint16_t code, int, int) {
        if (at >= last.offset + spacing_) {
            stop = at;
            return false;
        }
        tab = tab || code == '\t';
        return true;
    });
    line.points.back().tabAfter = tab;
    if (stop < line.length) {
        line.points.push_back(Checkpoint{stop, x, false});
        return;
    }
    line.complete = true;
    line.width = x;
    maxWidth_ = std::max(maxWidth_, x);
}

const Layout::Checkpoint& Layout::PointAtOffset(LongLine& line, size_t offset) const
{
    while (!line.complete && line.points.back().offset + spacing_ <= offset) Extend(line);
    const auto after = std::upper_bound(line.points.begin(), line.points.end(), offset,
                                        [](size_t value, const Checkpoint& p) { return value < p.offset; });
    return *(after - 1);
}

const Layout::Checkpoint& Layout::PointAtX(LongLine& line, int x) const
{
    while (!line.complete && line.points.back().x <= x) Extend(line);
    const auto after = std::upper_bound(line.points.begin() + 1, line.points.end(), x,
                                        [](int value, const Checkpoint& p) { return value < p.x; });
    return *(after - 1);
}

void Layout::UpdateLongLines(size_t offset, size_t removed, size_t inserted)
{
    if (longLines_.empty()) return;
    const ptrdiff_t delta = static_cast<ptrdiff_t>(inserted) - static_cast<ptrdiff_t>(removed);
    const size_t removedEnd = offset + removed;  // in the old text
    const size_t editEnd = offset + inserted;     // in the new text
    std::map<size_t, LongLine> kept;
    // Checkpoints before the edit (their bytes, and the one after, unchanged).
    std::vector<Checkpoint> before;
    size_t beforeStart = SIZE_MAX;
    // Old checkpoints after the edit, at their offsets in the new text.
    std::vector<Checkpoint> later;
    bool wasComplete = false;
    int oldWidth = 0;
    size_t oldEnd = 0;  // the old line's end, in the new text
    for (auto& [logical, line] : longLines_) {
        const size_t end = line.start + line.length;
        if (end < offset) {
            kept[logical] = std::move(line);
            continue;
        }
        if (line.start > removedEnd) {
            line.start = static_cast<size_t>(static_cast<ptrdiff_t>(line.start) + delta);
            kept[text_.LineOfOffset(line.start)] = std::move(line);
            continue;
        }
        if (line.start <= offset) {
            beforeStart = line.start;
            for (const Checkpoint& point : line.points)
                if (point.offset == 0 || line.start + point.offset < offset) before.push_back(point);
        }
        if (end >= removedEnd) {
            for (const Checkpoint& point : line.points)
                if (line.start + point.offset >= removedEnd)
                    later.push_back(Checkpoint{static_cast<size_t>(static_cast<ptrdiff_t>(line.start + point.offset) + delta),
                                               point.x, point.tabAfter});
            wasComplete = line.complete;
            oldWidth = line.width;
            oldEnd = static_cast<size_t>(static_cast<ptrdiff_t>(end) + delta);
        }
    }
    longLines_ = std::move(kept);

    // The line holding the edit's start keeps what lies before it; the line
    // holding its end measures on from there and takes over what follows.
    const size_t first = text_.LineOfOffset(offset);
    const size_t last = text_.LineOfOffset(editEnd);
    const size_t edited[2] = {first, last};
    for (size_t logical : std::span(edited, first == last ? 1 : 2)) {
        const size_t start = text_.LineStart(logical);
        const size_t length = text_.LineEnd(logical) - start;
        if (length < longThreshold_) continue;
        LongLine line{start, length, {Checkpoint{0, 0, false}}, false, 0};
        if (start == beforeStart && !before.empty()) {
            line.points.clear();
            for (const Checkpoint& point : before)
                if (point.offset == 0 || point.offset < length) line.points.push_back(point);
        }
        if (logical == last) {
            std::vector<Checkpoint> relative;
            for (const Checkpoint& point : later)
                if (point.offset >= start && point.offset - start <= length)
                    relative.push_back(Checkpoint{point.offset - start, point.x, point.tabAfter});
            Relay(line, std::move(relative), wasComplete && oldEnd == start + length, oldWidth,
                  editEnd - std::min(editEnd, start));
        }
        longLines_[logical] = std::move(line);
    }
}

void Layout::Relay(LongLine& line, std::vector<Checkpoint> later, bool wasComplete, int oldWidth, size_t editEnd) const
{
    size_t next = 0;  // the next old checkpoint the walk may land on
    bool tab = false;
    bool landed = false;
    bool pause = false;  // nothing left to meet: the rest is measured on demand
    const Checkpoint from = line.points.back();
    const int endX = Walk(line, from, [&](size_t at, size_t, uint16_t code, int x, int) {
        while (next < later.size() && later[next].offset < at) ++next;
        if (at >= editEnd && next < later.size() && later[next].offset == at) {
            landed = true;
            return false;
        }
        if (at >= line.points.back().offset + spacing_) {
            if (at >= editEnd && next == later.size() && !wasComplete) {
                pause = true;
                return false;
            }
            line.points.back().tabAfter = tab;
            line.points.push_back(Checkpoint{at, x, false});
            tab = false;
        }
        tab = tab || code == '\t';
        return true;
    });
    if (pause) return;
    line.points.back().tabAfter = tab;
    if (!landed) {
        line.complete = true;
        line.width = endX;
        maxWidth_ = std::max(maxWidth_, endX);
        return;
    }
    const size_t landing = next;
    const Checkpoint old = later[landing];
    const int newX = endX;
    if (line.points.back().offset == old.offset) line.points.pop_back();  // landed where the walk began
    const int tabWidth = TabWidth();
    const auto stopAfter = [tabWidth](int x) { return (x / tabWidth + 1) * tabWidth; };
    int shift = newX - old.x;
    bool whole = shift == 0;  // the shift is a whole number of tab stops, kept to the line's end
    for (size_t i = landing; i < later.size(); ++i) {
        const Checkpoint& point = later[i];
        line.points.push_back(Checkpoint{point.offset, point.x + shift, point.tabAfter});
        if (whole || !point.tabAfter) continue;
        // The first tab after the edit: beyond it x differs by whole tab stops.
        int oldTabX = point.x;
        Walk(line, point, [&](size_t, size_t, uint16_t code, int gx, int) {
            if (code != '\t') return true;
            oldTabX = gx;
            return false;
        });
        shift = stopAfter(oldTabX + shift) - stopAfter(oldTabX);
        whole = true;
    }
    if (wasComplete) {
        line.complete = true;
        line.width = oldWidth + shift;
        maxWidth_ = std::max(maxWidth_, line.width);
    }
}

}  // namespace kp::memo
