#include "platform/locale/Win32LocaleCompare.h"

#include "base/Utf.h"

#include <windows.h>

#include <climits>
#include <string>

namespace kp::platform {

bool Win32LocaleCompare::EqualIgnoreCase(std::string_view a, std::string_view b) const
{
    const std::u16string wa = Utf8ToUtf16(a);
    const std::u16string wb = Utf8ToUtf16(b);
    // Lengths are passed explicitly so that embedded zeros take part.
    if (wa.size() > INT_MAX || wb.size() > INT_MAX) return false;
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE,
                          reinterpret_cast<const wchar_t*>(wa.data()), static_cast<int>(wa.size()),
                          reinterpret_cast<const wchar_t*>(wb.data()), static_cast<int>(wb.size())) ==
           CSTR_EQUAL;
}

}  // namespace kp::platform
