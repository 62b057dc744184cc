#include "tests/contract/Contract.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "ui/win32/Win32Application.h"
#endif

namespace kp::test {

std::string ScratchKeyPath()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name)
        if (c == '/' || c == '\\') c = '_';
    return "Software\\Tamarind\\KestrelpadTests\\" + name;
}

}  // namespace kp::test

int main(int argc, char** argv)
{
#ifdef _WIN32
    // As the editor does at start: the Win32 tests run under the same rule.
    kp::ui::RestrictLibrarySearchToSystem();
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
