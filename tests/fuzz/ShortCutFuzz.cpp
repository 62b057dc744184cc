// Shortcut texts from the settings store, and shortcut values from anywhere:
// a text reads as 0 or as one key of 8..255 with modifier bits only; letter
// case and the order of the prefixes do not matter; what a read shortcut
// shows reads back as the same shortcut; a shown text is stable.

#include "platform/keynames/SimKeyNames.h"
#include "settings/ShortCut.h"
#include "tests/fuzz/FuzzSupport.h"

namespace kp::fuzz {
namespace {

using settings::ShortCutToText;
using settings::TextToShortCut;
using ui::TShortCut;

constexpr TShortCut kModifiers = ui::scShift | ui::scCtrl | ui::scAlt;

constexpr std::string_view kPrefixes[] = {"Shift+", "Ctrl+", "Alt+", "^", "shift+", "CTRL+", "aLT+", "+",
                                          "Shift", "Ctrl", "Meta+", "Shift+Shift+", " "};
constexpr std::string_view kKeys[] = {
    "A",     "z",     "0",     "9",        "F1",       "F12",      "F13",       "F24",       "F25",
    "F0",    "f3",    "BkSp",  "Tab",      "Enter",    "Esc",      "Space",     "PgUp",      "PgDn",
    "End",   "Home",  "Left",  "Up",       "Right",    "Down",     "Ins",       "Del",       "BackSpace",
    "Alt",   "Shift", "Control", "Num_Lock", "KP_Divide", "KP_Add", "Hiragana", ";",         "=",
    ",",     "-",     ".",     "/",        "`",        "[",        "\\",        "]",         "'",
    "<",     "^",     "+",     "",         "表",       "ｱ",        "Ａ",        "Redo",      "Find"};

std::string WithCase(std::string_view text, bool upper)
{
    std::string out(text);
    for (char& c : out) {
        if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return out;
}

void CheckText(const std::string& text, const platform::KeyNames& names)
{
    const TShortCut shortCut = TextToShortCut(text, names);
    KP_CHECK(TextToShortCut(WithCase(text, true), names) == shortCut, "upper case changes " + Escaped(text));
    KP_CHECK(TextToShortCut(WithCase(text, false), names) == shortCut, "lower case changes " + Escaped(text));
    if (shortCut == 0) return;
    const uint32_t key = shortCut & 0xFFu;
    KP_CHECK(key >= 8, Escaped(text) + " read as key " + std::to_string(key));
    KP_CHECK((shortCut & ~(kModifiers | 0xFF)) == 0, Escaped(text) + " read with stray bits");
    const std::string shown = ShortCutToText(shortCut, names);
    KP_CHECK(!shown.empty(), Escaped(text) + " reads as a shortcut that shows as nothing");
    KP_CHECK(TextToShortCut(shown, names) == shortCut,
          Escaped(text) + " shows as " + Escaped(shown) + ", which reads otherwise");
}

void Run(FuzzInput& in)
{
    const platform::SimKeyNames names;
    switch (in.Pick(3)) {
    case 0: {  // modifier prefixes in any order, then a key name
        std::string prefixes;
        std::vector<std::string_view> used;
        for (size_t n = in.Pick(4); n > 0; --n) used.push_back(kPrefixes[in.Pick(std::size(kPrefixes))]);
        const std::string_view key = kKeys[in.Pick(std::size(kKeys))];
        std::string text;
        for (const std::string_view p : used) text += p;
        CheckText(text + std::string(key), names);
        // Whole prefixes in reverse order read the same.
        std::string reversed;
        for (auto it = used.rbegin(); it != used.rend(); ++it) reversed += *it;
        const bool allPrefixes = std::all_of(used.begin(), used.end(), [](std::string_view p) {
            return WithCase(p, true) == "SHIFT+" || WithCase(p, true) == "CTRL+" || WithCase(p, true) == "ALT+" || p == "^";
        });
        if (allPrefixes && !key.empty())
            KP_CHECK(TextToShortCut(reversed + std::string(key), names) == TextToShortCut(text + std::string(key), names),
                  "the order of the prefixes matters for " + Escaped(text + std::string(key)));
        break;
    }
    case 1:  // any text
        CheckText(in.Bytes(40), names);
        break;
    default: {  // any shortcut value
        const auto shortCut = static_cast<TShortCut>(in.Byte() << 8 | in.Byte());
        const std::string shown = ShortCutToText(shortCut, names);
        const TShortCut plain = static_cast<TShortCut>(shortCut & (kModifiers | 0xFF));
        KP_CHECK(ShortCutToText(plain, names) == shown, "bits outside key and modifiers change the text");
        if (shown.empty()) break;
        const TShortCut read = TextToShortCut(shown, names);
        KP_CHECK(read != 0, "the text " + Escaped(shown) + " of " + std::to_string(shortCut) + " reads as nothing");
        KP_CHECK((read & kModifiers) == (shortCut & kModifiers), Escaped(shown) + " lost or gained a modifier");
        KP_CHECK(ShortCutToText(read, names) == shown, Escaped(shown) + " is not stable");
        CheckText(shown, names);
        break;
    }
    }
}

}  // namespace
}  // namespace kp::fuzz

KP_FUZZ_TARGET(kp::fuzz::Run)
