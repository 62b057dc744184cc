#pragma once
// The memo's option objects: small value objects that configure the edit
// area, the painted marks, the IME colours and the line-breaking rules.
// Assigning one copies its values; those that refer back to the memo apply a
// change through it at once.
//
// Only the memo's own objects refer back to it. A copy of one is a detached
// value (a settings dialog edits such copies): changing or assigning it
// touches no control, and assigning it to the memo's object applies it.

#include "base/Color.h"

#include <array>
#include <cstdint>
#include <string>

namespace kp::memo {

class TExtMemo;

constexpr TColor clSilver = 0x00C0C0C0;
constexpr TColor clGray = 0x00808080;
constexpr TColor clWhite = 0x00FFFFFF;

class TEditMargin {
public:
    int Left = 0;
    int Top = 0;
    int Bottom = 0;  // distance of the rectangle's bottom above the client bottom
};

class TEditArea {
public:
    explicit TEditArea(TExtMemo* memo = nullptr) : memo_(memo) {}
    // A detached copy of every value.
    TEditArea(const TEditArea& other);
    // Margins, width and overflow (not the switch), then applied through
    // this object's memo.
    TEditArea& operator=(const TEditArea& other);

    bool Enabled = false;
    TEditMargin Margin;
    int OverFlow = 0;
    int Width = 0;

private:
    TExtMemo* memo_;
};

class TEditMark {
public:
    bool Enabled = false;
    TColor Color = clSilver;
    bool Reversed = false;
};

class TEditMarks {
public:
    TEditMark CrLf;
    TEditMark Ctrl;
    TEditMark DSp;
    TEditMark SSp;
    TEditMark Tab;
    TEditMark Eot;
};

class TMarker {
public:
    bool Enabled = false;
    TColor Color = clSilver;
};

enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t;

class TImeColor {
public:
    TColor icText = clBlack;
    TColor icBackground = clBlack;
    TFontStyles Style = 0;
    bool operator==(const TImeColor&) const = default;
};

class TImeColors {
public:
    explicit TImeColors(TExtMemo* memo = nullptr) : memo_(memo) {}
    // A detached copy of the four states.
    TImeColors(const TImeColors& other);
    // The four states; this object's memo sends them to the control unless
    // they are the ones it holds already.
    TImeColors& operator=(const TImeColors& other);

    TImeColor Untransfered;
    TImeColor WatchingTransfered;
    TImeColor Transfered;
    TImeColor WatchingUntransfered;
    bool SameColors(const TImeColors& other) const;

private:
    TExtMemo* memo_;
};

enum TPunctuationMode { wbfCustom, wbfLevel1, wbfLevel2 };
enum TWordWrapMode : uint8_t { wbfWordWrap = 1, wbfWordBreak = 2, wbfOverFlow = 4 };
using TWordWrapModes = uint8_t;

class TWordWrapOption {
public:
    explicit TWordWrapOption(TExtMemo* memo = nullptr) : memo_(memo) {}
    // A detached copy of the sets and the mode word.
    TWordWrapOption(const TWordWrapOption& other);
    // The twelve sets and the mode word; this object's memo then sends the
    // custom sets (clearing one the control refuses) and the mode word.
    TWordWrapOption& operator=(const TWordWrapOption& other);

    // Sets: following, leading, overflow, delimiter.
    std::array<std::string, 4> custom;
    std::array<std::string, 4> level1;
    std::array<std::string, 4> level2;
    uint32_t modeWord = 0;

private:
    TExtMemo* memo_;
};

}  // namespace kp::memo
