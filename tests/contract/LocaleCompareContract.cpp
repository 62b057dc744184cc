// What both the simulation and the platform agree on: case pairs are equal,
// width, kana type, diacritics and different letters are not.

#include "tests/contract/LocaleCompareContract.h"

namespace kp::test {
namespace {

TEST_P(LocaleCompareContract, LetterCaseIsIgnored)
{
    EXPECT_TRUE(Equal("", ""));
    EXPECT_TRUE(Equal("C:\\Memo\\Readme.TXT", "c:\\memo\\README.txt"));
    EXPECT_TRUE(Equal("ａｂｃ", "ＡＢＣ"));         // full-width Latin
    EXPECT_TRUE(Equal("é", "É"));                  // Latin-1
    EXPECT_TRUE(Equal("ÿ", "Ÿ"));                  // Latin-1 small, capital in Extended-A
    EXPECT_TRUE(Equal("āłźŋ", "ĀŁŹŊ"));            // Latin Extended-A, both pairings
    EXPECT_TRUE(Equal("αβγσς", "ΑΒΓΣΣ"));          // Greek, final sigma
    EXPECT_TRUE(Equal("абвё", "АБВЁ"));            // Cyrillic
    EXPECT_TRUE(Equal("日本語メモ.txt", "日本語メモ.TXT"));
}

TEST_P(LocaleCompareContract, WidthKanaAndDiacriticsCount)
{
    EXPECT_FALSE(Equal("abc", "ａｂｃ"));
    EXPECT_FALSE(Equal("ABC", "ａｂｃ"));
    EXPECT_FALSE(Equal("ｱ", "ア"));
    EXPECT_FALSE(Equal("ア", "あ"));
    EXPECT_FALSE(Equal("0", "０"));
    EXPECT_FALSE(Equal("e", "é"));
    EXPECT_FALSE(Equal("i", "İ"));
    EXPECT_FALSE(Equal("I", "ı"));
    EXPECT_FALSE(Equal("µ", "Μ"));  // micro sign is no Greek letter
}

TEST_P(LocaleCompareContract, DifferentTextsDiffer)
{
    EXPECT_FALSE(Equal("a.txt", "b.txt"));
    EXPECT_FALSE(Equal("a.txt", "a.txt "));
    EXPECT_FALSE(Equal("", "a"));
    EXPECT_FALSE(Equal("a-b", "ab"));
    EXPECT_FALSE(Equal("a\\b", "a/b"));
    EXPECT_FALSE(Equal("÷", "×"));
}

}  // namespace
}  // namespace kp::test
