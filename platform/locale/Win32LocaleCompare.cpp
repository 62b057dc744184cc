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

int Win32LocaleCompare::Compare(std::string_view a, std::string_view b) const
{
    const std::u16string wa = Utf8ToUtf16(a);
    const std::u16string wb = Utf8ToUtf16(b);
    if (wa.size() > INT_MAX || wb.size() > INT_MAX) return wa.size() < wb.size() ? -1 : 1;
    const int result = CompareStringW(LOCALE_USER_DEFAULT, 0, reinterpret_cast<const wchar_t*>(wa.data()),
                                      static_cast<int>(wa.size()), reinterpret_cast<const wchar_t*>(wb.data()),
                                      static_cast<int>(wb.size()));
    return result == 0 ? 0 : result - CSTR_EQUAL;
}

std::string Win32LocaleCompare::SortKey(std::string_view text) const
{
    const std::u16string wide = Utf8ToUtf16(text);
    if (wide.size() > INT_MAX / 8) return {};
    const auto* source = reinterpret_cast<const wchar_t*>(wide.data());
    const int length = static_cast<int>(wide.size());
    // Keys are a few bytes per unit; one call mostly suffices.
    std::string key(wide.size() * 6 + 16, '\0');
    int written = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, source, length,
                               reinterpret_cast<wchar_t*>(key.data()), static_cast<int>(key.size()));
    if (written == 0) {
        const int needed = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, source, length, nullptr, 0);
        if (needed <= 0) return {};
        key.assign(static_cast<size_t>(needed), '\0');
        written = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, source, length,
                               reinterpret_cast<wchar_t*>(key.data()), needed);
    }
    // The key's length counts its terminating zero byte.
    key.resize(written > 0 ? static_cast<size_t>(written - 1) : 0);
    return key;
}

}  // namespace kp::platform
