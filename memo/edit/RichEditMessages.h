#pragma once
// The messages, flags and structures of the rich-edit interface that the edit
// control answers, with their platform values. Defined here without Win32
// headers so the portable model speaks the same numbers as the window does.
// Names differ from the platform's macros on purpose (no clash with
// <windows.h> in the Win32 view).

#include <cstdint>

namespace kp::memo::re {

// Standard edit messages.
constexpr uint32_t kGetSel = 0x00B0;            // EM_GETSEL
constexpr uint32_t kSetSel = 0x00B1;            // EM_SETSEL
constexpr uint32_t kGetRect = 0x00B2;           // EM_GETRECT
constexpr uint32_t kSetRect = 0x00B3;           // EM_SETRECT
constexpr uint32_t kSetRectNp = 0x00B4;         // EM_SETRECTNP
constexpr uint32_t kScrollCaret = 0x00B7;       // EM_SCROLLCARET
constexpr uint32_t kGetModify = 0x00B8;         // EM_GETMODIFY
constexpr uint32_t kSetModify = 0x00B9;         // EM_SETMODIFY
constexpr uint32_t kGetLineCount = 0x00BA;      // EM_GETLINECOUNT
constexpr uint32_t kLineIndex = 0x00BB;         // EM_LINEINDEX
constexpr uint32_t kLineLength = 0x00C1;        // EM_LINELENGTH
constexpr uint32_t kReplaceSel = 0x00C2;        // EM_REPLACESEL
constexpr uint32_t kCanUndo = 0x00C6;           // EM_CANUNDO
constexpr uint32_t kUndo = 0x00C7;              // EM_UNDO
constexpr uint32_t kLineFromChar = 0x00C9;      // EM_LINEFROMCHAR
constexpr uint32_t kEmptyUndoBuffer = 0x00CD;   // EM_EMPTYUNDOBUFFER
constexpr uint32_t kGetFirstVisibleLine = 0x00CE;  // EM_GETFIRSTVISIBLELINE
constexpr uint32_t kSetReadOnly = 0x00CF;       // EM_SETREADONLY
constexpr uint32_t kPosFromChar = 0x00D6;       // EM_POSFROMCHAR
constexpr uint32_t kCharFromPos = 0x00D7;       // EM_CHARFROMPOS

// Rich-edit messages (WM_USER based).
constexpr uint32_t kExGetSel = 0x0434;          // EM_EXGETSEL
constexpr uint32_t kExLimitText = 0x0435;       // EM_EXLIMITTEXT
constexpr uint32_t kExLineFromChar = 0x0436;    // EM_EXLINEFROMCHAR
constexpr uint32_t kExSetSel = 0x0437;          // EM_EXSETSEL
constexpr uint32_t kFindText = 0x0438;          // EM_FINDTEXT
constexpr uint32_t kGetEventMask = 0x043B;      // EM_GETEVENTMASK
constexpr uint32_t kGetSelText = 0x043E;        // EM_GETSELTEXT
constexpr uint32_t kSetBkgndColor = 0x0443;     // EM_SETBKGNDCOLOR
constexpr uint32_t kSetEventMask = 0x0445;      // EM_SETEVENTMASK
constexpr uint32_t kGetTextRange = 0x044B;      // EM_GETTEXTRANGE
constexpr uint32_t kSetOptions = 0x044D;        // EM_SETOPTIONS
constexpr uint32_t kGetOptions = 0x044E;        // EM_GETOPTIONS
constexpr uint32_t kSetPunctuation = 0x0464;    // EM_SETPUNCTUATION
constexpr uint32_t kGetPunctuation = 0x0465;    // EM_GETPUNCTUATION
constexpr uint32_t kSetWordWrapMode = 0x0466;   // EM_SETWORDWRAPMODE
constexpr uint32_t kGetWordWrapMode = 0x0467;   // EM_GETWORDWRAPMODE
constexpr uint32_t kSetImeColor = 0x0468;       // EM_SETIMECOLOR
constexpr uint32_t kGetImeColor = 0x0469;       // EM_GETIMECOLOR

// Notifications.
constexpr uint32_t kEnChange = 0x0300;          // EN_CHANGE (WM_COMMAND)
constexpr uint32_t kEnSelChange = 0x0702;       // EN_SELCHANGE (WM_NOTIFY)

// Event mask bits.
constexpr uint32_t kEnmChange = 0x00000001;
constexpr uint32_t kEnmRequestResize = 0x00040000;
constexpr uint32_t kEnmSelChange = 0x00080000;
constexpr uint32_t kEnmProtected = 0x00200000;

// Options (EM_SETOPTIONS) and how they combine.
constexpr uint32_t kEcoAutoWordSelection = 0x00000001;
constexpr uint32_t kEcoAutoVScroll = 0x00000040;
constexpr uint32_t kEcoAutoHScroll = 0x00000080;
constexpr uint32_t kEcoNoHideSel = 0x00000100;
constexpr uint32_t kEcoReadOnly = 0x00000800;
constexpr uint32_t kEcoWantReturn = 0x00001000;
constexpr uint32_t kEcoSaveSel = 0x00008000;
constexpr uint32_t kEcoSelectionBar = 0x01000000;
constexpr uint32_t kEcoVertical = 0x00400000;
constexpr uint32_t kEcoopSet = 1;
constexpr uint32_t kEcoopOr = 2;
constexpr uint32_t kEcoopAnd = 3;
constexpr uint32_t kEcoopXor = 4;

// Find flags.
constexpr uint32_t kFrDown = 0x00000001;
constexpr uint32_t kFtWholeWord = 0x00000002;
constexpr uint32_t kFtMatchCase = 0x00000004;

// Word-wrap mode bits (EM_SETWORDWRAPMODE).
constexpr uint32_t kWbfWordWrap = 0x0010;
constexpr uint32_t kWbfWordBreak = 0x0020;
constexpr uint32_t kWbfOverflow = 0x0040;
constexpr uint32_t kWbfLevel1 = 0x0080;
constexpr uint32_t kWbfLevel2 = 0x0100;
constexpr uint32_t kWbfCustom = 0x0200;

// Punctuation types (EM_SETPUNCTUATION wParam).
constexpr uint32_t kPcFollowing = 1;
constexpr uint32_t kPcLeading = 2;
constexpr uint32_t kPcOverflow = 3;
constexpr uint32_t kPcDelimiter = 4;

// IME composition colour slots and effects.
constexpr int kImeColorCount = 4;
constexpr uint32_t kCfeBold = 0x0001;
constexpr uint32_t kCfeItalic = 0x0002;
constexpr uint32_t kCfeUnderline = 0x0004;
constexpr uint32_t kCfeStrikeOut = 0x0008;

// Structures, laid out as the platform's (64-bit) are.
struct CharRange {
    int32_t cpMin;
    int32_t cpMax;
};

struct FindText {
    CharRange chrg;
    const char* lpstrText;  // code-page-932 bytes, zero-terminated
};

struct TextRange {
    CharRange chrg;
    char* lpstrText;  // receives code-page-932 bytes and a terminating zero
};

struct Rect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// A caller's rectangle may span more than an int holds: its extent and any
// coordinate derived from it are computed in 64 bits and clamped back.
inline int64_t Width(const Rect& rect) { return static_cast<int64_t>(rect.right) - rect.left; }
inline int64_t Height(const Rect& rect) { return static_cast<int64_t>(rect.bottom) - rect.top; }
inline int32_t ClampToInt32(int64_t value)
{
    return static_cast<int32_t>(value < INT32_MIN ? INT32_MIN : value > INT32_MAX ? INT32_MAX : value);
}

struct PointL {
    int32_t x;
    int32_t y;
};

struct Punctuation {
    uint32_t iSize;         // bytes of szPunctuation, the terminating zero included
    char* szPunctuation;    // code-page-932 characters, no separators
};

struct CompColor {
    uint32_t crText;        // 0x00BBGGRR
    uint32_t crBackground;  // 0x00BBGGRR
    uint32_t dwEffects;     // kCfe... bits
};

}  // namespace kp::memo::re
