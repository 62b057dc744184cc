#include "settings/RegIniFile.h"

#include "base/Error.h"

#include <charconv>

namespace kp {

using platform::JoinKeyPath;
using platform::RegAccess;
using platform::RegKey;
using platform::RegStatus;
using platform::RegType;
using platform::RegValue;

namespace {

constexpr std::string_view kBadDataType = "'%s' のﾃﾞｰﾀ型が不正です";
constexpr std::string_view kCreateKeyFailed = "ｷｰ %s の作成に失敗しました";
constexpr std::string_view kSetValueFailed = "'%s' の設定に失敗しました";

bool IsHexPrefixed(std::string_view text)
{
    return text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

}  // namespace

bool ParseStoredInteger(std::string_view text, int32_t& value)
{
    if (IsHexPrefixed(text)) {
        const std::string_view digits = text.substr(2);
        uint64_t wide = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), wide, 16);
        if (ec != std::errc() || end != digits.data() + digits.size() || wide > 0xFFFFFFFFu)
            return false;
        value = static_cast<int32_t>(static_cast<uint32_t>(wide));
        return true;
    }
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
        negative = digits[0] == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits[0] < '0' || digits[0] > '9') return false;
    int64_t wide = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), wide, 10);
    if (ec != std::errc() || end != digits.data() + digits.size()) return false;
    if (negative) wide = -wide;
    if (wide < INT32_MIN || wide > INT32_MAX) return false;
    value = static_cast<int32_t>(wide);
    return true;
}

TRegIniFile::TRegIniFile(platform::Registry& registry, std::string keyPath)
    : registry_(registry), keyPath_(std::move(keyPath))
{
    RegKey key;
    if (registry_.CreateKey(keyPath_, key) != RegStatus::Ok)
        throw Error(FormatWithArgument(kCreateKeyFailed, keyPath_));
}

TRegIniFile::TRegIniFile(platform::Registry& registry, std::string keyPath, NoCreate)
    : registry_(registry), keyPath_(std::move(keyPath))
{
}

std::string TRegIniFile::ReadString(std::string_view section, std::string_view ident,
                                    std::string_view defaultValue) const
{
    const std::string path = JoinKeyPath(keyPath_, section);
    RegKey key;
    RegStatus status = registry_.OpenKey(path, RegAccess::Full, key);
    if (status == RegStatus::AccessDenied) status = registry_.OpenKey(path, RegAccess::Read, key);
    if (status != RegStatus::Ok) return std::string(defaultValue);

    RegValue value;
    if (registry_.QueryValue(key, ident, value) != RegStatus::Ok) return std::string(defaultValue);
    if (value.type != RegType::String && value.type != RegType::ExpandString)
        throw Error(FormatWithArgument(kBadDataType, ident));
    return value.data;
}

int32_t TRegIniFile::ReadInteger(std::string_view section, std::string_view ident,
                                 int32_t defaultValue) const
{
    int32_t value = defaultValue;
    return ParseStoredInteger(ReadString(section, ident, ""), value) ? value : defaultValue;
}

bool TRegIniFile::ReadBool(std::string_view section, std::string_view ident,
                           bool defaultValue) const
{
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TRegIniFile::WriteString(std::string_view section, std::string_view ident,
                              std::string_view value)
{
    RegKey key;
    if (registry_.CreateKey(JoinKeyPath(keyPath_, section), key) != RegStatus::Ok)
        throw Error(FormatWithArgument(kCreateKeyFailed, section));
    if (registry_.SetString(key, ident, value, RegType::String) != RegStatus::Ok)
        throw Error(FormatWithArgument(kSetValueFailed, ident));
}

void TRegIniFile::WriteInteger(std::string_view section, std::string_view ident, int32_t value)
{
    WriteString(section, ident, std::to_string(value));
}

void TRegIniFile::WriteBool(std::string_view section, std::string_view ident, bool value)
{
    WriteString(section, ident, value ? "1" : "0");
}

bool TRegIniFile::EraseAllSections()
{
    return platform::DeleteSubKeysRecursively(registry_, keyPath_) == RegStatus::Ok;
}

}  // namespace kp
