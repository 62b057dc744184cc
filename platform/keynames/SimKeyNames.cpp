#include "platform/keynames/SimKeyNames.h"

#include <string_view>

namespace kp::platform {

namespace {

struct KeyName {
    uint8_t key;
    std::string_view name;
};

constexpr KeyName kNames[] = {
    {0x08, "BackSpace"}, {0x09, "Tab"}, {0x0C, "KP_Begin"}, {0x0D, "Return"}, {0x10, "Shift"},
    {0x11, "Control"}, {0x12, "Alt"}, {0x13, "Pause"}, {0x14, "Caps_Lock"}, {0x15, "Hangul"},
    {0x19, "Hangul_Hanja"}, {0x1B, "Escape"}, {0x1C, "Henkan_Mode"}, {0x1D, "Muhenkan"}, {0x20, "space"},
    {0x21, "Prior"}, {0x22, "Next"}, {0x23, "End"}, {0x24, "Home"}, {0x25, "Left"}, {0x26, "Up"},
    {0x27, "Right"}, {0x28, "Down"}, {0x2C, "Print"}, {0x2D, "Insert"}, {0x2E, "Delete"}, {0x2F, "Alt"},
    {0x30, "0"}, {0x31, "1"}, {0x32, "2"}, {0x33, "3"}, {0x34, "4"}, {0x35, "5"}, {0x36, "6"}, {0x37, "7"},
    {0x38, "8"}, {0x39, "9"}, {0x41, "A"}, {0x42, "B"}, {0x43, "C"}, {0x44, "D"}, {0x45, "E"}, {0x46, "F"},
    {0x47, "G"}, {0x48, "H"}, {0x49, "I"}, {0x4A, "J"}, {0x4B, "K"}, {0x4C, "L"}, {0x4D, "M"}, {0x4E, "N"},
    {0x4F, "O"}, {0x50, "P"}, {0x51, "Q"}, {0x52, "R"}, {0x53, "S"}, {0x54, "T"}, {0x55, "U"}, {0x56, "V"},
    {0x57, "W"}, {0x58, "X"}, {0x59, "Y"}, {0x5A, "Z"}, {0x5B, "Super_L"}, {0x5C, "Super_R"}, {0x5D, "Menu"},
    {0x6A, "KP_Multiply"}, {0x6B, "KP_Add"}, {0x6D, "KP_Subtract"}, {0x6E, "KP_Delete"}, {0x6F, "KP_Divide"},
    {0x70, "F1"}, {0x71, "F2"}, {0x72, "F3"}, {0x73, "F4"}, {0x74, "F5"}, {0x75, "F6"}, {0x76, "F7"},
    {0x77, "F8"}, {0x78, "F9"}, {0x79, "F10"}, {0x7A, "F11"}, {0x7B, "F12"}, {0x90, "Num_Lock"},
    {0x91, "Scroll_Lock"}, {0x92, "="}, {0xA0, "Shift"}, {0xA1, "Shift"}, {0xA2, "Control"}, {0xA3, "Control"},
    {0xA4, "Alt"}, {0xA5, "Alt"}, {0xBA, ";"}, {0xBB, "="}, {0xBC, ","}, {0xBD, "-"}, {0xBE, "."}, {0xBF, "/"},
    {0xC0, "`"}, {0xDB, "["}, {0xDC, "\\"}, {0xDD, "]"}, {0xDE, "'"}, {0xDF, "ISO_Level3_Shift"},
    {0xE1, "Katakana"}, {0xE2, "<"}, {0xE3, "Hiragana"}, {0xE4, "Linefeed"}, {0xE9, "plusminus"},
    {0xEB, "Redo"}, {0xEC, "SunProps"}, {0xED, "Undo"}, {0xEE, "SunFront"}, {0xF2, "Hiragana_Katakana"},
    {0xF3, "Find"},
};

}  // namespace

std::string SimKeyNames::NameOf(uint32_t virtualKey) const
{
    for (const KeyName& entry : kNames)
        if (entry.key == virtualKey) return std::string(entry.name);
    return {};
}

}  // namespace kp::platform
