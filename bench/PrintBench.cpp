// The text printer laying out and sending a large document to the simulated
// printer (an A4 page at 600 DPI), set against the codec's conversion of the
// same text to UTF-16, which any printer driver needs at least.

#include "app/TextPrinter.h"
#include "bench/SampleText.h"
#include "platform/codec/IconvCp932Codec.h"
#include "platform/printer/SimPrintDevice.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kp;

constexpr int64_t kMB = 1 << 20;

void BM_TextPrinterToSimPrinter(benchmark::State& state)
{
    const std::string& text = bench::CachedJapaneseText(static_cast<size_t>(state.range(0) * kMB));
    size_t pages = 0;
    for (auto _ : state) {
        platform::SimPrintJob job;
        platform::SimPrintDevice device({4961, 7016, 600, platform::SimPrintFailure::None, nullptr}, job);
        app::TextPrinter printer(device);
        printer.Begin("Kestrelpad", platform::FontSpec{"ＭＳ Ｐゴシック", 15, false, false, platform::kShiftJisCharset}, 0);
        printer.Write(text);
        printer.End();
        pages = job.pages.size();
        benchmark::DoNotOptimize(job);
    }
    state.counters["pages"] = static_cast<double>(pages);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_TextPrinterToSimPrinter)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_CodecToUtf16(benchmark::State& state)
{
    const std::string& text = bench::CachedJapaneseText(static_cast<size_t>(state.range(0) * kMB));
    const platform::IconvCp932Codec codec;
    for (auto _ : state) benchmark::DoNotOptimize(codec.ToUtf16(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_CodecToUtf16)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace
