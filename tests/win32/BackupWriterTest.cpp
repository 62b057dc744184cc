// The backup writer on its own thread, writing real files: the copy holds
// the snapshot it was given while the caller edits on, no temporary file is
// left, and a folder that refuses the copy gives a failure, not a copy.

#include "app/BackupWriter.h"
#include "memo/TextFile.h"
#include "memo/text/TextBuffer.h"
#include "platform/files/Win32FileSystem.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kp::app {
namespace {

using platform::FileStatus;

class BackupWriterOnDisk : public ::testing::Test {
protected:
    BackupWriterOnDisk()
    {
        folder = platform::JoinPath(platform::Win32FileSystem::TempFolder(),
                                    "kp-backup-" + std::to_string(GetCurrentProcessId()) + "-" +
                                        std::to_string(GetTickCount64()));
        EXPECT_EQ(files.CreateFolder(folder), FileStatus::Ok);
    }
    ~BackupWriterOnDisk() override
    {
        for (const std::string& name : Names(folder)) {
            files.SetReadOnly(platform::JoinPath(folder, name), false);
            files.Delete(platform::JoinPath(folder, name));
        }
        files.SetReadOnly(folder, false);
        files.RemoveFolder(folder);
    }
    std::vector<std::string> Names(const std::string& path)
    {
        std::vector<std::string> names;
        files.ListFolder(path, names);
        std::sort(names.begin(), names.end());
        return names;
    }
    // Waits, as ticks do, until the write has finished.
    BackupOutcome Polled()
    {
        for (;;) {
            if (std::optional<BackupOutcome> outcome = writer.TakeFinished()) return *outcome;
            Sleep(1);
        }
    }

    platform::Win32FileSystem files;
    std::string folder;
    ThreadExecutor executor;
    BackupWriter writer{files, executor};
};

TEST_F(BackupWriterOnDisk, TheCopyHoldsTheSnapshotWhileTheTextGoesOn)
{
    std::string bytes;
    for (int i = 0; bytes.size() < 3 * 1024 * 1024; ++i) bytes += "\x82\xa0 line " + std::to_string(i) + "\r\n";
    memo::TextBuffer text(bytes);
    const std::string copy = platform::JoinPath(folder, "bcp_doc.txt");

    writer.Write(copy, text.Snapshot());
    EXPECT_TRUE(writer.Pending());
    text.Insert(0, "typed meanwhile ");
    text.Erase(text.Length() - 10, 10);
    BackupOutcome outcome = Polled();
    EXPECT_FALSE(writer.Pending());
    EXPECT_FALSE(outcome.failure.has_value()) << outcome.failure->what();
    EXPECT_EQ(outcome.path, copy);
    std::string written;
    ASSERT_EQ(files.ReadAll(copy, written), FileStatus::Ok);
    EXPECT_TRUE(written == bytes);

    // The next write replaces the copy; Finish waits for it.
    writer.Write(copy, text.Snapshot());
    outcome = *writer.Finish();
    EXPECT_FALSE(outcome.failure.has_value());
    ASSERT_EQ(files.ReadAll(copy, written), FileStatus::Ok);
    EXPECT_TRUE(written == text.Text());
    EXPECT_EQ(Names(folder), std::vector<std::string>{"bcp_doc.txt"});
    EXPECT_FALSE(writer.Finish().has_value());  // nothing pending
}

// A copy that cannot be replaced (read-only), and a folder that refuses new
// files: under Wine, Linux's /sys (Windows' read-only attribute on a folder
// refuses nothing, and Wine ignores it there).
TEST_F(BackupWriterOnDisk, ACopyThatCannotBeMadeGivesAFailureAndNoFile)
{
    const std::string readOnly = platform::JoinPath(folder, "bcp_doc.txt");
    std::vector<std::string> refused = {readOnly};
    memo::SaveTextFile(files, readOnly, "earlier copy");
    ASSERT_EQ(files.SetReadOnly(readOnly, true), FileStatus::Ok);
    if (files.Query("Z:\\sys").directory) refused.push_back("Z:\\sys\\bcp_doc.txt");
    for (const std::string& copy : refused) {
        SCOPED_TRACE(copy);
        writer.Write(copy, memo::TextBuffer("text").Snapshot());
        const BackupOutcome outcome = Polled();
        ASSERT_TRUE(outcome.failure.has_value());
        EXPECT_EQ(outcome.path, copy);
    }
    std::string kept;
    ASSERT_EQ(files.ReadAll(readOnly, kept), FileStatus::Ok);
    EXPECT_EQ(kept, "earlier copy");
    EXPECT_EQ(Names(folder), std::vector<std::string>{"bcp_doc.txt"});
    EXPECT_FALSE(files.Query("Z:\\sys\\bcp_doc.txt").exists);
}

}  // namespace
}  // namespace kp::app
