#pragma once

#include "platform/locale/DateTimeLocale.h"
#include "tests/contract/Contract.h"

namespace kp::test {

class DateTimeLocaleContract
    : public ::testing::TestWithParam<Implementation<platform::DateTimeLocale>> {
protected:
    void SetUp() override { locale = GetParam().make(); }

    std::unique_ptr<platform::DateTimeLocale> locale;
};

}  // namespace kp::test
