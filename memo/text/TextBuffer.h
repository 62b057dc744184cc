#pragma once
// The bytes of a document, built for documents of 100 MB and more.
//
// The text is a sequence of immutable chunks shared between buffers and
// snapshots, so a snapshot costs O(1), comparing two snapshots that share
// their chunks costs nothing, and an edit copies only the chunk it touches and
// the small chunk table. A line index rides along: every chunk knows where its
// lines start, and the table keeps running byte and line counts, so offset to
// line and line to offset are logarithmic in the number of chunks plus a
// search inside one chunk.
//
// Lines: CR LF, a lone CR and a lone LF each end a line; CR LF counts as two
// bytes of one line break. A document of n line breaks has n + 1 lines (the
// last one possibly empty). Offsets are byte offsets. A CR LF pair is never
// split between two chunks, so every chunk counts its own line breaks.
//
// Characters: code page 932 (see base/Cp932.h). Every line start is a
// character boundary; inside a line the boundary before an offset is found by
// scanning back over lead-byte-range bytes only, never from the line start.
// Every chunk lists its long runs of lead-range bytes, so that scan reads at
// most a few dozen bytes per chunk the run crosses, even on megabytes of 0x81.
//
// Any byte sequence is kept exactly, including NUL and bytes that do not
// decode.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace kp::memo {

class TextSnapshot;

class TextBuffer {
public:
    struct Table;

    // Chunk sizes in bytes. An edit splits a chunk that grows past max and
    // merges one that shrinks below min into a neighbour. The defaults suit
    // documents of any size; tests pass tiny limits to put many chunk
    // boundaries into short texts. Out-of-range values are adjusted (max to
    // at least 4 and at most 1 GB, min to between 1 and max / 2).
    struct ChunkLimits {
        size_t min = 16 * 1024;
        size_t max = 64 * 1024;
    };

    TextBuffer();
    explicit TextBuffer(std::string_view bytes);
    TextBuffer(std::string_view bytes, ChunkLimits limits);
    explicit TextBuffer(const TextSnapshot& snapshot);

    // Builds a text from bytes that arrive in order (a file being read)
    // straight into its chunks, so no copy of the whole text is ever made,
    // and indexes each chunk's lines as soon as it is full, while its bytes
    // are fresh in the cache. Room offers where the next bytes go (never
    // empty); Commit says how many of them were written there.
    class Loader {
    public:
        // expectedSize only sizes the chunk table in advance.
        explicit Loader(uint64_t expectedSize = 0);
        Loader(uint64_t expectedSize, ChunkLimits limits);
        std::span<char> Room();
        void Commit(size_t count);
        // The text loaded so far; the loader starts over empty.
        TextBuffer Finish();

    private:
        void Seal(bool last);

        ChunkLimits limits_;
        size_t target_;                 // bytes per chunk
        std::shared_ptr<Table> table_;  // the chunks filled so far
        std::string pending_;           // the chunk being filled: its first used_ bytes
        size_t used_ = 0;
    };

    size_t Length() const;
    bool Empty() const { return Length() == 0; }

    // Edits. Offsets and counts are clamped to the text.
    void Insert(size_t offset, std::string_view bytes);
    void Erase(size_t offset, size_t count);
    void Replace(size_t offset, size_t count, std::string_view bytes);
    void Assign(std::string_view bytes);

    // A rewrite of characters that keeps every byte count and never writes
    // or replaces CR or LF. It gets bytes that start at a character boundary
    // and writes as many into out; a lead byte that ends them and starts a
    // character is copied as it is and left unconsumed (its partner may
    // follow), and a lead byte standing alone is never rewritten.
    struct RewriteResult {
        size_t consumed;  // bytes rewritten as whole characters
        bool changed;
    };
    using CharRewrite = std::function<RewriteResult(std::string_view bytes, char* out)>;
    // The bytes a rewrite changed, [first, last); empty when none.
    struct Span {
        size_t first = 0;
        size_t last = 0;
        bool Empty() const { return first >= last; }
    };
    // Rewrites the characters that lie wholly inside [offset, offset + count),
    // chunk by chunk: a chunk whose bytes come back the same stays shared
    // (with snapshots, and with no copy made), and a chunk that changes keeps
    // its line index. A pair split between two chunks is rewritten whole.
    Span Rewrite(size_t offset, size_t count, const CharRewrite& rewrite);

    // Reading.
    uint8_t At(size_t offset) const;  // 0 past the end
    std::string Read(size_t offset, size_t count) const;
    std::string Text() const;
    // Calls visit with consecutive pieces covering [offset, offset + count),
    // without copying; stops early when visit returns false. The pieces stay
    // valid while this text state (or a snapshot of it) lives.
    void Visit(size_t offset, size_t count,
               const std::function<bool(std::string_view piece)>& visit) const;

    // Lines.
    size_t LineCount() const;
    size_t LineStart(size_t line) const;           // clamped to the last line
    size_t LineOfOffset(size_t offset) const;      // the line holding offset
    // The end of the line's text, before its line break (or the text's end).
    size_t LineEnd(size_t line) const;
    // The offset just past the line's line break (LineStart of the next line,
    // or the text's end for the last line).
    size_t LineNext(size_t line) const;

    // Characters under the code-page-932 rule.
    size_t CharStart(size_t offset) const;  // the boundary at or before offset
    size_t NextChar(size_t offset) const;   // the boundary after the character at offset
    size_t PrevChar(size_t offset) const;   // the boundary before offset
    // The number of characters: a lead byte with a trail byte after it is
    // one, every other byte one of its own. Each chunk counts its own once
    // and keeps the count, so after an edit only the edited chunks are read.
    size_t CharCount() const;

    // Whole-text state.
    TextSnapshot Snapshot() const;
    void Restore(const TextSnapshot& snapshot);
    // Changes with every edit and every Restore; equal versions mean unchanged
    // text. Versions come from one process-wide counter, so they only grow and
    // a copy of a buffer edited apart from it never reaches a version the
    // other has with different text.
    uint64_t Version() const { return version_; }

    // For tests and benchmarks: the number of chunks, and a check of every
    // internal invariant (chunk contents against the table's totals, line
    // indexes, lead-byte runs, no empty chunk, no CR LF split between chunks).
    // The check returns an empty string when all hold, otherwise what broke.
    size_t ChunkCount() const;
    std::string CheckStructure() const;

private:
    TextBuffer(std::shared_ptr<const Table> table, ChunkLimits limits);
    void Build(std::string_view bytes);

    std::shared_ptr<const Table> table_;
    ChunkLimits limits_;
    uint64_t version_ = 0;
};

// An immutable state of a TextBuffer. Cheap to copy and to keep.
class TextSnapshot {
public:
    TextSnapshot();  // the empty text

    size_t Length() const;
    std::string Text() const;
    std::string Read(size_t offset, size_t count) const;
    // Equal texts; O(1) when both share their chunks (one is a copy of the
    // other, or nothing was edited between them). Otherwise the texts are
    // compared chunk by chunk, skipping chunks both hold at the same place.
    bool operator==(const TextSnapshot& other) const;
    // True when both are the very same state (no content comparison).
    bool SharesStateWith(const TextSnapshot& other) const { return table_ == other.table_; }

private:
    friend class TextBuffer;
    explicit TextSnapshot(std::shared_ptr<const TextBuffer::Table> table) : table_(std::move(table)) {}
    std::shared_ptr<const TextBuffer::Table> table_;
};

}  // namespace kp::memo
