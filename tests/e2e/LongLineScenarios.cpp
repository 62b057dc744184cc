// One logical line of 8 MB: typed into at both ends and saved, while the
// editor keeps answering.

#include "tests/e2e/ScenarioKit.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <thread>

namespace kp::e2e {

namespace {

// Letters and kana with a tab about every 100 bytes, no line break.
std::string OneLongLine(size_t size)
{
    const std::string piece = "abc \x82\xA0\x82\xA2\x82\xA4 kana \x83\x65\x83\x4C\x83\x58\x83\x67 text ";
    std::string text;
    text.reserve(size);
    while (text.size() + piece.size() + 1 <= size) {
        text += piece;
        if (text.size() % 100 < piece.size()) text += '\t';
    }
    text.append(size - text.size(), 'z');
    return text;
}

// Sends WM_NULL to a window every few milliseconds from a thread of its own
// and keeps the longest wait for an answer.
class Probe {
public:
    explicit Probe(HWND window) : thread_([this, window] { Run(window); }) {}
    ~Probe() { Stop(); }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    // Stops and gives the longest wait (milliseconds) and how many answers came.
    std::pair<long long, int> Stop()
    {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        return {longest_, answers_};
    }

private:
    void Run(HWND window)
    {
        while (!stop_) {
            const auto sent = std::chrono::steady_clock::now();
            DWORD_PTR ignored = 0;
            const bool answered =
                SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
            const auto waited =
                std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - sent);
            longest_ = std::max<long long>(longest_, answered ? waited.count() : 5000);
            answers_ += answered ? 1 : 0;
            Sleep(5);
        }
    }

    std::atomic<bool> stop_{false};
    long long longest_ = 0;
    int answers_ = 0;
    std::thread thread_;
};

// Waits for the file to hold the bytes; a failure tells where they differ.
void ExpectSaved(const std::wstring& path, const std::string& bytes)
{
    std::optional<std::string> got;
    for (int attempt = 0; attempt < 400 && (got = ReadBytes(path)) != bytes; ++attempt) Sleep(50);
    if (got == bytes) return;
    if (!got) Fail(Utf8(path) + " cannot be read");
    const auto differ = std::mismatch(got->begin(), got->end(), bytes.begin(), bytes.end());
    const auto at = static_cast<size_t>(differ.first - got->begin());
    Fail(Utf8(path) + " holds " + std::to_string(got->size()) + " bytes, not " + std::to_string(bytes.size()) +
         "; they differ from byte " + std::to_string(at) + ": \"" + Printable(got->substr(at, 16)) + "\" against \"" +
         Printable(bytes.substr(std::min(at, bytes.size()), 16)) + "\"");
}

// Opens the line, types at its end and its start, saves: the file holds the
// line with both characters at their places, and a probe sent to the memo
// during the typing is answered within 100 ms each time. Wrap off and on.
void TypingIntoAnEightMegabyteLineAnswersAndSaves(Context& context)
{
    const std::string line = OneLongLine(size_t{8} << 20);
    const std::string end = "\x96\x96";    // 末
    const std::string start = "\x93\xAA";  // 頭
    for (const bool wrap : {false, true}) {
        ForgetSettings();
        WriteString(kSettingsKey + L"\\Visual", L"WordWrap", wrap ? L"1" : L"0");
        const std::wstring path = TempFolder() + L"長い行.txt";
        WriteBytes(path, line);
        Editor editor(context.exePath, {path});
        const HWND window = editor.WaitForMainWindow(30s);
        const HWND memo = WaitForMemo(window);
        const std::wstring caption = L"[長い行.txt] - Kestrelpad";
        for (int attempt = 0; attempt < 200 && WindowText(window) != caption; ++attempt) Sleep(50);
        ExpectCaption(window, caption);

        Probe probe(memo);
        PressKeys(window, {VK_END, WithCtrl});
        TypeText(window, L"末");
        PressKeys(window, {VK_HOME, WithCtrl});
        TypeText(window, L"頭");
        // Keys arrive in order: the caret after the second character means
        // every key before it was handled.
        for (int attempt = 0; attempt < 200 && Selection(memo) != std::pair{2, 2}; ++attempt) Sleep(50);
        const auto [longest, answers] = probe.Stop();
        Expect(Selection(memo) == std::pair{2, 2}, "the caret is not after the character typed at the start");
        PressKeys(window, {'S', WithCtrl});
        ExpectSaved(path, start + line + end);
        Snapshot(context, wrap ? "long-line-wrapped" : "long-line");
        const std::string mode = wrap ? "with wrap on" : "with wrap off";
        Expect(answers > 0, "the memo answered no probe " + mode);
        Expect(longest <= 100, "the memo took " + std::to_string(longest) + " ms to answer a probe " + mode);
        editor.Close(window);
        ExpectExitCode(editor, 0, 10s);
        DeleteFileW(path.c_str());
    }
}

}  // namespace

const std::vector<Scenario>& LongLineScenarios()
{
    static const std::vector<Scenario> scenarios = {
        {"typing-into-an-eight-megabyte-line-answers-and-saves", TypingIntoAnEightMegabyteLineAnswersAndSaves},
    };
    return scenarios;
}

}  // namespace kp::e2e
