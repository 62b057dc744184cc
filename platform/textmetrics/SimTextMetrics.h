#pragma once
// Deterministic metrics of an imaginary fixed-pitch Japanese font, the same
// for every face name, weight and slant.
//
// At a pixel height of 16: every half-width character (U+0000-U+007F and the
// half-width katakana U+FF61-U+FF9F) advances 8 px, every other character
// (surrogate pairs included) 16 px; line height 16, ascent 13, average width 8.
// At another pixel height h each of those values v becomes v * h / 16 rounded
// to the nearest integer (halves up), except the full width, which stays
// exactly twice the half width, as in real fixed-pitch Japanese fonts. So at
// h = 15: half 8, full 16, line height 15, ascent 12.

#include "platform/textmetrics/TextMetrics.h"

namespace kp::platform {

class SimTextMetrics final : public TextMetrics {
public:
    bool SetFont(const FontSpec& font) override;
    int LineHeight() const override;
    int Ascent() const override;
    int AverageCharWidth() const override;
    int CharWidth(char16_t unit) const override;
    int CharWidth(char16_t high, char16_t low) const override;

private:
    int HalfWidth() const;
    int Scaled(int valueAt16) const;

    int pixelHeight_ = FontSpec{}.pixelHeight;
};

}  // namespace kp::platform
