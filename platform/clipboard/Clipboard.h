#pragma once
// The system clipboard, for plain text.
//
// Text is UTF-16 and goes on the clipboard exactly as given: line breaks are
// not converted (CR LF stays CR LF, a lone LF stays a lone LF). The platform's
// text formats end at the first NUL character, so text is cut there: setting
// "ab\0cd" puts "ab" on the clipboard, and text read back never contains NUL.
// Callers that must keep what follows a NUL replace it before setting.
//
// Another program may hold the clipboard open for a moment; operations that
// need it open then fail (after a few brief retries) rather than block.

#include <optional>
#include <string>
#include <string_view>

namespace kp::platform {

class Clipboard {
public:
    virtual ~Clipboard() = default;

    // Replaces the clipboard's whole content with the text (cut at its first
    // NUL). False when the clipboard could not be opened or written; the
    // previous content is then usually unchanged.
    virtual bool SetText(std::u16string_view text) = 0;
    // The clipboard's text, without a terminating NUL; none when the clipboard
    // holds no text or could not be opened. Empty text is text.
    virtual std::optional<std::u16string> GetText() = 0;
    // Whether the clipboard holds text. Needs no access to the content, so it
    // answers even while another program holds the clipboard open.
    virtual bool HasText() = 0;
};

}  // namespace kp::platform
