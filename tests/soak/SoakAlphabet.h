#pragma once
// The soak's command alphabet: what a random step may do, how often it is
// drawn, and the inputs it draws from. Two walks read these rows: the native
// soak over the simulated platform (tests/soak/SoakTest.cpp), where a row is
// an action on the main window's components, and the end-to-end soak of the
// real program (tests/e2e/SoakScenario.cpp), where the same row is keys,
// menu shortcuts, tool buttons, messages and dialog answers sent from
// another process. A row the end-to-end walk cannot predict the outcome of
// from outside (raw bytes, answers drawn inside the program) is marked so and
// left to the native walk.
//
// Standard library only: both the native and the Windows build include it.

#include <cstddef>
#include <cstdint>
#include <random>
#include <span>
#include <string_view>
#include <utility>

namespace kp::soak {

enum class Step {
    Type,       // a UTF-16 unit typed (WM_CHAR)
    Bytes,      // raw bytes put in place of the selection
    Backspace,
    DeleteKey,
    Move,       // a caret key, with or without Shift and Ctrl
    Select,     // a selection set by offsets
    Undo,
    Clipboard,  // cut, copy, paste and their variants
    Edit,       // Cutting, line delete, select all, date stamp, case
    Template,   // Text1 ... Text9
    Find,
    Replace,
    Quiet,      // commands that leave the text alone: dialogs, views, help
    File,       // New, Open, Save, Save As, LastTimeFile with dialogs
    History,
    Drop,
    Tick,       // the backup timer
    Restart,    // close and start again over the same store
    Uninstall,
    Trouble,    // the clipboard held elsewhere, a read-only file
    Explorer,   // the pane: browse, select, rename, delete, open, refresh
};

struct Row {
    const char* name;
    Step step;
    int weight;      // how often the row is drawn, against the others
    bool endToEnd;   // the end-to-end walk knows its outcome from outside
};

inline constexpr Row kAlphabet[] = {
    {"type", Step::Type, 30, true},           {"bytes", Step::Bytes, 8, false},
    {"backspace", Step::Backspace, 6, true},  {"delete key", Step::DeleteKey, 4, true},
    {"move", Step::Move, 14, true},           {"select", Step::Select, 8, true},
    {"undo", Step::Undo, 5, true},            {"clipboard", Step::Clipboard, 8, true},
    {"edit", Step::Edit, 6, false},           {"template", Step::Template, 3, true},
    {"find", Step::Find, 3, true},            {"replace", Step::Replace, 3, false},
    {"quiet", Step::Quiet, 4, false},         {"file", Step::File, 5, true},
    {"history", Step::History, 1, false},     {"drop", Step::Drop, 2, true},
    {"tick", Step::Tick, 4, false},           {"restart", Step::Restart, 1, true},
    {"uninstall", Step::Uninstall, 1, false}, {"trouble", Step::Trouble, 2, false},
    {"explorer", Step::Explorer, 4, true},
};

// Draws a row by weight; endToEndOnly keeps to the rows marked so.
inline const Row& DrawRow(std::mt19937_64& rng, bool endToEndOnly)
{
    int total = 0;
    for (const Row& row : kAlphabet)
        if (row.endToEnd || !endToEndOnly) total += row.weight;
    int roll = std::uniform_int_distribution<int>(0, total - 1)(rng);
    for (const Row& row : kAlphabet) {
        if (endToEndOnly && !row.endToEnd) continue;
        if (roll < row.weight) return row;
        roll -= row.weight;
    }
    return kAlphabet[0];
}

// ---- The inputs the rows draw from ------------------------------------------

// What typing a unit puts into the text: its code-page-932 bytes ('?' for a
// character without a form; nothing for LF, NUL and DEL, which the memo
// ignores; CR becomes a line break).
struct Typed {
    char16_t unit;
    std::string_view bytes;
};
inline constexpr Typed kTyped[] = {
    {u'a', "a"},         {u'Z', "Z"},  {u' ', " "},  {u'あ', "\x82\xA0"}, {u'ア', "\x83\x41"},
    {u'ｱ', "\xB1"},      {u'表', "\x95\x5C"},       {u'\t', "\t"},        {u'\r', "\r\n"},
    {u'\n', ""},         {u'\0', ""},  {u'é', "?"},  {u'\\', "\\"},        {u'\x7F', ""}};

// Bytes put in place of the selection as another program does (lone lead
// bytes, NUL, bare CR and LF).
inline constexpr std::string_view kRawBytes[] = {"\x82", "\x81\x40", std::string_view("\0", 1), "\r", "\n",
                                                 "\r\n", "\xFC",     "\xA0",                     "x",  "\x82\r\n"};

// What the user types into the find and replace dialogs (UTF-8).
inline constexpr std::string_view kPatterns[] = {"a", "line", "あ", "\r\n", "Z", "ｱ", "?", "表"};

// Caret keys (virtual-key codes): Left, Right, Up, Down, Home, End, PgUp, PgDn.
inline constexpr uint32_t kMoveKeys[] = {0x25, 0x27, 0x26, 0x28, 0x24, 0x23, 0x21, 0x22};

// The clipboard row's commands (menu keys); the first three have Ctrl+X,
// Ctrl+C and Ctrl+V and tool buttons.
inline constexpr const char* kClipboardCommands[] = {"Cut", "Copy", "Paste", "AddCut", "AddCopy", "CopyAll", "CutAll"};

// The file row's commands (menu keys).
inline constexpr const char* kFileCommands[] = {"New", "Open", "Save", "SaveAs", "LastTimeFile"};

// What the explorer row does in the pane.
enum class PaneAction { Browse, Select, Rename, Delete, Open, Refresh };
inline constexpr std::pair<PaneAction, int> kPaneActions[] = {
    {PaneAction::Browse, 2}, {PaneAction::Select, 3}, {PaneAction::Rename, 2},
    {PaneAction::Delete, 1}, {PaneAction::Open, 2},   {PaneAction::Refresh, 1}};

inline PaneAction DrawPaneAction(std::mt19937_64& rng)
{
    int total = 0;
    for (const auto& [action, weight] : kPaneActions) total += weight;
    int roll = std::uniform_int_distribution<int>(0, total - 1)(rng);
    for (const auto& [action, weight] : kPaneActions) {
        if (roll < weight) return action;
        roll -= weight;
    }
    return PaneAction::Select;
}

// Names a rename types: plain ones, Japanese ones, and ones the pane refuses
// (separators, wildcards, empty).
inline constexpr std::string_view kRenames[] = {"r.txt", "改名.txt", "b.txt", "x\\y.txt", "a*.txt", "", "名前"};

}  // namespace kp::soak
