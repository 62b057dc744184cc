// Random registry contents fed to every typed read of the store, over every
// registry implementation: no crash, and each read gives either the stored
// reading, the caller's default, or the data-type failure.

#include "base/Error.h"
#include "platform/registry/Registry.h"
#include "settings/RegIniFile.h"
#include "tests/contract/RegIniFileContract.h"

#include <optional>
#include <random>

namespace kp::test {
namespace {

using platform::RegKey;
using platform::RegStatus;
using platform::RegType;

// An independent reading of integer texts: what the stored forms mean.
std::optional<int32_t> ExpectedInteger(const std::string& text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        uint64_t value = 0;
        for (size_t i = 2; i < text.size(); ++i) {
            const char c = text[i];
            int digit;
            if (c >= '0' && c <= '9') digit = c - '0';
            else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
            else return std::nullopt;
            value = value * 16 + digit;
            if (value > 0xFFFFFFFFull) return std::nullopt;
        }
        return static_cast<int32_t>(static_cast<uint32_t>(value));
    }
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > 2147483648LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > 2147483647LL) return std::nullopt;
    return static_cast<int32_t>(value);
}

class RandomContents {
public:
    explicit RandomContents(uint32_t seed) : rng_(seed) {}

    std::string Text()
    {
        static const char* const pieces[] = {
            "0", "1", "7", "9", "-", "+", "0x", "0X", "f", "F", "a", "g", " ", "x", ".",
            "2147483647", "2147483648", "80000005", "FFFFFFFF", "1", "表", "ｱ", "\\", "%", "０"};
        std::string text;
        const int n = Pick(6);
        for (int i = 0; i < n; ++i) text += pieces[Pick(std::size(pieces))];
        return text;
    }
    std::string Bytes()
    {
        std::string bytes(Pick(9), '\0');
        for (char& b : bytes) b = static_cast<char>(Pick(256));
        return bytes;
    }
    RegType Type()
    {
        static const RegType types[] = {RegType::String, RegType::String, RegType::String,
                                        RegType::ExpandString, RegType::Binary, RegType::Dword,
                                        RegType::MultiString, RegType::Qword, RegType::None};
        return types[Pick(std::size(types))];
    }
    std::string Spelling(std::string_view name)
    {
        std::string out(name);
        for (char& c : out)
            if (Pick(2)) c = static_cast<char>(c >= 'a' ? c - 32 : (c >= 'A' && c <= 'Z' ? c + 32 : c));
        return out;
    }
    int Pick(size_t n) { return static_cast<int>(rng_() % n); }

private:
    std::mt19937 rng_;
};

TEST_P(RegIniFileContract, RandomContentsReadAsDocumented)
{
    TRegIniFile store(*registry, root);
    RegKey section;
    ASSERT_EQ(registry->CreateKey(platform::JoinKeyPath(root, "Visual"), section), RegStatus::Ok);
    RandomContents random(20261207);

    for (int round = 0; round < 400; ++round) {
        const RegType type = random.Type();
        const bool isString = type == RegType::String || type == RegType::ExpandString;
        const std::string stored = isString ? random.Text() : random.Bytes();
        const RegStatus planted = isString ? registry->SetString(section, "FontSize", stored, type)
                                           : registry->SetRaw(section, "FontSize", type, stored);
        ASSERT_EQ(planted, RegStatus::Ok);
        const std::string sectionName = random.Spelling("Visual");
        const std::string ident = random.Spelling("FontSize");
        const std::string typeFailure = "'" + ident + "' のﾃﾞｰﾀ型が不正です";
        SCOPED_TRACE("type " + std::to_string(static_cast<int>(type)) + " text \"" + stored + "\"");

        if (!isString) {
            for (int read = 0; read < 3; ++read) {
                try {
                    if (read == 0) store.ReadString(sectionName, ident, "d");
                    if (read == 1) store.ReadInteger(sectionName, ident, 5);
                    if (read == 2) store.ReadBool(sectionName, ident, true);
                    ADD_FAILURE() << "read " << read << " of a non-string value succeeded";
                } catch (const Error& e) {
                    EXPECT_EQ(e.what(), typeFailure);
                }
            }
            continue;
        }
        EXPECT_EQ(store.ReadString(sectionName, ident, "d"), stored);
        const std::optional<int32_t> expected = ExpectedInteger(stored);
        EXPECT_EQ(store.ReadInteger(sectionName, ident, -77), expected.value_or(-77));
        EXPECT_EQ(store.ReadBool(sectionName, ident, true), expected ? *expected != 0 : true);
        EXPECT_EQ(store.ReadBool(sectionName, ident, false), expected ? *expected != 0 : false);
    }
    // A value that vanished reads as the default again.
    ASSERT_EQ(registry->DeleteValue(section, "FontSize"), RegStatus::Ok);
    EXPECT_EQ(store.ReadInteger("Visual", "FontSize", 12), 12);
}

}  // namespace
}  // namespace kp::test
