#include "platform/clock/Win32Clock.h"

#include <windows.h>

namespace kp::platform {

LocalTime Win32Clock::Now() const
{
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wDayOfWeek, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

}  // namespace kp::platform
