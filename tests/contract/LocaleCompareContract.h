#pragma once

#include "platform/locale/LocaleCompare.h"
#include "tests/contract/Contract.h"

namespace kp::test {

class LocaleCompareContract
    : public ::testing::TestWithParam<Implementation<platform::LocaleCompare>> {
protected:
    void SetUp() override { compare = GetParam().make(); }

    bool Equal(std::string_view a, std::string_view b) const
    {
        // The answer must not depend on the order of the two texts.
        const bool forward = compare->EqualIgnoreCase(a, b);
        EXPECT_EQ(forward, compare->EqualIgnoreCase(b, a)) << a << " / " << b;
        return forward;
    }

    std::unique_ptr<platform::LocaleCompare> compare;
};

}  // namespace kp::test
