// What both the simulation and the platform agree on: case pairs are equal,
// width, kana type, diacritics and different letters are not.

#include "tests/contract/LocaleCompareContract.h"

#include "shell/FileView.h"

#include <cstdint>
#include <string>
#include <vector>

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

// The order a file list sorts its size, type and date columns by, as the
// texts show them: each chain is ascending, every pair of it is ordered alike
// by the comparison and by the sort keys, and equal texts have equal keys.
TEST_P(LocaleCompareContract, SortKeysOrderAsTheComparison)
{
    const std::vector<std::vector<std::string>> chains = {
        {"       1KB", "       2KB", "      10KB", "    1024KB", " 5242881KB"},  // sizes, padded to eight
        {"00/01/01 00:00", "26/12/07 09:05", "26/12/07 18:30", "99/12/31 23:59"},   // dates, two-digit years
        {"", "Application", "File Folder", "Text Document", "text file", "Text file"},  // type names
        {"a", "A", "ab", "aB", "Ab", "b"},                                              // case after letters
    };
    for (const auto& chain : chains) {
        for (size_t i = 0; i < chain.size(); ++i) {
            EXPECT_EQ(compare->Compare(chain[i], chain[i]), 0) << chain[i];
            EXPECT_EQ(compare->SortKey(chain[i]), compare->SortKey(chain[i])) << chain[i];
            for (size_t j = i + 1; j < chain.size(); ++j) {
                const std::string& a = chain[i];
                const std::string& b = chain[j];
                EXPECT_LT(compare->Compare(a, b), 0) << a << " < " << b;
                EXPECT_GT(compare->Compare(b, a), 0) << b << " > " << a;
                EXPECT_LT(compare->SortKey(a), compare->SortKey(b)) << a << " < " << b;
            }
        }
    }
    // Texts outside code page 932 have keys too, ordered as compared.
    const std::string korean = "한글.txt", kana = "ソース.txt";
    const int order = compare->Compare(korean, kana);
    EXPECT_NE(order, 0);
    EXPECT_EQ(order < 0, compare->SortKey(korean) < compare->SortKey(kana));
}

// The file list sorts its size column by the texts' code units rather than
// by sort keys: the two orders agree for every pair, across widths (from
// 100,000,000 KB a text is wider than eight places and no longer sorts as
// its number) and with the empty text of an item without a size.
TEST_P(LocaleCompareContract, SizeTextsOrderAsTheirCodeUnits)
{
    constexpr uint64_t kKiB = 1024, kGiB = kKiB * kKiB * kKiB;
    const uint64_t sizes[] = {0,         1023,        1024,        2047,         9 * kKiB, 10 * kKiB - 1,
                              99 * kKiB, 999 * kKiB,  1000 * kKiB, 12345 * kKiB, 2 * kGiB, 4 * kGiB + 1,
                              95 * kGiB, 96 * kGiB,   1000 * kGiB, 12345 * kGiB};
    std::vector<std::string> texts = {""};
    for (const uint64_t size : sizes) texts.push_back(shell::TFileView::SizeText(size));
    const auto sign = [](int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; };
    for (const std::string& a : texts)
        for (const std::string& b : texts) {
            EXPECT_EQ(sign(compare->Compare(a, b)), sign(a.compare(b))) << "'" << a << "' against '" << b << "'";
            EXPECT_EQ(sign(compare->SortKey(a).compare(compare->SortKey(b))), sign(a.compare(b)))
                << "'" << a << "' against '" << b << "'";
        }
}

}  // namespace
}  // namespace kp::test
