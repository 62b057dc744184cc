#include "settings/DateTimeFormat.h"

#include "base/Cp932.h"
#include "settings/SettingsKeys.h"

namespace kp::settings {

namespace {

using platform::LocalTime;
using platform::NameLength;

// The eras of the Japanese calendar from their first day. The platform's own
// date formatting has no eras everywhere, so the table is ours.
struct Era {
    std::string_view name;
    std::string_view letter;
    int year, month, day;
};

constexpr Era kEras[] = {
    {"明治", "明", 1868, 1, 1},
    {"大正", "大", 1912, 7, 30},
    {"昭和", "昭", 1926, 12, 25},
    {"平成", "平", 1989, 1, 8},
    {"令和", "令", 2019, 5, 1},
};

// The era a date falls in; nullptr before the first.
const Era* EraOf(const LocalTime& moment)
{
    const auto key = [](int year, int month, int day) {
        return (static_cast<long long>(year) * 100 + month) * 100 + day;
    };
    const long long date = key(moment.year, moment.month, moment.day);
    const Era* found = nullptr;
    for (const Era& era : kEras)
        if (date >= key(era.year, era.month, era.day)) found = &era;
    return found;
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool IsQuote(char c)
{
    return c == '"' || c == '\'';
}

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view lowerPrefix)
{
    if (text.size() - at < lowerPrefix.size()) return false;
    for (size_t i = 0; i < lowerPrefix.size(); ++i)
        if (Lower(text[at + i]) != lowerPrefix[i]) return false;
    return true;
}

// The AM/PM elements, tried in this order at an "a".
enum class HalfDay { None, AmPm, AP, Designator };

HalfDay HalfDayAt(std::string_view pattern, size_t at, size_t& length)
{
    if (StartsWithNoCase(pattern, at, "am/pm")) {
        length = 5;
        return HalfDay::AmPm;
    }
    if (StartsWithNoCase(pattern, at, "a/p")) {
        length = 3;
        return HalfDay::AP;
    }
    if (StartsWithNoCase(pattern, at, "ampm")) {
        length = 4;
        return HalfDay::Designator;
    }
    length = 0;
    return HalfDay::None;
}

// Whether the first unquoted "a" from `at` on, before any further h, begins
// an AM/PM element. Quoted text and double-byte characters are skipped.
bool HalfDayAhead(std::string_view pattern, size_t at)
{
    while (at < pattern.size()) {
        const char c = pattern[at];
        if (IsQuote(c)) {
            const size_t close = pattern.find(c, at + 1);
            if (close == std::string_view::npos) return false;
            at = close + 1;
            continue;
        }
        if (cp932::CharLength(pattern, at) == 2) {
            at += 2;
            continue;
        }
        const char lower = Lower(c);
        if (lower == 'h') return false;
        if (lower == 'a') {
            size_t length = 0;
            return HalfDayAt(pattern, at, length) != HalfDay::None;
        }
        ++at;
    }
    return false;
}

std::string Number(long long value, size_t minimumDigits)
{
    const bool negative = value < 0;
    std::string digits = std::to_string(negative ? -value : value);
    if (digits.size() < minimumDigits) digits.insert(0, minimumDigits - digits.size(), '0');
    return negative ? "-" + digits : digits;
}

// The letter elements the minutes rule looks back to.
enum class Element { None, Hour, Other };

class Formatter {
public:
    Formatter(std::string_view pattern, const LocalTime& moment, const platform::DateTimeLocale& locale,
              const platform::Cp932Codec& codec)
        : pattern_(pattern), moment_(moment), locale_(locale), codec_(codec),
          dayOfWeek_(platform::DayOfWeekOf(moment.year, moment.month, moment.day)),
          afternoon_(moment.hour >= 12)
    {
    }

    std::string Run()
    {
        // Elements add at most a few dozen bytes each: scanning stops soon
        // after the limit is passed.
        while (at_ < pattern_.size() && out_.size() <= kMaxDateTimeBytes) Step();
        return CutToLimit();
    }

private:
    void Step()
    {
        const char c = pattern_[at_];
        if (IsQuote(c)) {
            const size_t close = pattern_.find(c, at_ + 1);
            const size_t end = close == std::string_view::npos ? pattern_.size() : close;
            CopyCharacters(pattern_.substr(at_ + 1, end - at_ - 1));
            at_ = close == std::string_view::npos ? pattern_.size() : close + 1;
            return;
        }
        if (cp932::IsLeadByte(static_cast<uint8_t>(c))) {
            CopyCharacters(pattern_.substr(at_, cp932::CharLength(pattern_, at_)));
            at_ += cp932::CharLength(pattern_, at_);
            return;
        }
        if (c == '/') {
            Text(locale_.DateSeparator());
            ++at_;
            return;
        }
        if (c == ':') {
            Text(locale_.TimeSeparator());
            ++at_;
            return;
        }
        const char letter = Lower(c);
        if (letter == 'a') {
            HalfDayElement();
            return;
        }
        const size_t run = RunLength(letter);
        if (!LetterElement(letter, run)) {
            out_ += c;
            ++at_;
            return;
        }
        at_ += run;
    }

    size_t RunLength(char letter) const
    {
        size_t end = at_;
        while (end < pattern_.size() && Lower(pattern_[end]) == letter) ++end;
        return end - at_;
    }

    // The element of a run of one letter; false when the letter is none.
    bool LetterElement(char letter, size_t run)
    {
        const Element previous = last_;
        last_ = Element::Other;
        switch (letter) {
        case 'y':
            if (run <= 2)
                out_ += Number(((moment_.year % 100) + 100) % 100, 2);
            else
                out_ += Number(moment_.year, 4);
            return true;
        case 'm':
            if (previous == Element::Hour)
                out_ += Number(moment_.minute, run == 1 ? 1 : 2);
            else if (run <= 2)
                out_ += Number(moment_.month, run);
            else
                Text(locale_.MonthName(moment_.month, run == 3 ? NameLength::Abbreviated : NameLength::Full));
            return true;
        case 'd':
            if (run <= 2)
                out_ += Number(moment_.day, run);
            else if (run <= 4)
                Text(locale_.DayName(dayOfWeek_, run == 3 ? NameLength::Abbreviated : NameLength::Full));
            else
                Text(run == 5 ? locale_.ShortDate(moment_) : locale_.LongDate(moment_));
            return true;
        case 'h': {
            int hour = moment_.hour;
            if (halfDaySeen_ || HalfDayAhead(pattern_, at_ + run)) {
                hour %= 12;
                if (hour == 0) hour = 12;
            }
            out_ += Number(hour, run == 1 ? 1 : 2);
            last_ = Element::Hour;
            return true;
        }
        case 'n':
            out_ += Number(moment_.minute, run == 1 ? 1 : 2);
            return true;
        case 's':
            out_ += Number(moment_.second, run == 1 ? 1 : 2);
            return true;
        case 'c':
            Text(locale_.ShortDate(moment_));
            if (moment_.hour != 0 || moment_.minute != 0 || moment_.second != 0) {
                out_ += ' ';
                Text(locale_.LongTime(moment_));
            }
            return true;
        case 't':
            Text(run == 1 ? locale_.ShortTime(moment_) : locale_.LongTime(moment_));
            return true;
        case 'e': {
            const Era* era = EraOf(moment_);
            const long long year = era ? moment_.year - era->year + 1 : moment_.year;
            out_ += Number(year, run == 1 ? 1 : 2);
            return true;
        }
        case 'g':
            if (const Era* era = EraOf(moment_)) Text(std::string(run == 1 ? era->letter : era->name));
            return true;
        default:
            last_ = previous;
            return false;
        }
    }

    // At an "a": AM/PM, A/P, AMPM, or a run of a's.
    void HalfDayElement()
    {
        size_t length = 0;
        switch (HalfDayAt(pattern_, at_, length)) {
        case HalfDay::AmPm:
            out_ += pattern_.substr(afternoon_ ? at_ + 3 : at_, 2);
            break;
        case HalfDay::AP:
            out_ += pattern_[afternoon_ ? at_ + 2 : at_];
            break;
        case HalfDay::Designator:
            Text(afternoon_ ? locale_.PmDesignator() : locale_.AmDesignator());
            break;
        case HalfDay::None: {
            const size_t run = RunLength('a');
            if (run <= 2) {
                // Copied letters, no element.
                out_ += pattern_.substr(at_, run);
            } else {
                Text(locale_.DayName(dayOfWeek_, run == 3 ? NameLength::Abbreviated : NameLength::Full));
                last_ = Element::Other;
            }
            at_ += run;
            return;
        }
        }
        halfDaySeen_ = true;
        last_ = Element::Other;
        at_ += length;
    }

    // Copies pattern bytes character by character; a lead byte without its
    // trail byte is dropped.
    void CopyCharacters(std::string_view bytes)
    {
        for (size_t i = 0; i < bytes.size();) {
            const size_t length = cp932::CharLength(bytes, i);
            if (!(length == 1 && cp932::IsLeadByte(static_cast<uint8_t>(bytes[i]))))
                out_.append(bytes.substr(i, length));
            i += length;
        }
    }

    // A locale text (UTF-8) in code page 932.
    void Text(const std::string& utf8) { out_ += codec_.FromUtf8(utf8); }

    // The longest prefix of whole characters within the limit.
    std::string CutToLimit()
    {
        size_t end = 0;
        while (end < out_.size()) {
            const size_t length = cp932::CharLength(out_, end);
            if (end + length > kMaxDateTimeBytes) break;
            end += length;
        }
        out_.resize(end);
        return std::move(out_);
    }

    std::string_view pattern_;
    const LocalTime& moment_;
    const platform::DateTimeLocale& locale_;
    const platform::Cp932Codec& codec_;
    const int dayOfWeek_;
    const bool afternoon_;
    size_t at_ = 0;
    std::string out_;
    Element last_ = Element::None;
    bool halfDaySeen_ = false;
};

// The choice step: the entry's pattern stored, the preview refreshed.
template <size_t N>
bool StoreChoice(TRegIniFile& store, const Setting& setting, const std::array<DateTimeEntry, N>& entries,
                 int position, const PreviewRefresh& refresh)
{
    if (position < 0 || static_cast<size_t>(position) >= N) return false;
    WriteString(store, setting, entries[static_cast<size_t>(position)].Pattern());
    if (refresh) refresh();
    return true;
}

// The edit step: the typed text stored unless a fixed entry is selected,
// the preview refreshed, the position stored.
void StoreEdit(TRegIniFile& store, const Setting& pattern, const Setting& index, bool fixed,
               int position, std::string_view text, const PreviewRefresh& refresh)
{
    if (!fixed) WriteString(store, pattern, text);
    if (refresh) refresh();
    WriteInteger(store, index, position);
}

}  // namespace

std::string FormatDateTime(std::string_view pattern, const LocalTime& moment,
                           const platform::DateTimeLocale& locale, const platform::Cp932Codec& codec)
{
    return Formatter(pattern, moment, locale, codec).Run();
}

std::string MakeDateTimeStamp(TRegIniFile& store, const platform::Clock& clock,
                              const platform::DateTimeLocale& locale, const platform::Cp932Codec& codec)
{
    const std::string date = ReadString(store, SetupDate);
    const std::string time = ReadString(store, SetupTime);
    return FormatDateTime(codec.FromUtf8(date + " " + time), clock.Now(), locale, codec);
}

void ChooseDateEntry(TRegIniFile& store, int position, const PreviewRefresh& refresh)
{
    if (StoreChoice(store, SetupDate, kDateEntries, position, refresh))
        EditDateText(store, position, kDateEntries[static_cast<size_t>(position)].text, refresh);
}

void EditDateText(TRegIniFile& store, int position, std::string_view text, const PreviewRefresh& refresh)
{
    StoreEdit(store, SetupDate, SetupDateIndex, position == 0 || position == 1, position, text, refresh);
}

void ChooseTimeEntry(TRegIniFile& store, int position, const PreviewRefresh& refresh)
{
    if (StoreChoice(store, SetupTime, kTimeEntries, position, refresh))
        EditTimeText(store, position, kTimeEntries[static_cast<size_t>(position)].text, refresh);
}

void EditTimeText(TRegIniFile& store, int position, std::string_view text, const PreviewRefresh& refresh)
{
    StoreEdit(store, SetupTime, SetupTimeIndex, position == 0, position, text, refresh);
}

}  // namespace kp::settings
