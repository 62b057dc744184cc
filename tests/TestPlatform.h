#pragma once
// Platform pieces that portable tests use as they are: the simulation
// natively, the real platform in the Win32 test program.

#include "platform/codec/Cp932Codec.h"

namespace kp::test {

const platform::Cp932Codec& TestCodec();

}  // namespace kp::test
