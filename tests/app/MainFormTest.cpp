// The main window's lifecycle against simulated services: what start-up
// reads and shows on a fresh store and with stored values, the close question
// and the writes at close, uninstall, dropped files and the title rule.

#include "tests/app/MainFormFixture.h"

namespace kp::app {
namespace {

using platform::RegStatus;
using platform::RegType;
using MainFormTest = MainFormFixture;

TEST_F(MainFormTest, AFreshStoreStartsAsDesigned)
{
    TEditForm& f = Start();
    EXPECT_EQ(host.Caption(), "[NewFile] - Kestrelpad");
    EXPECT_EQ(host.Title(), "NewFile - Kestrelpad");
    EXPECT_TRUE(host.AcceptsFiles());
    EXPECT_TRUE(messages.Shown().empty());
    // The menu shows a check mark although nothing is reopened.
    EXPECT_TRUE(f.MenuItem("LastTimeFile")->Checked());
    EXPECT_EQ(f.MenuItem("Text1")->Caption(), "定義文書1(&1)");
    EXPECT_EQ(f.MenuItem("Text9")->Caption(), "定義文書9(&9)");
    // The designed shortcuts: AddCut has none in the design.
    EXPECT_EQ(ShortCutOf("New"), "Ctrl+N");
    EXPECT_EQ(ShortCutOf("FindNext"), "F3");
    EXPECT_EQ(ShortCutOf("Text9"), "Ctrl+9");
    EXPECT_EQ(ShortCutOf("AddCut"), "");
    EXPECT_TRUE(f.ToolBar1.Visible());
    EXPECT_TRUE(f.FolderTreeViewEx1.Visible());
    EXPECT_TRUE(f.MenuItem("ToolBar")->Checked());
    EXPECT_TRUE(f.MenuItem("Explore")->Checked());
    EXPECT_FALSE(f.Memo.WordWrap());
    EXPECT_FALSE(f.MenuItem("LeftEnter")->Checked());
    EXPECT_EQ(f.ShellListBox1.ViewStyle(), ui::TViewStyle::vsIcon);
    // The designed 185 pixels give way at show to the stored width's default.
    EXPECT_EQ(f.Panel1->Width(), 120);
    EXPECT_FALSE(f.MenuItem("Save")->Enabled());
    EXPECT_FALSE(f.ToolBar1.Find("Save")->enabled);
    EXPECT_EQ(f.ToolBar1.Find("Save")->imageIndex, 4);
    EXPECT_EQ(f.StatusBar1.Text(0), "1行　　1桁");
    EXPECT_EQ(f.StatusBar1.Text(1), "挿入");
    EXPECT_FALSE(f.Timer1.Enabled());
    EXPECT_EQ(f.Timer1.Interval(), 100);
    EXPECT_EQ(form->HistoryMenu1.HistoryNum(), 6);
    EXPECT_EQ(f.Memo.Text(), "");
    platform::RegKey key;
    EXPECT_EQ(registry.OpenKey(kKey, platform::RegAccess::Read, key), RegStatus::Ok);
}

TEST_F(MainFormTest, TheMenusAndToolBarFollowTheDesign)
{
    TEditForm& f = Start();
    ASSERT_EQ(f.MainMenu.Count(), 6u);
    const char* const menus[] = {"ファイル(&F)", "編集(&E)", "検索(S)", "定義文書(&T)", "表示(&V)", "ヘルプ(&H)"};
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(f.MainMenu.Item(i)->Caption(), menus[i]);
    const ui::TMenuItem* file = f.MainMenu.Item(0);
    ASSERT_EQ(file->Count(), 12u);
    EXPECT_EQ(file->Item(10)->Caption(), "-");
    EXPECT_EQ(file->Item(9)->Caption(), "アンインストール(&I)");
    EXPECT_EQ(file->Item(11)->Caption(), "終了(&X)");
    EXPECT_EQ(f.MenuItem("CutAll")->Caption(), "すべて切り取り(T)");
    EXPECT_EQ(f.MenuItem("FontSmall")->Parent()->Caption(), "変換(&C)");

    std::vector<int> images;
    for (const ui::TToolButton& button : f.ToolBar1.Buttons()) images.push_back(button.separator ? -1 : button.imageIndex);
    EXPECT_EQ(images, (std::vector<int>{0, 1, 4, 5, -1, 7, -1, 8, 9, 11, -1, 13}));
    EXPECT_EQ(f.ToolBar1.Find("SaveAs")->hint, "名前を付けて保存");

    // A right-click item runs its menu-bar namesake.
    int undos = 0;
    f.MenuItem("Undo")->OnClick = [&] { ++undos; };
    f.PopupMenu1.FindByCaption("元に戻す(&U)")->Click();
    EXPECT_EQ(undos, 1);
}

TEST_F(MainFormTest, TheLastDocumentReopens)
{
    File("C:\\docs\\a.txt", "last\r\ntext");
    Stored("File", "LastTimeFile", "1");
    Stored("File", "FileName", "C:\\docs\\a.txt");
    Stored("File", "Backup", "1");
    TEditForm& f = Start();
    EXPECT_EQ(f.Memo.Text(), "last\r\ntext");
    EXPECT_EQ(f.CurrentFile, "C:\\docs\\a.txt");
    EXPECT_EQ(f.SavedText.Text(), "last\r\ntext");
    EXPECT_FALSE(f.Memo.Modified());
    EXPECT_EQ(host.Caption(), "[a.txt] - Kestrelpad");
    EXPECT_EQ(host.Title(), "a.txt - Kestrelpad");
    EXPECT_TRUE(f.MenuItem("Save")->Enabled());
    EXPECT_EQ(f.ToolBar1.Find("Save")->imageIndex, 3);
    EXPECT_TRUE(f.Timer1.Enabled());
    EXPECT_TRUE(host.Running(f.Timer1));
    EXPECT_EQ(f.BackupText.Text(), "last\r\ntext");
    // The loaded text is held once: memo, saved and backup state share it.
    EXPECT_TRUE(f.SavedText.SharesStateWith(f.Memo.Snapshot()));
    EXPECT_TRUE(f.BackupText.SharesStateWith(f.Memo.Snapshot()));
    // Neither the history nor the path panel hear of it.
    EXPECT_TRUE(History().empty());
    EXPECT_EQ(f.StatusBar1.Text(2), "");
}

TEST_F(MainFormTest, AMissingLastDocumentIsReportedOnItsOwnLine)
{
    Stored("File", "LastTimeFile", "1");
    Stored("File", "FileName", "C:\\docs\\gone.txt");
    Stored("Setup", "WindowSave", "1");
    Stored("Visual", "FormWidth", "600");
    TEditForm& f = Start();
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Last().text,
              "前回使ったファイル\r\nC:\\docs\\gone.txt\r\nこのファイルは移動、または削除されています。");
    EXPECT_EQ(messages.Last().caption, "ｴﾗｰ");
    EXPECT_EQ(messages.Last().kind, ui::DialogKind::Error);
    EXPECT_EQ(host.Caption(), "[NewFile] - Kestrelpad");
    EXPECT_EQ(host.Title(), "Kestrelpad");
    EXPECT_EQ(f.CurrentFile, "");
    // Start-up goes on: placement and captions still apply.
    EXPECT_EQ(host.Bounds().Width(), 600);
    EXPECT_EQ(f.MenuItem("Text1")->Caption(), "定義文書1(&1)");
}

TEST_F(MainFormTest, NoReportWithoutDialogsOrWithoutAName)
{
    Stored("File", "LastTimeFile", "1");
    Stored("File", "FileName", "C:\\docs\\gone.txt");
    Stored("Setup", "Dialog", "0");
    Start();
    EXPECT_TRUE(messages.Shown().empty());

    Stored("Setup", "Dialog", "1");
    Stored("File", "FileName", "");  // an existing empty name: tried, failed, not reported
    Start();
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_EQ(form->CurrentFile, "");
}

TEST_F(MainFormTest, ACommandLineFileOpensAsAFullPath)
{
    File("C:\\work\\b.txt", "bee");
    TEditForm& f = Start({"b.txt"});
    EXPECT_EQ(f.CurrentFile, "C:\\work\\b.txt");
    EXPECT_EQ(f.Memo.Text(), "bee");
    EXPECT_EQ(f.StatusBar1.Text(2), "C:\\work\\b.txt");
    EXPECT_EQ(History(), std::vector<std::string>{"C:\\work\\b.txt"});
    EXPECT_EQ(host.Caption(), "[b.txt] - Kestrelpad");
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(MainFormTest, ASecondArgumentIsRefusedAfterTheFirstOpens)
{
    File("C:\\docs\\one.txt", "1");
    Stored("Setup", "FileName", "1");
    TEditForm& f = Start({"C:\\docs\\one.txt", "C:\\docs\\two.txt"});
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Last().text, "同時に開けるファイルは一つまでです。");
    EXPECT_EQ(messages.Last().kind, ui::DialogKind::Error);
    EXPECT_EQ(f.Memo.Text(), "1");
    EXPECT_EQ(host.Caption(), "[C:\\docs\\one.txt] - Kestrelpad");
    EXPECT_EQ(host.Title(), "C:\\docs\\one.txt - Kestrelpad");
}

TEST_F(MainFormTest, AMissingCommandLineFileGetsTheFileOpenErrorThenANormalStart)
{
    TEditForm& f = Start({"C:\\docs\\missing.txt"});
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Last().text, "ﾌｧｲﾙ C:\\docs\\missing.txt は開けません");
    EXPECT_EQ(messages.Last().caption, "Kestrelpad");
    EXPECT_EQ(f.CurrentFile, "");
    EXPECT_EQ(host.Caption(), "[NewFile] - Kestrelpad");
    EXPECT_EQ(f.MenuItem("Text2")->Caption(), "定義文書2(&2)");
}

TEST_F(MainFormTest, AValueOfTheWrongTypeStopsTheRemainingReads)
{
    platform::RegKey key;
    ASSERT_EQ(registry.CreateKey(std::string(kKey) + "\\Visual", key), RegStatus::Ok);
    ASSERT_EQ(registry.SetRaw(key, "WordWrap", RegType::Dword, std::string("\1\0\0\0", 4)), RegStatus::Ok);
    TEditForm& f = Start();
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Last().text, "'WordWrap' のﾃﾞｰﾀ型が不正です");
    EXPECT_EQ(messages.Last().caption, "NewFile - Kestrelpad");  // the application title
    // Reads before it happened, those after it did not.
    EXPECT_TRUE(f.ToolBar1.Visible());
    EXPECT_EQ(f.MenuItem("Text1")->Caption(), "定義1(&1)");
}

TEST_F(MainFormTest, StoredPlacementShortcutsAndAppearanceApplyUnderTheirSwitches)
{
    Stored("Setup", "WindowSave", "1");
    Stored("Visual", "FormLeft", "10");
    Stored("Visual", "FormTop", "20");
    Stored("Visual", "FormWidth", "700");
    Stored("Visual", "FormHeight", "500");
    Stored("Visual", "WindowState", "1");
    Stored("Setup", "ShortCutSave", "1");
    Stored("ShortCutKey", "Exit", "Ctrl+Q");
    Stored("ShortCutKey", "New", "");
    Stored("ShortCutKey", "Find", "nonsense");
    Stored("Setup", "VisualSave", "1");
    Stored("Visual", "BgColor", "0x00FF0000");
    Stored("Visual", "FontSize", "14");
    Stored("Visual", "FileListIcon", "7");
    Stored("Text", "T3", "議事録(&3)");
    TEditForm& f = Start();
    EXPECT_EQ(host.Bounds(), (ui::TRect{10, 20, 710, 520}));
    EXPECT_EQ(host.WindowState(), ui::TWindowState::wsMaximized);
    EXPECT_EQ(ShortCutOf("Exit"), "Ctrl+Q");
    EXPECT_EQ(ShortCutOf("New"), "");
    EXPECT_EQ(ShortCutOf("Find"), "");
    EXPECT_EQ(ShortCutOf("AddCut"), "Ctrl+T");  // a missing key: the default, not the design
    EXPECT_EQ(f.Memo.Color(), 0x00FF0000u);
    EXPECT_EQ(f.Memo.Font().pixelHeight, 19);
    EXPECT_EQ(f.Memo.Font().face, "");  // no FontName stored: the empty face
    EXPECT_EQ(f.ShellListBox1.ViewStyle(), ui::TViewStyle::vsReport);
    EXPECT_EQ(f.MenuItem("Text3")->Caption(), "議事録(&3)");
}

TEST_F(MainFormTest, ShowTurnsBothMarksOnFromTheStore)
{
    Stored("Visual", "ParagraphLetter", "1");
    TEditForm& f = Start();
    EXPECT_TRUE(f.Memo.EditMarks.CrLf.Enabled);
    EXPECT_TRUE(f.Memo.EditMarks.Eot.Enabled);
    EXPECT_FALSE(f.Memo.EditMarks.Tab.Enabled);
    EXPECT_TRUE(memoWindows.Last()->Focused());
}

TEST_F(MainFormTest, TheCloseQuestionAndItsThreeAnswers)
{
    File("C:\\docs\\doc.txt", "old");
    File("C:\\docs\\bcp_doc.txt", "backup");
    Start({"C:\\docs\\doc.txt"});
    Type("x");

    messages.Answer(ui::mrCancel);
    EXPECT_FALSE(Close());
    EXPECT_EQ(messages.Last().text, "文書が変更されています。保存しますか？");
    EXPECT_EQ(messages.Last().caption, "確認");
    EXPECT_EQ(messages.Last().buttons, ui::mbYesNoCancel);
    EXPECT_TRUE(Exists("C:\\docs\\bcp_doc.txt"));
    EXPECT_EQ(Read("Visual", "PanelWidth"), "120");  // written whatever the answer

    messages.Answer(ui::mrYes);
    dialogs.AnswerCancel();
    EXPECT_FALSE(Close());  // the save dialog was cancelled

    messages.Answer(ui::mrNo);
    EXPECT_TRUE(Close());
    EXPECT_FALSE(Exists("C:\\docs\\bcp_doc.txt"));
    EXPECT_EQ(Contents("C:\\docs\\doc.txt"), "old");
}

TEST_F(MainFormTest, SavingUnderANewNameAtCloseDeletesOnlyThatBackup)
{
    File("C:\\docs\\doc.txt", "old");
    File("C:\\docs\\bcp_doc.txt", "backup");
    File("C:\\docs\\bcp_new.txt", "other backup");
    Start({"C:\\docs\\doc.txt"});
    Type("x");
    messages.Answer(ui::mrYes);
    dialogs.AnswerFile("C:\\docs\\new.txt");
    EXPECT_TRUE(Close());
    EXPECT_EQ(Contents("C:\\docs\\new.txt"), "xold");
    EXPECT_EQ(form->CurrentFile, "C:\\docs\\new.txt");
    EXPECT_EQ(History().front(), "C:\\docs\\new.txt");
    EXPECT_FALSE(Exists("C:\\docs\\bcp_new.txt"));
    EXPECT_TRUE(Exists("C:\\docs\\bcp_doc.txt"));
    EXPECT_EQ(dialogs.FileDialogs().back().defaultExt, "txt");
}

// Mended: a save at the close question that fails keeps the window open and
// the document modified, and says why.
TEST_F(MainFormTest, AFailedSaveAtCloseKeepsTheWindowOpen)
{
    File("C:\\docs\\locked.txt", "keep");
    files.SetReadOnly("C:\\docs\\locked.txt", true);
    Start();
    Type("unsaved");
    messages.Answer(ui::mrYes);
    dialogs.AnswerFile("C:\\docs\\locked.txt");
    EXPECT_FALSE(Close());
    EXPECT_TRUE(form->Memo.Modified());
    EXPECT_EQ(messages.Last().text, "ﾌｧｲﾙ C:\\docs\\locked.txt を作成できません");
    EXPECT_EQ(Contents("C:\\docs\\locked.txt"), "keep");
}

TEST_F(MainFormTest, WithoutDialogsUnsavedChangesAreDiscarded)
{
    Stored("Setup", "Dialog", "0");
    Start();
    Type("lost");
    EXPECT_TRUE(Close());
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_EQ(Read("Visual", "WordWrap"), "0");
}

TEST_F(MainFormTest, CloseWritesEachSettingUnderItsSwitch)
{
    File("C:\\docs\\a.txt", "a");
    Stored("Setup", "VisualSave", "1");
    Stored("Setup", "FolderSave", "1");
    Stored("Setup", "ShortCutSave", "1");
    Stored("File", "LastTimeFile", "1");
    Start({"C:\\docs\\a.txt"});
    form->StatusBar1.SetText(3, "C:\\docs");
    form->MenuItem("Exit")->SetShortCut(static_cast<ui::TShortCut>(ui::scCtrl | 'Q'));
    form->Memo.SetWordWrap(true);
    EXPECT_TRUE(Close());
    EXPECT_EQ(Read("Visual", "ToolBar"), "1");
    EXPECT_EQ(Read("Visual", "Explore"), "1");
    EXPECT_EQ(Read("Visual", "BgColor"), "-2147483643");
    // The appearance came from the store's defaults at start: 12 points, no face.
    EXPECT_EQ(Read("Visual", "FontSize"), "12");
    EXPECT_EQ(Read("Visual", "FontName"), "");
    EXPECT_EQ(Read("Visual", "WordWrap"), "1");
    EXPECT_EQ(Read("Visual", "TreeViewHeight"), "240");  // the stored default, applied to the list
    EXPECT_EQ(Read("File", "Folder"), "C:\\docs");
    EXPECT_EQ(Read("File", "FileName"), "C:\\docs\\a.txt");
    EXPECT_EQ(Read("File", "HistoryMenu"), "6");
    EXPECT_EQ(Read("ShortCutKey", "Exit"), "Ctrl+Q");
    EXPECT_EQ(Read("ShortCutKey", "AddCut"), "Ctrl+T");  // read with its default at start
    EXPECT_EQ(Read("ShortCutKey", "FindNext"), "F3");
}

TEST_F(MainFormTest, TheSwitchesOffWriteOnlyTheAlwaysWrittenSettings)
{
    Start();
    EXPECT_TRUE(Close());
    EXPECT_EQ(Read("Visual", "ToolBar"), "(missing)");
    EXPECT_EQ(Read("File", "Folder"), "(missing)");
    EXPECT_EQ(Read("File", "FileName"), "(missing)");
    EXPECT_EQ(Read("ShortCutKey", "New"), "(missing)");
    EXPECT_NE(Read("Visual", "PanelWidth"), "(missing)");
}

TEST_F(MainFormTest, TheCloseQueryStoresThePlacementUnlessMinimised)
{
    Stored("Setup", "WindowSave", "1");
    Start();
    host.SetBounds(ui::TRect{5, 6, 605, 406});
    host.SetWindowState(ui::TWindowState::wsMaximized);
    EXPECT_TRUE(Close());
    EXPECT_EQ(Read("Visual", "FormLeft"), "5");
    EXPECT_EQ(Read("Visual", "FormHeight"), "400");
    EXPECT_EQ(Read("Visual", "WindowState"), "1");

    Start();
    host.SetWindowState(ui::TWindowState::wsMinimized);
    Stored("Visual", "WindowState", "1");
    host.SetBounds(ui::TRect{0, 0, 300, 200});
    EXPECT_TRUE(Close());
    EXPECT_EQ(Read("Visual", "WindowState"), "1");
    EXPECT_EQ(Read("Visual", "FormWidth"), "300");
}

TEST_F(MainFormTest, UninstallErasesEverythingAtCloseWithoutAsking)
{
    File("C:\\Program Files\\Kestrelpad\\Kpad.hlp", "help");
    File("C:\\Program Files\\Kestrelpad\\Kpad.gid", "index");
    TRegIniFile(registry, "").WriteInteger("History", "Count", 1);
    Stored("Setup", "WindowSave", "1");
    TEditForm& f = Start();
    messages.Answer(ui::mrYes);
    f.UninstallClick();
    EXPECT_EQ(messages.Last().text,
              "ケストレルパッド終了時にレジストリ情報とヘルプファイルを削除します。よろしいですか？");
    EXPECT_EQ(messages.Last().buttons, ui::mbYesNo);
    EXPECT_TRUE(f.UninstallItem->Checked());
    Type("unsaved");
    const size_t asked = messages.Shown().size();
    EXPECT_TRUE(Close());
    EXPECT_EQ(messages.Shown().size(), asked);
    platform::RegKey key;
    ASSERT_EQ(registry.OpenKey(kKey, platform::RegAccess::Read, key), RegStatus::Ok);
    std::vector<std::string> sections;
    registry.EnumSubKeys(key, sections);
    EXPECT_TRUE(sections.empty());
    EXPECT_EQ(TRegIniFile(registry, "").ReadInteger("History", "Count", 0), 1);
    EXPECT_FALSE(Exists("C:\\Program Files\\Kestrelpad\\Kpad.hlp"));
    EXPECT_FALSE(Exists("C:\\Program Files\\Kestrelpad\\Kpad.gid"));
}

TEST_F(MainFormTest, UninstallCanBeDeclinedOrDisarmed)
{
    File("C:\\Program Files\\Kestrelpad\\Kpad.hlp", "help");
    TEditForm& f = Start();
    messages.Answer(ui::mrNo);
    f.UninstallClick();
    EXPECT_FALSE(f.UninstallOnExit);
    messages.Answer(ui::mrYes);
    f.UninstallClick();
    EXPECT_TRUE(f.UninstallOnExit);
    const size_t asked = messages.Shown().size();
    f.UninstallClick();  // disarming asks nothing
    EXPECT_EQ(messages.Shown().size(), asked);
    EXPECT_FALSE(f.UninstallOnExit);
    EXPECT_TRUE(Close());
    EXPECT_TRUE(Exists("C:\\Program Files\\Kestrelpad\\Kpad.hlp"));
    EXPECT_NE(Read("Visual", "PanelWidth"), "(missing)");
}

TEST_F(MainFormTest, LastTimeFileTogglesAndWritesAtOnce)
{
    TEditForm& f = Start();
    f.MenuItem("LastTimeFile")->Click();
    EXPECT_FALSE(f.MenuItem("LastTimeFile")->Checked());
    EXPECT_EQ(Read("File", "LastTimeFile"), "0");
    f.MenuItem("LastTimeFile")->Click();
    EXPECT_EQ(Read("File", "LastTimeFile"), "1");
    f.MenuItem("Exit")->Click();
    EXPECT_EQ(host.CloseRequests(), 1);
}

TEST_F(MainFormTest, OnlyTheFirstDroppedFileOpensUnderItsFullPath)
{
    File("C:\\docs\\first.txt", "first");
    File("C:\\docs\\second.txt", "second");
    TEditForm& f = Start();
    Type("discarded");
    f.DropFiles({"C:\\docs\\first.txt", "C:\\docs\\second.txt", "C:\\docs\\third.txt"});
    EXPECT_EQ(f.Memo.Text(), "first");
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_EQ(host.Caption(), "[C:\\docs\\first.txt] - Kestrelpad");
    EXPECT_EQ(host.Title(), "first.txt - Kestrelpad");
    EXPECT_EQ(f.CurrentFile, "C:\\docs\\first.txt");
    EXPECT_EQ(f.SavedText.Text(), "first");
    EXPECT_TRUE(f.ToolBar1.Find("Save")->enabled);
    EXPECT_FALSE(f.MenuItem("Save")->Enabled());  // the menu item is left alone
    EXPECT_FALSE(f.Timer1.Enabled());
    EXPECT_EQ(f.StatusBar1.Text(2), "C:\\docs\\first.txt");
}

TEST_F(MainFormTest, TheTitleRuleReadsTheSettingEachTime)
{
    TEditForm& f = Start();
    f.ApplyTitle("C:\\ソース\\表.txt");
    EXPECT_EQ(host.Caption(), "[表.txt] - Kestrelpad");
    EXPECT_EQ(host.Title(), "表.txt - Kestrelpad");
    Stored("Setup", "FileName", "1");
    f.ApplyTitle("C:\\ソース\\表.txt");
    EXPECT_EQ(host.Caption(), "[C:\\ソース\\表.txt] - Kestrelpad");
}

}  // namespace
}  // namespace kp::app

namespace kp::app {
namespace {

TEST_F(MainFormTest, AStoreThatCannotBeCreatedIsReportedAndTheProgramGoesOn)
{
    registry.SetReadOnly("Software\\Tamarind", true);
    File("C:\\docs\\a.txt", "text");
    TEditForm& f = Start({"C:\\docs\\a.txt"});
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Last().text, "ｷｰ Software\\Tamarind\\Kestrelpad の作成に失敗しました");
    // The rest of start-up ran on the defaults.
    EXPECT_EQ(f.Memo.Text(), "text");
    EXPECT_EQ(host.Caption(), "[a.txt] - Kestrelpad");
    EXPECT_EQ(f.MenuItem("Text1")->Caption(), "定義文書1(&1)");
    EXPECT_EQ(f.Panel1->Width(), 120);
    EXPECT_TRUE(Close());  // the writes at close fail silently
    EXPECT_EQ(messages.Shown().size(), 1u);
}

// A program key that exists but cannot be written: what is stored still
// applies, the rest reads as its defaults.
TEST_F(MainFormTest, AnUnwritableStoreIsReadAsItIs)
{
    File("C:\\docs\\a.txt", "text");
    Stored("Text", "T1", "議事録(&1)");
    Stored("Visual", "WordWrap", "1");
    Stored("Setup", "WindowSave", "1");
    Stored("Visual", "FormWidth", "640");
    registry.SetReadOnly(kKey, true);
    TEditForm& f = Start({"C:\\docs\\a.txt"});
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(f.CurrentFile, "C:\\docs\\a.txt");
    EXPECT_EQ(History(), std::vector<std::string>{"C:\\docs\\a.txt"});
    EXPECT_EQ(f.MenuItem("Text1")->Caption(), "議事録(&1)");
    EXPECT_EQ(f.MenuItem("Text2")->Caption(), "定義文書2(&2)");
    EXPECT_TRUE(f.Memo.WordWrap());
    EXPECT_EQ(host.Bounds().Width(), 640);
}

// Nothing that goes wrong with the settings keeps the window open: a switch
// that cannot be read counts as its default, writes that fail are skipped,
// and closing shows no message (start-up may have reported a wrong type).
struct CloseFault {
    const char* name;
    void (*plant)(platform::SimRegistry& registry);
    bool modified;  // with a modified document (the close question is asked and answered No)
};

void PrintTo(const CloseFault& fault, std::ostream* out) { *out << fault.name; }

void PlantDword(platform::SimRegistry& registry, const std::string& section, std::string_view ident)
{
    platform::RegKey key;
    ASSERT_EQ(registry.CreateKey(std::string(kKey) + "\\" + section, key), RegStatus::Ok);
    ASSERT_EQ(registry.SetRaw(key, ident, RegType::Dword, std::string("\1\0\0\0", 4)), RegStatus::Ok);
}

class CloseFaultTest : public MainFormFixture, public ::testing::WithParamInterface<CloseFault> {};

TEST_P(CloseFaultTest, TheWindowClosesWithoutAMessage)
{
    GetParam().plant(registry);
    File("C:\\docs\\doc.txt", "old");
    File("C:\\docs\\bcp_doc.txt", "backup");
    Start({"C:\\docs\\doc.txt"});
    const size_t atStart = messages.Shown().size();
    if (GetParam().modified) {
        Type("x");
        messages.Answer(ui::mrNo);
    }
    EXPECT_TRUE(Close());
    if (GetParam().modified) {
        ASSERT_EQ(messages.Shown().size(), atStart + 1);
        EXPECT_EQ(messages.Last().text, "文書が変更されています。保存しますか？");
    } else {
        EXPECT_EQ(messages.Shown().size(), atStart) << messages.Last().text;
    }
    EXPECT_FALSE(Exists("C:\\docs\\bcp_doc.txt"));
    EXPECT_EQ(Contents("C:\\docs\\doc.txt"), "old");
    // Log-off is not refused either.
    Start({"C:\\docs\\doc.txt"});
    bool canEnd = false;
    form->FormQueryEndSession(canEnd);
    EXPECT_TRUE(canEnd);
}

INSTANTIATE_TEST_SUITE_P(
    MainFormTest, CloseFaultTest,
    ::testing::Values(
        CloseFault{"WindowSaveOfTheWrongType", [](platform::SimRegistry& r) { PlantDword(r, "Setup", "WindowSave"); },
                   false},
        CloseFault{"PlacementNotWritable",
                   [](platform::SimRegistry& r) {
                       TRegIniFile(r, kKey).WriteString("Setup", "WindowSave", "1");
                       TRegIniFile(r, kKey).WriteString("Visual", "FormWidth", "600");
                       r.SetReadOnly(std::string(kKey) + "\\Visual", true);
                   },
                   false},
        CloseFault{"SwitchesOfTheWrongType",
                   [](platform::SimRegistry& r) {
                       for (const char* ident : {"VisualSave", "FolderSave", "ShortCutSave"}) PlantDword(r, "Setup", ident);
                   },
                   false},
        CloseFault{"DialogOfTheWrongType", [](platform::SimRegistry& r) { PlantDword(r, "Setup", "Dialog"); }, true},
        CloseFault{"NoSectionWritable",
                   [](platform::SimRegistry& r) {
                       for (const char* section : {"File", "Setup", "Visual", "ShortCutKey"})
                           r.SetReadOnly(std::string(kKey) + "\\" + section, true);
                   },
                   true}),
    [](const ::testing::TestParamInfo<CloseFault>& info) { return std::string(info.param.name); });

TEST_F(MainFormTest, AWrongTypedSwitchAtCloseStillLetsTheOtherWritesHappen)
{
    PlantDword(registry, "Setup", "VisualSave");
    Stored("Setup", "FolderSave", "1");
    Start();
    form->StatusBar1.SetText(3, "C:\\docs");
    form->Memo.SetWordWrap(true);
    EXPECT_TRUE(Close());
    EXPECT_EQ(Read("Visual", "ToolBar"), "(missing)");  // VisualSave read as off
    EXPECT_EQ(Read("Visual", "WordWrap"), "1");
    EXPECT_EQ(Read("File", "Folder"), "C:\\docs");
}

// Log-off with a modified document asks the close question: the session may
// end once the changes are saved or given up, and not while they are kept.
TEST_F(MainFormTest, LogOffAsksAboutUnsavedChanges)
{
    File("C:\\docs\\locked.txt", "keep");
    files.SetReadOnly("C:\\docs\\locked.txt", true);
    const struct {
        ui::ModalResult answer;
        const char* savePath;  // the save dialog's answer; nullptr: cancelled
        bool canEnd;
    } cases[] = {
        {ui::mrCancel, nullptr, false},
        {ui::mrYes, nullptr, false},
        {ui::mrYes, "C:\\docs\\locked.txt", false},
        {ui::mrYes, "C:\\docs\\saved.txt", true},
        {ui::mrNo, nullptr, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.answer) + " " + (c.savePath ? c.savePath : "(cancelled)"));
        File("C:\\docs\\doc.txt", "old");
        Start({"C:\\docs\\doc.txt"});
        Type("x");
        const size_t before = messages.Shown().size();
        messages.Answer(c.answer);
        if (c.answer == ui::mrYes) {
            if (c.savePath) dialogs.AnswerFile(c.savePath);
            else dialogs.AnswerCancel();
        }
        bool canEnd = !c.canEnd;
        form->FormQueryEndSession(canEnd);
        EXPECT_EQ(canEnd, c.canEnd);
        ASSERT_GT(messages.Shown().size(), before);
        EXPECT_EQ(messages.Shown()[before].text, "文書が変更されています。保存しますか？");
        EXPECT_EQ(Contents("C:\\docs\\doc.txt"), "old");
        EXPECT_EQ(Contents("C:\\docs\\locked.txt"), "keep");
        // A kept document is still there, modified; a saved one is not modified.
        EXPECT_EQ(form->Memo.Text(), "xold");
        EXPECT_EQ(form->Memo.Modified(), !(c.savePath && c.canEnd));
    }
    EXPECT_EQ(Contents("C:\\docs\\saved.txt"), "xold");
}

TEST_F(MainFormTest, LogOffAsksNothingWithoutChangesOrWithoutDialogs)
{
    Start();
    bool canEnd = false;
    form->FormQueryEndSession(canEnd);
    EXPECT_TRUE(canEnd);

    Stored("Setup", "Dialog", "0");
    Start();
    Type("lost");
    canEnd = false;
    form->FormQueryEndSession(canEnd);
    EXPECT_TRUE(canEnd);
    EXPECT_TRUE(messages.Shown().empty());
}

// At the session's end the settings are written as at a close, without a
// second question, and the backup copy goes.
TEST_F(MainFormTest, TheSessionsEndWritesWhatClosingWrites)
{
    File("C:\\docs\\doc.txt", "old");
    File("C:\\docs\\bcp_doc.txt", "backup");
    Stored("Setup", "WindowSave", "1");
    Start({"C:\\docs\\doc.txt"});
    Type("x");
    host.SetBounds(ui::TRect{5, 6, 605, 406});
    messages.Answer(ui::mrNo);
    bool canEnd = false;
    form->FormQueryEndSession(canEnd);
    ASSERT_TRUE(canEnd);
    const size_t asked = messages.Shown().size();
    form->FormEndSession();
    EXPECT_EQ(messages.Shown().size(), asked);
    EXPECT_EQ(Read("Visual", "FormWidth"), "600");
    EXPECT_EQ(Read("Visual", "PanelWidth"), "120");
    EXPECT_FALSE(Exists("C:\\docs\\bcp_doc.txt"));
    EXPECT_EQ(Contents("C:\\docs\\doc.txt"), "old");

    // Armed for uninstall, the session's end erases the settings.
    Start();
    messages.Answer(ui::mrYes);
    form->UninstallClick();
    form->FormEndSession();
    EXPECT_EQ(Read("Visual", "PanelWidth"), "(missing)");
}

// The explorer pane's stored width applies at show and comes back at close;
// a negative width is no width (the designed 185 stays). The folder written
// is the one status panel 3 holds at close.
TEST_F(MainFormTest, TheExplorerWidthAndFolderSurviveARun)
{
    const struct {
        const char* stored;
        int shown;
    } cases[] = {{"300", 300}, {"0", 0}, {"-40", 185}, {"wide", 120}, {"0x40", 64}};
    Stored("Setup", "FolderSave", "1");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        Stored("Visual", "PanelWidth", c.stored);
        TEditForm& f = Start();
        EXPECT_EQ(f.Panel1->Width(), c.shown);
        f.StatusBar1.SetText(3, "C:\\docs");
        EXPECT_TRUE(Close());
        EXPECT_EQ(Read("Visual", "PanelWidth"), std::to_string(c.shown));
        EXPECT_EQ(Read("File", "Folder"), "C:\\docs");
    }
}

// Stored window sizes that are zero or negative are no sizes: the window
// keeps its own and only the position applies.
TEST_F(MainFormTest, StoredWindowSizesMustBePositive)
{
    const ui::TRect designed = host.Bounds();
    const struct {
        const char* width;
        const char* height;
        ui::TRect placed;
    } cases[] = {
        {"0", "0", {10, 20, 10 + designed.Width(), 20 + designed.Height()}},
        {"-300", "200", {10, 20, 10 + designed.Width(), 220}},
        {"500", "-1", {10, 20, 510, 20 + designed.Height()}},
        {"500", "400", {10, 20, 510, 420}},
    };
    Stored("Setup", "WindowSave", "1");
    Stored("Visual", "FormLeft", "10");
    Stored("Visual", "FormTop", "20");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.width) + " x " + c.height);
        host.SetBounds(designed);
        Stored("Visual", "FormWidth", c.width);
        Stored("Visual", "FormHeight", c.height);
        Start();
        EXPECT_EQ(host.Bounds(), c.placed);
    }
    // Edges beyond the integers stop at their end instead of wrapping.
    Stored("Visual", "FormLeft", "2147483000");
    Stored("Visual", "FormWidth", "2000");
    Start();
    EXPECT_EQ(host.Bounds().right, 2147483647);
}

TEST_F(MainFormTest, TheEditCommandsRunTheMemosOwnOperations)
{
    TEditForm& f = Start();
    Type("abc");
    f.MenuItem("SelectAll")->Click();
    f.MenuItem("Copy")->Click();
    EXPECT_EQ(clipboard.GetText(), std::u16string(u"abc"));
    f.MenuItem("Cut")->Click();
    EXPECT_EQ(f.Memo.Text(), "");
    f.MenuItem("Paste")->Click();
    f.MenuItem("Paste")->Click();
    EXPECT_EQ(f.Memo.Text(), "abcabc");
    f.MenuItem("Undo")->Click();
    EXPECT_EQ(f.Memo.Text(), "abc");
    f.ToolBar1.Click("Undo");
    EXPECT_EQ(f.Memo.Text(), "");
}

}  // namespace
}  // namespace kp::app
