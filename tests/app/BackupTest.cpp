// The backup timer on the simulated window: when ticks write the copy, how a
// failure is reported and retried, and that no write outlives the copy's
// deletion or a change of the document's name. Writes run on an executor
// the test steps by hand, as a background writer would finish them later.

#include "tests/app/MainFormFixture.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace kp::app {
namespace {

// Holds the job it is given until the test (or a wait) runs it.
class SteppedExecutor final : public BackupExecutor {
public:
    void Start(std::function<void()> job) override
    {
        ASSERT_FALSE(job_) << "a write started while another was in flight";
        job_ = std::move(job);
        ++started;
    }
    void Wait() override { RunPending(); }
    void RunPending()
    {
        if (auto job = std::exchange(job_, nullptr)) job();
    }
    bool Holding() const { return static_cast<bool>(job_); }
    int started = 0;

private:
    std::function<void()> job_;
};

class BackupTest : public MainFormFixture {
protected:
    // The form waits for its writer's last write: it goes before the writer.
    ~BackupTest() override { form.reset(); }
    // doc.txt open with the backup armed.
    TEditForm& StartArmed()
    {
        File("C:\\docs\\doc.txt", "text");
        Stored("File", "Backup", "1");
        TEditForm& f = Start({"C:\\docs\\doc.txt"});
        f.SetBackupWriting(writer, [this] { return now; });
        return f;
    }
    // One tick, and the write it started finished.
    void TickAndWrite()
    {
        form->Timer1.Tick();
        writer.RunPending();
    }
    std::vector<std::string> Folder(const std::string& path)
    {
        std::vector<std::string> names;
        files.ListFolder(path, names);
        std::sort(names.begin(), names.end());
        return names;
    }

    SteppedExecutor writer;
    uint64_t now = 1000;
    const std::string copy = "C:\\docs\\bcp_doc.txt";
};

TEST_F(BackupTest, TicksWriteOnlyWhenTheTextDiffersFromTheLastCopy)
{
    TEditForm& f = StartArmed();
    EXPECT_TRUE(host.Running(f.Timer1));
    for (int i = 0; i < 3; ++i) TickAndWrite();
    EXPECT_EQ(writer.started, 0);
    EXPECT_FALSE(Exists(copy));

    Type("x");
    f.Timer1.Tick();
    EXPECT_EQ(writer.started, 1);
    f.Timer1.Tick();  // the write is still in flight: no second one
    EXPECT_EQ(writer.started, 1);
    writer.RunPending();
    EXPECT_EQ(Contents(copy), f.Memo.Text());
    for (int i = 0; i < 3; ++i) TickAndWrite();
    EXPECT_EQ(writer.started, 1);

    // The same bytes in a new state of the text: compared, not written.
    Type("y\b");
    ASSERT_EQ(Contents(copy), f.Memo.Text());
    TickAndWrite();
    EXPECT_EQ(writer.started, 1);

    // Edits made while a write runs are written by a later tick.
    Type("z");
    f.Timer1.Tick();
    Type("w");
    writer.RunPending();
    TickAndWrite();
    TickAndWrite();
    EXPECT_EQ(writer.started, 3);
    EXPECT_EQ(Contents(copy), f.Memo.Text());
    EXPECT_EQ(Folder("C:\\docs"), (std::vector<std::string>{"bcp_doc.txt", "doc.txt"}));
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(BackupTest, AFailureIsReportedOnceAndRetriedSilentlyUntilASuccessOrANewArming)
{
    TEditForm& f = StartArmed();
    files.FailCreateTemp(true);
    Type("x");
    TickAndWrite();
    EXPECT_TRUE(messages.Shown().empty());  // the outcome waits for the next tick
    f.Timer1.Tick();
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Last().text, "ﾌｧｲﾙ C:\\docs\\bcp_doc.txt を作成できません");
    EXPECT_EQ(messages.Last().caption, application.Title());
    EXPECT_EQ(messages.Last().kind, ui::DialogKind::Error);

    now += 4999;
    TickAndWrite();
    EXPECT_EQ(writer.started, 1);
    now += 1;
    TickAndWrite();  // retried, failing again
    EXPECT_EQ(writer.started, 2);
    now += 5000;
    TickAndWrite();  // its outcome taken, and the retry waits again
    EXPECT_EQ(writer.started, 2);
    EXPECT_EQ(messages.Shown().size(), 1u);

    files.FailCreateTemp(false);
    now += 5000;
    TickAndWrite();
    TickAndWrite();
    EXPECT_EQ(writer.started, 3);
    EXPECT_EQ(Contents(copy), f.Memo.Text());
    EXPECT_EQ(messages.Shown().size(), 1u);

    // After a success the next failure is reported again, at once.
    files.FailCreateTemp(true);
    Type("y");
    TickAndWrite();
    f.Timer1.Tick();
    EXPECT_EQ(messages.Shown().size(), 2u);

    // So is a failure after a new arming.
    f.ArmBackup();
    Type("z");
    TickAndWrite();
    f.Timer1.Tick();
    EXPECT_EQ(messages.Shown().size(), 3u);
    EXPECT_EQ(Folder("C:\\docs"), (std::vector<std::string>{"bcp_doc.txt", "doc.txt"}));
}

TEST_F(BackupTest, NoTickRunsInsideACommandsBoxOrTheCloseQuestion)
{
    TEditForm& f = StartArmed();
    Type("x");
    int ticks = 0;
    messages.WhileShown = [&] {
        ++ticks;
        f.Timer1.Tick();
    };
    messages.Answer(ui::mrNo);
    f.UninstallItem->Click();  // its question
    messages.Answer(ui::mrCancel);
    EXPECT_FALSE(Close());  // the save question
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(writer.started, 0);

    messages.WhileShown = nullptr;
    TickAndWrite();
    EXPECT_EQ(writer.started, 1);
    EXPECT_EQ(Contents(copy), f.Memo.Text());
}

TEST_F(BackupTest, NoWriteOutlivesTheCopysDeletionOrTheDocumentsName)
{
    TEditForm& f = StartArmed();
    File("C:\\docs\\next.txt", "next");

    // Open deletes the copy while a write of it is in flight.
    Type("x");
    f.Timer1.Tick();
    ASSERT_TRUE(writer.Holding());
    dialogs.AnswerFile("C:\\docs\\next.txt");
    messages.Answer(ui::mrNo);
    f.MenuItem("Open")->Click();
    EXPECT_FALSE(writer.Holding());
    EXPECT_EQ(f.CurrentFile, "C:\\docs\\next.txt");
    EXPECT_FALSE(Exists(copy));

    // A drop renames the document while a write of its copy is in flight:
    // that copy is written under the old name before the name changes, and
    // the dropped document's copy under the new one.
    File("C:\\docs\\dropped.txt", "dropped");
    Type("y");
    f.Timer1.Tick();
    f.DropFiles({"C:\\docs\\dropped.txt"});
    EXPECT_FALSE(writer.Holding());
    EXPECT_EQ(Contents("C:\\docs\\bcp_next.txt"), "ynext");
    TickAndWrite();
    EXPECT_EQ(Contents("C:\\docs\\bcp_dropped.txt"), "dropped");

    // Closing deletes the copy with a write in flight.
    Type("w");
    f.Timer1.Tick();
    messages.Answer(ui::mrNo);
    EXPECT_TRUE(Close());
    writer.RunPending();
    EXPECT_FALSE(Exists("C:\\docs\\bcp_dropped.txt"));
    EXPECT_EQ(Folder("C:\\docs"), (std::vector<std::string>{"bcp_next.txt", "doc.txt", "dropped.txt", "next.txt"}));
    EXPECT_EQ(writer.started, 4);
}

TEST_F(BackupTest, TheCopyReturnsAfterAFailedOpenOrSaveAs)
{
    const std::vector<std::pair<const char*, std::function<void()>>> failures = {
        {"open of a missing file",
         [this] {
             messages.Answer(ui::mrNo);
             dialogs.AnswerFile("C:\\docs\\missing.txt");
             form->MenuItem("Open")->Click();
             EXPECT_EQ(messages.Last().text, "指定されたファイルが見つかりません");
         }},
        {"save as that cannot write",
         [this] {
             dialogs.AnswerFile("C:\\docs\\other.txt");
             files.FailCreateTemp(true);
             EXPECT_THROW(form->MenuItem("SaveAs")->Click(), Error);
             files.FailCreateTemp(false);
         }},
    };
    for (const auto& [name, fail] : failures) {
        SCOPED_TRACE(name);
        files.Delete(copy);
        form.reset();
        TEditForm& f = StartArmed();
        Type("x");
        TickAndWrite();
        ASSERT_TRUE(Exists(copy));
        fail();
        EXPECT_EQ(f.CurrentFile, "C:\\docs\\doc.txt");
        EXPECT_FALSE(Exists(copy));
        TickAndWrite();
        EXPECT_EQ(Contents(copy), "xtext");
        EXPECT_EQ(writer.started, 2);
        writer.started = 0;
    }
}

TEST_F(BackupTest, AnUnnamedDocumentsCopyStaysWhereItWasFirstWritten)
{
    TEditForm& f = Start();
    f.SetBackupWriting(writer, [this] { return now; });
    f.ArmBackup();  // as the settings dialog does
    Type("abc");
    TickAndWrite();
    EXPECT_EQ(Contents("C:\\work\\bcp_"), "abc");

    // A file dialog moved the current folder.
    services.fullPath = [](const std::string& path) { return "C:\\docs\\" + path; };
    Type("d");
    TickAndWrite();
    EXPECT_EQ(Contents("C:\\work\\bcp_"), "abcd");
    messages.Answer(ui::mrNo);
    EXPECT_TRUE(Close());
    EXPECT_FALSE(Exists("C:\\work\\bcp_"));
    EXPECT_FALSE(Exists("C:\\docs\\bcp_"));
}

}  // namespace
}  // namespace kp::app
