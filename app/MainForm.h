#pragma once
// TEditForm: the main window's logic. Its controls and menu items are fields
// of the form; the platform shows them through a FormHost and the observers
// of the framework components. Everything here runs natively against
// simulated services as well as in the real program.

#include "app/BackupWriter.h"
#include "history/HistMenu.h"
#include "memo/ExtMemo.h"
#include "settings/RegIniFile.h"
#include "shell/DRPCOMEX.h"
#include "shell/FileView.h"
#include "shell/FolderView.h"
#include "ui/Application.h"
#include "ui/Bars.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"
#include "ui/FormHost.h"
#include "ui/Layout.h"
#include "ui/Menu.h"
#include "ui/MessageDialogs.h"
#include "ui/Timer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kp::platform {
class Clock;
class DateTimeLocale;
class Clipboard;
class Cp932Codec;
class FileSystem;
class HelpViewer;
class KeyNames;
class LocaleCompare;
class KeyState;
class PrintDeviceFactory;
class Registry;
class SysColors;
}  // namespace kp::platform

namespace kp::settings {
class TPagesDlg1;
}  // namespace kp::settings

namespace kp::app {

// The new-document caption and task-bar title.
inline constexpr const char* kNewFileCaption = "[NewFile] - Kestrelpad";
inline constexpr const char* kNewFileTitle = "NewFile - Kestrelpad";

// The services the form uses, supplied by the program (real) or a test (simulated).
struct FormServices {
    platform::Registry& registry;
    platform::FileSystem& files;
    const platform::KeyNames& keyNames;
    const platform::KeyState& keys;
    const platform::SysColors& sysColors;
    ui::TApplication& application;
    ui::DialogService& dialogs;
    ui::TimerService& timers;
    memo::MemoWindowFactory& memoWindows;
    const platform::LocaleCompare& locale;
    // The full form of a path given on the command line.
    std::function<std::string(const std::string&)> fullPath;
    // The folder of the program's own executable, with a trailing '\'.
    std::string programFolder;
    // The local time and the locale's date and time settings, for the stamp.
    const platform::Clock& clock;
    const platform::DateTimeLocale& dateLocale;
    platform::Clipboard& clipboard;
    const platform::Cp932Codec& codec;
    ui::FormService& forms;
    platform::PrintDeviceFactory& printers;
    platform::HelpViewer& help;
    // The shell namespace; null without the shell's allocator or desktop
    // folder, and then the explorer components do nothing.
    platform::ShellNamespace* shell;
};

// A view component with the docked control that places it in the window:
// the component holds what the view shows, the control its side, size and
// visibility.
template <class View>
class TDockedView : public View {
public:
    using View::View;

    ui::TControl* Control = nullptr;

    ui::TAlign Align() const { return Control->Align(); }
    void SetAlign(ui::TAlign align) { Control->SetAlign(align); }
    bool Visible() const { return Control->Visible(); }
    void SetVisible(bool visible) { Control->SetVisible(visible); }
    int Width() const { return Control->Width(); }
    void SetWidth(int width) { Control->SetWidth(width); }
    int Height() const { return Control->Height(); }
    void SetHeight(int height) { Control->SetHeight(height); }
    const ui::TRect& Bounds() const { return Control->Bounds(); }
};

class TEditForm {
public:
    TEditForm(FormServices& services, ui::FormHost& host);
    ~TEditForm();

    // ---- Lifecycle, called by the host ----
    void FormCreate(const std::vector<std::string>& arguments);
    void FormShow();
    void FormActivate();
    void FormCloseQuery(bool& canClose);
    void FormClose(ui::TCloseAction& action);
    // Log-off or shut-down: may the session end (the close question for
    // unsaved changes), then its end (what closing writes, without asking).
    void FormQueryEndSession(bool& canEnd);
    void FormEndSession();
    void DropFiles(const std::vector<std::string>& paths);

    // ---- Document file commands ----
    void NewClick();
    void OpenClick();
    void SaveClick();
    void SaveAsClick();
    void HistorySelected(const std::string& path);
    // Yes, No or Cancel; No without asking while Setup/Dialog is off.
    ui::ModalResult AskToSave();
    // The question itself, whatever Setup/Dialog says.
    ui::ModalResult AskSaveQuestion();

    // ---- Commands of this window ----
    void LastTimeFileClick();
    void ExitClick();
    void UninstallClick();

    // ---- Editing commands of the Edit and View menus (EditCommands.cpp) ----
    // A clipboard that cannot be read or written throws kp::Error and
    // leaves clipboard and memo as they were; a cut that the clipboard's
    // text could not carry whole (a NUL, bytes that do not decode) beeps
    // and changes nothing.
    void UndoClick();
    void CutClick();
    void CopyClick();
    void PasteClick();
    void AddCutClick();
    void AddCopyClick();
    void DeleteClick();
    void CuttingClick();
    void SelectAllClick();
    void CopyAllClick();
    void CutAllClick();
    void DateTimeClick();
    void FontBigClick();
    void FontSmallClick();
    void LeftEnterClick();
    void ToolBarClick();

    // ---- Template documents (Templates.cpp) ----
    // Inserts template n (1 … 9) in place of the selection.
    void TemplateClick(int n);
    // ---- The count dialog and the about box (SmallDialogs.cpp) ----
    void CountClick();
    void AboutClick();
    // ---- Printing and help (PrintCommands.cpp) ----
    void PrintClick();
    void ContentsClick();
    // ---- Find and replace (FindCommands.cpp) ----
    // The searches run forward, match letter case exactly and never wrap.
    void FindClick();
    void FindNextClick();
    void ReplaceClick();
    void FindDialog1Find();
    void ReplaceDialog1Find();
    void ReplaceDialog1Replace();

    // ---- Status bar events of the memo (EditCommands.cpp) ----
    void MemoSelectionChange();
    void MemoKeyDown(memo::KeyEvent& event);
    void MemoMouseMove(int x, int y);

    // ---- Shared with the file and editing commands ----
    void ApplyTitle(const std::string& path);
    void SetSaveButton(bool enabled);  // enabled: image 3, disabled: image 4
    void SetSaveMenu(bool enabled);
    void ArmBackup();
    // Waits for a backup write in flight first; then deletes the copy and
    // marks BackupText stale, so that an armed tick writes the copy again.
    void DeleteBackup();
    // Waits for a backup write in flight and takes its outcome; before the
    // document's name changes and before the window goes.
    void FinishBackupWrite();
    // Where backup copies are written (by default at once, on this thread),
    // and the monotonic clock, in milliseconds, that spaces retries. The
    // executor outlives the form, or its use ends with FinishBackupWrite.
    void SetBackupWriting(BackupExecutor& executor, std::function<uint64_t()> milliseconds);
    ui::TMenuItem* MenuItem(std::string_view commandKey) { return MainMenu.FindByName(commandKey); }
    // ---- The explorer pane (ExplorerPane.cpp) ----
    // The pane's arrangement (0 left, 1 right, 2 top, 3 bottom): docks the
    // pane, its splitter, the file list and the list's splitter; another
    // value changes nothing. The one entry point the settings dialog uses
    // to move the pane.
    void SetExplorerLayout(int panelStyle);
    // Explore: hides or shows the pane with its splitter, and its check.
    void ExploreClick();
    // Refresh: the tree read again, keeping its folder when it still exists,
    // and the list read again.
    void RefreshClick();
    // The file list's double-click: opens the selected file into the memo.
    void ShellListBox1DblClick();
    void ShellListBox1KeyDown(unsigned& key);
    // The settings dialog EditorSetup shows; created after the window.
    settings::TPagesDlg1* PagesDlg1 = nullptr;
    TRegIniFile& Store() { return *store_; }

    // ---- Document state ----
    std::string CurrentFile;
    memo::TextSnapshot SavedText;
    memo::TextSnapshot BackupText;
    bool UninstallOnExit = false;

    // ---- Controls ----
    memo::TExtMemo Memo;
    ui::TMenuItem MainMenu;
    ui::TMenuItem PopupMenu1;
    ui::TMenuItem* UninstallItem = nullptr;
    ui::TToolBar ToolBar1;
    ui::TStatusBar StatusBar1;
    ui::TControl ClientArea{ui::ControlKind::Panel, "ClientArea", ui::TAlign::Client};
    ui::TControl* Panel1 = nullptr;     // the explorer pane
    ui::TControl* Splitter3 = nullptr;  // between tree and list
    ui::TControl* Splitter2 = nullptr;  // between pane and memo
    ui::TControl* MemoControl = nullptr;
    ui::TOpenDialog OpenDialog1;
    ui::TSaveDialog SaveDialog1;
    ui::TFindDialog FindDialog1;
    ui::TReplaceDialog ReplaceDialog1;
    ui::TPrintDialog PrintDialog1;
    ui::TTimer Timer1{100};
    history::THistoryMenu HistoryMenu1;
    // The shell's context menu for the explorer views.
    shell::TContextMenuEx ContextMenuEx1;
    // The explorer pane's folder tree and file list (inside Panel1).
    TDockedView<shell::TFolderView> FolderTreeViewEx1;
    TDockedView<shell::TFileView> ShellListBox1;

    ui::FormHost& Host() { return host_; }
    FormServices& Services() { return services_; }

private:
    void BuildMenus();
    void BuildPopupMenu();
    void BuildToolBar();
    void BuildStatusBar();
    void BuildLayout();
    void BuildExplorerViews();
    void ConfigureMemo();
    void ConnectCommands();
    void ConnectEditCommands();
    void ConnectTemplateCommands();
    void ConnectDialogCommands();
    void ConnectFindCommands();
    void ConnectPrintCommands();
    void ConnectSetupCommands();
    void ConnectExplorerCommands();

    void OpenInitialDocument(const std::vector<std::string>& arguments);
    void ReopenLastDocument();
    void OpenCommandLineFile(const std::vector<std::string>& arguments);
    void ApplyStoredSettings();
    void ApplyStoredPlacement();
    void ShowExplorerPane();
    void SelectExplorerFolder(const std::string& path);
    void OpenFromExplorer();
    bool ExplorerItemIsFolder();
    void ApplyShortCuts();
    void ApplyMemoAppearance();

    bool AskToSaveAtClose();
    void DoubleReplacement();
    void ReloadFolderTree();
    void SetNewDocumentCaptions();
    void OpenChosenFile(const std::string& path, bool fromUnmodified);
    void ApplySaveFilterExtension();
    void RememberDialogFolders();
    void WritePlacement();
    void FinishClose(bool closing);
    void WriteSettingsAtClose();
    void Uninstall();

    void CopySelection();
    void CutSelection();
    void AddSelectionToClipboard(bool cut);
    void ConvertCase(memo::CaseMapping mapping);

    // ---- Find and replace (FindCommands.cpp) ----
    void FindStep(std::string_view findText);
    void ReplaceStep();
    // The document's bytes for a dialog's text; none when code page 932 has
    // no form for one of its characters.
    std::optional<std::string> DocumentBytes(std::string_view utf8) const;
    void SelectInView(size_t offset, size_t length);
    bool replaceMessageShowing_ = false;

    // ---- Help (PrintCommands.cpp) ----
    // Alive while the form is: a viewer's answer after the form has gone
    // finds it expired.
    std::shared_ptr<bool> helpInFlight_ = std::make_shared<bool>(false);

    // ---- Backup copy (app/BackupTimer.cpp) ----
    // While a handler of this window runs (a command, its dialogs and boxes),
    // timer ticks do nothing: nested message loops deliver them too.
    class TickHold {
    public:
        explicit TickHold(TEditForm& form) : form_(form) { ++form_.handlerDepth_; }
        ~TickHold() { --form_.handlerDepth_; }
        TickHold(const TickHold&) = delete;
        TickHold& operator=(const TickHold&) = delete;

    private:
        TEditForm& form_;
    };
    void HoldTicksDuringCommands(ui::TMenuItem& item);
    void BackupTick();
    void TakeBackupOutcome(const BackupOutcome& outcome, bool report);
    std::string BackupFile();

    FormServices& services_;
    ui::FormHost& host_;
    std::unique_ptr<TRegIniFile> store_;
    bool shown_ = false;

    InlineExecutor inlineBackupExecutor_;
    std::unique_ptr<BackupWriter> backupWriter_;
    std::function<uint64_t()> backupClock_;
    std::string unnamedBackupPath_;  // "bcp_" made full at its first write
    bool backupStale_ = false;
    bool backupFailureReported_ = false;
    std::optional<uint64_t> backupFailedAt_;
    int handlerDepth_ = 0;
};

// The caption a shortcut shows after its menu item's text, and what the
// store keeps: "Ctrl+N", "F3", empty for none.
std::string ShortCutText(ui::TShortCut shortCut, const platform::KeyNames& keyNames);

}  // namespace kp::app
