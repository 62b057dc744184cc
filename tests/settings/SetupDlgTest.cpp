// The settings dialog over a simulated main window: opened from the menu, the
// user's edits made on the form it shows, then OK or Cancel.

#include "app/SetupCommands.h"
#include "settings/SetupDlg.h"
#include "settings/ShortCut.h"
#include "tests/app/MainFormFixture.h"
#include "ui/sim/SimFormService.h"

#include <cstdlib>

namespace kp::settings {
namespace {

using ui::FormSpec;
using ui::SimFormService;

class SetupDlgTest : public app::MainFormFixture {
protected:
    app::TEditForm& Open()
    {
        app::TEditForm& window = Start();
        target = std::make_unique<app::MainWindowSetup>(window);
        dialog = std::make_unique<TPagesDlg1>(
            SetupServices{registry, clock, dateLocale, test::TestCodec(), keyNames, application}, *target);
        window.PagesDlg1 = dialog.get();
        return window;
    }
    // Runs EditorSetup: `edit` acts on the form, then `close` ("OKBtn" or
    // "CancelBtn") closes it.
    void Setup(std::function<void(FormSpec&)> edit, const std::string& close = "OKBtn")
    {
        forms.WhileEditing = [edit = std::move(edit)](FormSpec& form) {
            if (edit) edit(form);
        };
        forms.Click(close);
        form->MenuItem("EditorSetup")->Click();
        forms.WhileEditing = nullptr;
    }
    static void Press(FormSpec& form, const std::string& control) { form.OnEvent(form, control); }
    static void SetText(FormSpec& form, std::string_view name, std::string text) { form.Find(name)->text = std::move(text); }
    static void Check(FormSpec& form, std::string_view name, bool checked) { form.Find(name)->checked = checked; }
    static void Choose(FormSpec& form, std::string_view prefix, int index)
    {
        for (int i = 0; i < 4; ++i) form.Find(std::string(prefix) + std::to_string(i))->checked = i == index;
    }
    int NodeOf(std::string_view caption)
    {
        for (size_t i = 0; i < kShortCutTree.size(); ++i)
            if (kShortCutTree[i].caption == caption) return static_cast<int>(i);
        ADD_FAILURE() << "no node " << caption;
        return -1;
    }

    std::unique_ptr<app::MainWindowSetup> target;
    std::unique_ptr<TPagesDlg1> dialog;
};

TEST_F(SetupDlgTest, FirstOpeningOnAFreshStoreShowsTheDesignedStateWithTheDatePageInFront)
{
    Open();
    FormSpec seen;
    Setup([&](FormSpec& form) { seen = form; }, "CancelBtn");
    EXPECT_EQ(seen.caption, "エディタ設定");
    ASSERT_EQ(seen.pages.size(), 6u);
    EXPECT_EQ(seen.pages[seen.activePage], "日付け時刻");
    for (const char* name : {"FolderSave", "VisualSave", "DateTimeSave", "ShortCutSave", "WindowSave", "ConfirmDialog"})
        EXPECT_TRUE(seen.Find(name)->checked) << name;
    EXPECT_FALSE(seen.Find("Backup")->checked);
    EXPECT_FALSE(seen.Find("IntervalEdit")->enabled);
    EXPECT_EQ(seen.Find("IntervalEdit")->text, "30");
    EXPECT_EQ(seen.Find("CountEdit")->text, "6");
    EXPECT_EQ(seen.Find("Template3")->text, "定義文書3");
    EXPECT_EQ(seen.Find("DateList")->text, "標準（短い形式）");
    EXPECT_TRUE(seen.Find("Panel0")->checked);  // PanelStyle 0 by default
}

// Each row: what the user does on the form, then the stored value and the
// main window's state that OK gives.
TEST_F(SetupDlgTest, OkStoresAndAppliesEachControl)
{
    struct Row {
        const char* what;
        std::function<void(FormSpec&)> edit;
        const char* section;
        const char* ident;
        const char* stored;
        std::function<bool(app::TEditForm&)> applied;
    };
    const Row rows[] = {
        {"last file", [](FormSpec& f) { Check(f, "LastTimeFile", true); }, "File", "LastTimeFile", "1",
         [](app::TEditForm& w) { return w.MenuItem("LastTimeFile")->Checked(); }},
        {"confirmations off", [](FormSpec& f) { Check(f, "ConfirmDialog", false); }, "Setup", "Dialog", "0", nullptr},
        {"window save off", [](FormSpec& f) { Check(f, "WindowSave", false); }, "Setup", "WindowSave", "0", nullptr},
        {"newline marks", [](FormSpec& f) { Check(f, "ParagraphLetter", true); }, "Visual", "ParagraphLetter", "1",
         [](app::TEditForm& w) { return w.Memo.EditMarks.CrLf.Enabled && w.Memo.EditMarks.Eot.Enabled; }},
        {"details view", [](FormSpec& f) { Choose(f, "View", 3); }, "Visual", "FileListIcon", "3",
         [](app::TEditForm& w) { return w.ShellListBox1.ViewStyle() == ui::TViewStyle::vsReport; }},
        {"small icons", [](FormSpec& f) { Choose(f, "View", 1); }, "Visual", "FileListIcon", "1",
         [](app::TEditForm& w) { return w.ShellListBox1.ViewStyle() == ui::TViewStyle::vsSmallIcon; }},
        {"pane at the top", [](FormSpec& f) { Choose(f, "Panel", 2); }, "Visual", "PanelStyle", "2",
         [](app::TEditForm& w) {
             return w.Panel1->Align() == ui::TAlign::Top && w.ShellListBox1.Align() == ui::TAlign::Right &&
                    w.Splitter3->Align() == ui::TAlign::Right;
         }},
        {"pane on the right", [](FormSpec& f) { Choose(f, "Panel", 1); }, "Visual", "PanelStyle", "1",
         [](app::TEditForm& w) { return w.Splitter2->Align() == ui::TAlign::Right && w.ShellListBox1.Align() == ui::TAlign::Bottom; }},
        {"template 3 renamed", [](FormSpec& f) { SetText(f, "Template3", "議事録"); }, "Text", "T3", "議事録(&3)",
         [](app::TEditForm& w) { return w.MenuItem("Text3")->Caption() == "議事録(&3)"; }},
        {"backup every 5 s", [](FormSpec& f) { Check(f, "Backup", true), SetText(f, "IntervalEdit", "5"); }, "File",
         "BackupTime", "5", [](app::TEditForm& w) { return w.Timer1.Enabled() && w.Timer1.Interval() == 5000; }},
        {"50 recent files capped by the menu", [](FormSpec& f) { SetText(f, "CountEdit", "50"); }, "File", "Backup", "0",
         [](app::TEditForm& w) { return w.HistoryMenu1.HistoryNum() == 32; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        registry = platform::SimRegistry();
        Open();
        Setup(row.edit);
        EXPECT_EQ(Read(row.section, row.ident), row.stored);
        if (row.applied) {
            EXPECT_TRUE(row.applied(*form));
        }
        EXPECT_TRUE(messages.Shown().empty());
    }
}

TEST_F(SetupDlgTest, NumbersThatAreNotWholeKeepTheDialogOpenAndApplyNothing)
{
    const struct {
        const char* field;
        const char* text;
        std::string_view message;
    } rows[] = {
        {"CountEdit", "abc", kCountNotWhole},
        {"CountEdit", "", kCountNotWhole},
        {"IntervalEdit", "abc", kIntervalNotWhole},
        {"IntervalEdit", "2147484", kIntervalNotWhole},  // × 1000 overflows
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.field) + " " + row.text);
        registry = platform::SimRegistry();
        messages = ui::SimMessageDialogs();
        Open();
        int showings = 0;
        FormSpec second;
        forms.WhileEditing = [&](FormSpec& f) {
            if (++showings == 1) {
                f.activePage = pgTemplates;
                SetText(f, row.field, row.text);
                Check(f, "ParagraphLetter", true);
                SetText(f, "Template1", "x");
            } else {
                second = f;
            }
        };
        forms.Click("OKBtn");
        forms.Click("CancelBtn");
        form->MenuItem("EditorSetup")->Click();
        ASSERT_EQ(showings, 2);
        ASSERT_EQ(messages.Shown().size(), 1u);
        EXPECT_EQ(messages.Shown()[0].text, row.message);
        EXPECT_EQ(second.activePage, pgFile);
        EXPECT_EQ(second.focused, row.field);
        EXPECT_EQ(second.Find(row.field)->text, row.text);
        EXPECT_EQ(Read("Visual", "ParagraphLetter"), "(missing)");
        EXPECT_EQ(Read("Text", "T1"), "(missing)");
        EXPECT_EQ(form->MenuItem("Text1")->Caption(), "定義文書1(&1)");
        EXPECT_FALSE(form->Memo.EditMarks.CrLf.Enabled);
    }
}

TEST_F(SetupDlgTest, AFailingStoreWriteIsReportedAndTheDialogClosesWithTheMarksApplied)
{
    Open();
    registry.SetReadOnly(app::kKey, true);
    Setup([](FormSpec& f) { Check(f, "ParagraphLetter", true), SetText(f, "Template2", "y"); });
    registry.SetReadOnly(app::kKey, false);
    EXPECT_EQ(forms.Shown().size(), 1u);
    ASSERT_FALSE(messages.Shown().empty());
    EXPECT_TRUE(form->Memo.EditMarks.CrLf.Enabled);
    EXPECT_EQ(form->MenuItem("Text2")->Caption(), "定義文書2(&2)");  // later steps skipped
}

TEST_F(SetupDlgTest, CancelKeepsTheCountTextAndTheFormatChoiceOnly)
{
    Open();
    Setup([](FormSpec& f) {
        SetText(f, "CountEdit", "12");
        Check(f, "LastTimeFile", true);
        f.Find("DateList")->selected = 9;
        Press(f, "DateList");
        EXPECT_EQ(f.Find("DateList")->text, "yyyy/mm/dd");
        SetText(f, "DateList", "yy");
        Press(f, "DateList");
        f.activePage = pgExplorer;
    }, "CancelBtn");
    EXPECT_EQ(Read("File", "LastTimeFile"), "(missing)");
    EXPECT_EQ(Read("SetUp", "Date"), "yy");
    EXPECT_EQ(Read("SetUp", "DateIndex"), "9");
    FormSpec again;
    Setup([&](FormSpec& f) { again = f; }, "CancelBtn");
    EXPECT_EQ(again.Find("CountEdit")->text, "12");
    EXPECT_FALSE(again.Find("LastTimeFile")->checked);
    EXPECT_EQ(again.activePage, pgExplorer);
    EXPECT_EQ(form->HistoryMenu1.HistoryNum(), 6);
}

// One window for the run: made at the first showing, shown again by every
// later one with the page last used in front, gone with the dialog.
TEST_F(SetupDlgTest, OneWindowServesEveryShowingAndGoesWithTheDialog)
{
    app::TEditForm& window = Open();
    EXPECT_EQ(forms.WindowsMade(), 0);  // nothing shown yet
    Setup([](FormSpec& f) { f.activePage = pgTemplates; }, "CancelBtn");
    Setup([](FormSpec& f) {
        EXPECT_EQ(f.activePage, pgTemplates);
        f.activePage = pgShortCut;
    });
    forms.PressEscape();
    form->MenuItem("EditorSetup")->Click();
    EXPECT_EQ(forms.Shown().size(), 3u);
    EXPECT_EQ(forms.Last().activePage, pgShortCut);
    EXPECT_EQ(forms.WindowsMade(), 1);
    EXPECT_EQ(forms.WindowsAlive(), 1);
    window.PagesDlg1 = nullptr;
    dialog.reset();
    EXPECT_EQ(forms.WindowsAlive(), 0);
}

TEST_F(SetupDlgTest, DisplayResetAppliesOnlyOnOk)
{
    app::TEditForm& window = Open();
    window.Memo.SetColor(0x00FF00);
    dialog->FormShow();
    dialog->Button1Click();
    EXPECT_EQ(dialog->FontNameText, "ＭＳ Ｐゴシック");
    EXPECT_EQ(dialog->FontSizeText, "11");
    Setup(nullptr, "CancelBtn");  // reloads from the memo, applies nothing
    EXPECT_EQ(window.Memo.Color(), TColor(0x00FF00));

    Setup([&](FormSpec& f) {
        Press(f, "DisplayReset");
        EXPECT_EQ(f.Find("FontName")->text, "ＭＳ Ｐゴシック");
    });
    EXPECT_EQ(window.Memo.Color(), clWindow);
    EXPECT_EQ(window.Memo.FontColor(), clWindowText);
    EXPECT_EQ(window.Memo.Font().face, "ＭＳ Ｐゴシック");
    EXPECT_EQ(window.Memo.Font().pixelHeight, 15);
}

TEST_F(SetupDlgTest, FullPathTitleAppliesToANamedDocumentOnly)
{
    File("C:\\docs\\memo.txt", "abc");
    Open();
    Setup([](FormSpec& f) { Check(f, "FullPath", true); });  // unnamed: neither applied nor stored
    EXPECT_EQ(host.Caption(), "[NewFile] - Kestrelpad");
    EXPECT_EQ(Read("Setup", "FileName"), "(missing)");

    form->HistorySelected("C:\\docs\\memo.txt");
    Setup([](FormSpec& f) { Check(f, "FullPath", true); });
    EXPECT_EQ(host.Caption(), "[C:\\docs\\memo.txt] - Kestrelpad");
    EXPECT_EQ(application.Title(), "C:\\docs\\memo.txt - Kestrelpad");
    Setup([](FormSpec& f) { Check(f, "FullPath", false); });
    EXPECT_EQ(host.Caption(), "[memo.txt] - Kestrelpad");

    form->NewClick();  // New keeps CurrentFile; the caption says unnamed
    Setup([](FormSpec& f) { Check(f, "FullPath", true); });
    EXPECT_EQ(host.Caption(), "[NewFile] - Kestrelpad");
    EXPECT_EQ(Read("Setup", "FileName"), "0");
}

TEST_F(SetupDlgTest, UncheckingBackupDeletesTheCopy)
{
    File("C:\\docs\\memo.txt", "abc");
    File("C:\\docs\\bcp_memo.txt", "old");
    Stored("File", "Backup", "1");
    Open();
    form->HistorySelected("C:\\docs\\memo.txt");
    FormSpec seen;
    Setup([&](FormSpec& f) { seen = f, Check(f, "Backup", false); });
    EXPECT_TRUE(seen.Find("IntervalEdit")->enabled);
    EXPECT_FALSE(Exists("C:\\docs\\bcp_memo.txt"));
    EXPECT_FALSE(form->Timer1.Enabled());
    EXPECT_EQ(Read("File", "Backup"), "0");
}

TEST_F(SetupDlgTest, NumberBoxArrowsStepInsideTheirRangeAndFollowTheBackupTick)
{
    Open();
    std::vector<std::string> shown;
    Setup([&](FormSpec& f) {
        f.activePage = pgFile;
        const auto arrow = [&](std::string_view box, int steps) {
            SimFormService::PressArrow(f, box, steps);
            shown.push_back(f.Find(box)->text);
        };
        arrow("CountEdit", 1);  // from the loaded 6
        SetText(f, "CountEdit", "50");
        arrow("CountEdit", 1);  // typed beyond the range: from the last position
        SetText(f, "CountEdit", "abc");
        arrow("CountEdit", -1);
        SetText(f, "CountEdit", "30");
        arrow("CountEdit", 2);
        arrow("IntervalEdit", -1);  // disabled with the backup unticked
        Check(f, "Backup", true), Press(f, "Backup");
        arrow("IntervalEdit", -2);
        Check(f, "Backup", false), Press(f, "Backup");
        arrow("IntervalEdit", -1);
        Check(f, "Backup", true), Press(f, "Backup");
    });
    EXPECT_EQ(shown, (std::vector<std::string>{"7", "8", "7", "30", "30", "28", "28"}));
    EXPECT_EQ(Read("File", "BackupTime"), "28");
}

TEST_F(SetupDlgTest, TemplateNamesLoadWithoutTheirSuffixAndAreCutAtTwentyBytes)
{
    Stored("Text", "T4", "abc");
    Stored("Text", "T5", "週報(&5)");
    Open();
    FormSpec seen;
    Setup([&](FormSpec& f) {
        seen = f;
        SetText(f, "Template6", "一二三四五六七八九十壱");  // 22 bytes
        SetText(f, "Template7", "a一二三四五六七八九十");   // 21 bytes
    });
    EXPECT_EQ(seen.Find("Template4")->text, "");
    EXPECT_EQ(seen.Find("Template5")->text, "週報");
    EXPECT_EQ(Read("Text", "T6"), "一二三四五六七八九十(&6)");
    EXPECT_EQ(Read("Text", "T7"), "a一二三四五六七八九(&7)");
    // Typing stops at 20 bytes, not 20 characters, and never halves one.
    std::string typed[2];
    Setup([&](FormSpec& f) {
        SetText(f, "Template8", ""), SetText(f, "Template9", "");
        SimFormService::TypeText(f, "Template8", "abcdefghijk");
        SimFormService::TypeText(f, "Template8", "あいうえお");
        SimFormService::TypeText(f, "Template9", "一二三四五六七八九");
        SimFormService::TypeText(f, "Template9", "ｱｲｳ");
        typed[0] = f.Find("Template8")->text, typed[1] = f.Find("Template9")->text;
    });
    EXPECT_EQ(typed[0], "abcdefghijkあいうえ");
    EXPECT_EQ(typed[1], "一二三四五六七八九ｱｲ");
    EXPECT_EQ(Read("Text", "T9"), "一二三四五六七八九ｱｲ(&9)");
    Setup([&](FormSpec& f) { Press(f, "TemplateReset"); });
    EXPECT_EQ(form->MenuItem("Text6")->Caption(), "定義文書6(&6)");
}

TEST_F(SetupDlgTest, ShortCutPageAssignsAtOnceAndSurvivesARestart)
{
    Stored("Setup", "ShortCutSave", "1");
    Open();
    // A group disables the box and leaves its content; assign then does nothing.
    dialog->SelectNode(NodeOf("上書き保存"));
    dialog->ListBox1Click();
    EXPECT_EQ(ShortCutToText(dialog->HotKey, keyNames), "Ctrl+S");
    dialog->SelectNode(NodeOf("ファイル"));
    dialog->ListBox1Click();
    EXPECT_FALSE(dialog->HotKeyEnabled);
    dialog->HotKey = ui::scCtrl | 'Q';
    dialog->Button2Click();
    for (const ShortCutNode& node : kShortCutTree)
        if (!node.IsGroup()) {
            EXPECT_NE(form->MenuItem(node.key)->ShortCut(), ui::scCtrl | 'Q') << node.key;
        }

    // A keyboard move changes the node assign acts on, not the box.
    dialog->SelectNode(NodeOf("名前を付けて保存"));
    EXPECT_FALSE(dialog->HotKeyEnabled);
    dialog->HotKey = ui::scCtrl | ui::scShift | 'S';
    dialog->Button2Click();
    EXPECT_EQ(ShortCutOf("SaveAs"), "Shift+Ctrl+S");

    // Unusable combinations are refused with a message.
    for (ui::TShortCut unusable : {ui::TShortCut(ui::scCtrl | 0x11), ui::TShortCut(ui::scCtrl | 0xFF)}) {
        dialog->HotKey = unusable;
        dialog->Button2Click();
        EXPECT_EQ(ShortCutOf("SaveAs"), "Shift+Ctrl+S");
    }
    ASSERT_EQ(messages.Shown().size(), 2u);
    EXPECT_EQ(messages.Shown()[0].text, kUnusableShortCut);

    Setup(nullptr, "CancelBtn");  // Cancel keeps the assignment
    EXPECT_EQ(ShortCutOf("SaveAs"), "Shift+Ctrl+S");
    ASSERT_TRUE(Close());
    EXPECT_EQ(Read("ShortCutKey", "SaveAs"), "Shift+Ctrl+S");
    Open();
    EXPECT_EQ(ShortCutOf("SaveAs"), "Shift+Ctrl+S");
}

// The page as the user works it: clicks in the tree, combinations pressed in
// the hot-key box, the assign button.
TEST_F(SetupDlgTest, ShortCutPageTreeAndKeyBoxOnTheForm)
{
    using ui::SimFormService;
    Open();
    Setup([&](FormSpec& f) {
        const ui::FormControl& tree = *f.Find("ShortCutTree");
        const ui::FormControl& box = *f.Find("HotKey");
        ASSERT_EQ(tree.kind, ui::FormControlKind::Tree);
        ASSERT_EQ(box.kind, ui::FormControlKind::HotKey);
        EXPECT_EQ(tree.items[NodeOf("大文字に変換")], "大文字に変換");
        EXPECT_EQ(tree.levels[NodeOf("変換")], 1);
        EXPECT_EQ(tree.levels[NodeOf("大文字に変換")], 2);
        EXPECT_EQ(box.shortCut, 0);

        SimFormService::ClickTreeItem(f, "ShortCutTree", NodeOf("上書き保存"));
        EXPECT_EQ(box.shortCut, ui::scCtrl | 'S');
        // A group disables the box and keeps its content; assign does nothing.
        SimFormService::ClickTreeItem(f, "ShortCutTree", NodeOf("検索"));
        EXPECT_FALSE(box.enabled);
        SimFormService::PressHotKey(f, "HotKey", ui::scCtrl | 'Q');
        EXPECT_EQ(box.shortCut, ui::scCtrl | 'S');
        Press(f, "Assign");
        // The keyboard moves the node assign acts on, not the box.
        SimFormService::MoveTreeSelection(f, "ShortCutTree", NodeOf("次を検索"));
        EXPECT_FALSE(box.enabled);
        Press(f, "Assign");
        EXPECT_EQ(ShortCutOf("FindNext"), "Ctrl+S");

        SimFormService::ClickTreeItem(f, "ShortCutTree", NodeOf("右端で折り返す"));
        EXPECT_TRUE(box.enabled);
        const struct {
            int pressed;
            const char* stored;
        } keys[] = {
            {ui::scCtrl | 'W', "Ctrl+W"},
            {ui::scCtrl | 0x25, "Ctrl+Left"},
            {0x72, "F3"},                   // a key alone is a combination
            {ui::scCtrl | 0x09, "F3"},      // Tab stays with the dialog
            {ui::scShift | 0x2E, ""},       // Delete clears the box
            {ui::scAlt | ui::scShift | 'K', "Shift+Alt+K"},
            {ui::scCtrl | 0x11, ""},        // Ctrl alone leaves it empty
        };
        for (const auto& key : keys) {
            SimFormService::PressHotKey(f, "HotKey", key.pressed);
            Press(f, "Assign");
            EXPECT_EQ(ShortCutOf("LeftEnter"), key.stored) << std::hex << key.pressed;
        }
        SimFormService::PressHotKey(f, "HotKey", ui::scCtrl | 'E');
        SimFormService::MoveTreeSelection(f, "ShortCutTree", NodeOf("目次"));
    }, "CancelBtn");
    EXPECT_EQ(ShortCutOf("Find"), "Ctrl+F");
    EXPECT_TRUE(messages.Shown().empty());
    // The tree's selection and the box are kept for the next showing.
    FormSpec again;
    Setup([&](FormSpec& f) { again = f; }, "CancelBtn");
    EXPECT_EQ(again.Find("ShortCutTree")->selected, NodeOf("目次"));
    EXPECT_EQ(again.Find("HotKey")->shortCut, ui::scCtrl | 'E');
}

TEST_F(SetupDlgTest, EachPositionButtonHasAPictureBesideIt)
{
    Open();
    FormSpec seen;
    Setup([&](FormSpec& f) { seen = f; }, "CancelBtn");
    const ui::FormControl& group = *seen.Find("PanelGroup");
    std::vector<std::vector<ui::FormShape>> pictures;
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const ui::FormControl& picture = *seen.Find("Panel" + std::to_string(i) + "Picture");
        const ui::FormControl& button = *seen.Find("Panel" + std::to_string(i));
        EXPECT_EQ(picture.kind, ui::FormControlKind::Picture);
        EXPECT_EQ(picture.page, pgExplorer);
        EXPECT_EQ(picture.width, 32);
        EXPECT_EQ(picture.height, 32);
        EXPECT_GE(picture.left, group.left);
        EXPECT_LE(button.left + button.width, group.left + group.width);
        EXPECT_LE(picture.top + picture.height, group.top + group.height);
        EXPECT_LE(std::abs(button.left - (picture.left + picture.width)), 4);  // beside it, to its right
        EXPECT_LT(button.top, picture.top + picture.height);
        EXPECT_GT(button.top + button.height, picture.top);
        for (const ui::FormShape& shape : picture.shapes) {
            EXPECT_GE(shape.left, 0);
            EXPECT_GE(shape.top, 0);
            EXPECT_LE(shape.left + shape.width, 32);
            EXPECT_LE(shape.top + shape.height, 32);
        }
        for (const auto& other : pictures) EXPECT_NE(other, picture.shapes);
        pictures.push_back(picture.shapes);
    }
}

TEST_F(SetupDlgTest, ShortCutResetSetsTheDefaultTable)
{
    Open();
    EXPECT_EQ(ShortCutOf("AddCut"), "");  // the design
    form->MenuItem("Print")->SetShortCut(ui::scCtrl | 'K');
    dialog->Button3Click();
    EXPECT_EQ(ShortCutOf("AddCut"), "Ctrl+T");
    EXPECT_EQ(ShortCutOf("AddCopy"), "Ctrl+P");
    EXPECT_EQ(ShortCutOf("Print"), "");
    EXPECT_EQ(ShortCutOf("Text9"), "Ctrl+9");
    EXPECT_EQ(ShortCutOf("FindNext"), "F3");
}

TEST_F(SetupDlgTest, TheTreeHoldsEveryStoredCommandOnce)
{
    std::vector<std::string_view> keys;
    for (const ShortCutNode& node : kShortCutTree)
        if (!node.IsGroup()) keys.push_back(node.key);
    ASSERT_EQ(keys.size(), kShortCutKeys.size());
    for (const Setting& key : kShortCutKeys) EXPECT_EQ(std::count(keys.begin(), keys.end(), key.ident), 1) << key.ident;
}

TEST(KeyNameTable, AsksThePlatformOncePerKey)
{
    struct Counting final : platform::KeyNames {
        mutable int asked = 0;
        std::string NameOf(uint32_t key) const override { return ++asked, key == 0xBA ? ";" : ""; }
    } counting;
    const KeyNameTable table(counting);
    const int once = counting.asked;
    EXPECT_EQ(TextToShortCut("Ctrl+;", table), ui::scCtrl | 0xBA);
    EXPECT_EQ(TextToShortCut("Alt+nothing", table), 0);
    EXPECT_EQ(counting.asked, once);
}

}  // namespace
}  // namespace kp::settings

namespace kp::settings {
namespace {

TEST_F(SetupDlgTest, FontAndColourDialogsChangeTheSampleOnlyWhenConfirmed)
{
    app::TEditForm& window = Open();
    bool confirm = false;
    dialog->ExecuteFontDialog = [&](MemoAppearance& font) {
        font.font.face = "ＭＳ 明朝";
        font.points = 20;
        font.fontColor = 0x0000FF;
        font.underline = font.strikeOut = true;
        return confirm;
    };
    dialog->ExecuteColorDialog = [&](TColor& color) {
        color = 0x00FFFF;
        return confirm;
    };
    const std::string face = window.Memo.Font().face;
    Setup([&](FormSpec& f) {
        Press(f, "FontBt");
        Press(f, "BgColorBt");
        EXPECT_EQ(f.Find("FontName")->text, "ＭＳ 明朝");  // the dialog's face, confirmed or not
    });
    EXPECT_EQ(window.Memo.Font().face, face);
    EXPECT_EQ(window.Memo.Color(), clWindow);

    confirm = true;
    Setup([&](FormSpec& f) { Press(f, "FontBt"), Press(f, "BgColorBt"); });
    EXPECT_EQ(window.Memo.Font().face, "ＭＳ 明朝");
    EXPECT_EQ(window.Memo.Font().pixelHeight, 27);
    EXPECT_EQ(window.Memo.FontColor(), TColor(0x0000FF));
    EXPECT_EQ(window.Memo.Color(), TColor(0x00FFFF));
    EXPECT_TRUE(window.Memo.Font().underline);
    EXPECT_TRUE(window.Memo.Font().strikeOut);
    ASSERT_NE(memoWindows.Last(), nullptr);
    EXPECT_TRUE(memoWindows.Last()->Font().underline);  // what the memo's window draws with

    // The effects show in the sample and come back from the memo; the
    // display reset drops them.
    FormSpec seen;
    Setup([&](FormSpec& f) { seen = f, Press(f, "DisplayReset"); });
    EXPECT_TRUE(seen.Find("Sample")->font.underline);
    EXPECT_TRUE(seen.Find("Sample")->font.strikeOut);
    EXPECT_EQ(seen.Find("Sample")->background, TColor(0x00FFFF));
    EXPECT_FALSE(window.Memo.Font().underline);
    EXPECT_FALSE(window.Memo.Font().strikeOut);
}

}  // namespace
}  // namespace kp::settings
