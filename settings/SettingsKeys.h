#pragma once
// Every stored setting of the editor: section, ident, type and default, in one
// place. Callers read and write through these entries instead of repeating
// literals (see SettingsAccess below).

#include "base/Color.h"
#include "settings/RegIniFile.h"

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace kp::settings {

// The program's key under HKEY_CURRENT_USER.
inline constexpr std::string_view kProgramKey = "Software\\Tamarind\\Kestrelpad";
// The recent-file list lives in its own key directly under HKEY_CURRENT_USER.
inline constexpr std::string_view kHistoryKey = "History";

enum class SettingType { String, Integer, Flag, Colour, Shortcut };

// Who reads a setting. Most settings have one default for everybody; a few
// are read with another default by the settings dialog, and File/LastTimeFile
// by the menu check mark set when the main window is created.
enum class Reader { Default, Dialog, MenuCheck };

struct Setting {
    std::string_view section;
    std::string_view ident;
    SettingType type;
    std::string_view defaultText;  // the default in stored form ("6", "1", "", ...)
    Reader otherReader = Reader::Default;
    std::string_view otherDefaultText = {};

    std::string_view DefaultFor(Reader reader) const
    {
        return reader != Reader::Default && reader == otherReader ? otherDefaultText : defaultText;
    }
};

// ---- Section File ----
inline constexpr Setting FileHistoryMenu{"File", "HistoryMenu", SettingType::Integer, "6"};
inline constexpr Setting FileLastTimeFile{"File", "LastTimeFile", SettingType::Flag, "0",
                                          Reader::MenuCheck, "1"};
inline constexpr Setting FileFileName{"File", "FileName", SettingType::String, ""};
inline constexpr Setting FileBackup{"File", "Backup", SettingType::Flag, "0"};
inline constexpr Setting FileBackupTime{"File", "BackupTime", SettingType::Integer, "30"};
inline constexpr Setting FileOpenDlgDir{"File", "OpenDlgDir", SettingType::String, "C:\\My Documents"};
inline constexpr Setting FileSaveDlgDir{"File", "SaveDlgDir", SettingType::String, "C:\\My Documents"};
inline constexpr Setting FileFolder{"File", "Folder", SettingType::String, ""};

// ---- Section Setup ----
// The date and time formats are stored under the spelling "SetUp"; section
// names match without regard to case, so it is the one section Setup.
inline constexpr Setting SetupFileName{"Setup", "FileName", SettingType::Flag, "0"};
inline constexpr Setting SetupDialog{"Setup", "Dialog", SettingType::Flag, "1"};
inline constexpr Setting SetupFolderSave{"Setup", "FolderSave", SettingType::Flag, "0",
                                         Reader::Dialog, "1"};
inline constexpr Setting SetupVisualSave{"Setup", "VisualSave", SettingType::Flag, "0",
                                         Reader::Dialog, "1"};
inline constexpr Setting SetupDateTimeSave{"Setup", "DateTimeSave", SettingType::Flag, "1"};
inline constexpr Setting SetupShortCutSave{"Setup", "ShortCutSave", SettingType::Flag, "0",
                                           Reader::Dialog, "1"};
inline constexpr Setting SetupWindowSave{"Setup", "WindowSave", SettingType::Flag, "0",
                                         Reader::Dialog, "1"};
inline constexpr Setting SetupOpenDlgFilter{"Setup", "OpenDlgFilter", SettingType::Integer, "1"};
inline constexpr Setting SetupSaveDlgFilter{"Setup", "SaveDlgFilter", SettingType::Integer, "1"};
inline constexpr Setting SetupDate{"SetUp", "Date", SettingType::String, "yy/mm/dd"};
inline constexpr Setting SetupTime{"SetUp", "Time", SettingType::String, "hh:nn:ss"};
inline constexpr Setting SetupDateIndex{"SetUp", "DateIndex", SettingType::Integer, "0"};
inline constexpr Setting SetupTimeIndex{"SetUp", "TimeIndex", SettingType::Integer, "0"};

// ---- Section Visual ----
inline constexpr Setting VisualToolBar{"Visual", "ToolBar", SettingType::Flag, "1"};
inline constexpr Setting VisualExplore{"Visual", "Explore", SettingType::Flag, "1"};
inline constexpr Setting VisualWordWrap{"Visual", "WordWrap", SettingType::Flag, "0"};
inline constexpr Setting VisualFileListIcon{"Visual", "FileListIcon", SettingType::Integer, "0"};
inline constexpr Setting VisualPanelStyle{"Visual", "PanelStyle", SettingType::Integer, "0"};
inline constexpr Setting VisualPanelWidth{"Visual", "PanelWidth", SettingType::Integer, "120"};
inline constexpr Setting VisualPanelHeight{"Visual", "PanelHeight", SettingType::Integer, "80"};
inline constexpr Setting VisualTreeViewWidth{"Visual", "TreeViewWidth", SettingType::Integer, "160"};
inline constexpr Setting VisualTreeViewHeight{"Visual", "TreeViewHeight", SettingType::Integer, "240"};
inline constexpr Setting VisualFormWidth{"Visual", "FormWidth", SettingType::Integer, "480"};
inline constexpr Setting VisualFormHeight{"Visual", "FormHeight", SettingType::Integer, "320"};
inline constexpr Setting VisualFormLeft{"Visual", "FormLeft", SettingType::Integer, "0"};
inline constexpr Setting VisualFormTop{"Visual", "FormTop", SettingType::Integer, "0"};
inline constexpr Setting VisualWindowState{"Visual", "WindowState", SettingType::Integer, "0"};
// The window background system colour, 0x80000005.
inline constexpr Setting VisualBgColor{"Visual", "BgColor", SettingType::Colour, "-2147483643"};
inline constexpr Setting VisualFontSize{"Visual", "FontSize", SettingType::Integer, "12"};
inline constexpr Setting VisualFontColor{"Visual", "FontColor", SettingType::Colour, "0"};
inline constexpr Setting VisualFontName{"Visual", "FontName", SettingType::String, ""};
inline constexpr Setting VisualParagraphLetter{"Visual", "ParagraphLetter", SettingType::Flag, "0"};

// ---- Section Text: the captions of the nine template commands ----
inline constexpr std::array<Setting, 9> kTemplateCaptions{{
    {"Text", "T1", SettingType::String, "定義文書1(&1)"},
    {"Text", "T2", SettingType::String, "定義文書2(&2)"},
    {"Text", "T3", SettingType::String, "定義文書3(&3)"},
    {"Text", "T4", SettingType::String, "定義文書4(&4)"},
    {"Text", "T5", SettingType::String, "定義文書5(&5)"},
    {"Text", "T6", SettingType::String, "定義文書6(&6)"},
    {"Text", "T7", SettingType::String, "定義文書7(&7)"},
    {"Text", "T8", SettingType::String, "定義文書8(&8)"},
    {"Text", "T9", SettingType::String, "定義文書9(&9)"},
}};

// ---- Section ShortCutKey: one shortcut text per menu command ----
// In the order in which they are read and written; the ident is also the
// command's key everywhere else in the program.
inline constexpr std::string_view kShortCutSection = "ShortCutKey";
inline constexpr std::array<Setting, 41> kShortCutKeys{{
    {kShortCutSection, "New", SettingType::Shortcut, "Ctrl+N"},
    {kShortCutSection, "Open", SettingType::Shortcut, "Ctrl+O"},
    {kShortCutSection, "Save", SettingType::Shortcut, "Ctrl+S"},
    {kShortCutSection, "SaveAs", SettingType::Shortcut, ""},
    {kShortCutSection, "LastTimeFile", SettingType::Shortcut, ""},
    {kShortCutSection, "Print", SettingType::Shortcut, ""},
    {kShortCutSection, "Exit", SettingType::Shortcut, ""},
    {kShortCutSection, "Undo", SettingType::Shortcut, "Ctrl+Z"},
    {kShortCutSection, "Copy", SettingType::Shortcut, "Ctrl+C"},
    {kShortCutSection, "AddCopy", SettingType::Shortcut, "Ctrl+P"},
    {kShortCutSection, "Cut", SettingType::Shortcut, "Ctrl+X"},
    {kShortCutSection, "AddCut", SettingType::Shortcut, "Ctrl+T"},
    {kShortCutSection, "Cutting", SettingType::Shortcut, ""},
    {kShortCutSection, "Paste", SettingType::Shortcut, "Ctrl+V"},
    {kShortCutSection, "Delete", SettingType::Shortcut, ""},
    {kShortCutSection, "SelectAll", SettingType::Shortcut, "Ctrl+A"},
    {kShortCutSection, "CopyAll", SettingType::Shortcut, ""},
    {kShortCutSection, "CutAll", SettingType::Shortcut, ""},
    {kShortCutSection, "FontBig", SettingType::Shortcut, ""},
    {kShortCutSection, "FontSmall", SettingType::Shortcut, ""},
    {kShortCutSection, "Text1", SettingType::Shortcut, "Ctrl+1"},
    {kShortCutSection, "Text2", SettingType::Shortcut, "Ctrl+2"},
    {kShortCutSection, "Text3", SettingType::Shortcut, "Ctrl+3"},
    {kShortCutSection, "Text4", SettingType::Shortcut, "Ctrl+4"},
    {kShortCutSection, "Text5", SettingType::Shortcut, "Ctrl+5"},
    {kShortCutSection, "Text6", SettingType::Shortcut, "Ctrl+6"},
    {kShortCutSection, "Text7", SettingType::Shortcut, "Ctrl+7"},
    {kShortCutSection, "Text8", SettingType::Shortcut, "Ctrl+8"},
    {kShortCutSection, "Text9", SettingType::Shortcut, "Ctrl+9"},
    {kShortCutSection, "Find", SettingType::Shortcut, "Ctrl+F"},
    {kShortCutSection, "FindNext", SettingType::Shortcut, "F3"},
    {kShortCutSection, "Replace", SettingType::Shortcut, "Ctrl+R"},
    {kShortCutSection, "Count", SettingType::Shortcut, ""},
    {kShortCutSection, "ToolBar", SettingType::Shortcut, ""},
    {kShortCutSection, "Explore", SettingType::Shortcut, ""},
    {kShortCutSection, "Refresh", SettingType::Shortcut, ""},
    {kShortCutSection, "LeftEnter", SettingType::Shortcut, ""},
    {kShortCutSection, "DateTime", SettingType::Shortcut, ""},
    {kShortCutSection, "EditorSetup", SettingType::Shortcut, ""},
    {kShortCutSection, "Contents", SettingType::Shortcut, ""},
    {kShortCutSection, "About", SettingType::Shortcut, ""},
}};

// Every setting of the sections File, Setup and Visual (the template captions
// and shortcuts are in the arrays above).
std::span<const Setting* const> AllScalarSettings();

// The shortcut entry for a command key; nullptr for an unknown key.
const Setting* FindShortCutKey(std::string_view commandKey);

// Typed access through a table entry, with the entry's default for reader.
std::string ReadString(const TRegIniFile& store, const Setting& setting, Reader reader = Reader::Default);
int32_t ReadInteger(const TRegIniFile& store, const Setting& setting, Reader reader = Reader::Default);
bool ReadBool(const TRegIniFile& store, const Setting& setting, Reader reader = Reader::Default);
void WriteString(TRegIniFile& store, const Setting& setting, std::string_view value);
void WriteInteger(TRegIniFile& store, const Setting& setting, int32_t value);
void WriteBool(TRegIniFile& store, const Setting& setting, bool value);
// Colours are stored as the signed 32-bit integer of the colour value, so
// "-2147483643" is the window-background system colour (0x80000005) and
// "0x00FF0000" pure blue.
TColor ReadColour(const TRegIniFile& store, const Setting& setting, Reader reader = Reader::Default);
void WriteColour(TRegIniFile& store, const Setting& setting, TColor value);

// A flag read where a failure must not stop the caller (the close query and
// the close, which must let the window go): a value that cannot be read,
// such as one stored with another registry type, gives the default.
bool ReadBoolOrDefault(const TRegIniFile& store, const Setting& setting, Reader reader = Reader::Default);

}  // namespace kp::settings
