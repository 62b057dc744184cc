// The editor's commands on one large document, driven from outside: the
// program starts kestrelpad.exe on a small file (its stored settings give the
// commands function keys and turn the backup copy on, every second), opens
// the large one through the open dialog (timed from the dialog's OK until
// the memo has painted, set beside one ReadFile of the file here), then runs
// find, replace, count, case conversion and its undo, word wrap on and
// off, typing with the backup copy written, save, and copy all, one at a
// time, each when the one before has finished. Commands go as keys through
// the editor's message loop, as a user's keys do, so the editor's own
// handler times (KP_HANDLER_TIMES, set by the caller) see them; the dialog
// buttons are pressed as a user would. Prints what this side sees: each
// step's milliseconds until the editor answers again, and the editor's peak
// working set at the end.
//
//   kp_large_doc_run.exe KESTRELPAD_EXE SMALL_FILE FILE
//   kp_large_doc_run.exe --write KILOBYTES FILE   (writes the benchmarks'
//                                                  sample text of that size)

#include "bench/SampleText.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

const wchar_t* const kSettingsKey = L"Software\\Tamarind\\Kestrelpad";

std::wstring Wide(const char* text)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n - 1 : 0), L'\0');
    if (n > 1) MultiByteToWideChar(CP_ACP, 0, text, -1, out.data(), n);
    return out;
}

void Store(const std::wstring& section, const wchar_t* name, const wchar_t* value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kSettingsKey) + L"\\" + section).c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

struct Found {
    DWORD processId;
    const wchar_t* className;
    const wchar_t* caption;
    HWND window;
};

HWND TopLevel(DWORD processId, const wchar_t* className, const wchar_t* caption = nullptr)
{
    Found found{processId, className, caption, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* f = reinterpret_cast<Found*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            wchar_t text[128] = {};
            GetWindowTextW(window, text, 128);
            if (owner == f->processId && IsWindowVisible(window) && std::wstring(name) == f->className &&
                (!f->caption || std::wstring(text) == f->caption)) {
                f->window = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.window;
}

LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 600000, &result);
    return static_cast<LRESULT>(result);
}

std::wstring Caption(HWND window)
{
    wchar_t text[512] = {};
    Ask(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

HWND WaitFor(const std::function<HWND()>& find, double timeoutMs = 600000)
{
    const auto start = Clock::now();
    for (HWND found = nullptr;; Sleep(5)) {
        if ((found = find())) return found;
        if (Ms(Clock::now() - start) > timeoutMs) return nullptr;
    }
}

class Run {
public:
    Run(const std::wstring& exe, const std::wstring& file)
    {
        std::wstring commandLine = L"\"" + exe + L"\" \"" + file + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        start_ = Clock::now();
        if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &info_)) {
            std::fprintf(stderr, "cannot start the editor (error %lu)\n", GetLastError());
            return;
        }
        main_ = WaitFor([this] { return TopLevel(info_.dwProcessId, L"TEditForm"); });
        if (main_) memo_ = WaitFor([this] { return FindWindowExW(main_, nullptr, L"KestrelpadEdit", nullptr); });
    }
    ~Run()
    {
        if (info_.hProcess) {
            TerminateProcess(info_.hProcess, 0);
            WaitForSingleObject(info_.hProcess, 10000);
            CloseHandle(info_.hThread);
            CloseHandle(info_.hProcess);
        }
    }
    bool Started() const { return memo_ != nullptr; }
    // The memo's window; the editor makes it anew when word wrap changes.
    HWND Memo()
    {
        if (!IsWindow(memo_)) memo_ = FindWindowExW(main_, nullptr, L"KestrelpadEdit", nullptr);
        return memo_;
    }
    DWORD Process() const { return info_.dwProcessId; }

    // Until the caption names the file and the memo has painted: the time
    // since the start, or since `since`.
    double WaitOpened(const std::wstring& file, std::optional<Clock::time_point> since = std::nullopt)
    {
        const Clock::time_point from = since.value_or(start_);
        const size_t slash = file.find_last_of(L"\\/:");
        const std::wstring expected = L"[" + file.substr(slash + 1) + L"]";
        for (;; Sleep(1)) {
            if (Caption(main_).find(expected) == 0) {
                Ask(Memo(), WM_NULL);
                RECT dirty;
                if (!GetUpdateRect(Memo(), &dirty, FALSE)) return Ms(Clock::now() - from);
            }
            if (Ms(Clock::now() - from) > 600000) return -1;
        }
    }
    // A key as it reaches the editor's message loop, then the time until the
    // editor answers again (its handler has returned).
    double Key(UINT key)
    {
        const auto start = Clock::now();
        PostMessageW(Memo(), WM_KEYDOWN, key, 1);
        PostMessageW(Memo(), WM_KEYUP, key, 0xC0000001);
        Settle();
        return Ms(Clock::now() - start);
    }
    // The editor's thread has taken what was posted and answers again.
    void Settle()
    {
        Sleep(50);
        Ask(Memo(), WM_NULL);
        Ask(main_, WM_NULL);
    }
    void Type(const wchar_t* text)
    {
        for (; *text; ++text) PostMessageW(Memo(), WM_CHAR, *text, 1);
        Settle();
    }
    double PeakMb() const
    {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(info_.hProcess, &counters, sizeof counters);
        return static_cast<double>(counters.PeakWorkingSetSize) / (1 << 20);
    }
    // A button of a modeless dialog pressed, then the time until the editor
    // answers again.
    double Press(HWND dialog, int id)
    {
        const auto start = Clock::now();
        PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
        Settle();
        return Ms(Clock::now() - start);
    }

private:
    PROCESS_INFORMATION info_{};
    Clock::time_point start_;
    HWND main_ = nullptr;
    HWND memo_ = nullptr;
};

// The sample text of that size, written a megabyte (at most) at a time.
int WriteSample(size_t kilobytes, const std::wstring& path)
{
    const size_t size = kilobytes << 10;
    const std::string piece = kp::bench::JapaneseText(std::min<size_t>(size, 1 << 20));
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    for (size_t left = size; left > 0;) {
        const auto n = static_cast<DWORD>(std::min(left, piece.size()));
        DWORD written = 0;
        if (!WriteFile(file, piece.data(), n, &written, nullptr) || written != n) {
            CloseHandle(file);
            return 1;
        }
        left -= n;
    }
    CloseHandle(file);
    return 0;
}

// One ReadFile of the whole file into memory allocated for it, in
// milliseconds; negative on failure.
double ReadOnce(const std::wstring& path)
{
    const auto start = Clock::now();
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    void* memory = VirtualAlloc(nullptr, static_cast<SIZE_T>(size.QuadPart) + 1, MEM_COMMIT | MEM_RESERVE,
                                PAGE_READWRITE);
    DWORD read = 0;
    const BOOL ok = memory && ReadFile(file, memory, static_cast<DWORD>(size.QuadPart), &read, nullptr);
    const double ms = Ms(Clock::now() - start);
    if (memory) VirtualFree(memory, 0, MEM_RELEASE);
    CloseHandle(file);
    return ok && read == size.QuadPart ? ms : -1;
}

void Report(const char* step, double ms)
{
    std::printf("%-22s %10.1f ms\n", step, ms);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--write")
        return WriteSample(static_cast<size_t>(std::atoll(argv[2])), Wide(argv[3]));
    if (argc < 4) {
        std::fprintf(stderr, "usage: kp_large_doc_run.exe KESTRELPAD_EXE SMALL_FILE FILE\n");
        return 2;
    }
    // The caret to the end: an offset past the text stops at its end.
    const auto toEnd = [](HWND window) { Ask(window, EM_SETSEL, INT32_MAX, INT32_MAX); };
    // Function keys for the commands (the message loop's accelerators read
    // them without modifiers), and the backup copy every second.
    Store(L"Setup", L"ShortCutSave", L"1");
    const std::pair<const wchar_t*, const wchar_t*> keys[] = {
        {L"Save", L"F2"},     {L"Undo", L"F4"},      {L"FontBig", L"F5"}, {L"FontSmall", L"F6"},
        {L"Count", L"F7"},    {L"LeftEnter", L"F8"}, {L"CopyAll", L"F9"}, {L"Find", L"F11"},
        {L"Replace", L"F12"}, {L"FindNext", L"F3"},  {L"Open", L"F1"},
    };
    for (const auto& [command, key] : keys) Store(L"ShortCutKey", command, key);
    Store(L"File", L"Backup", L"1");
    Store(L"File", L"BackupTime", L"1");

    const std::wstring small = Wide(argv[2]);
    const std::wstring file = Wide(argv[3]);
    Run run(Wide(argv[1]), small);
    if (!run.Started() || run.WaitOpened(small) < 0) return 1;

    // The large file opened through the dialog, against ReadFile here (the
    // file is in the cache after the first read, as it is for the editor).
    double readMs = -1;
    for (int i = 0; i < 3; ++i) readMs = ReadOnce(file);
    Report("one ReadFile", readMs);
    run.Key(VK_F1);
    if (HWND open = WaitFor([&] { return GetDlgItem(TopLevel(run.Process(), L"#32770"), 1148); }, 10000)) {
        open = GetParent(open);
        SetDlgItemTextW(open, 1148, file.c_str());
        const auto pressed = Clock::now();
        PostMessageW(open, WM_COMMAND, IDOK, 0);
        const double openMs = run.WaitOpened(file, pressed);
        if (openMs < 0) return 1;
        Report("open (OK to painted)", openMs);
    } else {
        std::fprintf(stderr, "no open dialog\n");
        return 1;
    }
    const LRESULT length = Ask(run.Memo(), WM_GETTEXTLENGTH);

    // Find: the dialog's button searches from the start for a text that is
    // nowhere, then F3 repeats it.
    // The find dialog has a find box (0x480) and no replace box (0x481).
    const auto findDialog = [&](bool replace) {
        return WaitFor(
            [&] {
                HWND dialog = TopLevel(run.Process(), L"#32770");
                return dialog && GetDlgItem(dialog, 0x480) && (GetDlgItem(dialog, 0x481) != nullptr) == replace
                           ? dialog
                           : nullptr;
            },
            10000);
    };
    run.Key(VK_F11);
    if (HWND find = findDialog(false)) {
        SetDlgItemTextW(find, 0x480, L"見つからない");
        Report("find (dialog)", run.Press(find, IDOK));
        PostMessageW(find, WM_COMMAND, IDCANCEL, 0);
        run.Settle();
    } else {
        std::fprintf(stderr, "no find dialog\n");
    }
    Report("find next (F3)", run.Key(VK_F3));

    // Replace: one occurrence typed at the end; the dialog searches the
    // whole text and replaces it, then it is taken back.
    toEnd(run.Memo());
    run.Type(L"\rQZQZ");
    run.Key(VK_F12);
    if (HWND replace = findDialog(true)) {
        SetDlgItemTextW(replace, 0x480, L"QZQZ");
        SetDlgItemTextW(replace, 0x481, L"ZQZQ");
        Report("replace (dialog)", run.Press(replace, 0x400));
        PostMessageW(replace, WM_COMMAND, IDCANCEL, 0);
        run.Settle();
    } else {
        std::fprintf(stderr, "no replace dialog\n");
    }
    Report("undo replace", run.Key(VK_F4));  // back to QZQZ at the end

    // Count: the handler shows its dialog once the counting is done.
    {
        const auto start = Clock::now();
        PostMessageW(run.Memo(), WM_KEYDOWN, VK_F7, 1);
        if (HWND count = WaitFor([&] { return TopLevel(run.Process(), L"#32770", L"カウント"); })) {
            Report("count (until shown)", Ms(Clock::now() - start));
            PostMessageW(count, WM_KEYDOWN, VK_RETURN, 1);
            PostMessageW(count, WM_COMMAND, IDOK, 0);
        }
        run.Settle();
    }

    Ask(run.Memo(), EM_SETSEL, 0, 0);
    Report("upper case", run.Key(VK_F5));
    Report("undo upper case", run.Key(VK_F4));
    Report("lower case", run.Key(VK_F6));
    Report("undo lower case", run.Key(VK_F4));
    Report("word wrap on", run.Key(VK_F8));
    Report("word wrap off", run.Key(VK_F8));

    // Typing at the end while the backup copy is written: each key until the
    // editor reports the new length.
    toEnd(run.Memo());
    std::vector<double> keyMs;
    LRESULT now = Ask(run.Memo(), WM_GETTEXTLENGTH);
    const auto typing = Clock::now();
    while (Ms(Clock::now() - typing) < 5000) {
        const auto typed = Clock::now();
        PostMessageW(run.Memo(), WM_CHAR, L'a', 1);
        LRESULT after = now;
        while ((after = Ask(run.Memo(), WM_GETTEXTLENGTH)) == now && Ms(Clock::now() - typed) < 10000) Sleep(1);
        if (after == now) {
            std::printf("a key typed did not reach the memo\n");
            break;
        }
        keyMs.push_back(Ms(Clock::now() - typed));
        now = after;
        Sleep(20);
    }
    double slowest = 0, total = 0;
    for (const double ms : keyMs) {
        slowest = std::max(slowest, ms);
        total += ms;
    }
    Report("key, mean of 5 s", keyMs.empty() ? 0 : total / static_cast<double>(keyMs.size()));
    Report("key, slowest", slowest);

    Report("save", run.Key(VK_F2));
    std::printf("editor's peak working set before copy all %.1f MB\n", run.PeakMb());

    // Copy all last: the whole text goes to the platform's clipboard, which
    // may keep the editor waiting; the wait is bounded here.
    {
        const auto start = Clock::now();
        PostMessageW(run.Memo(), WM_KEYDOWN, VK_F9, 1);
        Sleep(50);
        DWORD_PTR result = 0;
        if (SendMessageTimeoutW(run.Memo(), WM_NULL, 0, 0, SMTO_NORMAL, 120000, &result))
            Report("copy all", Ms(Clock::now() - start));
        else
            std::printf("copy all: no answer within 120 s\n");
    }
    std::printf("document %lld units at open; editor's peak working set %.1f MB\n", static_cast<long long>(length),
                run.PeakMb());
    return 0;
}
