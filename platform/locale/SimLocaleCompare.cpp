#include "platform/locale/SimLocaleCompare.h"

#include "base/Utf.h"

#include <algorithm>
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

// 0 for a lower-case unit, 1 for any other: only units that fold alike are
// compared by it, and of those only the lower-case one folds to another.
int CaseWeight(char16_t c) { return Fold(c) != c ? 0 : 1; }

}  // namespace

int SimLocaleCompare::Compare(std::string_view a, std::string_view b) const
{
    const std::u16string wa = Utf8ToUtf16(a);
    const std::u16string wb = Utf8ToUtf16(b);
    const size_t common = std::min(wa.size(), wb.size());
    for (size_t i = 0; i < common; ++i) {
        const char16_t fa = Fold(wa[i]), fb = Fold(wb[i]);
        if (fa != fb) return fa < fb ? -1 : 1;
    }
    if (wa.size() != wb.size()) return wa.size() < wb.size() ? -1 : 1;
    for (size_t i = 0; i < common; ++i) {
        const int ca = CaseWeight(wa[i]), cb = CaseWeight(wb[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return 0;
}

std::string SimLocaleCompare::SortKey(std::string_view text) const
{
    // Each folded unit as three bytes of 2 and more, a 1 after the last, then
    // one case byte per unit: bytes order as Compare does.
    const std::u16string wide = Utf8ToUtf16(text);
    std::string key;
    key.reserve(wide.size() * 4 + 1);
    for (const char16_t c : wide) {
        const char16_t f = Fold(c);
        key += static_cast<char>(2 + (f >> 12));
        key += static_cast<char>(2 + ((f >> 6) & 0x3F));
        key += static_cast<char>(2 + (f & 0x3F));
    }
    key += '\x01';
    for (const char16_t c : wide) key += static_cast<char>(2 + CaseWeight(c));
    return key;
}

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
