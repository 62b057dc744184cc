#include "tests/contract/TextMetricsContract.h"

#include "platform/textmetrics/SimTextMetrics.h"

#include <string>
#include <vector>

namespace kp::test {
namespace {

using platform::FontSpec;

constexpr int kSizes[] = {12, 13, 15, 16, 20, 24, 32};

// Printable ASCII and the half-width katakana: every single-byte character of
// code page 932 that is drawn.
std::u16string HalfWidthCharacters()
{
    std::u16string text;
    for (char16_t c = 0x20; c < 0x7F; ++c) text += c;
    for (char16_t c = 0xFF61; c <= 0xFF9F; ++c) text += c;
    return text;
}

// Double-byte characters from every part of code page 932: symbols (those
// with Latin-1, Greek and Cyrillic code points too), full-width forms, kana,
// kanji of both levels, box drawing, the NEC and IBM extensions.
const std::u16string kFullWidth =
    u"　、。，．・：；？！゛゜´｀¨＾￣＿ヽヾゝゞ〃仝々〆〇ー―‐／＼～∥｜…‥‘’“”（）〔〕［］｛｝〈〉《》「」"
    u"『』【】＋－±×÷＝≠＜＞≦≧∞∴♂♀°′″℃￥＄￠￡％＃＆＊＠§☆★○●◎◇◆□■△▲▽▼※〒→←↑↓〓"
    u"０９ＡＺａｚぁあんァアヶΑΩαωАЯаяё─│┌┐┘└├┬┤┴┼━┃┏╋"
    u"亜唖娃阿哀愛挨姶逢葵茜穐悪握渥旭葦芦鯵梓圧斡扱宛姐虻飴絢綾鮎或粟袷安庵按暗案闇鞍杏以伊位依偉囲"
    u"弌丐丕个丱丶丼丿乂乖乘亂亅豫亊舒弍于亞亟亠亢亰亳亶从仍仄仆仂仗仞仭仟价伉佚估佛佝佗佇佶侈侏侘"
    u"熙凜堯槇遙瑤①⑳ⅠⅩ㍉㌔㎜㎡№℡㈱纊褜鍈銈蓜俉炻昱棈鋹曻彅丨仡仼伀伃伹佖侒侊侚侔";

TEST_P(TextMetricsContract, FixedPitchFaceHasOneHalfAndOneFullWidth)
{
    const std::u16string half = HalfWidthCharacters();
    for (const int size : kSizes) {
        ASSERT_TRUE(metrics->SetFont(FixedFace(size)));
        const int halfWidth = metrics->CharWidth(u'A');
        EXPECT_GT(halfWidth, 0) << size;
        for (const char16_t c : half)
            EXPECT_EQ(metrics->CharWidth(c), halfWidth) << size << " U+" << std::hex << int(c);
        for (const char16_t c : kFullWidth)
            EXPECT_EQ(metrics->CharWidth(c), 2 * halfWidth) << size << " U+" << std::hex << int(c);
        EXPECT_EQ(metrics->AverageCharWidth(), halfWidth) << size;
    }
}

TEST_P(TextMetricsContract, LineHoldsTheCharacterHeight)
{
    for (const int size : kSizes) {
        ASSERT_TRUE(metrics->SetFont(FixedFace(size)));
        EXPECT_GE(metrics->LineHeight(), size);
        EXPECT_LE(metrics->LineHeight(), size + size / 4 + 1) << size;
        EXPECT_GT(metrics->Ascent(), size / 2) << size;
        EXPECT_LT(metrics->Ascent(), metrics->LineHeight()) << size;
    }
}

TEST_P(TextMetricsContract, LargerFontsMeasureLargerAndSwitchingBackRestores)
{
    const std::u16string sample = u"Aa 定義ｱ";
    std::vector<int> small;
    ASSERT_TRUE(metrics->SetFont(FixedFace(12)));
    metrics->RunWidths(sample, small);
    const int smallLine = metrics->LineHeight();
    const int smallAscent = metrics->Ascent();

    std::vector<int> large;
    ASSERT_TRUE(metrics->SetFont(FixedFace(24)));
    metrics->RunWidths(sample, large);
    EXPECT_GT(metrics->LineHeight(), smallLine);
    EXPECT_GT(metrics->Ascent(), smallAscent);
    EXPECT_GT(metrics->AverageCharWidth(), small[0]);
    for (size_t i = 0; i < sample.size(); ++i) EXPECT_GT(large[i], small[i]) << i;

    std::vector<int> again;
    ASSERT_TRUE(metrics->SetFont(FixedFace(12)));
    metrics->RunWidths(sample, again);
    EXPECT_EQ(again, small);
    EXPECT_EQ(metrics->LineHeight(), smallLine);
}

TEST_P(TextMetricsContract, RunWidthsAreTheCharacterWidths)
{
    const std::u16string text = u"Tab\there 定義文書 ｴﾗｰ\u3000末尾\r\n";
    std::vector<int> widths{99, 99};  // stale content is replaced
    metrics->RunWidths(text, widths);
    ASSERT_EQ(widths.size(), text.size());
    for (size_t i = 0; i < text.size(); ++i)
        EXPECT_EQ(widths[i], metrics->CharWidth(text[i])) << i;

    metrics->RunWidths(u"", widths);
    EXPECT_TRUE(widths.empty());
}

// A pair is one character; a surrogate outside a pair stands for U+FFFD.
TEST_P(TextMetricsContract, SurrogatesPairUpOrMeasureAsTheReplacementCharacter)
{
    const char16_t high = 0xD83D, low = 0xDE00;  // U+1F600
    const int pair = metrics->CharWidth(high, low);
    const int replacement = metrics->CharWidth(u'\uFFFD');
    const int a = metrics->CharWidth(u'a');
    EXPECT_GT(pair, 0);
    EXPECT_GT(replacement, 0);
    EXPECT_EQ(metrics->CharWidth(char16_t(0xD800)), replacement);
    EXPECT_EQ(metrics->CharWidth(char16_t(0xDFFF)), replacement);
    EXPECT_EQ(metrics->CharWidth(low, high), replacement);
    EXPECT_EQ(metrics->CharWidth(u'a', low), replacement);

    std::vector<int> widths;
    metrics->RunWidths(std::u16string{u'a', high, low, low, high, u'a', high}, widths);
    EXPECT_EQ(widths, (std::vector<int>{a, pair, 0, replacement, replacement, a, replacement}));
}

TEST_P(TextMetricsContract, UnusableFontsAreRefusedAndTheCurrentOneStays)
{
    const int line = metrics->LineHeight();
    const int full = metrics->CharWidth(u'あ');
    FontSpec font = FixedFace(0);
    EXPECT_FALSE(metrics->SetFont(font));
    font.pixelHeight = -16;  // a cell height in GDI's terms; not taken here
    EXPECT_FALSE(metrics->SetFont(font));
    font.pixelHeight = platform::kMaxPixelHeight + 1;
    EXPECT_FALSE(metrics->SetFont(font));
    font = FixedFace(24);
    font.face = std::string(32, 'F');
    EXPECT_FALSE(metrics->SetFont(font));
    EXPECT_EQ(metrics->LineHeight(), line);
    EXPECT_EQ(metrics->CharWidth(u'あ'), full);

    font.face = std::string(31, 'F');  // the longest name taken; the platform substitutes a font
    EXPECT_TRUE(metrics->SetFont(font));
    font.face = "ＭＳ ゴシック";
    font.pixelHeight = 1;
    EXPECT_TRUE(metrics->SetFont(font));
}

TEST_P(TextMetricsContract, ANewInstanceUsesTheDefaultFont)
{
    const std::unique_ptr<platform::TextMetrics> fresh = GetParam().make();
    ASSERT_TRUE(metrics->SetFont(FontSpec{}));
    EXPECT_EQ(fresh->LineHeight(), metrics->LineHeight());
    EXPECT_EQ(fresh->Ascent(), metrics->Ascent());
    EXPECT_EQ(fresh->CharWidth(u'A'), metrics->CharWidth(u'A'));
    EXPECT_EQ(fresh->CharWidth(u'定'), metrics->CharWidth(u'定'));
}

// A synthesised bold face may widen every character by a pixel, so full
// width need not be twice the half width any more; each kind still has one.
TEST_P(TextMetricsContract, BoldItalicFixedFaceKeepsOneWidthPerKind)
{
    const int half = metrics->CharWidth(u'x');
    const int full = metrics->CharWidth(u'漢');
    FontSpec font = FixedFace(16);
    font.bold = true;
    font.italic = true;
    ASSERT_TRUE(metrics->SetFont(font));
    const int boldHalf = metrics->CharWidth(u'x');
    const int boldFull = metrics->CharWidth(u'漢');
    EXPECT_GE(boldHalf, half);
    EXPECT_GE(boldFull, full);
    EXPECT_GT(boldFull, boldHalf);
    for (const char16_t c : std::u16string_view(u"AiW1 ｶﾟ"))
        EXPECT_EQ(metrics->CharWidth(c), boldHalf) << int(c);
    for (const char16_t c : std::u16string_view(u"漢字あア　"))
        EXPECT_EQ(metrics->CharWidth(c), boldFull) << int(c);
}

// The documented numbers of the simulation, which layout tests rely on.
TEST(SimTextMetrics, DocumentedMetricsAndScaling)
{
    platform::SimTextMetrics sim;
    const struct {
        int size, half, line, ascent;
    } cases[] = {{16, 8, 16, 13}, {15, 8, 15, 12}, {13, 7, 13, 11}, {32, 16, 32, 26}, {1, 1, 1, 1}};
    for (const auto& [size, half, line, ascent] : cases) {
        FontSpec font;
        font.pixelHeight = size;
        ASSERT_TRUE(sim.SetFont(font));
        EXPECT_EQ(sim.CharWidth(u'\0'), half) << size;
        EXPECT_EQ(sim.CharWidth(u'\x7F'), half) << size;
        EXPECT_EQ(sim.CharWidth(u'\uFF61'), half) << size;
        EXPECT_EQ(sim.CharWidth(u'\uFF9F'), half) << size;
        EXPECT_EQ(sim.CharWidth(u'\u0080'), 2 * half) << size;
        EXPECT_EQ(sim.CharWidth(u'\uFF60'), 2 * half) << size;
        EXPECT_EQ(sim.CharWidth(u'\uFFA0'), 2 * half) << size;
        EXPECT_EQ(sim.AverageCharWidth(), half) << size;
        EXPECT_EQ(sim.LineHeight(), line) << size;
        EXPECT_EQ(sim.Ascent(), ascent) << size;
    }
}

}  // namespace
}  // namespace kp::test
