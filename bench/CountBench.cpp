// The count dialog's numbers over a large document, set against the bare
// scans of the same text a search makes: memchr for each CR over the text's
// pieces, and memchr for a byte the text lacks (one call per piece).

#include "bench/SampleText.h"
#include "dialogs/CountDlg.h"
#include "memo/ExtMemo.h"
#include "memo/SimMemoWindow.h"
#include "platform/codec/IconvCp932Codec.h"
#include "platform/keyboard/KeyState.h"
#include "platform/syscolors/SimSysColors.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

namespace {

using namespace kp;

constexpr int64_t kMB = 1 << 20;

struct Memo {
    Memo(size_t size, bool wrap) : factory(codec, nullptr, keys), memo(factory, keys, colors)
    {
        memo.SetWordWrap(wrap);
        memo.CreateWnd();
        memo.SetText(bench::CachedJapaneseText(size));
    }
    platform::IconvCp932Codec codec;
    platform::SimKeyState keys;
    platform::SimSysColors colors;
    memo::SimMemoWindowFactory factory;
    memo::TExtMemo memo;
};

// What the Count command computes before it shows the dialog.
void BM_CountDialogNumbers(benchmark::State& state)
{
    Memo editor(static_cast<size_t>(state.range(0)), state.range(1) != 0);
    dialogs::TCountForm form(editor.memo);
    for (auto _ : state) {
        form.FormShow();
        benchmark::DoNotOptimize(form.Count());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CountDialogNumbers)->ArgsProduct({{100 * kMB}, {0, 1}})->Unit(benchmark::kMillisecond);

// The yardstick: memchr from one CR to the next through every piece.
void BM_BareScanForCR(benchmark::State& state)
{
    const memo::TextBuffer text(bench::CachedJapaneseText(static_cast<size_t>(state.range(0))));
    for (auto _ : state) {
        size_t found = 0;
        text.Visit(0, text.Length(), [&](std::string_view piece) {
            const char* p = piece.data();
            const char* end = p + piece.size();
            while ((p = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(end - p))))) {
                ++found;
                ++p;
            }
            return true;
        });
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BareScanForCR)->Arg(100 * kMB)->Unit(benchmark::kMillisecond);

// The fastest scan there is: memchr for a byte the text lacks.
void BM_BareScanForAbsentByte(benchmark::State& state)
{
    const memo::TextBuffer text(bench::CachedJapaneseText(static_cast<size_t>(state.range(0))));
    for (auto _ : state) {
        bool found = false;
        text.Visit(0, text.Length(), [&](std::string_view piece) {
            found = found || std::memchr(piece.data(), '\0', piece.size()) != nullptr;
            return true;
        });
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BareScanForAbsentByte)->Arg(100 * kMB)->Unit(benchmark::kMillisecond);

}  // namespace
