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
    // The text is there but cannot be taken (its data will not lock):
    // GetText fails, HasText answers true, SetText works.
    void SetUnreadable(bool unreadable) { unreadable_ = unreadable; }
    // The clipboard opens but takes no new content (no memory for it):
    // SetText fails and the content stays; GetText works.
    void SetUnwritable(bool unwritable) { unwritable_ = unwritable; }

private:
    std::optional<std::u16string> text_;
    bool held_ = false;
    bool unreadable_ = false;
    bool unwritable_ = false;
};

}  // namespace kp::platform
