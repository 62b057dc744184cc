#include "platform/codec/IconvCp932Codec.h"
#include "tests/TestPlatform.h"

namespace kp::test {

const platform::Cp932Codec& TestCodec()
{
    static const platform::IconvCp932Codec codec;
    return codec;
}

}  // namespace kp::test
