// What another program's questions cost the editor on a large document: the
// edit window holds the benchmarks' sample text (loaded from a file straight
// into its chunks, so the window's own text is the only copy), then is asked
// WM_GETTEXTLENGTH and WM_GETTEXT with a 512-unit buffer, as accessibility
// tools and test drivers ask. Prints the process's working set before, the
// peak after, and the milliseconds of each message (the length twice: the
// first count and the one kept for the text's version).
//
//   kp_gettext_bench.exe [MEGABYTES]   (default 100)

#include "bench/SampleText.h"
#include "memo/TextFile.h"
#include "memo/win32/EditWindow.h"
#include "platform/files/Win32FileSystem.h"

#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

PROCESS_MEMORY_COUNTERS Memory()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

double Mb(SIZE_T bytes) { return static_cast<double>(bytes) / (1 << 20); }

// The sample text of that size, written a megabyte at a time.
std::string WriteSample(size_t megabytes)
{
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "kp-gettext-" + std::to_string(megabytes) + "MB.txt";
    const std::string piece = kp::bench::JapaneseText(1 << 20);
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    for (size_t i = 0; i < megabytes; ++i) {
        DWORD written = 0;
        WriteFile(file, piece.data(), static_cast<DWORD>(piece.size()), &written, nullptr);
    }
    CloseHandle(file);
    return path;
}

}  // namespace

int main(int argc, char** argv)
{
    const size_t megabytes = argc > 1 ? static_cast<size_t>(std::atoi(argv[1])) : 100;
    const std::string path = WriteSample(megabytes);
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    kp::memo::EditWindow edit(parent, 1, RECT{0, 0, 600, 400});
    {
        kp::platform::Win32FileSystem files;
        edit.Control().SetText(kp::memo::LoadText(files, path));
    }
    DeleteFileA(path.c_str());
    const PROCESS_MEMORY_COUNTERS before = Memory();

    auto start = Clock::now();
    const LRESULT length = SendMessageW(edit.Handle(), WM_GETTEXTLENGTH, 0, 0);
    const double firstLengthMs = Ms(Clock::now() - start);
    start = Clock::now();
    SendMessageW(edit.Handle(), WM_GETTEXTLENGTH, 0, 0);
    const double keptLengthMs = Ms(Clock::now() - start);
    wchar_t text[512];
    start = Clock::now();
    const LRESULT got = SendMessageW(edit.Handle(), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    const double textMs = Ms(Clock::now() - start);
    const PROCESS_MEMORY_COUNTERS after = Memory();

    std::printf("%zu MB, %lld units, %lld read\n", megabytes, static_cast<long long>(length),
                static_cast<long long>(got));
    std::printf("working set before %.1f MB, peak before %.1f MB, peak after %.1f MB\n", Mb(before.WorkingSetSize),
                Mb(before.PeakWorkingSetSize), Mb(after.PeakWorkingSetSize));
    std::printf("WM_GETTEXTLENGTH %.2f ms (kept: %.3f ms), WM_GETTEXT of 512 units %.2f ms\n", firstLengthMs,
                keptLengthMs, textMs);
    DestroyWindow(parent);
    return 0;
}
