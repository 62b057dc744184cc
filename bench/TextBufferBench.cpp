// What the document text store costs on big texts: building it from 1, 10 and
// 100 MB, a one-byte insert at the end and in the middle of 100 MB against
// 1 KB (with and without an undo snapshot holding the previous state), line
// lookups at the end of 100 MB, comparing snapshots, and the character
// boundary inside megabytes of lead bytes.

#include "memo/text/TextBuffer.h"

#include <benchmark/benchmark.h>

#include <map>
#include <random>
#include <string>

namespace {

using kp::memo::TextBuffer;
using kp::memo::TextSnapshot;

constexpr int64_t kMB = 1 << 20;

// Japanese-like code-page-932 text: ASCII words and double-byte hiragana,
// katakana and kanji, with CR LF about every 60 bytes.
std::string MakeText(size_t size)
{
    std::mt19937 rng(932);
    std::string s;
    s.reserve(size + 8);
    size_t lineStart = 0;
    while (s.size() < size) {
        const uint32_t r = rng();
        if (s.size() - lineStart >= 56 + r % 9) {
            s += "\r\n";
            lineStart = s.size();
            continue;
        }
        switch (r % 8) {
        case 0:
        case 1: s += static_cast<char>("abcdefghij klmnop 0123,."[(r >> 8) % 24]); break;
        case 2:
        case 3:
        case 4:  // hiragana
            s += '\x82';
            s += static_cast<char>(0x9F + (r >> 8) % 83);
            break;
        case 5:  // katakana
            s += '\x83';
            s += static_cast<char>(0x40 + (r >> 8) % 0x3F);
            break;
        default: {  // kanji: lead 0x88-0x9F or 0xE0-0xEA, trail 0x40-0x7E or 0x80-0xFC
            const uint32_t lead = (r >> 8) % 35;
            s += static_cast<char>(lead < 24 ? 0x88 + lead : 0xE0 + lead - 24);
            const uint32_t trail = (r >> 16) % 188;
            s += static_cast<char>(trail < 63 ? 0x40 + trail : 0x80 + trail - 63);
        }
        }
    }
    s.resize(size);
    return s;
}

const std::string& Text(size_t size)
{
    static std::map<size_t, std::string> made;
    auto it = made.find(size);
    if (it == made.end()) it = made.emplace(size, MakeText(size)).first;
    return it->second;
}

const TextBuffer& Built(size_t size)
{
    static std::map<size_t, TextBuffer> built;
    auto it = built.find(size);
    if (it == built.end()) it = built.emplace(size, TextBuffer(Text(size))).first;
    return it->second;
}

void BM_TextConstruct(benchmark::State& state)
{
    const std::string& text = Text(static_cast<size_t>(state.range(0) * kMB));
    for (auto _ : state) {
        TextBuffer buffer(text);
        benchmark::DoNotOptimize(buffer.LineCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_TextConstruct)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

// Arg 0: text size in bytes; arg 1: where (0 at the end, 1 in the middle);
// arg 2: 1 to keep an undo snapshot of the state before each insert, so the
// chunk table is shared and must be copied. The text goes back to its first
// state every 256 inserts, so the small one stays small.
void BM_TextInsertByte(benchmark::State& state)
{
    const TextBuffer& original = Built(static_cast<size_t>(state.range(0)));
    TextBuffer buffer = original;
    const bool middle = state.range(1) != 0;
    const bool keepSnapshot = state.range(2) != 0;
    int inserts = 0;
    for (auto _ : state) {
        if (++inserts % 256 == 0) {
            state.PauseTiming();
            buffer = original;
            state.ResumeTiming();
        }
        TextSnapshot undo;
        if (keepSnapshot) undo = buffer.Snapshot();
        buffer.Insert(middle ? buffer.Length() / 2 : buffer.Length(), "x");
        benchmark::DoNotOptimize(undo);
    }
    state.counters["chunks"] = static_cast<double>(buffer.ChunkCount());
}
BENCHMARK(BM_TextInsertByte)
    ->ArgNames({"bytes", "middle", "snapshot"})
    ->ArgsProduct({{1024, 100 * kMB}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

void BM_TextLineStartAtEnd(benchmark::State& state)
{
    const TextBuffer& buffer = Built(100 * kMB);
    const size_t line = buffer.LineCount() - 1;
    for (auto _ : state) benchmark::DoNotOptimize(buffer.LineStart(line));
}
BENCHMARK(BM_TextLineStartAtEnd);

void BM_TextLineOfOffsetAtEnd(benchmark::State& state)
{
    const TextBuffer& buffer = Built(100 * kMB);
    const size_t offset = buffer.Length() - 1;
    for (auto _ : state) benchmark::DoNotOptimize(buffer.LineOfOffset(offset));
}
BENCHMARK(BM_TextLineOfOffsetAtEnd);

// Two snapshots of unchanged 100 MB: the very same state.
void BM_TextSnapshotEqualUnchanged(benchmark::State& state)
{
    const TextBuffer& buffer = Built(100 * kMB);
    const TextSnapshot before = buffer.Snapshot();
    for (auto _ : state) benchmark::DoNotOptimize(before == buffer.Snapshot());
}
BENCHMARK(BM_TextSnapshotEqualUnchanged);

// A byte inserted and erased again: a new state sharing all chunks but one.
void BM_TextSnapshotEqualAfterUndo(benchmark::State& state)
{
    TextBuffer buffer = Built(100 * kMB);
    const TextSnapshot before = buffer.Snapshot();
    buffer.Insert(buffer.Length() / 2, "x");
    buffer.Erase(buffer.Length() / 2, 1);
    const TextSnapshot after = buffer.Snapshot();
    for (auto _ : state) benchmark::DoNotOptimize(before == after);
}
BENCHMARK(BM_TextSnapshotEqualAfterUndo)->Unit(benchmark::kMicrosecond);

// Equal 100 MB built apart: every byte compared.
void BM_TextSnapshotEqualIndependent(benchmark::State& state)
{
    const TextSnapshot a = Built(100 * kMB).Snapshot();
    const TextSnapshot b = TextBuffer(Text(100 * kMB)).Snapshot();
    for (auto _ : state) benchmark::DoNotOptimize(a == b);
}
BENCHMARK(BM_TextSnapshotEqualIndependent)->Unit(benchmark::kMillisecond);

// The boundary at the end of 8 MB of 0x81 (one run across many chunks).
void BM_TextCharStartInLeadRun(benchmark::State& state)
{
    const TextBuffer buffer(std::string(8 * kMB, '\x81') + "A");
    const size_t offset = buffer.Length() - 1;
    for (auto _ : state) benchmark::DoNotOptimize(buffer.CharStart(offset));
}
BENCHMARK(BM_TextCharStartInLeadRun)->Unit(benchmark::kMicrosecond);

}  // namespace
