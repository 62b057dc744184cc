#pragma once
// The count dialog: the document's character count and line count, computed
// once when it shows.
//
// Lines are the memo's display lines (with word wrap on, each wrapped piece
// is a line), less the empty line after a final line break. Characters are
// the text's bytes less the bytes of its line breaks (CR LF two, a lone CR or
// LF one), so a double-byte character counts two and a single-byte or
// half-width katakana character one, and neither a last line without a
// break nor a wrap point takes anything off.

#include "ui/Form.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kp::memo {
class TExtMemo;
class TextBuffer;
}  // namespace kp::memo

namespace kp::dialogs {

struct TextCount {
    size_t characters = 0;
    size_t lines = 0;
    bool operator==(const TextCount&) const = default;
};

// The CR bytes plus the LF bytes of `bytes`, in one pass.
size_t LineBreakBytes(std::string_view bytes);
// The same over a whole text, read piece by piece, never copied.
size_t LineBreakBytes(const memo::TextBuffer& text);
// The two numbers for a text shown in `displayLines` lines.
TextCount CountText(const memo::TextBuffer& text, size_t displayLines);

class TCountForm {
public:
    explicit TCountForm(const memo::TExtMemo& memo) : memo_(memo) {}

    // Reads the memo and sets the two numbers.
    void FormShow();
    ui::ModalResult ShowModal(ui::FormService& forms);

    // The form as it shows now.
    ui::FormSpec Spec() const;
    const TextCount& Count() const { return count_; }

private:
    const memo::TExtMemo& memo_;
    TextCount count_;
};

}  // namespace kp::dialogs
