#pragma once

#include "platform/registry/Registry.h"
#include "tests/contract/Contract.h"

namespace kp::test {

// Each test works below its own scratch key, removed before and after it.
class RegistryContract : public ::testing::TestWithParam<Implementation<platform::Registry>> {
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<platform::Registry> registry;
    std::string root;
};

}  // namespace kp::test
