#pragma once
// The user's locale's date and time settings: separators, month and day
// names, the morning and afternoon designators, the whole dates and times in
// the locale's own formats, and the current era of its Japanese calendar.
// All texts UTF-8; an answer the platform cannot give is empty.

#include "platform/clock/Clock.h"

#include <string>

namespace kp::platform {

enum class NameLength { Abbreviated, Full };

class DateTimeLocale {
public:
    virtual ~DateTimeLocale() = default;

    virtual std::string DateSeparator() const = 0;
    virtual std::string TimeSeparator() const = 0;
    // month 1..12.
    virtual std::string MonthName(int month, NameLength length) const = 0;
    // dayOfWeek 0..6, 0 = Sunday.
    virtual std::string DayName(int dayOfWeek, NameLength length) const = 0;
    virtual std::string AmDesignator() const = 0;
    virtual std::string PmDesignator() const = 0;

    // A moment in the locale's short and long date and time formats. The day
    // of the week comes from the date, not from moment.dayOfWeek.
    virtual std::string ShortDate(const LocalTime& moment) const = 0;
    virtual std::string LongDate(const LocalTime& moment) const = 0;
    virtual std::string ShortTime(const LocalTime& moment) const = 0;
    virtual std::string LongTime(const LocalTime& moment) const = 0;

    // The name of the newest era of the locale's Japanese calendar.
    virtual std::string CurrentEra() const = 0;
};

}  // namespace kp::platform
