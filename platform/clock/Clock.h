#pragma once
// The local date and time of the machine, and file times seen in local time.

#include <cstdint>

namespace kp::platform {

struct LocalTime {
    int year, month, day;
    int dayOfWeek;  // 0 = Sunday
    int hour, minute, second, milliseconds;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() const = 0;
    // A file time (100 ns units since 1601-01-01 UTC) in the machine's local
    // time, to the millisecond; false when it has no date in years 1601 to
    // 30827.
    virtual bool FileTimeToLocal(uint64_t fileTime, LocalTime& out) const = 0;
};

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar (month
// 1..12, day 1..31; other values give some day without overflowing).
constexpr long long DaysFromCivil(long long year, long long month, long long day)
{
    year -= month <= 2 ? 1 : 0;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The day of the week of a date, 0 = Sunday (1970-01-01 was a Thursday).
constexpr int DayOfWeekOf(int year, int month, int day)
{
    const long long days = DaysFromCivil(year, month, day);
    return static_cast<int>(((days + 4) % 7 + 7) % 7);
}

// The date and time of a count of seconds since 1601-01-01 (no zone).
inline LocalTime LocalTimeFromSeconds(long long seconds, int milliseconds)
{
    constexpr long long kDaysBefore1970 = 134774;  // 1601-01-01 to 1970-01-01
    long long days = seconds / 86400 - kDaysBefore1970;
    long long rest = seconds % 86400;
    // Civil date from days since 1970 (the inverse of DaysFromCivil).
    const long long z = days + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long dayOfEra = z - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long mp = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day, DayOfWeekOf(year, month, day), static_cast<int>(rest / 3600),
            static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60), milliseconds};
}

}  // namespace kp::platform
