#pragma once
// The Japanese locale as Wine 8 gives it: separators "/" and ":", short date
// yyyy/M/d, long date yyyy年M月d日 followed by the full day name, short time
// H:mm, long time H:mm:ss, designators 午前/午後, months 1月…12月 in both
// lengths, days 月…日 and 月曜日…日曜日, current era 令和.

#include "platform/locale/DateTimeLocale.h"

namespace kp::platform {

class SimDateTimeLocale final : public DateTimeLocale {
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
