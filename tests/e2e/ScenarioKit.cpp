// The helpers the scenarios share.

#include "tests/e2e/ScenarioKit.h"

#include <algorithm>

namespace kp::e2e {

void ForgetSettings() { DeleteKeyTree(kSettingsKey); }

void ExpectCaption(HWND window, const std::wstring& expected)
{
    const std::wstring caption = WindowText(window);
    Expect(caption == expected, "caption is " + Quoted(caption) + ", not " + Quoted(expected));
}

void ExpectExitCode(const Editor& editor, DWORD expected, Timeout timeout)
{
    const std::optional<DWORD> code = editor.WaitForExit(timeout);
    Expect(code.has_value(), "still running " + std::to_string(timeout.count()) + " ms later");
    Expect(*code == expected, "exit code " + std::to_string(*code));
}

HWND WaitForMemo(HWND mainWindow)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (HWND memo = FindWindowExW(mainWindow, nullptr, L"KestrelpadEdit", nullptr)) return memo;
        Sleep(50);
    }
    Fail("the main window holds no memo");
}

std::pair<int, int> Selection(HWND memo)
{
    DWORD_PTR packed = 0;
    SendMessageTimeoutW(memo, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &packed);
    return {static_cast<int>(LOWORD(packed)), static_cast<int>(HIWORD(packed))};
}

void ExpectMemo(HWND memo, const std::wstring& text, std::pair<int, int> selection)
{
    // Typed keys go through the editor's queue: give it a moment to catch up.
    for (int attempt = 0; attempt < 40 && (WindowText(memo) != text || Selection(memo) != selection); ++attempt)
        Sleep(50);
    const std::wstring got = WindowText(memo);
    Expect(got == text, "memo holds " + Quoted(got) + ", not " + Quoted(text));
    const auto [start, end] = Selection(memo);
    Expect(start == selection.first && end == selection.second,
           "selection " + std::to_string(start) + "-" + std::to_string(end) + ", not " +
               std::to_string(selection.first) + "-" + std::to_string(selection.second));
}

std::wstring TempFolder()
{
    wchar_t buffer[MAX_PATH];
    GetTempPathW(MAX_PATH, buffer);
    std::wstring folder = std::wstring(buffer) + L"kp-e2e\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    Expect(file != INVALID_HANDLE_VALUE, "cannot write " + Utf8(path));
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::optional<std::string> ReadBytes(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

std::wstring ApplicationTitle(HWND mainWindow)
{
    HWND owner = GetWindow(mainWindow, GW_OWNER);
    Expect(owner && ClassName(owner) == L"TApplication", "the main window has no application window");
    return WindowText(owner);
}

void AnswerMessage(Editor& editor, const std::wstring& text, std::wstring_view button)
{
    const HWND box = editor.WaitForDialog();
    const std::wstring shown = MessageBoxText(box);
    Expect(shown == text, "the message says " + Quoted(shown) + ", not " + Quoted(text));
    ClickButton(box, button);
    for (int attempt = 0; attempt < 100 && IsWindow(box); ++attempt) Sleep(50);
}

void ExpectNoDialog(const Editor& editor, Timeout during, const std::vector<HWND>& besides)
{
    const auto deadline = std::chrono::steady_clock::now() + during;
    do {
        for (HWND window : editor.Dialogs()) {
            if (std::find(besides.begin(), besides.end(), window) == besides.end()) {
                const std::wstring text = GetDlgItem(window, 0xFFFF) ? MessageBoxText(window) : WindowText(window);
                Fail("a dialog appeared: " + Quoted(text));
            }
        }
        Sleep(50);
    } while (std::chrono::steady_clock::now() < deadline);
}

void ExpectStatus(const Editor& editor, HWND statusBar, int panel, const std::wstring& text)
{
    for (int attempt = 0; attempt < 40 && editor.StatusText(statusBar, panel) != text; ++attempt) Sleep(50);
    const std::wstring got = editor.StatusText(statusBar, panel);
    Expect(got == text, "status panel " + std::to_string(panel) + " reads " + Quoted(got) + ", not " + Quoted(text));
}

void ExpectClipboard(const std::wstring& text)
{
    for (int attempt = 0; attempt < 40 && ClipboardText() != text; ++attempt) Sleep(50);
    const std::optional<std::wstring> got = ClipboardText();
    Expect(got == text, "the clipboard holds " + (got ? Quoted(*got) : std::string("no text")) + ", not " +
                            Quoted(text));
}

std::string Printable(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string shown;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            shown += c;
        } else {
            shown += "\\x";
            shown += digits[byte >> 4];
            shown += digits[byte & 15];
        }
    }
    return shown;
}

void ExpectFileBytes(const std::wstring& path, const std::string& bytes, Timeout timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (ReadBytes(path) != bytes && std::chrono::steady_clock::now() < deadline) Sleep(50);
    const std::optional<std::string> got = ReadBytes(path);
    Expect(got == bytes, Utf8(path) + " holds " + (got ? "\"" + Printable(*got) + "\"" : std::string("nothing")) +
                             ", not \"" + Printable(bytes) + "\"");
}

void Snapshot(const Context& context, const std::string& name)
{
    if (context.shotFolder.empty()) return;
    // Let the windows finish painting first.
    Sleep(500);
    SaveScreen(context.shotFolder + Wide(name) + L".bmp");
}

void StoreShortCuts(const std::vector<std::pair<std::wstring, std::wstring>>& shortCuts)
{
    WriteString(kSettingsKey + L"\\Setup", L"ShortCutSave", L"1");
    for (const auto& [command, text] : shortCuts) WriteString(kSettingsKey + L"\\ShortCutKey", command, text);
}

void CloseDiscardingChanges(Editor& editor, HWND window)
{
    editor.Close(window);
    AnswerMessage(editor, kSaveQuestion, L"いいえ");
    ExpectExitCode(editor, 0, 5s);
}

}  // namespace kp::e2e
