// The Search menu's count dialog and the Help menu's about box: each use
// builds its form anew and shows it modally over this window.

#include "app/MainForm.h"

#include "dialogs/AboutDlg.h"
#include "dialogs/CountDlg.h"
#include "res/resource.h"

namespace kp::app {

void TEditForm::ConnectDialogCommands()
{
    MenuItem("Count")->OnClick = [this] { CountClick(); };
    MenuItem("About")->OnClick = [this] { AboutClick(); };
}

void TEditForm::CountClick()
{
    dialogs::TCountForm(Memo).ShowModal(services_.forms);
}

void TEditForm::AboutClick()
{
    dialogs::TAboutBox(IDI_KESTRELPAD).ShowModal(services_.forms);
}

}  // namespace kp::app
