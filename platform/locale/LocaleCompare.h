#pragma once
// Comparison of texts the way the user's locale sees them, without regard to
// letter case: what decides that two file names are the same entry of a list.
// Width and kana type still count (abc and ａｂｃ, ｱ and ア differ). UTF-8.

#include <string_view>

namespace kp::platform {

class LocaleCompare {
public:
    virtual ~LocaleCompare() = default;
    virtual bool EqualIgnoreCase(std::string_view a, std::string_view b) const = 0;
};

}  // namespace kp::platform
