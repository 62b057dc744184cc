#pragma once

#include "platform/clock/Clock.h"
#include "tests/contract/Contract.h"

namespace kp::test {

class ClockContract : public ::testing::TestWithParam<Implementation<platform::Clock>> {
protected:
    void SetUp() override { clock = GetParam().make(); }

    std::unique_ptr<platform::Clock> clock;
};

}  // namespace kp::test
