#pragma once
// Character classes for word movement, double-click selection and
// whole-word search in code-page-932 text.

#include <cstdint>

namespace kp::memo {

enum class CharClass {
    LineBreak,   // CR, LF
    Blank,       // space, tab, other controls, ideographic space
    Word,        // ASCII letters, digits, underscore; full-width letters and digits
    Punctuation, // other ASCII and double-byte symbols
    Hiragana,
    Katakana,    // full-width katakana and the prolonged sound mark
    HalfKana,    // half-width katakana
    Kanji,       // ideographs and anything else double-byte
};

// code: a single byte b, or (lead << 8) | trail for a double-byte character.
constexpr CharClass ClassOf(uint16_t code)
{
    if (code == '\r' || code == '\n') return CharClass::LineBreak;
    if (code <= 0xFF) {
        if (code <= 0x20 || code == 0x7F) return CharClass::Blank;
        if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z') ||
            code == '_')
            return CharClass::Word;
        if (code >= 0xA6 && code <= 0xDF) return CharClass::HalfKana;
        return CharClass::Punctuation;
    }
    if (code == 0x8140) return CharClass::Blank;
    if (code == 0x815B) return CharClass::Katakana;                   // ー
    if ((code >= 0x824F && code <= 0x8258) || (code >= 0x8260 && code <= 0x8279) ||
        (code >= 0x8281 && code <= 0x829A))
        return CharClass::Word;                                      // full-width digits and letters
    if (code >= 0x829F && code <= 0x82F1) return CharClass::Hiragana;
    if (code >= 0x8340 && code <= 0x8396) return CharClass::Katakana;
    if (code >= 0x8140 && code <= 0x84FF) return CharClass::Punctuation;  // symbols, Greek, Cyrillic, box drawing
    if (code >= 0x8740 && code <= 0x879F) return CharClass::Punctuation;  // NEC special characters
    return CharClass::Kanji;
}

}  // namespace kp::memo
