// What loading a document costs in time and memory: reading 1 and 100 MB
// straight into the text's chunks, against reading the whole file into one
// string and building the text from it. The simulated file system holds the
// file; the extra memory a load takes at its peak (over what the process held
// before it) is read from the kernel's high-water mark, which is reset before
// each load, and reported as peak_MB and as a multiple of the file's size.

#include "bench/SampleText.h"
#include "memo/TextFile.h"
#include "platform/files/SimFileSystem.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <fstream>
#include <string>

namespace {

using namespace kp::memo;

constexpr int64_t kKB = 1 << 10;
constexpr int64_t kMB = 1 << 20;
constexpr const char* kPath = "C:\\bench.txt";

// A line of /proc/self/status in kilobytes ("VmRSS", "VmHWM"); 0 if unknown.
int64_t StatusKb(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string name;
    while (status >> name) {
        if (name == key + ":") {
            int64_t kb = 0;
            status >> kb;
            return kb;
        }
        status.ignore(1 << 12, '\n');
    }
    return 0;
}

// Gives freed memory back and starts the high-water mark over at the present
// size; the resident size now.
int64_t ResetPeakKb()
{
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    return StatusKb("VmRSS");
}

kp::platform::SimFileSystem& Files(size_t size)
{
    static kp::platform::SimFileSystem files;
    static size_t stored = SIZE_MAX;
    if (stored != size) {
        SaveTextFile(files, kPath, kp::bench::JapaneseText(size));
        stored = size;
    }
    return files;
}

template <typename Load>
void RunLoad(benchmark::State& state, Load&& load)
{
    const auto size = static_cast<size_t>(state.range(0));
    auto& files = Files(size);
    int64_t peakKb = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const int64_t before = ResetPeakKb();
        state.ResumeTiming();
        {
            const TextBuffer text = load(files);
            benchmark::DoNotOptimize(text.LineCount());
            state.PauseTiming();
            peakKb = std::max(peakKb, StatusKb("VmHWM") - before);
        }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(size));
    state.counters["peak_MB"] = static_cast<double>(peakKb) / 1024;
    state.counters["peak_per_file"] = static_cast<double>(peakKb) * 1024 / static_cast<double>(size);
}

void BM_LoadIntoChunks(benchmark::State& state)
{
    RunLoad(state, [](kp::platform::FileSystem& files) { return TextBuffer(LoadText(files, kPath)); });
}
BENCHMARK(BM_LoadIntoChunks)->Arg(kKB)->Arg(100 * kMB)->Unit(benchmark::kMillisecond);

void BM_LoadWholeThenBuild(benchmark::State& state)
{
    RunLoad(state, [](kp::platform::FileSystem& files) {
        std::string bytes;
        files.ReadAll(kPath, bytes);
        return TextBuffer(bytes);
    });
}
BENCHMARK(BM_LoadWholeThenBuild)->Arg(kKB)->Arg(100 * kMB)->Unit(benchmark::kMillisecond);

// The character count (the UTF-16 length a window reports): the first count
// reads every byte; after a keystroke only the edited chunk is read again.
void BM_CharCount(benchmark::State& state)
{
    const bool afterEdit = state.range(1) != 0;
    TextBuffer text(kp::bench::JapaneseText(static_cast<size_t>(state.range(0))));
    text.CharCount();
    for (auto _ : state) {
        if (afterEdit) {
            text.Insert(text.Length(), "x");
        } else {
            state.PauseTiming();
            text.Assign(text.Text());  // fresh chunks, nothing counted yet
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(text.CharCount());
    }
}
BENCHMARK(BM_CharCount)
    ->ArgNames({"bytes", "afterEdit"})
    ->ArgsProduct({{kKB, 100 * kMB}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
