#pragma once
// Date and time formats: the pattern language, the date-time stamp the
// DateTime command inserts, the two lists of the settings dialog's page
// "日付け時刻" and the steps that store a choice or a typed pattern.
//
// Patterns are code-page-932 bytes scanned left to right; letters count
// without regard to case and a run of one letter is one element:
//   "…" '…'      the text between the quotes (an open quote runs to the end)
//   double-byte   the character itself (its trail byte is never a letter)
//   / :           the locale's date / time separator
//   y yy | yyy+   year modulo 100, two digits | four digits
//   m mm          month, mm two digits; minutes (as n) when the nearest
//                 preceding letter element is an h run
//   mmm | mmmm+   abbreviated | full month name
//   d dd | ddd dddd | ddddd | dddddd+
//                 day | abbreviated, full day name | short date | long date
//   h hh+         hour; 12-hour clock when an AM/PM element came earlier,
//                 or when the first unquoted "a" after the hour, before any
//                 further h, begins one
//   n nn+, s ss+  minute, second
//   AM/PM A/P     the pattern's own letters of the half of the day
//   AMPM          the locale's morning or afternoon designator
//   aaa | aaaa+   abbreviated | full day name ("a" and "aa" are copied)
//   c             short date, and unless exactly midnight a space and the
//                 long time
//   t | tt+       the locale's short | long time
//   e ee+         year of the Japanese era (ee two digits), g one-character
//                 era name, gg+ the full name; before 1868-01-01 e is the
//                 Gregorian year and g empty
//   anything else is copied.
// The output is at most 256 bytes of whole characters: the cut never splits
// a double-byte character, and a lead byte of the pattern without its trail
// byte is dropped (it would pair with whatever follows the stamp).

#include "platform/clock/Clock.h"
#include "platform/codec/Cp932Codec.h"
#include "platform/locale/DateTimeLocale.h"
#include "settings/RegIniFile.h"

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace kp::settings {

inline constexpr size_t kMaxDateTimeBytes = 256;

// Formats a moment with a pattern; locale texts reach code page 932 through
// the codec ('?' where it has no character).
std::string FormatDateTime(std::string_view pattern, const platform::LocalTime& moment,
                           const platform::DateTimeLocale& locale, const platform::Cp932Codec& codec);

// The stamp for the clock's current moment: the stored date pattern, one
// space and the stored time pattern, formatted together (code page 932).
// Throws the store's kp::Error for a value stored with another type.
std::string MakeDateTimeStamp(TRegIniFile& store, const platform::Clock& clock,
                              const platform::DateTimeLocale& locale, const platform::Cp932Codec& codec);

// An entry of the date or time list: its text (UTF-8) and, for the
// "標準" entries, the fixed pattern stored when it is chosen.
struct DateTimeEntry {
    std::string_view text;
    std::string_view fixedPattern = {};

    std::string_view Pattern() const { return fixedPattern.empty() ? text : fixedPattern; }
};

inline constexpr std::array<DateTimeEntry, 24> kDateEntries{{
    {"標準（短い形式）", "yy/mm/dd"},
    {"標準（長い形式）", "yyyy\"年\"mm\"月\"dd\"日\""},
    {"yyyy\"年\"mm\"月\"dd\"日\"(aaa)"},
    {"yyyy\"年\"mm\"月\"dd\"日\""},
    {"yy\"年\"mm\"月\"dd\"日\"(aaa)"},
    {"yy\"年\"mm\"月\"dd\"日\""},
    {"yy\"年\"m\"月\"d\"日\"(aaa)"},
    {"yy\"年\"m\"月\"d\"日\""},
    {"yyyy/mm/dd(aaa)"},
    {"yyyy/mm/dd"},
    {"yyyy/m/d(aaa)"},
    {"yyyy/m/d"},
    {"yy/mm/dd(aaa)"},
    {"yy/mm/dd"},
    {"yy/m/d(aaa)"},
    {"yy/m/d"},
    {"yyyy\".\"mm\".\"dd(aaa)"},
    {"yyyy\".\"mm\".\"dd"},
    {"yyyy\".\"m\".\"d(aaa)"},
    {"yyyy\".\"m\".\"d"},
    {"yy\".\"mm\".\"dd(aaa)"},
    {"yy\".\"m\".\"dd"},
    {"yy\".\"m\".\"d(aaa)"},
    {"yy\".\"m\".\"d"},
}};

inline constexpr std::array<DateTimeEntry, 13> kTimeEntries{{
    {"標準", "hh:nn:ss"},
    {"AM/PM hh:nn:ss"},
    {"AM/PM h:n:s"},
    {"AM/PM hh:nn"},
    {"AM/PM h:n"},
    {"AMPM hh:nn:ss"},
    {"AMPM hh:nn"},
    {"AMPM h:n:s"},
    {"AMPM h:n"},
    {"hh:nn:ss"},
    {"hh:nn"},
    {"h:n:s"},
    {"h:n"},
}};

// Called where a step refreshes the dialog's preview (which reads the
// patterns back from the store and makes a stamp); may be empty.
using PreviewRefresh = std::function<void()>;

// The user picks entry `position` of the date list: the entry's pattern is
// stored as Date, the preview refreshed, then the edit step runs with the
// entry's text. A position outside the list changes nothing.
void ChooseDateEntry(TRegIniFile& store, int position, const PreviewRefresh& refresh);
// The user types into the date box while `position` is selected (-1: none):
// unless a "標準" entry (0, 1) is selected, the text is stored as Date; the
// preview is refreshed; the position is stored as DateIndex.
void EditDateText(TRegIniFile& store, int position, std::string_view text, const PreviewRefresh& refresh);
// The same for the time list, Time and TimeIndex ("標準" is entry 0 alone).
void ChooseTimeEntry(TRegIniFile& store, int position, const PreviewRefresh& refresh);
void EditTimeText(TRegIniFile& store, int position, std::string_view text, const PreviewRefresh& refresh);

}  // namespace kp::settings
