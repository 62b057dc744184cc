// The explorer pane in the main window: a folder tree above a file list in a
// panel docked beside the memo. Its arrangements, the Explore and Refresh
// commands, the status panels it sets, the Delete key in the list, and
// opening a file from the list into the memo.

#include "app/DocumentPaths.h"
#include "app/MainForm.h"

#include "base/Error.h"
#include "platform/keyboard/KeyState.h"
#include "settings/SettingsKeys.h"

#include <exception>

namespace kp::app {

namespace s = kp::settings;

namespace {

constexpr const char* kPaneHint = "右ｸﾘｯｸでｴｸｽﾌﾟﾛｰﾗｺﾝﾃｷｽﾄﾒﾆｭｰ表示";
constexpr unsigned kDeleteKey = 0x2E;
// Shift, Ctrl, Alt and the three mouse buttons.
constexpr unsigned kHeldKeys[] = {0x10, 0x11, 0x12, 0x01, 0x02, 0x04};

// A control moved to another side keeps its thickness: a pane 120 wide on
// the left is 120 high at the top (the layout gave its other extent the
// whole side it was docked on).
void Dock(ui::TControl& control, ui::TAlign align)
{
    const auto across = [](ui::TAlign side) { return side == ui::TAlign::Top || side == ui::TAlign::Bottom; };
    const bool turns = across(control.Align()) != across(align);
    const int thickness = across(control.Align()) ? control.Height() : control.Width();
    control.SetAlign(align);
    if (!turns) return;
    if (across(align)) control.SetHeight(thickness);
    else control.SetWidth(thickness);
}

}  // namespace

void TEditForm::ConnectExplorerCommands()
{
    MenuItem("Explore")->OnClick = [this] { ExploreClick(); };
    MenuItem("Refresh")->OnClick = [this] { RefreshClick(); };

    auto hint = [this](int, int) { StatusBar1.SetText(2, kPaneHint); };
    FolderTreeViewEx1.OnMouseMove = hint;
    ShellListBox1.OnMouseMove = hint;
    // Asked while the tree draws its selected node; a failure goes to the
    // application's box (the tree asks no more while it is shown).
    FolderTreeViewEx1.OnGetSelectedIndex = [this](ui::TTreeNode&) {
        StatusBar1.SetText(3, FolderTreeViewEx1.SelectedPath());
    };
    FolderTreeViewEx1.OnException = [this](const std::exception& failure) {
        services_.application.HandleException(failure);
    };
    ShellListBox1.OnChange = [this] { StatusBar1.SetText(3, ShellListBox1.SelectedPath()); };
    ShellListBox1.OnKeyDown = [this](unsigned& key) { ShellListBox1KeyDown(key); };
    ShellListBox1.OnDblClick = [this] {
        const TickHold hold(*this);
        ShellListBox1DblClick();
    };
}

// ---- Arrangement --------------------------------------------------------------------


// Where the pane docks in the client area (its splitter beside it) and where
// the file list docks in the pane (its splitter beside it); the tree fills
// what the list leaves. A splitter's cursor follows the side it docks on.
void TEditForm::SetExplorerLayout(int panelStyle)
{
    using ui::TAlign;
    struct Arrangement {
        TAlign pane;
        TAlign list;
    };
    static constexpr Arrangement kArrangements[] = {
        {TAlign::Left, TAlign::Bottom}, {TAlign::Right, TAlign::Bottom}, {TAlign::Top, TAlign::Right},
        {TAlign::Bottom, TAlign::Right}};
    if (panelStyle < 0 || panelStyle > 3) return;
    const Arrangement& arrangement = kArrangements[panelStyle];
    for (ui::TControl* control : {Panel1, Splitter2}) Dock(*control, arrangement.pane);
    for (ui::TControl* control : {ShellListBox1.Control, Splitter3}) Dock(*control, arrangement.list);
}

// The first showing: the stored side, the stored sizes, the stored folder.
// The sizes come after the side: a height set while the pane is docked on
// the left is the layout's, and would be lost when it turns to the top. The
// folder comes last, so that the tree scrolls its node into view at the size
// it is shown at.
void TEditForm::ShowExplorerPane()
{
    SetExplorerLayout(s::ReadInteger(*store_, s::VisualPanelStyle));
    Panel1->SetWidth(s::ReadInteger(*store_, s::VisualPanelWidth));
    Panel1->SetHeight(s::ReadInteger(*store_, s::VisualPanelHeight));
    // The list's stored size: the divider between tree and list returns
    // where the user left it.
    ShellListBox1.SetWidth(s::ReadInteger(*store_, s::VisualTreeViewWidth));
    ShellListBox1.SetHeight(s::ReadInteger(*store_, s::VisualTreeViewHeight));
    SelectExplorerFolder(s::ReadString(*store_, s::FileFolder));
}

// An empty path is no folder: the tree stays where it is (the shell would
// read it as マイ コンピューター). A folder that went away has no path.
void TEditForm::SelectExplorerFolder(const std::string& path)
{
    if (!path.empty()) FolderTreeViewEx1.SetSelectedPath(path);
}

// ---- Commands -------------------------------------------------------------------------

void TEditForm::ExploreClick()
{
    ui::TMenuItem* item = MenuItem("Explore");
    const bool show = !item->Checked();
    if (show) {
        // The views too, which a stored Explore of false hid at start.
        FolderTreeViewEx1.SetVisible(true);
        ShellListBox1.SetVisible(true);
        Splitter3->SetVisible(true);
        Panel1->SetVisible(true);
        Splitter2->SetVisible(true);
    } else {
        Splitter2->SetVisible(false);
        Panel1->SetVisible(false);
    }
    item->SetChecked(show);
}

void TEditForm::RefreshClick()
{
    const std::string selected = FolderTreeViewEx1.SelectedPath();
    FolderTreeViewEx1.RebuildTree();
    ShellListBox1.FillList();
    SelectExplorerFolder(selected);
}

void TEditForm::ShellListBox1KeyDown(unsigned& key)
{
    if (key != kDeleteKey) return;
    for (unsigned held : kHeldKeys)
        if (services_.keys.IsDown(held)) return;
    ShellListBox1.DeleteSelected();
}

// ---- Open from the explorer ---------------------------------------------------------

// Runs before the list's own double-click, which moves the tree into a
// folder. A failure to load ends it quietly: status panel 2 shows the open
// document again, which stays as it was.
void TEditForm::ShellListBox1DblClick()
{
    try {
        OpenFromExplorer();
    } catch (const std::exception&) {
        StatusBar1.SetText(2, CurrentFile);
    }
}

bool TEditForm::ExplorerItemIsFolder()
{
    const ui::TListItem* item = ShellListBox1.Selected();
    platform::ShellFolder* folder = ShellListBox1.Folder();
    const platform::IdView id = shell::TFileView::ItemID(item);
    if (!item || !folder || !id) return false;
    uint32_t bits = platform::attr::kFolder;
    return platform::Succeeded(folder->GetAttributesOf({&id, 1}, bits)) && (bits & platform::attr::kFolder);
}

void TEditForm::OpenFromExplorer()
{
    // A folder is never a document: nothing is asked or loaded (the list
    // then moves into it), whatever its name.
    if (ExplorerItemIsFolder()) {
        StatusBar1.SetText(2, CurrentFile);
        return;
    }
    if (Memo.Modified()) {
        if (ShellListBox1.SelectedPath().find('.') == std::string::npos) {
            StatusBar1.SetText(2, CurrentFile);
            return;
        }
        switch (AskToSave()) {
        case ui::mrYes: {
            if (!SaveDialog1.Execute()) return;
            try {
                Memo.SaveToFile(services_.files, SaveDialog1.FileName);
            } catch (const Error& failure) {
                // The user asked for the save: its failure is shown, and
                // the document stays as it is, modified.
                services_.application.HandleException(failure);
                return;
            }
            HistoryMenu1.AddFile(SaveDialog1.FileName);
            break;
        }
        case ui::mrNo: break;
        default: return;
        }
    }
    const std::string path = ShellListBox1.SelectedPath();
    Memo.LoadFromFile(services_.files, path);
    // The previous document's copy goes once the new one is in the memo; a
    // failed load keeps it. Failing to delete it stops nothing.
    try {
        DeleteBackup();
    } catch (const Error&) {
    }
    if (s::ReadBool(*store_, s::FileBackup)) ArmBackup();
    HistoryMenu1.AddFile(path);
    FinishBackupWrite();
    CurrentFile = path;
    Memo.SetModified(false);
    SetSaveMenu(true);
    SetSaveButton(true);
    ApplyTitle(CurrentFile);
    StatusBar1.SetText(2, FolderPart(CurrentFile));
    Memo.SetFocus();
}

}  // namespace kp::app
