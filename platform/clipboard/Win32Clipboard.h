#pragma once
// The system clipboard through user32: CF_UNICODETEXT in a GlobalAlloc'd
// block. Text another program put there as CF_TEXT or CF_OEMTEXT reads back
// too, because the platform converts it to CF_UNICODETEXT on request.
//
// What this class puts on the clipboard belongs to a hidden message-only
// window it creates; the text stays on the clipboard after the object (and
// the program) is gone. Use an instance from one thread only.

#include "platform/clipboard/Clipboard.h"

namespace kp::platform {

class Win32Clipboard final : public Clipboard {
public:
    Win32Clipboard();
    ~Win32Clipboard() override;
    Win32Clipboard(const Win32Clipboard&) = delete;
    Win32Clipboard& operator=(const Win32Clipboard&) = delete;

    bool SetText(std::u16string_view text) override;
    std::optional<std::u16string> GetText() override;
    bool HasText() override;

private:
    // Opens the clipboard, retrying briefly while another program holds it.
    bool Open();

    void* window_ = nullptr;  // HWND
};

}  // namespace kp::platform
