// The Search menu's count dialog and the Help menu's about box: each use
// builds its form anew and shows it modally over this window.

#include "app/MainForm.h"

#include "dialogs/AboutDlg.h"
#include "dialogs/CountDlg.h"
#include "res/resource.h"
#include "ui/ViewTypes.h"

namespace kp::app {

void TEditForm::ConnectDialogCommands()
{
    MenuItem("Count")->OnClick = [this] { CountClick(); };
    MenuItem("About")->OnClick = [this] { AboutClick(); };
}

void TEditForm::CountClick()
{
    // The counting shows the hourglass; the dialog shows without it.
    dialogs::TCountForm form(Memo);
    {
        const ui::THourGlassScope hourGlass;
        form.FormShow();
    }
    services_.forms.ShowModal(form.Spec());
}

void TEditForm::AboutClick()
{
    dialogs::TAboutBox(IDI_KESTRELPAD).ShowModal(services_.forms);
}

}  // namespace kp::app
