// The file list over the simulated shell: filling a folder of 10,000 files
// (names, attributes, icons, find data, type names through the per-extension
// cache, dates, the shell-order sort) into the list on its simulated
// display, sorts by the size column (repeated, and the first after a fill,
// with the type column's), and the folder tree reading a folder of 1,000
// subfolders in pieces (the longest piece is what the window waits).

#include "platform/clock/SimClock.h"
#include "platform/codec/IconvCp932Codec.h"
#include "platform/locale/SimDateTimeLocale.h"
#include "platform/locale/SimLocaleCompare.h"
#include "platform/shell/SimShellNamespace.h"
#include "shell/FileView.h"
#include "shell/FolderView.h"
#include "ui/sim/SimListView.h"
#include "ui/sim/SimMessageDialogs.h"
#include "ui/sim/SimPosting.h"
#include "ui/sim/SimTreeView.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

namespace {

using namespace kp;

struct Folder {
    Folder()
    {
        files.CreateFolder("C:\\big");
        for (int i = 0; i < 10000; ++i) {
            const std::string path = "C:\\big\\file" + std::to_string(i) + (i % 3 == 0 ? ".txt" : ".dat");
            std::string temp;
            platform::FileHandle handle;
            files.CreateTempFile("C:\\big", temp, handle);
            files.Write(handle, std::string(static_cast<size_t>(i % 4096), 'x'));
            handle.Close();
            files.Replace(path, temp);
        }
        shell.Desktop()->ParseDisplayName("C:\\big", list);
    }
    platform::SimFileSystem files;
    platform::IconvCp932Codec codec;
    platform::SimShellNamespace shell{files, codec};
    platform::SimLocaleCompare locale;
    platform::SimClock clock;
    platform::SimDateTimeLocale dates;
    ui::SimMessageDialogs messages;
    shell::ShellViewServices services{&shell, codec, locale, clock, dates, messages};
    platform::IdList list;
};

Folder& BigFolder()
{
    static Folder folder;
    return folder;
}

void BM_FileListFill10000(benchmark::State& state)
{
    Folder& folder = BigFolder();
    shell::TFileView view(folder.services);
    ui::SimListView display(view);
    view.CreateWnd();
    for (auto _ : state) {
        view.OpenFolder(folder.list.View());
        benchmark::DoNotOptimize(view.Count());
    }
    state.counters["items"] = static_cast<double>(view.Count());
}
BENCHMARK(BM_FileListFill10000)->Unit(benchmark::kMillisecond);

void BM_FileListSizeColumnSort10000(benchmark::State& state)
{
    Folder& folder = BigFolder();
    shell::TFileView view(folder.services);
    ui::SimListView display(view);
    view.CreateWnd();
    view.OpenFolder(folder.list.View());
    for (auto _ : state) display.ClickColumn(1);
}
BENCHMARK(BM_FileListSizeColumnSort10000)->Unit(benchmark::kMillisecond);

void BM_FileListFirstSizeAndTypeSorts10000(benchmark::State& state)
{
    Folder& folder = BigFolder();
    shell::TFileView view(folder.services);
    ui::SimListView display(view);
    view.CreateWnd();
    for (auto _ : state) {
        state.PauseTiming();
        view.OpenFolder(folder.list.View());
        state.ResumeTiming();
        display.ClickColumn(1);
        display.ClickColumn(2);
    }
}
BENCHMARK(BM_FileListFirstSizeAndTypeSorts10000)->Unit(benchmark::kMillisecond);

struct Subfolders {
    Subfolders()
    {
        files.CreateFolder("C:\\tree");
        for (int i = 0; i < 1000; ++i) files.CreateFolder("C:\\tree\\sub" + std::to_string(i));
    }
    platform::SimFileSystem files;
    platform::IconvCp932Codec codec;
    platform::SimShellNamespace shell{files, codec};
    platform::SimLocaleCompare locale;
    platform::SimClock clock;
    platform::SimDateTimeLocale dates;
    ui::SimMessageDialogs messages;
    shell::ShellViewServices services{&shell, codec, locale, clock, dates, messages};
};

// A tree over the folders with posted work the benchmark runs.
struct PiecesRun {
    explicit PiecesRun(Subfolders& folder) : tree(folder.services)
    {
        display.SetPosting(&posting);
        tree.Loaded();
        tree.SetSelectedPath("C:\\tree");
    }
    ui::SimPosting posting;
    shell::TFolderView tree;
    ui::SimTreeView display{tree};
};

void BM_FolderTreeExpand1000InPieces(benchmark::State& state)
{
    static Subfolders folder;
    double longest = 0;
    size_t pieces = 0;
    std::unique_ptr<PiecesRun> run;
    for (auto _ : state) {
        state.PauseTiming();
        run.reset();
        run = std::make_unique<PiecesRun>(folder);
        ui::TTreeNode* node = run->tree.Selected();
        state.ResumeTiming();
        if (!node) {
            state.SkipWithError("no node");
            break;
        }
        run->display.Toggle(*node);
        while (run->posting.Pending() > 0) {
            const auto start = std::chrono::steady_clock::now();
            run->posting.RunOne();
            longest = std::max(
                longest, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            ++pieces;
        }
        benchmark::DoNotOptimize(node->Count());
    }
    state.counters["longest piece ms"] = longest;
    state.counters["pieces"] = benchmark::Counter(static_cast<double>(pieces), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FolderTreeExpand1000InPieces)->Unit(benchmark::kMillisecond);

}  // namespace
