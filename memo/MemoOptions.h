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
#include <string_view>

namespace kp::memo {

class TExtMemo;

constexpr TColor clSilver = 0x00C0C0C0;
constexpr TColor clGray = 0x00808080;
constexpr TColor clWhite = 0x00FFFFFF;

class TEditArea;

// Margins of the formatting rectangle. A change that is not negative applies
// the edit area through the memo.
class TEditMargin {
public:
    TEditMargin() = default;
    // A detached copy of the three values.
    TEditMargin(const TEditMargin& other) : left_(other.left_), top_(other.top_), bottom_(other.bottom_) {}
    // The three values, then one application through this margin's area.
    TEditMargin& operator=(const TEditMargin& other);

    int Left() const { return left_; }
    int Top() const { return top_; }
    // The distance of the rectangle's bottom above the client bottom.
    int Bottom() const { return bottom_; }
    void SetLeft(int value) { Set(left_, value); }
    void SetTop(int value) { Set(top_, value); }
    void SetBottom(int value) { Set(bottom_, value); }

private:
    friend class TEditArea;
    friend class TExtMemo;
    void Set(int& field, int value);

    int left_ = 0;
    int top_ = 0;
    int bottom_ = 0;
    TEditArea* area_ = nullptr;
};

// The formatting rectangle: a text column of fixed width after the left
// margin, and an overflow zone to its right for hanging punctuation.
class TEditArea {
public:
    explicit TEditArea(TExtMemo* memo = nullptr) : memo_(memo) { margin_.area_ = this; }
    // A detached copy of every value.
    TEditArea(const TEditArea& other);
    // Margins, width and overflow (not the switch), then applied through
    // this object's memo.
    TEditArea& operator=(const TEditArea& other);

    bool Enabled() const { return enabled_; }
    // Turning it on applies the area; turning it off sends nothing (the
    // control keeps its rectangle).
    void SetEnabled(bool value);
    TEditMargin& Margin() { return margin_; }
    const TEditMargin& Margin() const { return margin_; }
    void SetMargin(const TEditMargin& margin) { margin_ = margin; }
    int Width() const { return width_; }
    void SetWidth(int value);
    int OverFlow() const { return overFlow_; }
    void SetOverFlow(int value);

private:
    friend class TEditMargin;
    friend class TExtMemo;
    void Apply();

    TExtMemo* memo_;
    bool enabled_ = false;
    TEditMargin margin_;
    int overFlow_ = 0;
    int width_ = 0;
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

class TImeColors;

// Colours and effects of one composition state. A changed value makes the
// owning set send all four states.
class TImeColor {
public:
    TImeColor() = default;
    TImeColor(TColor text, TColor background, TFontStyles style)
        : text_(text), background_(background), style_(style)
    {
    }
    // A detached copy of the three values.
    TImeColor(const TImeColor& other) : TImeColor(other.text_, other.background_, other.style_) {}
    // The three values, then the owner sends.
    TImeColor& operator=(const TImeColor& other);
    bool operator==(const TImeColor& other) const
    {
        return text_ == other.text_ && background_ == other.background_ && style_ == other.style_;
    }

    TColor icText() const { return text_; }
    TColor icBackground() const { return background_; }
    TFontStyles Style() const { return style_; }
    void SetIcText(TColor value);
    void SetIcBackground(TColor value);
    void SetStyle(TFontStyles value);

private:
    friend class TImeColors;
    friend class TExtMemo;
    void Changed();

    TColor text_ = clBlack;
    TColor background_ = clBlack;
    TFontStyles style_ = 0;
    TImeColors* owner_ = nullptr;
};

// The four composition states, exchanged with the control as one array.
class TImeColors {
public:
    explicit TImeColors(TExtMemo* memo = nullptr);
    // A detached copy of the four states.
    TImeColors(const TImeColors& other);
    // The four states, then sent through this object's memo.
    TImeColors& operator=(const TImeColors& other);

    TImeColor Untransfered;
    TImeColor WatchingTransfered;
    TImeColor Transfered;
    TImeColor WatchingUntransfered;

    // A state is assigned (and sent) only when it differs.
    void SetUntransfered(const TImeColor& c) { SetState(Untransfered, c); }
    void SetWatchingTransfered(const TImeColor& c) { SetState(WatchingTransfered, c); }
    void SetTransfered(const TImeColor& c) { SetState(Transfered, c); }
    void SetWatchingUntransfered(const TImeColor& c) { SetState(WatchingUntransfered, c); }
    bool SameColors(const TImeColors& other) const;
    // The states in the control's array order.
    TImeColor* States(size_t index);

private:
    friend class TImeColor;
    void SetState(TImeColor& state, const TImeColor& c);
    void Send();

    TExtMemo* memo_;
};

enum TPunctuationMode { wbfCustom, wbfLevel1, wbfLevel2 };
enum TWordWrapMode : uint8_t { wbfWordWrap = 1, wbfWordBreak = 2, wbfOverFlow = 4 };
using TWordWrapModes = uint8_t;

// The line-breaking mode word and the punctuation sets. The mode word holds
// the wrapping flags (0x10 wrap, 0x20 word break, 0x40 overflow) and the rule
// (0x80 level 1, 0x100 level 2, 0x200 custom).
class TWordWrapOption {
public:
    explicit TWordWrapOption(TExtMemo* memo = nullptr) : memo_(memo) {}
    // A detached copy of the sets and the mode word.
    TWordWrapOption(const TWordWrapOption& other);
    // The twelve sets and the mode word; this object's memo then sends the
    // custom sets (clearing one the control refuses) and the mode word.
    TWordWrapOption& operator=(const TWordWrapOption& other);

    // The set of a type (1 following, 2 leading, 3 overflow, 4 delimiter)
    // under the current rule; while the memo is written to a form, the
    // custom set.
    std::string Punctuation(uint32_t type) const;
    // Switches to the custom rule and stores the custom set, sending it when
    // it changed; a set the control refuses is cleared.
    void SetPunctuation(uint32_t type, std::string_view value);
    std::string pcFollowing() const { return Punctuation(1); }
    std::string pcLeading() const { return Punctuation(2); }
    std::string pcOverFlow() const { return Punctuation(3); }
    std::string pcDelimiter() const { return Punctuation(4); }
    void SetPcFollowing(std::string_view value) { SetPunctuation(1, value); }
    void SetPcLeading(std::string_view value) { SetPunctuation(2, value); }
    void SetPcOverFlow(std::string_view value) { SetPunctuation(3, value); }
    void SetPcDelimiter(std::string_view value) { SetPunctuation(4, value); }

    TPunctuationMode PunctuationMode() const;
    void SetPunctuationMode(TPunctuationMode mode);
    TWordWrapModes WordWrapMode() const;
    void SetWordWrapMode(TWordWrapModes modes);

    // Sets: following, leading, overflow, delimiter.
    std::array<std::string, 4> custom;
    std::array<std::string, 4> level1;
    std::array<std::string, 4> level2;
    uint32_t modeWord = 0;

private:
    intptr_t Send(uint32_t message, uintptr_t wParam, intptr_t lParam) const;
    // EM_SETPUNCTUATION with the custom set of a type, cleared when refused.
    void SendCustomSet(uint32_t type);

    TExtMemo* memo_;
};

}  // namespace kp::memo
