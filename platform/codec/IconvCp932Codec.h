#pragma once
// Code page 932 through glibc's iconv ("CP932"), for the native build.
//
// glibc decodes exactly as Windows does once the byte sequences Windows would
// let through (0x80 and friends) are refused; what it refuses is replaced
// character by character. Its encoder also accepts a few look-alikes (U+00A5,
// U+301C, U+2212, ...) whose bytes decode to another character; every encoded
// character is therefore checked against the decoder and becomes '?' unless
// its bytes decode back to it.

#include "platform/codec/Cp932Codec.h"

namespace kp::platform {

class IconvCp932Codec final : public Cp932Codec {
public:
    // Throws std::runtime_error when the C library has no CP932 converter.
    IconvCp932Codec();

    std::u16string ToUtf16(std::string_view bytes) const override;
    std::string FromUtf16(std::u16string_view text) const override;
    bool IsLeadByte(uint8_t byte) const override;
};

}  // namespace kp::platform
