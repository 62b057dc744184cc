#include "memo/edit/Find.h"

#include "base/Cp932.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace kp::memo {
namespace {

int64_t Find(std::string_view text, std::string_view pattern, FindOptions options = {}, int64_t from = 0,
             int64_t to = -1)
{
    TextBuffer buffer(text);
    return FindInText(buffer, static_cast<size_t>(from), to < 0 ? buffer.Length() : static_cast<size_t>(to),
                      pattern, options);
}

TEST(Find, LettersIgnoreCaseUnlessAsked)
{
    EXPECT_EQ(Find("one Two three", "two"), 4);
    EXPECT_EQ(Find("one Two three", "two", {.matchCase = true}), -1);
    // Full-width Latin letters fold too: "ａｂ" finds "ＡＢ".
    EXPECT_EQ(Find("x\x82\x60\x82\x61", "\x82\x81\x82\x82"), 1);
    EXPECT_EQ(Find("x\x82\x60\x82\x61", "\x82\x81\x82\x82", {.matchCase = true}), -1);
}

TEST(Find, NeverMatchesInsideADoubleByteCharacter)
{
    // "ア" is 83 41: its trail byte is 'A'.
    EXPECT_EQ(Find("\x83\x41", "A"), -1);
    EXPECT_EQ(Find("\x83\x41" "A", "A"), 2);
    // A trail byte that looks like a lead byte: "ソ" 83 5C then "\\".
    EXPECT_EQ(Find("\x83\x5C\x5C", "\\"), 2);
    // A pattern ending in a lone lead byte does not match the lead of a pair.
    EXPECT_EQ(Find("\x82\xA0", "\x82"), -1);
    // Case folding never touches trail bytes: "ア" does not match "\x83a".
    EXPECT_EQ(Find("\x83\x41", "\x83" "a"), -1);
}

TEST(Find, WholeWordsOnly)
{
    EXPECT_EQ(Find("cat concat cat", "cat", {.wholeWord = true}, 1), 11);
    EXPECT_EQ(Find("concatenate", "cat", {.wholeWord = true}), -1);
    EXPECT_EQ(Find("(cat)", "cat", {.wholeWord = true}), 1);
    // Japanese next to a word does not make it part of the word.
    EXPECT_EQ(Find("\x82\xA0" "cat\x82\xA2", "cat", {.wholeWord = true}), 2);
}

TEST(Find, StaysInsideTheRangeAndSearchesBackwardWhenItIsReversed)
{
    EXPECT_EQ(Find("abcabcabc", "abc", {}, 1, 9), 3);
    EXPECT_EQ(Find("abcabcabc", "abc", {}, 1, 5), -1);   // the match must end inside
    EXPECT_EQ(Find("abcabcabc", "abc", {}, 9, 0), 6);    // backward: the last one
    EXPECT_EQ(Find("abcabcabc", "abc", {}, 8, 0), 3);
    EXPECT_EQ(Find("abc", "", {}), -1);
    EXPECT_EQ(Find("", "a", {}), -1);
}

TEST(Find, FindsMatchesAcrossLargeTexts)
{
    std::string text(3u << 20, 'x');
    text.replace((1u << 20) - 2, 4, "NEED");  // straddles the first search block
    text.replace(text.size() - 4, 4, "need");
    EXPECT_EQ(Find(text, "need", {.matchCase = true}), static_cast<int64_t>(text.size() - 4));
    EXPECT_EQ(Find(text, "need"), static_cast<int64_t>((1u << 20) - 2));
    EXPECT_EQ(Find(text, "need", {}, static_cast<int64_t>(text.size()), 0), static_cast<int64_t>(text.size() - 4));
}


// Letter case matched: the first match agrees with a plain reference (bytes
// equal, a character boundary at the start, a lone lead byte at the
// pattern's end not joined to a trail byte after it) on random texts split
// into chunks of a few bytes, so that matches straddle one or more chunks.
size_t ReferenceFind(std::string_view text, size_t from, size_t to, std::string_view pattern)
{
    std::vector<bool> boundary(text.size() + 1, false);
    for (size_t at = 0; at <= text.size(); at += at < text.size() ? cp932::CharLength(text, at) : 1)
        boundary[at] = true;
    size_t last = 0;
    while (last + cp932::CharLength(pattern, last) < pattern.size()) last += cp932::CharLength(pattern, last);
    const bool loneLead = cp932::CharLength(pattern, last) == 1 && cp932::IsLeadByte(static_cast<uint8_t>(pattern[last]));
    for (size_t at = from; at + pattern.size() <= to; ++at) {
        if (text.substr(at, pattern.size()) != pattern || !boundary[at]) continue;
        const size_t end = at + pattern.size();
        if (loneLead && end < text.size() && cp932::IsTrailByte(static_cast<uint8_t>(text[end]))) continue;
        return at;
    }
    return std::string::npos;
}

TEST(Find, ExactMatchesAgreeWithAReferenceAcrossChunks)
{
    const char alphabet[] = {'A', 'b', '\x82', '\x83', '\xA0', '\r', '\n', '\\', '\x5C', '\x41'};
    std::mt19937 rng(7);
    for (int round = 0; round < 3000; ++round) {
        std::string text(rng() % 200, ' ');
        for (char& c : text) c = alphabet[rng() % sizeof alphabet];
        const size_t max = 4 + rng() % 40;
        const TextBuffer buffer(text, {1 + max / 4, max});
        std::string pattern(1 + rng() % 6, ' ');
        if (!text.empty() && rng() % 2) {
            const size_t at = rng() % text.size();
            pattern = text.substr(at, std::min(pattern.size(), text.size() - at));
        } else {
            for (char& c : pattern) c = alphabet[rng() % sizeof alphabet];
        }
        const size_t from = text.empty() ? 0 : rng() % (text.size() + 1);
        const size_t to = from + rng() % (text.size() - from + 1);
        const size_t expected = ReferenceFind(text, from, to, pattern);
        SCOPED_TRACE(::testing::Message() << "round " << round);
        EXPECT_EQ(FindInText(buffer, from, to, pattern, {.matchCase = true}),
                  expected == std::string::npos ? -1 : static_cast<int64_t>(expected));
    }
}

}  // namespace
}  // namespace kp::memo
