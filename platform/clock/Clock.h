#pragma once
// The local date and time of the machine.

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

}  // namespace kp::platform
