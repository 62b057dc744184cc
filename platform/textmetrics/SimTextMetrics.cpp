#include "platform/textmetrics/SimTextMetrics.h"

namespace kp::platform {

namespace {

constexpr int kDesignHeight = 16;

bool IsHalfWidth(char16_t unit) { return unit <= 0x7F || (unit >= 0xFF61 && unit <= 0xFF9F); }

}  // namespace

bool SimTextMetrics::SetFont(const FontSpec& font)
{
    if (!IsUsableFontSpec(font)) return false;
    pixelHeight_ = font.pixelHeight;
    return true;
}

int SimTextMetrics::Scaled(int valueAt16) const
{
    return (valueAt16 * pixelHeight_ * 2 + kDesignHeight) / (kDesignHeight * 2);
}

int SimTextMetrics::HalfWidth() const { return Scaled(8); }
int SimTextMetrics::LineHeight() const { return Scaled(16); }
int SimTextMetrics::Ascent() const { return Scaled(13); }
int SimTextMetrics::AverageCharWidth() const { return HalfWidth(); }

int SimTextMetrics::CharWidth(char16_t unit) const
{
    if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) unit = 0xFFFD;
    return IsHalfWidth(unit) ? HalfWidth() : 2 * HalfWidth();
}

int SimTextMetrics::CharWidth(char16_t high, char16_t low) const
{
    if (!IsHighSurrogate(high) || !IsLowSurrogate(low)) return CharWidth(u'\uFFFD');
    return 2 * HalfWidth();
}

}  // namespace kp::platform
