#pragma once
// What the end-to-end scenarios share: the settings key, waits and checks on
// the editor's windows, files in a temporary folder, answering message boxes.
// Each *Scenarios.cpp file holds the scenarios of one subsystem.

#include "tests/e2e/Driver.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kp::e2e {

inline const std::wstring kSettingsKey = L"Software\\Tamarind\\Kestrelpad";
inline const std::wstring kVendorKey = L"Software\\Tamarind";
inline const std::wstring kNewFileCaption = L"[NewFile] - Kestrelpad";
inline const std::wstring kSaveQuestion = L"文書が変更されています。保存しますか？";

void ForgetSettings();
void ExpectCaption(HWND window, const std::wstring& expected);
void ExpectExitCode(const Editor& editor, DWORD expected, Timeout timeout);

// The memo of the main window, once it exists.
HWND WaitForMemo(HWND mainWindow);
// The selection in byte offsets (EM_GETSEL's packed result: fine for the
// small documents of these scenarios).
std::pair<int, int> Selection(HWND memo);
// Waits for the memo to hold the text and selection, then checks both.
void ExpectMemo(HWND memo, const std::wstring& text, std::pair<int, int> selection);

// A folder of the driver's own under the temporary folder, ending in a backslash.
std::wstring TempFolder();
void WriteBytes(const std::wstring& path, const std::string& bytes);
std::optional<std::string> ReadBytes(const std::wstring& path);

// The text of the program's task-bar entry: its application window.
std::wstring ApplicationTitle(HWND mainWindow);
// A message box of the editor: its text, then the button pressed.
void AnswerMessage(Editor& editor, const std::wstring& text, std::wstring_view button);

// Fails if the editor shows a dialog within the time (a message box it
// should not raise); the dialogs listed in `besides` (already open) are fine.
void ExpectNoDialog(const Editor& editor, Timeout during, const std::vector<HWND>& besides = {});

// Waits for a status bar panel to read the text, then checks it.
void ExpectStatus(const Editor& editor, HWND statusBar, int panel, const std::wstring& text);
// Waits for the clipboard to hold the text, then checks it.
void ExpectClipboard(const std::wstring& text);
// Waits for the file to hold the bytes, then checks it.
void ExpectFileBytes(const std::wstring& path, const std::string& bytes, Timeout timeout = 3s);
// Bytes for a message: printable ASCII as is, anything else as \xHH.
std::string Printable(const std::string& bytes);

// Saves a screenshot as <name>.bmp in the folder --shots names, if any.
void Snapshot(const Context& context, const std::string& name);

// Turns stored shortcuts on and stores the given ones: {command, shortcut text}.
void StoreShortCuts(const std::vector<std::pair<std::wstring, std::wstring>>& shortCuts);

// Closes the editor, answers No to the save question and expects a clean exit.
void CloseDiscardingChanges(Editor& editor, HWND window);

// Each subsystem's scenarios, in running order.
const std::vector<Scenario>& StartupScenarios();
const std::vector<Scenario>& MemoScenarios();
const std::vector<Scenario>& FileScenarios();
const std::vector<Scenario>& EditScenarios();
const std::vector<Scenario>& FindScenarios();
const std::vector<Scenario>& DialogScenarios();
const std::vector<Scenario>& PrintScenarios();
const std::vector<Scenario>& SetupScenarios();
const std::vector<Scenario>& LongLineScenarios();
const std::vector<Scenario>& ExplorerScenarios();
const std::vector<Scenario>& SoakScenarios();

}  // namespace kp::e2e
