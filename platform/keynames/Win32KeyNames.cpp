#include "platform/keynames/Win32KeyNames.h"

#include "base/Utf.h"

#include <windows.h>

namespace kp::platform {

namespace {

// Keys that share their scan code with a keypad key and differ from it by the
// extended bit (0xE0 prefix) alone.
bool IsExtendedKey(uint32_t virtualKey)
{
    switch (virtualKey) {
    case VK_CANCEL:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_SNAPSHOT:
    case VK_INSERT:
    case VK_DELETE:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_RCONTROL:
    case VK_RMENU:
        return true;
    default:
        return virtualKey >= VK_BROWSER_BACK && virtualKey <= VK_LAUNCH_APP2;
    }
}

}  // namespace

std::string Win32KeyNames::NameOf(uint32_t virtualKey) const
{
    if (virtualKey > 0xFF) return {};
    const UINT scanCode = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    if (scanCode == 0) return {};
    LONG keyData = static_cast<LONG>((scanCode & 0xFF) << 16);
    if (IsExtendedKey(virtualKey)) keyData |= 1L << 24;
    wchar_t name[128];
    const int length = GetKeyNameTextW(keyData, name, static_cast<int>(std::size(name)));
    if (length <= 0) return {};
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(name), static_cast<size_t>(length)));
}

}  // namespace kp::platform
