// Template documents: a template of everyday size inserted at the end of
// 100 MB through the Text1 command (read from the file, turned into lines,
// one range edit) and taken back, against a keystroke there
// (BM_KeystrokeAtEnd); and the reading of a large template alone, against
// loading a document of that size (BM_Load).

#include "app/MainForm.h"
#include "app/Templates.h"
#include "bench/SampleText.h"
#include "bench/SimServices.h"
#include "platform/files/SimFileSystem.h"
#include "memo/TextFile.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using namespace kp;

constexpr int64_t kMB = 1 << 20;

// About the size of the shipped templates: eight lines of kana and letters.
std::string EverydayTemplate()
{
    std::string text;
    for (int line = 0; line < 8; ++line) text += bench::JapaneseText(24 + line) + "\r\n";
    return text;
}

// The main window over simulated services, a document of size bytes, the
// caret at its end, text1.txt beside the program.
struct Window : bench::SimServices {
    explicit Window(size_t size)
        : bench::SimServices()
    {
        memo::SaveTextFile(files, "C:\\text1.txt", EverydayTemplate());
        form = std::make_unique<app::TEditForm>(services, host);
        form->FormCreate({});
        form->Memo.SetText(bench::CachedJapaneseText(size));
        form->Memo.SetSelStart(size);
    }

    std::unique_ptr<app::TEditForm> form;
};

// Inserted and taken back, as BM_KeystrokeAtEnd types and deletes.
void BM_TemplateAtEnd(benchmark::State& state)
{
    Window window(static_cast<size_t>(state.range(0)));
    ui::TMenuItem& text1 = *window.form->MenuItem("Text1");
    const size_t length = window.form->Memo.TextLength();
    for (auto _ : state) {
        text1.Click();
        window.form->Memo.Undo();
    }
    if (window.form->Memo.TextLength() != length || !window.messages.Shown().empty())
        state.SkipWithError("the template was not inserted and taken back");
}
BENCHMARK(BM_TemplateAtEnd)->Arg(100 * kMB)->Unit(benchmark::kMicrosecond);

// A template as large as a document, read from the file into its text.
void BM_ReadLargeTemplate(benchmark::State& state)
{
    const auto size = static_cast<size_t>(state.range(0));
    platform::SimFileSystem files;
    files.CreateFolder("C:\\");
    memo::SaveTextFile(files, "C:\\text1.txt", bench::CachedJapaneseText(size));
    for (auto _ : state) {
        std::string text;
        if (!app::ReadTemplate(files, "C:\\text1.txt", text)) state.SkipWithError("unreadable");
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadLargeTemplate)->Arg(100 * kMB)->Unit(benchmark::kMillisecond);

}  // namespace
