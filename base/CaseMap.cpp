#include "base/CaseMap.h"

#include "base/Cp932.h"

#include <type_traits>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// 256-bit instructions where the compiler can target them per function and
// the processor has them.
#if defined(__SSE2__) && defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define KP_CASEMAP_WIDE 1
#include <immintrin.h>
#endif

#include <atomic>
#include <cstring>

namespace kp::cp932 {

namespace {

// A run of codes lead:first..last whose partners are toLead:toFirst onwards,
// trail for trail. Lead 0 stands for single bytes.
struct Row {
    uint8_t lead;
    uint8_t first;
    uint8_t last;
    uint8_t toLead;
    uint8_t toFirst;
};

// The Roman numerals are in because the platform's own ANSI case mapping
// (CharUpperBuffA/CharLowerBuffA, enumerated over every code by a Win32 test
// under Wine) changes them, its encoder writing capitals in the NEC row 87 and
// small numerals in the IBM row FA. The Cyrillic rows skip 84 7F, which is
// unassigned. The Angstrom sign 81 F0 stays: its small partner has no code.
constexpr Row kToUpper[] = {
    {0x00, 'a', 'z', 0x00, 'A'},
    {0x82, 0x81, 0x9A, 0x82, 0x60},  // full-width Latin
    {0x83, 0xBF, 0xD6, 0x83, 0x9F},  // Greek
    {0x84, 0x70, 0x7E, 0x84, 0x40},  // Cyrillic а-н (with ё)
    {0x84, 0x80, 0x91, 0x84, 0x4F},  // Cyrillic о-я
    {0xEE, 0xEF, 0xF8, 0x87, 0x54},  // Roman numerals, NEC-selected IBM row
    {0xFA, 0x40, 0x49, 0x87, 0x54},  // Roman numerals, IBM row
};

constexpr Row kToLower[] = {
    {0x00, 'A', 'Z', 0x00, 'a'},
    {0x82, 0x60, 0x79, 0x82, 0x81},
    {0x83, 0x9F, 0xB6, 0x83, 0xBF},
    {0x84, 0x40, 0x4E, 0x84, 0x70},
    {0x84, 0x4F, 0x60, 0x84, 0x80},
    {0x87, 0x54, 0x5D, 0xFA, 0x40},  // Roman numerals, NEC row
    {0xFA, 0x4A, 0x53, 0xFA, 0x40},  // Roman numerals, IBM row
};

#if defined(KP_CASEMAP_WIDE)
bool ProcessorHasWide()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}

std::atomic<bool> wideAllowed{ProcessorHasWide()};
#endif

template <size_t N>
uint16_t Partner(const Row (&rows)[N], uint16_t code)
{
    const auto lead = static_cast<uint8_t>(code >> 8);
    const auto low = static_cast<uint8_t>(code);
    for (const Row& row : rows)
        if (row.lead == lead && low >= row.first && low <= row.last)
            return static_cast<uint16_t>((row.toLead << 8) | (row.toFirst + (low - row.first)));
    return code;
}

// Maps the pair whose lead is at at, or the single byte there; whether it changed.
template <size_t N>
bool MapAt(const Row (&rows)[N], const uint8_t* p, uint8_t* q, size_t at, size_t length)
{
    if (length == 1) {
        q[at] = static_cast<uint8_t>(Partner(rows, p[at]));
        return q[at] != p[at];
    }
    const auto code = static_cast<uint16_t>((p[at] << 8) | p[at + 1]);
    const uint16_t mapped = Partner(rows, code);
    q[at] = static_cast<uint8_t>(mapped >> 8);
    q[at + 1] = static_cast<uint8_t>(mapped);
    return mapped != code;
}

#if defined(__SSE2__)

// Bytes in [lo, hi] as 0xFF, others 0: shifted so that lo is the smallest
// signed byte, one signed comparison tells.
inline __m128i InRange(__m128i v, uint8_t lo, uint8_t hi)
{
    const __m128i shifted = _mm_sub_epi8(v, _mm_set1_epi8(static_cast<char>(lo + 0x80)));
    return _mm_cmpgt_epi8(_mm_set1_epi8(static_cast<char>(hi - lo - 127)), shifted);
}

inline uint64_t Mask(__m128i v) { return static_cast<uint16_t>(_mm_movemask_epi8(v)); }

// Sixteen bits of a mask as sixteen bytes of 0xFF or 0.
inline __m128i Expand(uint64_t bits)
{
    __m128i m = _mm_cvtsi32_si128(static_cast<int>(bits & 0xFFFF));
    m = _mm_unpacklo_epi8(m, m);
    m = _mm_unpacklo_epi16(m, m);
    m = _mm_unpacklo_epi32(m, m);  // the low byte eight times, then the high byte
    const __m128i select = _mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
    return _mm_cmpeq_epi8(_mm_and_si128(m, select), select);
}

#endif

// The trail bytes of pairs in a block of 64 bytes, from the block's masks of
// lead-range and trail-range bytes, whether the byte after the block is a
// trail-range byte, and whether the block starts with the trail of a pair
// begun before it (carry, updated for the next block). x marks a lead-range
// byte followed by a trail-range byte; inside a run of such bytes pairs start
// at the run's first byte and every second one after it, and a run's first
// byte is never a trail but where the block starts with one.
inline uint64_t BlockTrails(uint64_t lead, uint64_t trail, bool next, uint64_t& carry)
{
    constexpr uint64_t kEven = 0x5555555555555555u;
    const uint64_t x = lead & ((trail >> 1) | (uint64_t{next} << 63)) & ~carry;
    const uint64_t starts = x & ~(x << 1);
    const uint64_t oddRuns = (x + (starts & kEven)) & x;
    const uint64_t pairs = ((x & ~oddRuns) & kEven) | (oddRuns & ~kEven);
    const uint64_t trails = (pairs << 1) | carry;
    carry = pairs >> 63;
    return trails;
}

// Calls f with each row of Rows as a compile-time constant, so the block
// loop below holds only the comparisons its rows need.
template <const auto& Rows, typename F, size_t... I>
inline void EachRow(F&& f, std::index_sequence<I...>)
{
    (f(std::integral_constant<size_t, I>{}), ...);
}

template <const auto& Rows, typename F>
inline void EachRow(F&& f)
{
    EachRow<Rows>(f, std::make_index_sequence<std::size(Rows)>{});
}

#if defined(__SSE2__)

// The blocks of 64 bytes from the start of bytes that have a byte after
// them, mapped with 128-bit instructions; where the blocks end.
template <const auto& Rows>
size_t MapBlocks(const uint8_t* p, uint8_t* q, size_t n, uint64_t& carry, bool& changed)
{
    const auto& rows = Rows;
    size_t i = 0;
    __m128i changes = _mm_setzero_si128();
    uint8_t before = 0;  // the byte before the block
    while (i + 65 <= n) {
        __m128i v[4];
        for (int k = 0; k < 4; ++k) v[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 16 * k));
        const __m128i any = _mm_or_si128(_mm_or_si128(v[0], v[1]), _mm_or_si128(v[2], v[3]));
        if (carry == 0 && _mm_movemask_epi8(any) == 0) {
            // ASCII only: single bytes, no pairs.
            for (int k = 0; k < 4; ++k) {
                __m128i delta = _mm_setzero_si128();
                EachRow<Rows>([&](auto index) {
                    constexpr Row row = Rows[decltype(index)::value];
                    if constexpr (row.lead == 0)
                        delta = _mm_or_si128(delta, _mm_and_si128(InRange(v[k], row.first, row.last),
                                                                  _mm_set1_epi8(static_cast<char>(row.first - row.toFirst))));
                });
                _mm_storeu_si128(reinterpret_cast<__m128i*>(q + i + 16 * k), _mm_sub_epi8(v[k], delta));
                changes = _mm_or_si128(changes, delta);
            }
            before = p[i + 63];
            i += 64;
            continue;
        }
        uint64_t lead = 0;
        uint64_t trail = 0;
        for (int k = 0; k < 4; ++k) {
            lead |= Mask(_mm_or_si128(InRange(v[k], 0x81, 0x9F), InRange(v[k], 0xE0, 0xFC))) << (16 * k);
            trail |= Mask(_mm_andnot_si128(_mm_cmpeq_epi8(v[k], _mm_set1_epi8(0x7F)), InRange(v[k], 0x40, 0xFC)))
                     << (16 * k);
        }
        const uint64_t trails = BlockTrails(lead, trail, IsTrailByte(p[i + 64]), carry);

        __m128i prev[4];
        __m128i isTrail[4];
        __m128i delta[4];
        __m128i moved = _mm_setzero_si128();  // pairs whose lead byte changes too
        for (int k = 0; k < 4; ++k) {
            prev[k] = _mm_or_si128(_mm_slli_si128(v[k], 1), _mm_cvtsi32_si128(k == 0 ? before : p[i + 16 * k - 1]));
            isTrail[k] = Expand(trails >> (16 * k));
            delta[k] = _mm_setzero_si128();
        }
        EachRow<Rows>([&](auto index) {
            constexpr Row row = Rows[decltype(index)::value];
            const __m128i leadByte = _mm_set1_epi8(static_cast<char>(row.lead));
            if constexpr (row.lead != 0 && row.lead != 0x82 && row.lead != 0x83) {
                // Rows whose lead byte the block lacks are skipped; hiragana
                // and katakana (leads 82 and 83) are in most blocks of
                // Japanese text, other leads of the table in few.
                const __m128i seen = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v[0], leadByte), _mm_cmpeq_epi8(v[1], leadByte)),
                                                  _mm_or_si128(_mm_cmpeq_epi8(v[2], leadByte), _mm_cmpeq_epi8(v[3], leadByte)));
                if (_mm_movemask_epi8(seen) == 0 && before != row.lead) return;
            }
            for (int k = 0; k < 4; ++k) {
                __m128i hit = InRange(v[k], row.first, row.last);
                if constexpr (row.lead == 0)
                    hit = _mm_andnot_si128(isTrail[k], hit);
                else
                    hit = _mm_and_si128(hit, _mm_and_si128(isTrail[k], _mm_cmpeq_epi8(prev[k], leadByte)));
                if constexpr (row.toLead == row.lead)
                    delta[k] = _mm_or_si128(delta[k], _mm_and_si128(hit, _mm_set1_epi8(static_cast<char>(
                                                                          row.first - row.toFirst))));
                else
                    moved = _mm_or_si128(moved, hit);
            }
        });
        for (int k = 0; k < 4; ++k) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(q + i + 16 * k), _mm_sub_epi8(v[k], delta[k]));
            changes = _mm_or_si128(changes, delta[k]);
        }
        // Rare: rewritten one by one, lead byte (just stored) and trail.
        if (_mm_movemask_epi8(moved) != 0) {
            for (int k = 0; k < 4; ++k) {
                __m128i hit = _mm_setzero_si128();
                EachRow<Rows>([&](auto index) {
                    constexpr Row row = Rows[decltype(index)::value];
                    if constexpr (row.toLead != row.lead)
                        hit = _mm_or_si128(hit, _mm_and_si128(InRange(v[k], row.first, row.last),
                                                              _mm_and_si128(isTrail[k], _mm_cmpeq_epi8(prev[k], _mm_set1_epi8(static_cast<char>(row.lead))))));
                });
                for (auto bits = static_cast<unsigned>(_mm_movemask_epi8(hit)); bits != 0; bits &= bits - 1) {
                    const size_t at = i + 16 * k + static_cast<size_t>(__builtin_ctz(bits));
                    changed |= MapAt(rows, p, q, at - 1, 2);
                }
            }
        }
        before = p[i + 63];
        i += 64;
    }
    changed |= _mm_movemask_epi8(_mm_cmpeq_epi8(changes, _mm_setzero_si128())) != 0xFFFF;
    return i;
}

#endif

#if defined(KP_CASEMAP_WIDE)
#pragma GCC push_options
#pragma GCC target("avx2")

// The same with 256-bit instructions, for processors that have them. Every
// function here (lambdas included) is compiled for them.
namespace wide {

inline __m256i InRange(__m256i v, uint8_t lo, uint8_t hi)
{
    const __m256i shifted = _mm256_sub_epi8(v, _mm256_set1_epi8(static_cast<char>(lo + 0x80)));
    return _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(hi - lo - 127)), shifted);
}

inline uint64_t Mask(__m256i v) { return static_cast<uint32_t>(_mm256_movemask_epi8(v)); }

// Thirty-two bits of a mask as thirty-two bytes of 0xFF or 0.
inline __m256i Expand(uint64_t bits)
{
    const __m256i spread = _mm256_shuffle_epi8(
        _mm256_set1_epi32(static_cast<int>(bits & 0xFFFFFFFF)),
        _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3));
    const __m256i select = _mm256_set1_epi64x(static_cast<int64_t>(0x8040201008040201u));
    return _mm256_cmpeq_epi8(_mm256_and_si256(spread, select), select);
}

template <const auto& Rows, typename F, size_t... I>
inline void EachRow(F&& f, std::index_sequence<I...>)
{
    (f(std::integral_constant<size_t, I>{}), ...);
}

template <const auto& Rows>
size_t MapBlocks(const uint8_t* p, uint8_t* q, size_t n, uint64_t& carry, bool& changed)
{
    const auto& rows = Rows;
    constexpr auto kRows = std::make_index_sequence<std::size(Rows)>{};
    size_t i = 0;
    __m256i changes = _mm256_setzero_si256();
    while (i + 65 <= n) {
        const __m256i v[2] = {_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i)),
                              _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + 32))};
        if (carry == 0 && _mm256_movemask_epi8(_mm256_or_si256(v[0], v[1])) == 0) {
            for (int k = 0; k < 2; ++k) {
                __m256i delta = _mm256_setzero_si256();
                EachRow<Rows>(
                    [&](auto index) {
                        constexpr Row row = Rows[decltype(index)::value];
                        if constexpr (row.lead == 0)
                            delta = _mm256_or_si256(
                                delta, _mm256_and_si256(InRange(v[k], row.first, row.last),
                                                        _mm256_set1_epi8(static_cast<char>(row.first - row.toFirst))));
                    },
                    kRows);
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(q + i + 32 * k), _mm256_sub_epi8(v[k], delta));
                changes = _mm256_or_si256(changes, delta);
            }
            i += 64;
            continue;
        }
        uint64_t lead = 0;
        uint64_t trail = 0;
        for (int k = 0; k < 2; ++k) {
            lead |= Mask(_mm256_or_si256(InRange(v[k], 0x81, 0x9F), InRange(v[k], 0xE0, 0xFC))) << (32 * k);
            trail |= Mask(_mm256_andnot_si256(_mm256_cmpeq_epi8(v[k], _mm256_set1_epi8(0x7F)),
                                              InRange(v[k], 0x40, 0xFC)))
                     << (32 * k);
        }
        const uint64_t trails = BlockTrails(lead, trail, IsTrailByte(p[i + 64]), carry);
        const uint8_t before = i > 0 ? p[i - 1] : 0;
        uint8_t head[32] = {before};
        if (i == 0) std::memcpy(head + 1, p, 31);
        const __m256i prev[2] = {
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(i > 0 ? p + i - 1 : head)),
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + 31))};
        const __m256i isTrail[2] = {Expand(trails), Expand(trails >> 32)};
        __m256i delta[2] = {_mm256_setzero_si256(), _mm256_setzero_si256()};
        __m256i moved = _mm256_setzero_si256();
        EachRow<Rows>(
            [&](auto index) {
                constexpr Row row = Rows[decltype(index)::value];
                const __m256i leadByte = _mm256_set1_epi8(static_cast<char>(row.lead));
                if constexpr (row.lead != 0 && row.lead != 0x82 && row.lead != 0x83) {
                    const __m256i seen =
                        _mm256_or_si256(_mm256_cmpeq_epi8(v[0], leadByte), _mm256_cmpeq_epi8(v[1], leadByte));
                    if (_mm256_movemask_epi8(seen) == 0 && before != row.lead) return;
                }
                for (int k = 0; k < 2; ++k) {
                    __m256i hit = InRange(v[k], row.first, row.last);
                    if constexpr (row.lead == 0)
                        hit = _mm256_andnot_si256(isTrail[k], hit);
                    else
                        hit = _mm256_and_si256(hit, _mm256_and_si256(isTrail[k], _mm256_cmpeq_epi8(prev[k], leadByte)));
                    if constexpr (row.toLead == row.lead)
                        delta[k] = _mm256_or_si256(
                            delta[k], _mm256_and_si256(hit, _mm256_set1_epi8(static_cast<char>(row.first - row.toFirst))));
                    else
                        moved = _mm256_or_si256(moved, hit);
                }
            },
            kRows);
        for (int k = 0; k < 2; ++k) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(q + i + 32 * k), _mm256_sub_epi8(v[k], delta[k]));
            changes = _mm256_or_si256(changes, delta[k]);
        }
        if (_mm256_movemask_epi8(moved) != 0) {
            // Rare: rewritten one by one, lead byte (just stored) and trail.
            for (size_t at = i; at < i + 64; ++at)
                if ((trails >> (at - i)) & 1) changed |= MapAt(rows, p, q, at - 1, 2);
        }
        i += 64;
    }
    changed |= !_mm256_testz_si256(changes, changes);
    return i;
}

}  // namespace wide

#pragma GCC pop_options
#endif

template <const auto& Rows>
CaseMapResult MapWith(std::string_view bytes, char* out)
{
    const auto& rows = Rows;
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    auto* q = reinterpret_cast<uint8_t*>(out);
    const size_t n = bytes.size();
    bool changed = false;
    size_t i = 0;
    uint64_t carry = 0;  // the byte at i is the trail of a pair that starts before it
#if defined(KP_CASEMAP_WIDE)
    if (wideAllowed.load(std::memory_order_relaxed))
        i = wide::MapBlocks<Rows>(p, q, n, carry, changed);
    else
#endif
#if defined(__SSE2__)
        i = MapBlocks<Rows>(p, q, n, carry, changed);
    if (carry) {
        changed |= MapAt(rows, p, q, i - 1, 2);
        ++i;
    }
#endif
    while (i < n) {
        const uint8_t b = p[i];
        if (IsLeadByte(b) && i + 1 == n) {
            q[i] = b;  // may pair with the byte after bytes
            return {i, changed};
        }
        const size_t length = IsLeadByte(b) && IsTrailByte(p[i + 1]) ? 2 : 1;
        changed |= MapAt(rows, p, q, i, length);
        i += length;
    }
    return {n, changed};
}

}  // namespace

uint16_t CasePartner(LetterCase to, uint16_t code)
{
    return to == LetterCase::Upper ? Partner(kToUpper, code) : Partner(kToLower, code);
}

void AllowWideInstructions(bool allow)
{
#if defined(KP_CASEMAP_WIDE)
    wideAllowed.store(allow && ProcessorHasWide(), std::memory_order_relaxed);
#else
    (void)allow;
#endif
}

CaseMapResult MapCase(LetterCase to, std::string_view bytes, char* out)
{
    return to == LetterCase::Upper ? MapWith<kToUpper>(bytes, out) : MapWith<kToLower>(bytes, out);
}

}  // namespace kp::cp932
