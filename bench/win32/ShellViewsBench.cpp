// The file list on the platform's shell and list control: a folder of 10,000
// files filled into the real list, against the floor of the shell calls such
// a fill needs (the walk, names, attributes, find data, icons, type names
// through a per-extension cache, the shell-order sort), measured in the same
// run; then a sort by the size column. Prints medians in milliseconds and each
// call's share of the floor.
//
//   kp_shell_views_bench.exe

#include "platform/clock/Win32Clock.h"
#include "platform/codec/Win32Cp932Codec.h"
#include "platform/files/Win32FileSystem.h"
#include "platform/locale/Win32DateTimeLocale.h"
#include "platform/locale/Win32LocaleCompare.h"
#include "platform/shell/Win32ShellNamespace.h"
#include "shell/FileView.h"
#include "shell/ShellItems.h"
#include "ui/sim/SimMessageDialogs.h"
#include "ui/win32/Win32FormHost.h"
#include "ui/win32/Win32Common.h"
#include "ui/win32/Win32ListView.h"

#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace kp;
using Clock = std::chrono::steady_clock;

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(int runs, const std::function<void()>& run)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        run();
        ms.push_back(Ms(Clock::now() - start));
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// The shell calls of one fill, each kind timed apart.
enum Call { kWalk, kNames, kAttributes, kFindData, kIcons, kTypeNames, kSort, kCalls };
const char* const kCallNames[kCalls] = {"enumerate", "names", "attributes", "find data", "icons", "type names",
                                        "shell-order sort"};

std::array<double, kCalls> Floor(platform::ShellNamespace& shell, platform::ShellFolder& folder,
                                 platform::IdView folderList, const platform::Cp932Codec& codec)
{
    using namespace platform;
    std::array<double, kCalls> spent{};
    auto timed = [&](Call call, auto&& body) {
        const auto start = Clock::now();
        body();
        spent[call] += Ms(Clock::now() - start);
    };
    std::vector<IdList> children;
    std::map<std::string, std::string> typeNames;
    timed(kWalk, [&] {
        std::unique_ptr<ShellEnum> walk;
        folder.EnumObjects(0xE0, walk);
        for (IdList child; walk && walk->Next(child) == shellcode::kOk;) children.push_back(std::move(child));
    });
    for (const IdList& child : children) {
        const IdView view = child.View();
        std::string path, caption;
        timed(kNames, [&] {
            shell::GetDisplayName(folder, view, nameform::kForParsing, codec, path);
            shell::GetDisplayName(folder, view, nameform::kInFolder, codec, caption);
        });
        timed(kAttributes, [&] {
            uint32_t bits = attr::kFolder | attr::kLink;
            folder.GetAttributesOf({&view, 1}, bits);
        });
        timed(kFindData, [&] {
            ShellFindData data;
            shell.GetFindData(folder, view, data);
        });
        const IdList absolute = shell::ConcatIDLists(shell.Allocator(), folderList, view);
        timed(kIcons, [&] { shell::GetIconIndex(shell, absolute.View(), fileinfo::kSysIconIndex); });
        timed(kTypeNames, [&] {
            const std::string extension = path.substr(path.rfind('.'));
            if (typeNames.count(extension) == 0) {
                ShellFileInfo info;
                shell.GetFileInfo(absolute.View(), fileinfo::kTypeName | fileinfo::kPidl, info);
                typeNames.emplace(extension, info.typeName);
            }
        });
    }
    timed(kSort, [&] {
        std::vector<const IdList*> order;
        for (const IdList& child : children) order.push_back(&child);
        std::stable_sort(order.begin(), order.end(), [&](const IdList* a, const IdList* b) {
            return shell::CompareIDLists(folder, a->View(), b->View()) < 0;
        });
    });
    return spent;
}

}  // namespace

int main()
{
    OleInitialize(nullptr);
    platform::Win32FileSystem files;
    const std::string folderPath = platform::JoinPath(platform::Win32FileSystem::TempFolder(), "kp-shell-bench");
    CreateDirectoryW(ui::WideText(folderPath).c_str(), nullptr);
    for (int i = 0; i < 10000; ++i) {
        const std::string path = platform::JoinPath(folderPath, "file" + std::to_string(i) + (i % 3 ? ".dat" : ".txt"));
        HANDLE file = CreateFileW(ui::WideText(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        const std::string bytes(static_cast<size_t>(i % 3000), 'x');
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    {
        platform::Win32ShellNamespace shell;
        platform::Win32Cp932Codec codec;
        platform::Win32LocaleCompare locale;
        platform::Win32Clock clock;
        platform::Win32DateTimeLocale dates;
        ui::SimMessageDialogs messages;
        shell::ShellViewServices services{&shell, codec, locale, clock, dates, messages};
        platform::IdList folderList;
        std::unique_ptr<platform::ShellFolder> folder;
        shell.Desktop()->ParseDisplayName(folderPath, folderList);
        shell.Desktop()->BindToObject(folderList.View(), folder);

        ui::Win32FormOptions options;
        options.caption = "shell views bench";
        options.mainForm = false;
        ui::Win32FormHost host(options);
        ui::TControl layout{ui::ControlKind::Panel, "Root", ui::TAlign::Client};
        ui::TControl* listControl = layout.Add(ui::ControlKind::ListView, "List", ui::TAlign::Client);
        host.SetControls(&layout);
        host.Show(SW_SHOWNORMAL);
        Pump();
        shell::TFileView list(services);
        ui::Win32ListView display(host.WindowOf(*listControl), list, host.OnException);
        list.CreateWnd();

        std::array<double, kCalls> floor{};
        const double floorMs = Median(3, [&] { floor = Floor(shell, *folder, folderList.View(), codec); });
        const double fill = Median(3, [&] {
            list.OpenFolder(folderList.View());
            UpdateWindow(display.Handle());
            Pump();
        });
        double firstSort = 0;
        const double sort = Median(5, [&] {
            const auto start = Clock::now();
            list.UserColumnClick(1);
            UpdateWindow(display.Handle());
            Pump();
            if (firstSort == 0) firstSort = Ms(Clock::now() - start);
        });
        double total = 0;
        for (double ms : floor) total += ms;
        std::printf("items: %zu\n", list.Count());
        std::printf("floor (shell calls of one fill): %.1f ms (median run %.1f ms)\n", total, floorMs);
        for (int c = 0; c < kCalls; ++c)
            std::printf("  %-16s %8.1f ms  %5.1f %%\n", kCallNames[c], floor[c], total > 0 ? 100 * floor[c] / total : 0);
        std::printf("fill into the list + paint: %.1f ms = %.2f x floor\n", fill, total > 0 ? fill / total : 0);
        std::printf("size column sort + paint: %.1f ms (first, keys made: %.1f ms)\n", sort, firstSort);
        host.DetachAll();
    }
    for (int i = 0; i < 10000; ++i)
        DeleteFileW(
            ui::WideText(platform::JoinPath(folderPath, "file" + std::to_string(i) + (i % 3 ? ".dat" : ".txt"))).c_str());
    RemoveDirectoryW(ui::WideText(folderPath).c_str());
    OleUninitialize();
    return 0;
}
