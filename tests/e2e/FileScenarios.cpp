// Document files through the real dialogs.

#include "tests/e2e/ScenarioKit.h"

#include <optional>
#include <string>

namespace kp::e2e {

namespace {

constexpr int kFilterCombo = 1136;  // the file dialogs' file-type list
constexpr int kSaveAsButton = 3;    // New, Open, Save, Save As, ...

int ChosenFilter(HWND dialog)
{
    DWORD_PTR index = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, kFilterCombo), CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &index);
    return static_cast<int>(index) + 1;
}

// What choosing a filter (from 1) in the file-type list notifies.
void ChooseFilter(HWND dialog, int filterIndex)
{
    const HWND combo = GetDlgItem(dialog, kFilterCombo);
    Expect(combo != nullptr, "the file dialog has no file-type list");
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(combo, CB_SETCURSEL, static_cast<WPARAM>(filterIndex - 1), 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    for (const WORD code : {WORD{CBN_SELCHANGE}, WORD{CBN_SELENDOK}})
        SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(kFilterCombo, code), reinterpret_cast<LPARAM>(combo),
                            SMTO_ABORTIFHUNG, 2000, &ignored);
}

// A visible dialog of the editor other than `besides` (a question it asks).
HWND WaitForDialogBesides(const Editor& editor, HWND besides)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (HWND window : TopLevelWindows(editor.ProcessId()))
            if (window != besides && IsWindowVisible(window) && ClassName(window) == L"#32770") return window;
        Sleep(50);
    }
    Fail("no question over the dialog");
}

void WaitForBytes(const std::wstring& path, const std::string& bytes)
{
    for (int attempt = 0; attempt < 40 && ReadBytes(path) != bytes; ++attempt) Sleep(50);
    const std::optional<std::string> got = ReadBytes(path);
    Expect(got == bytes, Utf8(path) + " holds " + (got ? "\"" + *got + "\"" : "nothing") + ", not \"" + bytes + "\"");
}

void OpenEditSaveAndSaveAsHtml(Context& context)
{
    ForgetSettings();
    WriteString(kSettingsKey + L"\\Setup", L"SaveDlgFilter", L"2");
    const std::wstring folder = TempFolder();
    const std::wstring source = folder + L"開く.txt";
    const std::wstring page = folder + L"page";
    WriteBytes(source, "\x83\x65\x83\x4C\x83\x58\x83\x67\r\n");
    DeleteFileW((page + L".htm").c_str());
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);

    PressKeys(window, {'O', WithCtrl});
    FillFileDialog(editor.WaitForDialog(), source);
    ExpectMemo(memo, L"テキスト\r\n", {0, 0});
    ExpectCaption(window, L"[開く.txt] - Kestrelpad");

    PressKeys(window, {VK_END, WithCtrl});
    TypeText(window, L"追記");
    ExpectMemo(memo, L"テキスト\r\n追記", {14, 14});
    PressKeys(window, {'S', WithCtrl});
    for (int attempt = 0; attempt < 40 && ReadBytes(source) != std::string("\x83\x65\x83\x4C\x83\x58\x83\x67\r\n\x92\xC7\x8B\x4C"); ++attempt)
        Sleep(50);
    Expect(ReadBytes(source) == std::string("\x83\x65\x83\x4C\x83\x58\x83\x67\r\n\x92\xC7\x8B\x4C"),
           "Save did not write the document's bytes");

    // Save As from the File menu by its access keys, with the HTML filter.
    PressKeys(window, {'F', WithAlt});
    Sleep(300);
    PressKeys(window, {'A'});
    FillFileDialog(editor.WaitForDialog(), page);
    for (int attempt = 0; attempt < 40 && !ReadBytes(page + L".htm"); ++attempt) Sleep(50);
    Expect(ReadBytes(page + L".htm") == ReadBytes(source), "page.htm does not hold the document's bytes");
    ExpectCaption(window, L"[page.htm] - Kestrelpad");
    editor.Close(window);
    ExpectExitCode(editor, 0, 5s);
}

void OpenWithChangesYesThenCancelChangesNothing(Context& context)
{
    ForgetSettings();
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    TypeText(window, L"unsaved");
    ExpectMemo(memo, L"unsaved", {7, 7});
    PressKeys(window, {'O', WithCtrl});
    AnswerMessage(editor, kSaveQuestion, L"はい");
    const HWND dialog = editor.WaitForDialog();
    ClickButton(dialog, L"キャンセル");
    for (int attempt = 0; attempt < 100 && IsWindow(dialog); ++attempt) Sleep(50);
    Expect(!IsWindow(dialog), "the save dialog stayed open");
    ExpectMemo(memo, L"unsaved", {7, 7});
    CloseDiscardingChanges(editor, window);
}

void HistoryReopensAndRecreatesAfterARestart(Context& context)
{
    ForgetSettings();
    DeleteKeyTree(L"History");
    const std::wstring path = TempFolder() + L"最近.txt";
    WriteBytes(path, "recent");
    {
        Editor editor(context.exePath, {path});
        const HWND window = editor.WaitForMainWindow();
        ExpectMemo(WaitForMemo(window), L"recent", {0, 0});
        editor.Close(window);
        ExpectExitCode(editor, 0, 5s);
    }
    Expect(ReadString(L"History", L"H0") == path, "the history was not written at the end");
    {
        Editor editor(context.exePath);
        const HWND window = editor.WaitForMainWindow();
        const HWND memo = WaitForMemo(window);
        PressKeys(window, {'F', WithAlt});
        Sleep(300);
        PressKeys(window, {'0'});
        ExpectMemo(memo, L"recent", {0, 0});
        ExpectCaption(window, L"[最近.txt] - Kestrelpad");
        editor.Close(window);
        ExpectExitCode(editor, 0, 5s);
    }
    DeleteFileW(path.c_str());
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    PressKeys(window, {'F', WithAlt});
    Sleep(300);
    PressKeys(window, {'0'});
    AnswerMessage(editor, path + L"\r\nこのファイルは移動または削除されています。\r\n\r\nファイルを作成しますか？", L"はい");
    for (int attempt = 0; attempt < 40 && !ReadBytes(path); ++attempt) Sleep(50);
    Expect(ReadBytes(path) == std::string(), "no empty file was created");
    ExpectCaption(window, L"[最近.txt] - Kestrelpad");
    editor.Close(window);
    ExpectExitCode(editor, 0, 5s);
    DeleteKeyTree(L"History");
}
// A dropped file turns the Save tool button on (its enabled image, 3) while
// the Save menu item stays off; clicking the button saves the typed text.
void DroppedFileSavesFromTheToolButton(Context& context)
{
    constexpr int kSaveButton = 2;         // New, Open, Save, ...
    constexpr int kSaveCommand = 1 + kSaveButton;  // the bar's command ids follow the button order
    ForgetSettings();
    const std::wstring path = TempFolder() + L"落とした.txt";
    WriteBytes(path, "dropped");
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    const HWND toolBar = ToolBarOf(window);
    Expect(!ToolButtonEnabled(toolBar, kSaveCommand), "the Save button is on before anything was opened");

    editor.DropFiles(window, {path});
    ExpectMemo(memo, L"dropped", {0, 0});
    ExpectCaption(window, L"[" + path + L"] - Kestrelpad");
    Expect(ToolButtonEnabled(toolBar, kSaveCommand), "the Save button is off after the drop");
    Expect(ToolButtonImage(toolBar, kSaveCommand) == 3,
           "the Save button shows image " + std::to_string(ToolButtonImage(toolBar, kSaveCommand)));

    TypeText(window, L"追記");
    ExpectMemo(memo, L"追記dropped", {4, 4});
    ClickAt(window, editor.ToolButtonRect(toolBar, kSaveButton));
    const std::string saved = "\x92\xC7\x8B\x4C" "dropped";
    for (int attempt = 0; attempt < 40 && ReadBytes(path) != saved; ++attempt) Sleep(50);
    Expect(ReadBytes(path) == saved, "the Save button did not write the document");
    // Saved: closing asks nothing.
    editor.Close(window);
    ExpectExitCode(editor, 0, 5s);
    DeleteFileW(path.c_str());
    DeleteKeyTree(L"History");
}

// Save As starting on "all files" (stored filter 3), switched to the text
// filter in the dialog: the typed name is saved with ".txt", and once that
// file exists the dialog asks before overwriting it.
void SaveAsFromAllFilesToTextAddsTheExtension(Context& context)
{
    ForgetSettings();
    const std::wstring folder = TempFolder();
    const std::wstring saved = folder + L"memo.txt";
    DeleteFileW(saved.c_str());
    DeleteFileW((folder + L"memo").c_str());
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    const auto saveAsTyping = [&](const std::wstring& name) {
        // Closing the dialog stores the filter last chosen: start on "all files" again.
        WriteString(kSettingsKey + L"\\Setup", L"SaveDlgFilter", L"3");
        ClickAt(window, editor.ToolButtonRect(ToolBarOf(window), kSaveAsButton));
        const HWND dialog = editor.WaitForDialog();
        Expect(ChosenFilter(dialog) == 3, "the save dialog starts on filter " + std::to_string(ChosenFilter(dialog)));
        ChooseFilter(dialog, 1);
        FillFileDialog(dialog, folder + name);
        return dialog;
    };

    TypeText(window, L"first");
    ExpectMemo(memo, L"first", {5, 5});
    saveAsTyping(L"memo");
    WaitForBytes(saved, "first");
    Expect(!ReadBytes(folder + L"memo"), "a file without the extension was written");
    ExpectCaption(window, L"[memo.txt] - Kestrelpad");

    TypeText(window, L" second");
    ExpectMemo(memo, L"first second", {12, 12});
    const HWND dialog = saveAsTyping(L"memo");
    const HWND question = WaitForDialogBesides(editor, dialog);
    ClickButton(question, L"いいえ");
    for (int attempt = 0; attempt < 100 && IsWindow(question); ++attempt) Sleep(50);
    Expect(IsWindow(dialog) && IsWindowVisible(dialog), "the save dialog closed after No");
    Expect(ReadBytes(saved) == std::string("first"), "No overwrote memo.txt");
    FillFileDialog(dialog, folder + L"memo");
    ClickButton(WaitForDialogBesides(editor, dialog), L"はい");
    WaitForBytes(saved, "first second");

    editor.Close(window);  // saved: nothing is asked
    ExpectExitCode(editor, 0, 5s);
    DeleteFileW(saved.c_str());
    DeleteKeyTree(L"History");
}

}  // namespace

const std::vector<Scenario>& FileScenarios()
{
    static const std::vector<Scenario> scenarios = {
        {"open-edit-save-and-save-as-html", OpenEditSaveAndSaveAsHtml},
        {"open-with-changes-yes-then-cancel-changes-nothing", OpenWithChangesYesThenCancelChangesNothing},
        {"history-reopens-and-recreates-after-a-restart", HistoryReopensAndRecreatesAfterARestart},
        {"dropped-file-saves-from-the-tool-button", DroppedFileSavesFromTheToolButton},
        {"save-as-from-all-files-to-text-adds-the-extension", SaveAsFromAllFilesToTextAddsTheExtension},
    };
    return scenarios;
}

}  // namespace kp::e2e
