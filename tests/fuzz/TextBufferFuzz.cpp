// The text store under edits chosen by the input, against a plain string:
// inserts, deletes and replacements aimed inside double-byte characters, on
// either side of a CR LF pair and between its two bytes, on chunk limits from
// tiny to the default; snapshots kept, compared and restored; copies edited
// apart. After every step the bytes, the line index, the character
// boundaries and the snapshot's equality must agree with the string.

#include "memo/text/TextBuffer.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>
#include <utility>

namespace kp::fuzz {
namespace {

using memo::TextBuffer;
using memo::TextSnapshot;

constexpr size_t kMaxText = 6000;

constexpr std::string_view kPieces[] = {
    "\r",   "\n",      "\r\n",     "\n\r",    "\x82",      "\xA0",      "\x82\xA0", "\x83\x5C", "\x5C", "a",
    "\x81", "\x81\x81", "\xE0\x40", "\xFC\xFC", "\x81\r\n", "\x82\n",    "\x7F",     "\xFD",     "\xDF", "\x80",
    std::string_view("\0", 1), "\x88\x88\x88\x88\x88\x88\x88\x88"};

std::string SomeBytes(FuzzInput& in)
{
    switch (in.Pick(8)) {
    case 0: return in.Bytes(12);
    case 1: return std::string(in.Pick(300), static_cast<char>(in.Flag() ? 0x88 : 0xE5));  // a long lead run
    default: return in.Pieces(kPieces, 4);
    }
}

// An offset where edits go wrong most easily: after a lead byte, between CR
// and LF, at a line start, at the end, past the end, or anywhere.
size_t SomeOffset(FuzzInput& in, const std::string& text)
{
    const size_t from = in.Pick(text.size() + 1);
    switch (in.Pick(6)) {
    case 0:
        for (size_t i = from; i < text.size(); ++i)
            if (static_cast<uint8_t>(text[i]) >= 0x81 && static_cast<uint8_t>(text[i]) != 0xA0) return i + 1;
        return from;
    case 1: {
        const size_t at = text.find("\r\n", from);
        return at == std::string::npos ? from : at + 1;
    }
    case 2: {
        const size_t at = text.find_first_of("\r\n", from);
        return at == std::string::npos ? text.size() : at + 1;
    }
    case 3: return text.size() + in.Pick(3);
    default: return from;
    }
}

void CheckAgainst(const TextBuffer& buffer, const std::string& text, FuzzInput& in)
{
    KP_CHECK(buffer.Length() == text.size(), "length " + std::to_string(buffer.Length()) + " for " +
                                              std::to_string(text.size()));
    KP_CHECK(buffer.Text() == text, "bytes differ: " + Escaped(buffer.Text()) + "\nexpected " + Escaped(text));
    const std::string structure = buffer.CheckStructure();
    KP_CHECK(structure.empty(), "structure: " + structure);

    const std::vector<size_t> starts = ReferenceLineStarts(text);
    KP_CHECK(buffer.LineCount() == starts.size(), "line count " + std::to_string(buffer.LineCount()) + " for " +
                                                   std::to_string(starts.size()) + " in " + Escaped(text));
    // Every line of a short text, a sample of a long one.
    const bool allLines = starts.size() <= 64;
    for (size_t n = 0; n < (allLines ? starts.size() : 32); ++n) {
        const size_t line = allLines ? n : in.Pick(starts.size());
        const size_t next = line + 1 < starts.size() ? starts[line + 1] : text.size();
        size_t end = next;
        if (line + 1 < starts.size()) end -= next >= 2 && text[next - 2] == '\r' && text[next - 1] == '\n' ? 2 : 1;
        KP_CHECK(buffer.LineStart(line) == starts[line] && buffer.LineNext(line) == next && buffer.LineEnd(line) == end,
              "line " + std::to_string(line) + " of " + Escaped(text));
    }
    KP_CHECK(buffer.LineStart(starts.size() + 5) == starts.back(), "a line past the last is not clamped");

    const std::vector<bool> boundary = ReferenceBoundaries(text);
    const bool every = text.size() <= 64;
    for (size_t n = 0; n < (every ? text.size() + 2 : 32); ++n) {
        const size_t offset = every ? n : in.Pick(text.size() + 2);
        const size_t at = std::min(offset, text.size());
        size_t start = at, next = at, prev = at;
        while (!boundary[start]) --start;
        if (at < text.size())
            while (!boundary[++next]) {}
        if (at > 0)
            while (!boundary[--prev]) {}
        const std::string where = " at " + std::to_string(offset) + " of " + Escaped(text);
        KP_CHECK(buffer.CharStart(offset) == start, "CharStart" + where);
        KP_CHECK(buffer.NextChar(offset) == next, "NextChar" + where);
        KP_CHECK(buffer.PrevChar(offset) == prev, "PrevChar" + where);
        const size_t line = static_cast<size_t>(std::upper_bound(starts.begin(), starts.end(), at) - starts.begin()) - 1;
        KP_CHECK(buffer.LineOfOffset(offset) == line, "LineOfOffset" + where);
        KP_CHECK(buffer.At(offset) == (offset < text.size() ? static_cast<uint8_t>(text[offset]) : 0), "At" + where);
        const size_t count = in.Pick(20);
        KP_CHECK(buffer.Read(offset, count) == text.substr(at, count), "Read" + where);
    }

    // The same text built in one piece (other chunks) is an equal snapshot.
    const TextSnapshot snapshot = buffer.Snapshot();
    KP_CHECK(snapshot.Length() == text.size() && snapshot.Text() == text, "the snapshot holds other bytes");
    KP_CHECK(snapshot == TextBuffer(text).Snapshot(), "the snapshot differs from the same text built anew");
}

void Run(FuzzInput& in)
{
    TextBuffer::ChunkLimits limits;
    switch (in.Pick(4)) {
    case 0: break;  // the default limits
    case 1:
        limits.min = 1 + in.Pick(8);
        limits.max = in.Pick(70);  // below 4 is adjusted
        break;
    default:  // many chunk boundaries in a short text
        limits.min = 1 + in.Pick(2);
        limits.max = 4 + in.Pick(6);
        break;
    }
    std::string model = SomeBytes(in);
    TextBuffer buffer(model, limits);
    std::vector<std::pair<TextSnapshot, std::string>> kept;
    CheckAgainst(buffer, model, in);

    for (int step = 0; step < 400 && !in.Empty(); ++step) {
        const std::string before = model;
        const uint64_t version = buffer.Version();
        switch (in.Pick(10)) {
        case 0:
        case 1: {
            const size_t offset = SomeOffset(in, model);
            const std::string bytes = SomeBytes(in);
            buffer.Insert(offset, bytes);
            model.insert(std::min(offset, model.size()), bytes);
            break;
        }
        case 2:
        case 3: {
            const size_t offset = SomeOffset(in, model);
            const size_t count = in.Pick(16) == 0 ? SIZE_MAX : in.Pick(in.Flag() ? 3 : 40);
            buffer.Erase(offset, count);
            if (offset < model.size()) model.erase(offset, count);
            break;
        }
        case 4: {
            const size_t offset = SomeOffset(in, model);
            const size_t count = in.Pick(16) == 0 ? SIZE_MAX : in.Pick(8);
            const std::string bytes = SomeBytes(in);
            buffer.Replace(offset, count, bytes);
            model.replace(std::min(offset, model.size()), count, bytes);
            break;
        }
        case 5:
            kept.emplace_back(buffer.Snapshot(), model);
            break;
        case 6:
            if (kept.empty()) break;
            {
                const auto& [snapshot, text] = kept[in.Pick(kept.size())];
                buffer.Restore(snapshot);
                model = text;
            }
            break;
        case 7:
            if (kept.size() < 2) break;
            {
                const auto& a = kept[in.Pick(kept.size())];
                const auto& b = kept[in.Pick(kept.size())];
                KP_CHECK((a.first == b.first) == (a.second == b.second), "snapshots compare otherwise than their texts");
            }
            break;
        case 8: {  // a copy edited apart leaves the original alone
            TextBuffer copy = buffer;
            const size_t offset = SomeOffset(in, model);
            copy.Replace(offset, in.Pick(6), SomeBytes(in));
            KP_CHECK(buffer.Text() == model, "editing a copy changed the original");
            KP_CHECK(copy.Version() != buffer.Version() || copy.Text() == model, "a copy edited apart kept the version");
            break;
        }
        default:
            if (in.Flag()) {
                model = SomeBytes(in);
                buffer.Assign(model);
            } else if (!kept.empty()) {
                const auto& [snapshot, text] = kept[in.Pick(kept.size())];
                buffer = TextBuffer(snapshot);
                model = text;
            }
            break;
        }
        if (model.size() > kMaxText) {
            model.resize(kMaxText / 2);
            buffer.Assign(model);
        }
        if (buffer.Version() == version)
            KP_CHECK(model == before, "the text changed but its version stayed");
        CheckAgainst(buffer, model, in);
    }
    for (const auto& [snapshot, text] : kept) KP_CHECK(snapshot.Text() == text, "a kept snapshot changed");
}

}  // namespace
}  // namespace kp::fuzz

KP_FUZZ_TARGET(kp::fuzz::Run)
