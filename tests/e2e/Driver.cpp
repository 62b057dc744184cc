// The toolkit of kpdriver.exe and its command line:
//   kpdriver.exe --exe PATH [--only NAME]... [--shots FOLDER]
//                                               runs the scenarios; with
//                                               --shots they save screenshots
//                                               of what they show (BMP) there
//                                               (a Windows path: Z:\tmp\shots
//                                               is /tmp/shots under Wine)
//   kpdriver.exe --list                         lists their names
// Prints "[ OK ] name" or "[FAIL] name: reason" per scenario, then
// "N passed, M failed"; exits with 1 if any failed, 2 on a usage error.

#include "tests/e2e/Driver.h"

#include "base/Utf.h"

#include <commctrl.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>

namespace kp::e2e {

namespace {

constexpr UINT kSendTimeoutMs = 2000;
constexpr auto kPollInterval = 50ms;

// Calls probe every 50 ms until it returns something truthy or the time is up;
// returns the last result either way.
template <class Probe>
auto Poll(Timeout timeout, Probe probe) -> decltype(probe())
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        auto result = probe();
        if (result || std::chrono::steady_clock::now() >= deadline) return result;
        Sleep(static_cast<DWORD>(kPollInterval.count()));
    }
}

std::string Ms(Timeout timeout) { return std::to_string(timeout.count()) + " ms"; }

std::string ErrorText(const char* what, DWORD error)
{
    return std::string(what) + " failed (error " + std::to_string(error) + ")";
}

bool IsDialog(HWND window) { return ClassName(window) == L"#32770"; }

// The main window is a "TEditForm"; it is owned by the hidden-looking
// application window that carries the task-bar entry.
HWND FindMainWindow(DWORD processId)
{
    for (HWND window : TopLevelWindows(processId)) {
        if (IsWindowVisible(window) && ClassName(window) == L"TEditForm") return window;
    }
    return nullptr;
}

HWND FindDialog(DWORD processId)
{
    for (HWND window : TopLevelWindows(processId)) {
        if (IsWindowVisible(window) && IsDialog(window)) return window;
    }
    return nullptr;
}

// Caption and, for a message box, its text.
std::string DescribeDialog(HWND dialog)
{
    std::string description = Quoted(WindowText(dialog));
    if (GetDlgItem(dialog, 0xFFFF)) description += " " + Quoted(MessageBoxText(dialog));
    return description;
}

std::vector<HWND> ChildWindows(HWND parent)
{
    std::vector<HWND> children;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM out) -> BOOL {
            try {
                reinterpret_cast<std::vector<HWND>*>(out)->push_back(child);
                return TRUE;
            } catch (...) {
                return FALSE;
            }
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

// "はい(&Y)" -> "はい", "&Save" -> "Save", "A && B" -> "A & B".
std::wstring ButtonLabel(std::wstring_view text)
{
    if (text.size() >= 4 && text.substr(text.size() - 4, 2) == L"(&" && text.back() == L')')
        text.remove_suffix(4);
    std::wstring label;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        label += text[i];
    }
    return label;
}

bool IsExtendedKey(WORD key)
{
    switch (key) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
    case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_INSERT: case VK_DELETE: case VK_DIVIDE: case VK_NUMLOCK:
    case VK_RCONTROL: case VK_RMENU:
        return true;
    default:
        return false;
    }
}

// The modifier keys of a chord, in pressing order.
std::vector<WORD> ModifierKeys(unsigned modifiers)
{
    std::vector<WORD> keys;
    if (modifiers & WithCtrl) keys.push_back(VK_CONTROL);
    if (modifiers & WithShift) keys.push_back(VK_SHIFT);
    if (modifiers & WithAlt) keys.push_back(VK_MENU);
    return keys;
}

INPUT KeyInput(WORD key, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

void BringToForeground(HWND window)
{
    SetForegroundWindow(window);
    const bool active = Poll(1s, [&] { return GetForegroundWindow() == window; });
    Expect(active, "the window did not come to the foreground");
}

void Send(std::vector<INPUT>& inputs)
{
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Expect(sent == inputs.size(), ErrorText("SendInput", GetLastError()));
}

LPARAM KeyLParam(WORD key, bool up, bool altDown)
{
    const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    LPARAM lParam = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16);
    if (IsExtendedKey(key)) lParam |= LPARAM{1} << 24;
    if (altDown) lParam |= LPARAM{1} << 29;
    if (up) lParam |= (LPARAM{1} << 30) | (LPARAM{1} << 31);
    return lParam;
}

void PostKey(HWND window, WORD key, bool up, bool altDown)
{
    // With Alt held every key is a system key, except the release of Alt
    // itself after another key, which must not open the menu.
    UINT message = up ? WM_KEYUP : WM_KEYDOWN;
    if (altDown && !(up && key == VK_MENU)) message = up ? WM_SYSKEYUP : WM_SYSKEYDOWN;
    PostMessageW(window, message, key, KeyLParam(key, up, altDown && !(up && key == VK_MENU)));
}

// The result of RegXxx calls: success, or "not found" where allowed.
void ExpectRegistry(LONG result, const char* what, const std::wstring& path)
{
    Expect(result == ERROR_SUCCESS,
           ErrorText(what, static_cast<DWORD>(result)) + " for HKCU\\" + Utf8(path));
}

HKEY CreateKey(const std::wstring& path, DWORD options = REG_OPTION_NON_VOLATILE)
{
    HKEY key = nullptr;
    ExpectRegistry(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, options,
                                   KEY_ALL_ACCESS, nullptr, &key, nullptr),
                   "RegCreateKeyExW", path);
    return key;
}

std::vector<BYTE> VersionBlock(const std::wstring& exePath)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(exePath.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(exePath.c_str(), 0, size, block.data())) return {};
    return block;
}

}  // namespace

// ---- Scenarios ---------------------------------------------------------------

void Fail(const std::string& reason) { throw Failure(reason); }

void Expect(bool condition, const std::string& reason)
{
    if (!condition) Fail(reason);
}

// ---- Text ----------------------------------------------------------------------

std::string Utf8(std::wstring_view text)
{
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()),
                                           text.size()));
}

std::wstring Wide(std::string_view utf8)
{
    const std::u16string text = Utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}

std::string Quoted(std::wstring_view text) { return "\"" + Utf8(text) + "\""; }

// ---- The editor process --------------------------------------------------------

std::wstring QuoteArgument(const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');  // before the closing quote
    quoted += L'"';
    return quoted;
}

Editor::Editor(const std::wstring& exePath, const std::vector<std::wstring>& args)
{
    std::wstring commandLine = QuoteArgument(exePath);
    for (const std::wstring& arg : args) commandLine += L' ' + QuoteArgument(arg);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info_))
        Fail(ErrorText("CreateProcessW", GetLastError()) + " for " + Quoted(exePath));
    CloseHandle(info_.hThread);
    info_.hThread = nullptr;
}

Editor::~Editor()
{
    if (IsRunning()) {
        TerminateProcess(info_.hProcess, 255);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hProcess);
}

bool Editor::IsRunning() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

HWND Editor::WaitForMainWindow(Timeout timeout) const
{
    HWND window = Poll(timeout, [&]() -> HWND {
        HWND found = FindMainWindow(ProcessId());
        if (!found && !IsRunning()) {
            DWORD code = 0;
            GetExitCodeProcess(info_.hProcess, &code);
            Fail("the editor exited with code " + std::to_string(code) +
                 " before showing its main window");
        }
        return found;
    });
    if (!window) {
        HWND dialog = FindDialog(ProcessId());
        Fail("no main window within " + Ms(timeout) +
             (dialog ? "; a dialog is open: " + DescribeDialog(dialog) : ""));
    }
    return window;
}

HWND Editor::WaitForDialog(Timeout timeout) const
{
    HWND dialog = Poll(timeout, [&] { return FindDialog(ProcessId()); });
    Expect(dialog != nullptr, "no dialog within " + Ms(timeout));
    return dialog;
}

HWND Editor::WaitForDialog(const std::function<bool(HWND)>& accept, const std::string& what,
                           Timeout timeout) const
{
    HWND dialog = Poll(timeout, [&]() -> HWND {
        for (HWND window : Dialogs())
            if (accept(window)) return window;
        return nullptr;
    });
    if (!dialog) {
        std::string open;
        for (HWND window : Dialogs()) open += (open.empty() ? "" : ", ") + DescribeDialog(window);
        Fail("no " + what + " within " + Ms(timeout) + (open.empty() ? "" : "; open: " + open));
    }
    return dialog;
}

HWND Editor::WaitForDialog(const std::wstring& caption, Timeout timeout) const
{
    return WaitForDialog([&](HWND window) { return WindowText(window) == caption; },
                         "dialog " + Quoted(caption), timeout);
}

std::vector<HWND> Editor::Dialogs() const
{
    std::vector<HWND> dialogs;
    for (HWND window : TopLevelWindows(ProcessId()))
        if (IsWindowVisible(window) && IsDialog(window)) dialogs.push_back(window);
    return dialogs;
}

void Editor::Close(HWND mainWindow) const
{
    Expect(PostMessageW(mainWindow, WM_CLOSE, 0, 0), ErrorText("PostMessageW(WM_CLOSE)", GetLastError()));
}

void Editor::DropFiles(HWND window, const std::vector<std::wstring>& paths) const
{
    // DROPFILES, then each path with its terminator, then one more.
    std::vector<BYTE> block(sizeof(DROPFILES));
    auto* header = reinterpret_cast<DROPFILES*>(block.data());
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::wstring list;
    for (const std::wstring& path : paths) list += path + L'\0';
    list += L'\0';
    const auto* bytes = reinterpret_cast<const BYTE*>(list.data());
    block.insert(block.end(), bytes, bytes + list.size() * sizeof(wchar_t));

    void* remote = VirtualAllocEx(info_.hProcess, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    Expect(remote != nullptr, ErrorText("VirtualAllocEx", GetLastError()));
    SIZE_T written = 0;
    Expect(WriteProcessMemory(info_.hProcess, remote, block.data(), block.size(), &written) && written == block.size(),
           ErrorText("WriteProcessMemory", GetLastError()));
    Expect(PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0),
           ErrorText("PostMessageW(WM_DROPFILES)", GetLastError()));
}

RECT Editor::ToolButtonRect(HWND toolBar, int index) const
{
    void* remote = VirtualAllocEx(info_.hProcess, nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    Expect(remote != nullptr, ErrorText("VirtualAllocEx", GetLastError()));
    DWORD_PTR found = 0;
    const bool answered = SendMessageTimeoutW(toolBar, TB_GETITEMRECT, static_cast<WPARAM>(index),
                                              reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                                              &found) != 0;
    RECT rect = {};
    SIZE_T read = 0;
    const bool copied = ReadProcessMemory(info_.hProcess, remote, &rect, sizeof rect, &read) && read == sizeof rect;
    VirtualFreeEx(info_.hProcess, remote, 0, MEM_RELEASE);
    Expect(answered && found, "the tool bar has no button " + std::to_string(index));
    Expect(copied, ErrorText("ReadProcessMemory", GetLastError()));
    MapWindowPoints(toolBar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::wstring Editor::StatusText(HWND statusBar, int panel) const
{
    DWORD_PTR packed = 0;
    Expect(SendMessageTimeoutW(statusBar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(panel), 0, SMTO_ABORTIFHUNG,
                               kSendTimeoutMs, &packed),
           "the status bar did not answer SB_GETTEXTLENGTHW");
    const size_t length = LOWORD(packed);
    const size_t bytes = (length + 1) * sizeof(wchar_t);
    void* remote = VirtualAllocEx(info_.hProcess, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    Expect(remote != nullptr, ErrorText("VirtualAllocEx", GetLastError()));
    DWORD_PTR ignored = 0;
    const bool answered = SendMessageTimeoutW(statusBar, SB_GETTEXTW, static_cast<WPARAM>(panel),
                                              reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                                              &ignored) != 0;
    std::wstring text(length + 1, L'\0');
    SIZE_T read = 0;
    const bool copied = ReadProcessMemory(info_.hProcess, remote, text.data(), bytes, &read) && read == bytes;
    VirtualFreeEx(info_.hProcess, remote, 0, MEM_RELEASE);
    Expect(answered, "the status bar did not answer SB_GETTEXTW");
    Expect(copied, ErrorText("ReadProcessMemory", GetLastError()));
    text.resize(wcsnlen(text.c_str(), length));
    return text;
}

namespace {

// A block in another process's memory for a message's answer, freed when it
// goes.
class RemoteBlock {
public:
    RemoteBlock(HANDLE process, size_t size) : process_(process), size_(size)
    {
        address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        Expect(address_ != nullptr, ErrorText("VirtualAllocEx", GetLastError()));
    }
    ~RemoteBlock() { VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    template <class T>
    T* At(size_t offset) const
    {
        return reinterpret_cast<T*>(static_cast<char*>(address_) + offset);
    }
    LPARAM Param() const { return reinterpret_cast<LPARAM>(address_); }
    void Write(size_t offset, const void* bytes, size_t size) const
    {
        SIZE_T written = 0;
        Expect(offset + size <= size_ &&
                   WriteProcessMemory(process_, At<char>(offset), bytes, size, &written) && written == size,
               ErrorText("WriteProcessMemory", GetLastError()));
    }
    void Read(size_t offset, void* bytes, size_t size) const
    {
        SIZE_T read = 0;
        Expect(offset + size <= size_ && ReadProcessMemory(process_, At<char>(offset), bytes, size, &read) &&
                   read == size,
               ErrorText("ReadProcessMemory", GetLastError()));
    }

private:
    HANDLE process_;
    size_t size_;
    void* address_ = nullptr;
};

LRESULT SendOrFail(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const char* what)
{
    DWORD_PTR result = 0;
    Expect(SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) != 0,
           std::string("no answer to ") + what);
    return static_cast<LRESULT>(result);
}

constexpr size_t kTextUnits = 520;

// The part of a rectangle (screen coordinates) inside the window's client
// area: a label wider than a narrow view is clicked where it shows.
RECT VisiblePart(HWND window, RECT rect)
{
    RECT client = {};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT visible = {};
    return IntersectRect(&visible, &rect, &client) ? visible : rect;
}

}  // namespace

std::vector<std::wstring> Editor::ListItems(HWND list) const
{
    const int count = static_cast<int>(SendOrFail(list, LVM_GETITEMCOUNT, 0, 0, "LVM_GETITEMCOUNT"));
    RemoteBlock block(info_.hProcess, sizeof(LVITEMW) + kTextUnits * sizeof(wchar_t));
    std::vector<std::wstring> captions;
    for (int i = 0; i < count; ++i) {
        LVITEMW item = {};
        item.iSubItem = 0;
        item.pszText = block.At<wchar_t>(sizeof(LVITEMW));
        item.cchTextMax = static_cast<int>(kTextUnits);
        block.Write(0, &item, sizeof item);
        const LRESULT length = SendOrFail(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), block.Param(),
                                          "LVM_GETITEMTEXTW");
        std::wstring text(kTextUnits, L'\0');
        block.Read(sizeof(LVITEMW), text.data(), kTextUnits * sizeof(wchar_t));
        text.resize(std::min<size_t>(static_cast<size_t>(std::max<LRESULT>(length, 0)), wcsnlen(text.c_str(), kTextUnits)));
        captions.push_back(text);
    }
    return captions;
}

RECT Editor::ListItemRect(HWND list, int index) const
{
    SendOrFail(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE, "LVM_ENSUREVISIBLE");
    RemoteBlock block(info_.hProcess, sizeof(RECT));
    RECT rect = {};
    rect.left = LVIR_LABEL;
    block.Write(0, &rect, sizeof rect);
    Expect(SendOrFail(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), block.Param(), "LVM_GETITEMRECT") != 0,
           "the list has no item " + std::to_string(index));
    block.Read(0, &rect, sizeof rect);
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return VisiblePart(list, rect);
}

std::vector<Editor::TreeNode> Editor::TreeNodes(HWND tree) const
{
    RemoteBlock block(info_.hProcess, sizeof(TVITEMW) + kTextUnits * sizeof(wchar_t));
    std::vector<TreeNode> nodes;
    const auto textOf = [&](HTREEITEM handle) {
        TVITEMW item = {};
        item.mask = TVIF_TEXT | TVIF_STATE | TVIF_HANDLE;
        item.hItem = handle;
        item.stateMask = TVIS_EXPANDED;
        item.pszText = block.At<wchar_t>(sizeof(TVITEMW));
        item.cchTextMax = static_cast<int>(kTextUnits);
        block.Write(0, &item, sizeof item);
        SendOrFail(tree, TVM_GETITEMW, 0, block.Param(), "TVM_GETITEMW");
        std::wstring text(kTextUnits, L'\0');
        block.Read(sizeof(TVITEMW), text.data(), kTextUnits * sizeof(wchar_t));
        block.Read(0, &item, sizeof item);
        text.resize(wcsnlen(text.c_str(), kTextUnits));
        return std::make_pair(text, (item.state & TVIS_EXPANDED) != 0);
    };
    const std::function<void(HTREEITEM, int)> walk = [&](HTREEITEM first, int level) {
        for (HTREEITEM at = first; at;
             at = reinterpret_cast<HTREEITEM>(SendOrFail(tree, TVM_GETNEXTITEM, TVGN_NEXT,
                                                         reinterpret_cast<LPARAM>(at), "TVM_GETNEXTITEM"))) {
            const auto [text, expanded] = textOf(at);
            nodes.push_back(TreeNode{at, text, level});
            if (expanded)
                walk(reinterpret_cast<HTREEITEM>(SendOrFail(tree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                            reinterpret_cast<LPARAM>(at), "TVM_GETNEXTITEM")),
                     level + 1);
        }
    };
    walk(reinterpret_cast<HTREEITEM>(SendOrFail(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0, "TVM_GETNEXTITEM")), 0);
    return nodes;
}

RECT Editor::TreeItemRect(HWND tree, HTREEITEM item) const
{
    SendOrFail(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item), "TVM_ENSUREVISIBLE");
    RemoteBlock block(info_.hProcess, sizeof(RECT));
    RECT rect = {};
    // TVM_GETITEMRECT takes the node's handle in the rectangle's place.
    block.Write(0, &item, sizeof item);
    Expect(SendOrFail(tree, TVM_GETITEMRECT, TRUE, block.Param(), "TVM_GETITEMRECT") != 0,
           "the tree's node is not shown");
    block.Read(0, &rect, sizeof rect);
    MapWindowPoints(tree, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return VisiblePart(tree, rect);
}

bool Editor::SelectedTreeNodeShown(HWND tree) const
{
    const auto item = reinterpret_cast<HTREEITEM>(SendOrFail(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, "TVM_GETNEXTITEM"));
    if (!item) return false;
    RemoteBlock block(info_.hProcess, sizeof(RECT));
    block.Write(0, &item, sizeof item);
    if (!SendOrFail(tree, TVM_GETITEMRECT, TRUE, block.Param(), "TVM_GETITEMRECT")) return false;
    RECT label = {};
    block.Read(0, &label, sizeof label);
    RECT client = {};
    GetClientRect(tree, &client);
    return label.top >= client.top && label.bottom <= client.bottom && label.left >= client.left &&
           label.left < client.right;
}

std::optional<DWORD> Editor::WaitForExit(Timeout timeout) const
{
    if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

// ---- Windows -------------------------------------------------------------------

std::wstring ClassName(HWND window)
{
    wchar_t name[256];
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? length : 0);
}

std::wstring WindowText(HWND window)
{
    DWORD_PTR length = 0;
    Expect(SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                               &length),
           "the window did not answer WM_GETTEXTLENGTH");
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    Expect(SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                               SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied),
           "the window did not answer WM_GETTEXT");
    text.resize(copied < text.size() ? copied : text.size() - 1);
    return text;
}

std::wstring ControlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    Expect(control != nullptr, "the dialog has no control " + std::to_string(id));
    return WindowText(control);
}

void SetControlText(HWND dialog, int id, const std::wstring& text)
{
    HWND control = GetDlgItem(dialog, id);
    Expect(control != nullptr, "the dialog has no control " + std::to_string(id));
    DWORD_PTR ignored = 0;
    Expect(SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored),
           "control " + std::to_string(id) + " did not answer WM_SETTEXT");
}

SIZE OuterSize(HWND window)
{
    RECT rect = {};
    Expect(GetWindowRect(window, &rect), ErrorText("GetWindowRect", GetLastError()));
    return {rect.right - rect.left, rect.bottom - rect.top};
}

SIZE ClientSize(HWND window)
{
    RECT rect = {};
    Expect(GetClientRect(window, &rect), ErrorText("GetClientRect", GetLastError()));
    return {rect.right, rect.bottom};
}

std::vector<Child> Children(HWND dialog)
{
    std::vector<Child> children;
    for (HWND window : ChildWindows(dialog)) {
        Child child;
        child.window = window;
        child.id = GetDlgCtrlID(window);
        child.className = ClassName(window);
        child.text = WindowText(window);
        GetWindowRect(window, &child.rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&child.rect), 2);
        child.visible = IsWindowVisible(window);
        child.enabled = IsWindowEnabled(window);
        children.push_back(std::move(child));
    }
    return children;
}

void ClickControl(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    Expect(control != nullptr, "the dialog has no control " + std::to_string(id));
    Expect(IsWindowEnabled(control), "control " + std::to_string(id) + " is disabled");
    Expect(PostMessageW(control, BM_CLICK, 0, 0), ErrorText("PostMessageW(BM_CLICK)", GetLastError()));
}

bool WaitForWindowGone(HWND window, Timeout timeout)
{
    return Poll(timeout, [&] { return !IsWindow(window); });
}

std::vector<HWND> TopLevelWindows(DWORD processId)
{
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            try {
                auto* s = reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == s->processId) s->found.push_back(window);
                return TRUE;
            } catch (...) {
                return FALSE;
            }
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void PostCommand(HWND window, int id)
{
    Expect(PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0),
           ErrorText("PostMessageW(WM_COMMAND)", GetLastError()));
}

HWND ToolBarOf(HWND mainWindow)
{
    HWND toolBar = FindWindowExW(mainWindow, nullptr, L"ToolbarWindow32", nullptr);
    Expect(toolBar != nullptr, "the main window has no tool bar");
    return toolBar;
}

bool ToolButtonEnabled(HWND toolBar, int commandId)
{
    DWORD_PTR enabled = 0;
    Expect(SendMessageTimeoutW(toolBar, TB_ISBUTTONENABLED, static_cast<WPARAM>(commandId), 0, SMTO_ABORTIFHUNG,
                               kSendTimeoutMs, &enabled),
           "the tool bar did not answer TB_ISBUTTONENABLED");
    return enabled != 0;
}

int ToolButtonImage(HWND toolBar, int commandId)
{
    DWORD_PTR image = 0;
    Expect(SendMessageTimeoutW(toolBar, TB_GETBITMAP, static_cast<WPARAM>(commandId), 0, SMTO_ABORTIFHUNG,
                               kSendTimeoutMs, &image),
           "the tool bar did not answer TB_GETBITMAP");
    return static_cast<int>(image);
}

namespace {

void ClickAt(HWND window, const RECT& rect, std::initializer_list<DWORD> presses)
{
    BringToForeground(window);
    const int x = (rect.left + rect.right) / 2;
    const int y = (rect.top + rect.bottom) / 2;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    std::vector<INPUT> inputs;
    std::vector<DWORD> steps{DWORD{MOUSEEVENTF_MOVE}};
    steps.insert(steps.end(), presses.begin(), presses.end());
    for (const DWORD flags : steps) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = static_cast<LONG>((x * 65535LL + width / 2) / std::max(width - 1, 1));
        input.mi.dy = static_cast<LONG>((y * 65535LL + height / 2) / std::max(height - 1, 1));
        input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
        inputs.push_back(input);
    }
    Send(inputs);
}

}  // namespace

void ClickAt(HWND window, const RECT& rect) { ClickAt(window, rect, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}); }

void DoubleClickAt(HWND window, const RECT& rect)
{
    ClickAt(window, rect,
            {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
}

void RightClickAt(HWND window, const RECT& rect) { ClickAt(window, rect, {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP}); }

HWND FindDescendant(HWND parent, const std::wstring& className)
{
    for (HWND child = FindWindowExW(parent, nullptr, nullptr, nullptr); child;
         child = FindWindowExW(parent, child, nullptr, nullptr)) {
        if (ClassName(child) == className) return child;
        if (HWND found = FindDescendant(child, className)) return found;
    }
    return nullptr;
}

namespace {

// Moves the mouse through the input queue to each point (screen coordinates).
void MoveMouseThrough(const std::vector<POINT>& points)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    std::vector<INPUT> inputs;
    for (const POINT point : points) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = static_cast<LONG>((point.x * 65535LL + width / 2) / std::max(width - 1, 1));
        input.mi.dy = static_cast<LONG>((point.y * 65535LL + height / 2) / std::max(height - 1, 1));
        input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
        inputs.push_back(input);
    }
    Send(inputs);
}

}  // namespace

void MoveMouseOver(HWND window, HWND target)
{
    BringToForeground(window);
    RECT rect = {};
    Expect(GetWindowRect(target, &rect), ErrorText("GetWindowRect", GetLastError()));
    const LONG spanX = rect.right - rect.left;
    const LONG spanY = rect.bottom - rect.top;
    MoveMouseThrough({{rect.left + spanX / 4, rect.top + spanY / 4}, {rect.left + spanX / 2, rect.top + spanY / 2}});
}

void ParkMouse()
{
    MoveMouseThrough({{GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1}});
}

HWND StatusBarOf(HWND mainWindow)
{
    HWND statusBar = FindWindowExW(mainWindow, nullptr, STATUSCLASSNAMEW, nullptr);
    Expect(statusBar != nullptr, "the main window has no status bar");
    return statusBar;
}

std::wstring MessageBoxText(HWND box) { return ControlText(box, 0xFFFF); }

void ClickButton(HWND dialog, std::wstring_view caption)
{
    const std::wstring wanted = ButtonLabel(caption);
    std::string seen;
    for (HWND child : ChildWindows(dialog)) {
        if (CompareStringOrdinal(ClassName(child).c_str(), -1, L"Button", -1, TRUE) != CSTR_EQUAL)
            continue;
        const std::wstring text = WindowText(child);
        if (ButtonLabel(text) == wanted) {
            Expect(PostMessageW(child, BM_CLICK, 0, 0), ErrorText("PostMessageW(BM_CLICK)", GetLastError()));
            return;
        }
        seen += (seen.empty() ? "" : ", ") + Quoted(text);
    }
    Fail("no button " + Quoted(caption) + " (buttons: " + seen + ")");
}

void FillFileDialog(HWND dialog, const std::wstring& path)
{
    SetControlText(dialog, 1148, path);
    HWND ok = GetDlgItem(dialog, IDOK);
    Expect(ok != nullptr, "the file dialog has no OK button");
    Expect(PostMessageW(ok, BM_CLICK, 0, 0), ErrorText("PostMessageW(BM_CLICK)", GetLastError()));
}

// ---- Keyboard ------------------------------------------------------------------

void PressKeys(HWND window, Chord chord)
{
    BringToForeground(window);
    const std::vector<WORD> modifiers = ModifierKeys(chord.modifiers);
    std::vector<INPUT> inputs;
    for (WORD m : modifiers) inputs.push_back(KeyInput(m, false));
    inputs.push_back(KeyInput(chord.key, false));
    inputs.push_back(KeyInput(chord.key, true));
    for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) inputs.push_back(KeyInput(*m, true));
    Send(inputs);
}

void TypeText(HWND window, std::wstring_view text)
{
    BringToForeground(window);
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = c;
            input.ki.dwFlags = KEYEVENTF_UNICODE | up;
            inputs.push_back(input);
        }
    }
    if (!inputs.empty()) Send(inputs);
}

void PostKeys(HWND window, Chord chord)
{
    const bool alt = chord.modifiers & WithAlt;
    const std::vector<WORD> modifiers = ModifierKeys(chord.modifiers);
    for (WORD m : modifiers) PostKey(window, m, false, alt);
    PostKey(window, chord.key, false, alt);
    PostKey(window, chord.key, true, alt);
    for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) PostKey(window, *m, true, alt);
}

void PostText(HWND window, std::wstring_view text)
{
    for (wchar_t c : text) PostMessageW(window, WM_CHAR, c, 1);
}

// ---- Registry (HKEY_CURRENT_USER) ----------------------------------------------

bool KeyExists(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void DeleteKeyTree(const std::wstring& path)
{
    const LONG result = RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    if (result != ERROR_FILE_NOT_FOUND) ExpectRegistry(result, "RegDeleteTreeW", path);
}

void CreateVolatileKey(const std::wstring& path)
{
    RegCloseKey(CreateKey(path, REG_OPTION_VOLATILE));
}

std::optional<std::wstring> ReadString(const std::wstring& path, const std::wstring& name)
{
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                     text.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

std::optional<DWORD> ReadDword(const std::wstring& path, const std::wstring& name)
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr,
                     &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

void WriteString(const std::wstring& path, const std::wstring& name, const std::wstring& value)
{
    HKEY key = CreateKey(path);
    const LONG result = RegSetValueExW(key, name.c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    ExpectRegistry(result, "RegSetValueExW", path);
}

void WriteDword(const std::wstring& path, const std::wstring& name, DWORD value)
{
    HKEY key = CreateKey(path);
    const LONG result = RegSetValueExW(key, name.c_str(), 0, REG_DWORD,
                                       reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
    ExpectRegistry(result, "RegSetValueExW", path);
}

void DeleteValue(const std::wstring& path, const std::wstring& name)
{
    const LONG result = RegDeleteKeyValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str());
    if (result != ERROR_FILE_NOT_FOUND) ExpectRegistry(result, "RegDeleteKeyValueW", path);
}

ScopedDword::ScopedDword(std::wstring path, std::wstring name, DWORD value)
    : path_(std::move(path)), name_(std::move(name)), previous_(ReadDword(path_, name_))
{
    WriteDword(path_, name_, value);
}

ScopedDword::~ScopedDword()
{
    try {
        if (previous_)
            WriteDword(path_, name_, *previous_);
        else
            DeleteValue(path_, name_);
    } catch (const Failure&) {
        // Nothing more to do from a destructor; the next scenario sets its own state.
    }
}

ScopedKeyRemoval::~ScopedKeyRemoval()
{
    try {
        DeleteKeyTree(path_);
    } catch (const Failure&) {
    }
}

// ---- Clipboard -------------------------------------------------------------------

namespace {

// The driver's own window to own what it puts on the clipboard (opened
// without an owner, the clipboard takes no data).
HWND ClipboardOwner()
{
    static const HWND owner =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
    Expect(owner != nullptr, ErrorText("CreateWindowExW", GetLastError()));
    return owner;
}

// Opens the clipboard, retrying while another process holds it; closes it
// when it goes out of scope.
class OpenedClipboard {
public:
    OpenedClipboard()
    {
        const HWND owner = ClipboardOwner();
        const bool opened = Poll(2s, [&] {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            return OpenClipboard(owner) != FALSE;
        });
        Expect(opened, ErrorText("OpenClipboard", GetLastError()));
    }
    ~OpenedClipboard() { CloseClipboard(); }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
};

}  // namespace

std::optional<std::wstring> ClipboardText()
{
    OpenedClipboard clipboard;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data) return std::nullopt;
    const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
    Expect(text != nullptr, ErrorText("GlobalLock", GetLastError()));
    const size_t units = GlobalSize(data) / sizeof(wchar_t);
    std::wstring result(text, wcsnlen(text, units));
    GlobalUnlock(data);
    return result;
}

void SetClipboardText(std::wstring_view text)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    Expect(block != nullptr, ErrorText("GlobalAlloc", GetLastError()));
    auto* units = static_cast<wchar_t*>(GlobalLock(block));
    std::copy(text.begin(), text.end(), units);
    units[text.size()] = L'\0';
    GlobalUnlock(block);
    OpenedClipboard clipboard;
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, block)) {
        const DWORD error = GetLastError();
        GlobalFree(block);
        Fail(ErrorText("SetClipboardData", error));
    }
}

void ClearClipboard()
{
    OpenedClipboard clipboard;
    Expect(EmptyClipboard(), ErrorText("EmptyClipboard", GetLastError()));
}

// ---- Files -----------------------------------------------------------------------

std::optional<FileStamp> StampOf(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info = {};
    const bool got = GetFileInformationByHandle(file, &info) != FALSE;
    CloseHandle(file);
    if (!got) return std::nullopt;
    return FileStamp{(ULONGLONG{info.ftLastWriteTime.dwHighDateTime} << 32) | info.ftLastWriteTime.dwLowDateTime,
                     info.dwVolumeSerialNumber,
                     (ULONGLONG{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

std::string Describe(const FileStamp& stamp)
{
    return "written " + std::to_string(stamp.lastWrite) + ", volume " + std::to_string(stamp.volume) +
           ", index " + std::to_string(stamp.index);
}

std::wstring FolderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

namespace {

// The names in a folder that match a wildcard pattern, files only.
std::vector<std::wstring> FilesMatching(const std::wstring& folder, const std::wstring& pattern)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data = {};
    HANDLE search = FindFirstFileW((folder + pattern).c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(data.cFileName);
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return names;
}

}  // namespace

ScratchProgram::ScratchProgram(const std::wstring& exePath)
{
    wchar_t temp[MAX_PATH];
    Expect(GetTempPathW(MAX_PATH, temp) > 0, ErrorText("GetTempPathW", GetLastError()));
    for (int attempt = 0; folder_.empty(); ++attempt) {
        const std::wstring candidate = std::wstring(temp) + L"kp-program-" + std::to_wstring(GetCurrentProcessId()) +
                                       L"-" + std::to_wstring(attempt) + L"\\";
        if (CreateDirectoryW(candidate.c_str(), nullptr))
            folder_ = candidate;
        else
            Expect(GetLastError() == ERROR_ALREADY_EXISTS && attempt < 100,
                   ErrorText("CreateDirectoryW", GetLastError()));
    }
    const std::wstring source = FolderOf(exePath);
    const std::wstring exeName = exePath.substr(source.size());
    std::vector<std::wstring> names = FilesMatching(source, L"*.dll");
    for (const std::wstring& name : FilesMatching(source, L"text?.txt")) names.push_back(name);
    names.push_back(exeName);
    for (const std::wstring& name : names)
        Expect(CopyFileW((source + name).c_str(), (folder_ + name).c_str(), TRUE),
               ErrorText("CopyFileW", GetLastError()) + " for " + Quoted(name));
    exePath_ = folder_ + exeName;
}

ScratchProgram::~ScratchProgram()
{
    for (const std::wstring& name : FilesMatching(folder_, L"*")) DeleteFileW((folder_ + name).c_str());
    RemoveDirectoryW(folder_.c_str());
}

void SaveScreen(const std::wstring& path)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, as BMP files store it
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits,
                                      nullptr, 0);
    bool copied = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        copied = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        GdiFlush();
        SelectObject(memory, old);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!copied) {
        if (bitmap) DeleteObject(bitmap);
        Fail("cannot copy the screen");
    }
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + imageSize;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&header), sizeof(header));
    bytes.append(static_cast<const char*>(bits), imageSize);
    DeleteObject(bitmap);
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    Expect(out != INVALID_HANDLE_VALUE, ErrorText("CreateFileW", GetLastError()) + " for " + Quoted(path));
    DWORD written = 0;
    const BOOL ok = WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(out);
    Expect(ok && written == bytes.size(), "cannot write " + Quoted(path));
}

std::optional<std::wstring> VersionString(const std::wstring& exePath, const std::wstring& name)
{
    std::vector<BYTE> block = VersionBlock(exePath);
    if (block.empty()) return std::nullopt;
    struct Translation {
        WORD language;
        WORD codePage;
    }* translations = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translations), &size) ||
        size < sizeof(Translation))
        return std::nullopt;
    wchar_t query[64];
    swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\", translations->language,
             translations->codePage);
    wchar_t* value = nullptr;
    if (!VerQueryValueW(block.data(), (query + name).c_str(), reinterpret_cast<void**>(&value), &size))
        return std::nullopt;
    return std::wstring(value, wcsnlen(value, size));
}

std::optional<std::vector<int>> FileVersion(const std::wstring& exePath)
{
    std::vector<BYTE> block = VersionBlock(exePath);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    if (block.empty() ||
        !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) ||
        size < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    return std::vector<int>{HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                            HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
}

// ---- Process health ---------------------------------------------------------------

std::optional<ProcessMemory> MemoryOf(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) return std::nullopt;
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    const bool read = GetProcessMemoryInfo(process, &counters, sizeof counters) != FALSE;
    CloseHandle(process);
    if (!read) return std::nullopt;
    return ProcessMemory{counters.WorkingSetSize, counters.PeakWorkingSetSize};
}

bool Answers(HWND window, Timeout timeout)
{
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeout.count()), &ignored) != 0;
}

}  // namespace kp::e2e

// ---- Command line --------------------------------------------------------------

namespace {

using kp::e2e::Scenario;

void Print(const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int Usage()
{
    std::fputs("usage: kpdriver.exe --exe PATH [--only NAME]... [--shots FOLDER]\n"
               "       kpdriver.exe --list\n",
               stderr);
    return 2;
}

const Scenario* FindScenario(const std::string& name)
{
    for (const Scenario& s : kp::e2e::AllScenarios())
        if (name == s.name) return &s;
    return nullptr;
}

// Runs one scenario; returns the reason it failed, or nothing.
std::optional<std::string> RunOne(const Scenario& scenario, kp::e2e::Context& context)
{
    try {
        scenario.run(context);
        return std::nullopt;
    } catch (const std::exception& e) {
        return std::string(e.what());
    } catch (...) {
        return std::string("unknown exception");
    }
}

int RunAll(const std::vector<const Scenario*>& scenarios, kp::e2e::Context& context)
{
    int passed = 0;
    int failed = 0;
    for (const Scenario* scenario : scenarios) {
        if (auto reason = RunOne(*scenario, context)) {
            Print(std::string("[FAIL] ") + scenario->name + ": " + *reason);
            ++failed;
        } else {
            Print(std::string("[ OK ] ") + scenario->name);
            ++passed;
        }
    }
    Print(std::to_string(passed) + " passed, " + std::to_string(failed) + " failed");
    return failed == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    // Window rectangles in physical pixels, whatever the editor's awareness.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    // Under Wine, GetDpiForWindow on another process's window answers with the
    // DPI of the desktop process, which starts with the first window and reads
    // LogPixels then. Start it now, before a scenario changes LogPixels for
    // the editors it starts.
    GetDesktopWindow();

    kp::e2e::Context context;
    std::vector<const Scenario*> selected;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--list") {
            for (const Scenario& s : kp::e2e::AllScenarios()) Print(s.name);
            return 0;
        } else if (arg == L"--exe" && i + 1 < argc) {
            context.exePath = argv[++i];
        } else if (arg == L"--shots" && i + 1 < argc) {
            context.shotFolder = argv[++i];
            if (!context.shotFolder.empty() && context.shotFolder.back() != L'\\') context.shotFolder += L'\\';
        } else if (arg == L"--only" && i + 1 < argc) {
            const std::string name = kp::e2e::Utf8(argv[++i]);
            const Scenario* scenario = FindScenario(name);
            if (!scenario) {
                std::fprintf(stderr, "kpdriver: no scenario named %s\n", name.c_str());
                return 2;
            }
            selected.push_back(scenario);
        } else {
            return Usage();
        }
    }
    if (context.exePath.empty()) return Usage();
    if (selected.empty())
        for (const Scenario& s : kp::e2e::AllScenarios()) selected.push_back(&s);
    return RunAll(selected, context);
}
