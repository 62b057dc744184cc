// The settings table is data other code relies on: its shape is checked here.

#include "settings/SettingsKeys.h"

#include "base/Color.h"
#include "base/Error.h"
#include "base/Utf.h"
#include "platform/registry/SimRegistry.h"

#include <gtest/gtest.h>

#include <set>

namespace kp::settings {
namespace {

TEST(SettingsKeys, ShortcutKeysAreTheFortyOneCommandsInStoredOrder)
{
    const char* const order[] = {
        "New", "Open", "Save", "SaveAs", "LastTimeFile", "Print", "Exit", "Undo", "Copy",
        "AddCopy", "Cut", "AddCut", "Cutting", "Paste", "Delete", "SelectAll", "CopyAll",
        "CutAll", "FontBig", "FontSmall", "Text1", "Text2", "Text3", "Text4", "Text5", "Text6",
        "Text7", "Text8", "Text9", "Find", "FindNext", "Replace", "Count", "ToolBar", "Explore",
        "Refresh", "LeftEnter", "DateTime", "EditorSetup", "Contents", "About"};
    ASSERT_EQ(std::size(order), kShortCutKeys.size());
    for (size_t i = 0; i < kShortCutKeys.size(); ++i) EXPECT_EQ(kShortCutKeys[i].ident, order[i]);

    std::set<std::string_view> withShortcut;
    for (const Setting& s : kShortCutKeys)
        if (!s.defaultText.empty()) withShortcut.insert(s.ident);
    EXPECT_EQ(withShortcut.size(), 22u);
    EXPECT_EQ(FindShortCutKey("FindNext")->defaultText, "F3");
    EXPECT_EQ(FindShortCutKey("AddCut")->defaultText, "Ctrl+T");
    EXPECT_EQ(FindShortCutKey("Text7")->defaultText, "Ctrl+7");
    EXPECT_EQ(FindShortCutKey("Nothing"), nullptr);
}

TEST(SettingsKeys, NoIdentIsListedTwiceInOneSection)
{
    std::set<std::string> seen;
    auto key = [](const Setting& s) {
        std::string folded;
        for (char16_t c : Utf8ToUtf16(std::string(s.section) + "/" + std::string(s.ident)))
            folded += static_cast<char>(FoldCase(c) & 0x7F);
        return folded;
    };
    for (const Setting* s : AllScalarSettings()) EXPECT_TRUE(seen.insert(key(*s)).second) << s->ident;
    for (const Setting& s : kTemplateCaptions) EXPECT_TRUE(seen.insert(key(s)).second) << s.ident;
    for (const Setting& s : kShortCutKeys) EXPECT_TRUE(seen.insert(key(s)).second) << s.ident;
}

TEST(SettingsKeys, NumericDefaultsAreStoredIntegers)
{
    for (const Setting* s : AllScalarSettings()) {
        if (s->type == SettingType::String) continue;
        int32_t value = 0;
        EXPECT_TRUE(ParseStoredInteger(s->defaultText, value)) << s->ident;
        if (s->otherReader != Reader::Default) {
            EXPECT_TRUE(ParseStoredInteger(s->otherDefaultText, value)) << s->ident;
        }
        if (s->type == SettingType::Flag) {
            EXPECT_TRUE(s->defaultText == "0" || s->defaultText == "1") << s->ident;
        }
    }
}

// On an empty store every read gives the documented default for its reader.
TEST(SettingsKeys, AFreshStoreReadsTheDefaults)
{
    platform::SimRegistry registry;
    TRegIniFile store(registry, std::string(kProgramKey));

    EXPECT_EQ(ReadInteger(store, FileHistoryMenu), 6);
    EXPECT_EQ(ReadString(store, FileOpenDlgDir), "C:\\My Documents");
    EXPECT_EQ(ReadInteger(store, FileBackupTime), 30);
    EXPECT_EQ(ReadString(store, SetupDate), "yy/mm/dd");
    EXPECT_EQ(ReadString(store, SetupTime), "hh:nn:ss");
    EXPECT_EQ(ReadColour(store, VisualBgColor), clWindow);
    EXPECT_EQ(ReadColour(store, VisualFontColor), clBlack);
    EXPECT_EQ(ReadInteger(store, VisualPanelWidth), 120);
    EXPECT_TRUE(ReadBool(store, VisualToolBar));
    EXPECT_TRUE(ReadBool(store, SetupDialog));
    EXPECT_EQ(ReadString(store, kTemplateCaptions[0]), "定義文書1(&1)");
    EXPECT_EQ(ReadString(store, kTemplateCaptions[8]), "定義文書9(&9)");

    // The four save switches: off for the main window, on for the dialog.
    for (const Setting* s : {&SetupFolderSave, &SetupVisualSave, &SetupShortCutSave, &SetupWindowSave}) {
        EXPECT_FALSE(ReadBool(store, *s)) << s->ident;
        EXPECT_FALSE(ReadBool(store, *s, Reader::MenuCheck)) << s->ident;
        EXPECT_TRUE(ReadBool(store, *s, Reader::Dialog)) << s->ident;
    }
    // LastTimeFile: checked in the menu, false for every other reader.
    EXPECT_TRUE(ReadBool(store, FileLastTimeFile, Reader::MenuCheck));
    EXPECT_FALSE(ReadBool(store, FileLastTimeFile));
    EXPECT_FALSE(ReadBool(store, FileLastTimeFile, Reader::Dialog));
    EXPECT_TRUE(ReadBool(store, SetupDateTimeSave, Reader::Dialog));

    // None of these reads created a section.
    platform::RegKey key;
    ASSERT_EQ(registry.OpenKey(kProgramKey, platform::RegAccess::Read, key), platform::RegStatus::Ok);
    std::vector<std::string> sections;
    registry.EnumSubKeys(key, sections);
    EXPECT_TRUE(sections.empty());
}

// A colour is the 32-bit value behind the stored signed integer, whichever
// form the text takes; what cannot be read as an integer is the default.
TEST(SettingsKeys, ColoursReadAndWriteAsTheirThirtyTwoBitValue)
{
    platform::SimRegistry registry;
    TRegIniFile store(registry, std::string(kProgramKey));
    const struct {
        const char* stored;
        TColor colour;
    } cases[] = {
        {"-2147483643", clWindow},
        {"-2147483640", clWindowText},
        {"0x80000008", clWindowText},
        {"0x00FF0000", RGBColor(0, 0, 0xFF)},
        {"255", RGBColor(0xFF, 0, 0)},
        {"0", clBlack},
        {"", clWindow},
        {"blue", clWindow},
        {"0x100000000", clWindow},
    };
    for (const auto& c : cases) {
        store.WriteString("Visual", "BgColor", c.stored);
        EXPECT_EQ(ReadColour(store, VisualBgColor), c.colour) << c.stored;
    }

    for (TColor colour : {clWindow, clWindowText, RGBColor(0x12, 0x34, 0x56), TColor{0xFFFFFFFFu}}) {
        WriteColour(store, VisualFontColor, colour);
        EXPECT_EQ(ReadColour(store, VisualFontColor), colour);
    }
    WriteColour(store, VisualFontColor, clWindow);
    EXPECT_EQ(store.ReadString("Visual", "FontColor", ""), "-2147483643");
}

// Where a failure must not stop the caller, a flag that cannot be read is
// its default for that reader; a readable one is what it says.
TEST(SettingsKeys, AFlagOfTheWrongTypeReadsAsItsDefaultWhereAsked)
{
    platform::SimRegistry registry;
    TRegIniFile store(registry, std::string(kProgramKey));
    platform::RegKey key;
    ASSERT_EQ(registry.CreateKey(std::string(kProgramKey) + "\\Setup", key), platform::RegStatus::Ok);
    for (const char* ident : {"Dialog", "WindowSave"})
        ASSERT_EQ(registry.SetRaw(key, ident, platform::RegType::Dword, std::string("\0\0\0\0", 4)),
                  platform::RegStatus::Ok);

    EXPECT_THROW(ReadBool(store, SetupDialog), Error);
    EXPECT_TRUE(ReadBoolOrDefault(store, SetupDialog));
    EXPECT_FALSE(ReadBoolOrDefault(store, SetupWindowSave));
    EXPECT_TRUE(ReadBoolOrDefault(store, SetupWindowSave, Reader::Dialog));

    store.WriteString("Setup", "Dialog", "0");
    EXPECT_FALSE(ReadBoolOrDefault(store, SetupDialog));
    store.WriteString("Setup", "WindowSave", "1");
    EXPECT_TRUE(ReadBoolOrDefault(store, SetupWindowSave));
}

}  // namespace
}  // namespace kp::settings
