#pragma once

#include "platform/registry/Registry.h"
#include "tests/contract/Contract.h"

namespace kp::test {

// The settings store over each registry implementation.
class RegIniFileContract : public ::testing::TestWithParam<Implementation<platform::Registry>> {
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<platform::Registry> registry;
    std::string root;
};

// Removes a scratch key and everything below it.
void RemoveScratchKey(platform::Registry& registry, const std::string& path);

}  // namespace kp::test
