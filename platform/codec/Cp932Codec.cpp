#include "platform/codec/Cp932Codec.h"

#include "base/Utf.h"

namespace kp::platform {

std::string Cp932Codec::ToUtf8(std::string_view bytes) const
{
    return Utf16ToUtf8(ToUtf16(bytes));
}

std::string Cp932Codec::FromUtf8(std::string_view utf8) const
{
    return FromUtf16(Utf8ToUtf16(utf8));
}

size_t Cp932Codec::Cp932Length(std::string_view utf8) const
{
    return FromUtf8(utf8).size();
}

}  // namespace kp::platform
