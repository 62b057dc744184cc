#include "platform/locale/Win32DateTimeLocale.h"

#include "base/Utf.h"

#include <windows.h>

#include <string>

namespace kp::platform {

namespace {

// The buffer sizes the platform documents are small; 256 units hold every
// answer of these calls.
constexpr int kUnits = 256;

std::string FromUnits(const wchar_t* units, int lengthWithZero)
{
    if (lengthWithZero <= 1) return {};
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(units),
                                           static_cast<size_t>(lengthWithZero - 1)));
}

std::string LocaleText(LCTYPE type)
{
    wchar_t units[kUnits];
    return FromUnits(units, GetLocaleInfoW(LOCALE_USER_DEFAULT, type, units, kUnits));
}

// A moment as the platform takes it. Fields outside the platform's ranges
// make the calls fail (and give empty texts).
SYSTEMTIME ToSystemTime(const LocalTime& moment)
{
    const auto field = [](int value) { return value < 0 || value > 0xFFFF ? WORD(0xFFFF) : WORD(value); };
    SYSTEMTIME t{};
    t.wYear = field(moment.year);
    t.wMonth = field(moment.month);
    t.wDay = field(moment.day);
    t.wHour = field(moment.hour);
    t.wMinute = field(moment.minute);
    t.wSecond = field(moment.second);
    t.wMilliseconds = field(moment.milliseconds);
    t.wDayOfWeek = WORD(DayOfWeekOf(moment.year, moment.month, moment.day));
    return t;
}

std::string DateText(const LocalTime& moment, DWORD flags)
{
    const SYSTEMTIME t = ToSystemTime(moment);
    wchar_t units[kUnits];
    return FromUnits(units, GetDateFormatW(LOCALE_USER_DEFAULT, flags, &t, nullptr, units, kUnits));
}

std::string TimeText(const LocalTime& moment, DWORD flags)
{
    const SYSTEMTIME t = ToSystemTime(moment);
    wchar_t units[kUnits];
    return FromUnits(units, GetTimeFormatW(LOCALE_USER_DEFAULT, flags, &t, nullptr, units, kUnits));
}

}  // namespace

std::string Win32DateTimeLocale::DateSeparator() const
{
    return LocaleText(LOCALE_SDATE);
}

std::string Win32DateTimeLocale::TimeSeparator() const
{
    return LocaleText(LOCALE_STIME);
}

std::string Win32DateTimeLocale::MonthName(int month, NameLength length) const
{
    if (month < 1 || month > 12) return {};
    const LCTYPE first = length == NameLength::Full ? LOCALE_SMONTHNAME1 : LOCALE_SABBREVMONTHNAME1;
    return LocaleText(first + static_cast<LCTYPE>(month - 1));
}

std::string Win32DateTimeLocale::DayName(int dayOfWeek, NameLength length) const
{
    if (dayOfWeek < 0 || dayOfWeek > 6) return {};
    // The platform's list starts with Monday.
    const LCTYPE first = length == NameLength::Full ? LOCALE_SDAYNAME1 : LOCALE_SABBREVDAYNAME1;
    return LocaleText(first + static_cast<LCTYPE>((dayOfWeek + 6) % 7));
}

std::string Win32DateTimeLocale::AmDesignator() const
{
    return LocaleText(LOCALE_S1159);
}

std::string Win32DateTimeLocale::PmDesignator() const
{
    return LocaleText(LOCALE_S2359);
}

std::string Win32DateTimeLocale::ShortDate(const LocalTime& moment) const
{
    return DateText(moment, DATE_SHORTDATE);
}

std::string Win32DateTimeLocale::LongDate(const LocalTime& moment) const
{
    return DateText(moment, DATE_LONGDATE);
}

std::string Win32DateTimeLocale::ShortTime(const LocalTime& moment) const
{
    return TimeText(moment, TIME_NOSECONDS);
}

std::string Win32DateTimeLocale::LongTime(const LocalTime& moment) const
{
    return TimeText(moment, 0);
}

std::string Win32DateTimeLocale::CurrentEra() const
{
    wchar_t units[kUnits];
    return FromUnits(units, GetCalendarInfoW(LOCALE_USER_DEFAULT, CAL_JAPAN, CAL_SERASTRING, units, kUnits, nullptr));
}

}  // namespace kp::platform
