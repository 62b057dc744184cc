#pragma once
// The common dialogs as the form sees them: open and save (with filter
// index, default extension, initial folder and the filter-change and
// folder-change events), find, replace and print. A DialogService runs them:
// the platform's real dialogs, or scripted answers in tests.

#include <cstdint>
#include <functional>
#include <string>

namespace kp::ui {

class DialogService;

enum FileDialogOption : uint32_t {
    ofOverwritePrompt = 0x0002,
    ofHideReadOnly = 0x0004,
    ofPathMustExist = 0x0800,
    ofFileMustExist = 0x1000,
    ofCreatePrompt = 0x2000,
};

class TOpenDialog {
public:
    explicit TOpenDialog(bool save = false) : save_(save) {}
    bool IsSave() const { return save_; }

    std::string FileName;     // UTF-8 Windows path
    std::string Filter;       // "description|pattern|description|pattern..."
    int FilterIndex = 1;      // counted from 1
    std::string DefaultExt;   // without the dot; empty: none
    std::string InitialDir;
    std::string Title;
    uint32_t Options = 0;

    // Raised while the dialog is open: another filter chosen (FilterIndex is
    // already the new one), another folder entered (CurrentFolder is it).
    std::function<void()> OnTypeChange;
    std::function<void()> OnFolderChange;
    // Raised when the dialog closes, confirmed or not.
    std::function<void()> OnClose;
    std::string CurrentFolder;

    // Shows the dialog; true when the user confirmed a file (FileName).
    bool Execute();
    void SetService(DialogService* service) { service_ = service; }

private:
    bool save_;
    DialogService* service_ = nullptr;
};

class TSaveDialog : public TOpenDialog {
public:
    TSaveDialog() : TOpenDialog(true) {}
};

enum FindOption : uint32_t {
    frDown = 0x0001,
    frWholeWord = 0x0002,
    frMatchCase = 0x0004,
    frFindNext = 0x0008,
    frReplace = 0x0010,
    frReplaceAll = 0x0020,
    // Set before the dialog shows: its match-case or whole-word check box is
    // left out. Kept in Options while the user works with the dialog.
    frHideMatchCase = 0x0040,
    frHideWholeWord = 0x0080,
};

class TFindDialog {
public:
    explicit TFindDialog(bool replace = false) : replace_(replace) {}
    bool IsReplace() const { return replace_; }
    std::string FindText;
    std::string ReplaceText;
    uint32_t Options = frDown;
    std::function<void()> OnFind;
    std::function<void()> OnReplace;
    // Shows the modeless dialog (it stays open while the user works).
    void Execute();
    void CloseDialog();
    bool Showing() const { return showing_; }
    void SetService(DialogService* service) { service_ = service; }
    void SetShowing(bool showing) { showing_ = showing; }

private:
    bool replace_;
    bool showing_ = false;
    DialogService* service_ = nullptr;
};

class TReplaceDialog : public TFindDialog {
public:
    TReplaceDialog() : TFindDialog(true) {}
};

enum PrintDialogOption : uint32_t {
    // The "selection" range is offered; without it the dialog shows it disabled.
    poSelection = 0x0001,
};

enum class TPrintRange { prAllPages, prSelection };

// Printing offers no page range: all of the document, or the selection when
// Options hold poSelection. The dialog opens at "all"; PrintRange is the
// user's choice after Execute.
class TPrintDialog {
public:
    uint32_t Options = 0;
    TPrintRange PrintRange = TPrintRange::prAllPages;
    bool Execute();
    void SetService(DialogService* service) { service_ = service; }

private:
    DialogService* service_ = nullptr;
};

class DialogService {
public:
    virtual ~DialogService() = default;
    // Runs an open or save dialog modally; raises its events while it runs.
    virtual bool RunFileDialog(TOpenDialog& dialog) = 0;
    virtual void ShowFindDialog(TFindDialog& dialog) = 0;
    virtual void CloseFindDialog(TFindDialog& dialog) = 0;
    virtual bool RunPrintDialog(TPrintDialog& dialog) = 0;
};

}  // namespace kp::ui
