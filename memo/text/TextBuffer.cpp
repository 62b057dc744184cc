#include "memo/text/TextBuffer.h"

#include "base/Cp932.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kp::memo {

namespace detail {

// A maximal run of lead-range bytes inside one chunk, [start, end).
struct LeadRun {
    uint32_t start;
    uint32_t end;
};

struct Chunk {
    std::string bytes;               // never empty
    std::vector<uint32_t> lineEnds;  // offsets just past each line break, ascending
    std::vector<LeadRun> leadRuns;   // the runs of at least kLongRun bytes, ascending
    // Characters counted from the first byte ([0]) or from the second ([1],
    // when the first is the trail of a lead byte that ends the chunk before),
    // times two, plus one when the chunk ends in a lead byte that starts a
    // character; -1 until counted. Counting is deterministic, so threads that
    // race to fill one store the same value.
    mutable std::atomic<int64_t> chars[2] = {-1, -1};
};

using ChunkPtr = std::shared_ptr<const Chunk>;

}  // namespace detail

// The chunks in text order with running totals: starts[i] is the offset of
// chunk i's first byte, breaksBefore[i] the number of line breaks in the
// chunks before it.
struct TextBuffer::Table {
    std::vector<detail::ChunkPtr> chunks;
    std::vector<size_t> starts;
    std::vector<size_t> breaksBefore;
    size_t length = 0;
    size_t breaks = 0;
};

namespace {

using detail::Chunk;
using detail::ChunkPtr;
using detail::LeadRun;
using Table = TextBuffer::Table;

// Runs of lead-range bytes at least this long are listed in their chunk, so a
// backward scan over such bytes reads at most this many before it can jump.
constexpr size_t kLongRun = 64;
// Chunk contents stay below this so line offsets fit in 32 bits.
constexpr size_t kLargestChunk = size_t{1} << 30;

bool IsLead(char c) { return cp932::IsLeadByte(static_cast<uint8_t>(c)); }
bool IsTrail(char c) { return cp932::IsTrailByte(static_cast<uint8_t>(c)); }

uint64_t NextVersion()
{
    static std::atomic<uint64_t> counter{0};
    return counter.fetch_add(1, std::memory_order_relaxed) + 1;
}

const std::shared_ptr<const Table>& EmptyTable()
{
    // Also keeps a reference of its own, so no buffer ever sees it unshared
    // and edits it in place.
    static const std::shared_ptr<const Table> empty = std::make_shared<Table>();
    return empty;
}

TextBuffer::ChunkLimits Normalized(TextBuffer::ChunkLimits limits)
{
    limits.max = std::clamp<size_t>(limits.max, 4, kLargestChunk);
    limits.min = std::clamp<size_t>(limits.min, 1, limits.max / 2);
    return limits;
}

// Appends the offsets just past the line breaks (LF, CR LF, lone CR) that
// start in [from, to); a CR at to - 1 still pairs with an LF after it. One
// pass finds CR and LF alike, sixteen bytes at a time where the processor
// can (the platform's memchr may go byte by byte).
void FindLineEnds(std::string_view s, size_t from, size_t to, std::vector<uint32_t>& out)
{
    const char* const base = s.data();
    // Records the break at k (a CR or an LF); where the scan goes on.
    auto take = [&](size_t k) {
        const size_t end = base[k] == '\r' && k + 1 < s.size() && base[k + 1] == '\n' ? k + 2 : k + 1;
        out.push_back(static_cast<uint32_t>(end));
        return end;
    };
    size_t i = from;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    while (i + 16 <= to) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
        const auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf))));
        if (mask == 0) i += 16;
        else i = take(i + static_cast<size_t>(__builtin_ctz(mask)));
    }
#endif
    while (i < to) {
        if (base[i] == '\r' || base[i] == '\n') i = take(i);
        else ++i;
    }
}

// Appends the maximal runs of at least kLongRun lead-range bytes that start in
// [from, to), reading byte by byte.
void ScanLeadRuns(std::string_view s, size_t from, size_t to, std::vector<LeadRun>& out)
{
    for (size_t k = from; k < to;) {
        if (!IsLead(s[k])) {
            ++k;
            continue;
        }
        const size_t start = k;
        while (k < s.size() && IsLead(s[k])) ++k;
        if (k - start >= kLongRun) out.push_back({static_cast<uint32_t>(start), static_cast<uint32_t>(k)});
    }
}

// All maximal runs of at least kLongRun lead-range bytes. Every such run
// covers a byte at index kLongRun - 1 + k * kLongRun, so only those bytes are
// probed; a probe that hits a lead-range byte measures its run and the next
// probe starts past it.
void FindLeadRuns(std::string_view s, std::vector<LeadRun>& out)
{
    const size_t n = s.size();
    size_t probe = kLongRun - 1;
    while (probe < n) {
        if (!IsLead(s[probe])) {
            probe += kLongRun;
            continue;
        }
        size_t start = probe;
        while (start > 0 && IsLead(s[start - 1])) --start;
        size_t end = probe + 1;
        while (end < n && IsLead(s[end])) ++end;
        if (end - start >= kLongRun) out.push_back({static_cast<uint32_t>(start), static_cast<uint32_t>(end)});
        probe += (end - probe + kLongRun - 1) / kLongRun * kLongRun;
    }
}

// The same as FindLeadRuns from a mask of lead-range bytes per 64 bytes,
// for bytes that were just written (hot in the cache) and hold many short
// runs, where probing would measure most of them. A run of kLongRun or more
// either fills a block or crosses a block boundary, so only the ones at each
// block's ends count.
void FindLeadRunsByBlocks(std::string_view s, std::vector<LeadRun>& out)
{
    static_assert(kLongRun >= 64, "runs inside one block are never long");
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    const size_t n = s.size();
    size_t open = 0;  // lead-range bytes just before pos
    auto close = [&](size_t end) {
        if (open >= kLongRun) out.push_back({static_cast<uint32_t>(end - open), static_cast<uint32_t>(end)});
    };
    size_t pos = 0;
#if defined(__SSE2__)
    auto leadMask = [](__m128i v) {
        auto inRange = [&v](uint8_t lo, uint8_t hi) {
            const __m128i shifted = _mm_sub_epi8(v, _mm_set1_epi8(static_cast<char>(lo + 0x80)));
            return _mm_cmpgt_epi8(_mm_set1_epi8(static_cast<char>(hi - lo - 127)), shifted);
        };
        return static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(_mm_or_si128(inRange(0x81, 0x9F), inRange(0xE0, 0xFC)))));
    };
    for (; pos + 64 <= n; pos += 64) {
        uint64_t m = 0;
        for (int k = 0; k < 4; ++k)
            m |= leadMask(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + pos + 16 * k))) << (16 * k);
        if (m == ~uint64_t{0}) {
            open += 64;
            continue;
        }
        const auto head = static_cast<size_t>(__builtin_ctzll(~m));
        open += head;
        close(pos + head);
        open = static_cast<size_t>(__builtin_clzll(~m));
    }
#endif
    for (; pos < n; ++pos) {
        if (cp932::IsLeadByte(p[pos])) {
            ++open;
        } else {
            close(pos);
            open = 0;
        }
    }
    close(n);
}

// The listed run holding offset, if any.
const LeadRun* RunHolding(const std::vector<LeadRun>& runs, size_t offset)
{
    const auto it =
        std::upper_bound(runs.begin(), runs.end(), offset, [](size_t v, const LeadRun& r) { return v < r.start; });
    return it != runs.begin() && std::prev(it)->end > offset ? &*std::prev(it) : nullptr;
}

ChunkPtr MakeChunk(std::string bytes)
{
    auto chunk = std::make_shared<Chunk>();
    chunk->bytes = std::move(bytes);
    FindLineEnds(chunk->bytes, 0, chunk->bytes.size(), chunk->lineEnds);
    FindLeadRuns(chunk->bytes, chunk->leadRuns);
    chunk->lineEnds.shrink_to_fit();
    return chunk;
}

// Lead-range and trail-range bytes as 0 or 1, for counting without branches.
struct ByteClasses {
    uint8_t lead[256];
    uint8_t trail[256];
};

constexpr ByteClasses MakeByteClasses()
{
    ByteClasses classes{};
    for (int b = 0; b < 256; ++b) {
        classes.lead[b] = cp932::IsLeadByte(static_cast<uint8_t>(b)) ? 1 : 0;
        classes.trail[b] = cp932::IsTrailByte(static_cast<uint8_t>(b)) ? 1 : 0;
    }
    return classes;
}

constexpr ByteClasses kClasses = MakeByteClasses();

// The characters of b from byte from on (see Chunk::chars for the form).
// Eight bytes below 0x80 in a row outside a pair are eight characters; other
// bytes go through a branch-free step: a byte starts a character unless it
// is the trail of a pair, and it starts a pair when it is a lead byte that
// starts a character with a trail byte after it.
int64_t CountChars(std::string_view b, size_t from)
{
    const auto* p = reinterpret_cast<const uint8_t*>(b.data());
    const size_t n = b.size();
    int64_t count = 0;
    unsigned trail = 0;  // the byte at i is the trail of a pair
    size_t i = from;
    while (i + 9 <= n) {
        uint64_t word;
        std::memcpy(&word, p + i, 8);
        if (trail == 0 && (word & 0x8080808080808080u) == 0) {
            count += 8;
            i += 8;
            continue;
        }
        for (const size_t end = i + 8; i < end; ++i) {
            const unsigned start = trail ^ 1u;
            count += start;
            trail = start & kClasses.lead[p[i]] & kClasses.trail[p[i + 1]];
        }
    }
    for (; i + 1 < n; ++i) {
        const unsigned start = trail ^ 1u;
        count += start;
        trail = start & kClasses.lead[p[i]] & kClasses.trail[p[i + 1]];
    }
    if (i + 1 == n && trail == 0) {  // the last byte starts a character
        ++count;
        if (kClasses.lead[p[i]]) return count * 2 + 1;
    }
    return count * 2;
}

int64_t ChunkChars(const Chunk& chunk, int entry)
{
    int64_t value = chunk.chars[entry].load(std::memory_order_relaxed);
    if (value < 0) {
        value = CountChars(chunk.bytes, static_cast<size_t>(entry));
        chunk.chars[entry].store(value, std::memory_order_relaxed);
    }
    return value;
}

// The chunk old with [at, at + count) replaced by bytes. Its line ends and
// lead-byte runs are carried over from old (those after the edit shifted);
// only the stretch around the edit is scanned again, so an edit costs a copy
// of the chunk's bytes and indexes, not a scan of them.
ChunkPtr EditChunk(const Chunk& old, size_t at, size_t count, std::string_view bytes)
{
    auto chunk = std::make_shared<Chunk>();
    std::string& s = chunk->bytes;
    s.reserve(old.bytes.size() - count + bytes.size());
    s.append(old.bytes, 0, at);
    s.append(bytes);
    s.append(old.bytes, at + count, std::string::npos);
    const size_t oldTail = at + count;         // the first byte after the edit, before it
    const size_t newTail = at + bytes.size();  // and after it
    auto moved = [&](size_t oldOffset) { return static_cast<uint32_t>(oldOffset - oldTail + newTail); };

    // A break ending at or before from lies in the unchanged head and does
    // not depend on the byte at the edit; one ending past oldTail + 1 lies in
    // the tail and does not depend on the byte before it. The breaks between
    // are found again (starting on the LF of a CR LF pair finds the pair's
    // end all the same).
    const size_t from = at > 0 ? at - 1 : 0;
    const auto& ends = old.lineEnds;
    auto& newEnds = chunk->lineEnds;
    newEnds.reserve(ends.size() + 4);
    newEnds.assign(ends.begin(), std::upper_bound(ends.begin(), ends.end(), from));
    FindLineEnds(s, from, std::min(s.size(), newTail + 1), newEnds);
    if (!newEnds.empty() && newEnds.back() > newTail + 1) newEnds.pop_back();  // a CR LF at newTail: kept below
    for (auto it = std::upper_bound(ends.begin(), ends.end(), oldTail + 1); it != ends.end(); ++it)
        newEnds.push_back(moved(*it));

    // Runs: from the start of the run of lead-range bytes that ends at the
    // edit to the end of the one that starts after it, everything is scanned
    // again; listed runs before and after are carried over.
    size_t first = at;
    while (first > 0 && at - first < kLongRun && IsLead(s[first - 1])) --first;
    if (first > 0 && IsLead(s[first - 1])) {
        const LeadRun* run = RunHolding(old.leadRuns, first - 1);
        if (run) first = run->start;
        else
            while (first > 0 && IsLead(s[first - 1])) --first;
    }
    size_t last = newTail;
    while (last < s.size() && last - newTail < kLongRun && IsLead(s[last])) ++last;
    if (last < s.size() && IsLead(s[last])) {
        const LeadRun* run = RunHolding(old.leadRuns, last - newTail + oldTail);
        if (run) last = moved(run->end);
        else
            while (last < s.size() && IsLead(s[last])) ++last;
    }
    const auto& runs = old.leadRuns;
    auto& newRuns = chunk->leadRuns;
    const size_t lastOld = last - newTail + oldTail;
    for (const LeadRun& run : runs)
        if (run.end < first) newRuns.push_back(run);
        else break;
    ScanLeadRuns(s, first, last, newRuns);
    for (auto it = std::upper_bound(runs.begin(), runs.end(), lastOld,
                                    [](size_t v, const LeadRun& r) { return v < r.start; });
         it != runs.end(); ++it)
        newRuns.push_back({moved(it->start), moved(it->end)});
    return chunk;
}

// The chunk old with its bytes rewritten in place: no line break moved, so
// its line ends stay; its lead-byte runs are found again.
ChunkPtr RewrittenChunk(const Chunk& old, std::string bytes)
{
    auto chunk = std::make_shared<Chunk>();
    chunk->bytes = std::move(bytes);
    chunk->lineEnds = old.lineEnds;
    FindLeadRunsByBlocks(chunk->bytes, chunk->leadRuns);
    return chunk;
}

// Cuts content into chunks of at most about max bytes, evenly sized, never
// between the CR and the LF of a pair.
void AppendChunks(std::string_view content, size_t max, std::vector<ChunkPtr>& out)
{
    if (content.empty()) return;
    if (content.size() <= max) {
        out.push_back(MakeChunk(std::string(content)));
        return;
    }
    // Three quarters full leaves room to grow before the next split.
    const size_t target = std::max<size_t>(max * 3 / 4, 2);
    size_t pieces = (content.size() + target - 1) / target;
    size_t pos = 0;
    while (pos < content.size()) {
        size_t end = pieces <= 1 ? content.size() : pos + (content.size() - pos) / pieces;
        if (end < content.size() && content[end - 1] == '\r' && content[end] == '\n') {
            if (end - 1 > pos) --end;
            else ++end;
        }
        out.push_back(MakeChunk(std::string(content.substr(pos, end - pos))));
        pos = end;
        if (pieces > 1) --pieces;
    }
}

std::string_view View(const Chunk& chunk) { return chunk.bytes; }

// The chunk holding offset (for the text's end, the last chunk). The table
// must have a chunk.
size_t ChunkIndex(const Table& t, size_t offset)
{
    const auto it = std::upper_bound(t.starts.begin(), t.starts.end(), offset);
    return it == t.starts.begin() ? 0 : static_cast<size_t>(it - t.starts.begin()) - 1;
}

// The chunk holding line break number k (0-based, k < t.breaks).
size_t BreakChunk(const Table& t, size_t k)
{
    const auto it = std::upper_bound(t.breaksBefore.begin(), t.breaksBefore.end(), k);
    return static_cast<size_t>(it - t.breaksBefore.begin()) - 1;
}

// The offset just past line break number k.
size_t BreakEnd(const Table& t, size_t k)
{
    const size_t c = BreakChunk(t, k);
    return t.starts[c] + t.chunks[c]->lineEnds[k - t.breaksBefore[c]];
}

char ByteAt(const Table& t, size_t offset)
{
    const size_t c = ChunkIndex(t, offset);
    return t.chunks[c]->bytes[offset - t.starts[c]];
}

template <typename Visitor>
void VisitTable(const Table& t, size_t offset, size_t count, Visitor&& visit)
{
    offset = std::min(offset, t.length);
    count = std::min(count, t.length - offset);
    if (count == 0) return;
    size_t c = ChunkIndex(t, offset);
    size_t local = offset - t.starts[c];
    while (count > 0) {
        const std::string_view piece = View(*t.chunks[c]).substr(local, count);
        if (!visit(piece)) return;
        count -= piece.size();
        ++c;
        local = 0;
    }
}

std::string ReadTable(const Table& t, size_t offset, size_t count)
{
    std::string out;
    offset = std::min(offset, t.length);
    out.reserve(std::min(count, t.length - offset));
    VisitTable(t, offset, count, [&out](std::string_view piece) {
        out.append(piece);
        return true;
    });
    return out;
}

// The start of the run of lead-range bytes that ends at pos: pos itself when
// the byte before pos is outside the lead-byte range. Reads at most kLongRun
// bytes per chunk the run crosses; longer stretches come from the chunks'
// lists of long runs.
size_t LeadRunStart(const Table& t, size_t pos)
{
    if (pos == 0) return 0;
    size_t c = ChunkIndex(t, pos - 1);
    for (;;) {
        const Chunk& chunk = *t.chunks[c];
        const char* const b = chunk.bytes.data();
        const size_t base = t.starts[c];
        const size_t p = pos - base;  // 1 ..= chunk size
        const size_t limit = p > kLongRun ? p - kLongRun : 0;
        const auto& runs = chunk.leadRuns;
        size_t k = p;
        if (runs.size() == 1 && runs[0].start == 0 && runs[0].end == chunk.bytes.size()) {
            k = 0;  // a chunk of nothing but lead-range bytes
        } else {
            while (k > limit && IsLead(b[k - 1])) --k;
            if (k > limit) return base + k;
        }
        if (k > 0) {
            // kLongRun lead-range bytes before p: they lie in a listed run.
            const auto it = std::upper_bound(runs.begin(), runs.end(), k,
                                             [](size_t v, const LeadRun& r) { return v < r.start; });
            if (it != runs.begin() && std::prev(it)->end >= p) {
                k = std::prev(it)->start;
            } else {
                while (k > 0 && IsLead(b[k - 1])) --k;  // unreachable while the lists are sound
            }
            if (k > 0) return base + k;
        }
        if (c == 0) return 0;
        --c;
        pos = base;
        if (!IsLead(t.chunks[c]->bytes.back())) return pos;
    }
}

void ShiftTail(Table& t, size_t from, size_t oldBytes, size_t newBytes, size_t oldBreaks, size_t newBreaks)
{
    for (size_t i = from; i < t.chunks.size(); ++i) {
        t.starts[i] = t.starts[i] - oldBytes + newBytes;
        t.breaksBefore[i] = t.breaksBefore[i] - oldBreaks + newBreaks;
    }
}

// Puts fresh in place of chunks [first, last) and brings the totals up to date.
void Splice(Table& t, size_t first, size_t last, std::vector<ChunkPtr>& fresh)
{
    const size_t n = t.chunks.size();
    const size_t start = first < n ? t.starts[first] : t.length;
    const size_t breaks = first < n ? t.breaksBefore[first] : t.breaks;
    const size_t oldBytes = (last < n ? t.starts[last] : t.length) - start;
    const size_t oldBreaks = (last < n ? t.breaksBefore[last] : t.breaks) - breaks;

    const size_t removed = last - first;
    const size_t common = std::min(removed, fresh.size());
    for (size_t i = 0; i < common; ++i) t.chunks[first + i] = std::move(fresh[i]);
    if (fresh.size() < removed) {
        const auto drop = static_cast<std::ptrdiff_t>(removed - common);
        const auto at = static_cast<std::ptrdiff_t>(first + common);
        t.chunks.erase(t.chunks.begin() + at, t.chunks.begin() + at + drop);
        t.starts.erase(t.starts.begin() + at, t.starts.begin() + at + drop);
        t.breaksBefore.erase(t.breaksBefore.begin() + at, t.breaksBefore.begin() + at + drop);
    } else if (fresh.size() > removed) {
        const auto at = static_cast<std::ptrdiff_t>(first + common);
        t.chunks.insert(t.chunks.begin() + at, std::make_move_iterator(fresh.begin() + common),
                        std::make_move_iterator(fresh.end()));
        t.starts.insert(t.starts.begin() + at, fresh.size() - common, 0);
        t.breaksBefore.insert(t.breaksBefore.begin() + at, fresh.size() - common, 0);
    }

    size_t newBytes = 0;
    size_t newBreaks = 0;
    const size_t freshEnd = first + fresh.size();
    for (size_t i = first; i < freshEnd; ++i) {
        t.starts[i] = start + newBytes;
        t.breaksBefore[i] = breaks + newBreaks;
        newBytes += t.chunks[i]->bytes.size();
        newBreaks += t.chunks[i]->lineEnds.size();
    }
    ShiftTail(t, freshEnd, oldBytes, newBytes, oldBreaks, newBreaks);
    t.length = t.length - oldBytes + newBytes;
    t.breaks = t.breaks - oldBreaks + newBreaks;
}

std::shared_ptr<const Table> BuildTable(std::string_view bytes, size_t max)
{
    if (bytes.empty()) return EmptyTable();
    auto t = std::make_shared<Table>();
    AppendChunks(bytes, max, t->chunks);
    t->starts.reserve(t->chunks.size());
    t->breaksBefore.reserve(t->chunks.size());
    for (const auto& chunk : t->chunks) {
        t->starts.push_back(t->length);
        t->breaksBefore.push_back(t->breaks);
        t->length += chunk->bytes.size();
        t->breaks += chunk->lineEnds.size();
    }
    return t;
}

}  // namespace

// ---- Construction and state ---------------------------------------------------

TextBuffer::TextBuffer() : table_(EmptyTable()), version_(NextVersion()) {}

TextBuffer::TextBuffer(std::string_view bytes) : TextBuffer(bytes, ChunkLimits{}) {}

TextBuffer::TextBuffer(std::string_view bytes, ChunkLimits limits)
    : limits_(Normalized(limits)), version_(NextVersion())
{
    Build(bytes);
}

TextBuffer::TextBuffer(const TextSnapshot& snapshot) : table_(snapshot.table_), version_(NextVersion()) {}

TextBuffer::TextBuffer(std::shared_ptr<const Table> table, ChunkLimits limits)
    : table_(std::move(table)), limits_(limits), version_(NextVersion())
{
}

// ---- Loading ------------------------------------------------------------------------

TextBuffer::Loader::Loader(uint64_t expectedSize) : Loader(expectedSize, ChunkLimits{}) {}

TextBuffer::Loader::Loader(uint64_t expectedSize, ChunkLimits limits)
    : limits_(Normalized(limits)),
      // As full as the chunks cut from a string: room to grow before a split.
      target_(std::max<size_t>(limits_.max * 3 / 4, 2)),
      table_(std::make_shared<Table>())
{
    const uint64_t chunks = expectedSize / target_ + 2;
    if (chunks < (uint64_t{1} << 32)) {
        table_->chunks.reserve(static_cast<size_t>(chunks));
        table_->starts.reserve(static_cast<size_t>(chunks));
        table_->breaksBefore.reserve(static_cast<size_t>(chunks));
    }
}

std::span<char> TextBuffer::Loader::Room()
{
    if (pending_.size() != target_) pending_.resize(target_);
    return std::span<char>(pending_.data() + used_, target_ - used_);
}

void TextBuffer::Loader::Commit(size_t count)
{
    used_ = std::min(used_ + count, pending_.size());
    if (used_ == target_) Seal(false);
}

// Ends the chunk being filled. Unless it is the last, a CR at its end waits
// for the next chunk, where the byte after it decides whether it starts a
// CR LF pair.
void TextBuffer::Loader::Seal(bool last)
{
    if (used_ == 0) return;
    const bool carry = !last && used_ > 1 && pending_[used_ - 1] == '\r';
    const size_t cut = carry ? used_ - 1 : used_;
    std::string bytes = std::move(pending_);
    pending_.clear();
    bytes.resize(cut);
    if (last) bytes.shrink_to_fit();  // only what it holds
    ChunkPtr chunk = MakeChunk(std::move(bytes));
    Table& t = *table_;
    t.starts.push_back(t.length);
    t.breaksBefore.push_back(t.breaks);
    t.length += chunk->bytes.size();
    t.breaks += chunk->lineEnds.size();
    t.chunks.push_back(std::move(chunk));
    used_ = 0;
    if (carry) {
        pending_.assign(1, '\r');
        used_ = 1;
    }
}

TextBuffer TextBuffer::Loader::Finish()
{
    Seal(true);
    std::shared_ptr<const Table> table = std::move(table_);
    if (table->chunks.empty()) table = EmptyTable();
    table_ = std::make_shared<Table>();
    pending_.clear();
    pending_.shrink_to_fit();
    used_ = 0;
    return TextBuffer(std::move(table), limits_);
}

void TextBuffer::Build(std::string_view bytes) { table_ = BuildTable(bytes, limits_.max); }

size_t TextBuffer::Length() const { return table_->length; }

size_t TextBuffer::ChunkCount() const { return table_->chunks.size(); }

TextSnapshot TextBuffer::Snapshot() const { return TextSnapshot(table_); }

void TextBuffer::Restore(const TextSnapshot& snapshot)
{
    table_ = snapshot.table_;
    version_ = NextVersion();
}

// ---- Edits --------------------------------------------------------------------------

void TextBuffer::Insert(size_t offset, std::string_view bytes) { Replace(offset, 0, bytes); }

void TextBuffer::Erase(size_t offset, size_t count) { Replace(offset, count, {}); }

void TextBuffer::Assign(std::string_view bytes)
{
    version_ = NextVersion();
    Build(bytes);
}

void TextBuffer::Replace(size_t offset, size_t count, std::string_view bytes)
{
    version_ = NextVersion();
    const Table& t = *table_;
    offset = std::min(offset, t.length);
    count = std::min(count, t.length - offset);
    if (count == 0 && bytes.empty()) return;

    // The chunks [first, last) are rewritten: the bytes of the first before
    // the edit, the new bytes, the bytes of the last after the edit.
    const size_t n = t.chunks.size();
    size_t first = 0;
    size_t last = 0;
    std::string_view head;
    std::string_view tail;
    if (n > 0) {
        first = ChunkIndex(t, offset);
        last = (count == 0 ? first : ChunkIndex(t, offset + count - 1)) + 1;
        head = View(*t.chunks[first]).substr(0, offset - t.starts[first]);
        tail = View(*t.chunks[last - 1]).substr(offset + count - t.starts[last - 1]);
    }
    // Whole neighbours joined to the rewrite: [first, first + before) and
    // [last - after, last).
    size_t before = 0;
    size_t after = 0;
    size_t length = head.size() + bytes.size() + tail.size();

    auto frontByte = [&]() -> int {
        if (before > 0) return static_cast<unsigned char>(t.chunks[first]->bytes.front());
        for (std::string_view s : {head, bytes, tail})
            if (!s.empty()) return static_cast<unsigned char>(s.front());
        if (after > 0) return static_cast<unsigned char>(t.chunks[last - after]->bytes.front());
        return -1;
    };
    auto backByte = [&]() -> int {
        if (after > 0) return static_cast<unsigned char>(t.chunks[last - 1]->bytes.back());
        for (std::string_view s : {tail, bytes, head})
            if (!s.empty()) return static_cast<unsigned char>(s.back());
        if (before > 0) return static_cast<unsigned char>(t.chunks[first + before - 1]->bytes.back());
        return -1;
    };
    auto takePrevious = [&] {
        --first;
        ++before;
        length += t.chunks[first]->bytes.size();
    };
    auto takeNext = [&] {
        length += t.chunks[last]->bytes.size();
        ++last;
        ++after;
    };
    auto prevEndsWithCr = [&] { return first > 0 && t.chunks[first - 1]->bytes.back() == '\r'; };
    auto nextStartsWithLf = [&] { return last < n && t.chunks[last]->bytes.front() == '\n'; };

    // Keep CR LF pairs inside one chunk, and fold a small result into a
    // neighbour. Nothing left at all counts as small, so two neighbours that
    // meet are joined through the next round's checks.
    for (;;) {
        if (frontByte() == '\n' && prevEndsWithCr()) {
            takePrevious();
            continue;
        }
        if (backByte() == '\r' && nextStartsWithLf()) {
            takeNext();
            continue;
        }
        if (length < limits_.min && (first > 0 || last < n)) {
            if (last < n) takeNext();
            else takePrevious();
            continue;
        }
        break;
    }

    std::vector<ChunkPtr> fresh;
    if (before == 0 && after == 0 && last == first + 1 && length > 0 && length <= limits_.max) {
        // The common case: an edit inside one chunk that stays one chunk.
        const size_t at = offset - t.starts[first];
        fresh.push_back(EditChunk(*t.chunks[first], at, count, bytes));
    } else {
        std::string content;
        content.reserve(length);
        for (size_t i = first; i < first + before; ++i) content += View(*t.chunks[i]);
        content += head;
        content += bytes;
        content += tail;
        for (size_t i = last - after; i < last; ++i) content += View(*t.chunks[i]);
        if (content.size() > limits_.max) AppendChunks(content, limits_.max, fresh);
        else if (!content.empty()) fresh.push_back(MakeChunk(std::move(content)));
    }

    // Nothing but this buffer holds an unshared table (the empty table keeps
    // a reference of its own), so it is updated in place; a shared one is
    // copied first. The fence orders the update after the reads of a
    // snapshot another thread has just let go.
    if (table_.use_count() == 1) {
        std::atomic_thread_fence(std::memory_order_acquire);
        Splice(const_cast<Table&>(t), first, last, fresh);
    } else {
        auto copy = std::make_shared<Table>(t);
        Splice(*copy, first, last, fresh);
        table_ = std::move(copy);
    }
}

TextBuffer::Span TextBuffer::Rewrite(size_t offset, size_t count, const CharRewrite& rewrite)
{
    const Table& t = *table_;
    offset = std::min(offset, t.length);
    const size_t end = offset + std::min(count, t.length - offset);
    // The first character that starts at or after offset.
    size_t from = CharStart(offset);
    if (from < offset) from += 2;
    if (from >= end) return {};

    const size_t n = t.chunks.size();
    Span span{SIZE_MAX, 0};
    auto note = [&span](size_t first, size_t last) {
        span.first = std::min(span.first, first);
        span.last = std::max(span.last, last);
    };
    std::vector<std::pair<size_t, ChunkPtr>> fresh;  // chunk index, new chunk
    std::string scratch;
    size_t c = ChunkIndex(t, from);
    size_t local = from - t.starts[c];  // where the chunk's first whole character starts
    int carried = -1;                   // the rewritten trail of a pair begun in the chunk before
    for (; c < n && t.starts[c] < end; ++c) {
        const Chunk& chunk = *t.chunks[c];
        const std::string& b = chunk.bytes;
        const size_t base = t.starts[c];
        const size_t stop = std::min(b.size(), end - base);
        std::string bytes;  // the chunk's new bytes, once any changed
        bool dirty = false;
        int next = -1;
        size_t nextLocal = 0;
        if (local < stop) {
            scratch.resize(b.size());
            const RewriteResult r = rewrite(std::string_view(b).substr(local, stop - local), scratch.data() + local);
            if (r.changed) {
                std::memcpy(scratch.data(), b.data(), local);
                std::memcpy(scratch.data() + stop, b.data() + stop, b.size() - stop);
                bytes = std::move(scratch);
                scratch.clear();
                dirty = true;
                note(base + local, base + local + r.consumed);
            }
            if (local + r.consumed < stop && stop == b.size() && base + b.size() < end && c + 1 < n &&
                IsTrail(t.chunks[c + 1]->bytes.front())) {
                // A pair split between this chunk and the next, rewritten whole.
                const char pair[2] = {b.back(), t.chunks[c + 1]->bytes.front()};
                char out[2];
                const RewriteResult r2 = rewrite(std::string_view(pair, 2), out);
                if (r2.changed && r2.consumed == 2) {
                    if (out[0] != b.back()) {
                        if (!dirty) bytes = b;
                        dirty = true;
                        bytes.back() = out[0];
                    }
                    if (out[1] != pair[1]) next = static_cast<unsigned char>(out[1]);
                    note(base + b.size() - 1, base + b.size() + 1);
                }
                nextLocal = 1;
            }
        }
        if (carried >= 0) {
            if (!dirty) bytes = b;
            dirty = true;
            bytes.front() = static_cast<char>(carried);
        }
        if (dirty) fresh.emplace_back(c, RewrittenChunk(chunk, std::move(bytes)));
        carried = next;
        local = nextLocal;
    }
    if (fresh.empty()) return {};

    // Only chunk pointers change: the offsets and line counts stay.
    version_ = NextVersion();
    Table* target = nullptr;
    if (table_.use_count() == 1) {
        std::atomic_thread_fence(std::memory_order_acquire);
        target = const_cast<Table*>(&t);
    } else {
        auto copy = std::make_shared<Table>(t);
        target = copy.get();
        table_ = std::move(copy);
    }
    for (auto& [index, chunk] : fresh) target->chunks[index] = std::move(chunk);
    return span;
}

// ---- Reading ----------------------------------------------------------------------

uint8_t TextBuffer::At(size_t offset) const
{
    const Table& t = *table_;
    return offset < t.length ? static_cast<uint8_t>(ByteAt(t, offset)) : 0;
}

std::string TextBuffer::Read(size_t offset, size_t count) const { return ReadTable(*table_, offset, count); }

std::string TextBuffer::Text() const { return ReadTable(*table_, 0, table_->length); }

void TextBuffer::Visit(size_t offset, size_t count,
                       const std::function<bool(std::string_view piece)>& visit) const
{
    VisitTable(*table_, offset, count, visit);
}

// ---- Lines --------------------------------------------------------------------------

size_t TextBuffer::LineCount() const { return table_->breaks + 1; }

size_t TextBuffer::LineStart(size_t line) const
{
    const Table& t = *table_;
    line = std::min(line, t.breaks);
    return line == 0 ? 0 : BreakEnd(t, line - 1);
}

size_t TextBuffer::LineNext(size_t line) const
{
    const Table& t = *table_;
    return line >= t.breaks ? t.length : BreakEnd(t, line);
}

size_t TextBuffer::LineEnd(size_t line) const
{
    const Table& t = *table_;
    if (line >= t.breaks) return t.length;
    const size_t c = BreakChunk(t, line);
    const std::string& b = t.chunks[c]->bytes;
    const size_t end = t.chunks[c]->lineEnds[line - t.breaksBefore[c]];
    // A CR LF pair never spans two chunks.
    const size_t breakLength = b[end - 1] == '\n' && end >= 2 && b[end - 2] == '\r' ? 2 : 1;
    return t.starts[c] + end - breakLength;
}

size_t TextBuffer::LineOfOffset(size_t offset) const
{
    const Table& t = *table_;
    if (t.chunks.empty()) return 0;
    offset = std::min(offset, t.length);
    const size_t c = ChunkIndex(t, offset);
    const auto& ends = t.chunks[c]->lineEnds;
    const size_t local = offset - t.starts[c];
    return t.breaksBefore[c] + static_cast<size_t>(std::upper_bound(ends.begin(), ends.end(), local) - ends.begin());
}

// ---- Characters -------------------------------------------------------------------
//
// The byte before a run of lead-range bytes always ends a character (a byte
// outside the lead range is a character of its own or the trail of a pair),
// so the run's first byte starts one. Every lead-range byte can also be a
// trail byte, so from there the run pairs up two by two; offset falls inside
// a character only when an odd number of run bytes precede it and the byte at
// offset can trail the last of them.

size_t TextBuffer::CharStart(size_t offset) const
{
    const Table& t = *table_;
    if (offset >= t.length) return t.length;
    if (offset == 0 || !IsTrail(ByteAt(t, offset))) return offset;
    const size_t run = LeadRunStart(t, offset);
    return (offset - run) % 2 == 1 ? offset - 1 : offset;
}

size_t TextBuffer::NextChar(size_t offset) const
{
    const Table& t = *table_;
    if (offset >= t.length) return t.length;
    const size_t start = CharStart(offset);
    if (start < offset) return start + 2;
    const bool pair = start + 1 < t.length && IsLead(ByteAt(t, start)) && IsTrail(ByteAt(t, start + 1));
    return start + (pair ? 2 : 1);
}

size_t TextBuffer::CharCount() const
{
    int64_t count = 0;
    bool open = false;  // the chunk before ends in a lead byte that starts a character
    for (const ChunkPtr& chunk : table_->chunks) {
        const int entry = open && IsTrail(chunk->bytes.front()) ? 1 : 0;
        const int64_t value = ChunkChars(*chunk, entry);
        count += value / 2;
        open = (value & 1) != 0;
    }
    return static_cast<size_t>(count);
}

size_t TextBuffer::PrevChar(size_t offset) const
{
    offset = std::min(offset, table_->length);
    if (offset == 0) return 0;
    const size_t start = CharStart(offset);
    return start < offset ? start : CharStart(offset - 1);
}

// ---- Checks ---------------------------------------------------------------------------

std::string TextBuffer::CheckStructure() const
{
    const Table& t = *table_;
    const size_t n = t.chunks.size();
    if (t.starts.size() != n || t.breaksBefore.size() != n) return "table arrays differ in size";
    size_t length = 0;
    size_t breaks = 0;
    for (size_t i = 0; i < n; ++i) {
        const std::string where = "chunk " + std::to_string(i) + ": ";
        if (!t.chunks[i]) return where + "null";
        const Chunk& chunk = *t.chunks[i];
        const std::string& b = chunk.bytes;
        if (b.empty()) return where + "empty";
        if (t.starts[i] != length) return where + "wrong start";
        if (t.breaksBefore[i] != breaks) return where + "wrong break count before it";

        std::vector<uint32_t> ends;
        for (size_t k = 0; k < b.size(); ++k) {
            if (b[k] == '\r' && k + 1 < b.size() && b[k + 1] == '\n') ends.push_back(static_cast<uint32_t>(++k + 1));
            else if (b[k] == '\r' || b[k] == '\n') ends.push_back(static_cast<uint32_t>(k + 1));
        }
        if (ends != chunk.lineEnds) return where + "wrong line ends";

        std::vector<std::pair<uint32_t, uint32_t>> runs;
        for (size_t k = 0; k < b.size();) {
            if (!IsLead(b[k])) {
                ++k;
                continue;
            }
            const size_t s = k;
            while (k < b.size() && IsLead(b[k])) ++k;
            if (k - s >= kLongRun) runs.emplace_back(static_cast<uint32_t>(s), static_cast<uint32_t>(k));
        }
        std::vector<std::pair<uint32_t, uint32_t>> listed;
        for (const LeadRun& r : chunk.leadRuns) listed.emplace_back(r.start, r.end);
        if (runs != listed) return where + "wrong lead-byte runs";

        if (i + 1 < n && b.back() == '\r' && t.chunks[i + 1] && !t.chunks[i + 1]->bytes.empty() &&
            t.chunks[i + 1]->bytes.front() == '\n')
            return where + "CR LF split from the next chunk";
        length += b.size();
        breaks += chunk.lineEnds.size();
    }
    if (t.length != length) return "wrong total length";
    if (t.breaks != breaks) return "wrong total break count";
    return {};
}

// ---- Snapshots ------------------------------------------------------------------------

TextSnapshot::TextSnapshot() : table_(EmptyTable()) {}

size_t TextSnapshot::Length() const { return table_->length; }

std::string TextSnapshot::Text() const { return ReadTable(*table_, 0, table_->length); }

std::string TextSnapshot::Read(size_t offset, size_t count) const { return ReadTable(*table_, offset, count); }

bool TextSnapshot::operator==(const TextSnapshot& other) const
{
    if (table_ == other.table_) return true;
    const Table& x = *table_;
    const Table& y = *other.table_;
    if (x.length != y.length || x.breaks != y.breaks) return false;
    size_t i = 0, j = 0;            // chunk indexes
    size_t xAt = 0, yAt = 0;        // offsets inside them
    while (i < x.chunks.size() && j < y.chunks.size()) {
        const Chunk& a = *x.chunks[i];
        const Chunk& b = *y.chunks[j];
        if (&a == &b && xAt == yAt) {
            // The same chunk from the same place on: equal to its end.
            ++i, ++j;
            xAt = yAt = 0;
            continue;
        }
        const size_t k = std::min(a.bytes.size() - xAt, b.bytes.size() - yAt);
        if (std::memcmp(a.bytes.data() + xAt, b.bytes.data() + yAt, k) != 0) return false;
        xAt += k;
        yAt += k;
        if (xAt == a.bytes.size()) ++i, xAt = 0;
        if (yAt == b.bytes.size()) ++j, yAt = 0;
    }
    return true;
}

}  // namespace kp::memo
