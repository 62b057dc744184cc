// The file list on the platform's shell and list control: a folder of 10,000
// files filled into the real list, against the floor of the shell calls such
// a fill needs (the walk, names, attributes, find data, icons, type names
// through a per-extension cache, the shell-order sort), measured in the same
// run; then sorts by the size and type columns; then a folder of 1,000
// subfolders expanded by a double-click in the folder tree while another
// thread measures how long the window takes to answer, and the same folder
// expanded by the program (read at once). Prints medians in milliseconds and each
// call's share of the floor.
//
//   kp_shell_views_bench.exe [--no-floor]
//
// --no-floor leaves out the floor, which takes minutes under Wine (each icon
// lookup takes milliseconds there).

#include "platform/clock/Win32Clock.h"
#include "platform/codec/Win32Cp932Codec.h"
#include "platform/files/Win32FileSystem.h"
#include "platform/locale/Win32DateTimeLocale.h"
#include "platform/locale/Win32LocaleCompare.h"
#include "platform/shell/Win32ShellNamespace.h"
#include "shell/FileView.h"
#include "shell/FolderView.h"
#include "shell/ShellItems.h"
#include "ui/sim/SimMessageDialogs.h"
#include "ui/win32/Win32FormHost.h"
#include "ui/win32/Win32Common.h"
#include "ui/win32/Win32ListView.h"
#include "ui/win32/Win32TreeView.h"

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

// Keeps the window answering for a while.
void PumpFor(int ms)
{
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < until) {
        Pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Where the run is, on standard error, as it goes.
void Progress(const char* step)
{
    static const auto start = Clock::now();
    std::fprintf(stderr, "[%8.0f ms] %s\n", Ms(Clock::now() - start), step);
    std::fflush(stderr);
}

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
        if (&child - children.data() == 1000) {
            std::fprintf(stderr, "  1000 items:");
            for (int c = 0; c < kSort; ++c) std::fprintf(stderr, " %s %.0f ms,", kCallNames[c], spent[c]);
            std::fprintf(stderr, "\n");
        }
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
    for (int c = 0; c < kSort; ++c) std::fprintf(stderr, "  %s %.0f ms\n", kCallNames[c], spent[c]);
    timed(kSort, [&] {
        std::vector<const IdList*> order;
        for (const IdList& child : children) order.push_back(&child);
        std::stable_sort(order.begin(), order.end(), [&](const IdList* a, const IdList* b) {
            return shell::CompareIDLists(folder, a->View(), b->View()) < 0;
        });
    });
    return spent;
}

// Runs a shell script on the Unix side under Wine, with the Unix form of a
// folder as $1; false when not under Wine or it failed. Wine looks through
// the whole folder for each name that is not there yet, so 10,000 files
// made one by one through the Win32 calls take minutes; made here, seconds.
bool RunUnixScript(const char* script, const std::string& folder)
{
    using Spawn = LONG(CDECL*)(char* const argv[], int wait);
    using UnixName = char*(CDECL*)(LPCWSTR);
    const FARPROC spawnProc = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp");
    const FARPROC nameProc = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    if (!spawnProc || !nameProc) return false;
    const auto spawn = reinterpret_cast<Spawn>(reinterpret_cast<void (*)()>(spawnProc));
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(nameProc));
    char* unixFolder = unixName(ui::WideText(folder).c_str());
    if (!unixFolder) return false;
    char* argv[] = {const_cast<char*>("/bin/sh"), const_cast<char*>("-c"), const_cast<char*>(script),
                    const_cast<char*>("sh"), unixFolder, nullptr};
    const bool ran = spawn(argv, 1) == 0;
    HeapFree(GetProcessHeap(), 0, unixFolder);
    return ran;
}

std::string FileName(int i) { return "file" + std::to_string(i) + (i % 3 ? ".dat" : ".txt"); }

// 10,000 files of 0 to 2,999 bytes, a third of them .txt.
void MakeFiles(const std::string& folder)
{
    CreateDirectoryW(ui::WideText(folder).c_str(), nullptr);
    constexpr const char* kScript =
        "cd \"$1\" && i=0; while [ $i -lt 10000 ]; do if [ $((i % 3)) -eq 0 ]; then e=txt; else e=dat; fi; "
        "printf \"%$((i % 3000))s\" '' > file$i.$e || exit 1; i=$((i + 1)); done";
    if (RunUnixScript(kScript, folder)) return;
    for (int i = 0; i < 10000; ++i) {
        const std::string path = platform::JoinPath(folder, FileName(i));
        HANDLE file = CreateFileW(ui::WideText(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        const std::string bytes(static_cast<size_t>(i % 3000), 'x');
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
}

// 1,000 empty subfolders.
void MakeSubfolders(const std::string& folder)
{
    CreateDirectoryW(ui::WideText(folder).c_str(), nullptr);
    constexpr const char* kScript =
        "cd \"$1\" && i=0; while [ $i -lt 1000 ]; do mkdir -p sub$i || exit 1; i=$((i + 1)); done";
    if (RunUnixScript(kScript, folder)) return;
    for (int i = 0; i < 1000; ++i)
        CreateDirectoryW(ui::WideText(platform::JoinPath(folder, "sub" + std::to_string(i))).c_str(), nullptr);
}

void RemoveFolder(const std::string& folder)
{
    if (RunUnixScript("rm -rf \"$1\"", folder)) return;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(ui::WideText(platform::JoinPath(folder, "*")).c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring path = ui::WideText(folder) + L"\\" + data.cFileName;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryW(path.c_str());
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(ui::WideText(folder).c_str());
}

// Answers to messages sent to a window from another thread while the
// window's thread works: the longest wait for one answer.
class ResponsivenessProbe {
public:
    explicit ResponsivenessProbe(HWND window) : window_(window)
    {
        thread_ = CreateThread(nullptr, 0, &ResponsivenessProbe::Run, this, 0, nullptr);
    }
    ~ResponsivenessProbe() { Stop(); }
    void Stop()
    {
        if (!thread_) return;
        stop_ = true;
        // A message sent meanwhile is answered: the wait does not count.
        while (MsgWaitForMultipleObjects(1, &thread_, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
            MSG message;
            PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
        }
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    double LongestMs() const { return longest_; }
    int Answers() const { return answers_; }

private:
    static DWORD WINAPI Run(void* self)
    {
        auto& probe = *static_cast<ResponsivenessProbe*>(self);
        while (!probe.stop_) {
            const auto start = Clock::now();
            DWORD_PTR result = 0;
            SendMessageTimeoutW(probe.window_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
            probe.longest_ = std::max(probe.longest_, Ms(Clock::now() - start));
            ++probe.answers_;
            Sleep(5);
        }
        return 0;
    }

    HWND window_;
    HANDLE thread_ = nullptr;
    volatile bool stop_ = false;
    double longest_ = 0;
    int answers_ = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    bool measureFloor = true;
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--no-floor") measureFloor = false;
    OleInitialize(nullptr);
    const std::string temp = platform::Win32FileSystem::TempFolder();
    const std::string folderPath = platform::JoinPath(temp, "kp-shell-bench");
    const std::string treePath = platform::JoinPath(temp, "kp-shell-bench-tree");
    Progress("making 10,000 files and 1,000 folders");
    MakeFiles(folderPath);
    MakeSubfolders(treePath);
    {
        Progress("files made");
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
        ui::TControl* treeControl = layout.Add(ui::ControlKind::TreeView, "Tree", ui::TAlign::Left, 200);
        ui::TControl* listControl = layout.Add(ui::ControlKind::ListView, "List", ui::TAlign::Client);
        host.SetControls(&layout);
        host.Show(SW_SHOWNORMAL);
        Pump();
        shell::TFileView list(services);
        ui::Win32ListView display(host.WindowOf(*listControl), list, host.OnException);
        list.CreateWnd();

        Progress("window shown");
        std::array<double, kCalls> floor{};
        // Under Wine each icon takes milliseconds, so the floor and the fill
        // take minutes: one run of each.
        const double floorMs =
            measureFloor ? Median(1, [&] { floor = Floor(shell, *folder, folderList.View(), codec); }) : 0;
        Progress("floor measured");
        const double fill = Median(1, [&] {
            list.OpenFolder(folderList.View());
            UpdateWindow(display.Handle());
            Pump();
        });
        Progress("fill measured");
        // Sorted and painted (rows in their new order, icons of rows not
        // drawn before still coming), then with every icon in.
        double firstSort = 0, firstShown = 0;
        std::vector<double> shown;
        const double sort = Median(5, [&] {
            const auto start = Clock::now();
            list.UserColumnClick(1);
            UpdateWindow(display.Handle());
            shown.push_back(Ms(Clock::now() - start));
            Pump();
            if (firstSort == 0) firstSort = Ms(Clock::now() - start), firstShown = shown.front();
        });
        std::sort(shown.begin(), shown.end());
        const double typeSort = Median(5, [&] {
            list.UserColumnClick(2);
            UpdateWindow(display.Handle());
            Pump();
        });
        Progress("sorts measured");

        // The tree: a folder of 1,000 subfolders expanded while another
        // thread keeps asking the window for answers.
        shell::TFolderView tree(services);
        ui::Win32TreeView treeDisplay(host.WindowOf(*treeControl), tree, host.OnException);
        tree.CreateWnd();
        tree.Loaded();
        Pump();
        std::vector<double> expansions, waits, programExpansions;
        size_t children = 0;
        for (int run = 0; run < 3; ++run) {
            tree.RebuildTree();
            tree.SetSelectedPath(treePath);
            Pump();
            ui::TTreeNode* node = tree.Selected();
            if (!node) break;
            TreeView_EnsureVisible(treeDisplay.Handle(), static_cast<HTREEITEM>(node->DisplayHandle()));
            UpdateWindow(treeDisplay.Handle());
            ResponsivenessProbe probe(host.Handle());
            PumpFor(50);
            // The user's double-click on the node: the control asks for the
            // expansion, and the children are read between messages.
            const RECT rect = treeDisplay.ItemRect(*node);
            const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
            const auto start = Clock::now();
            PostMessageW(treeDisplay.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageW(treeDisplay.Handle(), WM_LBUTTONUP, 0, at);
            PostMessageW(treeDisplay.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
            PostMessageW(treeDisplay.Handle(), WM_LBUTTONUP, 0, at);
            const auto until = start + std::chrono::seconds(120);
            while (!node->Expanded() && Clock::now() < until) {
                Pump();
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            }
            UpdateWindow(treeDisplay.Handle());
            Pump();
            expansions.push_back(Ms(Clock::now() - start));
            PumpFor(50);
            probe.Stop();
            waits.push_back(probe.LongestMs());
            children = node->Count();

            // The program's own expansion reads at once.
            tree.RebuildTree();
            tree.SetSelectedPath(treePath);
            Pump();
            if (ui::TTreeNode* again = tree.Selected()) {
                const auto at_once = Clock::now();
                tree.Expand(*again);
                UpdateWindow(treeDisplay.Handle());
                Pump();
                programExpansions.push_back(Ms(Clock::now() - at_once));
            }
        }
        std::sort(expansions.begin(), expansions.end());
        std::sort(waits.begin(), waits.end());
        std::sort(programExpansions.begin(), programExpansions.end());
        Progress("expansion measured");

        double total = 0;
        for (double ms : floor) total += ms;
        std::printf("items: %zu\n", list.Count());
        std::printf("floor (shell calls of one fill): %.1f ms (median run %.1f ms)\n", total, floorMs);
        for (int c = 0; c < kCalls; ++c)
            std::printf("  %-16s %8.1f ms  %5.1f %%\n", kCallNames[c], floor[c], total > 0 ? 100 * floor[c] / total : 0);
        std::printf("fill into the list + paint: %.1f ms = %.2f x floor\n", fill, total > 0 ? fill / total : 0);
        std::printf("size column sort + paint: %.1f ms shown, %.1f ms with every icon (first: %.1f ms shown, %.1f ms "
                    "with every icon)\n",
                    shown[shown.size() / 2], sort, firstShown, firstSort);
        std::printf("type column sort + paint: %.1f ms\n", typeSort);
        if (!expansions.empty())
            std::printf("expanding %zu subfolders by double-click: %.1f ms (median of %zu); longest wait for an "
                        "answer: %.1f ms median, %.1f ms worst\n",
                        children, expansions[expansions.size() / 2], expansions.size(), waits[waits.size() / 2],
                        waits.back());
        if (!programExpansions.empty())
            std::printf("expanding them at once (the program's expansion): %.1f ms (median of %zu)\n",
                        programExpansions[programExpansions.size() / 2], programExpansions.size());
        host.DetachAll();
    }
    RemoveFolder(folderPath);
    RemoveFolder(treePath);
    OleUninitialize();
    return 0;
}
