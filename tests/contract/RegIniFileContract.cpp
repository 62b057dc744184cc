// The settings store's value encoding, run over every registry
// implementation so that the rules hold against the real registry too.

#include "tests/contract/RegIniFileContract.h"

#include "base/Error.h"
#include "base/Color.h"
#include "settings/RegIniFile.h"
#include "settings/SettingsKeys.h"

namespace kp::test {

using platform::JoinKeyPath;
using platform::RegAccess;
using platform::RegKey;
using platform::RegStatus;
using platform::RegType;

void RemoveScratchKey(platform::Registry& registry, const std::string& path)
{
    platform::DeleteSubKeysRecursively(registry, path);
    const size_t cut = path.rfind('\\');
    RegKey parent;
    if (registry.OpenKey(path.substr(0, cut), RegAccess::Full, parent) == RegStatus::Ok)
        registry.DeleteSubKey(parent, path.substr(cut + 1));
}

void RegIniFileContract::SetUp()
{
    registry = GetParam().make();
    root = ScratchKeyPath();
    RemoveScratchKey(*registry, root);
}

void RegIniFileContract::TearDown()
{
    RemoveScratchKey(*registry, root);
}

namespace {

// Plants a value of any type directly in the registry.
void Plant(platform::Registry& registry, const std::string& path, std::string_view name,
           RegType type, std::string_view bytes)
{
    RegKey key;
    ASSERT_EQ(registry.CreateKey(path, key), RegStatus::Ok);
    ASSERT_EQ(registry.SetRaw(key, name, type, bytes), RegStatus::Ok);
}

void PlantText(platform::Registry& registry, const std::string& path, std::string_view name,
               std::string_view text)
{
    RegKey key;
    ASSERT_EQ(registry.CreateKey(path, key), RegStatus::Ok);
    ASSERT_EQ(registry.SetString(key, name, text), RegStatus::Ok);
}

std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no failure)";
}

}  // namespace

TEST_P(RegIniFileContract, OpeningTheStoreCreatesTheKeyAndItsParents)
{
    TRegIniFile store(*registry, JoinKeyPath(root, "Tamarind\\Kestrelpad"));
    RegKey key;
    EXPECT_EQ(registry->OpenKey(JoinKeyPath(root, "Tamarind\\Kestrelpad"), RegAccess::Read, key),
              RegStatus::Ok);
}

TEST_P(RegIniFileContract, IntegersAreDecimalTextAndReadBack)
{
    TRegIniFile store(*registry, root);
    for (const int32_t value : {0, 6, -1, 2147483647, -2147483647 - 1}) {
        store.WriteInteger("File", "HistoryMenu", value);
        EXPECT_EQ(store.ReadString("File", "HistoryMenu", "?"), std::to_string(value));
        EXPECT_EQ(store.ReadInteger("File", "HistoryMenu", 99), value);
    }
}

TEST_P(RegIniFileContract, IntegerTextsAndTheirReadings)
{
    TRegIniFile store(*registry, root);
    const std::string section = JoinKeyPath(root, "Visual");
    struct Case {
        const char* text;
        int32_t expected;  // read with default 77
    } const cases[] = {
        {"12", 12}, {"-5", -5}, {"+5", 5}, {"007", 7},
        {"0x10", 16}, {"0XfF", 255}, {"0x00FF0000", 0x00FF0000},
        {"0x80000005", static_cast<int32_t>(0x80000005u)}, {"0xFFFFFFFF", -1},
        {"-2147483643", static_cast<int32_t>(0x80000005u)},
        {"", 77}, {"0x", 77}, {"0X", 77}, {"x10", 77}, {"12a", 77}, {" 12", 77}, {"12 ", 77},
        {"1.5", 77}, {"-", 77}, {"0x123456789", 77}, {"0xG", 77}, {"2147483648", 77},
        {"-2147483649", 77}, {"９", 77}, {"-0x10", 77},
    };
    for (const Case& c : cases) {
        PlantText(*registry, section, "FontSize", c.text);
        EXPECT_EQ(store.ReadInteger("Visual", "FontSize", 77), c.expected) << '"' << c.text << '"';
    }
}

TEST_P(RegIniFileContract, FlagsAreZeroOrOneAndAnyNonZeroIntegerIsTrue)
{
    TRegIniFile store(*registry, root);
    store.WriteBool("Setup", "Dialog", true);
    EXPECT_EQ(store.ReadString("Setup", "Dialog", ""), "1");
    store.WriteBool("Setup", "Dialog", false);
    EXPECT_EQ(store.ReadString("Setup", "Dialog", ""), "0");
    EXPECT_FALSE(store.ReadBool("Setup", "Dialog", true));

    const std::string section = JoinKeyPath(root, "Setup");
    for (const char* text : {"2", "-1", "0x10"}) {
        PlantText(*registry, section, "Dialog", text);
        EXPECT_TRUE(store.ReadBool("Setup", "Dialog", false)) << text;
    }
    for (const char* text : {"yes", "", "true"}) {
        PlantText(*registry, section, "Dialog", text);
        EXPECT_TRUE(store.ReadBool("Setup", "Dialog", true)) << text;
        EXPECT_FALSE(store.ReadBool("Setup", "Dialog", false)) << text;
    }
}

TEST_P(RegIniFileContract, StringsKeepAnExistingEmptyValue)
{
    TRegIniFile store(*registry, root);
    EXPECT_EQ(store.ReadString("File", "FileName", "def"), "def");
    store.WriteString("File", "FileName", "");
    EXPECT_EQ(store.ReadString("File", "FileName", "def"), "");
    store.WriteString("File", "FileName", "C:\\文書\\表.txt");
    EXPECT_EQ(store.ReadString("File", "FileName", "def"), "C:\\文書\\表.txt");
}

TEST_P(RegIniFileContract, ExpandableStringsReadAsStrings)
{
    TRegIniFile store(*registry, root);
    RegKey key;
    ASSERT_EQ(registry->CreateKey(JoinKeyPath(root, "File"), key), RegStatus::Ok);
    ASSERT_EQ(registry->SetString(key, "OpenDlgDir", "%HOME%\\x", RegType::ExpandString),
              RegStatus::Ok);
    EXPECT_EQ(store.ReadString("File", "OpenDlgDir", ""), "%HOME%\\x");
    ASSERT_EQ(registry->SetString(key, "HistoryMenu", "9", RegType::ExpandString), RegStatus::Ok);
    EXPECT_EQ(store.ReadInteger("File", "HistoryMenu", 6), 9);
}

TEST_P(RegIniFileContract, ColoursStoreAsSignedIntegers)
{
    TRegIniFile store(*registry, root);
    settings::WriteInteger(store, settings::VisualBgColor, static_cast<int32_t>(clWindow));
    EXPECT_EQ(store.ReadString("Visual", "BgColor", ""), "-2147483643");
    EXPECT_EQ(static_cast<TColor>(settings::ReadInteger(store, settings::VisualBgColor)), clWindow);

    PlantText(*registry, JoinKeyPath(root, "Visual"), "BgColor", "0x00FF0000");
    EXPECT_EQ(static_cast<TColor>(settings::ReadInteger(store, settings::VisualBgColor)),
              RGBColor(0, 0, 255));
}

TEST_P(RegIniFileContract, NonStringValuesFailEveryTypedRead)
{
    TRegIniFile store(*registry, root);
    const std::string section = JoinKeyPath(root, "Visual");
    Plant(*registry, section, "FontSize", RegType::Dword, std::string("\x0C\0\0\0", 4));
    Plant(*registry, section, "FontName", RegType::Binary, "MS");
    Plant(*registry, section, "BgColor", RegType::MultiString, std::string("a\0\0", 3));

    EXPECT_EQ(MessageOf([&] { store.ReadInteger("Visual", "FontSize", 12); }),
              "'FontSize' のﾃﾞｰﾀ型が不正です");
    EXPECT_EQ(MessageOf([&] { store.ReadString("Visual", "FontName", ""); }),
              "'FontName' のﾃﾞｰﾀ型が不正です");
    EXPECT_EQ(MessageOf([&] { store.ReadBool("visual", "bgcolor", false); }),
              "'bgcolor' のﾃﾞｰﾀ型が不正です");
}

TEST_P(RegIniFileContract, SectionsAndIdentsMatchWithoutRegardToCase)
{
    TRegIniFile store(*registry, root);
    store.WriteString("SetUp", "Date", "yyyy/mm/dd");
    EXPECT_EQ(store.ReadString("Setup", "Date", ""), "yyyy/mm/dd");
    store.WriteString("Setup", "TIME", "hh:nn");
    EXPECT_EQ(store.ReadString("SETUP", "time", ""), "hh:nn");
    EXPECT_EQ(settings::ReadString(store, settings::SetupDate), "yyyy/mm/dd");

    std::vector<std::string> sections;
    RegKey key;
    ASSERT_EQ(registry->OpenKey(root, RegAccess::Read, key), RegStatus::Ok);
    ASSERT_EQ(registry->EnumSubKeys(key, sections), RegStatus::Ok);
    EXPECT_EQ(sections.size(), 1u);
}

TEST_P(RegIniFileContract, ReadingAMissingSectionCreatesNothing)
{
    TRegIniFile store(*registry, root);
    EXPECT_EQ(store.ReadString("Visual", "FontName", "x"), "x");
    EXPECT_EQ(store.ReadInteger("Visual", "FontSize", 12), 12);
    EXPECT_TRUE(store.ReadBool("Visual", "ToolBar", true));
    RegKey key;
    EXPECT_EQ(registry->OpenKey(JoinKeyPath(root, "Visual"), RegAccess::Read, key),
              RegStatus::NotFound);
}

TEST_P(RegIniFileContract, WritesThatThePlatformRefusesFailWithTheirMessages)
{
    TRegIniFile store(*registry, root);
    const std::string longSection(300, 's');
    EXPECT_EQ(MessageOf([&] { store.WriteString(longSection, "v", "x"); }),
              "ｷｰ " + longSection + " の作成に失敗しました");
    EXPECT_EQ(MessageOf([&] { store.WriteInteger(longSection, "v", 1); }),
              "ｷｰ " + longSection + " の作成に失敗しました");

    // Values written before a failure stay written.
    store.WriteString("File", "FileName", "a.txt");
    EXPECT_THROW(store.WriteBool(longSection, "v", true), Error);
    EXPECT_EQ(store.ReadString("File", "FileName", ""), "a.txt");
}

TEST_P(RegIniFileContract, EraseAllSectionsLeavesTheKeyAndEverythingElse)
{
    const std::string program = JoinKeyPath(root, "Software\\Tamarind\\Kestrelpad");
    TRegIniFile store(*registry, program);
    TRegIniFile history(*registry, root);
    history.WriteInteger("History", "Count", 1);
    history.WriteString("History", "H0", "C:\\a.txt");
    for (const settings::Setting& s : settings::kShortCutKeys) settings::WriteString(store, s, s.defaultText);
    store.WriteString("Visual", "FontName", "ＭＳ ゴシック");
    PlantText(*registry, JoinKeyPath(program, "File\\Nested\\Deeper"), "v", "x");

    EXPECT_TRUE(store.EraseAllSections());

    RegKey key;
    ASSERT_EQ(registry->OpenKey(program, RegAccess::Read, key), RegStatus::Ok);
    std::vector<std::string> sections;
    ASSERT_EQ(registry->EnumSubKeys(key, sections), RegStatus::Ok);
    EXPECT_TRUE(sections.empty());
    EXPECT_EQ(history.ReadString("History", "H0", ""), "C:\\a.txt");
    EXPECT_EQ(history.ReadInteger("History", "Count", 0), 1);
}

TEST_P(RegIniFileContract, AnEmptyKeyPathAddressesTheRootItself)
{
    TRegIniFile user(*registry, "");
    TRegIniFile scratch(*registry, root);
    scratch.WriteString("Sec", "v", "here");
    const std::string relative = root + "\\Sec";
    EXPECT_EQ(user.ReadString(relative, "v", ""), "here");
}

}  // namespace kp::test
