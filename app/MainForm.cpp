// The main window's lifecycle: creation reads the settings that the save
// switches allow and opens the command-line file or the last document;
// closing asks about unsaved changes and writes the settings back, or erases
// them when the uninstall is armed. Dropped files open without a question.

#include "app/MainForm.h"

#include "app/DocumentPaths.h"
#include "base/Error.h"
#include "platform/files/FileSystem.h"
#include "settings/ShortCut.h"
#include "settings/SettingsKeys.h"
#include "ui/MessageDialogs.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>

namespace kp::app {

namespace s = kp::settings;
using ui::DialogKind;
using ui::MessageDlg;

namespace {

constexpr const char* kAppName = "Kestrelpad";
constexpr const char* kOpenFilter =
    "テキスト文書 (*.txt)|*.txt|HTMLドキュメント (*.htm,*.html)|*.htm;*.html|すべてのファイル (*.*)|*.*";
constexpr const char* kSaveFilter =
    "テキスト文書(*.txt)|*.txt|HTMLドキュメント(*.htm;*.html)|*.htm;*.html|すべてのファイル(*.*)|*.*";
constexpr const char* kTooManyFiles = "同時に開けるファイルは一つまでです。";
constexpr const char* kAskUninstall =
    "ケストレルパッド終了時にレジストリ情報とヘルプファイルを削除します。よろしいですか？";

// Stored window bounds over the current ones: a width or height that is zero
// or negative is no size, and the window keeps its own; a right or bottom edge
// beyond the integers stops at their end.
ui::TRect PlacedBounds(const ui::TRect& current, int left, int top, int width, int height)
{
    const auto edge = [](int start, int size) {
        return static_cast<int>(std::min<int64_t>(int64_t{start} + size, std::numeric_limits<int>::max()));
    };
    return ui::TRect{left, top, edge(left, width > 0 ? width : current.Width()),
                     edge(top, height > 0 ? height : current.Height())};
}

// Font sizes are stored in points; the memo's font is measured in pixels at 96 DPI.
// Font sizes scale in 64 bits: a stored size of any integer gives a height
// within the integers instead of overflowing.
int ClampToInt(int64_t value)
{
    return static_cast<int>(std::clamp<int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}
int PointsToPixels(int points) { return ClampToInt((int64_t{points} * 96 + 36) / 72); }
int PixelsToPoints(int pixels) { return ClampToInt((int64_t{pixels} * 72 + 48) / 96); }

shell::ShellViewServices ShellServices(FormServices& services)
{
    return {services.shell, services.codec, services.locale, services.clock, services.dateLocale,
            services.application.Dialogs()};
}

}  // namespace

std::string ShortCutText(ui::TShortCut shortCut, const platform::KeyNames& keyNames)
{
    return s::ShortCutToText(shortCut, keyNames);
}

TEditForm::TEditForm(FormServices& services, ui::FormHost& host)
    : Memo(services.memoWindows, services.keys, services.sysColors),
      HistoryMenu1(services.registry, services.locale),
      ContextMenuEx1(services.shell, services.codec, services.application.Dialogs()),
      FolderTreeViewEx1(ShellServices(services)),
      ShellListBox1(ShellServices(services)),
      services_(services),
      host_(host)
{
    host_.SetCaption(kNewFileCaption);
    BuildMenus();
    BuildPopupMenu();
    BuildToolBar();
    BuildStatusBar();
    BuildLayout();
    ConfigureMemo();
    ConnectCommands();

    // The recent files follow the last command of the File menu.
    HistoryMenu1.SetHistoryNum(6);
    HistoryMenu1.SetTargetMenuItem(MainMenu.Item(0));
    HistoryMenu1.OnHistorySelected = [this](const std::string& path) {
        const TickHold hold(*this);
        HistorySelected(path);
    };
    HistoryMenu1.SetActive(true);

    OpenDialog1.Filter = kOpenFilter;
    OpenDialog1.Options = ui::ofPathMustExist | ui::ofCreatePrompt | ui::ofHideReadOnly;
    SaveDialog1.Filter = kSaveFilter;
    SaveDialog1.DefaultExt = "txt";
    SaveDialog1.Options = ui::ofOverwritePrompt | ui::ofHideReadOnly;
    for (ui::TOpenDialog* dialog : {static_cast<ui::TOpenDialog*>(&OpenDialog1), static_cast<ui::TOpenDialog*>(&SaveDialog1)})
        dialog->SetService(&services_.dialogs);
    FindDialog1.SetService(&services_.dialogs);
    ReplaceDialog1.SetService(&services_.dialogs);
    PrintDialog1.SetService(&services_.dialogs);
    Timer1.SetService(&services_.timers);
    backupWriter_ = std::make_unique<BackupWriter>(services_.files, inlineBackupExecutor_);
    backupClock_ = [] {
        return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now().time_since_epoch())
                                         .count());
    };
    Timer1.OnTimer = [this] { BackupTick(); };
    HoldTicksDuringCommands(MainMenu);
    HoldTicksDuringCommands(PopupMenu1);
}

TEditForm::~TEditForm() = default;

void TEditForm::ConnectCommands()
{
    MenuItem("New")->OnClick = [this] { NewClick(); };
    MenuItem("Open")->OnClick = [this] { OpenClick(); };
    MenuItem("Save")->OnClick = [this] { SaveClick(); };
    MenuItem("SaveAs")->OnClick = [this] { SaveAsClick(); };
    RememberDialogFolders();
    MenuItem("LastTimeFile")->OnClick = [this] { LastTimeFileClick(); };
    ConnectEditCommands();
    ConnectTemplateCommands();
    ConnectDialogCommands();
    ConnectFindCommands();
    ConnectPrintCommands();
    ConnectSetupCommands();
    ConnectExplorerCommands();
    MenuItem("Exit")->OnClick = [this] { ExitClick(); };
    UninstallItem->OnClick = [this] { UninstallClick(); };
}

// ---- Shared rules -------------------------------------------------------------------

void TEditForm::ApplyTitle(const std::string& path)
{
    const std::string shown = s::ReadBool(*store_, s::SetupFileName) ? path : FileNamePart(path);
    host_.SetCaption("[" + shown + "] - " + kAppName);
    services_.application.SetTitle(shown + " - " + kAppName);
}

void TEditForm::SetSaveButton(bool enabled)
{
    ToolBar1.SetEnabled("Save", enabled);
    ToolBar1.SetImageIndex("Save", enabled ? 3 : 4);
}

void TEditForm::SetSaveMenu(bool enabled)
{
    MenuItem("Save")->SetEnabled(enabled);
}

// ---- Creation -----------------------------------------------------------------------

void TEditForm::FormCreate(const std::vector<std::string>& arguments)
{
    const TickHold hold(*this);
    Memo.CreateWnd();
    Memo.Clear();
    Memo.SetModified(false);
    host_.AcceptFiles(true);
    try {
        store_ = std::make_unique<TRegIniFile>(services_.registry, std::string(s::kProgramKey));
    } catch (const Error& failure) {
        // Reported once; start-up goes on with the store as it is: every
        // read gives the stored value or its default, and writes fail
        // (silently at close).
        services_.application.HandleException(failure);
        store_ = std::make_unique<TRegIniFile>(services_.registry, std::string(s::kProgramKey), TRegIniFile::kNoCreate);
    }
    try {
        HistoryMenu1.SetHistoryNum(s::ReadInteger(*store_, s::FileHistoryMenu));
        MenuItem("LastTimeFile")->SetChecked(s::ReadBool(*store_, s::FileLastTimeFile, s::Reader::MenuCheck));
        OpenDialog1.InitialDir = s::ReadString(*store_, s::FileOpenDlgDir);
        SaveDialog1.InitialDir = s::ReadString(*store_, s::FileSaveDlgDir);
        OpenInitialDocument(arguments);
        ApplyStoredSettings();
    } catch (const Error& failure) {
        // A value of the wrong type: reported, the remaining reads skipped.
        services_.application.HandleException(failure);
    }
}

void TEditForm::OpenInitialDocument(const std::vector<std::string>& arguments)
{
    if (arguments.empty())
        ReopenLastDocument();
    else
        OpenCommandLineFile(arguments);
}

void TEditForm::ReopenLastDocument()
{
    if (!s::ReadBool(*store_, s::FileLastTimeFile)) {
        services_.application.SetTitle(kNewFileTitle);
        return;
    }
    const std::string path = s::ReadString(*store_, s::FileFileName);
    try {
        Memo.LoadFromFile(services_.files, path);
    } catch (const Error&) {
        if (s::ReadBool(*store_, s::SetupDialog) && !path.empty())
            MessageDlg(services_.application.Dialogs(),
                       "前回使ったファイル\r\n" + path + "\r\nこのファイルは移動、または削除されています。",
                       DialogKind::Error, ui::mbOK);
        return;
    }
    CurrentFile = path;
    SavedText = Memo.Snapshot();
    if (s::ReadBool(*store_, s::FileBackup)) ArmBackup();
    Memo.SetModified(false);
    SetSaveMenu(true);
    SetSaveButton(true);
    ApplyTitle(CurrentFile);
}

void TEditForm::OpenCommandLineFile(const std::vector<std::string>& arguments)
{
    const std::string path = services_.fullPath ? services_.fullPath(arguments.front()) : arguments.front();
    try {
        Memo.LoadFromFile(services_.files, path);
    } catch (const Error& failure) {
        services_.application.HandleException(failure);
        return;
    }
    SavedText = Memo.Snapshot();
    CurrentFile = path;
    if (s::ReadBool(*store_, s::FileBackup)) ArmBackup();
    HistoryMenu1.AddFile(CurrentFile);
    Memo.SetModified(false);
    StatusBar1.SetText(2, CurrentFile);
    SetSaveMenu(true);
    SetSaveButton(true);
    ApplyTitle(CurrentFile);
    if (arguments.size() > 1)
        MessageDlg(services_.application.Dialogs(), kTooManyFiles, DialogKind::Error, ui::mbOK);
}

void TEditForm::ApplyStoredSettings()
{
    // Tool bar and the explorer pane. A stored Explore of false hides the
    // pane as the Explore command does (no empty panel stays), and the
    // command brings it back.
    ToolBar1.SetVisible(s::ReadBool(*store_, s::VisualToolBar));
    const bool explore = s::ReadBool(*store_, s::VisualExplore);
    FolderTreeViewEx1.SetVisible(explore);
    ShellListBox1.SetVisible(explore);
    Splitter2->SetVisible(explore);
    Splitter3->SetVisible(explore);
    if (!explore) Panel1->SetVisible(false);
    MenuItem("ToolBar")->SetChecked(ToolBar1.Visible());
    MenuItem("Explore")->SetChecked(FolderTreeViewEx1.Visible());

    const bool wrap = s::ReadBool(*store_, s::VisualWordWrap);
    Memo.SetWordWrap(wrap);
    MenuItem("LeftEnter")->SetChecked(wrap);

    switch (s::ReadInteger(*store_, s::VisualFileListIcon)) {
    case 0: ShellListBox1.SetViewStyle(ui::TViewStyle::vsIcon); break;
    case 1: ShellListBox1.SetViewStyle(ui::TViewStyle::vsSmallIcon); break;
    case 2: ShellListBox1.SetViewStyle(ui::TViewStyle::vsList); break;
    case 3: ShellListBox1.SetViewStyle(ui::TViewStyle::vsReport); break;
    default: break;  // the designed details view stays
    }

    if (s::ReadBool(*store_, s::SetupWindowSave)) ApplyStoredPlacement();

    for (int n = 0; n < 9; ++n)
        MenuItem("Text" + std::to_string(n + 1))->SetCaption(s::ReadString(*store_, s::kTemplateCaptions[n]));

    if (s::ReadBool(*store_, s::SetupShortCutSave)) ApplyShortCuts();
    if (s::ReadBool(*store_, s::SetupVisualSave)) ApplyMemoAppearance();
}

void TEditForm::ApplyStoredPlacement()
{
    const int width = s::ReadInteger(*store_, s::VisualFormWidth);
    const int height = s::ReadInteger(*store_, s::VisualFormHeight);
    const int left = s::ReadInteger(*store_, s::VisualFormLeft);
    const int top = s::ReadInteger(*store_, s::VisualFormTop);
    host_.SetBounds(PlacedBounds(host_.Bounds(), left, top, width, height));
    switch (s::ReadInteger(*store_, s::VisualWindowState)) {
    case 0: host_.SetWindowState(ui::TWindowState::wsNormal); break;
    case 1: host_.SetWindowState(ui::TWindowState::wsMaximized); break;
    default: break;
    }
}

void TEditForm::ApplyShortCuts()
{
    for (const s::Setting& key : s::kShortCutKeys) {
        const ui::TShortCut shortCut = s::TextToShortCut(s::ReadString(*store_, key), services_.keyNames);
        if (ui::TMenuItem* item = MenuItem(key.ident)) item->SetShortCut(shortCut);
    }
}

void TEditForm::ApplyMemoAppearance()
{
    Memo.SetColor(s::ReadColour(*store_, s::VisualBgColor));
    platform::FontSpec font = Memo.Font();
    font.pixelHeight = PointsToPixels(s::ReadInteger(*store_, s::VisualFontSize));
    Memo.SetFontColor(s::ReadColour(*store_, s::VisualFontColor));
    font.face = s::ReadString(*store_, s::VisualFontName);
    Memo.SetFont(font);
}

// ---- Show and activate ------------------------------------------------------------

void TEditForm::FormShow()
{
    if (shown_) return;
    shown_ = true;
    Memo.SetFocus();
    ShowExplorerPane();
    const bool marks = s::ReadBool(*store_, s::VisualParagraphLetter);
    Memo.EditMarks.CrLf.Enabled = marks;
    Memo.EditMarks.Eot.Enabled = marks;
    Memo.Repaint();
}

void TEditForm::FormActivate()
{
    Memo.SetFocus();
}

// ---- Commands -------------------------------------------------------------------------

void TEditForm::LastTimeFileClick()
{
    ui::TMenuItem* item = MenuItem("LastTimeFile");
    item->SetChecked(!item->Checked());
    s::WriteBool(*store_, s::FileLastTimeFile, item->Checked());
}

void TEditForm::ExitClick()
{
    host_.Close();
}

void TEditForm::UninstallClick()
{
    if (UninstallItem->Checked()) {
        UninstallItem->SetChecked(false);
        UninstallOnExit = false;
        return;
    }
    if (MessageDlg(services_.application.Dialogs(), kAskUninstall, DialogKind::Confirmation, ui::mbYesNo) ==
        ui::mrYes) {
        UninstallItem->SetChecked(true);
        UninstallOnExit = true;
    }
}

// ---- Closing --------------------------------------------------------------------------

// The close query never refuses: a switch that cannot be read counts as its
// default, and a placement that cannot be written is not stored.
void TEditForm::FormCloseQuery(bool& canClose)
{
    const TickHold hold(*this);
    canClose = true;
    if (UninstallOnExit) return;
    try {
        WritePlacement();
    } catch (const Error&) {
    }
}

void TEditForm::WritePlacement()
{
    if (!s::ReadBoolOrDefault(*store_, s::SetupWindowSave)) return;
    const ui::TRect bounds = host_.Bounds();
    s::WriteInteger(*store_, s::VisualFormWidth, bounds.Width());
    s::WriteInteger(*store_, s::VisualFormHeight, bounds.Height());
    s::WriteInteger(*store_, s::VisualFormLeft, bounds.left);
    s::WriteInteger(*store_, s::VisualFormTop, bounds.top);
    switch (host_.WindowState()) {
    case ui::TWindowState::wsNormal: s::WriteInteger(*store_, s::VisualWindowState, 0); break;
    case ui::TWindowState::wsMaximized: s::WriteInteger(*store_, s::VisualWindowState, 1); break;
    case ui::TWindowState::wsMinimized: break;  // the previous state stays
    }
}

void TEditForm::FormClose(ui::TCloseAction& action)
{
    const TickHold hold(*this);
    if (UninstallOnExit) {
        Uninstall();
        return;
    }
    const bool closing = !Memo.Modified() || AskToSaveAtClose();
    FinishClose(closing);
    if (!closing) action = ui::TCloseAction::caNone;
}

void TEditForm::FinishClose(bool closing)
{
    try {
        if (closing) DeleteBackup();
        WriteSettingsAtClose();
    } catch (const Error&) {
        // Deleting files and writing settings on the way out fail silently;
        // the remaining writes are skipped.
    }
}

// Log-off or shut-down asks first: the session may end unless unsaved
// changes are to be kept (Cancel at the close question, or a save that did
// not happen). Nothing is written yet; FormEndSession does that.
void TEditForm::FormQueryEndSession(bool& canEnd)
{
    const TickHold hold(*this);
    canEnd = UninstallOnExit || !Memo.Modified() || AskToSaveAtClose();
}

// The session ends and the program with it: the close query's and the
// close's work, without a question (it was asked by FormQueryEndSession).
void TEditForm::FormEndSession()
{
    const TickHold hold(*this);
    bool canClose = true;
    FormCloseQuery(canClose);
    if (UninstallOnExit)
        Uninstall();
    else
        FinishClose(true);
}

// The close question; returns whether the window may close. Without
// questions (Setup/Dialog off) the answer is No: the changes go. A
// Setup/Dialog that cannot be read asks, as by default.
bool TEditForm::AskToSaveAtClose()
{
    const bool asking = s::ReadBoolOrDefault(*store_, s::SetupDialog);
    switch (asking ? AskSaveQuestion() : ui::mrNo) {
    case ui::mrYes: {
        if (!SaveDialog1.Execute()) return false;
        try {
            Memo.SaveToFile(services_.files, SaveDialog1.FileName);
        } catch (const Error& failure) {
            // The document stays, modified, and the window stays open.
            services_.application.HandleException(failure);
            return false;
        }
        FinishBackupWrite();
        CurrentFile = SaveDialog1.FileName;
        HistoryMenu1.AddFile(CurrentFile);
        Memo.SetModified(false);
        try {
            DeleteBackup();
        } catch (const Error&) {
        }
        return true;
    }
    case ui::mrNo:
        return true;
    default:
        return false;
    }
}

void TEditForm::WriteSettingsAtClose()
{
    s::WriteInteger(*store_, s::VisualPanelWidth, Panel1->Width());
    s::WriteInteger(*store_, s::VisualPanelHeight, Panel1->Height());
    s::WriteInteger(*store_, s::VisualTreeViewHeight, ShellListBox1.Height());
    s::WriteInteger(*store_, s::VisualTreeViewWidth, ShellListBox1.Width());
    s::WriteInteger(*store_, s::FileHistoryMenu, HistoryMenu1.HistoryNum());
    s::WriteBool(*store_, s::VisualWordWrap, Memo.WordWrap());
    if (s::ReadBoolOrDefault(*store_, s::SetupVisualSave)) {
        s::WriteBool(*store_, s::VisualToolBar, ToolBar1.Visible());
        s::WriteBool(*store_, s::VisualExplore, FolderTreeViewEx1.Visible());
        s::WriteColour(*store_, s::VisualBgColor, Memo.Color());
        s::WriteInteger(*store_, s::VisualFontSize, PixelsToPoints(Memo.Font().pixelHeight));
        s::WriteColour(*store_, s::VisualFontColor, Memo.FontColor());
        s::WriteString(*store_, s::VisualFontName, Memo.Font().face);
    }
    // Panel 3 holds the folder or file the pane reported last.
    if (s::ReadBoolOrDefault(*store_, s::SetupFolderSave)) s::WriteString(*store_, s::FileFolder, StatusBar1.Text(3));
    s::WriteInteger(*store_, s::FileHistoryMenu, HistoryMenu1.HistoryNum());
    if (s::ReadBoolOrDefault(*store_, s::FileLastTimeFile)) s::WriteString(*store_, s::FileFileName, CurrentFile);
    if (s::ReadBoolOrDefault(*store_, s::SetupShortCutSave)) {
        for (const s::Setting& key : s::kShortCutKeys) {
            const ui::TMenuItem* item = MenuItem(key.ident);
            s::WriteString(*store_, key, item ? ShortCutText(item->ShortCut(), services_.keyNames) : "");
        }
    }
}

void TEditForm::Uninstall()
{
    FinishBackupWrite();
    store_->EraseAllSections();
    services_.files.Delete(services_.programFolder + "Kpad.hlp");
    services_.files.Delete(services_.programFolder + "Kpad.gid");
}

// ---- Dropped files -------------------------------------------------------------------

void TEditForm::DropFiles(const std::vector<std::string>& paths)
{
    const TickHold hold(*this);
    if (paths.empty()) return;
    const std::string path = paths.front();
    Memo.LoadFromFile(services_.files, path);  // a failure goes to the default handler
    SavedText = Memo.Snapshot();
    SetSaveButton(true);
    HistoryMenu1.AddFile(path);
    Memo.SetModified(false);
    Memo.SetFocus();
    StatusBar1.SetText(2, path);
    host_.SetCaption("[" + path + "] - " + kAppName);
    services_.application.SetTitle(FileNamePart(path) + " - " + kAppName);
    FinishBackupWrite();
    CurrentFile = path;
}

}  // namespace kp::app
