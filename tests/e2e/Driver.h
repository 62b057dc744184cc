#pragma once
// kpdriver: drives kestrelpad.exe from a second process in the same Wine
// prefix (or on Windows) the way a user would, and checks what it sees.
//
// Every wait polls every 50 ms up to a timeout. Messages to the editor go
// with SendMessageTimeout or PostMessage, so a hung editor fails a scenario
// instead of hanging the driver.

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kp::e2e {

using namespace std::chrono_literals;
using Timeout = std::chrono::milliseconds;

// ---- Scenarios ---------------------------------------------------------------

// Thrown by the checks; the runner reports the scenario as failed with it.
class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& reason) : std::runtime_error(reason) {}
};

[[noreturn]] void Fail(const std::string& reason);
void Expect(bool condition, const std::string& reason);

struct Context {
    std::wstring exePath;     // kestrelpad.exe, in the Windows form
    std::wstring shotFolder;  // where screenshots go (--shots); none taken when empty
};

struct Scenario {
    const char* name;
    void (*run)(Context&);
};

// Defined in Scenarios.cpp, in running order.
const std::vector<Scenario>& AllScenarios();

// ---- Text ----------------------------------------------------------------------

std::string Utf8(std::wstring_view text);
std::wstring Wide(std::string_view utf8);
// Quoted for a message: "text" in UTF-8.
std::string Quoted(std::wstring_view text);

// ---- The editor process --------------------------------------------------------

// One running kestrelpad.exe. The destructor ends a process that is still
// running, so a failed scenario leaves nothing behind for the next one.
class Editor {
public:
    Editor(const std::wstring& exePath, const std::vector<std::wstring>& args = {});
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    DWORD ProcessId() const { return info_.dwProcessId; }
    bool IsRunning() const;

    // The visible top-level window of the editor that is not a dialog.
    HWND WaitForMainWindow(Timeout timeout = 10s) const;
    // A visible dialog of the process (class #32770, message boxes too).
    HWND WaitForDialog(Timeout timeout = 5s) const;
    // The first visible dialog the test accepts; `what` names it in the failure.
    HWND WaitForDialog(const std::function<bool(HWND)>& accept, const std::string& what,
                       Timeout timeout = 5s) const;
    // A visible dialog with this caption.
    HWND WaitForDialog(const std::wstring& caption, Timeout timeout = 5s) const;
    // The visible dialogs of the process, in Z order.
    std::vector<HWND> Dialogs() const;

    // Posts WM_CLOSE to the main window.
    void Close(HWND mainWindow) const;

    // Drops files onto a window of the editor as the shell does: a DROPFILES
    // block in the editor's own memory (a block of the driver's would be
    // meaningless there), then WM_DROPFILES with it posted to the window.
    // The editor releases the block with DragFinish.
    void DropFiles(HWND window, const std::vector<std::wstring>& paths) const;
    // The rectangle of a tool bar button (by index, separators counted) in
    // screen coordinates; TB_GETITEMRECT answered into the editor's memory.
    RECT ToolButtonRect(HWND toolBar, int index) const;
    // The text of a status bar panel (from 0); SB_GETTEXTW answered into the
    // editor's memory.
    std::wstring StatusText(HWND statusBar, int panel) const;
    // The exit code, or nothing if still running after the timeout.
    std::optional<DWORD> WaitForExit(Timeout timeout = 5s) const;

    // ---- Tree and list views, read through buffers in the editor's memory ----
    // The captions of a SysListView32's items, in order (LVM_GETITEMTEXTW).
    std::vector<std::wstring> ListItems(HWND list) const;
    // An item's label rectangle in screen coordinates (LVM_GETITEMRECT), after
    // scrolling it into view.
    RECT ListItemRect(HWND list, int index) const;
    // The nodes of a SysTreeView32 in display order, expanded branches only
    // (TVM_GETITEMW).
    struct TreeNode {
        HTREEITEM item;
        std::wstring text;
        int level;
    };
    std::vector<TreeNode> TreeNodes(HWND tree) const;
    // A node's label rectangle in screen coordinates (TVM_GETITEMRECT).
    RECT TreeItemRect(HWND tree, HTREEITEM item) const;
    // Whether the selected node's row lies wholly inside the tree's client
    // area and its name starts there, as the tree is scrolled now (nothing
    // is scrolled to find it).
    bool SelectedTreeNodeShown(HWND tree) const;

private:
    PROCESS_INFORMATION info_ = {};
};

// Builds a command line from arguments with the quoting CommandLineToArgvW undoes.
std::wstring QuoteArgument(const std::wstring& arg);

// ---- Windows -------------------------------------------------------------------

std::wstring ClassName(HWND window);
// WM_GETTEXT (works on other processes' controls, whose text GetWindowText
// does not see).
std::wstring WindowText(HWND window);
std::wstring ControlText(HWND dialog, int id);
void SetControlText(HWND dialog, int id, const std::wstring& text);
SIZE OuterSize(HWND window);
SIZE ClientSize(HWND window);

// A child window of a dialog as a tool reads it: its rectangle in the
// dialog's client coordinates.
struct Child {
    HWND window = nullptr;
    int id = 0;
    std::wstring className;
    std::wstring text;
    RECT rect = {};
    bool visible = false;
    bool enabled = false;
};
// Every child of the dialog (grandchildren too), in creation order.
std::vector<Child> Children(HWND dialog);
// Posts BM_CLICK to the dialog's button with this id (posted: a click that
// opens a modal box does not block the driver).
void ClickControl(HWND dialog, int id);
// Waits until the window no longer exists.
bool WaitForWindowGone(HWND window, Timeout timeout = 5s);

// Top-level windows of a process, in Z order.
std::vector<HWND> TopLevelWindows(DWORD processId);

// Posts WM_COMMAND as a menu or accelerator would send it.
void PostCommand(HWND window, int id);

// The tool bar of a main window (ToolbarWindow32).
HWND ToolBarOf(HWND mainWindow);
// The button's state by its command id: enabled, and its image index.
bool ToolButtonEnabled(HWND toolBar, int commandId);
int ToolButtonImage(HWND toolBar, int commandId);
// Clicks the middle of a rectangle (screen coordinates) with the left mouse
// button through the input queue, after bringing the window to the front.
void ClickAt(HWND window, const RECT& rect);
// The same with two clicks, and with the right button.
void DoubleClickAt(HWND window, const RECT& rect);
void RightClickAt(HWND window, const RECT& rect);
// The first descendant window of this class (depth first), or nullptr.
HWND FindDescendant(HWND parent, const std::wstring& className);
// Brings the window to the front, then moves the mouse through the input
// queue into the target (the window or one of its children): to a quarter of
// its width and height, then to the middle, so that it moves over it at
// least once whatever the pointer's starting place.
void MoveMouseOver(HWND window, HWND target);
// Moves the mouse to the screen's bottom right corner, away from where the
// editor's windows open (a window that opens under the pointer receives
// mouse moves at once).
void ParkMouse();

// The status bar of a main window (msctls_statusbar32).
HWND StatusBarOf(HWND mainWindow);

// Message boxes and dialogs. The text of a message box is its static 0xFFFF.
std::wstring MessageBoxText(HWND box);
// Clicks the button whose caption matches; '&' and a "(&X)" mnemonic suffix
// are ignored, so L"はい" finds "はい(&Y)". Posted: a click that opens another
// modal dialog does not block the driver.
void ClickButton(HWND dialog, std::wstring_view caption);
// The common open/save dialog: file name into edit 1148, then OK (id 1).
void FillFileDialog(HWND dialog, const std::wstring& path);

// ---- Keyboard ------------------------------------------------------------------
//
// Under Wine 8 with Xvfb and no window manager (Managed=N), measured against
// another process's window with an edit control and an accelerator table:
//  - SendInput (PressKeys, TypeText) goes through the input queue after
//    SetForegroundWindow, like real typing: Ctrl+S reaches the accelerator
//    table, Alt+F4 closes, Unicode text (Japanese too) arrives as WM_CHAR.
//  - Posted messages (PostKeys, PostText) need no focus but leave the key
//    state alone: WM_CHAR text arrives, and DefWindowProc still closes on a
//    posted Alt+F4 (it reads the alt bit of lParam), but a posted Ctrl+S
//    types "s" because TranslateAccelerator never sees Ctrl down.
// xdotool on the X side also types into Wine windows.

// A key with its modifiers, e.g. {VK_F4, WithAlt} or {'S', WithCtrl}.
enum Modifier : unsigned { NoModifier = 0, WithShift = 1, WithCtrl = 2, WithAlt = 4 };
struct Chord {
    WORD key;
    unsigned modifiers = NoModifier;
};

// Brings the window to the foreground and presses the chord with SendInput.
void PressKeys(HWND window, Chord chord);
// Types text with SendInput as Unicode characters (Japanese too).
void TypeText(HWND window, std::wstring_view text);
// Posts WM_(SYS)KEYDOWN/UP for the chord to the window.
void PostKeys(HWND window, Chord chord);
// Posts WM_CHAR for each UTF-16 unit.
void PostText(HWND window, std::wstring_view text);

// ---- Registry (HKEY_CURRENT_USER) ----------------------------------------------

bool KeyExists(const std::wstring& path);
// Deletes the key with all its sub-keys; a missing key is fine.
void DeleteKeyTree(const std::wstring& path);
// A key that vanishes with the session; the system refuses to create
// non-volatile keys below it.
void CreateVolatileKey(const std::wstring& path);

std::optional<std::wstring> ReadString(const std::wstring& path, const std::wstring& name);
std::optional<DWORD> ReadDword(const std::wstring& path, const std::wstring& name);
void WriteString(const std::wstring& path, const std::wstring& name, const std::wstring& value);
void WriteDword(const std::wstring& path, const std::wstring& name, DWORD value);
void DeleteValue(const std::wstring& path, const std::wstring& name);

// Sets a DWORD value for the lifetime of the object, then puts back what was
// there before (or removes it).
class ScopedDword {
public:
    ScopedDword(std::wstring path, std::wstring name, DWORD value);
    ~ScopedDword();
    ScopedDword(const ScopedDword&) = delete;
    ScopedDword& operator=(const ScopedDword&) = delete;

private:
    std::wstring path_;
    std::wstring name_;
    std::optional<DWORD> previous_;
};

// Deletes a key tree when it goes out of scope.
class ScopedKeyRemoval {
public:
    explicit ScopedKeyRemoval(std::wstring path) : path_(std::move(path)) {}
    ~ScopedKeyRemoval();
    ScopedKeyRemoval(const ScopedKeyRemoval&) = delete;
    ScopedKeyRemoval& operator=(const ScopedKeyRemoval&) = delete;

private:
    std::wstring path_;
};

// ---- Clipboard -------------------------------------------------------------------
//
// The text format as UTF-16. The clipboard is shared with the editor, which
// may hold it open for a moment: opening is retried for up to two seconds.

// The clipboard's text, or nothing when it holds no text.
std::optional<std::wstring> ClipboardText();
// Replaces the clipboard's contents by the text.
void SetClipboardText(std::wstring_view text);
// Empties the clipboard.
void ClearClipboard();

// ---- Files -----------------------------------------------------------------------

// A copy of the program's folder (the exe, its DLLs and its text<n>.txt
// files) in a fresh temporary folder, removed with everything in it at the
// end of its scope, so that a scenario can remove or plant files beside the
// program. Destroy every Editor started from it first.
class ScratchProgram {
public:
    explicit ScratchProgram(const std::wstring& exePath);
    ~ScratchProgram();
    ScratchProgram(const ScratchProgram&) = delete;
    ScratchProgram& operator=(const ScratchProgram&) = delete;

    // Ends in a backslash.
    const std::wstring& Folder() const { return folder_; }
    const std::wstring& ExePath() const { return exePath_; }

private:
    std::wstring folder_;
    std::wstring exePath_;
};

// The folder part of a path, up to and including its last backslash.
std::wstring FolderOf(const std::wstring& path);

// Saves the whole screen as a 24-bit BMP file.
void SaveScreen(const std::wstring& path);

// What tells one version of a file from another: its last write time and its
// identity (volume and file index, which a rewrite through a new file changes).
struct FileStamp {
    ULONGLONG lastWrite = 0;  // FILETIME, 100 ns units
    DWORD volume = 0;
    ULONGLONG index = 0;
    bool operator==(const FileStamp&) const = default;
};
// GetFileInformationByHandle of the file, or nothing when it cannot be opened.
std::optional<FileStamp> StampOf(const std::wstring& path);
std::string Describe(const FileStamp& stamp);


// A string value of the version resource of an exe ("ProductName", ...), from
// the first translation it lists.
std::optional<std::wstring> VersionString(const std::wstring& exePath, const std::wstring& name);
// The fixed file version as {major, minor, patch, build}.
std::optional<std::vector<int>> FileVersion(const std::wstring& exePath);

// ---- Process health ---------------------------------------------------------------

// The working set of a process and its peak, in bytes (GetProcessMemoryInfo).
struct ProcessMemory {
    size_t workingSet = 0;
    size_t peakWorkingSet = 0;
};
std::optional<ProcessMemory> MemoryOf(DWORD processId);
// Sends WM_NULL and waits for the answer; false when none comes in time (a
// hung or vanished window).
bool Answers(HWND window, Timeout timeout);

}  // namespace kp::e2e
