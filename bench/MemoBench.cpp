// What recreating the memo's window costs (switching word wrap, the
// selection bar or vertical layout makes a new window), set against laying
// out the whole text once, which the new window cannot avoid when it wraps.

#include "memo/ExtMemo.h"
#include "memo/SimMemoWindow.h"
#include "bench/SampleText.h"
#include "platform/codec/IconvCp932Codec.h"
#include "platform/keyboard/KeyState.h"
#include "platform/syscolors/SimSysColors.h"

#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace {

using namespace kp::memo;

constexpr int64_t kMB = 1 << 20;

const std::string& Text(size_t size) { return kp::bench::CachedJapaneseText(size); }

struct Memo {
    Memo(size_t size, bool wrap) : factory(codec, nullptr, keys), memo(factory, keys, colors)
    {
        memo.SetWordWrap(wrap);
        memo.CreateWnd();
        memo.SetText(Text(size));
    }
    kp::platform::IconvCp932Codec codec;
    kp::platform::SimKeyState keys;
    kp::platform::SimSysColors colors;
    SimMemoWindowFactory factory;
    TExtMemo memo;
};

// The yardstick: the model lays out the whole text again, as after a font
// change.
void BM_LayOutWholeText(benchmark::State& state)
{
    Memo editor(static_cast<size_t>(state.range(0)), state.range(1) != 0);
    EditControl& control = *editor.memo.Control();
    for (auto _ : state) {
        control.MetricsChanged();
        benchmark::DoNotOptimize(control.LineCount());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LayOutWholeText)->ArgsProduct({{kMB, 10 * kMB, 100 * kMB}, {0, 1}})->Unit(benchmark::kMillisecond);

// Destroying the window and making a new one that shows the same document.
void BM_RecreateWindow(benchmark::State& state)
{
    Memo editor(static_cast<size_t>(state.range(0)), state.range(1) != 0);
    editor.memo.SetSelStart(static_cast<size_t>(state.range(0)) / 2);
    for (auto _ : state) {
        editor.memo.RecreateWnd();
        benchmark::DoNotOptimize(editor.memo.Control()->LineCount());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RecreateWindow)->ArgsProduct({{kMB, 10 * kMB, 100 * kMB}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace
