#pragma once
// A colour value: 0x00BBGGRR for an RGB colour, or 0x80000000 plus a system
// colour index. System colours are resolved only when drawn (ColorToRGB).

#include <cstdint>

namespace kp {

using TColor = uint32_t;

constexpr TColor kSystemColorFlag = 0x80000000u;
constexpr int kColorWindow = 5;
constexpr int kColorWindowText = 8;

constexpr TColor clBlack = 0x000000;
constexpr TColor clWindow = kSystemColorFlag | kColorWindow;
constexpr TColor clWindowText = kSystemColorFlag | kColorWindowText;

constexpr TColor RGBColor(uint8_t r, uint8_t g, uint8_t b)
{
    return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}
constexpr bool IsSystemColor(TColor c) { return (c & kSystemColorFlag) != 0; }
constexpr int SystemColorIndex(TColor c) { return static_cast<int>(c & 0xFF); }

}  // namespace kp
