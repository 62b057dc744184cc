#pragma once
// GlyphMetrics for a real font: each code-page-932 code is decoded once,
// measured through the platform's TextMetrics and kept in a table. Bytes that
// do not decode are measured as the substitute the view draws for them.

#include "memo/edit/GlyphMetrics.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kp::platform {
class Cp932Codec;
class TextMetrics;
}  // namespace kp::platform

namespace kp::memo {

// What the view draws for a byte or pair that does not decode.
inline constexpr char16_t kSubstituteGlyph = 0xFFFD;

class FontGlyphMetrics final : public GlyphMetrics {
public:
    FontGlyphMetrics(const platform::TextMetrics& metrics, const platform::Cp932Codec& codec);

    int CharWidth(uint16_t code) override;
    int LineHeight() override;
    int Ascent() override;
    int AveCharWidth() override;

    // After the font of the TextMetrics changed.
    void Reset();

    // The UTF-16 text the view draws for a code (the substitute when it
    // does not decode; a control character shows as the substitute too).
    std::u16string Glyph(uint16_t code) const;

private:
    const platform::TextMetrics& metrics_;
    const platform::Cp932Codec& codec_;
    std::vector<int32_t> widths_;  // -1: not measured yet
};

}  // namespace kp::memo
