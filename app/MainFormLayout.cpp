// The main window as designed: menu bar, right-click menu, tool bar, status
// bar, the docked explorer area and the memo. Values here are the design's,
// before any stored setting is applied.

#include "app/MainForm.h"

#include "memo/MemoOptions.h"
#include "settings/SettingsKeys.h"

namespace kp::app {

namespace {

using ui::scCtrl;
using ui::TMenuItem;
using ui::TShortCut;

constexpr TShortCut Ctrl(char key) { return static_cast<TShortCut>(scCtrl | static_cast<uint8_t>(key)); }
constexpr TShortCut kF3 = 0x72;

struct ItemDesign {
    const char* caption;  // "-" for a separator
    const char* name;     // the command key; "" for none
    TShortCut shortCut;
    bool check;
};

void AddItems(TMenuItem& menu, std::initializer_list<ItemDesign> items)
{
    for (const ItemDesign& design : items) menu.Add(design.caption, design.name, design.shortCut);
}

}  // namespace

void TEditForm::BuildMenus()
{
    TMenuItem* file = MainMenu.Add("ファイル(&F)");
    AddItems(*file, {{"新規作成(&N)", "New", Ctrl('N'), false},
                     {"開く(&O)...", "Open", Ctrl('O'), false},
                     {"上書き保存(&S)", "Save", Ctrl('S'), false},
                     {"名前をつけて保存(&A)...", "SaveAs", 0, false},
                     {"-", "", 0, false},
                     {"前回使ったファイル(&L)", "LastTimeFile", 0, true},
                     {"-", "", 0, false},
                     {"印刷(&P)...", "Print", 0, false},
                     {"-", "", 0, false}});
    UninstallItem = file->Add("アンインストール(&I)");
    AddItems(*file, {{"-", "", 0, false}, {"終了(&X)", "Exit", 0, false}});
    MenuItem("Save")->SetEnabled(false);

    TMenuItem* edit = MainMenu.Add("編集(&E)");
    AddItems(*edit, {{"元に戻す(&U)", "Undo", Ctrl('Z'), false},
                     {"-", "", 0, false},
                     {"切り取り(&T)", "Cut", Ctrl('X'), false},
                     {"コピー(&C)", "Copy", Ctrl('C'), false},
                     {"貼り付け(&P)", "Paste", Ctrl('V'), false},
                     {"-", "", 0, false},
                     {"追加切り取り(&A)", "AddCut", 0, false},
                     {"追加コピー(&W)", "AddCopy", 0, false},
                     {"切り抜き(&I)", "Cutting", 0, false},
                     {"-", "", 0, false},
                     {"1行削除(&L)", "Delete", 0, false},
                     {"-", "", 0, false},
                     {"すべて選択(&A)", "SelectAll", Ctrl('A'), false},
                     {"すべてコピー(&Y)", "CopyAll", 0, false},
                     {"すべて切り取り(T)", "CutAll", 0, false},
                     {"-", "", 0, false},
                     {"日付と時刻の挿入(&D)", "DateTime", 0, false}});
    TMenuItem* convert = edit->Add("変換(&C)");
    AddItems(*convert, {{"大文字に変換(&B)", "FontBig", 0, false}, {"小文字に変換(&S)", "FontSmall", 0, false}});

    TMenuItem* search = MainMenu.Add("検索(S)");
    AddItems(*search, {{"検索(F)...", "Find", Ctrl('F'), false},
                       {"次を検索(&S)", "FindNext", kF3, false},
                       {"-", "", 0, false},
                       {"置換(&R)...", "Replace", Ctrl('R'), false},
                       {"-", "", 0, false},
                       {"カウント(&C)...", "Count", 0, false}});

    TMenuItem* templates = MainMenu.Add("定義文書(&T)");
    for (int n = 1; n <= 9; ++n) {
        const std::string digit = std::to_string(n);
        templates->Add("定義" + digit + "(&" + digit + ")", "Text" + digit, Ctrl(static_cast<char>('0' + n)));
    }

    TMenuItem* view = MainMenu.Add("表示(&V)");
    AddItems(*view, {{"ツールバー(&T)", "ToolBar", 0, true},
                     {"エクスプローラ(&E)", "Explore", 0, true},
                     {"-", "", 0, false},
                     {"最新の情報に更新(&R)", "Refresh", 0, false},
                     {"-", "", 0, false},
                     {"右端で折り返す(&L)", "LeftEnter", 0, true},
                     {"-", "", 0, false},
                     {"エディタ設定(&E)...", "EditorSetup", 0, false}});
    MenuItem("ToolBar")->SetChecked(true);
    MenuItem("Explore")->SetChecked(true);

    TMenuItem* help = MainMenu.Add("ヘルプ(&H)");
    AddItems(*help, {{"目次(&C)", "Contents", 0, false},
                     {"-", "", 0, false},
                     {"バージョン情報(&A)...", "About", 0, false}});
}

void TEditForm::BuildPopupMenu()
{
    // The same commands as their menu-bar namesakes, without shortcuts.
    AddItems(PopupMenu1, {{"元に戻す(&U)", "", 0, false},
                          {"-", "", 0, false},
                          {"切り取り(&T)", "", 0, false},
                          {"コピー(&C)", "", 0, false},
                          {"貼り付け(&P)", "", 0, false},
                          {"-", "", 0, false},
                          {"追加切り取り(&A)", "", 0, false},
                          {"追加コピー(&W)", "", 0, false},
                          {"切り抜き(&I)", "", 0, false},
                          {"-", "", 0, false},
                          {"1行削除(&L)", "", 0, false},
                          {"-", "", 0, false},
                          {"すべて選択(&A)", "", 0, false},
                          {"すべてコピー(&Y)", "", 0, false},
                          {"すべて切り取り(T)", "", 0, false},
                          {"-", "", 0, false},
                          {"日付と時刻の挿入(&D)", "", 0, false}});
    TMenuItem* convert = PopupMenu1.Add("変換(&C)");
    AddItems(*convert, {{"大文字に変換(&B)", "", 0, false}, {"小文字に変換(&S)", "", 0, false}});

    const char* const twins[][2] = {
        {"元に戻す(&U)", "Undo"},        {"切り取り(&T)", "Cut"},          {"コピー(&C)", "Copy"},
        {"貼り付け(&P)", "Paste"},       {"追加切り取り(&A)", "AddCut"},   {"追加コピー(&W)", "AddCopy"},
        {"切り抜き(&I)", "Cutting"},     {"1行削除(&L)", "Delete"},        {"すべて選択(&A)", "SelectAll"},
        {"すべてコピー(&Y)", "CopyAll"}, {"すべて切り取り(T)", "CutAll"},  {"日付と時刻の挿入(&D)", "DateTime"},
        {"大文字に変換(&B)", "FontBig"}, {"小文字に変換(&S)", "FontSmall"},
    };
    for (const auto& [caption, key] : twins) {
        TMenuItem* item = PopupMenu1.FindByCaption(caption);
        const std::string command = key;
        item->OnClick = [this, command] {
            if (TMenuItem* twin = MenuItem(command)) twin->Click();
        };
    }
}

void TEditForm::BuildToolBar()
{
    // A button runs the handler of its command's menu item, not the item's
    // click: the two are enabled separately (a dropped file turns the Save
    // button on while the Save item stays off). The handler is looked up at
    // each press, so commands connected later reach their buttons too.
    auto run = [this](const char* key) {
        const std::string command = key;
        return [this, command] {
            const TMenuItem* item = MenuItem(command);
            if (!item || !item->OnClick) return;
            const std::function<void()> handler = item->OnClick;  // it may rebuild the menu
            handler();
        };
    };
    ToolBar1.AddButton("New", "新規作成", 0, run("New"));
    ToolBar1.AddButton("Open", "開く", 1, run("Open"));
    ToolBar1.AddButton("Save", "上書き保存", 4, run("Save"));
    ToolBar1.AddButton("SaveAs", "名前を付けて保存", 5, run("SaveAs"));
    ToolBar1.AddSeparator();
    ToolBar1.AddButton("Undo", "元に戻す", 7, run("Undo"));
    ToolBar1.AddSeparator();
    ToolBar1.AddButton("Copy", "コピー", 8, run("Copy"));
    ToolBar1.AddButton("Paste", "貼り付け", 9, run("Paste"));
    ToolBar1.AddButton("Cut", "切り取り", 11, run("Cut"));
    ToolBar1.AddSeparator();
    ToolBar1.AddButton("Print", "印刷", 13, run("Print"));
    ToolBar1.SetEnabled("Save", false);
}

void TEditForm::BuildStatusBar()
{
    StatusBar1.AddPanel(100, "1行　　1桁");
    StatusBar1.AddPanel(50, "挿入");
    StatusBar1.AddPanel(200);
    StatusBar1.AddPanel(300);
}

void TEditForm::BuildLayout()
{
    using ui::ControlKind;
    using ui::TAlign;
    // The order of the docks gives the pane's four arrangements (see
    // SetExplorerLayout): the list before its splitter, the pane before its.
    Panel1 = ClientArea.Add(ControlKind::Panel, "Panel1", TAlign::Left, 185);
    ShellListBox1.Control = Panel1->Add(ControlKind::ListView, "ShellListBox1", TAlign::Bottom, 0, 137);
    Splitter3 = Panel1->Add(ControlKind::Splitter, "Splitter3", TAlign::Bottom, 0, 3);
    FolderTreeViewEx1.Control = Panel1->Add(ControlKind::TreeView, "FolderTreeViewEx1", TAlign::Client);
    Splitter2 = ClientArea.Add(ControlKind::Splitter, "Splitter2", TAlign::Left, 3);
    MemoControl = ClientArea.Add(ControlKind::Memo, "Memo", TAlign::Client);
    Splitter2->SetMinSize(4);
    Splitter3->SetMinSize(4);
    BuildExplorerViews();
}

// The pane's tree and list as designed, linked to each other and to the
// shell's context menu (no drag source: dragging out of the pane is off).
// Their windows keep the selection shown while they lack the focus.
void TEditForm::BuildExplorerViews()
{
    FolderTreeViewEx1.SetFileView(&ShellListBox1);
    FolderTreeViewEx1.SetContextMenu(&ContextMenuEx1);
    FolderTreeViewEx1.SetShowRoot(false);
    FolderTreeViewEx1.SetRightClickSelect(true);
    FolderTreeViewEx1.SetIndent(19);
    ShellListBox1.SetFileExecute(false);
    ShellListBox1.SetContextMenu(&ContextMenuEx1);
    ShellListBox1.SetMultiSelect(false);
    ShellListBox1.SetViewStyle(ui::TViewStyle::vsReport);
    // Loading: the tree is built from the desktop, which the list then shows.
    FolderTreeViewEx1.CreateWnd();
    ShellListBox1.CreateWnd();
    ShellListBox1.SetLoading(true);
    FolderTreeViewEx1.Loaded();
    ShellListBox1.Loaded();
}

void TEditForm::ConfigureMemo()
{
    Memo.HideSelection = false;
    Memo.PlainText = true;
    Memo.WantTabs = true;
    Memo.SetFont(platform::FontSpec{"ＭＳ Ｐゴシック", 15, false, false, platform::kShiftJisCharset});
    // Configuring is the memo's loading phase: the option objects take these
    // values without sending them, so the control keeps its own defaults.
    Memo.SetLoading(true);
    Memo.EditArea.SetEnabled(true);
    Memo.EditArea.Margin().SetLeft(10);
    Memo.EditArea.Margin().SetTop(2);
    Memo.EditArea.Margin().SetBottom(1);
    Memo.EditArea.SetWidth(511);
    Memo.EditArea.SetOverFlow(15);
    Memo.EditMarks.CrLf.Color = memo::clGray;
    Memo.EditMarks.Eot.Color = memo::clGray;
    memo::TImeColors& ime = Memo.ImeColors();
    ime.Untransfered.SetIcBackground(memo::clWhite);
    ime.Untransfered.SetStyle(memo::fsUnderline);
    ime.WatchingTransfered.SetIcBackground(memo::clGray);
    ime.Transfered.SetIcBackground(memo::clWhite);
    ime.Transfered.SetStyle(memo::fsUnderline);
    ime.WatchingUntransfered.SetIcText(memo::clWhite);
    memo::TWordWrapOption& option = Memo.WordWrapOption();
    option.SetPunctuationMode(memo::wbfLevel2);
    option.SetWordWrapMode(memo::wbfWordWrap | memo::wbfWordBreak | memo::wbfOverFlow);
    Memo.SetLoading(false);
}

}  // namespace kp::app
