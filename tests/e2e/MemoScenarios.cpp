// The memo, typed into as a user types.

#include "tests/e2e/ScenarioKit.h"

#include <string>
#include <vector>

namespace kp::e2e {

namespace {

void MemoTakesTypedText(Context& context)
{
    ForgetSettings();
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    TypeText(window, L"abc日本語");
    // Positions count code-page-932 bytes: three double-byte characters after "abc".
    ExpectMemo(memo, L"abc日本語", {9, 9});
    PressKeys(window, {VK_RETURN});
    TypeText(window, L"ｶﾀｶﾅ");
    ExpectMemo(memo, L"abc日本語\r\nｶﾀｶﾅ", {15, 15});
    CloseDiscardingChanges(editor, window);
}

void MemoSelectsCopiesPastesAndUndoes(Context& context)
{
    ForgetSettings();
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    TypeText(window, L"abc日本語");
    ExpectMemo(memo, L"abc日本語", {9, 9});
    PressKeys(window, {VK_LEFT, WithShift});
    PressKeys(window, {VK_LEFT, WithShift});
    ExpectMemo(memo, L"abc日本語", {5, 9});
    PressKeys(window, {'C', WithCtrl});
    PressKeys(window, {VK_HOME});
    ExpectMemo(memo, L"abc日本語", {0, 0});
    PressKeys(window, {'V', WithCtrl});
    ExpectMemo(memo, L"本語abc日本語", {4, 4});
    PressKeys(window, {VK_RIGHT, WithCtrl});
    ExpectMemo(memo, L"本語abc日本語", {7, 7});
    PressKeys(window, {VK_DELETE});
    ExpectMemo(memo, L"本語abc本語", {7, 7});
    PressKeys(window, {'Z', WithCtrl});
    ExpectMemo(memo, L"本語abc日本語", {7, 7});
    PressKeys(window, {'Z', WithCtrl});
    ExpectMemo(memo, L"abc日本語", {0, 0});
    CloseDiscardingChanges(editor, window);
}
std::string Cp932(const std::wstring& text)
{
    const int size = WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

// With word wrap and the marks on, a document dense with Japanese punctuation
// wraps so that no display line starts with "。" or "」" nor ends with "「".
// Line starts are byte offsets (EM_LINEINDEX), checked against the file's own
// bytes, as the window's UTF-16 text counts differently.
void MemoWrapsJapaneseTextByTheLineBreakingRules(Context& context)
{
    ForgetSettings();
    WriteString(kSettingsKey + L"\\Visual", L"WordWrap", L"1");
    WriteString(kSettingsKey + L"\\Visual", L"ParagraphLetter", L"1");
    std::wstring text;
    for (int i = 0; i < 40; ++i) {
        text += L"「吾輩は猫である。」名前はまだ無い。「どこで生れたか」とんと見当がつかぬ。何でも薄暗い"
                L"じめじめした所で泣いていた事だけは記憶している。「　」。。";
        if (i % 4 == 3) text += L"\r\n";
    }
    const std::string bytes = Cp932(text);
    const std::wstring path = TempFolder() + L"kinsoku.txt";
    WriteBytes(path, bytes);
    // Character starts in the file's bytes (the text is double-byte but for its line breaks).
    std::vector<bool> starts(bytes.size() + 1, false);
    for (size_t at = 0; at < bytes.size();) {
        starts[at] = true;
        const auto b = static_cast<unsigned char>(bytes[at]);
        at += ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) ? 2 : 1;
    }
    starts[bytes.size()] = true;

    Editor editor(context.exePath, {path});
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    // The layout settles once the window has its size and edit area.
    int lines = 0;
    for (int attempt = 0, stable = 0; attempt < 100 && stable < 5; ++attempt) {
        Sleep(100);
        const auto now = static_cast<int>(SendMessageW(memo, EM_GETLINECOUNT, 0, 0));
        stable = now == lines && now > 10 ? stable + 1 : 0;
        lines = now;
    }
    Expect(lines > 10, "the document did not wrap: " + std::to_string(lines) + " lines");
    const std::string stop = Cp932(L"。");
    const std::string close = Cp932(L"」");
    const std::string open = Cp932(L"「");
    int checked = 0;
    for (int line = 1; line < lines; ++line) {
        const auto at = static_cast<size_t>(SendMessageW(memo, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
        Expect(at <= bytes.size() && starts[at], "line " + std::to_string(line) + " starts inside a character: offset " + std::to_string(at) +
                   " of " + std::to_string(bytes.size()) + " in " + std::to_string(lines) + " lines");
        if (at < 2 || at == bytes.size() || bytes[at - 1] == '\n') continue;  // a paragraph's first line
        ++checked;
        const std::string first = bytes.substr(at, 2);
        Expect(first != stop && first != close,
               "line " + std::to_string(line) + " starts with " + Printable(first));
        Expect(!(starts[at - 2] && bytes.substr(at - 2, 2) == open),
               "line " + std::to_string(line - 1) + " ends with an opening bracket");
    }
    Expect(checked > 5, "too few wrapped lines to tell: " + std::to_string(checked));
    Snapshot(context, "memo-kinsoku-marks");
    editor.Close(window);
    ExpectExitCode(editor, 0, 5s);
}

}  // namespace

const std::vector<Scenario>& MemoScenarios()
{
    static const std::vector<Scenario> scenarios = {
        {"memo-takes-typed-text", MemoTakesTypedText},
        {"memo-selects-copies-pastes-and-undoes", MemoSelectsCopiesPastesAndUndoes},
        {"memo-wraps-japanese-text-by-the-line-breaking-rules", MemoWrapsJapaneseTextByTheLineBreakingRules},
    };
    return scenarios;
}

}  // namespace kp::e2e
