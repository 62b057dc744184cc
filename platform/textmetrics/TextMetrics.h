#pragma once
// Measurements of text in one font, for laying out code-page-932 text on
// screen: line height, ascent and the advance width of each character, in
// device pixels.
//
// Text is given as UTF-16 (what the codec produces). A surrogate pair is one
// character; a lone surrogate is measured as U+FFFD, the character that stands
// in for it. Control characters (tab, CR, LF, NUL) have no meaningful width:
// layout places them itself.

#include "base/Utf.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kp::platform {

inline constexpr uint8_t kShiftJisCharset = 128;
// The longest face name the platform takes, in UTF-16 units.
inline constexpr size_t kMaxFaceNameUnits = 31;
inline constexpr int kMaxPixelHeight = 4096;

struct FontSpec {
    std::string face = "ＭＳ ゴシック";  // UTF-8; empty lets the platform pick by charset
    // The character height (em height) in device pixels, always positive:
    // what the memo calls "character height 15 pixels". The cell height
    // (LineHeight) is usually a little larger. This is GDI's lfHeight = -15;
    // the caller has already scaled it for the display's DPI.
    int pixelHeight = 16;
    bool bold = false;
    bool italic = false;
    uint8_t charset = kShiftJisCharset;
    // Drawn with the text; the metrics do not change.
    bool underline = false;
    bool strikeOut = false;
};

// Whether SetFont takes the description: a pixel height of 1..kMaxPixelHeight and a
// face name the platform can hold.
inline bool IsUsableFontSpec(const FontSpec& font)
{
    return font.pixelHeight >= 1 && font.pixelHeight <= kMaxPixelHeight &&
           Utf8ToUtf16(font.face).size() <= kMaxFaceNameUnits;
}

class TextMetrics {
public:
    virtual ~TextMetrics() = default;

    // Switches to the font. A spec that is not usable (IsUsableFontSpec), or a
    // font the platform cannot create, gives false and keeps the current font.
    // A new instance starts with FontSpec{}.
    virtual bool SetFont(const FontSpec& font) = 0;

    // The height of a line (the font's cell: ascent + descent).
    virtual int LineHeight() const = 0;
    // From the top of a line to the baseline.
    virtual int Ascent() const = 0;
    virtual int AverageCharWidth() const = 0;

    // The advance width of a character in the Basic Multilingual Plane.
    virtual int CharWidth(char16_t unit) const = 0;
    // The advance width of the character a surrogate pair encodes; two units
    // that are not a pair are measured as U+FFFD.
    virtual int CharWidth(char16_t high, char16_t low) const = 0;
    // The advances of a run, one per UTF-16 unit: out[i] is CharWidth of the
    // character starting at unit i, and 0 for the second unit of a pair. Out
    // is resized to text.size().
    void RunWidths(std::u16string_view text, std::vector<int>& out) const;
};

inline bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
inline bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

inline void TextMetrics::RunWidths(std::u16string_view text, std::vector<int>& out) const
{
    out.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            out[i] = CharWidth(text[i], text[i + 1]);
            out[++i] = 0;
        } else {
            out[i] = CharWidth(text[i]);
        }
    }
}

}  // namespace kp::platform
