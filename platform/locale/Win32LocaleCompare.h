#pragma once
// The user's locale's comparison: CompareStringW(LOCALE_USER_DEFAULT,
// NORM_IGNORECASE) answering CSTR_EQUAL.

#include "platform/locale/LocaleCompare.h"

namespace kp::platform {

class Win32LocaleCompare final : public LocaleCompare {
public:
    bool EqualIgnoreCase(std::string_view a, std::string_view b) const override;
};

}  // namespace kp::platform
