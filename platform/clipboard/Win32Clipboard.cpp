#include "platform/clipboard/Win32Clipboard.h"

#include <windows.h>

#include <cstring>

namespace kp::platform {

namespace {

// Another program normally holds the clipboard for a few milliseconds; wait
// up to about a tenth of a second for it, then give up.
constexpr int kOpenAttempts = 10;
constexpr DWORD kRetryDelayMs = 10;

HWND H(void* window) { return static_cast<HWND>(window); }

// The text of a CF_UNICODETEXT block, up to its first NUL; a block without a
// NUL ends at its size.
std::optional<std::u16string> ReadText(HANDLE data)
{
    const auto* units = static_cast<const char16_t*>(GlobalLock(data));
    if (!units) return std::nullopt;
    const size_t capacity = GlobalSize(data) / sizeof(char16_t);
    size_t length = 0;
    while (length < capacity && units[length] != u'\0') ++length;
    std::u16string text(units, length);
    GlobalUnlock(data);
    return text;
}

}  // namespace

Win32Clipboard::Win32Clipboard()
    : window_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr))
{
}

Win32Clipboard::~Win32Clipboard()
{
    if (window_) DestroyWindow(H(window_));
}

bool Win32Clipboard::Open()
{
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (attempt > 0) Sleep(kRetryDelayMs);
        if (OpenClipboard(H(window_))) return true;
    }
    return false;
}

bool Win32Clipboard::SetText(std::u16string_view text)
{
    text = text.substr(0, text.find(u'\0'));
    // The block is filled before the clipboard is opened, so that other
    // programs wait for no copying.
    const size_t bytes = text.size() * sizeof(char16_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes + sizeof(char16_t));
    if (!block) return false;
    auto* units = static_cast<char16_t*>(GlobalLock(block));
    if (!units) {
        GlobalFree(block);
        return false;
    }
    std::memcpy(units, text.data(), bytes);
    units[text.size()] = u'\0';
    GlobalUnlock(block);

    if (!Open()) {
        GlobalFree(block);
        return false;
    }
    // Once SetClipboardData succeeds the block belongs to the clipboard.
    const bool ok = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    if (!ok) GlobalFree(block);
    CloseClipboard();
    return ok;
}

std::optional<std::u16string> Win32Clipboard::GetText()
{
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return std::nullopt;
    if (!Open()) return std::nullopt;
    std::optional<std::u16string> text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) text = ReadText(data);
    CloseClipboard();
    return text;
}

bool Win32Clipboard::HasText()
{
    return IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
}

}  // namespace kp::platform
