#include "ui/Dialogs.h"

namespace kp::ui {

bool TOpenDialog::Execute()
{
    const bool confirmed = service_ && service_->RunFileDialog(*this);
    if (OnClose) OnClose();
    return confirmed;
}

void TFindDialog::Execute()
{
    if (service_) service_->ShowFindDialog(*this);
    showing_ = true;
}

void TFindDialog::CloseDialog()
{
    if (service_ && showing_) service_->CloseFindDialog(*this);
    showing_ = false;
}

bool TPrintDialog::Execute()
{
    PrintRange = TPrintRange::prAllPages;
    return service_ && service_->RunPrintDialog(*this);
}

}  // namespace kp::ui
