#pragma once
// The user's locale (LOCALE_USER_DEFAULT): GetLocaleInfoW for separators,
// names and designators, GetDateFormatW and GetTimeFormatW for whole dates
// and times, GetCalendarInfoW for the era of the Japanese calendar.

#include "platform/locale/DateTimeLocale.h"

namespace kp::platform {

class Win32DateTimeLocale final : public DateTimeLocale {
public:
    std::string DateSeparator() const override;
    std::string TimeSeparator() const override;
    std::string MonthName(int month, NameLength length) const override;
    std::string DayName(int dayOfWeek, NameLength length) const override;
    std::string AmDesignator() const override;
    std::string PmDesignator() const override;
    std::string ShortDate(const LocalTime& moment) const override;
    std::string LongDate(const LocalTime& moment) const override;
    std::string ShortTime(const LocalTime& moment) const override;
    std::string LongTime(const LocalTime& moment) const override;
    std::string CurrentEra() const override;
};

}  // namespace kp::platform
