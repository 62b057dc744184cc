#pragma once
// The byte rules of code page 932 that need no conversion table.
//
// A lead byte (0x81-0x9F, 0xE0-0xFC) forms one character with the next byte
// only when that byte can be a trail byte (0x40-0x7E, 0x80-0xFC); otherwise
// the lead byte stands alone (and does not decode). CR and LF are never trail
// bytes, so every line start is a character boundary.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kp::cp932 {

constexpr bool IsLeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
constexpr bool IsTrailByte(uint8_t b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }
// Bytes that are characters by themselves: ASCII and half-width katakana.
constexpr bool IsSingleByteChar(uint8_t b) { return b < 0x80 || (b >= 0xA1 && b <= 0xDF); }

// The length (1 or 2) of the character that starts at bytes[at].
constexpr size_t CharLength(std::string_view bytes, size_t at)
{
    return at + 1 < bytes.size() && IsLeadByte(static_cast<uint8_t>(bytes[at])) &&
                   IsTrailByte(static_cast<uint8_t>(bytes[at + 1]))
               ? 2
               : 1;
}

}  // namespace kp::cp932
