#include "platform/printer/PrintDevice.h"

#include "platform/codec/Cp932Codec.h"

namespace kp::platform {

std::u16string PrintGlyphs(const Cp932Codec& codec, std::string_view bytes)
{
    std::u16string text = codec.ToUtf16(bytes);
    for (char16_t& unit : text)
        if (unit < 0x20 || unit == 0x7F) unit = 0xFFFD;
    return text;
}

std::string CodeBytes(uint16_t code)
{
    if (code > 0xFF) return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    return std::string(1, static_cast<char>(code));
}

}  // namespace kp::platform
