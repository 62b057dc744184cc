// Date and time patterns as a user may type them (up to 256 bytes, any bytes)
// and moments of any kind: the output is at most 256 bytes of whole
// characters (no lead byte without its trail byte, so never ending inside a
// character), the same on each run, and cut where a prefix of copied
// characters says it must be.

#include "platform/codec/IconvCp932Codec.h"
#include "platform/locale/SimDateTimeLocale.h"
#include "settings/DateTimeFormat.h"
#include "tests/fuzz/FuzzSupport.h"

namespace kp::fuzz {
namespace {

using platform::LocalTime;
using settings::FormatDateTime;
using settings::kMaxDateTimeBytes;

constexpr std::string_view kPieces[] = {
    "y", "yy", "yyyy", "m", "mm", "mmm", "mmmm", "d", "dd", "ddd", "dddd", "ddddd", "dddddd", "h", "hh",
    "n", "nn", "s", "ss", "AM/PM", "am/pm", "A/P", "a/p", "AMPM", "ampm", "a", "aa", "aaa", "aaaa", "c",
    "t", "tt", "e", "ee", "g", "gg", "/", ":", "\"", "'", " ", "(", "x", "M", "H", "Y",
    "\x94\x4E",   // 年: trail byte N
    "\x83\x41",   // ア: trail byte A
    "\x83\x68",   // ド: trail byte h
    "\x85\x40",   // an unassigned pair
    "\x81",       // a lead byte alone
    "\xB6",       // ｶ
    "\x80", "\xFD"};

bool IsLead(char c)
{
    const auto b = static_cast<uint8_t>(c);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The longest prefix of whole characters within `limit` bytes.
std::string ReferenceCut(const std::string& bytes, size_t limit)
{
    const std::vector<bool> boundary = ReferenceBoundaries(bytes);
    size_t end = std::min(limit, bytes.size());
    while (!boundary[end]) --end;
    return bytes.substr(0, end);
}

LocalTime AnyMoment(FuzzInput& in)
{
    if (in.Pick(8) == 0) {
        const auto any = [&] { return static_cast<int>(in.U32()); };
        return {any(), any(), any(), any(), any(), any(), any(), any()};
    }
    LocalTime t{};
    t.year = 1800 + static_cast<int>(in.Pick(300));
    t.month = 1 + static_cast<int>(in.Pick(12));
    t.day = 1 + static_cast<int>(in.Pick(31));
    t.dayOfWeek = static_cast<int>(in.Pick(7));
    t.hour = static_cast<int>(in.Pick(24));
    t.minute = static_cast<int>(in.Pick(60));
    t.second = static_cast<int>(in.Pick(60));
    t.milliseconds = static_cast<int>(in.Pick(1000));
    return t;
}

void Run(FuzzInput& in)
{
    static const platform::SimDateTimeLocale locale;
    static const platform::IconvCp932Codec codec;

    const LocalTime moment = AnyMoment(in);
    std::string pattern = in.Flag() ? in.Bytes(kMaxDateTimeBytes) : in.Pieces(kPieces, 80);
    if (pattern.size() > kMaxDateTimeBytes) pattern.resize(kMaxDateTimeBytes);

    const std::string out = FormatDateTime(pattern, moment, locale, codec);
    KP_CHECK(out.size() <= kMaxDateTimeBytes,
             Escaped(pattern) + " gives " + std::to_string(out.size()) + " bytes");
    // A character of one byte is never a lead byte.
    const std::vector<bool> boundary = ReferenceBoundaries(out);
    for (size_t i = 0; i < out.size(); ++i)
        KP_CHECK(!(boundary[i] && boundary[i + 1] && IsLead(out[i])),
                 Escaped(pattern) + " gives a lead byte alone at " + std::to_string(i) + ": " + Escaped(out));
    KP_CHECK(FormatDateTime(pattern, moment, locale, codec) == out, Escaped(pattern) + " differs between runs");

    // Copied characters in front change nothing else: the output is theirs
    // followed by the same output, cut to what is left of the limit.
    const size_t k = in.Pick(kMaxDateTimeBytes + 1);
    const std::string prefix(k, 'x');
    const std::string prefixed = FormatDateTime(prefix + pattern, moment, locale, codec);
    KP_CHECK(prefixed == prefix + ReferenceCut(out, kMaxDateTimeBytes - k),
             Escaped(pattern) + " after " + std::to_string(k) + " x gives " + Escaped(prefixed));
}

}  // namespace
}  // namespace kp::fuzz

KP_FUZZ_TARGET(kp::fuzz::Run)
