// The editor settings dialog driven from the keyboard: opened from the View
// menu, a value changed and confirmed is stored and shown again after a
// restart; a number that is not whole is refused with a message and stores
// nothing.

#include "tests/e2e/ScenarioKit.h"

#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>
#include <climits>
#include <cstdint>

#include <string>
#include <vector>

namespace kp::e2e {

namespace {

const std::wstring kFileSection = kSettingsKey + L"\\File";

// From the View menu by keyboard: Alt+V, then Up (from the first item to
// the last, "エディタ設定(&E)...") and Enter. The access key cannot reach
// it here: two items share "(&E)", and under Wine the menu closes at the
// first E instead of moving on to the next item with it.
HWND OpenSetup(const Editor& editor, HWND window)
{
    PressKeys(window, {'V', WithAlt});
    Sleep(200);
    // Straight into the input queue: the open menu keeps the keyboard.
    for (const WORD key : {WORD{VK_UP}, WORD{VK_RETURN}}) {
        INPUT inputs[2] = {};
        for (int i = 0; i < 2; ++i) {
            inputs[i].type = INPUT_KEYBOARD;
            inputs[i].ki.wVk = key;
            inputs[i].ki.dwFlags = (i ? KEYEVENTF_KEYUP : 0) | (key == VK_UP ? KEYEVENTF_EXTENDEDKEY : 0);
        }
        Expect(SendInput(2, inputs, sizeof(INPUT)) == 2, "SendInput failed on the View menu");
        Sleep(200);
    }
    const HWND dialog = editor.WaitForDialog(L"エディタ設定");
    Expect(!IsWindowEnabled(window), "the main window stays enabled under the settings dialog");
    return dialog;
}

// The dialog lives for the run: closing hides it.
bool Hidden(HWND dialog)
{
    for (int attempt = 0; attempt < 100; ++attempt, Sleep(50))
        if (!IsWindow(dialog) || !IsWindowVisible(dialog)) return true;
    return false;
}

std::wstring Stored(const std::wstring& name) { return ReadString(kFileSection, name).value_or(L"(missing)"); }

// OK's steps run once the dialog window is gone: waits for the value.
bool StoredSoon(const std::wstring& name, const std::wstring& value)
{
    for (int attempt = 0; attempt < 60; ++attempt, Sleep(50))
        if (Stored(name) == value) return true;
    return false;
}

bool ShowsEditWith(HWND dialog, const std::wstring& text)
{
    for (const Child& child : Children(dialog))
        if (child.visible && child.text == text &&
            CompareStringOrdinal(child.className.c_str(), -1, L"Edit", -1, TRUE) == CSTR_EQUAL)
            return true;
    return false;
}

void BackupIntervalIsStoredRefusedAndKeptAcrossARestart(Context& context)
{
    ForgetSettings();
    {
        Editor editor(context.exePath);
        const HWND window = editor.WaitForMainWindow();
        HWND dialog = OpenSetup(editor, window);
        const SIZE client = ClientSize(dialog);
        Expect(client.cx == 345 && client.cy == 212,
               "client area " + std::to_string(client.cx) + " x " + std::to_string(client.cy) + ", not 345 x 212");
        Snapshot(context, "setup-date-page");
        // From the date page back to "ファイル", check the backup, type 5.
        PressKeys(dialog, {VK_TAB, WithCtrl | WithShift});
        PressKeys(dialog, {'B', WithAlt});
        PressKeys(dialog, {VK_TAB});
        PressKeys(dialog, {'A', WithCtrl});
        TypeText(dialog, L"5");
        Snapshot(context, "setup-file-page");
        PressKeys(dialog, {VK_RETURN});
        Expect(Hidden(dialog), "OK did not close the settings dialog");
        Expect(StoredSoon(L"Backup", L"1"), "File/Backup is not \"1\" after OK");
        Expect(StoredSoon(L"BackupTime", L"5"), "File/BackupTime is not \"5\" after OK");

        Expect(IsWindowEnabled(window), "the main window stays disabled after OK");

        // Letters as the interval: an error naming the field, nothing stored.
        // The same window shows again.
        const HWND first = dialog;
        dialog = OpenSetup(editor, window);
        Expect(dialog == first, "the settings dialog is a new window at its second showing");
        PressKeys(dialog, {'B', WithAlt});
        PressKeys(dialog, {'B', WithAlt});
        PressKeys(dialog, {VK_TAB});
        PressKeys(dialog, {'A', WithCtrl});
        TypeText(dialog, L"abc");
        PressKeys(dialog, {VK_RETURN});
        const HWND message = editor.WaitForDialog([](HWND w) { return GetDlgItem(w, 0xFFFF) != nullptr; },
                                                  "the error message");
        Expect(MessageBoxText(message) == L"バックアップの間隔には整数を入力してください。",
               "the message does not name the interval");
        ClickButton(message, L"OK");
        Expect(IsWindow(dialog) && IsWindowVisible(dialog), "the settings dialog closed on a refused interval");
        Expect(ShowsEditWith(dialog, L"abc"), "the refused interval is not shown again");
        PressKeys(dialog, {VK_ESCAPE});
        Expect(Hidden(dialog), "Escape did not close the settings dialog");
        Expect(Stored(L"BackupTime") == L"5", "a refused interval changed File/BackupTime");
        editor.Close(window);
        ExpectExitCode(editor, 0, 5s);
    }
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    const HWND dialog = OpenSetup(editor, window);
    PressKeys(dialog, {VK_TAB, WithCtrl | WithShift});
    Snapshot(context, "setup-after-restart");
    Expect(ShowsEditWith(dialog, L"5"), "after a restart the interval box does not show 5");
    PressKeys(dialog, {VK_ESCAPE});
    editor.Close(window);
    ExpectExitCode(editor, 0, 5s);
}

const Child& VisibleChild(HWND dialog, const wchar_t* className)
{
    static std::vector<Child> children;
    children = Children(dialog);
    for (const Child& child : children)
        if (child.visible && CompareStringOrdinal(child.className.c_str(), -1, className, -1, TRUE) == CSTR_EQUAL)
            return child;
    Fail("the settings dialog shows no " + Quoted(className));
}

// The node of the shortcut tree at a position in display order (all
// expanded), and the screen rectangle of a point on its label: tree messages
// that carry no pointers work across processes.
HTREEITEM TreeNodeAt(HWND tree, int position)
{
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    for (int i = 0; item && i < position; ++i)
        item = reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(item)));
    return item;
}

RECT LabelPoint(HWND tree, HTREEITEM item, int level)
{
    auto row = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
    int rows = 0;
    for (; row && row != item; ++rows)
        row = reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(row)));
    const int height = static_cast<int>(SendMessageW(tree, TVM_GETITEMHEIGHT, 0, 0));
    const int indent = static_cast<int>(SendMessageW(tree, TVM_GETINDENT, 0, 0));
    POINT at{indent * (level + 1) + 12, rows * height + height / 2};
    ClientToScreen(tree, &at);
    return RECT{at.x - 1, at.y - 1, at.x + 1, at.y + 1};
}

// A command clicked in the shortcut page's tree takes the combination
// pressed in the key box at once; it works in the main window and is
// stored at close.
void ShortCutAssignedInTheDialogWorksAndIsStored(Context& context)
{
    ForgetSettings();
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    const HWND dialog = OpenSetup(editor, window);
    PressKeys(dialog, {VK_TAB, WithCtrl});
    PressKeys(dialog, {VK_TAB, WithCtrl});
    const HWND tree = VisibleChild(dialog, L"SysTreeView32").window;
    const HWND box = VisibleChild(dialog, L"msctls_hotkey32").window;
    // "右端で折り返す", the 44th node: selected as the keyboard would, which
    // leaves the box alone, then clicked.
    const HTREEITEM node = TreeNodeAt(tree, 43);
    Expect(node != nullptr, "the shortcut tree has fewer than 44 nodes");
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
    SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(node));
    ClickAt(dialog, LabelPoint(tree, node, 1));
    Sleep(200);
    Expect(IsWindowEnabled(box), "the key box is disabled after a click on a command");
    RECT boxRect{};
    GetWindowRect(box, &boxRect);
    ClickAt(dialog, boxRect);
    PressKeys(dialog, {'W', WithCtrl});
    WORD typed = 0;
    for (int attempt = 0; attempt < 40 && typed != MAKEWORD('W', HOTKEYF_CONTROL); ++attempt, Sleep(50))
        typed = LOWORD(SendMessageW(box, HKM_GETHOTKEY, 0, 0));
    Expect(typed == MAKEWORD('W', HOTKEYF_CONTROL), "the key box holds " + std::to_string(typed) + ", not Ctrl+W");
    PressKeys(dialog, {VK_TAB});
    PressKeys(dialog, {VK_SPACE});
    Sleep(200);
    Snapshot(context, "setup-shortcut-page");
    PressKeys(dialog, {VK_TAB, WithCtrl});
    Snapshot(context, "setup-explorer-page");
    PressKeys(dialog, {VK_TAB, WithCtrl});
    Snapshot(context, "setup-templates-page");
    PressKeys(dialog, {'O', WithAlt});
    Expect(Hidden(dialog), "Alt+O did not close the settings dialog");
    TypeText(window, std::wstring(300, L'x'));
    // Word wrap makes the memo window anew: each count asks the current one.
    const auto lines = [window] { return SendMessageW(WaitForMemo(window), EM_GETLINECOUNT, 0, 0); };
    const LRESULT before = lines();
    PressKeys(window, {'W', WithCtrl});
    bool wrapped = false;
    for (int attempt = 0; attempt < 40 && !wrapped; ++attempt, Sleep(50)) wrapped = lines() > before;
    Snapshot(context, "setup-after-ctrl-w");
    Expect(wrapped, "Ctrl+W did not wrap the long line (" + std::to_string(before) + " lines before, " +
                        std::to_string(lines()) + " after)");
    CloseDiscardingChanges(editor, window);
    Expect(ReadString(kSettingsKey + L"\\ShortCutKey", L"LeftEnter") == L"Ctrl+W",
           "ShortCutKey/LeftEnter is not \"Ctrl+W\"");
}

// The longest run of dark pixels along any row of a window's client area,
// read from the screen.
int LongestDarkRun(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const int width = client.right, height = client.bottom;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = -height;  // top-down
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap =
        CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    int longest = 0;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
        GdiFlush();
        const auto* pixels = static_cast<const uint32_t*>(bits);
        for (int y = 0; y < height; ++y) {
            int run = 0;
            for (int x = 0; x < width; ++x) {
                const uint32_t p = pixels[y * width + x];
                const bool dark = ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 3 * 128;
                run = dark ? run + 1 : 0;
                longest = std::max(longest, run);
            }
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return longest;
}

// The pixels of a window's client area, read from the screen.
std::vector<uint32_t> Pixels(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const int width = client.right, height = client.bottom;
    std::vector<uint32_t> pixels(static_cast<size_t>(std::max(width, 0)) * static_cast<size_t>(std::max(height, 0)));
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = -height;  // top-down
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap =
        CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && !pixels.empty()) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
        GdiFlush();
        std::copy_n(static_cast<const uint32_t*>(bits), pixels.size(), pixels.begin());
        SelectObject(memory, old);
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// "改行文字の表示(&E)" checked on the display page: after OK the memo
// shows a mark at each line's end, and the choice is stored at close.
void NewlineMarksCheckedInTheDialogShowAndAreStored(Context& context)
{
    ForgetSettings();
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    for (int line = 0; line < 8; ++line) {
        TypeText(window, L"a");
        PressKeys(window, {VK_RETURN});
    }
    PressKeys(window, {VK_HOME, WithCtrl});  // the caret away from where marks go
    Sleep(300);
    const std::vector<uint32_t> plain = Pixels(WaitForMemo(window));
    const HWND dialog = OpenSetup(editor, window);
    PressKeys(dialog, {VK_TAB, WithCtrl});  // "表示"
    PressKeys(dialog, {'E', WithAlt});
    bool checked = false;
    for (int attempt = 0; attempt < 20 && !checked; ++attempt, Sleep(50))
        for (const Child& child : Children(dialog))
            checked = checked || (child.visible && child.text == L"改行文字の表示(&E)" &&
                                  SendMessageW(child.window, BM_GETCHECK, 0, 0) == BST_CHECKED);
    Expect(checked, "Alt+E did not check \"改行文字の表示(&E)\"");
    PressKeys(dialog, {'O', WithAlt});
    Expect(Hidden(dialog), "Alt+O did not close the settings dialog");
    Sleep(500);
    Snapshot(context, "setup-newline-marks");
    const std::vector<uint32_t> marked = Pixels(WaitForMemo(window));
    size_t changed = 0;
    for (size_t i = 0; i < std::min(plain.size(), marked.size()); ++i) changed += plain[i] != marked[i];
    Expect(plain.size() == marked.size() && changed > 8 * 10,
           "the memo shows no newline marks (" + std::to_string(changed) + " pixels changed)");
    CloseDiscardingChanges(editor, window);
    Expect(ReadString(kSettingsKey + L"\\Visual", L"ParagraphLetter") == L"1",
           "Visual/ParagraphLetter is not \"1\" after closing");
}

// Underline and strikeout chosen in the font dialog show in the sample and,
// after OK, under and through the memo's text.
void FontEffectsReachTheMemo(Context& context)
{
    ForgetSettings();
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    TypeText(window, L"i.i.i.i.i.i.i.i.i.i.i.i.i.i.i.i.i.i.i.i");
    const HWND memo = WaitForMemo(window);
    // The least of several looks, after a repaint: a look taken while the
    // window is still being mapped or painted sees a dark block, not text.
    RedrawWindow(memo, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    int plain = INT_MAX;
    for (int look = 0; look < 6; ++look, Sleep(100)) plain = std::min(plain, LongestDarkRun(memo));
    const HWND dialog = OpenSetup(editor, window);
    PressKeys(dialog, {VK_TAB, WithCtrl});  // "表示"
    PressKeys(dialog, {'F', WithAlt});
    const HWND fonts = editor.WaitForDialog([](HWND w) { return GetDlgItem(w, cmb1) && GetDlgItem(w, chx2); },
                                            "the font dialog");
    ClickControl(fonts, chx1);  // strikeout
    ClickControl(fonts, chx2);  // underline
    Sleep(200);
    Expect(IsDlgButtonChecked(fonts, chx1) && IsDlgButtonChecked(fonts, chx2),
           "the font dialog's strikeout and underline are not checked");
    ClickControl(fonts, IDOK);
    Expect(WaitForWindowGone(fonts), "the font dialog did not close");
    Sleep(200);
    Snapshot(context, "setup-display-page");
    PressKeys(dialog, {'O', WithAlt});
    Expect(Hidden(dialog), "Alt+O did not close the settings dialog");
    int lined = 0;
    for (int look = 0; look < 20 && lined <= plain + 40; ++look, Sleep(100))
        lined = LongestDarkRun(WaitForMemo(window));
    Snapshot(context, "setup-memo-underlined");
    Expect(lined > plain + 40, "no line under or through the memo's text (longest dark run " +
                                   std::to_string(plain) + " before, " + std::to_string(lined) + " after)");
    CloseDiscardingChanges(editor, window);
}

}  // namespace

const std::vector<Scenario>& SetupScenarios()
{
    static const std::vector<Scenario> scenarios = {
        {"backup-interval-is-stored-refused-and-kept-across-a-restart",
         BackupIntervalIsStoredRefusedAndKeptAcrossARestart},
        {"shortcut-assigned-in-the-dialog-works-and-is-stored", ShortCutAssignedInTheDialogWorksAndIsStored},
        {"font-effects-chosen-in-the-dialog-reach-the-memo", FontEffectsReachTheMemo},
        {"newline-marks-checked-in-the-dialog-show-and-are-stored", NewlineMarksCheckedInTheDialogShowAndAreStored},
    };
    return scenarios;
}

}  // namespace kp::e2e
