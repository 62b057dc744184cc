// What every clock answers: a real calendar date and time of day, the day of
// the week that date has, and no moment earlier than the one before.

#include "tests/contract/ClockContract.h"

namespace kp::test {
namespace {

using platform::LocalTime;

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

long long Milliseconds(const LocalTime& t)
{
    const long long days = platform::DaysFromCivil(t.year, t.month, t.day);
    return ((days * 24 + t.hour) * 60 + t.minute) * 60000LL + t.second * 1000LL + t.milliseconds;
}

TEST_P(ClockContract, NowIsARealMoment)
{
    const LocalTime t = clock->Now();
    EXPECT_GE(t.year, 1990);
    EXPECT_LE(t.year, 9999);
    ASSERT_GE(t.month, 1);
    ASSERT_LE(t.month, 12);
    EXPECT_GE(t.day, 1);
    EXPECT_LE(t.day, DaysInMonth(t.year, t.month));
    EXPECT_GE(t.hour, 0);
    EXPECT_LE(t.hour, 23);
    EXPECT_GE(t.minute, 0);
    EXPECT_LE(t.minute, 59);
    EXPECT_GE(t.second, 0);
    EXPECT_LE(t.second, 59);
    EXPECT_GE(t.milliseconds, 0);
    EXPECT_LE(t.milliseconds, 999);
    EXPECT_EQ(t.dayOfWeek, platform::DayOfWeekOf(t.year, t.month, t.day))
        << t.year << "-" << t.month << "-" << t.day;
}

TEST_P(ClockContract, TimeDoesNotRunBackwards)
{
    const LocalTime first = clock->Now();
    const LocalTime second = clock->Now();
    const long long elapsed = Milliseconds(second) - Milliseconds(first);
    EXPECT_GE(elapsed, 0);
    EXPECT_LT(elapsed, 60000);
}

// File times in local time: the offset from UTC is the same for moments a
// minute apart, lies within the world's zones in whole quarter hours, and the
// converted moment keeps its milliseconds and its day of the week.
TEST_P(ClockContract, FileTimesInLocalTime)
{
    constexpr uint64_t kPerSecond = 10000000;
    constexpr uint64_t k1970 = 116444736000000000ull;
    struct Utc { int year, month, day, hour, minute, second, ms; };
    const Utc moments[] = {{2026, 12, 7, 18, 30, 0, 0}, {2000, 2, 29, 23, 59, 58, 999}, {1979, 12, 31, 12, 0, 1, 500},
                           {2026, 7, 1, 0, 0, 0, 0}};
    for (const Utc& m : moments) {
        const long long seconds =
            ((platform::DaysFromCivil(m.year, m.month, m.day) * 24 + m.hour) * 60 + m.minute) * 60LL + m.second;
        const uint64_t fileTime = k1970 + static_cast<uint64_t>(seconds) * kPerSecond + m.ms * 10000ull;
        LocalTime local{}, later{};
        ASSERT_TRUE(clock->FileTimeToLocal(fileTime, local)) << m.year;
        ASSERT_TRUE(clock->FileTimeToLocal(fileTime + 60 * kPerSecond, later)) << m.year;
        const long long utcMs = seconds * 1000 + m.ms;
        const long long offset = Milliseconds(local) - utcMs;
        EXPECT_EQ(Milliseconds(later) - Milliseconds(local), 60000) << m.year;
        EXPECT_LE(offset, 14 * 3600000LL);
        EXPECT_GE(offset, -12 * 3600000LL);
        EXPECT_EQ(offset % (15 * 60000), 0) << m.year;
        EXPECT_EQ(local.milliseconds, m.ms);
        EXPECT_EQ(local.dayOfWeek, platform::DayOfWeekOf(local.year, local.month, local.day));
    }
    LocalTime none{};
    EXPECT_FALSE(clock->FileTimeToLocal(0x8000000000000000ull, none)) << "past the platform's last date";
}

TEST(DayOfWeekOf, KnownDates)
{
    struct Case { int year, month, day, dayOfWeek; };
    const Case cases[] = {
        {1970, 1, 1, 4}, {1999, 3, 14, 0}, {2000, 2, 29, 2}, {2000, 3, 1, 3}, {1900, 3, 1, 4},
        {1868, 1, 1, 3}, {1600, 1, 1, 6}, {2019, 5, 1, 3}, {2024, 12, 31, 2}, {2100, 1, 1, 5}};
    for (const Case& c : cases)
        EXPECT_EQ(platform::DayOfWeekOf(c.year, c.month, c.day), c.dayOfWeek)
            << c.year << "-" << c.month << "-" << c.day;
}

}  // namespace
}  // namespace kp::test
