// The document file commands: New, Open, Save, Save As and choosing a
// recent file. They ask before discarding changes, keep the history current
// and arm the backup copy; the open and save dialogs remember their folder
// and filter in the settings store.

#include "app/MainForm.h"

#include "base/Error.h"
#include "memo/TextFile.h"
#include "memo/edit/EditControl.h"
#include "platform/files/FileSystem.h"
#include "settings/SettingsKeys.h"
#include "ui/ViewTypes.h"

namespace kp::app {

namespace s = kp::settings;
using ui::DialogKind;
using ui::MessageDlg;

namespace {

constexpr const char* kAskSave = "文書が変更されています。保存しますか？";
constexpr const char* kNotFound = "指定されたファイルが見つかりません";

}  // namespace

ui::ModalResult TEditForm::AskToSave()
{
    if (!s::ReadBool(*store_, s::SetupDialog)) return ui::mrNo;
    return AskSaveQuestion();
}

ui::ModalResult TEditForm::AskSaveQuestion()
{
    return MessageDlg(services_.application.Dialogs(), kAskSave, DialogKind::Confirmation, ui::mbYesNoCancel);
}

// The whole text replaced by SavedText and then by itself again, before each
// save of the current document. The control's state is taken before and
// restored after, so the two replacements leave no trace: not the other
// text in the undo history, not a moved caret or scroll position.
void TEditForm::DoubleReplacement()
{
    memo::EditControl* control = Memo.Control();
    if (!control) return;
    const memo::EditControl::State state = control->SaveState();
    const memo::TextSnapshot current = Memo.Snapshot();
    Memo.SetText(SavedText);
    Memo.SetText(current);
    control->RestoreState(state);
}

// After a save under a new name: a new folder appears in the tree, which
// keeps its folder.
void TEditForm::ReloadFolderTree()
{
    const std::string selected = FolderTreeViewEx1.SelectedPath();
    FolderTreeViewEx1.RebuildTree();
    SelectExplorerFolder(selected);
}

void TEditForm::SetNewDocumentCaptions()
{
    host_.SetCaption(kNewFileCaption);
    services_.application.SetTitle(kNewFileTitle);
}

// ---- New -------------------------------------------------------------------------------

void TEditForm::NewClick()
{
    auto clear = [this] {
        Memo.Clear();
        Memo.SetModified(false);
        SetSaveMenu(false);
        SetSaveButton(false);
        SetNewDocumentCaptions();
    };
    if (!Memo.Modified()) {
        clear();
        Memo.SetFocus();
        return;
    }
    switch (AskToSave()) {
    case ui::mrYes:
        if (!SaveDialog1.Execute()) return;
        Memo.SaveToFile(services_.files, SaveDialog1.FileName);  // a failure stops here
        HistoryMenu1.AddFile(SaveDialog1.FileName);
        clear();
        break;
    case ui::mrNo:
        clear();
        break;
    default:
        break;
    }
}

// ---- Open ------------------------------------------------------------------------------

void TEditForm::OpenChosenFile(const std::string& path, bool fromUnmodified)
{
    const ui::THourGlassScope hourGlass;
    DeleteBackup();
    Memo.LoadFromFile(services_.files, path);
    if (fromUnmodified) {
        SavedText = Memo.Snapshot();
        SetSaveButton(true);
    }
    if (s::ReadBool(*store_, s::FileBackup)) ArmBackup();
    HistoryMenu1.AddFile(path);
    Memo.SetModified(false);
    Memo.SetFocus();
    CurrentFile = path;
    StatusBar1.SetText(2, path);
    SetSaveMenu(true);
    ApplyTitle(path);
}

void TEditForm::OpenClick()
{
    try {
        OpenDialog1.FilterIndex = s::ReadInteger(*store_, s::SetupOpenDlgFilter);
        const bool asking = s::ReadBool(*store_, s::SetupDialog);
        if (!asking) {
            // Nothing is asked; unsaved changes are discarded.
            if (OpenDialog1.Execute()) {
                OpenChosenFile(OpenDialog1.FileName, false);
                SetSaveButton(true);
            }
        } else if (!Memo.Modified()) {
            if (OpenDialog1.Execute()) OpenChosenFile(OpenDialog1.FileName, true);
        } else {
            const ui::ModalResult answer = AskToSave();
            if (answer == ui::mrCancel) {
                Memo.Repaint();
                return;
            }
            if (answer == ui::mrYes) {
                if (!SaveDialog1.Execute()) {
                    Memo.Repaint();
                    return;
                }
                const std::string saved = SaveDialog1.FileName;
                const ui::THourGlassScope hourGlass;
                FinishBackupWrite();
                DoubleReplacement();
                Memo.SaveToFile(services_.files, saved);
                SetSaveButton(false);
                SavedText = Memo.Snapshot();
                HistoryMenu1.AddFile(saved);
                Memo.SetModified(false);
                CurrentFile = saved;
                StatusBar1.SetText(2, saved);
                ReloadFolderTree();
                SetSaveMenu(true);
                ApplyTitle(saved);
            }
            if (OpenDialog1.Execute()) OpenChosenFile(OpenDialog1.FileName, false);
        }
    } catch (const Error&) {
        MessageDlg(services_.application.Dialogs(), kNotFound, DialogKind::Error, ui::mbOK);
    }
    Memo.Repaint();
}

// ---- Save and Save As ------------------------------------------------------------------

void TEditForm::SaveClick()
{
    if (CurrentFile.empty()) return;
    const ui::THourGlassScope hourGlass;
    DoubleReplacement();
    Memo.SaveToFile(services_.files, CurrentFile);  // a failure goes to the default handler
    Memo.SetModified(false);
    SavedText = Memo.Snapshot();
}

void TEditForm::ApplySaveFilterExtension()
{
    switch (SaveDialog1.FilterIndex) {
    case 1: SaveDialog1.DefaultExt = "txt"; break;
    case 2: SaveDialog1.DefaultExt = "htm"; break;
    case 3: SaveDialog1.DefaultExt.clear(); break;
    default: break;  // another index leaves the extension as it was
    }
}

void TEditForm::SaveAsClick()
{
    SaveDialog1.FilterIndex = s::ReadInteger(*store_, s::SetupSaveDlgFilter);
    ApplySaveFilterExtension();
    SaveDialog1.OnTypeChange = [this] { ApplySaveFilterExtension(); };
    const bool confirmed = SaveDialog1.Execute();
    SaveDialog1.OnTypeChange = nullptr;
    if (!confirmed) return;
    const ui::THourGlassScope hourGlass;
    const std::string path = SaveDialog1.FileName;
    DoubleReplacement();
    DeleteBackup();
    Memo.SaveToFile(services_.files, path);
    if (s::ReadBool(*store_, s::FileBackup)) ArmBackup();
    SetSaveButton(false);
    SavedText = Memo.Snapshot();
    HistoryMenu1.AddFile(path);
    Memo.SetModified(false);
    CurrentFile = path;
    StatusBar1.SetText(2, path);
    ReloadFolderTree();
    SetSaveMenu(true);
    ApplyTitle(path);
}

// ---- History selection ---------------------------------------------------------------

void TEditForm::HistorySelected(const std::string& path)
{
    auto opened = [this, &path] {
        FinishBackupWrite();
        CurrentFile = path;
        Memo.SetFocus();
        SetSaveMenu(true);
        SetSaveButton(true);
        Memo.SetModified(false);
        ApplyTitle(path);
    };
    try {
        const ui::THourGlassScope hourGlass;
        Memo.LoadFromFile(services_.files, path);
        opened();
        return;
    } catch (const Error& failure) {
        // A file that exists but cannot be read (locked, no access) is never
        // emptied by the create question below: its read failure is shown.
        if (services_.files.Query(path).exists) {
            services_.application.HandleException(failure);
            return;
        }
    }
    if (!s::ReadBool(*store_, s::SetupDialog)) return;
    const std::string question =
        path + "\r\nこのファイルは移動または削除されています。\r\n\r\nファイルを作成しますか？";
    if (MessageDlg(services_.application.Dialogs(), question, DialogKind::Confirmation, ui::mbYesNo) != ui::mrYes)
        return;
    // The empty file is written first: until it exists, the open document,
    // its name and its captions stay exactly as they are.
    try {
        memo::SaveTextFile(services_.files, path, std::string_view());
        Memo.LoadFromFile(services_.files, path);
    } catch (const Error& failure) {
        services_.application.HandleException(failure);
        return;
    }
    opened();
}

// ---- The dialogs remember their folder and filter ----------------------------------

namespace {

// The dialogs' folder and filter memory is bookkeeping: when the store
// refuses a write (a key without write access), the dialog and the command
// that showed it go on without it, and nothing is reported.
template <class Step>
void Bookkeeping(Step step)
{
    try {
        step();
    } catch (const Error&) {
    }
}

}  // namespace

void TEditForm::RememberDialogFolders()
{
    OpenDialog1.OnFolderChange = [this] {
        Bookkeeping([this] { s::WriteString(*store_, s::FileOpenDlgDir, OpenDialog1.CurrentFolder); });
    };
    OpenDialog1.OnClose = [this] {
        Bookkeeping([this] { s::WriteInteger(*store_, s::SetupOpenDlgFilter, OpenDialog1.FilterIndex); });
        Bookkeeping([this] { OpenDialog1.InitialDir = s::ReadString(*store_, s::FileOpenDlgDir); });
    };
    SaveDialog1.OnFolderChange = [this] {
        Bookkeeping([this] { s::WriteString(*store_, s::FileSaveDlgDir, SaveDialog1.CurrentFolder); });
    };
    SaveDialog1.OnClose = [this] {
        Bookkeeping([this] { s::WriteInteger(*store_, s::SetupSaveDlgFilter, SaveDialog1.FilterIndex); });
        Bookkeeping([this] { SaveDialog1.InitialDir = s::ReadString(*store_, s::FileSaveDlgDir); });
    };
}

}  // namespace kp::app
