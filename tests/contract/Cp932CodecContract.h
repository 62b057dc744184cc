#pragma once

#include "platform/codec/Cp932Codec.h"
#include "tests/contract/Contract.h"

namespace kp::test {

class Cp932CodecContract : public ::testing::TestWithParam<Implementation<platform::Cp932Codec>> {
protected:
    void SetUp() override { codec = GetParam().make(); }

    std::unique_ptr<platform::Cp932Codec> codec;
};

}  // namespace kp::test
