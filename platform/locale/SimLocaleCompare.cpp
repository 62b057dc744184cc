#include "platform/locale/SimLocaleCompare.h"

#include "base/Utf.h"

#include <string>

namespace kp::platform {

namespace {

// Upper case of a Latin Extended-A letter (U+0100..U+017F) or the letter
// itself. Pairs are upper-even/lower-odd, except in U+0139..U+0148 and
// U+0179..U+017E where they are upper-odd/lower-even. The platform keeps
// dotted and dotless i (U+0130, U+0131) apart from every other i, and leaves
// ĸ, ŉ and ſ alone.
char16_t FoldLatinExtendedA(char16_t c)
{
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (oddUpper) return (c % 2 == 0) ? c - 1 : c;
    return (c % 2 == 1) ? c - 1 : c;
}

char16_t Fold(char16_t c)
{
    if (c == 0xFF) return 0x178;   // ÿ, whose capital lies outside Latin-1
    if (c == 0x3C2) return 0x3A3;  // final sigma
    if (c >= 0x100 && c <= 0x17F) return FoldLatinExtendedA(c);
    return FoldCase(c);
}

}  // namespace

bool SimLocaleCompare::EqualIgnoreCase(std::string_view a, std::string_view b) const
{
    if (a == b) return true;
    const std::u16string wa = Utf8ToUtf16(a);
    const std::u16string wb = Utf8ToUtf16(b);
    if (wa.size() != wb.size()) return false;
    for (size_t i = 0; i < wa.size(); ++i)
        if (Fold(wa[i]) != Fold(wb[i])) return false;
    return true;
}

}  // namespace kp::platform
