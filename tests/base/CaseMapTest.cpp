// The code-page-932 case table against a model built another way: every code
// decoded by the codec, its case changed by the C library's Unicode tables,
// encoded again; and the block-wise byte mapping against the table applied
// one character at a time.

#include "base/CaseMap.h"
#include "base/Cp932.h"
#include "tests/TestPlatform.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cwctype>
#include <locale.h>
#include <random>
#include <string>
#include <vector>

namespace kp::test {
namespace {

using cp932::LetterCase;

std::string Bytes(uint16_t code)
{
    if (code < 0x100) return std::string(1, static_cast<char>(code));
    return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

uint16_t Code(const std::string& bytes)
{
    return bytes.size() == 1 ? static_cast<uint8_t>(bytes[0])
                             : static_cast<uint16_t>((static_cast<uint8_t>(bytes[0]) << 8) |
                                                     static_cast<uint8_t>(bytes[1]));
}

// Every code: the single bytes and every lead byte with every trail byte.
std::vector<uint16_t> AllCodes()
{
    std::vector<uint16_t> codes;
    for (int b = 0; b < 0x100; ++b) codes.push_back(static_cast<uint16_t>(b));
    for (int lead = 0; lead < 0x100; ++lead)
        for (int trail = 0; trail < 0x100; ++trail)
            if (cp932::IsLeadByte(static_cast<uint8_t>(lead)) && cp932::IsTrailByte(static_cast<uint8_t>(trail)))
                codes.push_back(static_cast<uint16_t>((lead << 8) | trail));
    return codes;
}

// The model: the partner when the code decodes to one character whose
// Unicode case partner encodes back to a code that decodes to that partner.
class UnicodeModel {
public:
    UnicodeModel() : locale_(newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr))) {}
    ~UnicodeModel()
    {
        if (locale_) freelocale(locale_);
    }
    bool Usable() const { return locale_ != static_cast<locale_t>(nullptr); }

    uint16_t Partner(LetterCase to, uint16_t code) const
    {
        const std::u16string text = TestCodec().ToUtf16(Bytes(code));
        if (text.size() != 1 || text[0] == u'\uFFFD') return code;
        const auto c = static_cast<wint_t>(text[0]);
        const auto mapped = static_cast<char16_t>(to == LetterCase::Upper ? towupper_l(c, locale_)
                                                                          : towlower_l(c, locale_));
        if (mapped == text[0]) return code;
        const std::string encoded = TestCodec().FromUtf16(std::u16string(1, mapped));
        if (encoded.empty() || encoded.size() > 2 || TestCodec().ToUtf16(encoded) != std::u16string(1, mapped))
            return code;
        return Code(encoded);
    }

private:
    locale_t locale_;
};

TEST(CaseMapTest, EveryCodeAgreesWithTheUnicodeModelInBothDirections)
{
    const UnicodeModel model;
    ASSERT_TRUE(model.Usable());
    size_t changes[2] = {0, 0};
    for (const LetterCase to : {LetterCase::Upper, LetterCase::Lower}) {
        for (const uint16_t code : AllCodes()) {
            const uint16_t expected = model.Partner(to, code);
            ASSERT_EQ(cp932::CasePartner(to, code), expected) << std::hex << "code " << code;
            // The byte mapping says the same (a lone lead byte waits for a partner).
            const std::string in = Bytes(code);
            std::string out(in.size(), '\0');
            const cp932::CaseMapResult result = cp932::MapCase(to, in, out.data());
            if (in.size() == 1 && cp932::IsLeadByte(static_cast<uint8_t>(in[0]))) {
                EXPECT_EQ(result.consumed, 0u);
                EXPECT_EQ(out, in);
            } else {
                EXPECT_EQ(result.consumed, in.size());
                EXPECT_EQ(Code(out), expected) << std::hex << "code " << code;
                EXPECT_EQ(result.changed, expected != code);
            }
            changes[to == LetterCase::Upper] += expected != code;
        }
    }
    // 26 ASCII, 26 full-width, 24 Greek, 33 Cyrillic letters and 10 Roman
    // numerals in each case; small numerals are in two rows, capitals in two.
    EXPECT_EQ(changes[1], 26u + 26 + 24 + 33 + 20);
    EXPECT_EQ(changes[0], 26u + 26 + 24 + 33 + 20);
}

// The table applied one character at a time, as the lead-byte rule delimits
// them from the start.
std::string Reference(LetterCase to, const std::string& in, size_t& consumed)
{
    std::string out = in;
    size_t i = 0;
    while (i < in.size()) {
        if (cp932::IsLeadByte(static_cast<uint8_t>(in[i])) && i + 1 == in.size()) break;
        const size_t length = cp932::CharLength(in, i);
        const std::string mapped = Bytes(cp932::CasePartner(to, Code(in.substr(i, length))));
        if (mapped.size() == length) out.replace(i, length, mapped);
        i += length;
    }
    consumed = i;
    return out;
}

TEST(CaseMapTest, BlockMappingAgreesWithTheTableOnRandomText)
{
    // Bytes that make letters, pairs of every mapped row, runs of lead-range
    // bytes (pairs that begin on odd and even places) and lone lead bytes.
    const uint8_t alphabet[] = {'a', 'z', 'A', 'Q', 'm', '\r', '\n', ' ', 0x82, 0x83, 0x84, 0x87, 0xEE, 0xFA, 0x81,
                                0x60, 0x79, 0x9A, 0xBF, 0xD6, 0x9F, 0x70, 0x7F, 0x91, 0x4F, 0x54, 0x5D, 0xEF,
                                0xF8, 0x40, 0x49, 0x4A, 0x53, 0xA0, 0xB1, 0xFD, 0x00, 0x80};
    std::mt19937 rng(932);
    for (int round = 0; round < 4000; ++round) {
        // With and without the 256-bit instructions, where the processor has them.
        cp932::AllowWideInstructions(round % 2 == 0);
        const size_t size = rng() % 300;
        std::string in;
        for (size_t k = 0; k < size; ++k) in += static_cast<char>(alphabet[rng() % sizeof alphabet]);
        for (const LetterCase to : {LetterCase::Upper, LetterCase::Lower}) {
            size_t consumed = 0;
            const std::string expected = Reference(to, in, consumed);
            std::string out(in.size(), '\0');
            const cp932::CaseMapResult result = cp932::MapCase(to, in, out.data());
            ASSERT_EQ(out, expected) << "round " << round;
            ASSERT_EQ(result.consumed, consumed) << "round " << round;
            ASSERT_EQ(result.changed, expected != in) << "round " << round;
        }
    }
    cp932::AllowWideInstructions(true);
}

}  // namespace
}  // namespace kp::test
