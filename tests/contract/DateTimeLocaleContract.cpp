// The Japanese locale's date and time settings, as the platform gives them
// (Wine 8, ja_JP) and as the simulation answers.

#include "tests/contract/DateTimeLocaleContract.h"

#include <string>
#include <vector>

namespace kp::test {
namespace {

using platform::LocalTime;
using platform::NameLength;

// 14 March 1999 was a Sunday.
constexpr LocalTime kEvening{1999, 3, 14, 0, 21, 5, 9, 0};
constexpr LocalTime kMidnight{1999, 3, 14, 0, 0, 0, 0, 0};

TEST_P(DateTimeLocaleContract, SeparatorsAndDesignators)
{
    EXPECT_EQ(locale->DateSeparator(), "/");
    EXPECT_EQ(locale->TimeSeparator(), ":");
    EXPECT_EQ(locale->AmDesignator(), "午前");
    EXPECT_EQ(locale->PmDesignator(), "午後");
}

TEST_P(DateTimeLocaleContract, WholeDatesAndTimes)
{
    EXPECT_EQ(locale->ShortDate(kEvening), "1999/3/14");
    EXPECT_EQ(locale->LongDate(kEvening), "1999年3月14日日曜日");
    EXPECT_EQ(locale->ShortTime(kEvening), "21:05");
    EXPECT_EQ(locale->LongTime(kEvening), "21:05:09");
    EXPECT_EQ(locale->ShortTime(kMidnight), "0:00");
    EXPECT_EQ(locale->LongTime(kMidnight), "0:00:00");
    EXPECT_EQ(locale->ShortDate(LocalTime{2019, 12, 1, 0, 9, 0, 0, 0}), "2019/12/1");
    // The day of the week comes from the date.
    LocalTime wrongDay = kEvening;
    wrongDay.dayOfWeek = 5;
    EXPECT_EQ(locale->LongDate(wrongDay), "1999年3月14日日曜日");
}

TEST_P(DateTimeLocaleContract, MonthAndDayNames)
{
    for (int month = 1; month <= 12; ++month) {
        const std::string expected = std::to_string(month) + "月";
        EXPECT_EQ(locale->MonthName(month, NameLength::Abbreviated), expected);
        EXPECT_EQ(locale->MonthName(month, NameLength::Full), expected);
    }
    // Listed from Monday, the locale's first day.
    const std::vector<std::string> days = {"月", "火", "水", "木", "金", "土", "日"};
    for (int i = 0; i < 7; ++i) {
        const int dayOfWeek = (i + 1) % 7;
        EXPECT_EQ(locale->DayName(dayOfWeek, NameLength::Abbreviated), days[i]) << dayOfWeek;
        EXPECT_EQ(locale->DayName(dayOfWeek, NameLength::Full), days[i] + "曜日") << dayOfWeek;
    }
    EXPECT_EQ(locale->MonthName(0, NameLength::Full), "");
    EXPECT_EQ(locale->MonthName(13, NameLength::Abbreviated), "");
    EXPECT_EQ(locale->DayName(7, NameLength::Full), "");
    EXPECT_EQ(locale->DayName(-1, NameLength::Abbreviated), "");
}

TEST_P(DateTimeLocaleContract, CurrentEra)
{
    EXPECT_EQ(locale->CurrentEra(), "令和");
}

}  // namespace
}  // namespace kp::test
