// The editor settings dialog driven from the keyboard: a value changed and
// confirmed is stored and shown again after a restart; a number that is not
// whole is refused with a message and stores nothing.

#include "tests/e2e/ScenarioKit.h"

#include <string>
#include <vector>

namespace kp::e2e {

namespace {

constexpr WORD kSetupKey = VK_F7;
const std::wstring kFileSection = kSettingsKey + L"\\File";

HWND OpenSetup(const Editor& editor, HWND window)
{
    PressKeys(window, {kSetupKey});
    const HWND dialog = editor.WaitForDialog(L"エディタ設定");
    Expect(!IsWindowEnabled(window), "the main window stays enabled under the settings dialog");
    return dialog;
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
    StoreShortCuts({{L"EditorSetup", L"F7"}});
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
        Expect(WaitForWindowGone(dialog) || !IsWindowVisible(dialog), "OK did not close the settings dialog");
        Expect(StoredSoon(L"Backup", L"1"), "File/Backup is not \"1\" after OK");
        Expect(StoredSoon(L"BackupTime", L"5"), "File/BackupTime is not \"5\" after OK");

        // Letters as the interval: an error naming the field, nothing stored.
        dialog = OpenSetup(editor, window);
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
        Expect(WaitForWindowGone(dialog) || !IsWindowVisible(dialog), "Escape did not close the settings dialog");
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

// A command chosen in the shortcut page's list takes the combination typed
// into the key box at once; it works in the main window and is stored at
// close.
void ShortCutAssignedInTheDialogWorksAndIsStored(Context& context)
{
    ForgetSettings();
    StoreShortCuts({{L"EditorSetup", L"F7"}});
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    const HWND dialog = OpenSetup(editor, window);
    PressKeys(dialog, {VK_TAB, WithCtrl});
    PressKeys(dialog, {VK_TAB, WithCtrl});
    const Child& list = VisibleChild(dialog, L"ComboBox");
    const LRESULT node = SendMessageW(list.window, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(L"  右端で折り返す"));
    Expect(node >= 0, "the command list has no \"右端で折り返す\"");
    SendMessageW(list.window, CB_SETCURSEL, static_cast<WPARAM>(node), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(list.id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list.window));
    const Child& key = VisibleChild(dialog, L"Edit");
    Expect(key.enabled, "the key box is disabled for a command");
    SetControlText(dialog, key.id, L"Ctrl+W");
    ClickButton(dialog, L"ショートカット更新(&S)");
    Sleep(200);
    Snapshot(context, "setup-shortcut-page");
    PressKeys(dialog, {'O', WithAlt});
    Expect(WaitForWindowGone(dialog) || !IsWindowVisible(dialog), "Alt+O did not close the settings dialog");
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

}  // namespace

const std::vector<Scenario>& SetupScenarios()
{
    static const std::vector<Scenario> scenarios = {
        {"backup-interval-is-stored-refused-and-kept-across-a-restart",
         BackupIntervalIsStoredRefusedAndKeptAcrossARestart},
        {"shortcut-assigned-in-the-dialog-works-and-is-stored", ShortCutAssignedInTheDialogWorksAndIsStored},
    };
    return scenarios;
}

}  // namespace kp::e2e
