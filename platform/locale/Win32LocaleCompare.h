#pragma once
// The user's locale's comparison: CompareStringW(LOCALE_USER_DEFAULT,
// NORM_IGNORECASE) answering CSTR_EQUAL; the order is CompareStringW with no
// flags (what lstrcmpW does) and its keys LCMapStringW(LCMAP_SORTKEY) with the
// same locale and flags.

#include "platform/locale/LocaleCompare.h"

namespace kp::platform {

class Win32LocaleCompare final : public LocaleCompare {
public:
    bool EqualIgnoreCase(std::string_view a, std::string_view b) const override;
    int Compare(std::string_view a, std::string_view b) const override;
    std::string SortKey(std::string_view text) const override;
};

}  // namespace kp::platform
