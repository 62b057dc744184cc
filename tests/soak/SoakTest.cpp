// The whole main window under a seeded random walk of user actions, drawn
// from the command alphabet the end-to-end soak shares (SoakAlphabet.h):
// menus, tool buttons, typing, caret and selection moves, dialogs answered by
// script or at random, templates, timer ticks, drops, the explorer pane on a
// simulated tree, failures of the clipboard and of files, restarts over the
// same store.
// After every step:
//   - the document's bytes are what a plain string model of the step gives
//     (exactly for edits, one of the possible outcomes where a random answer
//     decides, such as a file command after the save question);
//   - the selection stands on character boundaries, outside CR LF pairs;
//   - no exception other than a failure meant for the user (kp::Error, which
//     the real host shows in a box) left a handler;
//   - every setting reads back as its type;
//   - every file on the simulated disk holds a text the editor once held or
//     its first contents, and no temporary file is left.
// A failure prints its seed and step and replays with
//   KP_SOAK_SEED=seed KP_SOAK_STEPS=steps kp_tests --gtest_filter='Seeds/Soak.*'
// KP_SOAK_SEEDS runs that many seeds from KP_SOAK_SEED (scripts/soak.sh).

#include "base/Error.h"
#include "tests/app/MainFormFixture.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/soak/SoakAlphabet.h"

#include "platform/shell/SimShellNamespace.h"
#include "ui/sim/SimListView.h"
#include "ui/sim/SimTreeView.h"

#include <cstdlib>
#include <deque>
#include <random>
#include <span>
#include <sstream>
#include <unordered_set>

namespace kp::app {
namespace {

constexpr const char* kDocs = "C:\\docs\\";
constexpr const char* kProgram = "C:\\Program Files\\Kestrelpad\\";

// Files on the disk at the start; the dialogs and drops name these, a few
// names not yet there, a folder and a path that cannot be.
const std::pair<const char*, std::string_view> kFirstFiles[] = {
    {"a.txt", "first line\r\nsecond\r\n"},
    {"表.txt", "\x95\x5C\x82\xA0\r\n\x82\xA9\x82\xC8"},
    {"lead.txt", "ends in a lead byte \x82"},
    {"mixed.txt", std::string_view("cr\rlf\nnul\0end", 14)},
    {"empty.txt", ""},
};
const char* const kNames[] = {"a.txt", "表.txt", "lead.txt", "mixed.txt", "empty.txt", "new.txt", "新規.txt"};
const char* const kOddPaths[] = {"C:\\docs", "C:\\nowhere\\x.txt", "C:\\docs\\a.txt\\b", ""};

// Template files 1 to 8 (9 stays missing).
const std::string_view kTemplates[] = {
    "template", "line\rnext\r\nlast\r", "\x82\xA0\x82\xA2", "stop\x1A" "after", std::string_view("n\0l", 3),
    "lone \x82", "\r\r\n\r", "lf\nonly"};

using soak::kMoveKeys;
using soak::kPatterns;
using soak::kRawBytes;
using soak::kTyped;
using soak::Typed;

std::optional<uint64_t> EnvNumber(const char* name)
{
    const char* text = std::getenv(name);
    if (!text || !*text) return std::nullopt;
    return std::strtoull(text, nullptr, 10);
}

std::string Escaped(std::string_view bytes)
{
    return bytes.size() > 80 ? fuzz::Escaped(bytes.substr(0, 80)) + "..." : fuzz::Escaped(bytes);
}

class Soak : public MainFormFixture, public ::testing::WithParamInterface<uint64_t> {
protected:
    Soak() { services.shell = &shell_; }
    ~Soak() override { Stop(); }

    // ---- The walk ----------------------------------------------------------

    void SetUpDisk()
    {
        for (const auto& [name, bytes] : kFirstFiles) {
            File(std::string(kDocs) + name, bytes);
            Allow(bytes);
        }
        for (size_t n = 0; n < std::size(kTemplates); ++n)
            File(std::string(kProgram) + "text" + std::to_string(n + 1) + ".txt", kTemplates[n]);
        Stored("File", "Backup", "1");
        Stored("File", "BackupTime", "1");
        Stored("File", "Folder", "C:\\docs");  // where the pane starts
        messages.Chooser = [this](ui::DialogButtons buttons) {
            std::vector<ui::ModalResult> offered;
            for (const auto& [button, result] : {std::pair{ui::mbYes, ui::mrYes}, std::pair{ui::mbNo, ui::mrNo},
                                                std::pair{ui::mbOK, ui::mrOk}, std::pair{ui::mbCancel, ui::mrCancel}})
                if (buttons & button) offered.push_back(result);
            return offered.empty() ? ui::mrOk : offered[Pick(offered.size())];
        };
    }

    void Walk(uint64_t seed, uint64_t steps)
    {
        rng_.seed(seed);
        SetUpDisk();
        StartWithPane();
        model_ = form->Memo.Text();
        Allow(model_);
        for (uint64_t step = 0; step < steps; ++step) {
            const soak::Row* command = &soak::DrawRow(rng_, false);
            candidates_.clear();
            note_.clear();
            const std::string before = model_;
            past_.push_back(model_);
            if (past_.size() > 120) past_.pop_front();
            problem_.clear();
            try {
                Run(command->step);
            } catch (const Error& failure) {
                application.HandleException(failure);  // as the real host does
            } catch (const std::exception& failure) {
                Fail(seed, step, command->name, std::string("exception left a handler: ") + failure.what());
                return;
            }
            recent_.push_back(std::string(command->name) + note_);
            if (recent_.size() > 12) recent_.pop_front();
            if (const std::string broken = Check(before); !broken.empty()) {
                Fail(seed, step, command->name, broken);
                return;
            }
        }
    }

    // The window with the pane's tree and list on their simulated displays.
    void StartWithPane()
    {
        Stop();
        form = std::make_unique<TEditForm>(services, host);
        form->ClientArea.Arrange(ui::TRect{0, 0, 700, 400});
        tree_ = std::make_unique<ui::SimTreeView>(form->FolderTreeViewEx1);
        list_ = std::make_unique<ui::SimListView>(form->ShellListBox1);
        form->FormCreate({});
        form->FormShow();
    }
    void Stop()
    {
        tree_.reset();
        list_.reset();
        form.reset();
    }

    void Fail(uint64_t seed, uint64_t step, const char* command, const std::string& what)
    {
        std::ostringstream out;
        out << "seed " << seed << ", step " << step << " (" << command << note_ << "): " << what
            << "\nlast steps:";
        for (const std::string& s : recent_) out << " | " << s;
        out << "\nreplay: KP_SOAK_SEED=" << seed << " KP_SOAK_STEPS=" << step + 1
            << " kp_tests --gtest_filter='Seeds/Soak.*'";
        ADD_FAILURE() << out.str();
    }

    // ---- The checks after each step ----------------------------------------

    std::string Check(const std::string& before)
    {
        const std::string text = form->Memo.Text();
        if (!candidates_.empty() &&
            std::find(candidates_.begin(), candidates_.end(), text) == candidates_.end()) {
            std::string expected;
            for (const std::string& c : candidates_) expected += " or " + Escaped(c);
            return "document " + Escaped(text) + " after " + Escaped(before) + ", expected" + expected.substr(3);
        }
        if (!problem_.empty()) return problem_ + " in " + Escaped(text) + " after " + Escaped(before);
        model_ = text;
        Allow(model_);
        const std::vector<bool> boundary = fuzz::ReferenceBoundaries(text);
        for (const size_t at : {form->Memo.SelStart(), form->Memo.SelStart() + form->Memo.SelLength()}) {
            const bool insidePair = at > 0 && at < text.size() && text[at - 1] == '\r' && text[at] == '\n';
            if (at > text.size() || !boundary[at] || insidePair)
                return "selection edge " + std::to_string(at) + " inside a character of " + Escaped(text);
        }
        if (std::string broken = CheckStore(); !broken.empty()) return broken;
        return CheckDisk();
    }

    std::string CheckStore()
    {
        const TRegIniFile store(registry, kKey);
        for (const settings::Setting* s : settings::AllScalarSettings()) {
            try {
                switch (s->type) {
                case settings::SettingType::Integer: settings::ReadInteger(store, *s); break;
                case settings::SettingType::Flag: settings::ReadBool(store, *s); break;
                case settings::SettingType::Colour: settings::ReadColour(store, *s); break;
                default: settings::ReadString(store, *s); break;
                }
            } catch (const std::exception& failure) {
                return "setting " + std::string(s->section) + "\\" + std::string(s->ident) + ": " + failure.what();
            }
        }
        return {};
    }

    std::string CheckDisk()
    {
        for (const std::string folder : {"C:\\docs", "C:\\work"}) {
            std::vector<std::string> names;
            files.ListFolder(folder, names);
            for (const std::string& name : names) {
                const std::string path = folder + "\\" + name;
                if (name.rfind("~kp", 0) == 0) return "temporary file left: " + path;
                std::string bytes;
                if (files.Query(path).directory || files.ReadAll(path, bytes) != platform::FileStatus::Ok) continue;
                if (!allowed_.count(std::hash<std::string>{}(bytes)))
                    return path + " holds " + Escaped(bytes) + ", no text the editor held";
            }
        }
        return {};
    }

    void Allow(std::string_view text) { allowed_.insert(std::hash<std::string_view>{}(text)); }

    // ---- Helpers of the commands -------------------------------------------

    size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }
    bool Chance(int percent) { return Pick(100) < static_cast<size_t>(percent); }
    template <typename T, size_t N>
    const T& Any(const T (&items)[N])
    {
        return items[Pick(N)];
    }
    std::string AnyPath()
    {
        return Chance(10) ? Any(kOddPaths) : std::string(kDocs) + Any(kNames);
    }
    size_t Start0() const { return form->Memo.SelStart(); }
    size_t Length0() const { return form->Memo.SelLength(); }
    std::string Replaced(size_t at, size_t count, std::string_view bytes) const
    {
        return model_.substr(0, at) + std::string(bytes) + model_.substr(std::min(at + count, model_.size()));
    }
    std::string WithoutSelection() const { return Replaced(Start0(), Length0(), ""); }
    void Expect(std::string text) { candidates_.push_back(std::move(text)); }
    void ExpectUnchanged() { Expect(model_); }
    // A file command: the document stays, becomes empty or becomes a file
    // (any file on the disk: the pane and the history reach them all).
    void ExpectDocumentOrFile()
    {
        ExpectUnchanged();
        Expect("");
        std::vector<std::string> folders{"C:"};
        while (!folders.empty()) {
            const std::string folder = folders.back();
            folders.pop_back();
            std::vector<std::string> names;
            files.ListFolder(folder, names);
            for (const std::string& name : names) {
                const std::string path = folder + "\\" + name;
                std::string bytes;
                if (files.Query(path).directory)
                    folders.push_back(path);
                else if (files.ReadAll(path, bytes) == platform::FileStatus::Ok)
                    Expect(bytes);
            }
        }
    }
    void Menu(const std::string& key)
    {
        note_ += " " + key;
        form->MenuItem(key)->Click();
    }
    // A selection's bytes survive the clipboard (the cut then takes them).
    bool Carries(std::string_view bytes) const
    {
        return bytes.find('\0') == std::string_view::npos &&
               test::TestCodec().FromUtf16(test::TestCodec().ToUtf16(bytes)) == bytes;
    }

    // ---- The commands --------------------------------------------------------

    void TypeUnit()
    {
        const Typed& typed = Any(kTyped);
        note_ = " U+" + std::to_string(static_cast<unsigned>(typed.unit));
        Expect(typed.bytes.empty() ? model_ : Replaced(Start0(), Length0(), typed.bytes));
        form->Memo.Perform(memo::wm::kChar, typed.unit, 0);
    }
    void PutBytes()
    {
        const std::string_view bytes = Any(kRawBytes);
        note_ = " " + Escaped(bytes);
        Expect(Replaced(Start0(), Length0(), bytes));
        form->Memo.SetSelText(bytes);
    }
    void Backspace()
    {
        const size_t at = Start0();
        if (Length0() > 0) {
            Expect(WithoutSelection());
        } else if (at == 0) {
            ExpectUnchanged();
        } else {
            const std::vector<bool> boundary = fuzz::ReferenceBoundaries(model_);
            size_t from = at - 1;
            if (at >= 2 && model_.compare(at - 2, 2, "\r\n") == 0) from = at - 2;
            while (!boundary[from]) --from;
            Expect(Replaced(from, at - from, ""));
        }
        form->Memo.Perform(memo::wm::kChar, u'\b', 0);
    }
    void DeleteKey()
    {
        const size_t at = Start0();
        if (Length0() > 0) {
            Expect(WithoutSelection());
        } else if (at >= model_.size()) {
            ExpectUnchanged();
        } else {
            const std::vector<bool> boundary = fuzz::ReferenceBoundaries(model_);
            size_t to = at + 1;
            if (model_.compare(at, 2, "\r\n") == 0) to = at + 2;
            while (!boundary[to]) ++to;
            Expect(Replaced(at, to - at, ""));
        }
        form->Memo.Perform(memo::wm::kKeyDown, memo::vk::kDelete, 0);
    }
    void MoveKey()
    {
        const bool shift = Chance(40);
        const bool ctrl = Chance(20);
        const uint32_t key = Any(kMoveKeys);
        note_ = " key " + std::to_string(key) + (shift ? " shift" : "") + (ctrl ? " ctrl" : "");
        keys.SetDown(memo::vk::kShift, shift);
        keys.SetDown(memo::vk::kControl, ctrl);
        ExpectUnchanged();
        form->Memo.Perform(memo::wm::kKeyDown, key, 0);
        keys.SetDown(memo::vk::kShift, false);
        keys.SetDown(memo::vk::kControl, false);
    }
    void Select()
    {
        const size_t start = Pick(model_.size() + 3);
        const size_t length = Pick(model_.size() + 3);
        note_ = " " + std::to_string(start) + "+" + std::to_string(length);
        ExpectUnchanged();
        form->Memo.SetSelStart(start);
        form->Memo.SetSelLength(length);
    }
    void Undo()
    {
        // The text from before some earlier step (or the same, with nothing to undo).
        ExpectUnchanged();
        for (const std::string& text : past_) Expect(text);
        if (Chance(50))
            Menu("Undo");
        else
            form->ToolBar1.Click("Undo");
    }
    void ClipboardCommand()
    {
        const std::string key = Any(soak::kClipboardCommands);
        const bool all = key == "CopyAll" || key == "CutAll";
        const std::string_view selection =
            all ? std::string_view(model_) : std::string_view(model_).substr(Start0(), Length0());
        const bool held = clipboardHeld_;
        if ((key == "Cut" || key == "CutAll" || key == "AddCut") && !held && Carries(selection))
            Expect(all ? std::string() : WithoutSelection());
        if (key == "Paste" && !held) {
            if (const std::optional<std::u16string> text = clipboard.GetText())
                Expect(Replaced(Start0(), Length0(), test::TestCodec().FromUtf16(*text)));
        }
        ExpectUnchanged();
        if ((key == "Cut" || key == "Copy" || key == "Paste") && Chance(30)) {
            note_ = " button " + key;
            form->ToolBar1.Click(key);
        } else {
            Menu(key);
        }
    }
    void EditCommand()
    {
        static const char* const kKeys[] = {"Cutting", "Delete", "SelectAll", "DateTime", "FontBig", "FontSmall"};
        const std::string key = Any(kKeys);
        const size_t start = Start0();
        const size_t length = Length0();
        if (key == "Cutting") Expect(model_.substr(start, length));
        if (key == "SelectAll") ExpectUnchanged();
        if (key == "Delete") {
            // The caret's line with its line break (the last line: with the
            // break before it); with wrapping, the caret's display line (one
            // stretch of a logical line, checked below).
            const std::vector<size_t> starts = fuzz::ReferenceLineStarts(model_);
            const size_t caretLine =
                static_cast<size_t>(std::upper_bound(starts.begin(), starts.end(), start) - starts.begin()) - 1;
            ExpectUnchanged();
            if (form->MenuItem("LeftEnter")->Checked()) candidates_.clear();
            for (size_t k = caretLine; k == caretLine && !candidates_.empty(); ++k) {
                const size_t next = k + 1 < starts.size() ? starts[k + 1] : model_.size();
                Expect(Replaced(starts[k], next - starts[k], ""));
                if (k > 0 && k + 1 == starts.size()) {
                    const bool pair = starts[k] >= 2 && model_.compare(starts[k] - 2, 2, "\r\n") == 0;
                    Expect(model_.substr(0, starts[k] - (pair ? 2 : 1)));
                }
            }
        }
        Menu(key);
        const std::string text = form->Memo.Text();
        if (key == "DateTime") {
            // The stamp goes in front of the selection.
            if (text.size() < model_.size() || text.compare(0, start, model_, 0, start) != 0 ||
                text.compare(text.size() - (model_.size() - start), std::string::npos, model_, start) != 0)
                problem_ = "no stamp inserted at " + std::to_string(start);
        } else if (key == "Delete" && candidates_.empty()) {
            // One stretch of a line went, with no line break but at its end
            // (wherever the removed bytes may have stood).
            bool one = false;
            if (text.size() <= model_.size()) {
                const size_t gone = model_.size() - text.size();
                size_t prefix = 0;
                while (prefix < text.size() && text[prefix] == model_[prefix]) ++prefix;
                size_t suffix = 0;
                while (suffix < text.size() && text[text.size() - 1 - suffix] == model_[model_.size() - 1 - suffix])
                    ++suffix;
                for (size_t at = text.size() - std::min(suffix, text.size()); at <= prefix && !one; ++at) {
                    const std::string_view removed = std::string_view(model_).substr(at, gone);
                    const size_t lineBreak = removed.find_first_of("\r\n");
                    one = lineBreak == std::string_view::npos ||
                          removed.find_first_not_of("\r\n", lineBreak) == std::string_view::npos;
                }
            }
            if (!one) problem_ = "more than one line deleted";
        } else if (key == "FontBig" || key == "FontSmall") {
            // Letters change in place; line breaks and lengths stay.
            const size_t from = length ? start : 0;
            const size_t to = length ? start + length : model_.size();
            bool same = text.size() == model_.size() && text.compare(0, from, model_, 0, from) == 0 &&
                        text.compare(to, std::string::npos, model_, to) == 0;
            for (size_t i = from; same && i < to; ++i)
                same = (text[i] == '\r' || text[i] == '\n') == (model_[i] == '\r' || model_[i] == '\n');
            if (!same) problem_ = "not only letters converted in [" + std::to_string(from) + ", " + std::to_string(to) + ")";
        }
    }
    void Template()
    {
        const int n = static_cast<int>(Pick(9)) + 1;
        std::string file;
        if (files.ReadAll(std::string(kProgram) + "text" + std::to_string(n) + ".txt", file) ==
            platform::FileStatus::Ok)
            Expect(Replaced(Start0(), Length0(), fuzz::ReferenceTemplateText(file)));
        else
            ExpectUnchanged();
        Menu("Text" + std::to_string(n));
    }
    void Find()
    {
        const std::string pattern(Any(kPatterns));
        const uint32_t options = static_cast<uint32_t>(Pick(8));
        ExpectUnchanged();
        if (!dialogs.IsShowing(form->FindDialog1) || Chance(30)) Menu("Find");
        if (dialogs.IsShowing(form->FindDialog1)) {
            dialogs.PressFindNext(form->FindDialog1, pattern, options);
            if (Chance(20)) dialogs.UserCloses(form->FindDialog1);
        }
        if (Chance(30)) Menu("FindNext");
    }
    void Replace()
    {
        const std::string find(Any(kPatterns));
        const std::string with(Any(kPatterns));
        note_ = " " + Escaped(find) + " -> " + Escaped(with);
        const std::string findBytes = test::TestCodec().FromUtf8(find);
        const std::string withBytes = test::TestCodec().FromUtf8(with);
        if (model_.find(findBytes) == std::string::npos) ExpectUnchanged();
        if (!dialogs.IsShowing(form->ReplaceDialog1) || Chance(30)) Menu("Replace");
        if (!dialogs.IsShowing(form->ReplaceDialog1)) return;
        const uint32_t options = static_cast<uint32_t>(Pick(8));
        if (Chance(50))
            dialogs.PressReplace(form->ReplaceDialog1, find, with, options);
        else
            dialogs.PressReplaceAll(form->ReplaceDialog1, find, with, options);
        if (Chance(20)) dialogs.UserCloses(form->ReplaceDialog1);
        // Each replacement changes the length by the same amount.
        const auto grown = static_cast<long long>(form->Memo.Text().size()) - static_cast<long long>(model_.size());
        const auto step = static_cast<long long>(withBytes.size()) - static_cast<long long>(findBytes.size());
        if (step == 0 ? grown != 0 : grown % step != 0) problem_ = "a length change of " + std::to_string(grown);
    }
    void QuietCommand()
    {
        static const char* const kKeys[] = {"Count", "About", "Print", "Contents", "ToolBar", "LeftEnter",
                                            "Refresh", "Explore", "EditorSetup"};
        const std::string key = Any(kKeys);
        ExpectUnchanged();
        if (key == "Print") {
            dialogs.AnswerPrint(Chance(50));
            if (Chance(30)) {
                form->ToolBar1.Click("Print");
                return;
            }
        }
        if (forms.PendingSteps() == 0) {
            const int answer = static_cast<int>(Pick(3));
            if (answer == 0) forms.PressEnter();
            if (answer == 1) {
                forms.PressEscape();  // a form without an Escape answer stays open
                forms.PressEnter();
            }
            if (answer == 2) forms.CloseBox();
        }
        Menu(key);
        if (help.Pending() > 0 && Chance(50)) help.FinishOldest(Chance(50));
    }
    void FileCommand()
    {
        const std::string key = Any(soak::kFileCommands);
        if (dialogs.PendingScripts() == 0) {
            if (Chance(20))
                dialogs.AnswerCancel();
            else
                dialogs.AnswerFile(AnyPath());
        }
        ExpectDocumentOrFile();
        const bool button = key != "LastTimeFile" && Chance(30);
        const bool enabled = button ? form->ToolBar1.Find(key)->enabled : form->MenuItem(key)->Enabled();
        const size_t shown = messages.Shown().size();
        const size_t fileDialogs = dialogs.FileDialogs().size();
        if (button) {
            note_ = " button " + key;
            form->ToolBar1.Click(key);
        } else {
            Menu(key);
        }
        // A save that ran without a message leaves the document on the disk.
        const bool saved = key == "Save" ? enabled && !form->CurrentFile.empty()
                                         : key == "SaveAs" && dialogs.FileDialogs().size() > fileDialogs &&
                                               dialogs.FileDialogs().back().confirmed;
        std::string bytes;
        if (saved && messages.Shown().size() == shown &&
            (files.ReadAll(form->CurrentFile, bytes) != platform::FileStatus::Ok || bytes != form->Memo.Text()))
            problem_ = form->CurrentFile + " saved as " + Escaped(bytes);
    }
    void History()
    {
        const std::vector<std::string> names = form->HistoryMenu1.List().Names();
        ExpectDocumentOrFile();
        const std::string path = names.empty() || Chance(10) ? AnyPath() : names[Pick(names.size())];
        note_ = " " + path;
        form->HistorySelected(path);
    }
    void Drop()
    {
        std::vector<std::string> paths;
        for (size_t n = Pick(3) + (Chance(90) ? 1 : 0); n > 0; --n) paths.push_back(AnyPath());
        note_ = " " + std::to_string(paths.size()) + (paths.empty() ? "" : " " + paths.front());
        ExpectDocumentOrFile();
        form->DropFiles(paths);
    }
    void Tick()
    {
        ExpectUnchanged();
        if (host.Running(form->Timer1)) form->Timer1.Tick();
    }
    void Restart()
    {
        ExpectDocumentOrFile();
        if (!Close()) return;
        Stop();
        past_.clear();
        StartWithPane();
    }
    void Uninstall()
    {
        ExpectUnchanged();
        if (Chance(20)) {
            note_ = " uninstall";
            form->UninstallItem->Click();
        }
    }
    void Trouble()
    {
        ExpectUnchanged();
        if (Chance(50)) {
            clipboardHeld_ = !clipboardHeld_;
            clipboard.SetHeldByAnotherProgram(clipboardHeld_);
            note_ = " clipboard";
        } else {
            const std::string path = std::string(kDocs) + Any(kNames);
            files.SetReadOnly(path, !files.Query(path).readOnly);
            note_ = " read-only " + path;
        }
    }


    void Run(soak::Step step)
    {
        using soak::Step;
        switch (step) {
        case Step::Type: return TypeUnit();
        case Step::Bytes: return PutBytes();
        case Step::Backspace: return Backspace();
        case Step::DeleteKey: return DeleteKey();
        case Step::Move: return MoveKey();
        case Step::Select: return Select();
        case Step::Undo: return Undo();
        case Step::Clipboard: return ClipboardCommand();
        case Step::Edit: return EditCommand();
        case Step::Template: return Template();
        case Step::Find: return Find();
        case Step::Replace: return Replace();
        case Step::Quiet: return QuietCommand();
        case Step::File: return FileCommand();
        case Step::History: return History();
        case Step::Drop: return Drop();
        case Step::Tick: return Tick();
        case Step::Restart: return Restart();
        case Step::Uninstall: return Uninstall();
        case Step::Trouble: return Trouble();
        case Step::Explorer: return Explorer();
        }
    }

    // The pane on the simulated tree: the tree goes to a folder or a node
    // next to the selected one, an item is clicked, renamed (names the pane
    // refuses too, or the edit escaped), deleted after the shell's question,
    // opened by a double-click (the save question answered at random), or
    // the pane refreshed. Only an opened file changes the document.
    void Explorer()
    {
        const soak::PaneAction action = soak::DrawPaneAction(rng_);
        auto& list = form->ShellListBox1;
        ui::TListItem* item = list.Count() > 0 ? list.Item(Pick(list.Count())) : nullptr;
        if (action != soak::PaneAction::Open) ExpectUnchanged();
        switch (action) {
        case soak::PaneAction::Browse: {
            static const char* const kFolders[] = {"C:\\docs", "C:\\docs", "C:\\work", "C:\\", "C:\\nowhere", kProgram};
            ui::TTreeNode* at = form->FolderTreeViewEx1.Selected();
            if (Chance(50) || !at) {
                note_ = std::string(" browse ") + Any(kFolders);
                form->FolderTreeViewEx1.SetSelectedPath(Any(kFolders));
            } else {
                form->FolderTreeViewEx1.Expand(*at);
                ui::TTreeNode* next = at->Count() > 0 && Chance(70) ? at->Item(Pick(at->Count())) : at->Parent();
                note_ = " node " + (next ? next->Text() : std::string("-"));
                if (next) tree_->Click(*next);
            }
            break;
        }
        case soak::PaneAction::Select:
            if (item) list_->Click(*item);
            break;
        case soak::PaneAction::Rename: {
            if (!item || !InCheckedFolder(ItemPath(*item))) break;
            const std::string name(Any(soak::kRenames));
            note_ = " rename " + item->Caption() + " -> " + name;
            list_->Click(*item);
            list_->PressF2();
            list_->Type(name);
            if (Chance(80))
                list_->PressEnter();
            else
                list_->PressEscape();
            break;
        }
        case soak::PaneAction::Delete:
            if (!item || !InCheckedFolder(ItemPath(*item))) break;
            shell_.Options().confirmDeletion = Chance(70);
            note_ = " delete " + item->Caption() + (shell_.Options().confirmDeletion ? " yes" : " no");
            list_->Click(*item);
            list_->KeyDown(memo::vk::kDelete);
            break;
        case soak::PaneAction::Open:
            ExpectDocumentOrFile();
            if (!item) break;
            note_ = " open " + item->Caption();
            if (std::string bytes; files.ReadAll(ItemPath(*item), bytes) == platform::FileStatus::Ok) Expect(bytes);
            if (dialogs.PendingScripts() == 0) dialogs.AnswerFile(AnyPath());
            list_->DoubleClick(*item);
            break;
        case soak::PaneAction::Refresh:
            Menu("Refresh");
            break;
        }
    }

    // The path of a list item in the folder the list shows.
    std::string ItemPath(const ui::TListItem& item)
    {
        std::string folder;
        shell_.GetPathFromIDList(form->ShellListBox1.FolderList(), folder);
        return folder + (!folder.empty() && folder.back() == '\\' ? "" : "\\") + item.Caption();
    }
    // Renames and deletes keep to files of the folders the disk check reads.
    bool InCheckedFolder(const std::string& path)
    {
        const size_t slash = path.rfind('\\');
        const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash);
        return (folder == "C:\\docs" || folder == "C:\\work") && files.Query(path).exists &&
               !files.Query(path).directory;
    }

    std::mt19937_64 rng_;
    std::string model_;
    std::vector<std::string> candidates_;
    std::deque<std::string> past_;
    std::deque<std::string> recent_;
    std::string note_;
    std::string problem_;  // what a command found wrong beyond the candidates
    bool clipboardHeld_ = false;
    std::unordered_set<size_t> allowed_;
    platform::SimShellNamespace shell_{files, test::TestCodec()};
    std::unique_ptr<ui::SimTreeView> tree_;
    std::unique_ptr<ui::SimListView> list_;
};



TEST_P(Soak, RandomWalkKeepsTheDocumentTheStoreAndTheDiskWhole)
{
    const long liveBefore = platform::IdList::Live();
    Walk(GetParam(), EnvNumber("KP_SOAK_STEPS").value_or(300));
    Stop();
    EXPECT_EQ(platform::IdList::Live(), liveBefore) << "identifier lists left alive";
    EXPECT_EQ(shell_.SimAllocator().Outstanding(), 0u) << "shell blocks left unfreed";
}

// Seeds 1 to 3, or KP_SOAK_SEEDS of them from KP_SOAK_SEED.
std::vector<uint64_t> Seeds()
{
    const uint64_t first = EnvNumber("KP_SOAK_SEED").value_or(1);
    const uint64_t count = EnvNumber("KP_SOAK_SEEDS").value_or(EnvNumber("KP_SOAK_SEED") ? 1 : 3);
    std::vector<uint64_t> seeds;
    for (uint64_t seed = first; seed < first + count; ++seed) seeds.push_back(seed);
    return seeds;
}

INSTANTIATE_TEST_SUITE_P(Seeds, Soak, ::testing::ValuesIn(Seeds()));

}  // namespace
}  // namespace kp::app
