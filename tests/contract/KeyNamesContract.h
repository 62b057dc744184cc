#pragma once

#include "platform/keynames/KeyNames.h"
#include "tests/contract/Contract.h"

namespace kp::test {

class KeyNamesContract : public ::testing::TestWithParam<Implementation<platform::KeyNames>> {
protected:
    void SetUp() override { names = GetParam().make(); }

    std::unique_ptr<platform::KeyNames> names;
};

}  // namespace kp::test
