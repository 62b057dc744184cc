#include "app/BackupWriter.h"

#include "memo/TextFile.h"

#include <exception>
#include <span>
#include <utility>
#include <vector>

namespace kp::app {

// ---- ThreadExecutor ----------------------------------------------------------------------

ThreadExecutor::ThreadExecutor() : thread_([this] { Run(); }) {}

ThreadExecutor::~ThreadExecutor()
{
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void ThreadExecutor::Start(std::function<void()> job)
{
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
        job_ = std::move(job);
        busy_ = true;
    }
    changed_.notify_all();
}

void ThreadExecutor::Wait()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
}

void ThreadExecutor::Run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return busy_ || ending_; });
        if (!busy_) return;  // ending, and no job left
        std::function<void()> job = std::move(job_);
        job_ = nullptr;
        lock.unlock();
        job();
        job = nullptr;
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

// ---- BackupWriter ------------------------------------------------------------------------

BackupWriter::BackupWriter(platform::FileSystem& files, BackupExecutor& executor)
    : files_(files), executor_(executor)
{
}

BackupWriter::~BackupWriter()
{
    if (pending_) executor_.Wait();
}

void BackupWriter::Write(std::string path, memo::TextSnapshot text)
{
    pending_ = true;
    executor_.Start([this, path = std::move(path), text = std::move(text)] {
        BackupOutcome outcome{path, text, std::nullopt};
        try {
            // The snapshot keeps its chunks alive: the pieces are written
            // where they lie, without a copy of the whole text.
            const memo::TextBuffer buffer(text);
            std::vector<std::string_view> pieces;
            buffer.Visit(0, buffer.Length(), [&](std::string_view piece) {
                pieces.push_back(piece);
                return true;
            });
            memo::SaveTextFile(files_, path, std::span<const std::string_view>(pieces));
        } catch (const Error& failure) {
            outcome.failure = failure;
        } catch (const std::exception& failure) {
            outcome.failure = Error(failure.what());
        }
        const std::lock_guard lock(mutex_);
        finished_ = std::move(outcome);
    });
}

std::optional<BackupOutcome> BackupWriter::TakeFinished()
{
    const std::lock_guard lock(mutex_);
    if (!finished_) return std::nullopt;
    pending_ = false;
    return std::exchange(finished_, std::nullopt);
}

std::optional<BackupOutcome> BackupWriter::Finish()
{
    if (!pending_) return std::nullopt;
    executor_.Wait();
    return TakeFinished();
}

}  // namespace kp::app
