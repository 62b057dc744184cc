// Find, replace and the template documents: the commands that search the
// memo or put text into it, driven through the platform's find and replace
// dialogs and the template files beside the program.

#include "tests/e2e/ScenarioKit.h"

#include <string>
#include <vector>

namespace kp::e2e {

namespace {

// Control ids of the platform's find and replace dialogs.
constexpr int kFindWhat = 1152;
constexpr int kReplaceWith = 1153;
constexpr int kFindNextButton = IDOK;
constexpr int kReplaceButton = 1024;
constexpr int kCloseButton = IDCANCEL;
constexpr int kUpButton = 1056;

bool IsFindDialog(HWND dialog) { return GetDlgItem(dialog, kFindWhat) && !GetDlgItem(dialog, kReplaceWith); }
bool IsReplaceDialog(HWND dialog) { return GetDlgItem(dialog, kFindWhat) && GetDlgItem(dialog, kReplaceWith); }

HWND WaitForFindDialog(const Editor& editor) { return editor.WaitForDialog(IsFindDialog, "find dialog"); }
HWND WaitForReplaceDialog(const Editor& editor) { return editor.WaitForDialog(IsReplaceDialog, "replace dialog"); }

// Types the lines into the memo, each but the last followed by Enter.
void TypeLines(HWND window, const std::vector<std::wstring>& lines)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) PressKeys(window, {VK_RETURN});
        TypeText(window, lines[i]);
    }
}

// Waits for the memo to hold the text, whatever the selection.
void ExpectTextOnly(HWND memo, const std::wstring& text)
{
    for (int attempt = 0; attempt < 40 && WindowText(memo) != text; ++attempt) Sleep(50);
    const std::wstring got = WindowText(memo);
    Expect(got == text, "memo holds " + Quoted(got) + ", not " + Quoted(text));
}

// Checks that the selection stays as it is for a while: a step that finds
// nothing changes nothing, and shows no message (the dialogs listed are
// already open).
void ExpectSelectionKept(const Editor& editor, HWND memo, std::pair<int, int> selection,
                         const std::vector<HWND>& openDialogs)
{
    ExpectNoDialog(editor, 700ms, openDialogs);
    const auto [start, end] = Selection(memo);
    Expect(start == selection.first && end == selection.second,
           "selection " + std::to_string(start) + "-" + std::to_string(end) + " after finding nothing, not " +
               std::to_string(selection.first) + "-" + std::to_string(selection.second));
}

void CloseDialog(HWND dialog)
{
    ClickControl(dialog, kCloseButton);
    Expect(WaitForWindowGone(dialog) || !IsWindowVisible(dialog), "the dialog did not close");
}

// ---- Find ------------------------------------------------------------------------

// Offsets are the memo's bytes in code page 932: "ねこ" is four bytes, the
// line break two.
void FindAndF3WalkForwardWithoutWrapping(Context& context)
{
    ForgetSettings();
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    const std::wstring text = L"ねこ abc\r\nねこ abc";
    TypeLines(window, {L"ねこ abc", L"ねこ abc"});
    ExpectMemo(memo, text, {18, 18});

    // The search starts at the beginning when nothing is selected, not at
    // the caret at the end.
    PressKeys(window, {'F', WithCtrl});
    const HWND find = WaitForFindDialog(editor);
    SetControlText(find, kFindWhat, L"ねこ");
    ClickControl(find, kFindNextButton);
    ExpectMemo(memo, text, {0, 4});
    PressKeys(window, {VK_F3});
    ExpectMemo(memo, text, {10, 14});
    // After the last occurrence: nothing, no message, no wrap.
    PressKeys(window, {VK_F3});
    ExpectSelectionKept(editor, memo, {10, 14}, {find});

    // Letter case matches exactly: nothing found, silently.
    PressKeys(window, {VK_HOME, WithCtrl});
    ExpectMemo(memo, text, {0, 0});
    SetControlText(find, kFindWhat, L"ABC");
    ClickControl(find, kFindNextButton);
    ExpectSelectionKept(editor, memo, {0, 0}, {find});

    // The direction buttons are there and ignored: "up" still searches on
    // from the selection's end.
    SetControlText(find, kFindWhat, L"abc");
    ClickControl(find, kFindNextButton);
    ExpectMemo(memo, text, {5, 8});
    ClickControl(find, kUpButton);
    ClickControl(find, kFindNextButton);
    ExpectMemo(memo, text, {15, 18});
    // F3 uses the find dialog's latest text.
    PressKeys(window, {VK_END, WithCtrl});
    PressKeys(window, {VK_F3});
    ExpectMemo(memo, text, {5, 8});

    CloseDialog(find);
    CloseDiscardingChanges(editor, window);
}

// ---- Replace ---------------------------------------------------------------------

void ReplacePressesChangeOneOccurrenceEachThenSayNotFound(Context& context)
{
    ForgetSettings();
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    TypeText(window, L"猫と猫");
    ExpectMemo(memo, L"猫と猫", {6, 6});

    PressKeys(window, {'R', WithCtrl});
    const HWND replace = WaitForReplaceDialog(editor);
    SetControlText(replace, kFindWhat, L"猫");
    SetControlText(replace, kReplaceWith, L"いぬ");
    // Each press replaces the first occurrence in the whole text and leaves
    // the new text selected.
    ClickControl(replace, kReplaceButton);
    ExpectMemo(memo, L"いぬと猫", {0, 4});
    ClickControl(replace, kReplaceButton);
    ExpectMemo(memo, L"いぬといぬ", {6, 10});

    // The third press finds none: one message, and more presses while it
    // shows do not stack a second one.
    ClickControl(replace, kReplaceButton);
    const auto isMessage = [&](HWND dialog) { return dialog != replace && GetDlgItem(dialog, 0xFFFF); };
    const HWND box = editor.WaitForDialog(isMessage, "not-found message");
    const std::wstring shown = MessageBoxText(box);
    Expect(shown == L"\"猫\" は見つかりません", "the message says " + Quoted(shown));
    if (IsWindowEnabled(GetDlgItem(replace, kReplaceButton))) ClickControl(replace, kReplaceButton);
    ExpectNoDialog(editor, 700ms, {replace, box});
    ExpectMemo(memo, L"いぬといぬ", {6, 10});
    ClickButton(box, L"OK");
    Expect(WaitForWindowGone(box), "the message did not close");
    ExpectNoDialog(editor, 500ms, {replace});

    // One undo step per press.
    CloseDialog(replace);
    PressKeys(window, {'Z', WithCtrl});
    ExpectTextOnly(memo, L"いぬと猫");
    CloseDiscardingChanges(editor, window);
}

// ---- Template documents -----------------------------------------------------------

std::wstring FromCodePage932(const std::string& bytes)
{
    if (bytes.empty()) return {};
    const int length = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                           nullptr, 0);
    Expect(length > 0, "\"" + Printable(bytes) + "\" is not code page 932 text");
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return text;
}

// The shipped text1.txt is CR LF text ending in a line break, without Ctrl+Z:
// its template text is the file without that last line break.
std::string ShippedTemplateText(const std::wstring& path)
{
    const std::optional<std::string> bytes = ReadBytes(path);
    Expect(bytes.has_value(), Utf8(path) + " is not shipped beside the program");
    const std::string& file = *bytes;
    Expect(file.size() > 2 && file.compare(file.size() - 2, 2, "\r\n") == 0,
           Utf8(path) + " does not end in CR LF");
    for (size_t i = 0; i < file.size(); ++i) {
        const bool lone = (file[i] == '\r' && (i + 1 == file.size() || file[i + 1] != '\n')) ||
                          (file[i] == '\n' && (i == 0 || file[i - 1] != '\r'));
        Expect(!lone && file[i] != '\x1A', Utf8(path) + " holds a lone CR or LF or a Ctrl+Z at byte " +
                                                 std::to_string(i));
    }
    return file.substr(0, file.size() - 2);
}

void TemplatesInsertAtTheCaretAndMissingOnesSaySo(Context& context)
{
    ForgetSettings();
    ScratchProgram program(context.exePath);
    const std::string shipped = ShippedTemplateText(program.Folder() + L"text1.txt");
    Expect(DeleteFileW((program.Folder() + L"text4.txt").c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND,
           "cannot remove text4.txt from the copy");
    // A template the user edited: an empty line is kept, the final line end
    // adds nothing and Ctrl+Z ends the file.
    WriteBytes(program.Folder() + L"text2.txt", "\x88\xea\r\n\r\n\x93\xf1\r\n\x1A\x8e\x63\x82\xe8");  // 一, 二, 残り

    Editor editor(program.ExePath());
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    TypeText(window, L"前後");
    PressKeys(window, {VK_LEFT});
    ExpectMemo(memo, L"前後", {2, 2});

    // Inserted at the caret, the caret after it, nothing selected.
    PressKeys(window, {'1', WithCtrl});
    const int after = 2 + static_cast<int>(shipped.size());
    ExpectMemo(memo, L"前" + FromCodePage932(shipped) + L"後", {after, after});
    const std::wstring withFirst = WindowText(memo);

    // A missing file: its message, the memo unchanged, no file made.
    PressKeys(window, {'4', WithCtrl});
    AnswerMessage(editor, L"テキストファイル \"Text4.txt\" が見つかりません。", L"OK");
    ExpectMemo(memo, withFirst, {after, after});
    Expect(GetFileAttributesW((program.Folder() + L"text4.txt").c_str()) == INVALID_FILE_ATTRIBUTES,
           "text4.txt exists after the failed insertion");

    // The other templates still work; a selection is replaced.
    PressKeys(window, {VK_HOME, WithCtrl});
    PressKeys(window, {VK_RIGHT, WithShift});
    ExpectMemo(memo, withFirst, {0, 2});
    PressKeys(window, {'2', WithCtrl});
    ExpectMemo(memo, L"一\r\n\r\n二" + withFirst.substr(1), {8, 8});
    CloseDiscardingChanges(editor, window);
}

}  // namespace

const std::vector<Scenario>& FindScenarios()
{
    static const std::vector<Scenario> scenarios = {
        {"find-and-f3-walk-forward-without-wrapping", FindAndF3WalkForwardWithoutWrapping},
        {"replace-presses-change-one-occurrence-each-then-say-not-found",
         ReplacePressesChangeOneOccurrenceEachThenSayNotFound},
        {"templates-insert-at-the-caret-and-missing-ones-say-so", TemplatesInsertAtTheCaretAndMissingOnesSaySo},
    };
    return scenarios;
}

}  // namespace kp::e2e
