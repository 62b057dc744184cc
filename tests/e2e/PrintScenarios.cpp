// Printing to the test prefix's file printer, and the help viewer's Contents.
// The prefix's printer writes each job through its port to a PostScript file
// (scripts/wine.sh); the scenarios point that port at a file of their own and
// count the pages in the file's "%%Pages:" comment.

#include "tests/e2e/ScenarioKit.h"

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

namespace kp::e2e {

namespace {

const std::wstring kSpoolerKey = L"Software\\Wine\\Printing\\Spooler";
constexpr int kSelectionRange = 0x421;  // the print dialog's "selection" button (rad2)

void StorePrintKeys() { StoreShortCuts({{L"Print", L"Ctrl+P"}, {L"Contents", L"F1"}}); }

template <class Probe>
auto PollFor(Timeout timeout, Probe probe) -> decltype(probe())
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        auto result = probe();
        if (result || std::chrono::steady_clock::now() >= deadline) return result;
        Sleep(50);
    }
}

// Points the printer's port at a file of this scenario; its Windows path.
std::wstring RedirectPrinter()
{
    const std::wstring unixFolder = L"/tmp/kp-e2e-print-" + std::to_wstring(GetCurrentProcessId());
    std::wstring windowsFolder = L"Z:" + unixFolder;
    for (wchar_t& c : windowsFolder)
        if (c == L'/') c = L'\\';
    CreateDirectoryW(windowsFolder.c_str(), nullptr);
    WriteString(kSpoolerKey, L"LPT1:", L"|cat > '" + unixFolder + L"/printed.ps'");
    return windowsFolder + L"\\printed.ps";
}

// The pages of a finished PostScript job in the file; nothing until the
// job's trailer has arrived.
std::optional<int> PagesPrinted(const std::wstring& path, Timeout timeout = 10s)
{
    return PollFor(timeout, [&]() -> std::optional<int> {
        const std::optional<std::string> bytes = ReadBytes(path);
        if (!bytes || bytes->find("%%EOF") == std::string::npos) return std::nullopt;
        int pages = 0;
        for (size_t at = bytes->find("%%Pages:"); at != std::string::npos; at = bytes->find("%%Pages:", at + 1))
            if (const int value = std::atoi(bytes->c_str() + at + 8); value > 0) pages = value;
        return pages;
    });
}

// Runs the print dialog: checks whether it offers the selection range,
// chooses it when asked, and confirms.
void PrintThroughDialog(const Context& context, Editor& editor, HWND window, bool selectionOffered,
                        bool chooseSelection, const char* shot)
{
    PressKeys(window, {'P', WithCtrl});
    const HWND dialog = PollFor(10s, [&]() -> HWND {
        for (HWND candidate : editor.Dialogs())
            if (GetDlgItem(candidate, kSelectionRange)) return candidate;
        return nullptr;
    });
    if (!dialog) {
        Snapshot(context, "print-dialog-missing");
        std::string shown;
        for (HWND other : editor.Dialogs()) shown += " " + Quoted(WindowText(other));
        Fail("no print dialog appeared (dialogs:" + shown + ")");
    }
    const HWND selection = GetDlgItem(dialog, kSelectionRange);
    Expect(IsWindowEnabled(selection) == (selectionOffered ? TRUE : FALSE),
           selectionOffered ? "the print dialog offers no selection range" : "the print dialog offers a selection range");
    Expect(SendMessageW(GetDlgItem(dialog, 0x420), BM_GETCHECK, 0, 0) == BST_CHECKED,
           "the print dialog does not open at \"all\"");
    if (chooseSelection) {
        SendMessageW(GetDlgItem(dialog, 0x420), BM_SETCHECK, BST_UNCHECKED, 0);
        SendMessageW(selection, BM_SETCHECK, BST_CHECKED, 0);
    }
    if (shot) Snapshot(context, shot);
    ClickControl(dialog, IDOK);
    Expect(WaitForWindowGone(dialog, 10s), "the print dialog stays open");
}

// A document with a form feed prints on two pages; its first line selected
// prints on one. The document stays as it was.
void PrintsTheDocumentAndTheSelection(Context& context)
{
    ForgetSettings();
    StorePrintKeys();
    const std::wstring output = RedirectPrinter();
    const std::wstring document = TempFolder() + L"formfeed.txt";
    const std::string bytes = "first page\r\n\tafter a tab\r\n\x0csecond page\r\n";
    WriteBytes(document, bytes);
    DeleteFileW(output.c_str());

    Editor editor(context.exePath, {document});
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    PrintThroughDialog(context, editor, window, false, false, "print-dialog");
    const std::optional<int> all = PagesPrinted(output);
    Expect(all.has_value(), "nothing was printed to " + Utf8(output));
    Expect(*all == 2, "the document printed on " + std::to_string(*all) + " pages, not 2");
    CopyFileW(output.c_str(), (TempFolder() + L"print-all.ps").c_str(), FALSE);

    DeleteFileW(output.c_str());
    SendMessageW(memo, EM_SETSEL, 0, 10);  // "first page"
    PrintThroughDialog(context, editor, window, true, true, nullptr);
    const std::optional<int> selected = PagesPrinted(output);
    Expect(selected.has_value(), "the selection was not printed");
    Expect(*selected == 1, "the selection printed on " + std::to_string(*selected) + " pages, not 1");

    ExpectFileBytes(document, bytes);
    ExpectNoDialog(editor, 300ms);
    editor.Close(window);
    ExpectExitCode(editor, 0, 5s);
    DeleteFileW(output.c_str());
    RemoveDirectoryW(output.substr(0, output.rfind(L'\\')).c_str());
}

// The visible message box of any process whose text mentions `part`.
HWND BoxMentioning(const std::wstring& part)
{
    struct Search {
        std::wstring part;
        HWND found = nullptr;
    } search{part};
    EnumWindows(
        [](HWND candidate, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (IsWindowVisible(candidate) && ClassName(candidate) == L"#32770" &&
                MessageBoxText(candidate).find(s->part) != std::wstring::npos) {
                s->found = candidate;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Contents starts the help viewer, which asks where the missing help file
// is; meanwhile the editor goes on taking typing and a second Contents waits
// for the first. The viewer is then answered and left gone; asked again, it
// does not hold up closing the editor.
void ContentsLeavesTheEditorResponsive(Context& context)
{
    ForgetSettings();
    StorePrintKeys();
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    PressKeys(window, {VK_F1});
    const HWND question = PollFor(15s, [] { return BoxMentioning(L"kpad.hlp"); });
    Expect(question != nullptr, "the help viewer asked nothing about kpad.hlp");
    Snapshot(context, "help-question");

    TypeText(window, L"typed");
    ExpectMemo(memo, L"typed", {5, 5});
    PressKeys(window, {VK_F1});  // a second request waits for the first

    ClickControl(question, IDNO);
    Expect(WaitForWindowGone(question, 10s) || !IsWindowVisible(question), "the viewer's question stays");
    Expect(PollFor(10s, [] { return FindWindowW(L"MS_WINHELP", nullptr) == nullptr && !BoxMentioning(L"kpad.hlp"); }),
           "a help viewer window is left");
    ExpectNoDialog(editor, 500ms);

    // Closing the editor while the viewer still asks ends it normally.
    PressKeys(window, {VK_F1});
    const HWND again = PollFor(15s, [] { return BoxMentioning(L"kpad.hlp"); });
    Expect(again != nullptr, "the help viewer did not ask a second time");
    CloseDiscardingChanges(editor, window);
    ClickControl(again, IDNO);
    Expect(PollFor(10s, [] { return FindWindowW(L"MS_WINHELP", nullptr) == nullptr && !BoxMentioning(L"kpad.hlp"); }),
           "a help viewer window is left after the editor closed");
}

}  // namespace

const std::vector<Scenario>& PrintScenarios()
{
    static const std::vector<Scenario> scenarios = {
        {"PrintsTheDocumentAndTheSelection", PrintsTheDocumentAndTheSelection},
        {"ContentsLeavesTheEditorResponsive", ContentsLeavesTheEditorResponsive},
    };
    return scenarios;
}

}  // namespace kp::e2e
