// The document file commands against simulated dialogs and files: every
// branch of New, Open, Save, Save As and the history selection, checked
// against what each must change.

#include "tests/app/MainFormFixture.h"

namespace kp::app {
namespace {

class FileCommandsTest : public MainFormFixture {
protected:
    // A named, saved document with a backup copy beside it.
    TEditForm& StartNamed(bool backup = false)
    {
        File("C:\\docs\\cur.txt", "current");
        File("C:\\docs\\bcp_cur.txt", "backup of current");
        File("C:\\docs\\next.txt", "next");
        if (backup) Stored("File", "Backup", "1");
        return Start({"C:\\docs\\cur.txt"});
    }
    struct Observed {
        std::string currentFile;
        std::string savedText;
        bool menu;
        bool button;
        int image;
        std::string caption;
        std::string panel2;
    };
    Observed Observe()
    {
        return Observed{form->CurrentFile, form->SavedText.Text(), form->MenuItem("Save")->Enabled(),
                        form->ToolBar1.Find("Save")->enabled, form->ToolBar1.Find("Save")->imageIndex,
                        host.Caption(), form->StatusBar1.Text(2)};
    }
};

TEST_F(FileCommandsTest, NewClearsAnUnmodifiedDocumentButKeepsItsName)
{
    TEditForm& f = StartNamed();
    f.MenuItem("New")->Click();
    const Observed o = Observe();
    EXPECT_EQ(f.Memo.Text(), "");
    EXPECT_EQ(o.currentFile, "C:\\docs\\cur.txt");
    EXPECT_EQ(o.savedText, "current");
    EXPECT_FALSE(o.menu);
    EXPECT_FALSE(o.button);
    EXPECT_EQ(o.image, 4);
    EXPECT_EQ(o.caption, "[NewFile] - Kestrelpad");
    EXPECT_EQ(host.Title(), "NewFile - Kestrelpad");
    EXPECT_EQ(o.panel2, "C:\\docs\\cur.txt");
    EXPECT_TRUE(Exists("C:\\docs\\bcp_cur.txt"));
}

TEST_F(FileCommandsTest, NewWithChangesAsksAndHonoursEachAnswer)
{
    TEditForm& f = StartNamed();
    Type("x");
    messages.Answer(ui::mrCancel);
    f.MenuItem("New")->Click();
    EXPECT_EQ(f.Memo.Text(), "xcurrent");

    messages.Answer(ui::mrYes);
    dialogs.AnswerCancel();
    f.MenuItem("New")->Click();
    EXPECT_EQ(f.Memo.Text(), "xcurrent");  // the save dialog was cancelled: nothing changes

    messages.Answer(ui::mrYes);
    dialogs.AnswerFile("C:\\docs\\s.txt");
    f.MenuItem("New")->Click();
    EXPECT_EQ(Contents("C:\\docs\\s.txt"), "xcurrent");
    EXPECT_EQ(f.Memo.Text(), "");
    EXPECT_EQ(History().front(), "C:\\docs\\s.txt");
    EXPECT_EQ(f.CurrentFile, "C:\\docs\\cur.txt");  // not S
    EXPECT_EQ(host.Caption(), "[NewFile] - Kestrelpad");

    Type("y");
    messages.Answer(ui::mrNo);
    f.MenuItem("New")->Click();
    EXPECT_EQ(f.Memo.Text(), "");
    EXPECT_FALSE(f.Memo.Modified());
}

TEST_F(FileCommandsTest, OpenAnUnmodifiedDocument)
{
    TEditForm& f = StartNamed(true);
    dialogs.AnswerFile("C:\\docs\\next.txt");
    f.MenuItem("Open")->Click();
    const Observed o = Observe();
    EXPECT_EQ(f.Memo.Text(), "next");
    EXPECT_EQ(o.currentFile, "C:\\docs\\next.txt");
    EXPECT_EQ(o.savedText, "next");
    EXPECT_TRUE(o.menu);
    EXPECT_TRUE(o.button);
    EXPECT_EQ(o.image, 3);
    EXPECT_EQ(o.caption, "[next.txt] - Kestrelpad");
    EXPECT_EQ(o.panel2, "C:\\docs\\next.txt");
    EXPECT_EQ(History().front(), "C:\\docs\\next.txt");
    EXPECT_FALSE(Exists("C:\\docs\\bcp_cur.txt"));  // the previous backup copy is gone
    EXPECT_TRUE(f.Timer1.Enabled());
    EXPECT_EQ(f.BackupText.Text(), "next");
    EXPECT_EQ(dialogs.FileDialogs().back().filterIndex, 1);
}

TEST_F(FileCommandsTest, OpenAfterSavingTheChangesUnderANewName)
{
    TEditForm& f = StartNamed();
    Type("x");
    messages.Answer(ui::mrYes);
    dialogs.AnswerFile("C:\\docs\\s.txt");
    dialogs.AnswerCancel();  // then the open dialog is cancelled
    f.MenuItem("Open")->Click();
    const Observed o = Observe();
    EXPECT_EQ(Contents("C:\\docs\\s.txt"), "xcurrent");
    EXPECT_EQ(o.currentFile, "C:\\docs\\s.txt");
    EXPECT_EQ(o.savedText, "xcurrent");
    EXPECT_TRUE(o.menu);
    EXPECT_FALSE(o.button);
    EXPECT_EQ(o.caption, "[s.txt] - Kestrelpad");
    EXPECT_EQ(o.panel2, "C:\\docs\\s.txt");
    EXPECT_FALSE(f.Memo.Modified());
}

TEST_F(FileCommandsTest, OpenAfterDiscardingTheChanges)
{
    TEditForm& f = StartNamed();
    Type("x");
    f.SetSaveButton(false);
    messages.Answer(ui::mrNo);
    dialogs.AnswerFile("C:\\docs\\next.txt");
    f.MenuItem("Open")->Click();
    const Observed o = Observe();
    EXPECT_EQ(f.Memo.Text(), "next");
    EXPECT_EQ(o.currentFile, "C:\\docs\\next.txt");
    EXPECT_EQ(o.savedText, "current");  // not changed in this branch
    EXPECT_FALSE(o.button);             // nor the button
    EXPECT_TRUE(o.menu);
    EXPECT_FALSE(Exists("C:\\docs\\bcp_cur.txt"));
}

TEST_F(FileCommandsTest, OpenWithYesThenACancelledSaveDialogChangesNothing)
{
    TEditForm& f = StartNamed();
    Type("x");
    messages.Answer(ui::mrYes);
    dialogs.AnswerCancel();
    f.MenuItem("Open")->Click();
    EXPECT_EQ(dialogs.FileDialogs().size(), 1u);  // the open dialog never appeared
    EXPECT_TRUE(f.Memo.Modified());
    EXPECT_EQ(f.Memo.Text(), "xcurrent");
}

TEST_F(FileCommandsTest, OpenWithoutAskingDiscardsChanges)
{
    Stored("Setup", "Dialog", "0");
    TEditForm& f = StartNamed();
    Type("x");
    dialogs.AnswerFile("C:\\docs\\next.txt");
    f.MenuItem("Open")->Click();
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_EQ(f.Memo.Text(), "next");
    EXPECT_EQ(f.SavedText.Text(), "current");
    EXPECT_TRUE(f.ToolBar1.Find("Save")->enabled);
}

TEST_F(FileCommandsTest, AFileThatCannotBeReadLeavesTheDocumentButNotItsBackup)
{
    TEditForm& f = StartNamed();
    dialogs.AnswerFile("C:\\docs\\nothing.txt");
    f.MenuItem("Open")->Click();
    EXPECT_EQ(messages.Last().text, "指定されたファイルが見つかりません");
    EXPECT_EQ(messages.Last().kind, ui::DialogKind::Error);
    EXPECT_EQ(f.Memo.Text(), "current");
    EXPECT_EQ(f.CurrentFile, "C:\\docs\\cur.txt");
    EXPECT_FALSE(Exists("C:\\docs\\bcp_cur.txt"));
}

TEST_F(FileCommandsTest, SaveWritesTheCurrentFileAndNothingElse)
{
    TEditForm& f = StartNamed();
    Type("x");
    const Observed before = Observe();
    f.MenuItem("Save")->Click();
    EXPECT_EQ(Contents("C:\\docs\\cur.txt"), "xcurrent");
    EXPECT_FALSE(f.Memo.Modified());
    EXPECT_EQ(f.SavedText.Text(), "xcurrent");
    EXPECT_TRUE(f.SavedText.SharesStateWith(f.Memo.Snapshot()));  // the text itself, not a copy
    EXPECT_EQ(Observe().caption, before.caption);
    EXPECT_EQ(History().size(), 1u);
    // The replacements before the save leave no trace in the undo history.
    f.Memo.Undo();
    EXPECT_EQ(f.Memo.Text(), "current");
}

TEST_F(FileCommandsTest, SaveOfAnUnnamedDocumentDoesNothing)
{
    TEditForm& f = Start();
    Type("x");
    f.SaveClick();
    EXPECT_TRUE(f.Memo.Modified());
    EXPECT_TRUE(dialogs.FileDialogs().empty());
}

TEST_F(FileCommandsTest, SaveAsTakesItsExtensionFromTheFilter)
{
    TEditForm& f = StartNamed(true);
    Stored("Setup", "SaveDlgFilter", "2");
    dialogs.AnswerFile("C:\\docs\\page.htm");
    f.MenuItem("SaveAs")->Click();
    const ui::FileDialogRun& run = dialogs.FileDialogs().back();
    EXPECT_EQ(run.filterIndex, 2);
    EXPECT_EQ(run.defaultExt, "htm");
    const Observed o = Observe();
    EXPECT_EQ(o.currentFile, "C:\\docs\\page.htm");
    EXPECT_TRUE(o.menu);
    EXPECT_FALSE(o.button);
    EXPECT_EQ(o.panel2, "C:\\docs\\page.htm");
    EXPECT_EQ(Contents("C:\\docs\\page.htm"), "current");
    EXPECT_FALSE(Exists("C:\\docs\\bcp_cur.txt"));
    EXPECT_TRUE(f.Timer1.Enabled());

    // Switching to "all files" while the dialog is open drops the extension;
    // an index outside 1..3 leaves it as it was.
    dialogs.Script(ui::FileDialogScript().TypeChange(3).Confirm("C:\\docs\\raw"));
    f.MenuItem("SaveAs")->Click();
    EXPECT_EQ(dialogs.FileDialogs().back().defaultExtAtClose, "");
    Stored("Setup", "SaveDlgFilter", "9");
    dialogs.AnswerCancel();
    f.MenuItem("SaveAs")->Click();
    EXPECT_EQ(dialogs.FileDialogs().back().defaultExt, "");
}

TEST_F(FileCommandsTest, TheDialogsRememberFolderAndFilter)
{
    TEditForm& f = StartNamed();
    dialogs.Script(ui::FileDialogScript().FolderChange("C:\\docs").TypeChange(3).Cancel());
    f.MenuItem("Open")->Click();
    EXPECT_EQ(Read("File", "OpenDlgDir"), "C:\\docs");
    EXPECT_EQ(Read("Setup", "OpenDlgFilter"), "3");
    dialogs.AnswerCancel();
    f.MenuItem("Open")->Click();
    EXPECT_EQ(dialogs.FileDialogs().back().initialDir, "C:\\docs");
    EXPECT_EQ(dialogs.FileDialogs().back().filterIndex, 3);
}

TEST_F(FileCommandsTest, AHistoryEntryOpensWithoutAQuestion)
{
    TEditForm& f = StartNamed();
    Type("edits");
    f.HistorySelected("C:\\docs\\next.txt");
    const Observed o = Observe();
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_EQ(f.Memo.Text(), "next");
    EXPECT_EQ(o.currentFile, "C:\\docs\\next.txt");
    EXPECT_EQ(o.savedText, "current");
    EXPECT_EQ(o.panel2, "C:\\docs\\cur.txt");
    EXPECT_TRUE(o.button);
    EXPECT_EQ(o.caption, "[next.txt] - Kestrelpad");
}

TEST_F(FileCommandsTest, AMissingHistoryEntryCanBeCreated)
{
    TEditForm& f = StartNamed();
    messages.Answer(ui::mrNo);
    f.HistorySelected("C:\\docs\\gone.txt");
    EXPECT_EQ(messages.Last().text,
              "C:\\docs\\gone.txt\r\nこのファイルは移動または削除されています。\r\n\r\nファイルを作成しますか？");
    EXPECT_EQ(f.CurrentFile, "C:\\docs\\cur.txt");
    EXPECT_FALSE(Exists("C:\\docs\\gone.txt"));

    messages.Answer(ui::mrYes);
    f.HistorySelected("C:\\docs\\gone.txt");
    EXPECT_EQ(Contents("C:\\docs\\gone.txt"), "");
    EXPECT_EQ(f.CurrentFile, "C:\\docs\\gone.txt");
    EXPECT_EQ(f.Memo.Text(), "");
    EXPECT_EQ(host.Caption(), "[gone.txt] - Kestrelpad");
}

// Mended: a file that exists but cannot be read is never emptied; its read
// failure is shown instead of the create question.
TEST_F(FileCommandsTest, AnUnreadableHistoryEntryIsNeverEmptied)
{
    TEditForm& f = StartNamed();
    File("C:\\docs\\locked.txt", "precious");
    files.LockAgainstReading("C:\\docs\\locked.txt", true);
    f.HistorySelected("C:\\docs\\locked.txt");
    EXPECT_EQ(messages.Last().text, "ﾌｧｲﾙ C:\\docs\\locked.txt は開けません");
    files.LockAgainstReading("C:\\docs\\locked.txt", false);
    EXPECT_EQ(Contents("C:\\docs\\locked.txt"), "precious");
    EXPECT_EQ(f.CurrentFile, "C:\\docs\\cur.txt");
}

}  // namespace
}  // namespace kp::app

namespace kp::app {
namespace {

using HistoryMenuInFormTest = FileCommandsTest;

TEST_F(HistoryMenuInFormTest, OpenedFilesFollowExitInTheFileMenuAndReopenFromThere)
{
    Stored("File", "HistoryMenu", "2");
    TEditForm& f = StartNamed();
    dialogs.AnswerFile("C:\\docs\\next.txt");
    f.MenuItem("Open")->Click();
    File("C:\\docs\\third.txt", "third");
    dialogs.AnswerFile("C:\\docs\\third.txt");
    f.MenuItem("Open")->Click();

    ui::TMenuItem* file = f.MainMenu.Item(0);
    ASSERT_EQ(file->Count(), 12u + 3u);  // a separator and two of the three names
    EXPECT_EQ(file->Item(11)->Caption(), "終了(&X)");
    EXPECT_EQ(file->Item(12)->Caption(), "-");
    EXPECT_EQ(file->Item(13)->Caption(), "&0 C:\\docs\\third.txt");
    EXPECT_EQ(file->Item(14)->Caption(), "&1 C:\\docs\\next.txt");

    Type("edits");
    file->Item(14)->Click();  // no question: the edits are discarded
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_EQ(f.Memo.Text(), "next");
    EXPECT_EQ(f.CurrentFile, "C:\\docs\\next.txt");
    EXPECT_EQ(f.MainMenu.Item(0)->Item(13)->Caption(), "&0 C:\\docs\\next.txt");
}

TEST_F(HistoryMenuInFormTest, TheListIsWrittenWhenTheWindowGoesAndReadAtTheNextStart)
{
    StartNamed();
    dialogs.AnswerFile("C:\\docs\\next.txt");
    form->MenuItem("Open")->Click();
    EXPECT_TRUE(Close());
    form.reset();
    TRegIniFile user(registry, "");
    EXPECT_EQ(user.ReadInteger("History", "Count", 0), 2);
    EXPECT_EQ(user.ReadString("History", "H0", ""), "C:\\docs\\next.txt");
    EXPECT_EQ(user.ReadString("History", "H1", ""), "C:\\docs\\cur.txt");

    Start();
    EXPECT_EQ(History(), (std::vector<std::string>{"C:\\docs\\next.txt", "C:\\docs\\cur.txt"}));
    EXPECT_EQ(form->MainMenu.Item(0)->Item(13)->Caption(), "&0 C:\\docs\\next.txt");
}

}  // namespace
}  // namespace kp::app
