// The backup copy of the open document: arming, deleting, and the timer's
// tick that writes the copy when the text has changed since the last write.
// Writes run on the backup writer (a thread of its own in the program); the
// tick takes each write's outcome on this thread.

#include "app/DocumentPaths.h"
#include "app/MainForm.h"
#include "base/Error.h"
#include "platform/files/FileSystem.h"

#include <utility>

namespace kp::app {

namespace {

// After a failed write, ticks leave the copy alone this long.
constexpr uint64_t kRetryAfterMs = 5000;

}  // namespace

void TEditForm::SetBackupWriting(BackupExecutor& executor, std::function<uint64_t()> milliseconds)
{
    FinishBackupWrite();
    backupWriter_ = std::make_unique<BackupWriter>(services_.files, executor);
    if (milliseconds) backupClock_ = std::move(milliseconds);
}

void TEditForm::ArmBackup()
{
    FinishBackupWrite();
    Timer1.SetEnabled(true);
    BackupText = Memo.Snapshot();
    backupStale_ = false;
    backupFailedAt_.reset();
    backupFailureReported_ = false;
}

void TEditForm::DeleteBackup()
{
    FinishBackupWrite();
    // The copy is gone while BackupText may still equal the text: the next
    // tick writes it whatever the comparison says.
    backupStale_ = true;
    // A missing copy is fine; any other failure propagates to the caller.
    const std::string path = CurrentFile.empty() && !unnamedBackupPath_.empty() ? unnamedBackupPath_
                                                                                : BackupPath(CurrentFile);
    if (!services_.files.Query(path).exists) return;
    const platform::FileStatus status = services_.files.Delete(path);
    if (status != platform::FileStatus::Ok && status != platform::FileStatus::NotFound)
        throw Error(FormatWithArgument("ﾌｧｲﾙ %s を削除できません", path));
}

// The copy of an unnamed document is "bcp_" in the current folder, which the
// file dialogs move: it is made full once, at its first write, and that file
// is the one deleted later.
std::string TEditForm::BackupFile()
{
    if (!CurrentFile.empty()) return BackupPath(CurrentFile);
    if (unnamedBackupPath_.empty())
        unnamedBackupPath_ = services_.fullPath ? services_.fullPath(BackupPath("")) : BackupPath("");
    return unnamedBackupPath_;
}

void TEditForm::FinishBackupWrite()
{
    // A failure taken here is not reported: the copy it concerns is about to
    // be deleted, renamed away from or left with the window.
    if (std::optional<BackupOutcome> outcome = backupWriter_->Finish()) TakeBackupOutcome(*outcome, false);
}

void TEditForm::TakeBackupOutcome(const BackupOutcome& outcome, bool report)
{
    if (!outcome.failure) {
        BackupText = outcome.text;
        backupStale_ = false;
        backupFailedAt_.reset();
        backupFailureReported_ = false;
        return;
    }
    if (!report) return;
    backupFailedAt_ = backupClock_();
    if (std::exchange(backupFailureReported_, true)) return;
    // The writer's own message names the file as saving does; the report
    // names the copy that could not be made.
    services_.application.HandleException(Error(FormatWithArgument("ﾌｧｲﾙ %s を作成できません", outcome.path)));
}

void TEditForm::BackupTick()
{
    if (handlerDepth_ > 0) return;
    const TickHold hold(*this);  // the failure's box runs a message loop
    if (std::optional<BackupOutcome> outcome = backupWriter_->TakeFinished()) TakeBackupOutcome(*outcome, true);
    if (backupWriter_->Pending()) return;  // one write at a time
    if (backupFailedAt_ && backupClock_() - *backupFailedAt_ < kRetryAfterMs) return;
    memo::TextSnapshot text = Memo.Snapshot();
    if (!backupStale_) {
        if (BackupText.SharesStateWith(text)) return;
        // Equal bytes in another state (an edit and its undo): only the
        // differing chunks were compared; the new state makes the next
        // tick's test immediate.
        if (BackupText == text) {
            BackupText = std::move(text);
            return;
        }
    }
    backupWriter_->Write(BackupFile(), std::move(text));
}

void TEditForm::HoldTicksDuringCommands(ui::TMenuItem& item)
{
    if (item.OnClick) {
        item.OnClick = [this, handler = std::move(item.OnClick)] {
            const TickHold hold(*this);
            handler();
        };
    }
    for (size_t i = 0; i < item.Count(); ++i) HoldTicksDuringCommands(*item.Item(i));
}

}  // namespace kp::app
