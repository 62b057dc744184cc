#pragma once
// Contract suites: one suite per platform interface, written once and run
// against every implementation. NativeInstances.cpp instantiates them with the
// simulation; Win32Instances.cpp with the real platform (and the simulation,
// so both answer the same questions in one run under Wine).

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

namespace kp::test {

template <class Interface>
struct Implementation {
    std::string name;
    std::function<std::unique_ptr<Interface>()> make;
};

// Failure messages name the implementation instead of dumping its bytes.
template <class Interface>
void PrintTo(const Implementation<Interface>& implementation, std::ostream* os)
{
    *os << implementation.name;
}

template <class Interface>
std::string ImplementationName(const ::testing::TestParamInfo<Implementation<Interface>>& info)
{
    return info.param.name;
}

// A key path under HKEY_CURRENT_USER that belongs to the running test alone.
std::string ScratchKeyPath();

}  // namespace kp::test

// Declares the instantiation of a contract suite for a list of implementations.
#define KP_CONTRACT_INSTANCES(Suite, Interface, ...)                                          \
    INSTANTIATE_TEST_SUITE_P(Impl, Suite,                                                     \
                             ::testing::Values(__VA_ARGS__),                                  \
                             ::kp::test::ImplementationName<Interface>)
