#pragma once
// Japanese-like code-page-932 text for benchmarks: ASCII letters and
// double-byte kana, with CR LF every 40 to 80 bytes. The same seed gives the
// same text everywhere, so figures compare across programs.

#include <cstdint>
#include <map>
#include <random>
#include <string>

namespace kp::bench {

inline std::string JapaneseText(size_t size)
{
    std::mt19937 rng(2026);
    std::string s;
    s.reserve(size + 8);
    size_t lineStart = 0;
    while (s.size() < size) {
        const uint32_t r = rng();
        if (s.size() - lineStart >= 40 + r % 41) {
            s += "\r\n";
            lineStart = s.size();
        } else if (r % 3 == 0) {
            s += static_cast<char>('a' + (r >> 8) % 26);
        } else {
            s += static_cast<char>(0x82 + (r >> 8) % 2);
            s += static_cast<char>(0x9F + (r >> 12) % 80);
        }
    }
    s.resize(size);
    return s;
}

// The text of a size, made once per program.
inline const std::string& CachedJapaneseText(size_t size)
{
    static std::map<size_t, std::string> cache;
    std::string& text = cache[size];
    if (text.empty()) text = JapaneseText(size);
    return text;
}

}  // namespace kp::bench
