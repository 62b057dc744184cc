#pragma once
// What layout needs to know about the font: the advance of each character of
// the document, by its code-page-932 code, and the line geometry.

#include <cstdint>

namespace kp::memo {

class GlyphMetrics {
public:
    virtual ~GlyphMetrics() = default;

    // code: a single byte b as b; a double-byte character as (lead << 8) | trail.
    // Bytes that do not decode are drawn as a substitute and measured as such.
    virtual int CharWidth(uint16_t code) = 0;
    virtual int LineHeight() = 0;
    virtual int Ascent() = 0;
    virtual int AveCharWidth() = 0;
};

// Deterministic metrics for tests of layout and hit-testing: single bytes are
// `narrow` wide, double-byte characters twice that.
class FixedGlyphMetrics final : public GlyphMetrics {
public:
    explicit FixedGlyphMetrics(int narrow = 8, int lineHeight = 16) : narrow_(narrow), height_(lineHeight) {}
    int CharWidth(uint16_t code) override { return code > 0xFF ? 2 * narrow_ : narrow_; }
    int LineHeight() override { return height_; }
    int Ascent() override { return height_ * 13 / 16; }
    int AveCharWidth() override { return narrow_; }

private:
    int narrow_;
    int height_;
};

}  // namespace kp::memo
