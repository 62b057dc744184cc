// The store reads the registry on every call (nothing is cached); these show
// what a read and a write cost against the simulated registry, and what
// reading the whole shortcut section costs, as the main window does at start.

#include "platform/registry/SimRegistry.h"
#include "settings/SettingsKeys.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kp;

void BM_ReadInteger(benchmark::State& state)
{
    platform::SimRegistry registry;
    TRegIniFile store(registry, std::string(settings::kProgramKey));
    settings::WriteInteger(store, settings::VisualFontSize, 14);
    for (auto _ : state) benchmark::DoNotOptimize(settings::ReadInteger(store, settings::VisualFontSize));
}
BENCHMARK(BM_ReadInteger);

void BM_WriteString(benchmark::State& state)
{
    platform::SimRegistry registry;
    TRegIniFile store(registry, std::string(settings::kProgramKey));
    for (auto _ : state) settings::WriteString(store, settings::FileFileName, "C:\\文書\\表.txt");
}
BENCHMARK(BM_WriteString);

void BM_ReadAllShortcuts(benchmark::State& state)
{
    platform::SimRegistry registry;
    TRegIniFile store(registry, std::string(settings::kProgramKey));
    for (const auto& s : settings::kShortCutKeys) settings::WriteString(store, s, s.defaultText);
    for (auto _ : state)
        for (const auto& s : settings::kShortCutKeys)
            benchmark::DoNotOptimize(settings::ReadString(store, s));
}
BENCHMARK(BM_ReadAllShortcuts);

}  // namespace
