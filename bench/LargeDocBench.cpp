// The main window's commands on large documents (word wrap off), each set
// beside its yardstick: opening against one read of the whole file into
// fresh memory, saving against one write of it (made durable, as a save is),
// typing at the end against typing at the end of 1 KB. The document is a
// real file in a folder on the disk (KP_LARGE_DOC_DIR, default
// /tmp/kp-large-doc); sizes in megabytes come from KP_LARGE_DOC_MB (default
// "100"; "100,1024" adds 1 GB). Each command's peak resident size while it
// runs is reported as rss_MB (the kernel's high-water mark, reset before
// each run), the open's also as peak_over_MB: what the process gained
// over what it held before.
//
//   KP_LARGE_DOC_MB=100,1024 build/native/bench/kp_bench --benchmark_filter=LargeDoc

#include "app/BackupWriter.h"
#include "app/MainForm.h"
#include "bench/PosixFiles.h"
#include "bench/SampleText.h"
#include "bench/SimServices.h"
#include "memo/edit/EditControl.h"
#include "memo/edit/WindowMessages.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace kp;

constexpr size_t kMB = 1 << 20;

std::string Root()
{
    const char* dir = std::getenv("KP_LARGE_DOC_DIR");
    return dir && *dir ? dir : "/tmp/kp-large-doc";
}

std::string DocName(size_t size) { return "doc-" + std::to_string(size) + ".txt"; }
std::string NativePath(size_t size) { return Root() + "/" + DocName(size); }
std::string DocPath(size_t size) { return "C:\\" + DocName(size); }

// A line of /proc/self/status in kilobytes ("VmRSS", "VmHWM"); 0 if unknown.
int64_t StatusKb(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string name;
    while (status >> name) {
        if (name == key + ":") {
            int64_t kb = 0;
            status >> kb;
            return kb;
        }
        status.ignore(1 << 12, '\n');
    }
    return 0;
}

// Gives freed memory back and starts the high-water mark over; the resident
// size now.
int64_t ResetPeakKb()
{
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    return StatusKb("VmRSS");
}

// The sample text of that size on the disk, written a megabyte at a time,
// ending in a line break (so that a letter typed at the end stays a letter).
void EnsureFile(size_t size)
{
    struct stat st {};
    const std::string path = NativePath(size);
    if (stat(path.c_str(), &st) == 0 && static_cast<size_t>(st.st_size) == size) return;
    mkdir(Root().c_str(), 0700);
    const std::string& piece = bench::CachedJapaneseText(std::min(size, kMB));
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    for (size_t left = size - 2; fd >= 0 && left > 0;) {
        const size_t n = std::min(left, piece.size());
        if (::write(fd, piece.data(), n) != static_cast<ssize_t>(n)) break;
        left -= n;
    }
    if (fd >= 0 && ::write(fd, "\r\n", 2) != 2) std::perror("write");
    if (fd >= 0) ::close(fd);
}

// The main window over simulated services and real files, with the document
// opened through the Open command.
struct Window {
    explicit Window(size_t size) : size(size)
    {
        EnsureFile(size);
        form = std::make_unique<app::TEditForm>(sim.services, sim.host);
        form->FormCreate({});
    }
    void Open()
    {
        sim.dialogs.AnswerFile(DocPath(size));
        Run("Open");
    }
    void Run(std::string_view command) { form->MenuItem(command)->Click(); }
    memo::EditControl& Control() { return *form->Memo.Control(); }
    void ToEnd() { Control().MoveCaret(memo::CaretMove::DocumentEnd, false); }

    size_t size;
    bench::PosixFiles files{Root()};
    bench::SimServices sim{&files};
    std::unique_ptr<app::TEditForm> form;
};

// One window per size, opened once and kept for the commands.
Window& Opened(size_t size)
{
    // Kept to the end of the program, never destroyed on the way out.
    static auto* windows = new std::map<size_t, std::unique_ptr<Window>>;
    auto& window = (*windows)[size];
    if (!window) {
        window = std::make_unique<Window>(size);
        window->Open();
        window->ToEnd();
    }
    return *window;
}

// Runs one timed step per iteration with untimed steps before and after,
// and reports the highest resident size any step reached.
void Measure(benchmark::State& state, const std::function<void()>& before, const std::function<void()>& step,
             const std::function<void()>& after)
{
    int64_t peakKb = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (before) before();
        ResetPeakKb();
        state.ResumeTiming();
        step();
        state.PauseTiming();
        peakKb = std::max(peakKb, StatusKb("VmHWM"));
        if (after) after();
        state.ResumeTiming();
    }
    state.counters["rss_MB"] = static_cast<double>(peakKb) / 1024;
}

// ---- Yardsticks --------------------------------------------------------------------

void ReadOnce(benchmark::State& state, size_t size)
{
    EnsureFile(size);
    for (auto _ : state) {
        const int fd = ::open(NativePath(size).c_str(), O_RDONLY);
        std::unique_ptr<char[]> memory(new char[size]);
        size_t got = 0;
        while (got < size) {
            const ssize_t n = ::read(fd, memory.get() + got, size - got);
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
        ::close(fd);
        if (got != size) state.SkipWithError("short read");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(size));
}

void WriteOnce(benchmark::State& state, size_t size)
{
    const std::string& piece = bench::CachedJapaneseText(kMB);
    std::string text;
    text.reserve(size);
    while (text.size() < size) text.append(piece, 0, std::min(piece.size(), size - text.size()));
    const std::string path = Root() + "/written.txt";
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const bool ok = ::write(fd, text.data(), size) == static_cast<ssize_t>(size) && fdatasync(fd) == 0;
        ::close(fd);
        if (!ok) state.SkipWithError("write failed");
        state.PauseTiming();
        unlink(path.c_str());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(size));
}

// ---- Commands ----------------------------------------------------------------------

void Open(benchmark::State& state, size_t size)
{
    EnsureFile(size);
    std::unique_ptr<Window> window;
    int64_t overKb = 0;
    int64_t peakKb = 0;
    for (auto _ : state) {
        state.PauseTiming();
        window = std::make_unique<Window>(size);
        const int64_t beforeKb = ResetPeakKb();
        state.ResumeTiming();
        window->Open();
        state.PauseTiming();
        peakKb = std::max(peakKb, StatusKb("VmHWM"));
        overKb = std::max(overKb, StatusKb("VmHWM") - beforeKb);
        if (window->Control().TextLength() != size) state.SkipWithError("not opened whole");
        window.reset();
        state.ResumeTiming();
    }
    state.counters["rss_MB"] = static_cast<double>(peakKb) / 1024;
    state.counters["peak_over_MB"] = static_cast<double>(overKb) / 1024;
    state.counters["target_MB"] = 1.5 * static_cast<double>(size) / kMB + 60;
}

void TypeAtEnd(benchmark::State& state, size_t size)
{
    Window& window = Opened(size);
    window.ToEnd();
    for (auto _ : state) window.form->Memo.Perform(memo::wm::kChar, 'x', 0);
    // The keys typed go again, so the other commands see the document as opened.
    const size_t typed = window.Control().TextLength() - size;
    window.Control().SetSel(static_cast<int64_t>(size), -1);
    window.form->Memo.ClearSelection();
    if (window.Control().TextLength() != size || typed != static_cast<size_t>(state.iterations()))
        state.SkipWithError("typing did not add one byte per key");
}

// A text found nowhere: the search reads the whole document.
void FindNotFound(benchmark::State& state, size_t size)
{
    Window& window = Opened(size);
    window.form->FindDialog1.FindText = "見つからない";
    window.Control().SetSel(0, 0);
    Measure(state, nullptr, [&] { window.Run("FindNext"); }, nullptr);
    if (window.Control().SelLength() != 0) state.SkipWithError("found");
}

// The one occurrence sits at the end: the whole text is searched, then one
// replacement made (and taken back afterwards).
void ReplaceAtEnd(benchmark::State& state, size_t size)
{
    Window& window = Opened(size);
    window.Control().ReplaceRange(size, 0, "QZQZ", size + 4);
    window.form->ReplaceDialog1.FindText = "QZQZ";
    window.form->ReplaceDialog1.ReplaceText = "ZQZQ";
    Measure(
        state, nullptr, [&] { window.form->ReplaceDialog1.OnReplace(); }, [&] { window.Run("Undo"); });
    window.Run("Undo");
    if (window.Control().TextLength() != size) state.SkipWithError("the marker stayed");
}

void Count(benchmark::State& state, size_t size)
{
    Window& window = Opened(size);
    Measure(state, nullptr, [&] { window.Run("Count"); }, nullptr);
}

void CaseUpper(benchmark::State& state, size_t size)
{
    Window& window = Opened(size);
    window.ToEnd();
    Measure(state, nullptr, [&] { window.Run("FontBig"); }, [&] { window.Run("Undo"); });
}

void UndoCaseUpper(benchmark::State& state, size_t size)
{
    Window& window = Opened(size);
    window.ToEnd();
    Measure(state, [&] { window.Run("FontBig"); }, [&] { window.Run("Undo"); }, nullptr);
}

void WrapOn(benchmark::State& state, size_t size)
{
    Window& window = Opened(size);
    Measure(state, nullptr, [&] { window.Run("LeftEnter"); }, [&] { window.Run("LeftEnter"); });
}

void WrapOff(benchmark::State& state, size_t size)
{
    Window& window = Opened(size);
    Measure(state, [&] { window.Run("LeftEnter"); }, [&] { window.Run("LeftEnter"); }, nullptr);
}

void CopyAll(benchmark::State& state, size_t size)
{
    Window& window = Opened(size);
    Measure(state, nullptr, [&] { window.Run("CopyAll"); }, [&] { window.sim.clipboard.SetText(u""); });
}

// Keeps the copy's write until it is run, so the tick on the window's
// thread and the write on the writer's are timed apart.
class DeferredExecutor final : public app::BackupExecutor {
public:
    void Start(std::function<void()> job) override { job_ = std::move(job); }
    void Wait() override { RunPending(); }
    void RunPending()
    {
        if (auto job = std::exchange(job_, nullptr)) job();
    }

private:
    std::function<void()> job_;
};

// The tick after a keystroke: on the window's thread (second argument 0) and
// the writer's write of the copy (1).
void BackupTick(benchmark::State& state, size_t size, bool write)
{
    Window& window = Opened(size);
    window.ToEnd();
    static DeferredExecutor writer;  // the window keeps it
    window.form->SetBackupWriting(writer, {});
    window.form->ArmBackup();
    const auto type = [&] { window.form->Memo.Perform(memo::wm::kChar, 'x', 0); };
    const auto tick = [&] { window.form->Timer1.Tick(); };
    if (write)
        Measure(state, [&] { type(); tick(); }, [&] { writer.RunPending(); }, nullptr);
    else
        Measure(state, [&] { writer.RunPending(); type(); }, tick, nullptr);
    window.form->FinishBackupWrite();
    window.form->Timer1.SetEnabled(false);
    window.Control().SetSel(static_cast<int64_t>(size), -1);
    window.form->Memo.ClearSelection();
    unlink((Root() + "/bcp_" + DocName(size)).c_str());
}

void Save(benchmark::State& state, size_t size)
{
    Window& window = Opened(size);
    Measure(state, nullptr, [&] { window.Run("Save"); }, nullptr);
    struct stat st {};
    if (stat(NativePath(size).c_str(), &st) != 0 || static_cast<size_t>(st.st_size) != size)
        state.SkipWithError("the saved file has another size");
}

// ---- Registration ------------------------------------------------------------------

std::vector<size_t> Sizes()
{
    const char* text = std::getenv("KP_LARGE_DOC_MB");
    std::stringstream list(text && *text ? text : "100");
    std::vector<size_t> sizes;
    for (std::string item; std::getline(list, item, ',');)
        if (const long mb = std::atol(item.c_str()); mb > 0) sizes.push_back(static_cast<size_t>(mb) * kMB);
    return sizes;
}

[[maybe_unused]] const bool registered = [] {
    using Body = void (*)(benchmark::State&, size_t);
    const std::pair<const char*, Body> commands[] = {
        {"ReadOnce", ReadOnce},
        {"Open", Open},
        {"TypeAtEnd", TypeAtEnd},
        {"FindNotFound", FindNotFound},
        {"ReplaceAtEnd", ReplaceAtEnd},
        {"Count", Count},
        {"CaseUpper", CaseUpper},
        {"UndoCaseUpper", UndoCaseUpper},
        {"WrapOn", WrapOn},
        {"WrapOff", WrapOff},
        {"CopyAll", CopyAll},
        {"BackupTickAfterKey", [](benchmark::State& s, size_t size) { BackupTick(s, size, false); }},
        {"BackupWrite", [](benchmark::State& s, size_t size) { BackupTick(s, size, true); }},
        {"Save", Save},
        {"WriteOnce", WriteOnce},
    };
    // Typing at the end of 1 KB, the yardstick of typing at the end of the large ones.
    benchmark::RegisterBenchmark("LargeDoc/TypeAtEnd/1KB", [](benchmark::State& s) { TypeAtEnd(s, 1024); })
        ->Unit(benchmark::kMicrosecond);
    for (const size_t size : Sizes()) {
        const std::string mb = std::to_string(size / kMB) + "MB";
        const int iterations = size >= 512 * kMB ? 1 : 3;
        for (const auto& [name, body] : commands) {
            auto* bench = benchmark::RegisterBenchmark(("LargeDoc/" + std::string(name) + "/" + mb).c_str(),
                                                       [body, size](benchmark::State& s) { body(s, size); });
            if (std::string(name) == "TypeAtEnd") bench->Unit(benchmark::kMicrosecond);
            else bench->Iterations(iterations)->UseRealTime()->Unit(benchmark::kMillisecond);
        }
    }
    return true;
}();

}  // namespace
