// The soak of the real program: seeded random steps drawn from the command
// alphabet the native soak uses (tests/soak/SoakAlphabet.h), keeping to the
// rows whose outcome the driver knows from outside, sent as messages to the
// memo, tool bar commands, shortcut keys, drops, clicks in the explorer pane
// and answers to the dialogs that follow. A byte model of the document
// follows the steps. After every step the editor still runs, answers a
// message within 5 s, leaves no dialog open, and shows the text the model
// predicts; at the end the document saved under a new name holds the model's
// bytes, and the working set has not grown beyond the document's own.
//
// Confinement: every path typed into a dialog or dropped is made under the
// walk's root folder and refused otherwise, and the explorer's selected path
// (status panel 3) is read before each rename or delete; a path outside the
// root is not sent and fails the run.
//
// Environment (Wine passes the caller's):
//   KP_SOAK_SEED, KP_SOAK_STEPS  the walk (default seed 1, 40 steps)
//   KP_SOAK_ROOT                 the root folder (default: a fresh folder in
//                                the driver's temporary folder)
//   KP_SOAK_CONFINED=1           the drives must be C: and S: only and the
//                                root on S: (scripts/soak-wine.sh)
//   KP_SOAK_TRACE=1              prints each step and the document's size
// A failure names its seed and step, the last steps, and its replay.

#include "tests/e2e/ScenarioKit.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/soak/SoakAlphabet.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <deque>
#include <memory>
#include <random>

namespace kp::e2e {

namespace {

using soak::PaneAction;
using soak::Step;

// Tool bar command ids: the button's place in the bar (separators counted) + 1.
constexpr int kNewCommand = 1;
constexpr int kOpenCommand = 2;
constexpr int kSaveCommand = 3;
constexpr int kSaveAsCommand = 4;
constexpr int kUndoCommand = 6;
constexpr int kCopyCommand = 8;
constexpr int kPasteCommand = 9;
constexpr int kCutCommand = 10;
constexpr int kFileNameEdit = 1148;
constexpr int kFindEdit = 1152;
constexpr auto kAnswerLimit = 5s;
const std::wstring kDeleteQuestion = L"ファイルの削除の確認";

// Files in the root at the start.
const std::pair<const wchar_t*, std::string_view> kFirstFiles[] = {
    {L"a.txt", "first line\r\nsecond\r\n"},
    {L"表.txt", "\x95\x5C\x82\xA0\r\n\x82\xA9\x82\xC8"},
    {L"empty.txt", ""},
    {L"memo", "no dot"},
};

std::optional<uint64_t> EnvNumber(const wchar_t* name)
{
    wchar_t text[32] = {};
    const DWORD length = GetEnvironmentVariableW(name, text, 32);
    if (length == 0 || length >= 32) return std::nullopt;
    return std::wcstoull(text, nullptr, 10);
}

std::wstring EnvText(const wchar_t* name)
{
    wchar_t text[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(name, text, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(text, length) : std::wstring();
}

// The document's bytes as the memo shows them (code page 932).
std::wstring Decoded(std::string_view bytes)
{
    if (bytes.empty()) return {};
    const int units = MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), units);
    return text;
}

std::string Encoded(std::wstring_view text)
{
    if (text.empty()) return {};
    const int units = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.data(), units, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.data(), units, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::string Short(const std::string& bytes)
{
    return "\"" + Printable(bytes.size() > 60 ? bytes.substr(0, 60) : bytes) + (bytes.size() > 60 ? "...\"" : "\"");
}

class SoakWalk {
public:
    SoakWalk(Context& context, uint64_t seed, std::wstring root, bool confined)
        : context_(context), seed_(seed), root_(std::move(root))
    {
        rng_.seed(seed);
        if (root_.back() != L'\\') root_ += L'\\';
        if (confined) {
            const DWORD drives = GetLogicalDrives();
            Expect(drives == ((1u << ('C' - 'A')) | (1u << ('S' - 'A'))),
                   "the prefix has drives other than C: and S: (mask " + std::to_string(drives) + ")");
            Expect(root_.rfind(L"S:\\", 0) == 0, "the root " + Utf8(root_) + " is not on S:");
        }
        // The guard refuses what escapes the root before the walk relies on it.
        const std::wstring bare = root_.substr(0, root_.size() - 1);
        for (const std::wstring& outside : {bare, bare + L"x\\a.txt", root_ + L"..\\a.txt", root_ + L"a\\..\\..\\b",
                                            root_ + L"a.txt:stream", root_ + L"a/../../b", std::wstring(L"C:\\a.txt"),
                                            std::wstring(L"\\\\?\\Z:\\a.txt")}) {
            bool refused = false;
            try {
                Confine(outside);
            } catch (const Failure&) {
                refused = true;
            }
            Expect(refused, "the path guard let " + Utf8(outside) + " through");
        }
        CreateDirectoryW(root_.c_str(), nullptr);
        for (const auto& [name, bytes] : kFirstFiles) WriteBytes(Confine(root_ + name), std::string(bytes));
        ForgetSettings();
        WriteString(kSettingsKey + L"\\File", L"Folder", root_.substr(0, root_.size() - 1));
        WriteString(kSettingsKey + L"\\Visual", L"FileListIcon", L"3");  // details: one row per item
    }

    void Run(uint64_t steps)
    {
        const ULONGLONG started = GetTickCount64();
        StartEditor();
        for (step_ = 0; step_ < steps; ++step_) {
            const soak::Row& row = soak::DrawRow(rng_, true);
            note_.clear();
            past_.push_back(model_);
            if (past_.size() > 120) past_.pop_front();
            try {
                Do(row.step);
                Probe();
            } catch (const Failure& failure) {
                Report(row.name, failure.what());
            }
            recent_.push_back(row.name + note_);
            if (recent_.size() > 12) recent_.pop_front();
            if (trace_) std::printf("  %llu %s%s: %zu bytes\n", static_cast<unsigned long long>(step_), row.name,
                                    note_.c_str(), model_.size());
        }
        try {
            Finish();
        } catch (const Failure& failure) {
            Report("final save", failure.what());
        }
        char line[300];
        std::snprintf(line, sizeof line,
                      "soak: seed %llu, %llu steps in %.1f s, %d restarts, %d saves, %d renames, %d deletes, "
                      "peak working set %.1f MB, document %zu bytes\n",
                      static_cast<unsigned long long>(seed_), static_cast<unsigned long long>(steps),
                      (GetTickCount64() - started) / 1000.0, restarts_, saves_, renames_, deletes_,
                      peak_ / 1048576.0, model_.size());
        std::fputs(line, stdout);
        std::fflush(stdout);
    }

private:
    // ---- The editor and the checks after each step --------------------------

    void StartEditor()
    {
        editor_ = std::make_unique<Editor>(context_.exePath);
        window_ = editor_->WaitForMainWindow();
        memo_ = WaitForMemo(window_);
        toolBar_ = ToolBarOf(window_);
        status_ = StatusBarOf(window_);
        list_ = FindDescendant(window_, L"SysListView32");
        Expect(list_ != nullptr, "the main window holds no file list");
        model_.clear();
        current_.clear();
        past_.clear();
        segment_.clear();
        Settle({""}, 0ms);
    }

    void Probe()
    {
        if (!editor_->IsRunning()) {
            const std::optional<DWORD> code = editor_->WaitForExit(0ms);
            Fail("the editor ended (exit code " + std::to_string(code.value_or(0)) + ")");
        }
        Expect(Answers(window_, kAnswerLimit), "the editor did not answer within 5 s");
        const std::vector<HWND> open = editor_->Dialogs();
        if (!open.empty()) {
            const HWND box = open.front();
            Fail("a dialog stayed open: " + Quoted(WindowText(box)) +
                 (GetDlgItem(box, 0xFFFF) ? " " + Quoted(MessageBoxText(box)) : ""));
        }
        const std::optional<ProcessMemory> memory = MemoryOf(editor_->ProcessId());
        Expect(memory.has_value(), "the editor's working set cannot be read");
        peak_ = std::max(peak_, memory->peakWorkingSet);
        segment_.push_back({memory->workingSet, model_.size()});
        CheckGrowth(false);
    }

    // Over one editor process: the working set at the latest step against the
    // highest of the first half (libraries and caches a first use loads come
    // early), allowing the document's own share (its bytes, their UTF-16
    // form and the layout) and a margin.
    void CheckGrowth(bool ending)
    {
        const size_t n = segment_.size();
        if (n < 40 || (!ending && n % 20 != 0)) return;
        size_t early = 0;
        for (size_t i = 0; i < n / 2; ++i) early = std::max(early, segment_[i].workingSet);
        const size_t now = segment_.back().workingSet;
        const size_t allowed = early + 24 * 1048576 + 8 * segment_.back().document;
        Expect(now <= allowed, "the working set grew from " + std::to_string(early / 1024) + " KB to " +
                                   std::to_string(now / 1024) + " KB over " + std::to_string(n) + " steps");
    }

    // A failure with its seed, step, the last steps and the replay.
    [[noreturn]] void Report(const char* row, const std::string& what) const
    {
        std::string last;
        for (const std::string& s : recent_) last += " | " + s;
        Fail("seed " + std::to_string(seed_) + ", step " + std::to_string(step_) + " (" + row + note_ + "): " + what +
             "\n  last steps:" + last + "\n  replay: KP_SOAK_SEED=" + std::to_string(seed_) +
             " KP_SOAK_STEPS=" + std::to_string(step_ + 1) + " scripts/e2e.sh build/win32 --only SoakWalk");
    }

    // Waits until the memo shows one of the candidates, which becomes the
    // model. A step whose outcome may be no change first waits `quiet` for
    // keys still on their way.
    void Settle(const std::vector<std::string>& candidates, Timeout quiet)
    {
        if (quiet.count() > 0) Sleep(static_cast<DWORD>(quiet.count()));
        const auto deadline = std::chrono::steady_clock::now() + kAnswerLimit;
        std::wstring shown;
        for (;;) {
            shown = WindowText(memo_);
            for (const std::string& c : candidates) {
                if (Decoded(c) == shown) {
                    model_ = c;
                    return;
                }
            }
            if (std::chrono::steady_clock::now() >= deadline) break;
            Sleep(30);
        }
        std::string expected;
        for (const std::string& c : candidates) expected += (expected.empty() ? "" : " or ") + Short(c);
        Fail("the memo shows " + Short(Encoded(shown)) + " after " + Short(model_) + ", expected " + expected);
    }

    // A path the walk may type or drop: inside the root, without "..", a
    // second colon or a forward slash. Anything else is not sent.
    std::wstring Confine(const std::wstring& path) const
    {
        const bool inside = path.size() > root_.size() &&
                            CompareStringOrdinal(path.c_str(), static_cast<int>(root_.size()), root_.c_str(),
                                                 static_cast<int>(root_.size()), TRUE) == CSTR_EQUAL &&
                            path.find(L"..") == std::wstring::npos && path.find(L':', 2) == std::wstring::npos &&
                            path.find(L'/') == std::wstring::npos;
        Expect(inside, "refused to send a path outside " + Utf8(root_) + ": " + Utf8(path));
        return path;
    }

    // ---- Helpers of the steps ----------------------------------------------

    size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }
    bool Chance(int percent) { return Pick(100) < static_cast<size_t>(percent); }
    std::pair<size_t, size_t> Sel() const
    {
        const auto [a, b] = Selection(memo_);
        return {static_cast<size_t>(std::min(a, b)), static_cast<size_t>(std::max(a, b) - std::min(a, b))};
    }
    std::string Replaced(size_t at, size_t count, std::string_view bytes) const
    {
        at = std::min(at, model_.size());
        return model_.substr(0, at) + std::string(bytes) + model_.substr(std::min(at + count, model_.size()));
    }

    // Sends a message and waits for its handler. Under Wine a send now and
    // then comes back within milliseconds reporting a timeout while the
    // message is still delivered; a WM_NULL sent after it is answered only
    // once it has been handled, so that answer is the barrier.
    void SendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        DWORD_PTR ignored = 0;
        if (SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL,
                                static_cast<UINT>(kAnswerLimit.count()), &ignored))
            return;
        Expect(IsWindow(window) && Answers(window, kAnswerLimit),
               "message " + std::to_string(message) + " not answered within 5 s");
    }
    // A tool button's command; true when it ended without leaving a modal
    // dialog up (the send returns once the handler does).
    bool ToolCommand(int id)
    {
        DWORD_PTR ignored = 0;
        if (SendMessageTimeoutW(window_, WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(toolBar_),
                                SMTO_NORMAL, 400, &ignored))
            return true;
        for (int attempt = 0; attempt < 10; ++attempt) {
            if (!editor_->Dialogs().empty()) return false;
            Sleep(50);
        }
        Expect(Answers(window_, kAnswerLimit), "the editor did not answer within 5 s");
        return editor_->Dialogs().empty();
    }

    // The files of the root (the driver's own listing), with their bytes.
    std::vector<std::pair<std::wstring, std::string>> RootFiles() const
    {
        std::vector<std::pair<std::wstring, std::string>> found;
        WIN32_FIND_DATAW data = {};
        HANDLE search = FindFirstFileW((root_ + L"*").c_str(), &data);
        if (search == INVALID_HANDLE_VALUE) return found;
        do {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            if (std::optional<std::string> bytes = ReadBytes(root_ + data.cFileName))
                found.emplace_back(data.cFileName, *bytes);
        } while (FindNextFileW(search, &data));
        FindClose(search);
        return found;
    }

    // What a command leaves to answer: perhaps nothing, some dialog, or a
    // file dialog (after the save question, if any).
    enum class Coming { Maybe, Dialog, FileDialog };

    // Answers the dialogs a command raises until none is left and the editor
    // answers again: the save question with No, a file dialog with the path
    // (Cancel when empty). Returns whether a file dialog took the path.
    bool AnswerDialogs(const std::wstring& path, Coming coming)
    {
        bool filled = false;
        bool seen = false;
        int quiet = 0;
        const auto deadline = std::chrono::steady_clock::now() + 15s;
        for (;;) {
            Expect(std::chrono::steady_clock::now() < deadline, "the command's dialogs did not end");
            Sleep(80);
            if (!IsWindow(window_) || !editor_->IsRunning()) return filled;
            const std::vector<HWND> open = editor_->Dialogs();
            if (open.empty()) {
                const bool waited = coming == Coming::Maybe || seen;
                if (waited && Answers(window_, kAnswerLimit) && ++quiet >= 2) return filled;
                continue;
            }
            quiet = 0;
            const HWND dialog = open.front();
            if (GetDlgItem(dialog, 0xFFFF) && MessageBoxText(dialog) == kSaveQuestion) {
                ClickButton(dialog, L"いいえ");
                seen = seen || coming == Coming::Dialog;
            } else if (GetDlgItem(dialog, kFileNameEdit)) {
                if (path.empty()) {
                    ClickControl(dialog, IDCANCEL);
                } else {
                    FillFileDialog(dialog, Confine(path));
                    filled = true;
                }
                seen = true;
            } else {
                Fail("unexpected dialog " + Quoted(WindowText(dialog)) +
                     (GetDlgItem(dialog, 0xFFFF) ? " " + Quoted(MessageBoxText(dialog)) : ""));
            }
            Expect(WaitForWindowGone(dialog, 3s), "a dialog stayed open after its answer");
        }
    }

    // ---- The steps -------------------------------------------------------------

    void Do(Step step)
    {
        switch (step) {
        case Step::Type: return TypeUnit();
        case Step::Backspace: return Backspace();
        case Step::DeleteKey: return DeleteKey();
        case Step::Move: return MoveKey();
        case Step::Select: return Select();
        case Step::Undo: return Undo();
        case Step::Clipboard: return ClipboardCommand();
        case Step::Template: return Template();
        case Step::Find: return Find();
        case Step::File: return FileCommand();
        case Step::Drop: return Drop();
        case Step::Restart: return Restart();
        case Step::Explorer: return Explorer();
        default: Fail("row without an end-to-end form");
        }
    }

    void TypeUnit()
    {
        const soak::Typed& typed = soak::kTyped[Pick(std::size(soak::kTyped))];
        note_ = " U+" + std::to_string(static_cast<unsigned>(typed.unit));
        const auto [start, length] = Sel();
        const std::string expected = typed.bytes.empty() ? model_ : Replaced(start, length, typed.bytes);
        SendTo(memo_, WM_CHAR, typed.unit, 1);
        Settle({expected}, 0ms);
    }
    void Backspace()
    {
        const auto [at, length] = Sel();
        std::string expected = model_;
        if (length > 0) {
            expected = Replaced(at, length, "");
        } else if (at > 0) {
            const std::vector<bool> boundary = fuzz::ReferenceBoundaries(model_);
            size_t from = at - 1;
            if (at >= 2 && model_.compare(at - 2, 2, "\r\n") == 0) from = at - 2;
            while (!boundary[from]) --from;
            expected = Replaced(from, at - from, "");
        }
        SendTo(memo_, WM_CHAR, L'\b', 1);
        Settle({expected}, 0ms);
    }
    void DeleteKey()
    {
        const auto [at, length] = Sel();
        std::string expected = model_;
        if (length > 0) {
            expected = Replaced(at, length, "");
        } else if (at < model_.size()) {
            const std::vector<bool> boundary = fuzz::ReferenceBoundaries(model_);
            size_t to = at + 1;
            if (model_.compare(at, 2, "\r\n") == 0) to = at + 2;
            while (!boundary[to]) ++to;
            expected = Replaced(at, to - at, "");
        }
        SendTo(memo_, WM_KEYDOWN, VK_DELETE, 1);
        SendTo(memo_, WM_KEYUP, VK_DELETE, 1 | (3u << 30));
        Settle({expected}, 0ms);
    }
    void MoveKey()
    {
        const uint32_t key = soak::kMoveKeys[Pick(std::size(soak::kMoveKeys))];
        note_ = " key " + std::to_string(key);
        SendTo(memo_, WM_KEYDOWN, key, 1);
        SendTo(memo_, WM_KEYUP, key, 1 | (3u << 30));
        Settle({model_}, 0ms);
    }
    void Select()
    {
        const size_t start = Pick(model_.size() + 3);
        const size_t end = Pick(model_.size() + 3);
        note_ = " " + std::to_string(start) + "-" + std::to_string(end);
        SendTo(memo_, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
        Settle({model_}, 0ms);
    }
    void Undo()
    {
        std::vector<std::string> candidates{model_};
        candidates.insert(candidates.end(), past_.rbegin(), past_.rend());
        Expect(ToolCommand(kUndoCommand), "Undo left a dialog up");
        Settle(candidates, 0ms);
    }
    void ClipboardCommand()
    {
        // The three with tool buttons.
        const std::string key = soak::kClipboardCommands[Pick(3)];
        note_ = " " + key;
        const auto [start, length] = Sel();
        std::vector<std::string> candidates{model_};
        int command = kCopyCommand;
        if (key == "Cut") {
            command = kCutCommand;
            if (length > 0) candidates.insert(candidates.begin(), Replaced(start, length, ""));
        } else if (key == "Paste") {
            command = kPasteCommand;
            if (const std::optional<std::wstring> text = ClipboardText())
                candidates.insert(candidates.begin(), Replaced(start, length, Encoded(*text)));
        }
        Expect(ToolCommand(command), key + " left a dialog up");
        Settle(candidates, 0ms);
    }
    void Template()
    {
        const int n = static_cast<int>(Pick(9)) + 1;
        note_ = " " + std::to_string(n);
        const auto [start, length] = Sel();
        const std::optional<std::string> file =
            ReadBytes(FolderOf(context_.exePath) + L"text" + std::to_wstring(n) + L".txt");
        Expect(file.has_value(), "the program's folder holds no text" + std::to_string(n) + ".txt");
        const std::string expected = Replaced(start, length, fuzz::ReferenceTemplateText(*file));
        PressKeys(window_, {static_cast<WORD>('0' + n), WithCtrl});
        Settle({expected}, expected == model_ ? 300ms : 0ms);
    }
    void Find()
    {
        const std::string pattern(soak::kPatterns[Pick(std::size(soak::kPatterns))]);
        note_ = " " + Printable(pattern);
        PressKeys(window_, {'F', WithCtrl});
        const HWND dialog = editor_->WaitForDialog([](HWND d) { return GetDlgItem(d, kFindEdit) != nullptr; },
                                                   "find dialog");
        SetControlText(dialog, kFindEdit, Wide(pattern));
        ClickControl(dialog, IDOK);
        // A message that nothing was found is answered; the search is over
        // once no box has shown for a while and the editor answers.
        Sleep(200);
        for (int calm = 0, attempt = 0; calm < 4 && attempt < 60; ++attempt) {
            bool box = false;
            for (HWND open : editor_->Dialogs()) {
                if (open != dialog && GetDlgItem(open, 0xFFFF)) {
                    PostMessageW(open, WM_COMMAND, IDOK, 0);
                    box = true;
                }
            }
            calm = box || !Answers(window_, kAnswerLimit) ? 0 : calm + 1;
            Sleep(50);
        }
        ClickControl(dialog, IDCANCEL);
        Expect(WaitForWindowGone(dialog, 3s) || !IsWindowVisible(dialog), "the find dialog stayed open");
        Settle({model_}, 0ms);
    }
    void FileCommand()
    {
        const std::string key = soak::kFileCommands[Pick(4)];  // LastTimeFile is a setting's toggle
        note_ = " " + key;
        if (key == "New") {
            if (!ToolCommand(kNewCommand)) AnswerDialogs({}, Coming::Dialog);
            current_.clear();
            Settle({""}, 0ms);
        } else if (key == "Open") {
            const auto files = RootFiles();
            const bool cancel = files.empty() || Chance(10);
            const auto& chosen = cancel ? std::pair<std::wstring, std::string>() : files[Pick(files.size())];
            const std::wstring path = cancel ? std::wstring() : root_ + chosen.first;
            note_ += " " + Utf8(cancel ? L"(cancel)" : chosen.first);
            const bool done = ToolCommand(kOpenCommand);
            const bool loaded = !done && AnswerDialogs(path, Coming::FileDialog);
            if (loaded) current_ = path;
            Settle(loaded ? std::vector<std::string>{chosen.second} : std::vector<std::string>{model_}, 0ms);
        } else if (key == "Save") {
            if (current_.empty() || !ToolButtonEnabled(toolBar_, kSaveCommand)) {
                note_ += " (off)";
                return;
            }
            if (!ToolCommand(kSaveCommand)) AnswerDialogs({}, Coming::Dialog);
            ExpectFileBytes(current_, model_);
            ++saves_;
        } else {
            const std::wstring path = root_ + L"save" + std::to_wstring(step_) + L".txt";
            note_ += " " + Utf8(path);
            ToolCommand(kSaveAsCommand);
            Expect(AnswerDialogs(path, Coming::FileDialog), "Save As was not answered");
            ExpectFileBytes(path, model_);
            current_ = path;
            ++saves_;
        }
    }
    void Drop()
    {
        const auto files = RootFiles();
        if (files.empty()) return;
        const auto& [name, bytes] = files[Pick(files.size())];
        note_ = " " + Utf8(name);
        editor_->DropFiles(window_, {Confine(root_ + name)});
        current_ = root_ + name;
        Settle({bytes}, 300ms);
    }
    // Closes the editor, answering No to the save question, and expects a
    // clean exit.
    void CloseEditor()
    {
        editor_->Close(window_);
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (editor_->IsRunning() && std::chrono::steady_clock::now() < deadline) {
            for (HWND box : editor_->Dialogs()) {
                Expect(GetDlgItem(box, 0xFFFF) && MessageBoxText(box) == kSaveQuestion,
                       "unexpected dialog at close: " + Quoted(WindowText(box)));
                ClickButton(box, L"いいえ");
                WaitForWindowGone(box, 3s);
            }
            Sleep(50);
        }
        const std::optional<DWORD> code = editor_->WaitForExit(0ms);
        Expect(code.has_value(), "the editor still runs 10 s after Close");
        Expect(*code == 0, "the editor ended with code " + std::to_string(*code));
    }
    void Restart()
    {
        CloseEditor();
        CheckGrowth(true);
        ++restarts_;
        StartEditor();
    }

    // The pane, kept to the root: an item is clicked and its path read from
    // status panel 3 before a rename or delete is sent.
    void Explorer()
    {
        PaneAction action = soak::DrawPaneAction(rng_);
        if (action == PaneAction::Browse) action = PaneAction::Select;  // the tree would leave the root
        if (action == PaneAction::Refresh) {
            note_ = " refresh";
            PressKeys(window_, {'V', WithAlt});
            Sleep(200);
            PressKeys(window_, {'R'});
            Settle({model_}, 300ms);
            return;
        }
        const std::vector<std::wstring> items = editor_->ListItems(list_);
        if (items.empty()) {
            note_ = " (empty list)";
            return;
        }
        const int index = static_cast<int>(Pick(items.size()));
        const std::wstring& name = items[static_cast<size_t>(index)];
        const std::wstring path = root_ + name;
        note_ = " " + Utf8(name);
        if (action == PaneAction::Open) {
            // A file with an extension loads (after the save question); one
            // without loads only into an unmodified document, which the
            // driver does not know: either outcome is taken.
            const std::optional<std::string> bytes = ReadBytes(path);
            const bool dotted = name.find(L'.') != std::wstring::npos;
            note_ += " open";
            const std::string before = model_;
            DoubleClickAt(window_, editor_->ListItemRect(list_, index));
            lastClick_ = GetTickCount64();
            Sleep(300);
            AnswerDialogs({}, Coming::Maybe);
            if (!bytes)
                Settle({model_}, 300ms);
            else if (dotted)
                Settle({*bytes}, 300ms);
            else
                Settle({before, *bytes}, 300ms);
            if (bytes && model_ == *bytes && (dotted || model_ != before))
                current_ = path;
            else if (bytes && model_ == *bytes)
                current_.clear();  // loaded or not: Save is left alone until a file is known
            return;
        }
        // Two clicks within the double-click time would open the item.
        const ULONGLONG since = GetTickCount64() - lastClick_;
        if (since <= GetDoubleClickTime()) Sleep(static_cast<DWORD>(GetDoubleClickTime() - since + 50));
        ClickAt(window_, editor_->ListItemRect(list_, index));
        lastClick_ = GetTickCount64();
        // The path the pane acts on, as it shows it.
        std::wstring selected;
        for (int attempt = 0; attempt < 40 && (selected = editor_->StatusText(status_, 3)) != path; ++attempt)
            Sleep(50);
        if (action == PaneAction::Select) {
            Settle({model_}, 0ms);
            return;
        }
        Confine(selected);
        if (selected != path) {
            // The list moved under the click: nothing is sent.
            note_ += " (selected " + Utf8(selected) + ")";
            Settle({model_}, 0ms);
            return;
        }
        if (action == PaneAction::Rename) {
            const std::wstring name2 = Wide(soak::kRenames[Pick(std::size(soak::kRenames))]);
            note_ += " rename " + Utf8(name2);
            PressKeys(window_, {VK_F2});
            // Keys go to the label's edit box only once it is there (typed
            // into the list, Enter would open the item instead).
            HWND edit = nullptr;
            for (int attempt = 0; attempt < 20 && !edit; ++attempt) {
                Sleep(50);
                DWORD_PTR found = 0;
                if (SendMessageTimeoutW(list_, LVM_GETEDITCONTROL, 0, 0, SMTO_NORMAL, 2000, &found))
                    edit = reinterpret_cast<HWND>(found);
            }
            if (!edit) {
                note_ += " (no label editor)";
                Settle({model_}, 0ms);
                return;
            }
            if (!name2.empty()) TypeText(window_, name2);
            PressKeys(window_, {Chance(85) ? WORD{VK_RETURN} : WORD{VK_ESCAPE}});
            WaitForWindowGone(edit, 3s);
            ++renames_;
        } else {
            const bool yes = Chance(60);
            note_ += yes ? " delete yes" : " delete no";
            PressKeys(window_, {VK_DELETE});
            const HWND box = editor_->WaitForDialog(kDeleteQuestion);
            ClickButton(box, yes ? L"はい" : L"いいえ");
            Expect(WaitForWindowGone(box), "the delete question stayed open");
            ++deletes_;
        }
        Settle({model_}, 200ms);
    }

    // Saves under a new name and checks the bytes, then closes.
    void Finish()
    {
        const std::wstring path = root_ + L"final.txt";
        DeleteFileW(path.c_str());
        ToolCommand(kSaveAsCommand);
        Expect(AnswerDialogs(path, Coming::FileDialog), "Save As was not answered");
        ExpectFileBytes(path, model_);
        CheckGrowth(true);
        CloseEditor();
    }

    struct Sample {
        size_t workingSet;
        size_t document;
    };

    Context& context_;
    uint64_t seed_;
    std::wstring root_;
    std::mt19937_64 rng_;
    std::unique_ptr<Editor> editor_;
    HWND window_ = nullptr;
    HWND memo_ = nullptr;
    HWND toolBar_ = nullptr;
    HWND status_ = nullptr;
    HWND list_ = nullptr;
    std::string model_;
    std::deque<std::string> past_;
    std::deque<std::string> recent_;
    std::wstring current_;
    std::string note_;
    uint64_t step_ = 0;
    int restarts_ = 0;
    int saves_ = 0;
    int renames_ = 0;
    int deletes_ = 0;
    size_t peak_ = 0;
    std::vector<Sample> segment_;
    ULONGLONG lastClick_ = 0;
    bool trace_ = EnvText(L"KP_SOAK_TRACE") == L"1";
};

// A short walk with a fixed seed (longer ones: scripts/soak-wine.sh).
void SoakWalkUnderWine(Context& context)
{
    std::wstring root = EnvText(L"KP_SOAK_ROOT");
    if (root.empty()) root = TempFolder() + L"soak-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    SoakWalk walk(context, EnvNumber(L"KP_SOAK_SEED").value_or(1), root, EnvText(L"KP_SOAK_CONFINED") == L"1");
    walk.Run(EnvNumber(L"KP_SOAK_STEPS").value_or(40));
}

}  // namespace

const std::vector<Scenario>& SoakScenarios()
{
    static const std::vector<Scenario> scenarios = {
        {"SoakWalk", SoakWalkUnderWine},
    };
    return scenarios;
}

}  // namespace kp::e2e
