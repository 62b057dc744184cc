#pragma once
// Code page 932 through the platform's own tables (MultiByteToWideChar,
// WideCharToMultiByte, IsDBCSLeadByteEx).
//
// Left to themselves those calls take the byte after a lead byte even when it
// cannot be a trail byte (so "81 0D 0A" would lose its CR), decode 0x80, 0xA0
// and 0xFD-0xFF to U+0080 and private-use characters, and encode those back.
// This class splits the input into characters first and asks the platform
// only about sequences that can be characters, and checks that every encoded
// character decodes back to itself.

#include "platform/codec/Cp932Codec.h"

#include <array>

namespace kp::platform {

class Win32Cp932Codec final : public Cp932Codec {
public:
    Win32Cp932Codec();

    std::u16string ToUtf16(std::string_view bytes) const override;
    std::string FromUtf16(std::u16string_view text) const override;
    bool IsLeadByte(uint8_t byte) const override;

private:
    std::array<bool, 256> lead_{};
};

}  // namespace kp::platform
