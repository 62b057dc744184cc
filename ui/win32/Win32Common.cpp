#include "ui/win32/Win32Common.h"

#include "base/Utf.h"

#include <stdexcept>

namespace kp::ui {

std::wstring WideText(std::string_view utf8)
{
    const std::u16string text = Utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}

std::string Utf8Text(std::wstring_view wide)
{
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

HFONT CreateUiFont(UINT dpi)
{
    return CreateFontW(-MulDiv(9, static_cast<int>(dpi), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, L"MS UI Gothic");
}

void ReportException(const ExceptionHandler& handler, const std::exception& failure) noexcept
{
    try {
        if (handler) {
            handler(failure);
            return;
        }
        MessageBoxW(nullptr, WideText(failure.what()).c_str(), L"エラー", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    } catch (...) {
        // Nothing is left to report with.
    }
}

}  // namespace kp::ui
