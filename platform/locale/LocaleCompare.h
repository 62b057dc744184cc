#pragma once
// Comparison of texts the way the user's locale sees them, without regard to
// letter case: what decides that two file names are the same entry of a list;
// and the case-sensitive order lists sort their text columns by.
// Width and kana type still count (abc and ａｂｃ, ｱ and ア differ). UTF-8.

#include <string>
#include <string_view>

namespace kp::platform {

class LocaleCompare {
public:
    virtual ~LocaleCompare() = default;
    virtual bool EqualIgnoreCase(std::string_view a, std::string_view b) const = 0;
    // The locale's case-sensitive order of two texts (the platform's lstrcmp):
    // letters first by letter, then lower case before upper case. Negative
    // when a comes first, 0 when equal, positive when b does.
    virtual int Compare(std::string_view a, std::string_view b) const = 0;
    // A key whose bytes, compared as unsigned bytes (memcmp, the shorter
    // first on a tie), order texts as Compare does: a sort computes each
    // text's key once instead of comparing texts again and again.
    virtual std::string SortKey(std::string_view text) const = 0;
};

}  // namespace kp::platform
