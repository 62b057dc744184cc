#include "tests/contract/Cp932CodecContract.h"

#include <cstdio>
#include <map>
#include <set>

namespace kp::test {
namespace {

using namespace std::string_literals;

constexpr char16_t kBad = 0xFFFD;

bool IsLead(int b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrail(int b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

std::string Pair(int lead, int trail)
{
    return {static_cast<char>(lead), static_cast<char>(trail)};
}

std::string Hex(std::string_view bytes)
{
    std::string out;
    for (const char c : bytes) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned char>(c));
        out += buf;
    }
    return out;
}

// What every lead byte + trail byte pair decodes to, the unassigned ones left
// out, keyed by lead * 256 + trail.
std::map<int, char16_t> DecodeEveryPair(const platform::Cp932Codec& codec)
{
    std::map<int, char16_t> assigned;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLead(lead)) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (!IsTrail(trail)) continue;
            const std::u16string text = codec.ToUtf16(Pair(lead, trail));
            EXPECT_EQ(text.size(), 1u) << Hex(Pair(lead, trail));
            if (text.size() == 1 && text[0] != kBad) assigned[lead * 256 + trail] = text[0];
        }
    }
    return assigned;
}

TEST_P(Cp932CodecContract, LeadBytesAre81To9FAndE0ToFC)
{
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(codec->IsLeadByte(static_cast<uint8_t>(b)), IsLead(b)) << b;
}

TEST_P(Cp932CodecContract, SingleByteCharactersBothWays)
{
    std::string bytes;
    std::u16string text;
    for (int b = 0; b < 0x80; ++b) {  // ASCII, NUL included
        bytes += static_cast<char>(b);
        text += static_cast<char16_t>(b);
    }
    for (int b = 0xA1; b <= 0xDF; ++b) {  // half-width katakana
        bytes += static_cast<char>(b);
        text += static_cast<char16_t>(0xFF61 + (b - 0xA1));
    }
    EXPECT_EQ(codec->ToUtf16(bytes), text);
    EXPECT_EQ(codec->FromUtf16(text), bytes);
}

TEST_P(Cp932CodecContract, DoubleByteCharactersBothWays)
{
    const struct {
        std::string bytes;
        char16_t c;
    } cases[] = {
        {"\x81\x40", 0x3000},  {"\x82\xA0", u'あ'},   {"\x83\x41", u'ア'},   {"\x92\xE8", u'定'},
        {"\x8B\x60", u'義'},   {"\x95\xB6", u'文'},   {"\x8F\x91", u'書'},   {"\x98\x9F", u'弌'},
        // Where the Microsoft table departs from JIS
        {"\x81\x5C", 0x2015},  {"\x81\x5F", 0xFF3C},  {"\x81\x60", 0xFF5E},  {"\x81\x61", 0x2225},
        {"\x81\x7C", 0xFF0D},  {"\x81\x91", 0xFFE0},  {"\x81\x92", 0xFFE1},  {"\x81\xCA", 0xFFE2},
        // NEC row 13, IBM extensions, user-defined area
        {"\x87\x40", 0x2460},  {"\x87\x54", 0x2160},  {"\x87\x82", 0x2116},  {"\xFA\x40", 0x2170},
        {"\xFA\x55", 0xFFE4},  {"\xFA\x5C", 0x7E8A},  {"\xFC\x4B", 0x9ED1},  {"\xF0\x40", 0xE000},
        {"\xF9\xFC", 0xE757},
    };
    for (const auto& [bytes, c] : cases) {
        EXPECT_EQ(codec->ToUtf16(bytes), std::u16string(1, c)) << Hex(bytes);
        EXPECT_EQ(codec->FromUtf16(std::u16string(1, c)), bytes) << Hex(bytes);
    }
}

// Every assigned code decodes to one character and encodes back to itself,
// except codes that duplicate a character another code also stands for: they
// decode fine but encode to their twin. Those are the NEC-selected IBM rows
// ED/EE (twins in FA-FC, and 81 CA for EE F9), the NEC row 13 symbols also in
// row 81, and the IBM Roman numerals and symbols also in rows 81 and 87.
TEST_P(Cp932CodecContract, AssignedCodesRoundTripExceptDuplicates)
{
    const std::map<int, char16_t> assigned = DecodeEveryPair(*codec);
    EXPECT_EQ(assigned.size(), 9604u);

    std::set<int> expectedOneWay = {0x8790, 0x8791, 0x8792, 0x8795, 0x8796, 0x8797, 0x879A, 0x879B,
                                    0x879C, 0xFA4A, 0xFA4B, 0xFA4C, 0xFA4D, 0xFA4E, 0xFA4F, 0xFA50,
                                    0xFA51, 0xFA52, 0xFA53, 0xFA54, 0xFA58, 0xFA59, 0xFA5A, 0xFA5B};
    std::set<int> oneWay;
    for (const auto& [code, c] : assigned) {
        const int lead = code >> 8;
        if (lead == 0xED || lead == 0xEE) expectedOneWay.insert(code);
        if (lead >= 0xF0 && lead <= 0xF9) {  // user-defined area, in order onto U+E000-U+E757
            const int trail = code & 0xFF;
            const int index = (lead - 0xF0) * 188 + trail - 0x40 - (trail > 0x7F ? 1 : 0);
            EXPECT_EQ(c, 0xE000 + index) << std::hex << code;
        }
        const std::string bytes = Pair(lead, code & 0xFF);
        const std::string encoded = codec->FromUtf16(std::u16string(1, c));
        if (encoded == bytes) continue;
        oneWay.insert(code);
        EXPECT_EQ(codec->ToUtf16(encoded), std::u16string(1, c)) << Hex(bytes) << " -> " << Hex(encoded);
        if (lead == 0xED || lead == 0xEE) {
            ASSERT_EQ(encoded.size(), 2u);
            const auto twinLead = static_cast<unsigned char>(encoded[0]);
            EXPECT_TRUE((twinLead >= 0xFA && twinLead <= 0xFC) || encoded == "\x81\xCA")
                << Hex(bytes) << " -> " << Hex(encoded);
        }
    }
    EXPECT_EQ(oneWay, expectedOneWay);
    EXPECT_EQ(codec->FromUtf16(codec->ToUtf16("\xED\x40")), "\xFA\x5C");
    EXPECT_EQ(codec->FromUtf16(codec->ToUtf16("\xEE\xEF")), "\xFA\x40");
}

// A lead byte takes the next byte along only when that byte can be a trail
// byte (40-7E, 80-FC). A lead + trail pair is one character even when
// unassigned, so it gives one U+FFFD. A lead byte without a trail byte gives
// one U+FFFD by itself and the next byte decodes on its own: CR, LF, spaces
// and ASCII after a stray lead byte survive.
TEST_P(Cp932CodecContract, UndecodableBytesBecomeOneReplacementPerCharacter)
{
    const struct {
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"\x81", u"\uFFFD"},
        {"ab\x81", u"ab\uFFFD"},
        {"\x81 x", u"\uFFFD x"},
        {"\x81\r\nx", u"\uFFFD\r\nx"},
        {"\x81\x7F", u"\uFFFD\x7F"},
        {"\x81\0z"s, u"\uFFFD\0z"s},
        {"\x81\xFF", u"\uFFFD\uFFFD"},
        {"\x81\x81\x40", u"\uFF1D@"},
        {"\x85\x40" "A", u"\uFFFDA"},
        {"\x81\xAD\x82\xA0", u"\uFFFDあ"},
        {"\xEB\x9F\r", u"\uFFFD\r"},
        {"a\x80" "b\xA0" "c\xFD" "d\xFE" "e\xFF" "f", u"a\uFFFDb\uFFFDc\uFFFDd\uFFFDe\uFFFDf"},
        {"\xFD\x82\xA0", u"\uFFFDあ"},
        {"\xA0\x40", u"\uFFFD@"},
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(codec->ToUtf16(bytes), text) << Hex(bytes);

    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLead(lead)) continue;
        for (int next = 0; next < 256; ++next) {
            if (IsTrail(next)) continue;
            const std::u16string alone = codec->ToUtf16(std::string(1, static_cast<char>(next)));
            ASSERT_EQ(alone.size(), 1u);
            EXPECT_EQ(codec->ToUtf16(Pair(lead, next)), kBad + alone) << Hex(Pair(lead, next));
        }
    }
}

TEST_P(Cp932CodecContract, UnmappableCharactersBecomeOneQuestionMarkEach)
{
    const struct {
        std::u16string text;
        std::string bytes;
    } cases[] = {
        {u"caf\u00E9", "caf?"},       // no Latin-1 look-alike ('e')
        {u"\u00A5100", "?100"},       // no yen sign as backslash
        {u"\u301C\uFF5E", "?\x81\x60"},  // the JIS wave dash is not the Microsoft one
        {u"\uAC00", "?"},
        {u"\uFFFD", "?"},
        {u"\u0080\uF8F0\uF8F3", "???"},  // what 0x80, 0xA0 and 0xFF would turn into elsewhere
        {u"a\U0001F600b", "a?b"},
        {u"\U0001F600\U0001F600", "??"},
        {u"x"s + char16_t(0xD800) + u"y", "x?y"},
        {std::u16string{char16_t(0xDC00), char16_t(0xD800)}, "??"},
        {u"?", "?"},
    };
    for (const auto& [text, bytes] : cases) EXPECT_EQ(codec->FromUtf16(text), bytes) << Hex(bytes);
}

// Whatever FromUtf16 writes decodes back to the very character it was given,
// for every character that some code decodes to; all others become '?'.
TEST_P(Cp932CodecContract, EncodesExactlyTheCharactersItDecodes)
{
    std::set<char16_t> decodable;
    for (const auto& [code, c] : DecodeEveryPair(*codec)) decodable.insert(c);
    for (char16_t c = 0; c < 0x80; ++c) decodable.insert(c);
    for (char16_t c = 0xFF61; c <= 0xFF9F; ++c) decodable.insert(c);

    std::u16string every;
    std::u16string expected;
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        every += static_cast<char16_t>(c);
        expected += decodable.count(static_cast<char16_t>(c)) ? static_cast<char16_t>(c) : u'?';
    }
    const std::u16string back = codec->ToUtf16(codec->FromUtf16(every));
    ASSERT_EQ(back.size(), expected.size());
    int mismatches = 0;
    for (size_t i = 0; i < back.size(); ++i) {
        if (back[i] == expected[i]) continue;
        if (++mismatches <= 10)
            ADD_FAILURE() << "U+" << std::hex << static_cast<int>(every[i]) << " came back as U+"
                          << static_cast<int>(back[i]);
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_P(Cp932CodecContract, NulCharactersSurviveBothWays)
{
    const std::string bytes = "a\0\x82\xA0\0\0b"s;
    const std::u16string text = u"a\0あ\0\0b"s;
    EXPECT_EQ(codec->ToUtf16(bytes), text);
    EXPECT_EQ(codec->FromUtf16(text), bytes);
}

TEST_P(Cp932CodecContract, Utf8HelpersAndByteCounts)
{
    EXPECT_EQ(codec->ToUtf8("\x92\xE8\x8B\x60\x95\xB6\x8F\x91" "1(&1)"), "定義文書1(&1)");
    EXPECT_EQ(codec->FromUtf8("定義文書1(&1)"), "\x92\xE8\x8B\x60\x95\xB6\x8F\x91" "1(&1)");
    EXPECT_EQ(codec->ToUtf8("\x81\r\n"), "\xEF\xBF\xBD\r\n");
    EXPECT_EQ(codec->Cp932Length("定義文書1(&1)"), 13u);
    EXPECT_EQ(codec->Cp932Length("ｴﾗｰ"), 3u);
    EXPECT_EQ(codec->Cp932Length("Save as..."), 10u);
    EXPECT_EQ(codec->Cp932Length(""), 0u);
    EXPECT_EQ(codec->Cp932Length("\xF0\x9F\x98\x80"), 1u);  // an emoji is one '?'
}

TEST_P(Cp932CodecContract, LargeInputsConvertWhole)
{
    // A leading 'a' puts double-byte characters across every power-of-two offset.
    const std::string unitBytes = "\x92\xE8\x8B\x60\x95\xB6\x8F\x91 \xB4\xD7\xB0 abc\r\n";
    const std::u16string unitText = u"定義文書 ｴﾗｰ abc\r\n";
    std::string bytes = "a";
    std::u16string text = u"a";
    while (bytes.size() < (1u << 20)) {
        bytes += unitBytes;
        text += unitText;
    }
    EXPECT_TRUE(codec->ToUtf16(bytes) == text);
    EXPECT_TRUE(codec->FromUtf16(text) == bytes);

    // One bad character in the middle changes that character only.
    const size_t units = (bytes.size() / unitBytes.size()) / 2;
    std::string badBytes = bytes;
    badBytes.insert(1 + units * unitBytes.size(), "\x85\x40");
    std::u16string badText = text;
    badText.insert(1 + units * unitText.size(), u"\uFFFD");
    EXPECT_TRUE(codec->ToUtf16(badBytes) == badText);

    std::u16string accented = text;
    accented.insert(1 + units * unitText.size(), u"\u00E9");
    std::string question = bytes;
    question.insert(1 + units * unitBytes.size(), "?");
    EXPECT_TRUE(codec->FromUtf16(accented) == question);
}

}  // namespace
}  // namespace kp::test
