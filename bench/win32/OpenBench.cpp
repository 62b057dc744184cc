// What opening a document and typing at its end cost in the real program,
// measured from outside like a user would see it: kestrelpad.exe is started
// with a file on its command line, and the time runs until its main window
// shows the file's name and the memo has painted. Then characters are typed
// at the end of the text one at a time, each until the memo answers
// WM_GETTEXTLENGTH with the new length: posted, as typing arrives, with the
// length asked every millisecond ("key ms"), and sent, with the memo
// repainted before the length is asked ("sent ms"). For comparison, one ReadFile of the
// whole file into fresh memory is timed too, and the editor's loading of the
// file into a text (LoadText) in this process: the first time ("cold"), and
// the median of five. The peak working set of the
// editor's process is read with GetProcessMemoryInfo once it has opened the
// file.
//
//   kp_open_bench.exe KESTRELPAD_EXE [FILE...] [--launches N] [--keys N]
//
// Without files it writes the benchmarks' sample text (bench/SampleText.h) of
// 1 KB and 100 MB into the temporary folder and uses those. Prints one line
// per file with medians (and the fastest opening) in milliseconds and
// megabytes.

#include "bench/SampleText.h"
#include "memo/TextFile.h"
#include "platform/files/Win32FileSystem.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> values)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::wstring Wide(const char* text)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n - 1 : 0), L'\0');
    if (n > 1) MultiByteToWideChar(CP_ACP, 0, text, -1, out.data(), n);
    return out;
}

std::wstring FileName(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::string Utf8(const std::wstring& text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    return out;
}

// The editor's own loading of the file into a text, in this process.
double TimeLoadText(const std::wstring& path)
{
    kp::platform::Win32FileSystem files;
    const auto start = Clock::now();
    const kp::memo::TextSnapshot text = kp::memo::LoadText(files, Utf8(path));
    return Ms(Clock::now() - start);
}

// One ReadFile of the whole file into memory allocated for it, as a program
// that reads a file at once pays it. Milliseconds; negative on failure.
double TimeOneReadFile(const std::wstring& path, uint64_t& size)
{
    const auto start = Clock::now();
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    LARGE_INTEGER length{};
    GetFileSizeEx(file, &length);
    size = static_cast<uint64_t>(length.QuadPart);
    void* memory = VirtualAlloc(nullptr, size + 1, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    DWORD read = 0;
    const BOOL ok = memory && ReadFile(file, memory, static_cast<DWORD>(size), &read, nullptr);
    const double elapsed = Ms(Clock::now() - start);
    if (memory) VirtualFree(memory, 0, MEM_RELEASE);
    CloseHandle(file);
    return ok && read == size ? elapsed : -1;
}

struct Found {
    DWORD processId;
    HWND window;
};

HWND MainWindowOf(DWORD processId)
{
    Found found{processId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* f = reinterpret_cast<Found*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (owner == f->processId && IsWindowVisible(window) && std::wstring(name) == L"TEditForm") {
                f->window = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.window;
}

std::wstring Caption(HWND window)
{
    wchar_t text[512] = {};
    DWORD_PTR got = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &got);
    return text;
}

LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 60000, &result);
    return static_cast<LRESULT>(result);
}

struct Run {
    double openMs = -1;
    double peakMb = 0;
    double workingMb = 0;
    std::vector<double> keyMs;
    std::vector<double> sentKeyMs;
};

// Starts the editor with path and waits until it shows the document.
Run Launch(const std::wstring& exe, const std::wstring& path, uint64_t size, int keys, double timeoutMs)
{
    Run run;
    std::wstring commandLine = L"\"" + exe + L"\" \"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const auto start = Clock::now();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        std::fprintf(stderr, "cannot start the editor (error %lu)\n", GetLastError());
        return run;
    }
    const std::wstring expected = L"[" + FileName(path) + L"]";
    HWND main = nullptr;
    HWND memo = nullptr;
    for (;;) {
        if (Ms(Clock::now() - start) > timeoutMs) break;
        if (!main) main = MainWindowOf(info.dwProcessId);
        if (main && !memo) memo = FindWindowExW(main, nullptr, L"KestrelpadEdit", nullptr);
        if (memo && Caption(main).find(expected) == 0) {
            // Past loading; the memo has painted once nothing is left to paint.
            Ask(memo, WM_NULL);
            RECT dirty;
            if (!GetUpdateRect(memo, &dirty, FALSE)) {
                run.openMs = Ms(Clock::now() - start);
                break;
            }
        }
        Sleep(1);
    }
    if (run.openMs >= 0) {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        if (GetProcessMemoryInfo(info.hProcess, &counters, sizeof counters)) {
            run.peakMb = static_cast<double>(counters.PeakWorkingSetSize) / (1 << 20);
            run.workingMb = static_cast<double>(counters.WorkingSetSize) / (1 << 20);
        }
        if (keys > 0) {
            // The caret to the end of the text (positions are byte offsets)
            // and a line break typed there (a text may end in a lead byte,
            // which would pair with the first letter); then one key at a time.
            Ask(memo, EM_SETSEL, static_cast<WPARAM>(size), static_cast<LPARAM>(size));
            LRESULT length = Ask(memo, WM_GETTEXTLENGTH);
            PostMessageW(memo, WM_CHAR, L'\r', 1);
            for (const auto typed = Clock::now(); Ask(memo, WM_GETTEXTLENGTH) == length;) {
                if (Ms(Clock::now() - typed) > timeoutMs) break;
                Sleep(1);
            }
            length = Ask(memo, WM_GETTEXTLENGTH);
            for (int k = 0; k < keys; ++k) {
                const auto typed = Clock::now();
                PostMessageW(memo, WM_CHAR, L'a' + k % 26, 1);
                LRESULT now = 0;
                // A pause between questions, or the sent messages would keep
                // the posted character waiting behind them.
                while ((now = Ask(memo, WM_GETTEXTLENGTH)) == length) {
                    if (Ms(Clock::now() - typed) > timeoutMs) break;
                    Sleep(1);
                }
                if (now != length + 1) {
                    std::fprintf(stderr, "typing gave a length of %lld after %lld\n", static_cast<long long>(now),
                                 static_cast<long long>(length));
                    break;
                }
                run.keyMs.push_back(Ms(Clock::now() - typed));
                length = now;
            }
            // The same without polling: each character sent, the memo
            // repainted at once, then its length read.
            for (int k = 0; k < keys; ++k) {
                const auto typed = Clock::now();
                Ask(memo, WM_CHAR, L'a' + k % 26, 1);
                RedrawWindow(memo, nullptr, nullptr, RDW_UPDATENOW);
                const LRESULT now = Ask(memo, WM_GETTEXTLENGTH);
                if (now != length + 1) {
                    std::fprintf(stderr, "typing gave a length of %lld after %lld\n", static_cast<long long>(now),
                                 static_cast<long long>(length));
                    break;
                }
                run.sentKeyMs.push_back(Ms(Clock::now() - typed));
                length = now;
            }
        }
    } else {
        std::fprintf(stderr, "the editor did not show the document within %.0f ms\n", timeoutMs);
    }
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 10000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return run;
}

// The sample text of that size in the temporary folder.
std::wstring WriteSample(size_t size, const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + name;
    const std::string text = kp::bench::JapaneseText(size);
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE || !WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
        std::fprintf(stderr, "cannot write the sample text\n");
    CloseHandle(file);
    return path;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: kp_open_bench.exe KESTRELPAD_EXE [FILE...] [--launches N] [--keys N]\n");
        return 2;
    }
    int launches = 5;
    int keys = 20;
    std::vector<std::wstring> files;
    const std::wstring exe = Wide(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--launches" && i + 1 < argc) launches = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--keys" && i + 1 < argc) keys = std::max(0, std::atoi(argv[++i]));
        else files.push_back(Wide(argv[i]));
    }
    if (files.empty()) files = {WriteSample(1 << 10, L"kp-open-1KB.txt"), WriteSample(100 << 20, L"kp-open-100MB.txt")};
    std::printf("%-20s %7s %9s %9s %9s %9s %9s %9s %9s %9s %9s\n", "file", "MB", "ReadFile", "LoadText", "cold",
                "open", "open min", "peak MB", "after MB", "key ms", "sent ms");
    for (const std::wstring& path : files) {
        uint64_t size = 0;
        std::vector<double> reads;
        std::vector<double> loads;
        const double coldLoad = TimeLoadText(path);  // before this process has any heap to reuse
        for (int i = 0; i < 5; ++i) {
            const double ms = TimeOneReadFile(path, size);
            if (ms >= 0) reads.push_back(ms);
            loads.push_back(TimeLoadText(path));
        }
        std::vector<double> opens;
        std::vector<double> peaks;
        std::vector<double> after;
        std::vector<double> keyMs;
        std::vector<double> sentKeyMs;
        for (int i = 0; i < launches; ++i) {
            // Keys are typed in the last launch only; the others time opening.
            const Run run = Launch(exe, path, size, i + 1 == launches ? keys : 0, 120000);
            if (run.openMs < 0) return 1;
            opens.push_back(run.openMs);
            peaks.push_back(run.peakMb);
            after.push_back(run.workingMb);
            keyMs.insert(keyMs.end(), run.keyMs.begin(), run.keyMs.end());
            sentKeyMs.insert(sentKeyMs.end(), run.sentKeyMs.begin(), run.sentKeyMs.end());
        }
        char name[256];
        WideCharToMultiByte(CP_UTF8, 0, FileName(path).c_str(), -1, name, sizeof name, nullptr, nullptr);
        std::printf("%-20s %7.1f %9.2f %9.2f %9.2f %9.1f %9.1f %9.1f %9.1f %9.2f %9.2f\n", name,
                    static_cast<double>(size) / (1 << 20), Median(reads), Median(loads), coldLoad, Median(opens),
                    *std::min_element(opens.begin(), opens.end()), Median(peaks), Median(after), Median(keyMs),
                    Median(sentKeyMs));
        std::fflush(stdout);
    }
    return 0;
}
