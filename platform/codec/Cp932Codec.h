#pragma once
// Code page 932 (Shift-JIS) conversions.
//
// Document text stays bytes; these conversions serve display, the clipboard and
// the byte counts of non-document text. A byte sequence that does not decode
// (a lone lead byte, a lead byte with an invalid trail byte, an unassigned
// code, or one of the single bytes 0x80, 0xA0, 0xFD-0xFF) becomes U+FFFD, one
// for each character the lead-byte rule delimits, so callers can show a
// substitute while the bytes themselves stay untouched.

#include <cstdint>
#include <string>
#include <string_view>

namespace kp::platform {

class Cp932Codec {
public:
    virtual ~Cp932Codec() = default;

    virtual std::u16string ToUtf16(std::string_view bytes) const = 0;
    // Characters with no code-page-932 form become '?'.
    virtual std::string FromUtf16(std::u16string_view text) const = 0;
    virtual bool IsLeadByte(uint8_t byte) const = 0;

    std::string ToUtf8(std::string_view bytes) const;
    std::string FromUtf8(std::string_view utf8) const;
    // How many code-page-932 bytes a UTF-8 text takes.
    size_t Cp932Length(std::string_view utf8) const;
};

}  // namespace kp::platform
