#pragma once
// Text metrics from GDI: the font is created with CreateFontIndirectW and
// selected into a memory DC compatible with the screen; the line height,
// ascent and average width are GetTextMetricsW's tmHeight, tmAscent and
// tmAveCharWidth.
//
// Widths of BMP characters come from GetCharWidth32W, 256 characters at a
// time, and are kept until the next SetFont, so laying out the same text
// again asks GDI nothing. A surrogate pair is measured with
// GetTextExtentPoint32W, which is what drawing the pair advances by.
// Use an instance from one thread only.

#include "platform/textmetrics/TextMetrics.h"

#include <array>
#include <map>
#include <memory>

namespace kp::platform {

class Win32TextMetrics final : public TextMetrics {
public:
    Win32TextMetrics();
    ~Win32TextMetrics() override;
    Win32TextMetrics(const Win32TextMetrics&) = delete;
    Win32TextMetrics& operator=(const Win32TextMetrics&) = delete;

    bool SetFont(const FontSpec& font) override;
    int LineHeight() const override { return lineHeight_; }
    int Ascent() const override { return ascent_; }
    int AverageCharWidth() const override { return averageWidth_; }
    int CharWidth(char16_t unit) const override;
    int CharWidth(char16_t high, char16_t low) const override;

private:
    using Page = std::array<int, 256>;

    void* dc_ = nullptr;        // HDC
    void* font_ = nullptr;      // HFONT selected into dc_
    void* initialFont_ = nullptr;  // what dc_ held before
    int lineHeight_ = 0;
    int ascent_ = 0;
    int averageWidth_ = 0;
    // Widths of BMP characters by high byte, filled a page at a time.
    mutable std::array<std::unique_ptr<Page>, 256> pages_;
    mutable std::map<char32_t, int> supplementary_;
};

}  // namespace kp::platform
