#include "memo/edit/Find.h"

#include "base/Cp932.h"
#include "memo/edit/CharClass.h"

#include <algorithm>
#include <string>

namespace kp::memo {

namespace {

constexpr size_t kBlock = 1 << 20;

uint8_t Byte(std::string_view s, size_t i) { return static_cast<uint8_t>(s[i]); }

uint8_t FoldAscii(uint8_t b) { return b >= 'a' && b <= 'z' ? b - 32 : b; }

// Full-width Latin letters: lower case 82 81-9A, upper case 82 60-79.
uint16_t FoldCode(uint16_t code)
{
    if (code <= 0xFF) return FoldAscii(static_cast<uint8_t>(code));
    if (code >= 0x8281 && code <= 0x829A) return code - 0x21;
    return code;
}

uint16_t CodeAt(std::string_view s, size_t at, size_t length)
{
    return length == 2 ? static_cast<uint16_t>((Byte(s, at) << 8) | Byte(s, at + 1)) : Byte(s, at);
}

// Compares the pattern with the text window at `at`, character by character.
bool MatchesAt(std::string_view window, size_t at, std::string_view pattern, bool matchCase)
{
    size_t p = 0;
    size_t t = at;
    while (p < pattern.size()) {
        if (t >= window.size()) return false;
        const size_t pl = cp932::CharLength(pattern, p);
        const size_t tl = cp932::CharLength(window, t);
        if (pl != tl || t + tl > window.size()) return false;
        const uint16_t pc = CodeAt(pattern, p, pl);
        const uint16_t tc = CodeAt(window, t, tl);
        if (matchCase ? pc != tc : FoldCode(pc) != FoldCode(tc)) return false;
        p += pl;
        t += tl;
    }
    return true;
}

uint16_t CodeAtOffset(const TextBuffer& text, size_t offset)
{
    const std::string bytes = text.Read(offset, 2);
    return CodeAt(bytes, 0, cp932::CharLength(bytes, 0));
}

bool IsWholeWord(const TextBuffer& text, size_t start, size_t end)
{
    if (start > 0) {
        const uint16_t before = CodeAtOffset(text, text.PrevChar(start));
        const uint16_t first = CodeAtOffset(text, start);
        if (ClassOf(first) == CharClass::Word && ClassOf(before) == CharClass::Word) return false;
    }
    if (end < text.Length()) {
        const uint16_t last = CodeAtOffset(text, text.PrevChar(end));
        const uint16_t after = CodeAtOffset(text, end);
        if (ClassOf(last) == CharClass::Word && ClassOf(after) == CharClass::Word) return false;
    }
    return true;
}

bool FirstByteCanMatch(uint8_t b, uint8_t first, bool matchCase)
{
    // Folding never changes a lead byte, so only ASCII letters need a second look.
    return b == first || (!matchCase && first < 0x80 && FoldAscii(b) == FoldAscii(first));
}

bool Accept(const TextBuffer& text, size_t offset, size_t length, FindOptions options)
{
    if (text.CharStart(offset) != offset) return false;  // inside a double-byte character
    return !options.wholeWord || IsWholeWord(text, offset, offset + length);
}

}  // namespace

int64_t FindInText(const TextBuffer& text, size_t from, size_t to, std::string_view pattern,
                   FindOptions options)
{
    const size_t length = text.Length();
    from = std::min(from, length);
    to = std::min(to, length);
    if (pattern.empty()) return -1;
    const bool backward = to < from;
    const size_t lo = backward ? to : from;
    const size_t hi = backward ? from : to;
    if (hi - lo < pattern.size()) return -1;
    const uint8_t first = Byte(pattern, 0);
    const size_t lastStart = hi - pattern.size();

    if (!backward) {
        for (size_t block = lo; block <= lastStart; block += kBlock) {
            const size_t blockEnd = std::min(lastStart + 1, block + kBlock);
            // The window reaches one byte past the match so a lead byte's
            // partner is visible.
            const std::string window = text.Read(block, blockEnd - block + pattern.size() + 1);
            for (size_t i = 0; i < blockEnd - block; ++i) {
                if (!FirstByteCanMatch(Byte(window, i), first, options.matchCase)) continue;
                if (!MatchesAt(window, i, pattern, options.matchCase)) continue;
                if (block + i + pattern.size() > hi) continue;
                if (Accept(text, block + i, pattern.size(), options)) return static_cast<int64_t>(block + i);
            }
        }
        return -1;
    }
    for (size_t blockEnd = lastStart + 1; blockEnd > lo;) {
        const size_t block = blockEnd - lo > kBlock ? blockEnd - kBlock : lo;
        const std::string window = text.Read(block, blockEnd - block + pattern.size() + 1);
        for (size_t i = blockEnd - block; i-- > 0;) {
            if (!FirstByteCanMatch(Byte(window, i), first, options.matchCase)) continue;
            if (!MatchesAt(window, i, pattern, options.matchCase)) continue;
            if (Accept(text, block + i, pattern.size(), options)) return static_cast<int64_t>(block + i);
        }
        blockEnd = block;
    }
    return -1;
}

}  // namespace kp::memo
