#pragma once
// The backup copy is written away from the user-interface thread, one write at
// a time. A write takes a snapshot of the text (immutable: the editor goes on
// editing its own text meanwhile) and touches nothing of the window; its
// outcome waits until the window's thread takes it.

#include "base/Error.h"
#include "memo/text/TextBuffer.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace kp::platform {
class FileSystem;
}

namespace kp::app {

// Runs the writer's jobs, one at a time.
class BackupExecutor {
public:
    virtual ~BackupExecutor() = default;
    // Starts job. Called only once the previous job has been waited for.
    virtual void Start(std::function<void()> job) = 0;
    // Returns once the job started last has finished (at once when none runs).
    virtual void Wait() = 0;
};

// Runs each job inside Start, on the caller's thread.
class InlineExecutor final : public BackupExecutor {
public:
    void Start(std::function<void()> job) override { job(); }
    void Wait() override {}
};

// One thread of its own that runs the jobs; it ends, after the job in hand,
// with the executor.
class ThreadExecutor final : public BackupExecutor {
public:
    ThreadExecutor();
    ~ThreadExecutor() override;
    ThreadExecutor(const ThreadExecutor&) = delete;
    ThreadExecutor& operator=(const ThreadExecutor&) = delete;

    void Start(std::function<void()> job) override;
    void Wait() override;

private:
    void Run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> job_;
    bool busy_ = false;
    bool ending_ = false;
    std::thread thread_;
};

// How one write ended: the text and path it wrote, and the failure if it
// did not.
struct BackupOutcome {
    std::string path;
    memo::TextSnapshot text;
    std::optional<Error> failure;
};

class BackupWriter {
public:
    BackupWriter(platform::FileSystem& files, BackupExecutor& executor);
    // Waits for the write in flight.
    ~BackupWriter();
    BackupWriter(const BackupWriter&) = delete;
    BackupWriter& operator=(const BackupWriter&) = delete;

    // A write was started and its outcome not yet taken.
    bool Pending() const { return pending_; }
    // Starts writing text to path (replacing the file there). Only while
    // nothing is pending.
    void Write(std::string path, memo::TextSnapshot text);
    // The outcome of the pending write once it has finished; nothing while it
    // is still running or when none is pending.
    std::optional<BackupOutcome> TakeFinished();
    // Waits for the pending write and takes its outcome.
    std::optional<BackupOutcome> Finish();

private:
    platform::FileSystem& files_;
    BackupExecutor& executor_;
    bool pending_ = false;
    std::mutex mutex_;
    std::optional<BackupOutcome> finished_;  // set by the job, under mutex_
};

}  // namespace kp::app
