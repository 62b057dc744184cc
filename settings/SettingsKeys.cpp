#include "settings/SettingsKeys.h"

#include "base/Error.h"

namespace kp::settings {

namespace {

constexpr const Setting* kScalarSettings[] = {
    &FileHistoryMenu, &FileLastTimeFile, &FileFileName, &FileBackup, &FileBackupTime,
    &FileOpenDlgDir, &FileSaveDlgDir, &FileFolder,
    &SetupFileName, &SetupDialog, &SetupFolderSave, &SetupVisualSave, &SetupDateTimeSave,
    &SetupShortCutSave, &SetupWindowSave, &SetupOpenDlgFilter, &SetupSaveDlgFilter,
    &SetupDate, &SetupTime, &SetupDateIndex, &SetupTimeIndex,
    &VisualToolBar, &VisualExplore, &VisualWordWrap, &VisualFileListIcon, &VisualPanelStyle,
    &VisualPanelWidth, &VisualPanelHeight, &VisualTreeViewWidth, &VisualTreeViewHeight,
    &VisualFormWidth, &VisualFormHeight, &VisualFormLeft, &VisualFormTop, &VisualWindowState,
    &VisualBgColor, &VisualFontSize, &VisualFontColor, &VisualFontName, &VisualParagraphLetter,
};

int32_t DefaultInteger(const Setting& setting, Reader reader)
{
    int32_t value = 0;
    ParseStoredInteger(setting.DefaultFor(reader), value);
    return value;
}

}  // namespace

std::span<const Setting* const> AllScalarSettings() { return kScalarSettings; }

const Setting* FindShortCutKey(std::string_view commandKey)
{
    for (const Setting& setting : kShortCutKeys)
        if (setting.ident == commandKey) return &setting;
    return nullptr;
}

std::string ReadString(const TRegIniFile& store, const Setting& setting, Reader reader)
{
    return store.ReadString(setting.section, setting.ident, setting.DefaultFor(reader));
}

int32_t ReadInteger(const TRegIniFile& store, const Setting& setting, Reader reader)
{
    return store.ReadInteger(setting.section, setting.ident, DefaultInteger(setting, reader));
}

bool ReadBool(const TRegIniFile& store, const Setting& setting, Reader reader)
{
    return store.ReadBool(setting.section, setting.ident, DefaultInteger(setting, reader) != 0);
}

void WriteString(TRegIniFile& store, const Setting& setting, std::string_view value)
{
    store.WriteString(setting.section, setting.ident, value);
}

void WriteInteger(TRegIniFile& store, const Setting& setting, int32_t value)
{
    store.WriteInteger(setting.section, setting.ident, value);
}

void WriteBool(TRegIniFile& store, const Setting& setting, bool value)
{
    store.WriteBool(setting.section, setting.ident, value);
}

TColor ReadColour(const TRegIniFile& store, const Setting& setting, Reader reader)
{
    return static_cast<TColor>(ReadInteger(store, setting, reader));
}

void WriteColour(TRegIniFile& store, const Setting& setting, TColor value)
{
    WriteInteger(store, setting, static_cast<int32_t>(value));
}

bool ReadBoolOrDefault(const TRegIniFile& store, const Setting& setting, Reader reader)
{
    try {
        return ReadBool(store, setting, reader);
    } catch (const Error&) {
        return DefaultInteger(setting, reader) != 0;
    }
}

}  // namespace kp::settings
