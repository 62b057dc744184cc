#pragma once
// Japanese line-breaking rules for the layout: which characters may not start
// a display line (following set), may not end one (leading set), may hang
// past the wrap width into one full-width cell (overflow set), and which
// delimit words (delimiter set). Membership is looked up in tables indexed by
// character code, built once when the rule changes.

#include <bitset>
#include <cstdint>
#include <memory>
#include <string_view>

namespace kp::memo {

class Kinsoku {
public:
    enum Set { kFollowing = 0, kLeading = 1, kOverflow = 2, kDelimiter = 3 };

    // No rule: every position is a legal break, nothing hangs.
    Kinsoku() = default;
    // mode: the word-wrap mode word's flag bits (wrap 0x10, word break 0x20,
    // overflow 0x40); sets: code-page-932 characters, in Set order.
    Kinsoku(uint32_t mode, const std::string_view (&sets)[4]);

    bool WordWrap() const { return wordWrap_; }
    bool WordBreak() const { return wordBreak_; }
    bool Overflow() const { return overflow_; }
    bool Active() const { return wordWrap_ || wordBreak_ || overflow_; }

    // code: a single byte b, or (lead << 8) | trail.
    bool In(Set set, uint16_t code) const { return tables_[set][code]; }
    // An ASCII character that belongs to a word: printable and no delimiter.
    bool WordChar(uint16_t code) const { return code > 0x20 && code < 0x7F && !In(kDelimiter, code); }

private:
    bool wordWrap_ = false;
    bool wordBreak_ = false;
    bool overflow_ = false;
    std::shared_ptr<std::bitset<0x10000>[]> tables_ = std::make_shared<std::bitset<0x10000>[]>(4);
};

}  // namespace kp::memo
