// The recent-files list and menu against the simulated registry and locale:
// the list's move-to-front rule, the items and captions it appends, loading
// and saving its registry values, silence on registry failures, choosing.

#include "history/HistMenu.h"

#include "base/Error.h"
#include "platform/locale/SimLocaleCompare.h"
#include "platform/registry/SimRegistry.h"

#include <gtest/gtest.h>

namespace kp::history {
namespace {

using platform::RegKey;
using platform::RegStatus;
using platform::RegType;

std::vector<std::string> Names(std::initializer_list<const char*> names)
{
    return std::vector<std::string>(names.begin(), names.end());
}

std::string NumberedName(int i) { return "f" + std::to_string(i) + ".txt"; }

TEST(HistoryListTest, AddMovesToFrontKeepingTheStoredCase)
{
    const platform::SimLocaleCompare compare;
    THistoryList list(compare);
    EXPECT_EQ(list.Add("C:\\A.txt"), 0);
    list.Add("C:\\b.txt");
    list.Add("C:\\c.txt");
    EXPECT_EQ(list.Add("c:\\B.TXT"), 0);
    EXPECT_EQ(list.Names(), Names({"C:\\b.txt", "C:\\c.txt", "C:\\A.txt"}));
    // Width counts: a full-width name is another file.
    list.Add("Ｃ:\\ｃ.txt");
    EXPECT_EQ(list.Count(), 4);
}

TEST(HistoryListTest, TheThirtyThirdNameDropsTheOldest)
{
    const platform::SimLocaleCompare compare;
    THistoryList list(compare);
    for (int i = 0; i < 33; ++i) list.Add(NumberedName(i));
    ASSERT_EQ(list.Count(), kMaxHistory);
    EXPECT_EQ(list[0], "f32.txt");
    EXPECT_EQ(list[31], "f1.txt");
    EXPECT_EQ(list.IndexOf("F0.TXT"), -1);
}

class HistoryMenuTest : public ::testing::Test {
protected:
    static constexpr const char* kKey = "Software\\Tamarind\\Kestrelpad";
    static constexpr const char* kSection = "Software\\Tamarind\\Kestrelpad\\History";

    HistoryMenuTest()
    {
        root.Add("ファイル(&F)")->Add("開く(&O)");
        file = root.Item(0);
        menu.SetKeyName(kKey);
    }

    void Plant(std::string_view name, std::string_view text)
    {
        RegKey key;
        ASSERT_EQ(registry.CreateKey(kSection, key), RegStatus::Ok);
        ASSERT_EQ(registry.SetString(key, name, text, RegType::String), RegStatus::Ok);
    }

    std::string Stored(std::string_view name)
    {
        RegKey key;
        platform::RegValue value;
        if (registry.OpenKey(kSection, platform::RegAccess::Read, key) != RegStatus::Ok ||
            registry.QueryValue(key, name, value) != RegStatus::Ok)
            return "(none)";
        return value.data;
    }

    void PlantList(const std::vector<std::string>& names)
    {
        Plant("Count", std::to_string(names.size()));
        for (size_t i = 0; i < names.size(); ++i) Plant("H" + std::to_string(i), names[i]);
    }

    void Activate()
    {
        menu.SetTargetMenuItem(file);
        menu.SetActive(true);
    }

    std::vector<std::string> Captions() const
    {
        std::vector<std::string> captions;
        for (size_t i = 0; i < file->Count(); ++i) captions.push_back(file->Item(i)->Caption());
        return captions;
    }

    platform::SimRegistry registry;
    const platform::SimLocaleCompare compare;
    ui::TMenuItem root;
    ui::TMenuItem* file;
    THistoryMenu menu{registry, compare};
};

TEST_F(HistoryMenuTest, DefaultsAndTheSeparatorRule)
{
    EXPECT_EQ(menu.HistoryNum(), 8);
    EXPECT_EQ(menu.SectionName(), "History");
    EXPECT_FALSE(menu.Active());
    EXPECT_EQ(menu.LastIndex(), 0);
    EXPECT_FALSE(menu.SeparatorWanted());
    menu.SetTargetMenuItem(file);  // a top item of the menu bar
    EXPECT_TRUE(menu.SeparatorWanted());
    menu.SetTargetMenuItem(file->Item(0));  // an item inside a menu
    EXPECT_FALSE(menu.SeparatorWanted());
}

TEST_F(HistoryMenuTest, ActivatingShowsTheStoredListUnderASeparator)
{
    PlantList(Names({"a.txt", "R&D.txt", "c.txt"}));
    Activate();
    EXPECT_EQ(Captions(), Names({"開く(&O)", "-", "&0 a.txt", "&1 R&&D.txt", "&2 c.txt"}));
    EXPECT_EQ(menu.LastIndex(), 3);
    EXPECT_EQ(menu.PrefixWidth(), 3);
    char accessKey = 0;
    EXPECT_EQ(ui::StripAccessKey(file->Item(2)->Caption(), &accessKey), "0 a.txt");
    EXPECT_EQ(accessKey, '0');
}

TEST_F(HistoryMenuTest, ElevenEntriesTakeAFourCharacterPrefix)
{
    std::vector<std::string> names;
    for (int i = 0; i < 11; ++i) names.push_back(NumberedName(i));
    PlantList(names);
    menu.SetHistoryNum(20);
    Activate();
    EXPECT_EQ(menu.PrefixWidth(), 4);
    EXPECT_EQ(menu.LastIndex(), 11);
    EXPECT_EQ(file->Item(2)->Caption(), " &0 f0.txt");
    EXPECT_EQ(file->Item(12)->Caption(), "&10 f10.txt");
}

TEST_F(HistoryMenuTest, HistoryNumLimitsTheItemsNotTheList)
{
    PlantList(Names({"a", "b", "c"}));
    Activate();
    menu.SetHistoryNum(0);
    EXPECT_EQ(Captions(), Names({"開く(&O)"}));
    EXPECT_EQ(menu.LastIndex(), -1);
    menu.SetHistoryNum(-5);
    EXPECT_EQ(file->Count(), 1u);
    menu.SetHistoryNum(100);
    EXPECT_EQ(menu.HistoryNum(), 32);
    EXPECT_EQ(file->Count(), 5u);
    menu.SetHistoryNum(2);
    EXPECT_EQ(Captions(), Names({"開く(&O)", "-", "&0 a", "&1 b"}));
    menu.SetActive(false);
    EXPECT_EQ(Stored("Count"), "3");
}

TEST_F(HistoryMenuTest, RebuildingReplacesOnlyItsOwnItems)
{
    PlantList(Names({"a", "b"}));
    Activate();
    file->Add("他の項目");
    menu.AddFile("c");
    menu.AddFile("B");
    EXPECT_EQ(Captions(), Names({"開く(&O)", "他の項目", "-", "&0 b", "&1 c", "&2 a"}));
    menu.SetActive(false);
    EXPECT_EQ(Captions(), Names({"開く(&O)", "他の項目"}));
    EXPECT_EQ(menu.LastIndex(), -1);
}

TEST_F(HistoryMenuTest, AnEmptyTargetGetsNoSeparator)
{
    ui::TMenuItem* empty = root.Add("履歴(&H)");
    PlantList(Names({"a"}));
    menu.SetTargetMenuItem(empty);
    menu.SetActive(true);
    ASSERT_EQ(empty->Count(), 1u);
    EXPECT_EQ(empty->Item(0)->Caption(), "&0 a");
    EXPECT_EQ(menu.LastIndex(), 0);
}

TEST_F(HistoryMenuTest, ActivatingWithoutATargetFails)
{
    PlantList(Names({"a"}));
    try {
        menu.SetActive(true);
        FAIL() << "no failure";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "ターゲットが指定されていません");
    }
    EXPECT_FALSE(menu.Active());
}

TEST_F(HistoryMenuTest, LoadingFillsMissingEntriesAndCollapsesCaseDuplicates)
{
    Plant("Count", "3");
    Plant("H0", "x.txt");
    Plant("H2", "z.txt");
    Activate();
    EXPECT_EQ(menu.List().Names(), Names({"x.txt", "BUG", "z.txt"}));

    // Added from the last to the first: the older copy's case stays.
    PlantList(Names({"a.txt", "B.txt", "A.TXT"}));
    menu.SetActive(false);
    PlantList(Names({"a.txt", "B.txt", "A.TXT"}));
    menu.SetActive(true);
    EXPECT_EQ(menu.List().Names(), Names({"A.TXT", "B.txt"}));
}

TEST_F(HistoryMenuTest, DuplicatesLetNamesFromBeyondThirtyTwoIn)
{
    std::vector<std::string> names(40, "same.txt");
    for (int i = 0; i < 31; ++i) names.push_back(NumberedName(i));
    names.push_back("last.txt");
    PlantList(names);
    Activate();
    ASSERT_EQ(menu.List().Count(), 32);
    EXPECT_EQ(menu.List()[0], "same.txt");
    EXPECT_EQ(menu.List()[31], "f30.txt");
}

// A higher copy of a name keeps its case while fewer than 32 other names
// come between it and the lower copy; with 32 it has dropped off.
TEST_F(HistoryMenuTest, TheCaseOfAHigherCopyCountsUntilItWouldHaveDroppedOff)
{
    std::vector<std::string> survives{"a.txt"};
    for (int i = 0; i < 31; ++i) survives.push_back(NumberedName(i));
    survives.push_back("A.TXT");
    PlantList(survives);
    Activate();
    EXPECT_EQ(menu.List()[0], "A.TXT");
    EXPECT_EQ(menu.List().Count(), 32);

    std::vector<std::string> dropped{"a.txt"};
    for (int i = 0; i < 32; ++i) dropped.push_back(NumberedName(i));
    dropped.push_back("A.TXT");
    menu.SetActive(false);
    PlantList(dropped);
    menu.SetActive(true);
    EXPECT_EQ(menu.List()[0], "a.txt");
}

TEST(HistoryLoadTest, ReadingStopsWhenNothingHigherCanMatter)
{
    const platform::SimLocaleCompare compare;
    int reads = 0;
    // 64 distinct names: after index 63 every kept name (0..31) has 32 others
    // above its copy.
    const auto distinct = [&](int i) { ++reads; return NumberedName(i); };
    EXPECT_EQ(ReadDecidingEntries(1000, distinct, compare).size(), 64u);
    EXPECT_EQ(reads, 64);
    // The same name forever decides nothing more, but cannot be told from a
    // name that changes further up: reading ends at the limit.
    reads = 0;
    const auto constant = [&](int) { ++reads; return std::string("BUG"); };
    EXPECT_EQ(ReadDecidingEntries(2147483647, constant, compare).size(), size_t(kLoadLimit));
    EXPECT_EQ(reads, kLoadLimit);
    EXPECT_TRUE(ReadDecidingEntries(-1, constant, compare).empty());
}

TEST_F(HistoryMenuTest, HugeOrNegativeCountsLoadQuickly)
{
    PlantList(Names({"a", "b"}));
    Plant("Count", "2147483647");
    Activate();
    EXPECT_EQ(menu.List().Names(), Names({"a", "b", "BUG"}));
    menu.SetActive(false);
    Plant("Count", "-2147483648");
    menu.SetActive(true);
    EXPECT_EQ(menu.List().Count(), 0);
    EXPECT_EQ(Captions(), Names({"開く(&O)"}));
    menu.SetActive(false);
    EXPECT_EQ(Stored("Count"), "0");
}

TEST_F(HistoryMenuTest, SavingWritesTheListAndLeavesHigherValues)
{
    PlantList(Names({"a", "b", "c", "d"}));
    Activate();
    menu.SetActive(false);
    Plant("Count", "2");
    menu.SetActive(true);
    menu.AddFile("e");
    menu.AddFile("");
    menu.SetActive(false);
    EXPECT_EQ(Stored("Count"), "3");
    EXPECT_EQ(Stored("H0"), "e");
    EXPECT_EQ(Stored("H2"), "b");
    EXPECT_EQ(Stored("H3"), "d");
}

TEST_F(HistoryMenuTest, TheEmptyKeyNameIsTheCurrentUserKey)
{
    menu.SetKeyName("");
    menu.SetSectionName("Hist");
    Activate();
    menu.AddFile("a");
    menu.SetActive(false);
    RegKey key;
    platform::RegValue value;
    ASSERT_EQ(registry.OpenKey("Hist", platform::RegAccess::Read, key), RegStatus::Ok);
    ASSERT_EQ(registry.QueryValue(key, "H0", value), RegStatus::Ok);
    EXPECT_EQ(value.data, "a");
}

TEST_F(HistoryMenuTest, ValuesOfAnotherTypeReadAsDefaults)
{
    PlantList(Names({"a", "b"}));
    RegKey key;
    ASSERT_EQ(registry.CreateKey(kSection, key), RegStatus::Ok);
    ASSERT_EQ(registry.SetRaw(key, "H1", RegType::Dword, std::string("\1\0\0\0", 4)), RegStatus::Ok);
    Activate();
    EXPECT_EQ(menu.List().Names(), Names({"a", "BUG"}));
    menu.SetActive(false);
    ASSERT_EQ(registry.SetRaw(key, "Count", RegType::Binary, "2"), RegStatus::Ok);
    menu.SetActive(true);
    EXPECT_EQ(menu.List().Count(), 0);
}

TEST_F(HistoryMenuTest, AStoreThatCannotBeOpenedIsSilent)
{
    registry.SetReadOnly("Software\\Locked", true);
    menu.SetKeyName("Software\\Locked\\Kestrelpad");
    Activate();
    menu.AddFile("a");
    EXPECT_NO_THROW(menu.SetActive(false));
    RegKey key;
    EXPECT_NE(registry.OpenKey("Software\\Locked\\Kestrelpad", platform::RegAccess::Read, key),
              RegStatus::Ok);
    EXPECT_EQ(menu.List().Names(), Names({"a"}));
}

TEST_F(HistoryMenuTest, ChoosingRaisesTheEventThenMovesTheEntryToTheFront)
{
    PlantList(Names({"a.txt", "R&D.txt", "c.txt"}));
    Activate();
    std::vector<std::string> chosen;
    menu.OnHistorySelected = [&](const std::string& name) {
        chosen.push_back(name);
        EXPECT_EQ(menu.List()[0], "a.txt");  // not moved yet
        menu.AddFile("other.txt");           // a handler may rebuild the menu
    };
    file->Item(3)->Click();
    EXPECT_EQ(chosen, Names({"R&D.txt"}));
    EXPECT_EQ(menu.List().Names(), Names({"R&D.txt", "other.txt", "a.txt", "c.txt"}));
    EXPECT_EQ(file->Item(2)->Caption(), "&0 R&&D.txt");
}

TEST_F(HistoryMenuTest, ItemsOutlivingTheMenuDoNothing)
{
    ui::TMenuItem* first = nullptr;
    {
        THistoryMenu shortLived(registry, compare);
        shortLived.SetKeyName(kKey);
        shortLived.SetTargetMenuItem(file);
        shortLived.SetActive(true);
        shortLived.AddFile("a.txt");
        shortLived.OnHistorySelected = [](const std::string&) { FAIL(); };
        first = file->Item(2);
    }
    EXPECT_EQ(Stored("H0"), "a.txt");  // saved on destruction
    first->Click();
}

TEST_F(HistoryMenuTest, ANullTargetDeactivatesAndSaves)
{
    Activate();
    menu.AddFile("a.txt");
    menu.SetTargetMenuItem(nullptr);
    EXPECT_FALSE(menu.Active());
    EXPECT_EQ(Stored("H0"), "a.txt");
}

TEST_F(HistoryMenuTest, ShowsOnlyHistoryNumOfTheNewestNames)
{
    Activate();
    menu.SetHistoryNum(1);
    menu.AddFile("a.txt");
    menu.AddFile("b.txt");
    EXPECT_EQ(menu.HistoryNum(), 1);
    EXPECT_EQ(Captions(), Names({"開く(&O)", "-", "&0 b.txt"}));
}

}  // namespace
}  // namespace kp::history
