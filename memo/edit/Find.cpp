#include "memo/edit/Find.h"

#include "base/Cp932.h"
#include "memo/edit/CharClass.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include <emmintrin.h>

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

// ---- Exact byte matches, the fast path ----------------------------------------
// With letter case matched (or a pattern without letters) a match is the
// pattern's bytes, except that a pattern ending in a lone lead byte must not
// take the trail byte after it. The text is read in place through Visit: each
// piece is scanned for two of the pattern's rarer bytes at once, thirty-two
// positions at a time, and only positions holding both are compared whole.
// Matches that straddle two pieces are looked for in a small joint of the
// previous bytes and the new piece's first ones.

bool HasLetters(std::string_view pattern)
{
    for (size_t p = 0; p < pattern.size();) {
        const size_t length = cp932::CharLength(pattern, p);
        const uint16_t code = CodeAt(pattern, p, length);
        const bool ascii = (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z');
        const bool fullWidth = (code >= 0x8260 && code <= 0x8279) || (code >= 0x8281 && code <= 0x829A);
        if (ascii || fullWidth) return true;
        p += length;
    }
    return false;
}

// How often a byte value turns up in Japanese text, roughly: the kana lead
// bytes most, then punctuation's lead byte, blanks and line breaks, other
// lead bytes, common ASCII letters; everything else is rare.
int Commonness(uint8_t b)
{
    if (b == 0x82 || b == 0x83) return 100;
    if (b == 0x81) return 60;
    if (b == ' ') return 40;
    if (cp932::IsLeadByte(b)) return 30;
    if (b == '\r' || b == '\n') return 20;
    if (std::strchr("etaoinsr", b) != nullptr && b != 0) return 15;
    return 10;
}

// Positions of the two rarest bytes of a pattern of two bytes or more, in
// order. (A one-byte pattern compares its byte twice: the C library's
// memchr is far slower on some platforms than this scan.)
std::array<size_t, 2> RareBytes(std::string_view pattern)
{
    size_t first = pattern.size() - 1;
    for (size_t i = pattern.size() - 1; i-- > 0;)
        if (Commonness(Byte(pattern, i)) < Commonness(Byte(pattern, first))) first = i;
    size_t second = first == 0 ? 1 : 0;
    for (size_t i = 0; i < pattern.size(); ++i)
        if (i != first && Commonness(Byte(pattern, i)) < Commonness(Byte(pattern, second))) second = i;
    return {std::min(first, second), std::max(first, second)};
}

class ExactSearch {
public:
    ExactSearch(const TextBuffer& text, std::string_view pattern, FindOptions options)
        : text_(text), pattern_(pattern), options_(options)
    {
        size_t p = 0;
        while (p + cp932::CharLength(pattern, p) < pattern.size()) p += cp932::CharLength(pattern, p);
        loneLeadAtEnd_ = cp932::CharLength(pattern, p) == 1 && cp932::IsLeadByte(Byte(pattern, p));
        if (pattern.size() >= 2) {
            const std::array<size_t, 2> rare = RareBytes(pattern);
            near_ = rare[0];
            far_ = rare[1];
        }
    }

    // The first match inside [lo, hi), or -1.
    int64_t Run(size_t lo, size_t hi)
    {
        int64_t found = -1;
        size_t pieceStart = lo;
        text_.Visit(lo, hi - lo, [&](std::string_view piece) {
            found = InJoint(pieceStart, piece);
            if (found < 0) found = InPiece(pieceStart, piece);
            pieceStart += piece.size();
            Carry(piece);
            return found < 0;
        });
        return found;
    }

private:
    // The bytes match at `at`; the rest of the rule.
    bool Accepted(size_t at) const
    {
        const size_t end = at + pattern_.size();
        if (loneLeadAtEnd_ && end < text_.Length() && cp932::IsTrailByte(text_.At(end))) return false;
        return Accept(text_, at, pattern_.size(), options_);
    }

    // Matches that start in the bytes before the piece and end inside it.
    int64_t InJoint(size_t pieceStart, std::string_view piece)
    {
        if (carry_.empty()) return -1;
        const size_t carried = carry_.size();
        joint_.assign(carry_);
        joint_.append(piece.substr(0, std::min(piece.size(), pattern_.size() - 1)));
        for (size_t j = 0; j < carried && j + pattern_.size() <= joint_.size(); ++j) {
            if (std::memcmp(joint_.data() + j, pattern_.data(), pattern_.size()) != 0) continue;
            const size_t at = pieceStart - carried + j;
            if (Accepted(at)) return static_cast<int64_t>(at);
        }
        return -1;
    }

    // Keeps the last pattern size - 1 bytes seen.
    void Carry(std::string_view piece)
    {
        const size_t keep = pattern_.size() - 1;
        if (keep == 0) return;
        if (piece.size() >= keep) {
            carry_.assign(piece.substr(piece.size() - keep));
            return;
        }
        carry_.append(piece);
        if (carry_.size() > keep) carry_.erase(0, carry_.size() - keep);
    }

    // Matches wholly inside the piece.
    int64_t InPiece(size_t pieceStart, std::string_view piece) const
    {
        const size_t m = pattern_.size();
        if (piece.size() < m) return -1;
        const char* data = piece.data();
        const size_t lastStart = piece.size() - m;
        const __m128i nearByte = _mm_set1_epi8(pattern_[near_]);
        const __m128i farByte = _mm_set1_epi8(pattern_[far_]);
        const auto hits = [&](size_t c) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + c + near_));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + c + far_));
            return _mm_and_si128(_mm_cmpeq_epi8(a, nearByte), _mm_cmpeq_epi8(b, farByte));
        };
        size_t c = 0;
        // Thirty-two candidate starts at once (c + 31 <= lastStart), each
        // half looked at only when the two together hold a hit.
        for (; c + 32 <= lastStart + 1; c += 32) {
            const __m128i low = hits(c);
            const __m128i high = hits(c + 16);
            if (_mm_movemask_epi8(_mm_or_si128(low, high)) == 0) continue;
            auto mask = static_cast<uint32_t>(_mm_movemask_epi8(low)) |
                        (static_cast<uint32_t>(_mm_movemask_epi8(high)) << 16);
            while (mask != 0) {
                const size_t start = c + static_cast<size_t>(__builtin_ctz(mask));
                mask &= mask - 1;
                if (std::memcmp(data + start, pattern_.data(), m) != 0) continue;
                if (Accepted(pieceStart + start)) return static_cast<int64_t>(pieceStart + start);
            }
        }
        for (; c <= lastStart; ++c) {
            if (data[c + near_] != pattern_[near_] || data[c + far_] != pattern_[far_]) continue;
            if (std::memcmp(data + c, pattern_.data(), m) != 0) continue;
            if (Accepted(pieceStart + c)) return static_cast<int64_t>(pieceStart + c);
        }
        return -1;
    }

    const TextBuffer& text_;
    std::string_view pattern_;
    FindOptions options_;
    bool loneLeadAtEnd_ = false;
    size_t near_ = 0;
    size_t far_ = 0;
    std::string carry_;
    std::string joint_;
};

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

    if (!backward && (options.matchCase || !HasLetters(pattern))) return ExactSearch(text, pattern, options).Run(lo, hi);
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
