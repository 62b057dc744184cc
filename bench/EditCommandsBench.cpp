// What the editing commands and the caret panel cost on the main window at
// the end of a 100 MB document (word wrap off), to set beside the model's
// own figures of the same run: BM_KeystrokeAtEnd and BM_CaretMoveAtEnd
// (EditBench.cpp), and the codec's conversion of the whole text
// (BM_CodecWholeText here).

#include "app/MainForm.h"
#include "bench/SampleText.h"
#include "bench/SimServices.h"
#include "memo/edit/EditControl.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using namespace kp;

constexpr int64_t kMB = 1 << 20;

// The main window over simulated services, holding the sample text with the
// caret at its end.
struct Window : bench::SimServices {
    explicit Window(size_t size)
        : bench::SimServices()
    {
        form = std::make_unique<app::TEditForm>(services, host);
        form->FormCreate({});
        form->Memo.SetText(bench::CachedJapaneseText(size));
        form->Memo.SetModified(false);
        Control().MoveCaret(memo::CaretMove::DocumentEnd, false);
    }
    memo::EditControl& Control() { return *form->Memo.Control(); }
    void Run(std::string_view command) { form->MenuItem(command)->Click(); }

    std::unique_ptr<app::TEditForm> form;
};

// The yardstick of CopyAll: the whole text to UTF-16.
void BM_CodecWholeText(benchmark::State& state)
{
    const std::string& text = bench::CachedJapaneseText(static_cast<size_t>(state.range(0)));
    const platform::IconvCp932Codec codec;
    for (auto _ : state) benchmark::DoNotOptimize(codec.ToUtf16(text));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CodecWholeText)->Arg(100 * kMB)->Unit(benchmark::kMillisecond);

void BM_CopyAll(benchmark::State& state)
{
    Window window(static_cast<size_t>(state.range(0)));
    for (auto _ : state) window.Run("CopyAll");
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CopyAll)->Arg(100 * kMB)->Unit(benchmark::kMillisecond);

// The last line deleted and taken back, as a keystroke is typed and taken back.
void BM_DeleteLineAtEnd(benchmark::State& state)
{
    Window window(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        window.Run("Delete");
        window.Run("Undo");
    }
}
BENCHMARK(BM_DeleteLineAtEnd)->Arg(100 * kMB)->Unit(benchmark::kMicrosecond);

// The stamp inserted at the end and taken back.
void BM_DateTimeAtEnd(benchmark::State& state)
{
    Window window(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        window.Run("DateTime");
        window.Run("Undo");
    }
}
BENCHMARK(BM_DateTimeAtEnd)->Arg(100 * kMB)->Unit(benchmark::kMicrosecond);

// The last kilobyte added to a clipboard that holds a short text.
void BM_AddCopyAtEnd(benchmark::State& state)
{
    Window window(static_cast<size_t>(state.range(0)));
    window.Control().SetSel(state.range(0) - 1024, -1);
    for (auto _ : state) {
        window.clipboard.SetText(u"held");
        window.Run("AddCopy");
    }
}
BENCHMARK(BM_AddCopyAtEnd)->Arg(100 * kMB)->Unit(benchmark::kMicrosecond);

// BM_CaretMoveAtEnd's moves through the main window's memo, with the caret
// panel written at each selection change (1) and without it (0).
void BM_CaretMoveAtEndInWindow(benchmark::State& state)
{
    Window window(static_cast<size_t>(state.range(0)));
    if (state.range(1) == 0) window.form->Memo.OnSelectionChange = nullptr;
    memo::EditControl& control = window.Control();
    for (auto _ : state) {
        control.MoveCaret(memo::CaretMove::Up, false);
        control.MoveCaret(memo::CaretMove::Left, false);
        control.MoveCaret(memo::CaretMove::Down, false);
        control.MoveCaret(memo::CaretMove::DocumentEnd, false);
    }
    benchmark::DoNotOptimize(window.form->StatusBar1.Text(0));
}
BENCHMARK(BM_CaretMoveAtEndInWindow)->ArgsProduct({{100 * kMB}, {0, 1}})->Unit(benchmark::kMicrosecond);

}  // namespace
