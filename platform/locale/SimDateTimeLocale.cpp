#include "platform/locale/SimDateTimeLocale.h"

#include <array>
#include <string_view>

namespace kp::platform {

namespace {

constexpr std::array<std::string_view, 7> kDays = {"日", "月", "火", "水", "木", "金", "土"};

std::string TwoDigits(int value)
{
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

}  // namespace

std::string SimDateTimeLocale::DateSeparator() const
{
    return "/";
}

std::string SimDateTimeLocale::TimeSeparator() const
{
    return ":";
}

std::string SimDateTimeLocale::MonthName(int month, NameLength) const
{
    if (month < 1 || month > 12) return {};
    return std::to_string(month) + "月";
}

std::string SimDateTimeLocale::DayName(int dayOfWeek, NameLength length) const
{
    if (dayOfWeek < 0 || dayOfWeek > 6) return {};
    const std::string name(kDays[static_cast<size_t>(dayOfWeek)]);
    return length == NameLength::Full ? name + "曜日" : name;
}

std::string SimDateTimeLocale::AmDesignator() const
{
    return "午前";
}

std::string SimDateTimeLocale::PmDesignator() const
{
    return "午後";
}

std::string SimDateTimeLocale::ShortDate(const LocalTime& moment) const
{
    return std::to_string(moment.year) + "/" + std::to_string(moment.month) + "/" + std::to_string(moment.day);
}

std::string SimDateTimeLocale::LongDate(const LocalTime& moment) const
{
    return std::to_string(moment.year) + "年" + std::to_string(moment.month) + "月" +
           std::to_string(moment.day) + "日" +
           DayName(DayOfWeekOf(moment.year, moment.month, moment.day), NameLength::Full);
}

std::string SimDateTimeLocale::ShortTime(const LocalTime& moment) const
{
    return std::to_string(moment.hour) + ":" + TwoDigits(moment.minute);
}

std::string SimDateTimeLocale::LongTime(const LocalTime& moment) const
{
    return ShortTime(moment) + ":" + TwoDigits(moment.second);
}

std::string SimDateTimeLocale::CurrentEra() const
{
    return "令和";
}

}  // namespace kp::platform
