// Start-up, the window's size, resources and lifecycle: the command line, the
// close question, placement and uninstall.

#include "tests/e2e/ScenarioKit.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <thread>

namespace kp::e2e {

namespace {

constexpr int kWidth96 = 738;
constexpr int kHeight96 = 514;

std::string SizeText(SIZE size) { return std::to_string(size.cx) + "x" + std::to_string(size.cy); }

// The outer size must be 738 x 514 scaled from 96 DPI to the window's DPI.
void ExpectScaledSize(HWND window, UINT dpi)
{
    const SIZE expected = {MulDiv(kWidth96, dpi, 96), MulDiv(kHeight96, dpi, 96)};
    const SIZE outer = OuterSize(window);
    Expect(outer.cx == expected.cx && outer.cy == expected.cy,
           "outer size " + SizeText(outer) + " at " + std::to_string(dpi) + " DPI, expected " +
               SizeText(expected));
    const SIZE client = ClientSize(window);
    Expect(client.cx > 0 && client.cy > 0 && client.cx < outer.cx && client.cy < outer.cy,
           "client size " + SizeText(client) + " does not fit in the frame " + SizeText(outer));
}

// The bytes of a resource, or nothing.
std::string ResourceText(HMODULE module, int id, int type)
{
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    return std::string(static_cast<const char*>(data), SizeofResource(module, found));
}

// The sizes of the 32-bit images in an icon group resource.
std::vector<int> IconSizes(HMODULE module, int id)
{
#pragma pack(push, 2)
    struct GroupHeader {
        WORD reserved, type, count;
    };
    struct GroupEntry {
        BYTE width, height, colors, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
#pragma pack(pop)
    std::vector<int> sizes;
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(14));
    DWORD length = found ? SizeofResource(module, found) : 0;
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* header = static_cast<const GroupHeader*>(loaded ? LockResource(loaded) : nullptr);
    if (!header || length < sizeof(GroupHeader) + header->count * sizeof(GroupEntry)) return sizes;
    const auto* entries = reinterpret_cast<const GroupEntry*>(header + 1);
    for (WORD i = 0; i < header->count; ++i) {
        if (entries[i].bitCount == 32) sizes.push_back(entries[i].width ? entries[i].width : 256);
    }
    return sizes;
}

void FreshStartShowsMainWindow(Context& context)
{
    ForgetSettings();
    Editor editor(context.exePath);
    HWND window = editor.WaitForMainWindow(10s);
    ExpectCaption(window, kNewFileCaption);
    const std::wstring className = ClassName(window);
    Expect(className == L"TEditForm", "window class is " + Quoted(className));
}

void StartupCreatesSettingsKey(Context& context)
{
    ForgetSettings();
    Expect(!KeyExists(kSettingsKey), "the settings key survived its deletion");
    Editor editor(context.exePath);
    editor.WaitForMainWindow();
    Expect(KeyExists(kSettingsKey), "HKCU\\" + Utf8(kSettingsKey) + " does not exist");
}

void CloseExitsWithZero(Context& context)
{
    ForgetSettings();
    Editor editor(context.exePath);
    editor.Close(editor.WaitForMainWindow());
    ExpectExitCode(editor, 0, 5s);
}

void AltF4ExitsWithZero(Context& context)
{
    ForgetSettings();
    Editor editor(context.exePath);
    PressKeys(editor.WaitForMainWindow(), {VK_F4, WithAlt});
    ExpectExitCode(editor, 0, 5s);
}

void WindowSizeFollowsDpi(Context& context)
{
    ForgetSettings();
    Editor editor(context.exePath);
    HWND window = editor.WaitForMainWindow();
    UINT dpi = GetDpiForWindow(window);
    if (dpi == 0) dpi = GetDpiForSystem();
    ExpectScaledSize(window, dpi);
}

// Wine reads the system DPI from this value when a process starts (Windows
// only at log-on, so this scenario is for Wine). GetDpiForWindow on another
// process's window answers with the caller's DPI under Wine, so the expected
// size comes from the DPI set here.
void WindowSizeAt144Dpi(Context& context)
{
    ForgetSettings();
    ScopedDword logPixels(L"Control Panel\\Desktop", L"LogPixels", 144);
    Editor editor(context.exePath);
    ExpectScaledSize(editor.WaitForMainWindow(), 144);
}

// A volatile parent key makes creating the settings key fail: the editor must
// say so in a stop box captioned "Kestrelpad", then run without settings.
void SettingsFailureIsReported(Context& context)
{
    ScopedKeyRemoval cleanup(kVendorKey);
    DeleteKeyTree(kVendorKey);
    CreateVolatileKey(kVendorKey);
    Editor editor(context.exePath);
    HWND box = editor.WaitForDialog(10s);
    ExpectCaption(box, L"Kestrelpad");
    Expect(!MessageBoxText(box).empty(), "the message box is empty");
    ClickButton(box, L"OK");
    HWND window = editor.WaitForMainWindow();
    ExpectCaption(window, kNewFileCaption);
    Expect(!KeyExists(kSettingsKey), "the settings key exists after all");
    editor.Close(window);
    ExpectExitCode(editor, 0, 5s);
}

// With the program key unwritable, start-up still opens the command-line file.
void UnwritableSettingsStillOpenTheCommandLineFile(Context& context)
{
    ScopedKeyRemoval cleanup(kVendorKey);
    DeleteKeyTree(kVendorKey);
    CreateVolatileKey(kVendorKey);
    const std::wstring path = TempFolder() + L"no settings.txt";
    WriteBytes(path, "opened");
    Editor editor(context.exePath, {path});
    AnswerMessage(editor, L"ｷｰ Software\\Tamarind\\Kestrelpad の作成に失敗しました", L"OK");
    const HWND window = editor.WaitForMainWindow();
    ExpectCaption(window, L"[no settings.txt] - Kestrelpad");
    ExpectMemo(WaitForMemo(window), L"opened", {0, 0});
    editor.Close(window);
    ExpectExitCode(editor, 0, 5s);
}

void VersionInfoIsConsistent(Context& context)
{
    const std::optional<std::wstring> product = VersionString(context.exePath, L"ProductName");
    Expect(product == L"Kestrelpad", "ProductName is " + Quoted(product.value_or(L"(none)")));
    const std::optional<std::vector<int>> fixed = FileVersion(context.exePath);
    Expect(fixed.has_value(), "no fixed file version");
    const std::wstring fixedText = std::to_wstring((*fixed)[0]) + L"." +
                                   std::to_wstring((*fixed)[1]) + L"." + std::to_wstring((*fixed)[2]);
    const std::optional<std::wstring> fileVersion = VersionString(context.exePath, L"FileVersion");
    Expect(fileVersion == fixedText, "FileVersion " + Quoted(fileVersion.value_or(L"(none)")) +
                                         " differs from the fixed version " + Quoted(fixedText));
}

void ManifestAndIconsAreEmbedded(Context& context)
{
    HMODULE module = LoadLibraryExW(context.exePath.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    Expect(module != nullptr, "cannot load the exe as a data file");
    std::string missing;
    const std::string manifest = ResourceText(module, 1, 24);
    if (manifest.empty()) missing += " manifest";
    // Wine makes every process per-monitor aware whatever its manifest says,
    // so the declaration is checked here rather than by behaviour.
    for (const char* entry : {"PerMonitorV2", "Microsoft.Windows.Common-Controls", "asInvoker"}) {
        if (!manifest.empty() && manifest.find(entry) == std::string::npos)
            missing += std::string(" manifest:") + entry;
    }
    const std::vector<int> sizes = IconSizes(module, 1);
    for (int size : {16, 32, 48}) {
        if (std::find(sizes.begin(), sizes.end(), size) == sizes.end())
            missing += " icon" + std::to_string(size);
    }
    if (HANDLE icon = LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, 48, 48, 0))
        DestroyIcon(static_cast<HICON>(icon));
    else
        missing += " (the icon does not load)";
    FreeLibrary(module);
    Expect(missing.empty(), "missing resources:" + missing);
}

void FreshStartShowsTheNewDocumentTitles(Context& context)
{
    ForgetSettings();
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    ExpectCaption(window, kNewFileCaption);
    const std::wstring title = ApplicationTitle(window);
    Expect(title == L"NewFile - Kestrelpad", "task-bar title " + Quoted(title));
    editor.Close(window);
    ExpectExitCode(editor, 0, 5s);
}

void CommandLineFileOpens(Context& context)
{
    ForgetSettings();
    const std::wstring path = TempFolder() + L"表ソース.txt";
    WriteBytes(path, "\x83\x5C\x81\x5B\x83\x58\r\nline two");
    Editor editor(context.exePath, {path});
    const HWND window = editor.WaitForMainWindow();
    ExpectCaption(window, L"[表ソース.txt] - Kestrelpad");
    const HWND memo = WaitForMemo(window);
    ExpectMemo(memo, L"ソース\r\nline two", {0, 0});
    // Status panel 2 holds the path (its length is what another process can read).
    const HWND status = FindWindowExW(window, nullptr, L"msctls_statusbar32", nullptr);
    Expect(status != nullptr, "no status bar");
    DWORD_PTR length = 0;
    SendMessageTimeoutW(status, SB_GETTEXTLENGTHW, 2, 0, SMTO_ABORTIFHUNG, 2000, &length);
    Expect(LOWORD(length) == path.size(), "status panel 2 holds " + std::to_string(LOWORD(length)) +
                                              " characters, not the path's " + std::to_string(path.size()));
    editor.Close(window);
    ExpectExitCode(editor, 0, 5s);
}

void SecondArgumentIsRefused(Context& context)
{
    ForgetSettings();
    const std::wstring first = TempFolder() + L"first.txt";
    WriteBytes(first, "first");
    Editor editor(context.exePath, {first, TempFolder() + L"second.txt"});
    AnswerMessage(editor, L"同時に開けるファイルは一つまでです。", L"OK");
    const HWND window = editor.WaitForMainWindow();
    ExpectCaption(window, L"[first.txt] - Kestrelpad");
    ExpectMemo(WaitForMemo(window), L"first", {0, 0});
    editor.Close(window);
    ExpectExitCode(editor, 0, 5s);
}

void MissingFileIsReportedThenStartsEmpty(Context& context)
{
    ForgetSettings();
    const std::wstring path = TempFolder() + L"missing.txt";
    DeleteFileW(path.c_str());
    Editor editor(context.exePath, {path});
    AnswerMessage(editor, L"ﾌｧｲﾙ " + path + L" は開けません", L"OK");
    const HWND window = editor.WaitForMainWindow();
    ExpectCaption(window, kNewFileCaption);
    editor.Close(window);
    ExpectExitCode(editor, 0, 5s);
}

void CloseQuestionHasThreeAnswers(Context& context)
{
    ForgetSettings();
    const std::wstring saved = TempFolder() + L"saved at close.txt";
    DeleteFileW(saved.c_str());
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    TypeText(window, L"変更あり");
    ExpectMemo(memo, L"変更あり", {8, 8});

    editor.Close(window);
    AnswerMessage(editor, kSaveQuestion, L"ｷｬﾝｾﾙ");
    Expect(editor.IsRunning() && IsWindowVisible(window), "Cancel closed the window");

    editor.Close(window);
    AnswerMessage(editor, kSaveQuestion, L"はい");
    FillFileDialog(editor.WaitForDialog(), saved);
    ExpectExitCode(editor, 0, 10s);
    const std::optional<std::string> bytes = ReadBytes(saved);
    Expect(bytes.has_value(), "nothing was saved");
    Expect(*bytes == "\x95\xCF\x8D\x58\x82\xA0\x82\xE8", "the saved bytes differ");

    Editor again(context.exePath);
    const HWND second = again.WaitForMainWindow();
    TypeText(second, L"x");
    ExpectMemo(WaitForMemo(second), L"x", {1, 1});
    again.Close(second);
    AnswerMessage(again, kSaveQuestion, L"いいえ");
    ExpectExitCode(again, 0, 5s);
}

void WindowPlacementSurvivesARestart(Context& context)
{
    ForgetSettings();
    WriteString(kSettingsKey + L"\\Setup", L"WindowSave", L"1");
    RECT placed{};
    {
        Editor editor(context.exePath);
        const HWND window = editor.WaitForMainWindow();
        SetWindowPos(window, nullptr, 40, 30, 640, 420, SWP_NOZORDER | SWP_NOACTIVATE);
        Sleep(200);
        GetWindowRect(window, &placed);
        editor.Close(window);
        ExpectExitCode(editor, 0, 5s);
    }
    Expect(ReadString(kSettingsKey + L"\\Visual", L"FormWidth") == std::to_wstring(placed.right - placed.left),
           "the width was not stored");
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    RECT restored{};
    GetWindowRect(window, &restored);
    Expect(restored.left == placed.left && restored.top == placed.top && restored.right == placed.right &&
               restored.bottom == placed.bottom,
           "restored at " + std::to_string(restored.left) + "," + std::to_string(restored.top) + " " +
               std::to_string(restored.right - restored.left) + "x" + std::to_string(restored.bottom - restored.top));
    editor.Close(window);
    ExpectExitCode(editor, 0, 5s);
}

// A save switch stored with the wrong registry type is reported at start,
// and never keeps the window from closing.
void WrongTypedWindowSaveStillCloses(Context& context)
{
    ForgetSettings();
    WriteDword(kSettingsKey + L"\\Setup", L"WindowSave", 1);
    Editor editor(context.exePath);
    AnswerMessage(editor, L"'WindowSave' のﾃﾞｰﾀ型が不正です", L"OK");
    PressKeys(editor.WaitForMainWindow(), {VK_F4, WithAlt});
    ExpectExitCode(editor, 0, 5s);
}

// Sends WM_QUERYENDSESSION as log-off does, answers the save question with
// the button and returns the editor's reply.
LRESULT QueryEndSession(Editor& editor, HWND window, std::wstring_view button)
{
    DWORD_PTR reply = 0xDEAD;
    std::thread query([&] {
        SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 20000, &reply);
    });
    try {
        AnswerMessage(editor, kSaveQuestion, button);
    } catch (...) {
        query.join();
        throw;
    }
    query.join();
    return static_cast<LRESULT>(reply);
}

// Log-off with unsaved changes asks first: Cancel refuses it and keeps the
// document; No lets it go on, and the session's end writes the settings.
void LogOffAsksAboutUnsavedChanges(Context& context)
{
    ForgetSettings();
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    TypeText(window, L"未保存");
    ExpectMemo(memo, L"未保存", {6, 6});

    const LRESULT cancelled = QueryEndSession(editor, window, L"ｷｬﾝｾﾙ");
    Expect(cancelled == FALSE, "Cancel answered " + std::to_string(cancelled));
    Expect(editor.IsRunning() && IsWindowVisible(window), "Cancel closed the window");
    ExpectMemo(memo, L"未保存", {6, 6});

    const LRESULT declined = QueryEndSession(editor, window, L"いいえ");
    Expect(declined == TRUE, "No answered " + std::to_string(declined));
    Expect(!ReadString(kSettingsKey + L"\\Visual", L"PanelWidth"), "settings written before the session ended");
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &ignored);
    const std::optional<std::wstring> width = ReadString(kSettingsKey + L"\\Visual", L"PanelWidth");
    Expect(width == L"120", "the session's end stored PanelWidth " + Quoted(width.value_or(L"(none)")));

    CloseDiscardingChanges(editor, window);
}

void UninstallLeavesNoSections(Context& context)
{
    ForgetSettings();
    WriteString(kSettingsKey + L"\\Visual", L"FontName", L"ＭＳ 明朝");
    WriteString(L"History", L"Count", L"0");
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    // The File menu by its access key, then the uninstall item by its own.
    PressKeys(window, {'F', WithAlt});
    Sleep(300);
    PressKeys(window, {'I'});
    AnswerMessage(editor, L"ケストレルパッド終了時にレジストリ情報とヘルプファイルを削除します。よろしいですか？",
                  L"はい");
    editor.Close(window);
    ExpectExitCode(editor, 0, 5s);
    Expect(KeyExists(kSettingsKey), "the program key itself stays");
    Expect(!KeyExists(kSettingsKey + L"\\Visual"), "a section survived the uninstall");
    Expect(KeyExists(L"History"), "the history key was removed");
    DeleteKeyTree(L"History");
}
}  // namespace

const std::vector<Scenario>& StartupScenarios()
{
    static const std::vector<Scenario> scenarios = {
        {"fresh-start-shows-main-window", FreshStartShowsMainWindow},
        {"startup-creates-settings-key", StartupCreatesSettingsKey},
        {"close-exits-with-zero", CloseExitsWithZero},
        {"alt-f4-exits-with-zero", AltF4ExitsWithZero},
        {"window-size-follows-dpi", WindowSizeFollowsDpi},
        {"window-size-at-144-dpi", WindowSizeAt144Dpi},
        {"settings-failure-is-reported", SettingsFailureIsReported},
        {"unwritable-settings-still-open-the-command-line-file", UnwritableSettingsStillOpenTheCommandLineFile},
        {"version-info-is-consistent", VersionInfoIsConsistent},
        {"manifest-and-icons-are-embedded", ManifestAndIconsAreEmbedded},
        {"fresh-start-shows-the-new-document-titles", FreshStartShowsTheNewDocumentTitles},
        {"command-line-file-opens", CommandLineFileOpens},
        {"second-argument-is-refused", SecondArgumentIsRefused},
        {"missing-file-is-reported-then-starts-empty", MissingFileIsReportedThenStartsEmpty},
        {"close-question-has-three-answers", CloseQuestionHasThreeAnswers},
        {"window-placement-survives-a-restart", WindowPlacementSurvivesARestart},
        {"wrong-typed-window-save-still-closes", WrongTypedWindowSaveStillCloses},
        {"log-off-asks-about-unsaved-changes", LogOffAsksAboutUnsavedChanges},
        {"uninstall-leaves-no-sections", UninstallLeavesNoSections},
    };
    return scenarios;
}

}  // namespace kp::e2e
