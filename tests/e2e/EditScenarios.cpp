// The editing commands, the status bar and the backup copy, as a user meets
// them. The commands without a default shortcut get one from the stored
// shortcuts: the Edit menu's access keys repeat, so they cannot pick every item.

#include "tests/e2e/ScenarioKit.h"

#include <optional>
#include <string>

namespace kp::e2e {

namespace {

constexpr WORD kDateTimeKey = VK_F5;
constexpr WORD kAddCopyKey = VK_F6;
constexpr WORD kFontBigKey = VK_F7;

void StoreCommandKeys()
{
    StoreShortCuts({{L"DateTime", L"F5"}, {L"AddCopy", L"F6"}, {L"FontBig", L"F7"}});
}

// ---- Date-time stamp -------------------------------------------------------------

// Local times as whole seconds, so that every second between two readings of
// the clock can be listed.
ULONGLONG SecondsOf(const SYSTEMTIME& time)
{
    FILETIME file = {};
    Expect(SystemTimeToFileTime(&time, &file), "SystemTimeToFileTime failed");
    return ((ULONGLONG{file.dwHighDateTime} << 32) | file.dwLowDateTime) / 10'000'000;
}

SYSTEMTIME TimeAt(ULONGLONG seconds)
{
    const ULONGLONG ticks = seconds * 10'000'000;
    const FILETIME file = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME time = {};
    Expect(FileTimeToSystemTime(&file, &time), "FileTimeToSystemTime failed");
    return time;
}

std::wstring Digits(unsigned value, size_t width)
{
    std::wstring text = std::to_wstring(value);
    if (text.size() < width) text.insert(0, width - text.size(), L'0');
    return text;
}

std::wstring TimeOfDay(const SYSTEMTIME& t)
{
    return Digits(t.wHour, 2) + L':' + Digits(t.wMinute, 2) + L':' + Digits(t.wSecond, 2);
}

// The default patterns "yy/mm/dd" and "hh:nn:ss".
std::wstring DefaultStamp(const SYSTEMTIME& t)
{
    return Digits(t.wYear % 100, 2) + L'/' + Digits(t.wMonth, 2) + L'/' + Digits(t.wDay, 2) + L' ' + TimeOfDay(t);
}

// The abbreviated day name of the user's locale (Monday first in its list).
std::wstring AbbreviatedDayName(const SYSTEMTIME& t)
{
    wchar_t name[64] = {};
    const int length =
        GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SABBREVDAYNAME1 + (t.wDayOfWeek + 6) % 7, name, 64);
    Expect(length > 1, "the locale has no abbreviated day name");
    return name;
}

// The date list's entry yyyy"年"mm"月"dd"日"(aaa) with the default time.
const std::wstring kLongDatePattern = L"yyyy\"年\"mm\"月\"dd\"日\"(aaa)";
std::wstring LongDateStamp(const SYSTEMTIME& t)
{
    return Digits(t.wYear, 4) + L"年" + Digits(t.wMonth, 2) + L"月" + Digits(t.wDay, 2) + L"日(" +
           AbbreviatedDayName(t) + L") " + TimeOfDay(t);
}

// Presses the stamp's key and checks that the memo then holds the stamp of a
// second between the press and the change (either day, across midnight) in
// front of `following`, with the caret at 0 and nothing selected.
void ExpectStampInFront(HWND window, HWND memo, const std::wstring& following,
                        std::wstring (*stamp)(const SYSTEMTIME&))
{
    const std::wstring before = WindowText(memo);
    SYSTEMTIME first = {};
    GetLocalTime(&first);
    PressKeys(window, {kDateTimeKey});
    for (int attempt = 0; attempt < 40 && WindowText(memo) == before; ++attempt) Sleep(50);
    SYSTEMTIME last = {};
    GetLocalTime(&last);
    const std::wstring text = WindowText(memo);
    bool found = false;
    for (ULONGLONG s = SecondsOf(first); s <= SecondsOf(last) && !found; ++s)
        found = text == stamp(TimeAt(s)) + following;
    Expect(found, "the memo holds " + Quoted(text) + ", not a stamp from " + Quoted(stamp(first)) + " to " +
                      Quoted(stamp(last)) + " followed by " + Quoted(following));
    const auto [start, end] = Selection(memo);
    Expect(start == 0 && end == 0,
           "selection " + std::to_string(start) + "-" + std::to_string(end) + " after the stamp, not 0-0");
}

void StampInsertsTodayInFrontOfTheCaret(Context& context)
{
    ForgetSettings();
    StoreCommandKeys();
    {
        Editor editor(context.exePath);
        const HWND window = editor.WaitForMainWindow();
        const HWND memo = WaitForMemo(window);
        ExpectStampInFront(window, memo, L"", DefaultStamp);
        CloseDiscardingChanges(editor, window);
    }
    // A date pattern from the list, with the day name; a selected word
    // follows the stamp and stays in the text.
    WriteString(kSettingsKey + L"\\SetUp", L"Date", kLongDatePattern);
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    TypeText(window, L"word");
    PressKeys(window, {VK_HOME, WithShift});
    ExpectMemo(memo, L"word", {0, 4});
    ExpectStampInFront(window, memo, L"word", LongDateStamp);
    CloseDiscardingChanges(editor, window);
}

// ---- Additive copy ---------------------------------------------------------------

void AddCopyCollectsSelectionsOnTheClipboard(Context& context)
{
    ForgetSettings();
    StoreCommandKeys();
    ClearClipboard();
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    TypeText(window, L"abc def");
    ExpectMemo(memo, L"abc def", {7, 7});

    // Nothing selected: the clipboard is left alone, not given an empty text.
    PressKeys(window, {kAddCopyKey});
    PressKeys(window, {VK_HOME});
    for (int i = 0; i < 3; ++i) PressKeys(window, {VK_RIGHT, WithShift});
    ExpectMemo(memo, L"abc def", {0, 3});
    const std::optional<std::wstring> untouched = ClipboardText();
    Expect(!untouched, "additive copy of nothing put " + Quoted(untouched.value_or(L"")) + " on the clipboard");

    PressKeys(window, {kAddCopyKey});
    ExpectClipboard(L"abc");
    PressKeys(window, {VK_END});
    for (int i = 0; i < 3; ++i) PressKeys(window, {VK_LEFT, WithShift});
    ExpectMemo(memo, L"abc def", {4, 7});
    PressKeys(window, {kAddCopyKey});
    ExpectClipboard(L"abcdef");
    ExpectMemo(memo, L"abc def", {4, 7});

    // Another program's text keeps what code page 932 cannot hold.
    const std::wstring foreign = L"ä€\U0001D11E";
    SetClipboardText(foreign);
    PressKeys(window, {kAddCopyKey});
    ExpectClipboard(foreign + L"def");
    ExpectMemo(memo, L"abc def", {4, 7});
    CloseDiscardingChanges(editor, window);
}

// ---- Crop, line delete, additive cut, cut all -----------------------------------

// Waits for the memo to hold the text, whatever the selection.
void ExpectText(HWND memo, const std::wstring& text)
{
    for (int attempt = 0; attempt < 40 && WindowText(memo) != text; ++attempt) Sleep(50);
    const std::wstring got = WindowText(memo);
    Expect(got == text, "memo holds " + Quoted(got) + ", not " + Quoted(text));
}

void CropDeleteAndCutsTakeOnlyTheirText(Context& context)
{
    ForgetSettings();
    StoreShortCuts({{L"Cutting", L"F8"}, {L"Delete", L"F9"}, {L"AddCut", L"F11"}, {L"CutAll", L"F12"}});
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    const std::wstring text = L"one\r\n二two\r\nthree";
    TypeText(window, L"one");
    PressKeys(window, {VK_RETURN});
    TypeText(window, L"二two");
    PressKeys(window, {VK_RETURN});
    TypeText(window, L"three");
    ExpectMemo(memo, text, {17, 17});

    // The caret's line goes with its line break; on the last line the break
    // before it stays.
    PressKeys(window, {VK_UP});
    PressKeys(window, {VK_F9});
    ExpectText(memo, L"one\r\nthree");
    PressKeys(window, {'Z', WithCtrl});
    ExpectText(memo, text);
    PressKeys(window, {VK_END, WithCtrl});
    PressKeys(window, {VK_F9});
    ExpectText(memo, L"one\r\n二two\r\n");
    PressKeys(window, {'Z', WithCtrl});
    ExpectText(memo, text);

    // Crop to "two", and one undo brings the whole text back.
    PressKeys(window, {VK_HOME, WithCtrl});
    PressKeys(window, {VK_DOWN});
    PressKeys(window, {VK_RIGHT});
    PressKeys(window, {VK_END, WithShift});
    ExpectMemo(memo, text, {7, 10});
    PressKeys(window, {VK_F8});
    ExpectMemo(memo, L"two", {0, 0});
    PressKeys(window, {'Z', WithCtrl});
    ExpectText(memo, text);

    SetClipboardText(L"X");
    PressKeys(window, {VK_HOME, WithCtrl});
    PressKeys(window, {VK_END, WithShift});
    ExpectMemo(memo, text, {0, 3});
    PressKeys(window, {VK_F11});
    ExpectClipboard(L"Xone");
    ExpectMemo(memo, L"\r\n二two\r\nthree", {0, 0});
    PressKeys(window, {VK_F12});
    ExpectMemo(memo, L"", {0, 0});
    ExpectClipboard(L"\r\n二two\r\nthree");
    CloseDiscardingChanges(editor, window);
}

// ---- Case conversion -------------------------------------------------------------

void FontBigChangesOnlyTheLettersOfASavedFile(Context& context)
{
    ForgetSettings();
    StoreCommandKeys();
    const std::wstring path = TempFolder() + L"大文字.txt";
    // Letters among kana whose trail bytes are letters (ア 83 41, ャ 83 61),
    // half-width ｱ, ED 40 (a code with a twin elsewhere in the code page) and
    // the unassigned pair 85 40.
    const std::string original =
        "ab\x82\xA0\x83\x41\xB1z\r\n\xED\x40q\x85\x40Mx\x83\x61y";
    const std::string upper = "AB\x82\xA0\x83\x41\xB1Z\r\n\xED\x40Q\x85\x40MX\x83\x61Y";
    WriteBytes(path, original);
    Editor editor(context.exePath, {path});
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    PressKeys(window, {VK_END, WithCtrl});
    const int end = static_cast<int>(original.size());
    for (int attempt = 0; attempt < 40 && Selection(memo) != std::pair{end, end}; ++attempt) Sleep(50);

    PressKeys(window, {kFontBigKey});
    PressKeys(window, {'S', WithCtrl});
    ExpectFileBytes(path, upper);
    const auto [start, stop] = Selection(memo);
    Expect(start == end && stop == end, "the caret moved to " + std::to_string(start) + "-" + std::to_string(stop));

    // One undo brings back every byte.
    PressKeys(window, {'Z', WithCtrl});
    PressKeys(window, {'S', WithCtrl});
    ExpectFileBytes(path, original);
    editor.Close(window);
    ExpectExitCode(editor, 0, 5s);
}

// ---- Status bar ------------------------------------------------------------------

void StatusBarFollowsCaretInsertAndMouse(Context& context)
{
    ForgetSettings();
    const std::wstring path = TempFolder() + L"状態.txt";
    WriteBytes(path, "");
    SetClipboardText(L"P");
    ParkMouse();
    Editor editor(context.exePath, {path});
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    const HWND status = StatusBarOf(window);
    ExpectStatus(editor, status, 0, L"1行　　1桁");
    ExpectStatus(editor, status, 1, L"挿入");
    ExpectStatus(editor, status, 2, path);

    TypeText(window, L"ab");
    PressKeys(window, {VK_RETURN});
    TypeText(window, L"cd日本");
    ExpectMemo(memo, L"ab\r\ncd日本", {10, 10});
    ExpectStatus(editor, status, 0, L"2行　　7桁");
    PressKeys(window, {VK_LEFT});
    ExpectStatus(editor, status, 0, L"2行　　5桁");
    // With a selection the panel shows where it starts, not the caret.
    PressKeys(window, {VK_END, WithShift});
    ExpectMemo(memo, L"ab\r\ncd日本", {8, 10});
    Sleep(200);
    ExpectStatus(editor, status, 0, L"2行　　5桁");
    PressKeys(window, {VK_HOME, WithShift});
    ExpectMemo(memo, L"ab\r\ncd日本", {4, 8});
    ExpectStatus(editor, status, 0, L"2行　　1桁");
    PressKeys(window, {VK_UP});
    ExpectStatus(editor, status, 0, L"1行　　1桁");

    PressKeys(window, {VK_INSERT});
    ExpectStatus(editor, status, 1, L"上書");
    TypeText(window, L"X");
    ExpectMemo(memo, L"Xb\r\ncd日本", {1, 1});
    ExpectStatus(editor, status, 0, L"1行　　2桁");
    PressKeys(window, {VK_INSERT});
    ExpectStatus(editor, status, 1, L"挿入");
    // Shift+Insert pastes and leaves the mode alone.
    PressKeys(window, {VK_INSERT, WithShift});
    ExpectMemo(memo, L"XPb\r\ncd日本", {2, 2});
    ExpectStatus(editor, status, 1, L"挿入");
    PressKeys(window, {VK_INSERT});
    ExpectStatus(editor, status, 1, L"上書");

    // The hint replaces the document's path.
    ExpectStatus(editor, status, 2, path);
    MoveMouseOver(window, memo);
    ExpectStatus(editor, status, 2, L"[Insert]で挿入・上書きの切り替え");
    CloseDiscardingChanges(editor, window);
}

// ---- View menu -------------------------------------------------------------------

// The line number panel 0 shows ("12行　　3桁" -> 12), or 0.
int ShownLine(const std::wstring& panel)
{
    const size_t mark = panel.find(L'行');
    return mark == std::wstring::npos ? 0 : std::stoi(L"0" + panel.substr(0, mark));
}

void WrapAndToolBarToggleBackAndForth(Context& context)
{
    ForgetSettings();
    StoreShortCuts({{L"LeftEnter", L"F2"}, {L"ToolBar", L"F4"}});
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    const HWND status = StatusBarOf(window);
    const std::wstring line(200, L'a');
    TypeText(window, line);
    ExpectMemo(WaitForMemo(window), line, {200, 200});
    ExpectStatus(editor, status, 0, L"1行　　201桁");

    // Wrapped, the caret stands on a later display line of the same text.
    PressKeys(window, {VK_F2});
    for (int attempt = 0; attempt < 40 && ShownLine(editor.StatusText(status, 0)) < 2; ++attempt) Sleep(50);
    const std::wstring wrapped = editor.StatusText(status, 0);
    Expect(ShownLine(wrapped) >= 2, "with word wrap panel 0 reads " + Quoted(wrapped));
    ExpectMemo(WaitForMemo(window), line, {200, 200});
    PressKeys(window, {VK_F2});
    ExpectStatus(editor, status, 0, L"1行　　201桁");
    ExpectMemo(WaitForMemo(window), line, {200, 200});

    // Without the tool bar the memo takes its room.
    const HWND toolBar = ToolBarOf(window);
    Expect(IsWindowVisible(toolBar), "the tool bar is hidden at start");
    RECT shown = {};
    GetWindowRect(WaitForMemo(window), &shown);
    PressKeys(window, {VK_F4});
    for (int attempt = 0; attempt < 40 && IsWindowVisible(toolBar); ++attempt) Sleep(50);
    Expect(!IsWindowVisible(toolBar), "the tool bar stayed");
    RECT hidden = {};
    for (int attempt = 0; attempt < 40; ++attempt) {
        GetWindowRect(WaitForMemo(window), &hidden);
        if (hidden.top < shown.top) break;
        Sleep(50);
    }
    Expect(hidden.top < shown.top && hidden.bottom == shown.bottom,
           "the memo spans " + std::to_string(hidden.top) + "-" + std::to_string(hidden.bottom) +
               " without the tool bar, " + std::to_string(shown.top) + "-" + std::to_string(shown.bottom) +
               " with it");
    PressKeys(window, {VK_F4});
    for (int attempt = 0; attempt < 40 && !IsWindowVisible(toolBar); ++attempt) Sleep(50);
    Expect(IsWindowVisible(toolBar), "the tool bar did not come back");
    CloseDiscardingChanges(editor, window);
}

// ---- Backup copy -----------------------------------------------------------------

void RemoveFile(const std::wstring& path)
{
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

void ExpectGone(const std::wstring& path)
{
    for (int attempt = 0; attempt < 40 && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; ++attempt)
        Sleep(50);
    Expect(GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES, Utf8(path) + " is still there");
}

void BackupFollowsChangesAndRestsWhenIdle(Context& context)
{
    ForgetSettings();
    WriteString(kSettingsKey + L"\\File", L"Backup", L"1");
    const std::wstring folder = TempFolder();
    const std::wstring path = folder + L"控え.txt";
    const std::wstring backup = folder + L"bcp_控え.txt";
    RemoveFile(backup);
    WriteBytes(path, "first\r\n");
    Editor editor(context.exePath, {path});
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    ExpectMemo(memo, L"first\r\n", {0, 0});
    // Nothing changed yet: no copy.
    Sleep(500);
    Expect(!ReadBytes(backup), "a backup copy appeared before any change");

    PressKeys(window, {VK_END, WithCtrl});
    TypeText(window, L"追記");
    ExpectMemo(memo, L"first\r\n追記", {11, 11});
    ExpectFileBytes(backup, "first\r\n\x92\xC7\x8B\x4C");
    Expect(ReadBytes(path) == "first\r\n", "the document itself was written");

    // Idle: the copy is neither rewritten nor replaced.
    const std::optional<FileStamp> written = StampOf(backup);
    Expect(written.has_value(), "cannot query " + Utf8(backup));
    Sleep(2000);
    const std::optional<FileStamp> later = StampOf(backup);
    Expect(later == written, "the idle copy changed from " + Describe(*written) + " to " +
                                 (later ? Describe(*later) : std::string("nothing")));

    TypeText(window, L"!");
    ExpectFileBytes(backup, "first\r\n\x92\xC7\x8B\x4C!");
    CloseDiscardingChanges(editor, window);
    ExpectGone(backup);
}

void UnwritableBackupIsReportedOnce(Context& context)
{
    ForgetSettings();
    WriteString(kSettingsKey + L"\\File", L"Backup", L"1");
    const std::wstring folder = TempFolder();
    const std::wstring path = folder + L"書けない.txt";
    const std::wstring backup = folder + L"bcp_書けない.txt";
    RemoveFile(backup);
    WriteBytes(path, "text");
    WriteBytes(backup, "old");
    Expect(SetFileAttributesW(backup.c_str(), FILE_ATTRIBUTE_READONLY), "cannot make the copy read-only");
    Editor editor(context.exePath, {path});
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    ExpectMemo(memo, L"text", {0, 0});

    TypeText(window, L"1");
    AnswerMessage(editor, L"ﾌｧｲﾙ " + backup + L" を作成できません", L"OK");
    // Further changes and the silent retries raise no more boxes.
    TypeText(window, L"2");
    ExpectMemo(memo, L"12text", {2, 2});
    ExpectNoDialog(editor, 7s);
    Expect(ReadBytes(backup) == "old", "the read-only copy was changed");

    // Writable again: a retry writes it without a word.
    Expect(SetFileAttributesW(backup.c_str(), FILE_ATTRIBUTE_NORMAL), "cannot make the copy writable");
    ExpectFileBytes(backup, "12text", 8s);
    ExpectNoDialog(editor, 500ms);
    CloseDiscardingChanges(editor, window);
    ExpectGone(backup);
}

}  // namespace

const std::vector<Scenario>& EditScenarios()
{
    static const std::vector<Scenario> scenarios = {
        {"stamp-inserts-today-in-front-of-the-caret", StampInsertsTodayInFrontOfTheCaret},
        {"add-copy-collects-selections-on-the-clipboard", AddCopyCollectsSelectionsOnTheClipboard},
        {"crop-delete-and-cuts-take-only-their-text", CropDeleteAndCutsTakeOnlyTheirText},
        {"font-big-changes-only-the-letters-of-a-saved-file", FontBigChangesOnlyTheLettersOfASavedFile},
        {"wrap-and-tool-bar-toggle-back-and-forth", WrapAndToolBarToggleBackAndForth},
        {"status-bar-follows-caret-insert-and-mouse", StatusBarFollowsCaretInsertAndMouse},
        {"backup-follows-changes-and-rests-when-idle", BackupFollowsChangesAndRestsWhenIdle},
        {"unwritable-backup-is-reported-once", UnwritableBackupIsReportedOnce},
    };
    return scenarios;
}

}  // namespace kp::e2e
