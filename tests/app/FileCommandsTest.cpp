// The document file commands against simulated dialogs and files: every
// branch of New, Open, Save, Save As and the history selection, checked
// against what each must change.

#include "tests/app/MainFormFixture.h"

#include <functional>

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

// The dialogs' folder and filter memory is bookkeeping: when the store
// refuses it, the dialogs and the commands go on as if it had been kept.
TEST_F(FileCommandsTest, DialogMemoryThatCannotBeWrittenIsSkippedSilently)
{
    Stored("Setup", "OpenDlgFilter", "1");
    Stored("File", "OpenDlgDir", "C:\\work");
    registry.SetReadOnly(std::string(kKey) + "\\Setup", true);
    registry.SetReadOnly(std::string(kKey) + "\\File", true);
    TEditForm& f = StartNamed();

    dialogs.Script(ui::FileDialogScript().FolderChange("C:\\docs").TypeChange(3).Confirm("C:\\docs\\next.txt"));
    f.MenuItem("Open")->Click();
    EXPECT_EQ(f.Memo.Text(), "next");
    EXPECT_EQ(f.CurrentFile, "C:\\docs\\next.txt");

    Type("x");
    dialogs.Script(ui::FileDialogScript().FolderChange("C:\\docs").TypeChange(1).Confirm("C:\\docs\\as.txt"));
    f.MenuItem("SaveAs")->Click();
    EXPECT_EQ(Contents("C:\\docs\\as.txt"), "xnext");
    EXPECT_EQ(host.Caption(), "[as.txt] - Kestrelpad");

    Type("y");
    const std::string text = f.Memo.Text();
    messages.Answer(ui::mrYes);
    dialogs.Script(ui::FileDialogScript().FolderChange("C:\\work").Confirm("C:\\docs\\closing.txt"));
    EXPECT_TRUE(Close());
    EXPECT_EQ(Contents("C:\\docs\\closing.txt"), text);

    ASSERT_EQ(messages.Shown().size(), 1u);  // the save question, nothing else
    EXPECT_EQ(messages.Last().text, "文書が変更されています。保存しますか？");
    EXPECT_EQ(dialogs.PendingScripts(), 0u);
    EXPECT_EQ(Read("Setup", "OpenDlgFilter"), "1");
    EXPECT_EQ(Read("File", "OpenDlgDir"), "C:\\work");
    EXPECT_EQ(Read("File", "SaveDlgDir"), "(missing)");
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

// The empty file is written before anything of the open document changes: a
// file that cannot be created leaves the document whole, and a later Save
// writes it where it came from.
TEST_F(FileCommandsTest, AHistoryEntryThatCannotBeCreatedLeavesTheDocumentWhole)
{
    File("C:\\docs\\cur.txt", "precious");
    TEditForm& f = Start({"C:\\docs\\cur.txt"});
    Type("more ");
    const Observed before = Observe();
    messages.Answer(ui::mrYes);
    f.HistorySelected("C:\\gone\\x.txt");
    EXPECT_EQ(messages.Last().text, "ﾌｧｲﾙ C:\\gone\\x.txt を作成できません");
    EXPECT_EQ(messages.Last().kind, ui::DialogKind::Error);
    EXPECT_EQ(f.Memo.Text(), "more precious");
    EXPECT_TRUE(f.Memo.Modified());
    const Observed after = Observe();
    EXPECT_EQ(after.currentFile, before.currentFile);
    EXPECT_EQ(after.savedText, before.savedText);
    EXPECT_EQ(after.menu, before.menu);
    EXPECT_EQ(after.button, before.button);
    EXPECT_EQ(after.caption, before.caption);
    EXPECT_EQ(host.Title(), "cur.txt - Kestrelpad");

    f.MenuItem("Save")->Click();
    EXPECT_EQ(Contents("C:\\docs\\cur.txt"), "more precious");
    EXPECT_FALSE(Exists("C:\\gone\\x.txt"));
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

// ---- Tool buttons ---------------------------------------------------------------

// A dropped file enables the Save button while the Save menu item stays off;
// the button saves all the same.
TEST_F(FileCommandsTest, TheSaveButtonSavesADroppedFile)
{
    File("C:\\docs\\dropped.txt", "dropped");
    TEditForm& f = Start();
    f.DropFiles({"C:\\docs\\dropped.txt"});
    Type("typed ");
    ASSERT_FALSE(f.MenuItem("Save")->Enabled());
    ASSERT_TRUE(f.ToolBar1.Find("Save")->enabled);
    f.ToolBar1.Click("Save");
    EXPECT_EQ(Contents("C:\\docs\\dropped.txt"), "typed dropped");
    EXPECT_FALSE(f.Memo.Modified());
    EXPECT_TRUE(messages.Shown().empty());
}

// Each tool button runs its command whatever the state of the menu item of
// the same command: the two are enabled separately.
TEST_F(FileCommandsTest, EachToolButtonRunsItsCommandWhileItsMenuItemIsOff)
{
    struct Case {
        const char* button;
        std::function<void()> prepare;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"New", [] {}, [this] { EXPECT_EQ(form->Memo.Text(), ""); EXPECT_EQ(host.Caption(), kNewFileCaption); }},
        {"Open", [this] { dialogs.AnswerFile("C:\\docs\\next.txt"); },
         [this] { EXPECT_EQ(form->Memo.Text(), "next"); }},
        {"Save", [this] { Type("x"); }, [this] { EXPECT_EQ(Contents("C:\\docs\\cur.txt"), "xcurrent"); }},
        {"SaveAs", [this] { dialogs.AnswerFile("C:\\docs\\as.txt"); },
         [this] { EXPECT_EQ(Contents("C:\\docs\\as.txt"), "current"); }},
        {"Undo", [this] { Type("x"); }, [this] { EXPECT_EQ(form->Memo.Text(), "current"); }},
        {"Copy", [this] { form->Memo.SelectAll(); },
         [this] { EXPECT_EQ(clipboard.GetText(), std::u16string(u"current")); }},
        {"Cut", [this] { form->Memo.SelectAll(); },
         [this] {
             EXPECT_EQ(form->Memo.Text(), "");
             EXPECT_EQ(clipboard.GetText(), std::u16string(u"current"));
         }},
        {"Paste", [this] { clipboard.SetText(u"pasted "); }, [this] { EXPECT_EQ(form->Memo.Text(), "pasted current"); }},
        {"Print", [this] { dialogs.AnswerPrint(true); },
         [this] {
             ASSERT_FALSE(printers.Jobs().empty());
             EXPECT_TRUE(printers.Jobs().back().ended);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        form.reset();
        clipboard.SetText(u"");
        TEditForm& f = StartNamed();
        ui::TMenuItem* item = f.MenuItem(c.button);
        ASSERT_NE(item, nullptr);
        ASSERT_NE(f.ToolBar1.Find(c.button), nullptr);
        item->SetEnabled(false);
        f.ToolBar1.SetEnabled(c.button, true);
        c.prepare();
        f.ToolBar1.Click(c.button);
        c.check();
        EXPECT_EQ(dialogs.PendingScripts(), 0u);
    }
    // Every button names a command of the menu bar.
    for (const ui::TToolButton& button : form->ToolBar1.Buttons()) {
        if (!button.separator) {
            EXPECT_NE(form->MenuItem(button.name), nullptr) << button.name;
        }
    }
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
