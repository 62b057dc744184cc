// What the core relies on from the registry, checked against every
// implementation: the real one under Wine and the simulation.

#include "tests/contract/RegistryContract.h"

#include "base/Utf.h"
#include "tests/contract/RegIniFileContract.h"

#include <algorithm>

namespace kp::test {

using platform::JoinKeyPath;
using platform::RegAccess;
using platform::RegKey;
using platform::RegStatus;
using platform::RegType;
using platform::RegValue;

void RegistryContract::SetUp()
{
    registry = GetParam().make();
    root = ScratchKeyPath();
    RemoveScratchKey(*registry, root);
}

void RegistryContract::TearDown()
{
    RemoveScratchKey(*registry, root);
}

namespace {

RegValue Query(platform::Registry& registry, const RegKey& key, std::string_view name)
{
    RegValue value;
    EXPECT_EQ(registry.QueryValue(key, name, value), RegStatus::Ok) << name;
    return value;
}

}  // namespace

TEST_P(RegistryContract, CreateKeyMakesMissingParentsAndOpenFindsThem)
{
    RegKey key;
    ASSERT_EQ(registry->CreateKey(JoinKeyPath(root, "a\\b\\c"), key), RegStatus::Ok);
    EXPECT_TRUE(key.IsOpen());

    RegKey opened;
    EXPECT_EQ(registry->OpenKey(JoinKeyPath(root, "a\\b"), RegAccess::Read, opened), RegStatus::Ok);
    EXPECT_EQ(registry->OpenKey(JoinKeyPath(root, "a\\b\\c"), RegAccess::Full, opened), RegStatus::Ok);

    RegKey missing;
    EXPECT_EQ(registry->OpenKey(JoinKeyPath(root, "a\\x"), RegAccess::Read, missing),
              RegStatus::NotFound);
    EXPECT_FALSE(missing.IsOpen());
}

TEST_P(RegistryContract, CreateKeyOpensAnExistingKeyWithoutTouchingIt)
{
    RegKey key;
    ASSERT_EQ(registry->CreateKey(root, key), RegStatus::Ok);
    ASSERT_EQ(registry->SetString(key, "v", "kept"), RegStatus::Ok);
    RegKey again;
    ASSERT_EQ(registry->CreateKey(root, again), RegStatus::Ok);
    EXPECT_EQ(Query(*registry, again, "v").data, "kept");
}

TEST_P(RegistryContract, EmptyPathIsTheCurrentUserRoot)
{
    RegKey top;
    ASSERT_EQ(registry->CreateKey(root, top), RegStatus::Ok);
    RegKey user;
    ASSERT_EQ(registry->OpenKey("", RegAccess::Read, user), RegStatus::Ok);
    std::vector<std::string> names;
    ASSERT_EQ(registry->EnumSubKeys(user, names), RegStatus::Ok);
    bool software = false;
    for (const auto& name : names) software = software || EqualsIgnoreCase(name, "Software");
    EXPECT_TRUE(software);
}

TEST_P(RegistryContract, StringsRoundTripAsUtf8)
{
    RegKey key;
    ASSERT_EQ(registry->CreateKey(root, key), RegStatus::Ok);
    const std::string texts[] = {
        "plain", "", "定義文書1(&1)", "ｴﾗｰ ｷｬﾝｾﾙ", "C:\\My Documents\\表.txt", "-2147483643",
        std::string(10000, 'x') + "末尾",
    };
    int n = 0;
    for (const std::string& text : texts) {
        const std::string name = "s" + std::to_string(n++);
        ASSERT_EQ(registry->SetString(key, name, text), RegStatus::Ok);
        const RegValue value = Query(*registry, key, name);
        EXPECT_EQ(value.type, RegType::String);
        EXPECT_EQ(value.data, text);
    }
}

TEST_P(RegistryContract, StringTypesAndRawValuesKeepTheirTypeAndBytes)
{
    RegKey key;
    ASSERT_EQ(registry->CreateKey(root, key), RegStatus::Ok);
    ASSERT_EQ(registry->SetString(key, "expand", "%TEMP%\\x", RegType::ExpandString), RegStatus::Ok);
    EXPECT_EQ(Query(*registry, key, "expand").type, RegType::ExpandString);
    EXPECT_EQ(Query(*registry, key, "expand").data, "%TEMP%\\x");

    const std::string dword("\x05\x00\x00\x80", 4);
    ASSERT_EQ(registry->SetRaw(key, "dword", RegType::Dword, dword), RegStatus::Ok);
    EXPECT_EQ(Query(*registry, key, "dword").type, RegType::Dword);
    EXPECT_EQ(Query(*registry, key, "dword").data, dword);

    const std::string binary("\x00\xFF\x81\x0D\x0A", 5);
    ASSERT_EQ(registry->SetRaw(key, "bin", RegType::Binary, binary), RegStatus::Ok);
    EXPECT_EQ(Query(*registry, key, "bin").data, binary);

    ASSERT_EQ(registry->SetRaw(key, "empty", RegType::Binary, ""), RegStatus::Ok);
    EXPECT_EQ(Query(*registry, key, "empty").type, RegType::Binary);
    EXPECT_EQ(Query(*registry, key, "empty").data, "");
}

TEST_P(RegistryContract, AStringEndsAtItsFirstZeroCharacter)
{
    RegKey key;
    ASSERT_EQ(registry->CreateKey(root, key), RegStatus::Ok);
    ASSERT_EQ(registry->SetString(key, "v", std::string("ab\0cd", 5)), RegStatus::Ok);
    EXPECT_EQ(Query(*registry, key, "v").data, "ab");
}

TEST_P(RegistryContract, NamesMatchWithoutRegardToCase)
{
    RegKey key;
    ASSERT_EQ(registry->CreateKey(JoinKeyPath(root, "Setup"), key), RegStatus::Ok);
    ASSERT_EQ(registry->SetString(key, "DateIndex", "3"), RegStatus::Ok);
    ASSERT_EQ(registry->SetString(key, "ＦｕｌｌＷｉｄｔｈ", "fw"), RegStatus::Ok);

    RegKey other;
    ASSERT_EQ(registry->OpenKey(JoinKeyPath(root, "SetUp"), RegAccess::Read, other), RegStatus::Ok);
    EXPECT_EQ(Query(*registry, other, "DATEINDEX").data, "3");
    EXPECT_EQ(Query(*registry, other, "ｆｕｌｌｗｉｄｔｈ").data, "fw");

    // Overwriting through another spelling keeps one value, not two.
    ASSERT_EQ(registry->SetString(key, "dateindex", "4"), RegStatus::Ok);
    EXPECT_EQ(Query(*registry, other, "DateIndex").data, "4");

    // Creating the key again under another spelling opens the same key.
    RegKey created;
    ASSERT_EQ(registry->CreateKey(JoinKeyPath(root, "SETUP"), created), RegStatus::Ok);
    RegKey top;
    ASSERT_EQ(registry->OpenKey(root, RegAccess::Read, top), RegStatus::Ok);
    std::vector<std::string> names;
    ASSERT_EQ(registry->EnumSubKeys(top, names), RegStatus::Ok);
    EXPECT_EQ(names, std::vector<std::string>{"Setup"});  // first spelling kept
}

TEST_P(RegistryContract, MissingValuesAreNotFound)
{
    RegKey key;
    ASSERT_EQ(registry->CreateKey(root, key), RegStatus::Ok);
    RegValue value;
    EXPECT_EQ(registry->QueryValue(key, "nothing", value), RegStatus::NotFound);
    ASSERT_EQ(registry->SetString(key, "v", "x"), RegStatus::Ok);
    EXPECT_EQ(registry->DeleteValue(key, "V"), RegStatus::Ok);
    EXPECT_EQ(registry->QueryValue(key, "v", value), RegStatus::NotFound);
    EXPECT_EQ(registry->DeleteValue(key, "v"), RegStatus::NotFound);
}

TEST_P(RegistryContract, AReadOnlyHandleCannotWrite)
{
    RegKey key;
    ASSERT_EQ(registry->CreateKey(root, key), RegStatus::Ok);
    RegKey readOnly;
    ASSERT_EQ(registry->OpenKey(root, RegAccess::Read, readOnly), RegStatus::Ok);
    EXPECT_EQ(registry->SetString(readOnly, "v", "x"), RegStatus::AccessDenied);
    RegValue value;
    EXPECT_EQ(registry->QueryValue(key, "v", value), RegStatus::NotFound);
}

TEST_P(RegistryContract, DeletingAKeyWithSubKeysIsRefused)
{
    RegKey key;
    ASSERT_EQ(registry->CreateKey(JoinKeyPath(root, "parent\\child"), key), RegStatus::Ok);
    RegKey top;
    ASSERT_EQ(registry->OpenKey(root, RegAccess::Full, top), RegStatus::Ok);
    EXPECT_NE(registry->DeleteSubKey(top, "parent"), RegStatus::Ok);

    RegKey parent;
    ASSERT_EQ(registry->OpenKey(JoinKeyPath(root, "parent"), RegAccess::Full, parent), RegStatus::Ok);
    EXPECT_EQ(registry->DeleteSubKey(parent, "CHILD"), RegStatus::Ok);
    EXPECT_EQ(registry->DeleteSubKey(top, "parent"), RegStatus::Ok);
    EXPECT_EQ(registry->DeleteSubKey(top, "parent"), RegStatus::NotFound);
}

TEST_P(RegistryContract, AHandleToADeletedKeyFailsEveryUse)
{
    RegKey child;
    ASSERT_EQ(registry->CreateKey(JoinKeyPath(root, "gone"), child), RegStatus::Ok);
    RegKey top;
    ASSERT_EQ(registry->OpenKey(root, RegAccess::Full, top), RegStatus::Ok);
    ASSERT_EQ(registry->DeleteSubKey(top, "gone"), RegStatus::Ok);

    RegValue value;
    EXPECT_NE(registry->SetString(child, "v", "x"), RegStatus::Ok);
    EXPECT_NE(registry->QueryValue(child, "v", value), RegStatus::Ok);
    RegKey reopened;
    EXPECT_EQ(registry->OpenKey(JoinKeyPath(root, "gone"), RegAccess::Read, reopened),
              RegStatus::NotFound);
}

// Windows refuses names past 255 units; Wine only past 256. The core relies
// on neither boundary, only on an over-long name failing cleanly.
TEST_P(RegistryContract, OverLongKeyNamesAreRefused)
{
    RegKey key;
    EXPECT_EQ(registry->CreateKey(JoinKeyPath(root, std::string(255, 'k')), key), RegStatus::Ok);
    RegKey tooLong;
    EXPECT_NE(registry->CreateKey(JoinKeyPath(root, std::string(300, 'k')), tooLong), RegStatus::Ok);
    EXPECT_FALSE(tooLong.IsOpen());
}

TEST_P(RegistryContract, EnumerationAndRecursiveDeletionCoverTheWholeTree)
{
    for (const char* path : {"a\\x\\deep", "a\\y", "b", "名前"}) {
        RegKey key;
        ASSERT_EQ(registry->CreateKey(JoinKeyPath(root, path), key), RegStatus::Ok);
        ASSERT_EQ(registry->SetString(key, "v", path), RegStatus::Ok);
    }
    RegKey top;
    ASSERT_EQ(registry->CreateKey(root, top), RegStatus::Ok);
    ASSERT_EQ(registry->SetString(top, "own", "stays"), RegStatus::Ok);

    std::vector<std::string> names;
    ASSERT_EQ(registry->EnumSubKeys(top, names), RegStatus::Ok);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "名前"}));

    EXPECT_EQ(platform::DeleteSubKeysRecursively(*registry, root), RegStatus::Ok);
    ASSERT_EQ(registry->EnumSubKeys(top, names), RegStatus::Ok);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(Query(*registry, top, "own").data, "stays");
}

}  // namespace kp::test
