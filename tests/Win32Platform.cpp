#include "platform/codec/Win32Cp932Codec.h"
#include "tests/TestPlatform.h"

namespace kp::test {

const platform::Cp932Codec& TestCodec()
{
    static const platform::Win32Cp932Codec codec;
    return codec;
}

}  // namespace kp::test
