// What searching costs on 100 MB of Japanese text: the bare scan of the edit
// control's search for a pattern that is absent (ASCII and kana), then the
// main window's find step that lands at the very end (search, select, scroll;
// word wrap off and on) and a replace press there (the same scan and one edit),
// both to set beside the bare scan.

#include "app/MainForm.h"
#include "bench/SampleText.h"
#include "bench/SimServices.h"
#include "memo/edit/EditControl.h"
#include "memo/edit/Find.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

using namespace kp;

constexpr int64_t kMB = 1 << 20;

// Absent from the sample text, made of bytes that are common in it: ASCII
// letters, and kana whose trail bytes all occur.
constexpr const char* kAsciiPattern = "xyzzy";
constexpr const char* kKanaPattern = "\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8";  // あいうえお
constexpr const char* kKanaUtf8 = "あいうえお";
constexpr const char* kOtherKanaUtf8 = "かきくけこ";

// The three kinds of pattern: ASCII letters, kana, and one byte ('@': a
// plain memchr).
const char* Pattern(int64_t kind) { return kind == 0 ? kAsciiPattern : kind == 1 ? kKanaPattern : "@"; }
const char* PatternName(int64_t kind) { return kind == 0 ? "ascii" : kind == 1 ? "kana" : "one byte"; }

void BM_FindScan(benchmark::State& state)
{
    const std::string& text = bench::CachedJapaneseText(static_cast<size_t>(state.range(0)));
    const memo::TextBuffer buffer(text);
    const char* pattern = Pattern(state.range(1));
    for (auto _ : state) {
        const int64_t found = memo::FindInText(buffer, 0, buffer.Length(), pattern, {.matchCase = true});
        if (found >= 0) state.SkipWithError("the pattern is in the text");
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.SetLabel(PatternName(state.range(1)));
}
BENCHMARK(BM_FindScan)->ArgsProduct({{100 * kMB}, {0, 1, 2}})->Unit(benchmark::kMillisecond);

// The main window over simulated services, holding the sample text followed
// by a line break and the kana pattern.
struct Window {
    Window(size_t size, bool wrap) : sim(), dialogs(sim.dialogs), messages(sim.messages)
    {
        form = std::make_unique<app::TEditForm>(sim.services, sim.host);
        form->FormCreate({});
        // The sample may end in a lead byte: a line break keeps the pattern whole.
        form->Memo.SetText(bench::CachedJapaneseText(size) + "\r\n" + kKanaPattern);
        form->Memo.SetModified(false);
        if (wrap) form->MenuItem("LeftEnter")->Click();
        form->MenuItem("Find")->Click();
        form->MenuItem("Replace")->Click();
        form->FindDialog1.FindText = kKanaUtf8;
    }
    memo::EditControl& Control() { return *form->Memo.Control(); }
    size_t PatternAt() const { return form->Memo.TextLength() - std::strlen(kKanaPattern); }

    bench::SimServices sim;
    ui::SimDialogService& dialogs;
    ui::SimMessageDialogs& messages;
    std::unique_ptr<app::TEditForm> form;
};

// F3 with the caret at the top and nothing selected: the whole text is
// searched, the match at its end selected and scrolled into view.
void BM_FindStepAtEnd(benchmark::State& state)
{
    Window window(static_cast<size_t>(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        window.Control().SetSel(0, 0);
        window.Control().ScrollToLine(0);
        window.form->MenuItem("FindNext")->Click();
        if (window.form->Memo.SelStart() != window.PatternAt()) state.SkipWithError("not found at the end");
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.SetLabel(state.range(1) ? "wrap" : "no wrap");
}
BENCHMARK(BM_FindStepAtEnd)->ArgsProduct({{100 * kMB}, {0, 1}})->Unit(benchmark::kMillisecond);

// A replace press: the first occurrence is at the end; each press turns it
// into the other kana, and the next press turns it back.
void BM_ReplacePressAtEnd(benchmark::State& state)
{
    Window window(static_cast<size_t>(state.range(0)), false);
    bool forth = true;
    for (auto _ : state) {
        window.dialogs.PressReplace(window.form->ReplaceDialog1, forth ? kKanaUtf8 : kOtherKanaUtf8,
                                    forth ? kOtherKanaUtf8 : kKanaUtf8, ui::frDown);
        if (window.form->Memo.SelStart() != window.PatternAt() || !window.messages.Shown().empty())
            state.SkipWithError("not replaced at the end");
        forth = !forth;
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReplacePressAtEnd)->Arg(100 * kMB)->Unit(benchmark::kMillisecond);

}  // namespace
