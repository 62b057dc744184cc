#include "ui/sim/SimDialogService.h"

#include <algorithm>
#include <stdexcept>

namespace kp::ui {

FileDialogScript& FileDialogScript::TypeChange(int filterIndex)
{
    steps.push_back({true, filterIndex, {}});
    return *this;
}

FileDialogScript& FileDialogScript::FolderChange(std::string folder)
{
    steps.push_back({false, 0, std::move(folder)});
    return *this;
}

FileDialogScript& FileDialogScript::Confirm(std::string name)
{
    fileName = std::move(name);
    return *this;
}

FileDialogScript& FileDialogScript::Cancel()
{
    fileName.reset();
    return *this;
}

bool SimDialogService::RunFileDialog(TOpenDialog& dialog)
{
    FileDialogRun run;
    run.save = dialog.IsSave();
    run.title = dialog.Title;
    run.filter = dialog.Filter;
    run.filterIndex = dialog.FilterIndex;
    run.defaultExt = dialog.DefaultExt;
    run.initialDir = dialog.InitialDir;
    run.fileName = dialog.FileName;
    run.options = dialog.Options;

    FileDialogScript script;
    if (!scripts_.empty()) {
        script = std::move(scripts_.front());
        scripts_.pop_front();
    }
    // Recorded before the handlers run, so that a handler that throws leaves
    // the run in the record.
    fileRuns_.push_back(run);
    for (const FileDialogScript::Step& step : script.steps) {
        if (step.typeChange) {
            dialog.FilterIndex = step.filterIndex;
            if (dialog.OnTypeChange) dialog.OnTypeChange();
        } else {
            dialog.CurrentFolder = step.folder;
            if (dialog.OnFolderChange) dialog.OnFolderChange();
        }
    }
    FileDialogRun& recorded = fileRuns_.back();
    recorded.defaultExtAtClose = dialog.DefaultExt;
    recorded.confirmed = script.fileName.has_value();
    if (script.fileName) dialog.FileName = *script.fileName;
    return recorded.confirmed;
}

void SimDialogService::ShowFindDialog(TFindDialog& dialog)
{
    findRuns_.push_back({dialog.IsReplace(), dialog.FindText, dialog.ReplaceText, dialog.Options});
    if (!IsShowing(dialog)) showing_.push_back(&dialog);
}

void SimDialogService::CloseFindDialog(TFindDialog& dialog)
{
    std::erase(showing_, &dialog);
}

bool SimDialogService::IsShowing(const TFindDialog& dialog) const
{
    return std::find(showing_.begin(), showing_.end(), &dialog) != showing_.end();
}

void SimDialogService::Press(TFindDialog& dialog, std::string_view findText, std::string_view replaceText,
                             uint32_t options, uint32_t button)
{
    if (!IsShowing(dialog)) throw std::logic_error("the find dialog is not showing");
    if (button != frFindNext && !dialog.IsReplace())
        throw std::logic_error("a find dialog has no replace buttons");
    dialog.FindText = findText;
    if (button != frFindNext) dialog.ReplaceText = replaceText;
    dialog.Options = (options & (frDown | frWholeWord | frMatchCase)) | button |
                     (dialog.Options & (frHideMatchCase | frHideWholeWord));
    const std::function<void()>& handler = button == frFindNext ? dialog.OnFind : dialog.OnReplace;
    if (handler) handler();
}

void SimDialogService::PressFindNext(TFindDialog& dialog, std::string_view findText, uint32_t options)
{
    Press(dialog, findText, {}, options, frFindNext);
}

void SimDialogService::PressReplace(TFindDialog& dialog, std::string_view findText,
                                   std::string_view replaceText, uint32_t options)
{
    Press(dialog, findText, replaceText, options, frReplace);
}

void SimDialogService::PressReplaceAll(TFindDialog& dialog, std::string_view findText,
                                      std::string_view replaceText, uint32_t options)
{
    Press(dialog, findText, replaceText, options, frReplaceAll);
}

void SimDialogService::UserCloses(TFindDialog& dialog)
{
    if (!IsShowing(dialog)) throw std::logic_error("the find dialog is not showing");
    std::erase(showing_, &dialog);
    dialog.SetShowing(false);
}

bool SimDialogService::RunPrintDialog(TPrintDialog& dialog)
{
    printOptions_.push_back(dialog.Options);
    if (printAnswers_.empty()) return false;
    const PrintAnswer answer = printAnswers_.front();
    printAnswers_.pop_front();
    if (answer == kPrintSelection) {
        if (!(dialog.Options & poSelection)) throw std::logic_error("the print dialog offers no selection");
        dialog.PrintRange = TPrintRange::prSelection;
    }
    return answer != kPrintCancel;
}

}  // namespace kp::ui
