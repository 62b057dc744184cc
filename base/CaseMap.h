#pragma once
// Letter case in code page 932, straight on the bytes.
//
// The letters that change case are those whose partner also has a code in
// code page 932: A-Z and a-z, the full-width Latin letters, the Greek and
// Cyrillic letters and the Roman numerals. A partner is written as the
// platform's encoder writes it, so a Roman numeral of the NEC-selected or IBM
// rows may change to the other row. Every other character keeps its bytes:
// kana, kanji, symbols, bytes that do not decode, unassigned pairs, a letter
// whose partner has no code (Å), and a code that is already in the asked case
// even where the platform's encoder prefers a twin of it.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kp::cp932 {

enum class LetterCase { Upper, Lower };

// The character a code becomes in a case: a single byte (0x00-0xFF) or a
// pair written lead << 8 | trail. Codes that do not change come back as they
// are.
uint16_t CasePartner(LetterCase to, uint16_t code);

struct CaseMapResult {
    size_t consumed;  // bytes handled as whole characters
    bool changed;     // whether any of them changed
};

// Writes bytes with every character in the case `to` into out, which holds
// bytes.size() bytes; bytes starts at a character boundary. Byte counts never
// change, and neither do CR, LF or any byte outside a changed letter. A lead
// byte that ends bytes and starts a character may pair with what follows
// bytes: it is copied unchanged and not counted as consumed.
CaseMapResult MapCase(LetterCase to, std::string_view bytes, char* out);

// Whether MapCase may use the processor's 256-bit instructions where it has
// them (the default); the result is the same either way. Tests run both.
void AllowWideInstructions(bool allow);

}  // namespace kp::cp932
