#pragma once
// The common dialogs for tests of form logic. File dialogs follow scripts the
// test queues (what the user does while the dialog is open, then a file name
// or cancel; without a script the dialog is cancelled) and record what they
// were opened with. Find and replace dialogs keep their showing state, and
// the test acts as the user on them. Print dialogs answer from a queue.

#include "ui/Dialogs.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kp::ui {

// What the user does in one file dialog.
class FileDialogScript {
public:
    // Chooses the filter `filterIndex` (from 1): OnTypeChange.
    FileDialogScript& TypeChange(int filterIndex);
    // Enters `folder`: OnFolderChange.
    FileDialogScript& FolderChange(std::string folder);
    // Ends the dialog with this file name, or cancels it.
    FileDialogScript& Confirm(std::string fileName);
    FileDialogScript& Cancel();

    struct Step {
        bool typeChange;  // else a folder change
        int filterIndex;
        std::string folder;
    };
    std::vector<Step> steps;
    std::optional<std::string> fileName;
};

// What a file dialog was opened with, and how it closed.
struct FileDialogRun {
    bool save = false;
    std::string title;
    std::string filter;
    int filterIndex = 0;
    std::string defaultExt;
    std::string initialDir;
    std::string fileName;
    uint32_t options = 0;
    // The default extension after the dialog's handlers ran.
    std::string defaultExtAtClose;
    bool confirmed = false;
};

// What a find or replace dialog was shown with.
struct FindDialogRun {
    bool replace = false;
    std::string findText;
    std::string replaceText;
    uint32_t options = 0;
};

class SimDialogService final : public DialogService {
public:
    bool RunFileDialog(TOpenDialog& dialog) override;
    void ShowFindDialog(TFindDialog& dialog) override;
    void CloseFindDialog(TFindDialog& dialog) override;
    bool RunPrintDialog(TPrintDialog& dialog) override;

    // ---- File dialogs ----
    void Script(FileDialogScript script) { scripts_.push_back(std::move(script)); }
    void AnswerFile(std::string fileName) { Script(FileDialogScript().Confirm(std::move(fileName))); }
    void AnswerCancel() { Script(FileDialogScript().Cancel()); }
    size_t PendingScripts() const { return scripts_.size(); }
    const std::vector<FileDialogRun>& FileDialogs() const { return fileRuns_; }

    // ---- Find and replace: the user's actions in a dialog that is showing ----
    // (std::logic_error when it is not). Options take frDown, frWholeWord and
    // frMatchCase; the button's own flag is added, and the dialog's hide
    // options stay as they were shown.
    bool IsShowing(const TFindDialog& dialog) const;
    void PressFindNext(TFindDialog& dialog, std::string_view findText, uint32_t options);
    void PressReplace(TFindDialog& dialog, std::string_view findText, std::string_view replaceText,
                      uint32_t options);
    void PressReplaceAll(TFindDialog& dialog, std::string_view findText, std::string_view replaceText,
                         uint32_t options);
    // The user closes the dialog (its close box or Cancel).
    void UserCloses(TFindDialog& dialog);
    const std::vector<FindDialogRun>& FindDialogs() const { return findRuns_; }

    // ---- Print ----
    // The answer to the next print dialog; without one it is cancelled.
    void AnswerPrint(bool confirmed) { printAnswers_.push_back(confirmed ? kPrintAll : kPrintCancel); }
    // The user picks the "selection" range and confirms (std::logic_error
    // when the dialog does not offer it).
    void AnswerPrintSelection() { printAnswers_.push_back(kPrintSelection); }
    int PrintDialogRuns() const { return static_cast<int>(printOptions_.size()); }
    // The Options each print dialog was shown with.
    const std::vector<uint32_t>& PrintDialogOptions() const { return printOptions_; }

private:
    void Press(TFindDialog& dialog, std::string_view findText, std::string_view replaceText,
               uint32_t options, uint32_t button);

    std::deque<FileDialogScript> scripts_;
    std::vector<FileDialogRun> fileRuns_;
    std::vector<const TFindDialog*> showing_;
    std::vector<FindDialogRun> findRuns_;
    enum PrintAnswer { kPrintCancel, kPrintAll, kPrintSelection };
    std::deque<PrintAnswer> printAnswers_;
    std::vector<uint32_t> printOptions_;
};

}  // namespace kp::ui
