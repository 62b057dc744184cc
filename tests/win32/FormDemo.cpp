// kp_form_demo.exe: a form with a menu bar, the tool bar with its pictures,
// a four-panel status bar, the docked explorer views and a memo-sized edit
// box, to look at.
//
//   kp_form_demo.exe [--close-after MS] [--open-menu]
//
// --close-after ends the program after that many milliseconds; --open-menu
// drops the first menu down once the window shows.

#include "ui/win32/Win32Application.h"
#include "ui/win32/Win32FormHost.h"
#include "ui/win32/Win32ListView.h"
#include "ui/win32/Win32TreeView.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>

namespace {

using namespace kp::ui;

std::string ShortCutText(TShortCut shortCut)
{
    std::string text;
    if (shortCut & scCtrl) text += "Ctrl+";
    if (shortCut & scShift) text += "Shift+";
    if (shortCut & scAlt) text += "Alt+";
    const int key = shortCut & 0xFF;
    if (key >= VK_F1 && key <= VK_F24) return text + "F" + std::to_string(key - VK_F1 + 1);
    return text + static_cast<char>(key);
}

struct Demo {
    TMenuItem menu;
    TToolBar toolBar;
    TStatusBar statusBar;
    TControl layout{ControlKind::Panel, "root", TAlign::Client};
    TTimer clock{1000};
    int ticks = 0;
    TTreeView tree;
    TListView list;
    std::unique_ptr<Win32TreeView> treeDisplay;
    std::unique_ptr<Win32ListView> listDisplay;
};

void BuildMenu(Demo& demo, Win32FormHost& host)
{
    TMenuItem* file = demo.menu.Add("ファイル(&F)");
    file->Add("新規作成(&N)", "FileNew", scCtrl | 'N');
    file->Add("開く(&O)...", "FileOpen", scCtrl | 'O');
    file->Add("上書き保存(&S)", "FileSave", scCtrl | 'S');
    file->Add("名前を付けて保存(&A)...", "FileSaveAs");
    file->AddSeparator();
    file->Add("印刷(&P)...", "FilePrint", scCtrl | 'P');
    file->AddSeparator();
    file->Add("終了(&X)", "FileExit")->OnClick = [&host] { host.Close(); };
    TMenuItem* edit = demo.menu.Add("編集(&E)");
    edit->Add("元に戻す(&U)", "EditUndo", scCtrl | 'Z')->SetEnabled(false);
    edit->AddSeparator();
    edit->Add("切り取り(&T)", "EditCut", scCtrl | 'X');
    edit->Add("コピー(&C)", "EditCopy", scCtrl | 'C');
    edit->Add("貼り付け(&P)", "EditPaste", scCtrl | 'V');
    edit->AddSeparator();
    edit->Add("すべて選択(&A)", "EditSelectAll", scCtrl | 'A');
    edit->Add("検索(&F)...", "EditFind", scCtrl | 'F');
    edit->Add("次を検索(&N)", "EditFindNext", VK_F3);
    TMenuItem* view = demo.menu.Add("表示(&V)");
    TMenuItem* toolBar = view->Add("ツールバー(&T)", "ViewToolBar");
    toolBar->SetChecked(true);
    toolBar->OnClick = [&demo, toolBar] {
        toolBar->SetChecked(!toolBar->Checked());
        demo.toolBar.SetVisible(toolBar->Checked());
    };
    TMenuItem* explorer = view->Add("エクスプローラ(&E)", "ViewExplorer", scCtrl | 'E');
    explorer->SetChecked(true);
    explorer->OnClick = [&demo, explorer] {
        explorer->SetChecked(!explorer->Checked());
        demo.layout.Find("ExplorerSplitter")->SetVisible(explorer->Checked());
        demo.layout.Find("Explorer")->SetVisible(explorer->Checked());
    };
    view->Add("折り返し(&W)", "ViewWrap")->SetChecked(true);
    demo.menu.Add("ヘルプ(&H)")->Add("バージョン情報(&A)...", "HelpAbout");
}

void BuildBars(Demo& demo)
{
    TToolBar& bar = demo.toolBar;
    bar.AddButton("FileNew", "新規作成", 0);
    bar.AddButton("FileOpen", "開く", 1);
    bar.AddButton("FileSave", "上書き保存", 3, [&bar] {
        // Saving leaves nothing to save: the picture says so.
        bar.SetImageIndex("FileSave", bar.Find("FileSave")->imageIndex == 3 ? 4 : 3);
    });
    bar.AddButton("FileSaveAs", "名前を付けて保存", 5);
    bar.AddSeparator();
    bar.AddButton("FilePrint", "印刷", 13);
    bar.AddSeparator();
    bar.AddButton("EditUndo", "元に戻す", 7);
    bar.SetEnabled("EditUndo", false);
    bar.AddButton("EditCut", "切り取り", 11);
    bar.AddButton("EditCopy", "コピー", 8);
    bar.AddButton("EditPaste", "貼り付け", 9);

    demo.statusBar.AddPanel(100, "  1 行:   1 桁");
    demo.statusBar.AddPanel(50, "挿入");
    demo.statusBar.AddPanel(200, "Shift_JIS (CR+LF)");
    demo.statusBar.AddPanel(300, "準備完了");
}

void BuildLayout(Demo& demo)
{
    TControl* explorer = demo.layout.Add(ControlKind::Panel, "Explorer", TAlign::Left, 185);
    explorer->Add(ControlKind::ListView, "FileList", TAlign::Bottom, 0, 137);
    explorer->Add(ControlKind::Splitter, "ListSplitter", TAlign::Bottom, 0, 3);
    explorer->Add(ControlKind::TreeView, "FolderTree", TAlign::Client);
    demo.layout.Add(ControlKind::Splitter, "ExplorerSplitter", TAlign::Left, 3);
    demo.layout.Add(ControlKind::Memo, "Memo", TAlign::Client);
}

void FillViews(Demo& demo, Win32FormHost& host)
{
    demo.treeDisplay = std::make_unique<Win32TreeView>(host.WindowOf(*demo.layout.Find("FolderTree")), demo.tree,
                                                       host.OnException);
    TTreeNode* desktop = demo.tree.Add(nullptr, "デスクトップ");
    TTreeNode* computer = demo.tree.Add(desktop, "マイ コンピューター");
    TTreeNode* drive = demo.tree.Add(computer, "ローカル ディスク (C:)");
    demo.tree.Add(drive, "文書");
    demo.tree.Add(drive, "メモ帳の原稿");
    demo.tree.Add(desktop, "ごみ箱");
    for (TTreeNode* node : {desktop, computer, drive}) demo.tree.Expand(*node);

    demo.listDisplay = std::make_unique<Win32ListView>(host.WindowOf(*demo.layout.Find("FileList")), demo.list,
                                                       host.OnException);
    demo.list.SetColumns({{"名前", 90}, {"サイズ", 50, TAlignment::taRightJustify}, {"種類", 80}});
    const char* files[][3] = {
        {"議事録.txt", "4 KB", "テキスト"}, {"readme.txt", "1 KB", "テキスト"}, {"予定表.txt", "12 KB", "テキスト"}};
    for (const auto& file : files) demo.list.Add(file[0])->SetSubItems({file[1], file[2]});
}

// The memo's place: a plain multi-line edit box.
HWND CreateMemo(Demo& demo, Win32FormHost& host)
{
    TControl& memo = *demo.layout.Find("Memo");
    HWND window = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"吾輩は猫である。名前はまだ無い。\r\nメモの場所です。",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0, 0, 0,
                                  host.ParentWindowOf(memo), nullptr, GetModuleHandleW(nullptr), nullptr);
    host.AttachWindow(memo, window);
    return window;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    UINT closeAfter = 0;
    bool openMenu = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--close-after" && i + 1 < argc) closeAfter = static_cast<UINT>(std::stoul(argv[++i]));
        if (arg == L"--open-menu") openMenu = true;
    }
    LocalFree(argv);

    Win32ApplicationHost application("Kestrelpad デモ");
    Win32FormOptions options;
    options.caption = "[NewFile] - Kestrelpad";
    options.application = &application;
    Win32FormHost host(options);
    Demo demo;
    host.SetShortCutText(ShortCutText);
    BuildMenu(demo, host);
    BuildBars(demo);
    BuildLayout(demo);
    host.SetMainMenu(&demo.menu);
    host.SetToolBar(&demo.toolBar);
    host.SetStatusBar(&demo.statusBar);
    host.SetControls(&demo.layout);
    FillViews(demo, host);
    CreateMemo(demo, host);
    host.AcceptFiles(true);
    host.OnDropFiles = [&demo](const std::vector<std::string>& paths) {
        demo.statusBar.SetText(3, paths.empty() ? "" : paths.front());
    };

    demo.clock.SetService(&host.Timers());
    demo.clock.OnTimer = [&demo] { demo.statusBar.SetText(3, "経過 " + std::to_string(++demo.ticks) + " 秒"); };
    demo.clock.SetEnabled(true);

    TTimer closer(static_cast<int>(closeAfter));
    closer.SetService(&host.Timers());
    closer.OnTimer = [&host] { host.Close(); };
    closer.SetEnabled(closeAfter != 0);

    host.Show(show);
    if (openMenu) PostMessageW(host.Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'f');
    return host.RunMessageLoop();
}
