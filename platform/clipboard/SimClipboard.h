#pragma once
// An in-memory clipboard with the platform's rules (text cut at its first NUL,
// line breaks kept, empty text is text) and test controls for what other
// programs do to the clipboard. Each instance is a clipboard of its own.

#include "platform/clipboard/Clipboard.h"

namespace kp::platform {

class SimClipboard final : public Clipboard {
public:
    bool SetText(std::u16string_view text) override;
    std::optional<std::u16string> GetText() override;
    bool HasText() override;

    // Test controls with no counterpart in the interface.
    // Another program has the clipboard open: SetText and GetText fail,
    // HasText still answers, the content stays.
    void SetHeldByAnotherProgram(bool held) { held_ = held; }
    // Another program replaced the content with something that is not text.
    void PutNonText() { text_.reset(); }

private:
    std::optional<std::u16string> text_;
    bool held_ = false;
};

}  // namespace kp::platform
