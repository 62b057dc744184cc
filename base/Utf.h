#pragma once
// UTF-8 <-> UTF-16 for every text that is not document text (captions, paths,
// registry names). Invalid input never throws: each bad unit becomes U+FFFD.

#include <string>
#include <string_view>

namespace kp {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Registry-style case folding for names: ASCII and full-width Latin letters,
// plus the Latin-1, Greek and Cyrillic ranges the platform folds as well.
char16_t FoldCase(char16_t c);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace kp
