// What the backup timer costs the user-interface thread on 100 MB: an idle
// tick and a tick after one keystroke, set against comparing two unshared
// copies of the text; and typing at the end with the backup armed (its
// writer thread writing the copy to /dev/shm, ticks every 100 ms) against
// typing with no backup.

#include "app/BackupWriter.h"
#include "app/MainForm.h"
#include "bench/PosixFiles.h"
#include "bench/SampleText.h"
#include "bench/SimServices.h"
#include "platform/files/SimFileSystem.h"
#include "memo/edit/WindowMessages.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace {

using namespace kp;

constexpr int64_t kMB = 1 << 20;
constexpr const char* kShm = "/dev/shm/kp-backup-bench";

const std::string& Text(size_t size) { return bench::CachedJapaneseText(size); }

// The main window over simulated services, holding a document of size bytes
// named C:\doc.txt, caret at its end.
struct Window : bench::SimServices {
    Window(size_t size, platform::FileSystem& files)
        : bench::SimServices(&files)
    {
        form = std::make_unique<app::TEditForm>(services, host);
        form->FormCreate({});
        form->Memo.SetText(Text(size));
        form->Memo.SetSelStart(size);
        form->CurrentFile = "C:\\doc.txt";
    }
    void Type(char c) { form->Memo.Perform(memo::wm::kChar, static_cast<uint8_t>(c), 0); }

    std::unique_ptr<app::TEditForm> form;
};

// A tmpfs folder for real copies, emptied afterwards.
struct ShmFolder {
    ShmFolder() { files.CreateFolder("C:\\"); }
    ~ShmFolder()
    {
        files.Delete("C:\\bcp_doc.txt");
        files.RemoveFolder("C:\\");
    }
    bench::PosixFiles files{kShm};
};

// Keeps the job it is given until RunPending: the write happens outside the
// timed part, as it does on the writer's thread.
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

// The writer's thread, counting the writes it is given.
class CountingThread final : public app::BackupExecutor {
public:
    void Start(std::function<void()> job) override
    {
        ++started;
        thread.Start(std::move(job));
    }
    void Wait() override { thread.Wait(); }
    int64_t started = 0;

private:
    app::ThreadExecutor thread;
};

// The yardstick: two equal texts that share no chunk, compared byte by byte.
void BM_CompareUnsharedCopies(benchmark::State& state)
{
    const std::string& text = Text(static_cast<size_t>(state.range(0)));
    const memo::TextBuffer a(text);
    const memo::TextBuffer b(text);
    const memo::TextSnapshot left = a.Snapshot();
    const memo::TextSnapshot right = b.Snapshot();
    for (auto _ : state) benchmark::DoNotOptimize(left == right);
}
BENCHMARK(BM_CompareUnsharedCopies)->Arg(100 * kMB)->Unit(benchmark::kMicrosecond);

// Nothing typed since the copy was armed.
void BM_BackupIdleTick(benchmark::State& state)
{
    platform::SimFileSystem files;
    Window window(static_cast<size_t>(state.range(0)), files);
    window.form->ArmBackup();
    for (auto _ : state) window.form->Timer1.Tick();
}
BENCHMARK(BM_BackupIdleTick)->Arg(100 * kMB)->Unit(benchmark::kMicrosecond);

// One character typed since the last copy: the tick takes the last write's
// outcome, compares, and hands the new text to the writer.
void BM_BackupTickAfterKeystroke(benchmark::State& state)
{
    ShmFolder shm;
    Window window(static_cast<size_t>(state.range(0)), shm.files);
    DeferredExecutor writer;
    window.form->SetBackupWriting(writer, {});
    window.form->ArmBackup();
    for (auto _ : state) {
        state.PauseTiming();
        writer.RunPending();
        window.Type('x');
        state.ResumeTiming();
        window.form->Timer1.Tick();
    }
    window.form->FinishBackupWrite();
}
BENCHMARK(BM_BackupTickAfterKeystroke)->Arg(100 * kMB)->Iterations(30)->Unit(benchmark::kMicrosecond);

// Typing at the end, each keystroke's time on this thread; armed (second
// argument 1), a tick every 100 ms while the writer thread writes the copy.
void BM_KeystrokeWithBackup(benchmark::State& state)
{
    ShmFolder shm;
    Window window(static_cast<size_t>(state.range(0)), shm.files);
    const bool armed = state.range(1) != 0;
    CountingThread writer;
    window.form->SetBackupWriting(writer, {});
    if (armed) window.form->ArmBackup();
    auto next = std::chrono::steady_clock::now();
    for (auto _ : state) {
        window.Type('x');
        if (armed && std::chrono::steady_clock::now() >= next) {
            window.form->Timer1.Tick();
            next += std::chrono::milliseconds(100);
        }
    }
    window.form->FinishBackupWrite();
    state.counters["writes"] = static_cast<double>(writer.started);
}
BENCHMARK(BM_KeystrokeWithBackup)
    ->ArgsProduct({{100 * kMB}, {0, 1}})
    ->MinTime(3.0)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
