#include "ui/win32/Win32DialogService.h"

#include "base/Error.h"
#include "base/Utf.h"
#include "ui/win32/Win32MessageDialogs.h"

#include <cderr.h>
#include <commctrl.h>
#include <commdlg.h>
// The fields of TFindDialog, not the functions FindTextW and ReplaceTextW.
#undef FindText
#undef ReplaceText

#include <algorithm>
#include <cstdio>
#include <string>

namespace kp::ui {

namespace {

// Room for long paths ("\\?\" and 32,767 units).
constexpr size_t kPathBuffer = 32768;
// Find and replace texts: at least this much room to type in.
constexpr size_t kFindBuffer = 1024;
constexpr wchar_t kReceiverClass[] = L"KestrelpadFindReceiver";

std::wstring Wide(std::string_view utf8)
{
    const std::u16string text = Utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}

std::string Narrow(const wchar_t* text)
{
    return Utf16ToUtf8(reinterpret_cast<const char16_t*>(text));
}

const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

UINT FindMessage()
{
    static const UINT message = RegisterWindowMessageW(FINDMSGSTRINGW);
    return message;
}

// "Text (*.txt)|*.txt|All (*.*)|*.*" as description NUL pattern NUL ... NUL.
// A description without its pattern is left out.
std::wstring FilterList(std::string_view filter)
{
    std::vector<std::wstring> parts;
    for (size_t start = 0;;) {
        const size_t bar = filter.find('|', start);
        parts.push_back(Wide(filter.substr(start, bar == std::string_view::npos ? bar : bar - start)));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    std::wstring list;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        list += parts[i];
        list += L'\0';
        list += parts[i + 1];
        list += L'\0';
    }
    if (!list.empty()) list += L'\0';
    return list;
}

DWORD FileDialogFlags(uint32_t options)
{
    DWORD flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;
    if (options & ofOverwritePrompt) flags |= OFN_OVERWRITEPROMPT;
    if (options & ofHideReadOnly) flags |= OFN_HIDEREADONLY;
    if (options & ofPathMustExist) flags |= OFN_PATHMUSTEXIST;
    if (options & ofFileMustExist) flags |= OFN_FILEMUSTEXIST;
    if (options & ofCreatePrompt) flags |= OFN_CREATEPROMPT;
    return flags;
}

// One run of an open or save dialog, as its hook sees it.
struct FileDialogRun {
    TOpenDialog* dialog;
    // The default extension, in the buffer the dialog was given. Changing it
    // in place and announcing it with CDM_SETDEFEXT reaches both kinds of
    // dialog: Windows takes the message, Wine ignores it but reads the
    // buffer, so a save dialog gets the buffer even while it is empty.
    std::wstring extension;
    std::vector<wchar_t> extensionBuffer;
    std::exception_ptr failure;
};

constexpr size_t kExtensionBuffer = 256;

void OnFileDialogNotify(FileDialogRun& run, HWND dialogWindow, const OFNOTIFYW& notify)
{
    TOpenDialog& dialog = *run.dialog;
    switch (notify.hdr.code) {
    case CDN_TYPECHANGE: {
        dialog.FilterIndex = static_cast<int>(notify.lpOFN->nFilterIndex);
        if (dialog.OnTypeChange) dialog.OnTypeChange();
        std::wstring extension = Wide(dialog.DefaultExt);
        if (extension != run.extension) {
            run.extension = std::move(extension);
            std::vector<wchar_t>& buffer = run.extensionBuffer;
            std::fill(buffer.begin(), buffer.end(), L'\0');
            std::copy_n(run.extension.begin(), std::min(run.extension.size(), buffer.size() - 1), buffer.begin());
            SendMessageW(dialogWindow, CDM_SETDEFEXT, 0, reinterpret_cast<LPARAM>(buffer.data()));
        }
        break;
    }
    case CDN_FOLDERCHANGE: {
        std::vector<wchar_t> folder(kPathBuffer, L'\0');
        const LRESULT length = SendMessageW(dialogWindow, CDM_GETFOLDERPATH, static_cast<WPARAM>(folder.size()),
                                            reinterpret_cast<LPARAM>(folder.data()));
        dialog.CurrentFolder = length > 0 ? Narrow(folder.data()) : std::string();
        if (dialog.OnFolderChange) dialog.OnFolderChange();
        break;
    }
    default: break;
    }
}

// The hook is a child dialog of the file dialog.
UINT_PTR CALLBACK FileDialogHook(HWND hook, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(hook, GWLP_USERDATA, reinterpret_cast<const OPENFILENAMEW*>(lParam)->lCustData);
        return TRUE;
    }
    auto* run = reinterpret_cast<FileDialogRun*>(GetWindowLongPtrW(hook, GWLP_USERDATA));
    if (message != WM_NOTIFY || !run || run->failure) return 0;
    const HWND dialogWindow = GetParent(hook);
    try {
        OnFileDialogNotify(*run, dialogWindow, *reinterpret_cast<const OFNOTIFYW*>(lParam));
    } catch (...) {
        run->failure = std::current_exception();
        PostMessageW(dialogWindow, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    return 0;
}

std::string DialogFailure(const char* what, DWORD code)
{
    char text[128];
    std::snprintf(text, sizeof text, "%sを開けません (エラー 0x%lX)。", what, static_cast<unsigned long>(code));
    return text;
}

uint32_t FindOptions(DWORD flags)
{
    uint32_t options = 0;
    if (flags & FR_DOWN) options |= frDown;
    if (flags & FR_WHOLEWORD) options |= frWholeWord;
    if (flags & FR_MATCHCASE) options |= frMatchCase;
    if (flags & FR_FINDNEXT) options |= frFindNext;
    if (flags & FR_REPLACE) options |= frReplace;
    if (flags & FR_REPLACEALL) options |= frReplaceAll;
    if (flags & FR_HIDEMATCHCASE) options |= frHideMatchCase;
    if (flags & FR_HIDEWHOLEWORD) options |= frHideWholeWord;
    return options;
}

std::vector<wchar_t> TextBuffer(std::string_view text)
{
    const std::wstring wide = Wide(text);
    std::vector<wchar_t> buffer(std::clamp<size_t>(wide.size() + 1, kFindBuffer, 0xFFFF), L'\0');
    std::copy_n(wide.begin(), std::min(wide.size(), buffer.size() - 1), buffer.begin());
    return buffer;
}

}  // namespace

// A find or replace dialog that is showing, or closed and about to be
// destroyed. The platform reads and writes `data` and its buffers until its
// window is gone, so a session is released only after that.
struct Win32DialogService::FindSession {
    TFindDialog* dialog = nullptr;
    FINDREPLACEW data{};
    std::vector<wchar_t> findText;
    std::vector<wchar_t> replaceText;
    HWND window = nullptr;
    bool closed = false;
};

Win32DialogService::Win32DialogService(HWND owner) : owner_(owner) {}

Win32DialogService::~Win32DialogService()
{
    for (const auto& session : sessions_)
        if (session->window && IsWindow(session->window)) DestroyWindow(session->window);
    for (HWND window : subclassed_)
        if (IsWindow(window)) RemoveWindowSubclass(window, OwnerSubclassProc, reinterpret_cast<UINT_PTR>(this));
    if (receiver_) DestroyWindow(receiver_);
    if (printerDC_) DeleteDC(printerDC_);
    if (devMode_) GlobalFree(devMode_);
    if (devNames_) GlobalFree(devNames_);
}

// ---- Open and save ---------------------------------------------------------------

bool Win32DialogService::RunFileDialog(TOpenDialog& dialog)
{
    FileDialogRun run{&dialog, Wide(dialog.DefaultExt), {}, nullptr};
    run.extensionBuffer.assign(std::max(kExtensionBuffer, run.extension.size() + 1), L'\0');
    std::copy(run.extension.begin(), run.extension.end(), run.extensionBuffer.begin());
    const std::wstring filter = FilterList(dialog.Filter);
    const std::wstring initialDir = Wide(dialog.InitialDir);
    const std::wstring title = Wide(dialog.Title);
    const std::wstring fileName = Wide(dialog.FileName);
    std::vector<wchar_t> file(kPathBuffer, L'\0');
    std::copy_n(fileName.begin(), std::min(fileName.size(), file.size() - 1), file.begin());

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner_ && IsWindow(owner_) ? owner_ : GetActiveWindow();
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(std::max(dialog.FilterIndex, 0));
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = OrNull(initialDir);
    ofn.lpstrTitle = OrNull(title);
    // A save dialog always has the buffer, empty or not: one that starts
    // without an extension ("all files") may get one at a filter change.
    // An open dialog without one gets none at all, so that no extension is
    // ever added to a name typed there, not even the filter's.
    ofn.lpstrDefExt = dialog.IsSave() || !run.extension.empty() ? run.extensionBuffer.data() : nullptr;
    ofn.Flags = FileDialogFlags(dialog.Options);
    ofn.lCustData = reinterpret_cast<LPARAM>(&run);
    ofn.lpfnHook = FileDialogHook;

    const auto show = [&] { return dialog.IsSave() ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn); };
    BOOL confirmed = show();
    DWORD error = confirmed ? 0 : CommDlgExtendedError();
    if (error == FNERR_INVALIDFILENAME && !run.failure) {
        // The platform refuses to open with a name it cannot parse: start
        // without it instead.
        std::fill(file.begin(), file.end(), L'\0');
        confirmed = show();
        error = confirmed ? 0 : CommDlgExtendedError();
    }
    if (ofn.lpstrFilter) dialog.FilterIndex = static_cast<int>(ofn.nFilterIndex);
    if (run.failure) std::rethrow_exception(run.failure);
    if (error != 0) throw Error(DialogFailure("ファイルのダイアログ", error));
    if (confirmed) dialog.FileName = Narrow(file.data());
    return confirmed != FALSE;
}

// ---- Find and replace ----------------------------------------------------------

HWND Win32DialogService::FindOwner()
{
    if (owner_ && IsWindow(owner_)) {
        if (std::find(subclassed_.begin(), subclassed_.end(), owner_) == subclassed_.end()) {
            if (!SetWindowSubclass(owner_, OwnerSubclassProc, reinterpret_cast<UINT_PTR>(this),
                                   reinterpret_cast<DWORD_PTR>(this)))
                throw Error(DialogFailure("検索のダイアログ", GetLastError()));
            subclassed_.push_back(owner_);
        }
        return owner_;
    }
    if (!receiver_) {
        static const ATOM atom = [] {
            WNDCLASSEXW windowClass{};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = ReceiverProc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = kReceiverClass;
            return RegisterClassExW(&windowClass);
        }();
        // Dialogs cannot belong to a message-only window: a hidden top-level one.
        receiver_ = CreateWindowExW(WS_EX_TOOLWINDOW, MAKEINTATOM(atom), L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                    nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!receiver_) throw Error(DialogFailure("検索のダイアログ", GetLastError()));
        SetWindowLongPtrW(receiver_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    return receiver_;
}

void Win32DialogService::ShowFindDialog(TFindDialog& dialog)
{
    ReleaseClosedSessions();
    if (FindSession* showing = ShowingSession(dialog)) {
        ShowWindow(showing->window, SW_SHOW);
        SetActiveWindow(showing->window);
        return;
    }

    auto session = std::make_unique<FindSession>();
    session->dialog = &dialog;
    session->findText = TextBuffer(dialog.FindText);
    session->replaceText = TextBuffer(dialog.ReplaceText);
    FINDREPLACEW& data = session->data;
    data.lStructSize = sizeof data;
    data.hwndOwner = FindOwner();
    data.hInstance = GetModuleHandleW(nullptr);
    data.Flags = (dialog.Options & frDown ? FR_DOWN : 0) | (dialog.Options & frWholeWord ? FR_WHOLEWORD : 0) |
                 (dialog.Options & frMatchCase ? FR_MATCHCASE : 0) |
                 (dialog.Options & frHideMatchCase ? FR_HIDEMATCHCASE : 0) |
                 (dialog.Options & frHideWholeWord ? FR_HIDEWHOLEWORD : 0);
    data.lpstrFindWhat = session->findText.data();
    data.wFindWhatLen = static_cast<WORD>(session->findText.size());
    if (dialog.IsReplace()) {
        data.lpstrReplaceWith = session->replaceText.data();
        data.wReplaceWithLen = static_cast<WORD>(session->replaceText.size());
    }
    session->window = dialog.IsReplace() ? ReplaceTextW(&data) : FindTextW(&data);
    if (!session->window) throw Error(DialogFailure("検索のダイアログ", CommDlgExtendedError()));
    sessions_.push_back(std::move(session));
}

void Win32DialogService::CloseFindDialog(TFindDialog& dialog)
{
    if (FindSession* showing = ShowingSession(dialog)) {
        showing->closed = true;
        DestroyWindow(showing->window);
    }
    ReleaseClosedSessions();
}

Win32DialogService::FindSession* Win32DialogService::ShowingSession(const TFindDialog& dialog) const
{
    for (const auto& session : sessions_)
        if (session->dialog == &dialog && !session->closed) return session.get();
    return nullptr;
}

HWND Win32DialogService::FindDialogWindow(const TFindDialog& dialog) const
{
    const FindSession* showing = ShowingSession(dialog);
    return showing ? showing->window : nullptr;
}

void Win32DialogService::ReleaseClosedSessions()
{
    std::erase_if(sessions_, [](const auto& session) { return session->closed && !IsWindow(session->window); });
}

bool Win32DialogService::IsDialogMessage(MSG& msg)
{
    for (const auto& session : sessions_)
        if (!session->closed && ::IsDialogMessageW(session->window, &msg)) return true;
    return false;
}

void Win32DialogService::OnFindMessage(const tagFINDREPLACEW& notification)
{
    FindSession* session = nullptr;
    for (const auto& candidate : sessions_)
        if (&candidate->data == &notification) session = candidate.get();
    if (!session || session->closed) return;
    TFindDialog& dialog = *session->dialog;
    if (notification.Flags & FR_DIALOGTERM) {
        session->closed = true;
        dialog.SetShowing(false);
        return;
    }
    dialog.FindText = Narrow(notification.lpstrFindWhat);
    if (dialog.IsReplace()) dialog.ReplaceText = Narrow(notification.lpstrReplaceWith);
    // The hide options are the program's choice, whatever the platform reports.
    dialog.Options = FindOptions(notification.Flags) | (dialog.Options & (frHideMatchCase | frHideWholeWord));
    const std::function<void()>& handler =
        notification.Flags & (FR_REPLACE | FR_REPLACEALL) ? dialog.OnReplace : dialog.OnFind;
    if (!handler) return;
    try {
        handler();
    } catch (const std::exception& failure) {
        try {
            if (onException_) {
                onException_(failure);
            } else {
                Win32MessageDialogs messages(session->closed ? owner_ : session->window);
                MessageDlg(messages, failure.what(), DialogKind::Error, mbOK);
            }
        } catch (...) {
            // Nothing is left to report with.
        }
    }
}

LRESULT CALLBACK Win32DialogService::OwnerSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                       UINT_PTR id, DWORD_PTR data)
{
    auto* service = reinterpret_cast<Win32DialogService*>(data);
    if (message == FindMessage()) {
        service->OnFindMessage(*reinterpret_cast<const FINDREPLACEW*>(lParam));
        return 0;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, OwnerSubclassProc, id);
        std::erase(service->subclassed_, window);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK Win32DialogService::ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == FindMessage()) {
        if (auto* service = reinterpret_cast<Win32DialogService*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            service->OnFindMessage(*reinterpret_cast<const FINDREPLACEW*>(lParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// ---- Print -------------------------------------------------------------------------

bool Win32DialogService::RunPrintDialog(TPrintDialog& dialog)
{
    PRINTDLGW print{};
    print.lStructSize = sizeof print;
    print.hwndOwner = owner_ && IsWindow(owner_) ? owner_ : GetActiveWindow();
    print.hDevMode = devMode_;
    print.hDevNames = devNames_;
    // No page range; the selection range only when offered; opening at "all".
    // Without a printer the platform's own box says so (no PD_NOWARNING).
    print.Flags = PD_ALLPAGES | PD_NOPAGENUMS | (dialog.Options & poSelection ? 0 : PD_NOSELECTION) |
                  PD_USEDEVMODECOPIESANDCOLLATE | (returnsPrinterDC_ ? PD_RETURNDC : 0);
    print.nCopies = 1;
    const BOOL confirmed = PrintDlgW(&print);
    // The dialog may have replaced the blocks it was given.
    devMode_ = print.hDevMode;
    devNames_ = print.hDevNames;
    if (!confirmed) {
        const DWORD error = CommDlgExtendedError();
        // No printer at all: the platform has said so already.
        if (error != 0 && error != PDERR_NODEFAULTPRN && error != PDERR_NODEVICES)
            throw Error(DialogFailure("印刷のダイアログ", error));
        return false;
    }
    dialog.PrintRange = print.Flags & PD_SELECTION ? TPrintRange::prSelection : TPrintRange::prAllPages;
    if (print.hDC) {
        if (printerDC_) DeleteDC(printerDC_);
        printerDC_ = print.hDC;
    }
    return true;
}

HDC Win32DialogService::TakePrinterDC()
{
    HDC dc = printerDC_;
    printerDC_ = nullptr;
    return dc;
}

}  // namespace kp::ui
