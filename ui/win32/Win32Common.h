#pragma once
// Helpers shared by the Win32 side of the form framework: text for the W
// calls, sizes designed at 96 DPI, the user-interface font, and the guard
// that keeps exceptions from unwinding through a window procedure.

#include <windows.h>

#include <exception>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kp::ui {

// Receives every exception a callback of the form framework throws.
using ExceptionHandler = std::function<void(const std::exception&)>;

std::wstring WideText(std::string_view utf8);
std::string Utf8Text(std::wstring_view wide);

// A size designed at 96 DPI, in device pixels at `dpi`.
inline int ScaleDesign(int design, UINT dpi) { return MulDiv(design, static_cast<int>(dpi), 96); }

// "MS UI Gothic" 9 pt in Shift-JIS, the face of the bars and the views.
HFONT CreateUiFont(UINT dpi);

// Hands `failure` to `handler`; without one, shows it in a stop box. Never
// throws: a handler that throws itself is ignored.
void ReportException(const ExceptionHandler& handler, const std::exception& failure) noexcept;

// Runs `action`; what it throws goes to ReportException. False when it threw.
template <class Action>
bool Guarded(const ExceptionHandler& handler, Action&& action) noexcept
{
    try {
        action();
        return true;
    } catch (const std::exception& failure) {
        ReportException(handler, failure);
    } catch (...) {
        ReportException(handler, std::runtime_error("予期しないエラーが発生しました。"));
    }
    return false;
}

}  // namespace kp::ui
