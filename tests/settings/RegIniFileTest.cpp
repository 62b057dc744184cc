// Store behaviour that needs the simulation's controls: keys whose
// permissions allow reading only, and open-handle accounting.

#include "base/Error.h"
#include "platform/registry/SimRegistry.h"
#include "settings/RegIniFile.h"

#include <gtest/gtest.h>

namespace kp {
namespace {

using platform::SimRegistry;

constexpr const char* kKey = "Software\\Tamarind\\Kestrelpad";

TEST(RegIniFile, ReadsFallBackToReadOnlyAccess)
{
    SimRegistry registry;
    TRegIniFile store(registry, kKey);
    store.WriteString("File", "FileName", "C:\\a.txt");
    registry.SetReadOnly(std::string(kKey) + "\\File", true);

    EXPECT_EQ(store.ReadString("File", "FileName", ""), "C:\\a.txt");
    try {
        store.WriteString("File", "FileName", "C:\\b.txt");
        FAIL() << "write into a read-only section succeeded";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "ｷｰ File の作成に失敗しました");
    }
    EXPECT_EQ(store.ReadString("File", "FileName", ""), "C:\\a.txt");
}

TEST(RegIniFile, OpeningUnderAKeyThatCannotGrowFails)
{
    SimRegistry registry;
    registry.SetReadOnly("Software\\Tamarind", true);
    try {
        TRegIniFile store(registry, kKey);
        FAIL() << "store opened";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "ｷｰ Software\\Tamarind\\Kestrelpad の作成に失敗しました");
    }
}

TEST(RegIniFile, EraseReportsWhatItCouldNotDeleteAndDeletesTheRest)
{
    SimRegistry registry;
    TRegIniFile store(registry, kKey);
    store.WriteString("File", "a", "1");
    store.WriteString("Locked\\Inner", "a", "1");
    store.WriteString("Visual", "a", "1");
    registry.SetReadOnly(std::string(kKey) + "\\Locked\\Inner", true);

    EXPECT_FALSE(store.EraseAllSections());
    EXPECT_EQ(store.ReadString("File", "a", "gone"), "gone");
    EXPECT_EQ(store.ReadString("Visual", "a", "gone"), "gone");
    EXPECT_EQ(store.ReadString("Locked\\Inner", "a", "gone"), "1");
}

TEST(RegIniFile, EveryOperationClosesTheKeysItOpens)
{
    SimRegistry registry;
    {
        TRegIniFile store(registry, kKey);
        store.WriteInteger("Visual", "FontSize", 10);
        store.ReadInteger("Visual", "FontSize", 12);
        store.ReadBool("Missing", "x", true);
        store.EraseAllSections();
        EXPECT_EQ(registry.OpenHandleCount(), 0u);
    }
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST(RegIniFile, TwoStoresOnOneKeySeeEachOthersWritesAtOnce)
{
    SimRegistry registry;
    TRegIniFile window(registry, kKey);
    TRegIniFile dialog(registry, kKey);
    dialog.WriteBool("Setup", "WindowSave", true);
    EXPECT_TRUE(window.ReadBool("Setup", "WindowSave", false));
    window.EraseAllSections();
    EXPECT_FALSE(dialog.ReadBool("Setup", "WindowSave", false));
}

TEST(ParseStoredInteger, LeavesTheValueAloneWhenTheTextIsNotAnInteger)
{
    int32_t value = 42;
    EXPECT_FALSE(ParseStoredInteger("abc", value));
    EXPECT_EQ(value, 42);
    EXPECT_TRUE(ParseStoredInteger("0x7FFFFFFF", value));
    EXPECT_EQ(value, 0x7FFFFFFF);
    EXPECT_TRUE(ParseStoredInteger("0x000000001", value));  // leading zeros are not digits of range
    EXPECT_EQ(value, 1);
}

}  // namespace
}  // namespace kp
