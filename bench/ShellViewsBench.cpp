// The file list over the simulated shell: filling a folder of 10,000 files
// (names, attributes, icons, find data, type names through the per-extension
// cache, dates, the shell-order sort) into the list on its simulated
// display, and a sort by the size column (keys made once, then compared).

#include "platform/clock/SimClock.h"
#include "platform/codec/IconvCp932Codec.h"
#include "platform/locale/SimDateTimeLocale.h"
#include "platform/locale/SimLocaleCompare.h"
#include "platform/shell/SimShellNamespace.h"
#include "shell/FileView.h"
#include "ui/sim/SimListView.h"
#include "ui/sim/SimMessageDialogs.h"

#include <benchmark/benchmark.h>

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

}  // namespace
