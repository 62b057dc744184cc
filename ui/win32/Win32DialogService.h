#pragma once
// The platform's common dialogs behind DialogService:
//
// - Open and save: GetOpenFileNameW / GetSaveFileNameW (explorer style,
//   resizable) from a TOpenDialog. A hook raises OnTypeChange (FilterIndex
//   already the new one; a DefaultExt the handler changed takes effect in the
//   open dialog at once) and OnFolderChange (CurrentFolder set). A handler
//   that throws cancels the dialog; the exception leaves RunFileDialog.
// - Find and replace: the modeless FindTextW / ReplaceTextW. Their
//   notifications go to the owner window (subclassed for it) or, without an
//   owner, to a hidden window of the service. Each updates the TFindDialog
//   (FindText, ReplaceText, Options) and raises OnFind or OnReplace; closing
//   the dialog ends Showing. The program's message loop must offer every
//   message to IsDialogMessage first, for the dialog's keyboard interface:
//
//       while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
//           if (dialogs.IsDialogMessage(msg)) continue;
//           TranslateMessage(&msg);
//           DispatchMessageW(&msg);
//       }
//
//   A handler that throws inside a notification hands the exception to the
//   exception handler (without one, an error dialog shows it).
// - Print: PrintDlgW with no page range, the selection range when the
//   TPrintDialog's Options offer it, and PrintRange set from the user's
//   choice. The printer chosen (DEVMODE and DEVNAMES) is kept and
//   offered again next time; with ReturnsPrinterDC (the default) the service
//   also holds the printer's device context for the printing that follows:
//   PrinterDC() lends it, TakePrinterDC() hands it over (the caller deletes
//   it with DeleteDC). All are released with the service.
//
// Everything runs on the thread that created the owner window.

#include "ui/Dialogs.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <vector>

// commdlg.h stays out of headers: it defines FindText and ReplaceText as
// macros, which would rename TFindDialog's fields.
struct tagFINDREPLACEW;

namespace kp::ui {

class Win32DialogService final : public DialogService {
public:
    // Without an owner, file and print dialogs belong to the active window
    // of the thread, and find dialogs to a hidden window of the service.
    explicit Win32DialogService(HWND owner = nullptr);
    ~Win32DialogService() override;
    Win32DialogService(const Win32DialogService&) = delete;
    Win32DialogService& operator=(const Win32DialogService&) = delete;

    // Find dialogs already showing keep their owner.
    void SetOwner(HWND owner) { owner_ = owner; }
    void SetExceptionHandler(std::function<void(const std::exception&)> handler) { onException_ = std::move(handler); }

    bool RunFileDialog(TOpenDialog& dialog) override;
    void ShowFindDialog(TFindDialog& dialog) override;
    void CloseFindDialog(TFindDialog& dialog) override;
    bool RunPrintDialog(TPrintDialog& dialog) override;

    // True when msg was for a find or replace dialog and has been handled.
    // (windows.h makes the name IsDialogMessageW, here and for callers alike.)
    bool IsDialogMessage(MSG& msg);
    // The window of a showing find or replace dialog; nullptr when none.
    HWND FindDialogWindow(const TFindDialog& dialog) const;

    void SetReturnsPrinterDC(bool returnsDC) { returnsPrinterDC_ = returnsDC; }
    HDC PrinterDC() const { return printerDC_; }
    HDC TakePrinterDC();
    HGLOBAL PrinterDevMode() const { return devMode_; }
    HGLOBAL PrinterDevNames() const { return devNames_; }

private:
    struct FindSession;

    static LRESULT CALLBACK OwnerSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR id, DWORD_PTR data);
    static LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND FindOwner();
    FindSession* ShowingSession(const TFindDialog& dialog) const;
    void OnFindMessage(const tagFINDREPLACEW& notification);
    void ReleaseClosedSessions();

    HWND owner_;
    HWND receiver_ = nullptr;
    std::vector<HWND> subclassed_;
    std::function<void(const std::exception&)> onException_;
    std::vector<std::unique_ptr<FindSession>> sessions_;
    bool returnsPrinterDC_ = true;
    HDC printerDC_ = nullptr;
    HGLOBAL devMode_ = nullptr;
    HGLOBAL devNames_ = nullptr;
};

}  // namespace kp::ui
