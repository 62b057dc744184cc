#pragma once
// Shortcuts as the settings store them: "Ctrl+N", "Shift+Alt+F3", "Ctrl+;".
// Modifier prefixes in the order "Shift+", "Ctrl+", "Alt+", then the key's
// name: a fixed name for the common keys (BkSp, Tab, Enter, Esc, Space, PgUp,
// PgDn, End, Home, Left, Up, Right, Down, Ins, Del), the digit for the main-row
// and keypad digit keys, the capital for letters, F1..F24, and the platform's
// name for every other key.

#include "platform/keynames/KeyNames.h"
#include "ui/Menu.h"

#include <string>
#include <string_view>

namespace kp::settings {

// The text of a shortcut; empty for 0 and for a key that has no name.
std::string ShortCutToText(ui::TShortCut shortCut, const platform::KeyNames& names);

// Reads a shortcut back: the prefixes "Shift+", "Ctrl+" (or "^") and "Alt+",
// in any order and letter case, then the name of a key, compared without
// regard to case with the names of the keys 8..255 in that order; the first
// key of that name wins (so a keypad digit reads back as the main-row digit).
// 0 when no key has that name.
ui::TShortCut TextToShortCut(std::string_view text, const platform::KeyNames& names);

}  // namespace kp::settings
