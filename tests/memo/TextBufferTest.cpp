// The document text store against a plain string and naive scans of it: the
// line index and the character boundaries under random edits on tiny chunks
// (so CR LF pairs and lead-byte runs meet chunk boundaries all the time),
// byte-exact storage, loading in pieces, snapshots and versions.

#include "base/Cp932.h"
#include "memo/text/TextBuffer.h"
#include "tests/TestPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace kp::test {
namespace {

using memo::TextBuffer;
using memo::TextSnapshot;
using Limits = TextBuffer::ChunkLimits;

// Offsets just past each line break, by the plain rule.
std::vector<size_t> NaiveLineEnds(const std::string& s)
{
    std::vector<size_t> ends;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ends.push_back(++i + 1);
        else if (s[i] == '\r' || s[i] == '\n') ends.push_back(i + 1);
    }
    return ends;
}

void ExpectLinesMatch(const TextBuffer& buffer, const std::string& text)
{
    ASSERT_EQ(buffer.CheckStructure(), "");
    ASSERT_EQ(buffer.Text(), text);
    const std::vector<size_t> ends = NaiveLineEnds(text);
    ASSERT_EQ(buffer.LineCount(), ends.size() + 1);
    for (size_t line = 0; line <= ends.size(); ++line) {
        const size_t start = line == 0 ? 0 : ends[line - 1];
        const size_t next = line < ends.size() ? ends[line] : text.size();
        size_t end = next;
        if (line < ends.size()) end -= next >= 2 && text[next - 1] == '\n' && text[next - 2] == '\r' ? 2 : 1;
        ASSERT_EQ(buffer.LineStart(line), start) << "line " << line;
        ASSERT_EQ(buffer.LineEnd(line), end) << "line " << line;
        ASSERT_EQ(buffer.LineNext(line), next) << "line " << line;
    }
    size_t line = 0;
    for (size_t offset = 0; offset <= text.size(); ++offset) {
        while (line < ends.size() && ends[line] <= offset) ++line;
        ASSERT_EQ(buffer.LineOfOffset(offset), line) << "offset " << offset;
    }
}

// Every character boundary, found by the forward scan from offset 0.
void ExpectCharsMatch(const TextBuffer& buffer, const std::string& text)
{
    std::vector<bool> boundary(text.size() + 1, false);
    for (size_t i = 0; i < text.size(); i += cp932::CharLength(text, i)) boundary[i] = true;
    boundary[text.size()] = true;
    for (size_t offset = 0; offset <= text.size() + 1; ++offset) {
        const size_t at = std::min(offset, text.size());
        size_t start = at, next = at, prev = at;
        while (!boundary[start]) --start;
        if (at < text.size())
            while (!boundary[++next]) {}
        if (at > 0)
            while (!boundary[--prev]) {}
        ASSERT_EQ(buffer.CharStart(offset), start) << "offset " << offset;
        ASSERT_EQ(buffer.NextChar(offset), next) << "offset " << offset;
        ASSERT_EQ(buffer.PrevChar(offset), prev) << "offset " << offset;
    }
    ASSERT_EQ(buffer.CharCount(), static_cast<size_t>(std::count(boundary.begin(), boundary.end(), true)) - 1);
}

// Bytes biased toward line breaks, lead bytes and trail bytes; with longRuns,
// also stretches of lead-range bytes long enough to be listed in a chunk.
class RandomText {
public:
    explicit RandomText(uint32_t seed) : rng_(seed) {}
    size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }
    char Byte()
    {
        static const uint8_t kinds[] = {'\r', '\n', 0x81, 0x9F, 0xE0, 0xFC, 0x40, 0x7E, 0x80, 0xA0, 0xFD, 0x00, 'a'};
        return static_cast<char>(Pick(4) == 0 ? Pick(256) : kinds[Pick(std::size(kinds))]);
    }
    std::string Bytes(size_t most, bool longRuns = false)
    {
        std::string s;
        for (size_t n = Pick(most + 1); s.size() < n;) {
            if (longRuns && Pick(8) == 0) s.append(Pick(200), static_cast<char>(Pick(2) ? 0x88 : 0xE5));
            else s += Byte();
        }
        return s;
    }

private:
    std::mt19937 rng_;
};

// Random edits, snapshots kept and restored, checked against the model after
// every step.
void RunRandomEdits(Limits limits, uint32_t seed, int steps, bool longRuns, bool checkChars)
{
    RandomText random(seed);
    std::string model = random.Bytes(40, longRuns);
    TextBuffer buffer(model, limits);
    std::vector<std::pair<TextSnapshot, std::string>> kept;
    for (int step = 0; step < steps; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const size_t offset = random.Pick(model.size() + 3);  // sometimes past the end
        const size_t at = std::min(offset, model.size());
        size_t count = random.Pick(model.size() > 300 ? 40 : 8);
        if (random.Pick(50) == 0) count = SIZE_MAX;
        const std::string bytes = random.Bytes(8, longRuns);
        switch (random.Pick(model.size() > 300 ? 3 : 4)) {
        case 0: buffer.Erase(offset, count); model.erase(at, count); break;
        case 1: buffer.Replace(offset, count, bytes); model.replace(at, count, bytes); break;
        default: buffer.Insert(offset, bytes); model.insert(at, bytes); break;
        }
        if (random.Pick(10) == 0) kept.emplace_back(buffer.Snapshot(), model);
        if (!kept.empty() && random.Pick(40) == 0) {
            const auto& [snapshot, text] = kept[random.Pick(kept.size())];
            buffer.Restore(snapshot);
            model = text;
        }
        if (random.Pick(300) == 0) {
            model = random.Bytes(200, longRuns);
            buffer.Assign(model);
        }
        ASSERT_NO_FATAL_FAILURE(ExpectLinesMatch(buffer, model));
        if (checkChars) {
            ASSERT_NO_FATAL_FAILURE(ExpectCharsMatch(buffer, model));
        }
        ASSERT_LE(model.size(), buffer.ChunkCount() * (limits.max + 1));
    }
    for (const auto& [snapshot, text] : kept) ASSERT_EQ(snapshot.Text(), text);  // later edits left them alone
}

TEST(TextBufferRandom, LinesAndCharsFollowEditsOnTinyChunks)
{
    RunRandomEdits({1, 4}, 1, 1500, false, true);
    RunRandomEdits({2, 8}, 2, 1500, false, true);
    RunRandomEdits({16, 64}, 3, 1500, false, false);
}

TEST(TextBufferRandom, CharsAcrossLongLeadRuns)
{
    RunRandomEdits({32, 160}, 4, 400, true, true);
    RunRandomEdits({1, 4}, 5, 200, true, true);
}

// Every edit at every offset of a text full of CR, LF and CR LF, from buffers
// whose chunks end in different places.
TEST(TextBufferCrLf, EditsAtEveryOffsetKeepOneBreakPerPair)
{
    const std::string text = "ab\r\ncd\r\r\n\n\rx\r\n\r\n\ny\r";
    const std::pair<size_t, std::string> edits[] = {
        {0, "\n"}, {0, "\r"}, {0, "x"}, {0, "\r\n"}, {0, "\n\r"}, {1, ""}, {2, ""}, {1, "\r"}, {1, "\n"}, {3, "x\r"}};
    for (const Limits limits : {Limits{1, 4}, Limits{2, 5}, Limits{3, 9}}) {
        TextBuffer appended(std::string_view{}, limits);  // grown one byte at a time
        for (char c : text) appended.Insert(SIZE_MAX, std::string_view(&c, 1));
        for (const TextBuffer& original : {TextBuffer(text, limits), appended}) {
            for (size_t offset = 0; offset <= text.size(); ++offset) {
                for (const auto& [count, bytes] : edits) {
                    SCOPED_TRACE("offset " + std::to_string(offset) + " count " + std::to_string(count));
                    TextBuffer buffer = original;
                    std::string model = text;
                    buffer.Replace(offset, count, bytes);
                    model.replace(offset, count, bytes);
                    ASSERT_NO_FATAL_FAILURE(ExpectLinesMatch(buffer, model));
                }
            }
            ASSERT_EQ(original.Text(), text);  // the copies' edits did not reach it
        }
    }
}

TEST(TextBufferCrLf, JoiningAndSplittingAPair)
{
    TextBuffer buffer("a\r", {1, 4});
    buffer.Insert(2, "\n");  // LF after CR: one break
    EXPECT_EQ(buffer.LineCount(), 2u);
    EXPECT_EQ(buffer.LineEnd(0), 1u);
    buffer.Insert(2, "xyzw");  // between CR and LF: two breaks
    EXPECT_EQ(buffer.LineCount(), 3u);
    EXPECT_EQ(buffer.LineStart(2), 7u);
    buffer.Erase(2, 4);  // CR and LF meet again
    EXPECT_EQ(buffer.LineCount(), 2u);
    EXPECT_EQ(buffer.LineNext(0), 3u);
    EXPECT_EQ(buffer.CheckStructure(), "");
}

TEST(TextBufferBytes, EveryByteValueRoundTrips)
{
    std::string text;
    for (int i = 0; i < 256; ++i) text += static_cast<char>(i);
    for (int i = 255; i >= 0; --i) text += static_cast<char>(i);
    text += std::string("\0\r\0\n\x80\xA0\xFD\xFE\xFF\x81", 10);  // ends on a lone lead byte
    for (const Limits limits : {Limits{1, 4}, Limits{}}) {
        TextBuffer buffer(text, limits);
        EXPECT_EQ(buffer.Text(), text);
        EXPECT_EQ(buffer.Snapshot().Text(), text);
        for (size_t i = 0; i < text.size(); ++i) ASSERT_EQ(buffer.At(i), static_cast<uint8_t>(text[i]));
        EXPECT_EQ(buffer.At(text.size()), 0);
        EXPECT_EQ(buffer.Read(250, 20), text.substr(250, 20));
        EXPECT_EQ(buffer.Read(text.size() - 3, 99), text.substr(text.size() - 3));
        std::string visited;
        buffer.Visit(3, 500, [&](std::string_view piece) {
            visited += piece;
            return true;
        });
        EXPECT_EQ(visited, text.substr(3, 500));
    }
}

TEST(TextBufferBytes, VisitStopsWhenAsked)
{
    TextBuffer buffer(std::string(100, 'x'), {2, 8});
    int calls = 0;
    buffer.Visit(0, 100, [&](std::string_view) { return ++calls < 3; });
    EXPECT_EQ(calls, 3);
    buffer.Visit(100, 5, [&](std::string_view) { return ++calls, true; });
    EXPECT_EQ(calls, 3);
}

TEST(TextBufferChars, MegabytesOfLeadBytes)
{
    // One run across many chunks: the pairing is decided by parity from the
    // run's first byte, whatever the byte before it was.
    const size_t run = 3 << 20;
    for (const std::string& before : {std::string("a"), std::string("\x82\xA0"), std::string()}) {
        const std::string text = before + std::string(run, '\x81') + "A\x81";
        TextBuffer buffer(text);
        const size_t first = before.size();
        const size_t a = first + run;  // the 'A', trailing the last lead byte when the run is odd
        EXPECT_EQ(buffer.CharStart(a), a);  // the run is even: all pairs
        EXPECT_EQ(buffer.CharStart(a - 1), a - 2);
        EXPECT_EQ(buffer.NextChar(a), a + 1);
        EXPECT_EQ(buffer.PrevChar(a), a - 2);
        EXPECT_EQ(buffer.CharStart(text.size() - 1), text.size() - 1);  // a lone lead byte at the end
        buffer.Erase(first, 1);                                          // now odd: the last lead byte takes 'A'
        EXPECT_EQ(buffer.CharStart(a - 1), a - 2);
        EXPECT_EQ(buffer.NextChar(a - 2), a);
        EXPECT_EQ(buffer.PrevChar(a), a - 2);
        for (size_t offset = first + 1; offset < a - 1; offset += 77777)
            ASSERT_EQ(buffer.CharStart(offset), offset - (offset - first) % 2);
    }
}

// Feeds text to a loader in pieces of the given sizes (taken in turn; 0
// means as much as the loader has room for).
TextBuffer LoadInPieces(std::string_view text, Limits limits, const std::vector<size_t>& pieces)
{
    TextBuffer::Loader loader(text.size(), limits);
    for (size_t at = 0, i = 0; at < text.size(); ++i) {
        const std::span<char> room = loader.Room();
        EXPECT_FALSE(room.empty());
        const size_t piece = pieces[i % pieces.size()];
        const size_t n = std::min({room.size(), piece == 0 ? room.size() : piece, text.size() - at});
        std::copy_n(text.data() + at, n, room.data());
        loader.Commit(n);
        at += n;
    }
    return loader.Finish();
}

// Every special byte sequence at every place relative to the chunk
// boundaries a load makes, read in pieces of every kind: the text comes out
// byte for byte, with its line index, lead-byte runs and character count.
TEST(TextBufferLoad, AnyPiecesAtAnyBoundaryGiveTheSameText)
{
    const std::string cores[] = {
        "\r\n", "\r\r\n", "\n\r", "\r", "\x81\x40", "\x81\x81\x81", "\x82\r\n", "\x81", std::string("\0\r\0", 3),
    };
    const std::vector<size_t> pieceKinds[] = {{0}, {1}, {2}, {3, 1}, {5, 7, 1}};
    for (const Limits limits : {Limits{1, 4}, Limits{2, 8}, Limits{4, 14}}) {
        const size_t target = limits.max * 3 / 4;
        for (const std::string& core : cores) {
            for (size_t pad = 0; pad <= 2 * target + 1; ++pad) {
                const std::string text = std::string(pad, 'x') + core + "y" + core;
                for (const auto& pieces : pieceKinds) {
                    SCOPED_TRACE(testing::PrintToString(text) + " max " + std::to_string(limits.max) + " piece " +
                                 std::to_string(pieces[0]));
                    const TextBuffer buffer = LoadInPieces(text, limits, pieces);
                    ASSERT_NO_FATAL_FAILURE(ExpectLinesMatch(buffer, text));
                    ASSERT_NO_FATAL_FAILURE(ExpectCharsMatch(buffer, text));
                }
            }
        }
    }
}

TEST(TextBufferLoad, LargeTextsFillWholeChunksAndStayEditable)
{
    RandomText random(12);
    std::string text;
    while (text.size() < 150000) text += random.Bytes(500, true);
    for (const std::vector<size_t>& pieces : {std::vector<size_t>{0}, std::vector<size_t>{4096, 1, 65536}}) {
        TextBuffer buffer = LoadInPieces(text, {}, pieces);
        ASSERT_NO_FATAL_FAILURE(ExpectLinesMatch(buffer, text));
        // Read sizes do not decide chunk sizes: every chunk but the last is
        // full, or one byte short when a CR waits for the next chunk.
        const size_t target = 48 * 1024;
        EXPECT_GE(buffer.ChunkCount(), (text.size() + target - 1) / target);
        EXPECT_LE(buffer.ChunkCount(), (text.size() + target - 2) / (target - 1));
        buffer.Insert(text.size() / 2, "\r\n\x81");
        text.insert(text.size() / 2, "\r\n\x81");
        ASSERT_NO_FATAL_FAILURE(ExpectLinesMatch(buffer, text));
        ASSERT_NO_FATAL_FAILURE(ExpectCharsMatch(buffer, text));
        text.erase(text.size() / 2, 3);
    }
}

TEST(TextBufferLoad, EmptyLoadsAndALoaderUsedTwice)
{
    TextBuffer::Loader loader(1000);
    const TextBuffer empty = loader.Finish();  // nothing committed
    EXPECT_TRUE(empty.Empty());
    EXPECT_EQ(empty.ChunkCount(), 0u);
    EXPECT_EQ(empty.LineCount(), 1u);
    EXPECT_EQ(empty.CheckStructure(), "");
    loader.Room()[0] = '\r';
    loader.Commit(1);
    const TextBuffer cr = loader.Finish();
    EXPECT_EQ(cr.Text(), "\r");
    EXPECT_EQ(cr.LineCount(), 2u);
    EXPECT_TRUE(loader.Finish().Empty());  // starts over
    EXPECT_EQ(cr.Text(), "\r");
}

// The character count is what the platform's decoder makes of the bytes: one
// UTF-16 unit per character, and per byte that does not decode.
TEST(TextBufferChars, CharCountIsTheDecodedLength)
{
    const platform::Cp932Codec& codec = TestCodec();
    RandomText random(13);
    std::vector<std::string> texts = {"", "a", "\x81", "\x81\x40", "\x81\x0A", "\x80\xA0\xFD\xFE\xFF",
                                      "\xB1\xB2\x82\xA0\xEF\xFC", "\x81\x81\x81"};
    for (int i = 0; i < 40; ++i) texts.push_back(random.Bytes(300, i % 2 == 0));
    for (const std::string& text : texts) {
        for (const Limits limits : {Limits{1, 4}, Limits{}}) {
            const TextBuffer buffer(text, limits);
            EXPECT_EQ(buffer.CharCount(), codec.ToUtf16(text).size()) << testing::PrintToString(text);
        }
    }
}

TEST(TextBufferLines, EmptyTextAndClamping)
{
    TextBuffer buffer;
    EXPECT_EQ(buffer.LineCount(), 1u);
    EXPECT_EQ(buffer.LineStart(5), 0u);
    EXPECT_EQ(buffer.LineOfOffset(9), 0u);
    buffer.Insert(100, "ab\ncd");
    buffer.Erase(4, 100);
    buffer.Replace(1, 50, "X");
    EXPECT_EQ(buffer.Text(), "aX");
    buffer.Assign("1\r\n2\r\n");
    EXPECT_EQ(buffer.LineStart(99), 6u);
    EXPECT_EQ(buffer.LineEnd(99), 6u);
    EXPECT_EQ(buffer.LineOfOffset(99), 2u);
    buffer.Erase(0, SIZE_MAX);
    EXPECT_TRUE(buffer.Empty());
    EXPECT_EQ(buffer.CheckStructure(), "");
}

TEST(TextBufferSnapshot, RestoreAndEquality)
{
    const std::string text = "line one\r\nline two\nthree\r";
    TextBuffer buffer(text, {2, 8});
    const TextSnapshot original = buffer.Snapshot();
    EXPECT_TRUE(original == buffer.Snapshot());
    EXPECT_TRUE(original.SharesStateWith(buffer.Snapshot()));

    buffer.Insert(5, "\n");
    EXPECT_FALSE(original == buffer.Snapshot());
    buffer.Erase(5, 1);  // back to the same text in a new state
    EXPECT_FALSE(original.SharesStateWith(buffer.Snapshot()));
    EXPECT_TRUE(original == buffer.Snapshot());

    buffer.Replace(0, 4, "LINE");
    buffer.Restore(original);
    EXPECT_EQ(buffer.Text(), text);
    EXPECT_EQ(buffer.LineCount(), 4u);
    EXPECT_EQ(TextBuffer(original).Text(), text);
    EXPECT_EQ(original.Read(10, 4), "line");
}

TEST(TextBufferSnapshot, IndependentlyBuiltTexts)
{
    RandomText random(9);
    const std::string text = random.Bytes(3000);
    TextBuffer whole(text);
    TextBuffer pieces(std::string_view{}, {3, 12});  // other chunk boundaries
    for (size_t i = 0; i < text.size(); i += 7) pieces.Insert(i, text.substr(i, 7));
    EXPECT_TRUE(whole.Snapshot() == pieces.Snapshot());
    EXPECT_TRUE(TextSnapshot() == TextBuffer().Snapshot());
    EXPECT_FALSE(TextSnapshot() == whole.Snapshot());
    for (size_t at : {size_t{0}, text.size() / 2, text.size() - 1}) {
        TextBuffer changed = pieces;
        changed.Replace(at, 1, std::string(1, static_cast<char>(text[at] ^ 1)));
        EXPECT_FALSE(whole.Snapshot() == changed.Snapshot()) << at;
        EXPECT_FALSE(changed.Snapshot() == pieces.Snapshot()) << at;  // mostly shared chunks
    }
}

TEST(TextBufferSnapshot, SharedChunkAtDifferentPlaces)
{
    // After erasing the first byte and appending one, the middle chunks are
    // shared but lie one byte earlier: their bytes must still be compared.
    for (const char appended : {'a', 'b'}) {
        TextBuffer buffer(std::string(40, 'a'), {2, 8});
        const TextSnapshot before = buffer.Snapshot();
        buffer.Erase(0, 1);
        buffer.Insert(SIZE_MAX, std::string(1, appended));
        EXPECT_EQ(before == buffer.Snapshot(), appended == 'a');
    }
}

TEST(TextBufferVersion, ChangesWithEveryEditOnly)
{
    TextBuffer buffer("abc");
    const TextSnapshot snapshot = buffer.Snapshot();
    uint64_t last = buffer.Version();
    auto changed = [&] {
        const bool result = buffer.Version() != last;
        last = buffer.Version();
        return result;
    };
    buffer.Text();
    buffer.Snapshot();
    buffer.LineStart(0);
    EXPECT_FALSE(changed());
    buffer.Insert(1, "x");
    EXPECT_TRUE(changed());
    buffer.Erase(0, 1);
    EXPECT_TRUE(changed());
    buffer.Replace(0, 1, "y");
    EXPECT_TRUE(changed());
    buffer.Assign("abc");
    EXPECT_TRUE(changed());
    buffer.Restore(snapshot);
    EXPECT_TRUE(changed());

    TextBuffer copy = buffer;  // edited apart, the two never share a version
    copy.Insert(0, "1");
    buffer.Insert(0, "2");
    EXPECT_NE(copy.Version(), buffer.Version());
}

}  // namespace
}  // namespace kp::test
