#include "settings/ShortCut.h"

#include "base/Utf.h"

#include <array>

namespace kp::settings {

namespace {

constexpr uint32_t kVkNumpad0 = 0x60;
constexpr uint32_t kVkF1 = 0x70;
constexpr uint32_t kVkF24 = 0x87;

struct FixedName {
    uint32_t key;
    std::string_view name;
};

constexpr std::array<FixedName, 15> kFixedNames{{
    {0x08, "BkSp"}, {0x09, "Tab"}, {0x0D, "Enter"}, {0x1B, "Esc"}, {0x20, "Space"},
    {0x21, "PgUp"}, {0x22, "PgDn"}, {0x23, "End"}, {0x24, "Home"}, {0x25, "Left"},
    {0x26, "Up"}, {0x27, "Right"}, {0x28, "Down"}, {0x2D, "Ins"}, {0x2E, "Del"},
}};

std::string KeyName(uint32_t key, const platform::KeyNames& names)
{
    for (const FixedName& fixed : kFixedNames)
        if (fixed.key == key) return std::string(fixed.name);
    if (key >= '0' && key <= '9') return std::string(1, static_cast<char>(key));
    if (key >= kVkNumpad0 && key <= kVkNumpad0 + 9) return std::string(1, static_cast<char>('0' + key - kVkNumpad0));
    if (key >= 'A' && key <= 'Z') return std::string(1, static_cast<char>(key));
    if (key >= kVkF1 && key <= kVkF24) {
        // Appended rather than "F" + ...: GCC 12 at -O3 warns falsely (-Wrestrict) on that form.
        std::string name = "F";
        name += std::to_string(key - kVkF1 + 1);
        return name;
    }
    return names.NameOf(key);
}

struct Prefix {
    std::string_view text;
    ui::TShortCut modifier;
};

constexpr Prefix kPrefixes[] = {
    {"Shift+", ui::scShift}, {"Ctrl+", ui::scCtrl}, {"^", ui::scCtrl}, {"Alt+", ui::scAlt}};

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        char p = prefix[i];
        if (p >= 'a' && p <= 'z') p = static_cast<char>(p - 'a' + 'A');
        if (c != p) return false;
    }
    return true;
}

}  // namespace

std::string ShortCutToText(ui::TShortCut shortCut, const platform::KeyNames& names)
{
    if (shortCut == 0) return {};
    const std::string name = KeyName(shortCut & 0xFFu, names);
    // Modifiers alone would read back as nothing, or as a nameless key.
    if (name.empty()) return {};
    std::string text;
    if (shortCut & ui::scShift) text += "Shift+";
    if (shortCut & ui::scCtrl) text += "Ctrl+";
    if (shortCut & ui::scAlt) text += "Alt+";
    return text + name;
}

ui::TShortCut TextToShortCut(std::string_view text, const platform::KeyNames& names)
{
    ui::TShortCut modifiers = 0;
    for (bool found = true; found;) {
        found = false;
        for (const Prefix& prefix : kPrefixes) {
            // A prefix that would leave nothing is the key's own name ("^", "+").
            if (text.size() > prefix.text.size() && StartsWithIgnoringCase(text, prefix.text)) {
                modifiers |= prefix.modifier;
                text.remove_prefix(prefix.text.size());
                found = true;
                break;
            }
        }
    }
    if (text.empty()) return 0;
    for (uint32_t key = 8; key <= 0xFF; ++key) {
        const std::string name = KeyName(key, names);
        if (!name.empty() && EqualsIgnoreCase(name, text)) return static_cast<ui::TShortCut>(modifiers | key);
    }
    return 0;
}

}  // namespace kp::settings
