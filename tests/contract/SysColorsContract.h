#pragma once

#include "platform/syscolors/SysColors.h"
#include "tests/contract/Contract.h"

namespace kp::test {

class SysColorsContract : public ::testing::TestWithParam<Implementation<platform::SysColors>> {
protected:
    void SetUp() override { colors = GetParam().make(); }

    std::unique_ptr<platform::SysColors> colors;
};

}  // namespace kp::test
