// Stored settings as another run (or another program) may have left them:
// values of every registry type and any text under the sections and idents
// of the table, in any letter case, then those settings and a few others
// read through their table entries for each of their readers. Each read
// gives the stored text, the integer it means by the reference reading, the
// entry's default, or the data-type failure naming the ident; colours
// resolve within 24 bits; what is written reads back.

#include "base/Color.h"
#include "base/Error.h"
#include "platform/registry/SimRegistry.h"
#include "platform/syscolors/ColorToRGB.h"
#include "platform/syscolors/SimSysColors.h"
#include "settings/SettingsKeys.h"
#include "tests/fuzz/FuzzSupport.h"

#include <vector>

namespace kp::fuzz {
namespace {

namespace s = settings;
using platform::RegKey;
using platform::RegStatus;
using platform::RegType;

constexpr std::string_view kKey = "Software\\Fuzz\\Settings";

constexpr std::string_view kTextPieces[] = {
    "0", "1", "7", "9", "-", "+", "0x", "0X", "f", "F", "a", "g", " ", "\t", ".", "e", "00000000000",
    "2147483647", "2147483648", "-2147483648", "-2147483649", "4294967295", "4294967296", "80000005",
    "FFFFFFFF", "100000000", "-0", "+-", "0x-1", "9999999999999999999999", "表", "ｱ", "０", "\\", "%s"};

constexpr RegType kTypes[] = {RegType::String, RegType::String, RegType::String, RegType::String,
                              RegType::ExpandString, RegType::Binary, RegType::Dword,
                              RegType::MultiString, RegType::Qword, RegType::None};

constexpr s::Reader kReaders[] = {s::Reader::Default, s::Reader::Dialog, s::Reader::MenuCheck};

std::vector<const s::Setting*> EverySetting()
{
    std::vector<const s::Setting*> all(s::AllScalarSettings().begin(), s::AllScalarSettings().end());
    for (const s::Setting& setting : s::kTemplateCaptions) all.push_back(&setting);
    for (const s::Setting& setting : s::kShortCutKeys) all.push_back(&setting);
    return all;
}

std::string Respelled(std::string_view name, uint8_t bits)
{
    std::string out(name);
    for (size_t i = 0; i < out.size(); ++i) {
        char& c = out[i];
        if (!((bits >> (i % 8)) & 1)) continue;
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        else if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return out;
}

// The value as the registry holds it, read directly: nullopt when absent.
std::optional<platform::RegValue> Stored(platform::Registry& registry, const s::Setting& setting)
{
    RegKey key;
    platform::RegValue value;
    if (registry.OpenKey(platform::JoinKeyPath(kKey, setting.section), platform::RegAccess::Read, key) !=
            RegStatus::Ok ||
        registry.QueryValue(key, setting.ident, value) != RegStatus::Ok)
        return std::nullopt;
    return value;
}

template <typename Read>
void ExpectTypeFailure(const s::Setting& setting, Read read)
{
    const std::string message = "'" + std::string(setting.ident) + "' のﾃﾞｰﾀ型が不正です";
    try {
        read();
    } catch (const Error& e) {
        KP_CHECK(e.what() == message, "type failure of " + std::string(setting.ident) + " says " + e.what());
        return;
    }
    Fail("a value of another type than text read as " + std::string(setting.ident));
}

void CheckReads(platform::Registry& registry, const TRegIniFile& store,
                    const std::vector<const s::Setting*>& settings)
{
    const platform::SimSysColors colors;
    for (const s::Setting* setting : settings) {
        const std::optional<platform::RegValue> stored = Stored(registry, *setting);
        const std::string name = std::string(setting->section) + "/" + std::string(setting->ident);
        for (const s::Reader reader : kReaders) {
            if (reader != s::Reader::Default && reader != setting->otherReader) continue;
            const std::string_view defaultText = setting->DefaultFor(reader);
            const std::optional<int32_t> defaultInteger = ReferenceInteger(defaultText);
            if (stored && stored->type != RegType::String && stored->type != RegType::ExpandString) {
                ExpectTypeFailure(*setting, [&] { s::ReadString(store, *setting, reader); });
                ExpectTypeFailure(*setting, [&] { s::ReadInteger(store, *setting, reader); });
                ExpectTypeFailure(*setting, [&] { s::ReadBool(store, *setting, reader); });
                continue;
            }
            const std::string text = s::ReadString(store, *setting, reader);
            KP_CHECK(text == (stored ? stored->data : std::string(defaultText)),
                  name + " read " + Escaped(text));
            if (setting->type == s::SettingType::String || setting->type == s::SettingType::Shortcut) continue;

            KP_CHECK(defaultInteger.has_value(), name + " has a default that is no integer");
            const std::optional<int32_t> meant = stored ? ReferenceInteger(stored->data) : std::nullopt;
            const int32_t expected = meant.value_or(*defaultInteger);
            const int32_t integer = s::ReadInteger(store, *setting, reader);
            KP_CHECK(integer == expected, name + " " + Escaped(text) + " read as " + std::to_string(integer) +
                                           ", expected " + std::to_string(expected));
            KP_CHECK(s::ReadBool(store, *setting, reader) == (expected != 0), name + " read as the wrong flag");

            if (setting->type == s::SettingType::Colour) {
                const TColor colour = static_cast<TColor>(integer);
                const uint32_t rgb = platform::ColorToRGB(colour, colors);
                KP_CHECK(rgb <= 0xFFFFFF, name + " resolves beyond 24 bits");
                if (!(colour & 0x80000000u)) KP_CHECK(rgb == (colour & 0xFFFFFF), name + " changed an RGB colour");
                else if ((colour & 0xFF) > 30) KP_CHECK(rgb == 0, name + " resolved an unknown system colour");
            }
        }
    }
}

void Run(FuzzInput& in)
{
    platform::SimRegistry registry;
    TRegIniFile store(registry, std::string(kKey));
    const std::vector<const s::Setting*> settings = EverySetting();

    // Plant values, in any spelling of their section and ident; those and a
    // few others are read back.
    std::vector<const s::Setting*> checked;
    for (size_t n = in.Pick(4); n > 0; --n) checked.push_back(settings[in.Pick(settings.size())]);
    for (size_t n = in.Pick(24); n > 0; --n) {
        const s::Setting& setting = *settings[in.Pick(settings.size())];
        checked.push_back(&setting);
        const RegType type = kTypes[in.Pick(std::size(kTypes))];
        const uint8_t spelling = in.Byte();
        std::string data = in.Flag() ? in.Pieces(kTextPieces, 5) : in.Bytes(12);
        RegKey key;
        if (registry.CreateKey(platform::JoinKeyPath(kKey, Respelled(setting.section, spelling)), key) !=
            RegStatus::Ok)
            Fail("the section key could not be made");
        const std::string ident = Respelled(setting.ident, static_cast<uint8_t>(spelling >> 3));
        const bool isText = type == RegType::String || type == RegType::ExpandString;
        const RegStatus status =
            isText ? registry.SetString(key, ident, data, type) : registry.SetRaw(key, ident, type, data);
        KP_CHECK(status == RegStatus::Ok, "planting a value failed");
        if (in.Pick(8) == 0) registry.DeleteValue(key, ident);
    }
    CheckReads(registry, store, checked);

    // A store whose key is missing reads every default.
    const TRegIniFile missing(registry, "Software\\Fuzz\\Missing", TRegIniFile::kNoCreate);
    const s::Setting& some = *settings[in.Pick(settings.size())];
    KP_CHECK(s::ReadString(missing, some) == some.defaultText, "a missing key gave no default");

    // Writes read back, whatever was there.
    for (size_t n = in.Pick(6); n > 0; --n) {
        const s::Setting& setting = *settings[in.Pick(settings.size())];
        const auto value = static_cast<int32_t>(in.U32());
        s::WriteInteger(store, setting, value);
        KP_CHECK(s::ReadInteger(store, setting) == value, "a written integer read back differently");
        KP_CHECK(ReferenceInteger(s::ReadString(store, setting)) == value, "an integer was written in another form");
        const bool flag = in.Flag();
        s::WriteBool(store, setting, flag);
        KP_CHECK(s::ReadBool(store, setting, s::Reader::Dialog) == flag, "a written flag read back differently");
    }

    // The integer reading of any text, straight.
    const std::string text = in.Flag() ? in.Pieces(kTextPieces, 4) : in.Bytes(16);
    int32_t parsed = 12345;
    const bool ok = ParseStoredInteger(text, parsed);
    const std::optional<int32_t> reference = ReferenceInteger(text);
    KP_CHECK(ok == reference.has_value() && (!ok || parsed == *reference), "the reading of " + Escaped(text));
}

}  // namespace
}  // namespace kp::fuzz

KP_FUZZ_TARGET(kp::fuzz::Run)
