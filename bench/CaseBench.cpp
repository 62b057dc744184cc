// What the range edits cost on 100 MB (word wrap off): case conversion of the
// whole text and its undo, against loading the text (BM_Load); cropping it to
// 1 KB; a 20-byte stamp inserted at the end, against a keystroke there
// (BM_KeystrokeAtEnd).

#include "base/CaseMap.h"
#include "bench/SampleText.h"
#include "memo/edit/EditControl.h"
#include "platform/codec/IconvCp932Codec.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

using namespace kp::memo;

constexpr int64_t kMB = 1 << 20;

struct Editor {
    explicit Editor(size_t size) : control(metrics, codec, nullptr)
    {
        control.SetClientSize(800, 600);
        control.SetText(kp::bench::CachedJapaneseText(size));
        control.MoveCaret(CaretMove::DocumentEnd, false);
    }
    FixedGlyphMetrics metrics;
    kp::platform::IconvCp932Codec codec;
    EditControl control;
};

// The mapping of the bytes alone, from one buffer to another.
void BM_CaseMapBytes(benchmark::State& state)
{
    const std::string& text = kp::bench::CachedJapaneseText(static_cast<size_t>(state.range(0)));
    std::string out(text.size(), '\0');
    for (auto _ : state) benchmark::DoNotOptimize(kp::cp932::MapCase(kp::cp932::LetterCase::Upper, text, out.data()));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CaseMapBytes)->Arg(100 * kMB)->Unit(benchmark::kMillisecond);

// The sample text's letters are all small: every chunk changes.
void BM_MapCaseWholeUpper(benchmark::State& state)
{
    Editor editor(static_cast<size_t>(state.range(0)));
    EditControl& control = editor.control;
    for (auto _ : state) {
        control.MapCase(CaseMapping::Upper, 0, SIZE_MAX, control.Caret());
        state.PauseTiming();
        if (!control.Undo()) state.SkipWithError("nothing to undo");
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MapCaseWholeUpper)->Arg(100 * kMB)->Unit(benchmark::kMillisecond);

void BM_MapCaseWholeUpperUndo(benchmark::State& state)
{
    Editor editor(static_cast<size_t>(state.range(0)));
    EditControl& control = editor.control;
    for (auto _ : state) {
        state.PauseTiming();
        control.MapCase(CaseMapping::Upper, 0, SIZE_MAX, control.Caret());
        state.ResumeTiming();
        if (!control.Undo()) state.SkipWithError("nothing to undo");
    }
}
BENCHMARK(BM_MapCaseWholeUpperUndo)->Arg(100 * kMB)->Unit(benchmark::kMillisecond);

void BM_CropTo1KB(benchmark::State& state)
{
    Editor editor(static_cast<size_t>(state.range(0)));
    EditControl& control = editor.control;
    const size_t middle = control.TextLength() / 2;
    for (auto _ : state) {
        control.Crop(middle, 1024);
        state.PauseTiming();
        if (!control.Undo()) state.SkipWithError("nothing to undo");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CropTo1KB)->Arg(100 * kMB)->Unit(benchmark::kMillisecond);

// Inserted and taken back, as BM_KeystrokeAtEnd types and deletes.
void BM_StampAtEnd(benchmark::State& state)
{
    Editor editor(static_cast<size_t>(state.range(0)));
    EditControl& control = editor.control;
    const size_t end = control.TextLength();
    for (auto _ : state) {
        control.ReplaceRange(end, 0, "26/12/07 16:25:00 ab", end);
        control.Undo();
    }
}
BENCHMARK(BM_StampAtEnd)->Arg(100 * kMB)->Unit(benchmark::kMicrosecond);

}  // namespace
