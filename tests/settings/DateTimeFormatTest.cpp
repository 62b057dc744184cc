// Date and time patterns, the stamp and the list steps, against the simulated
// Japanese locale (Wine's values) and the iconv codec.

#include "settings/DateTimeFormat.h"

#include "base/Error.h"
#include "platform/clock/SimClock.h"
#include "platform/locale/SimDateTimeLocale.h"
#include "platform/registry/SimRegistry.h"
#include "settings/SettingsKeys.h"
#include "tests/TestPlatform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kp::settings {
namespace {

using platform::LocalTime;

// 14 March 1999 was a Sunday; dayOfWeek is left wrong on purpose in some
// moments: day names come from the date.
constexpr LocalTime kEvening{1999, 3, 14, 0, 21, 5, 9, 0};

constexpr LocalTime At(int hour, int minute, int second)
{
    return {1999, 3, 14, 0, hour, minute, second, 0};
}

constexpr LocalTime On(int year, int month, int day)
{
    return {year, month, day, 3, 10, 0, 0, 0};
}

std::string Format(std::string_view patternUtf8, const LocalTime& moment = kEvening)
{
    static const platform::SimDateTimeLocale locale;
    const platform::Cp932Codec& codec = test::TestCodec();
    return codec.ToUtf8(FormatDateTime(codec.FromUtf8(patternUtf8), moment, locale, codec));
}

struct FormatCase {
    const char* pattern;
    LocalTime moment;
    const char* expected;
};

void ExpectAll(const std::vector<FormatCase>& cases)
{
    for (const FormatCase& c : cases) EXPECT_EQ(Format(c.pattern, c.moment), c.expected) << c.pattern;
}

TEST(DateTimeFormat, ExamplesOfTheListsAndTheClock)
{
    ExpectAll({
        {"yy/mm/dd hh:nn:ss", kEvening, "99/03/14 21:05:09"},
        {"yyyy\"年\"mm\"月\"dd\"日\"(aaa) hh:nn:ss", kEvening, "1999年03月14日(日) 21:05:09"},
        {"AM/PM h:n:s", At(0, 7, 3), "AM 12:7:3"},
        {"AM/PM h:n:s", At(12, 30, 0), "PM 12:30:0"},
        {"AM/PM h:n:s", At(13, 5, 9), "PM 1:5:9"},
        {"AM/PM hh:nn", At(11, 59, 0), "AM 11:59"},
        {"hh:nn", At(13, 5, 0), "13:05"},
        {"hh:mm", At(13, 5, 0), "13:05"},
        {"yy\".\"m\".\"dd", kEvening, "99.3.14"},
        {"yyyy\".\"mm\".\"dd(aaa)", kEvening, "1999.03.14(日)"},
        {"yy/m/d", On(2005, 1, 2), "05/1/2"},
        {"AMPM hh:nn:ss", kEvening, "午後 09:05:09"},
        {"AMPM h:n", At(0, 0, 0), "午前 12:0"},
    });
}

TEST(DateTimeFormat, LettersRunsAndCase)
{
    ExpectAll({
        {"YY/MM/DD HH:NN:SS", kEvening, "99/03/14 21:05:09"},
        {"y|yy|yyy|yyyyy", kEvening, "99|99|1999|1999"},
        {"y|yyyy", On(2007, 1, 1), "07|2007"},
        {"m|mm|mmm|mmmm|mmmmm", kEvening, "3|03|3月|3月|3月"},
        {"d|dd|ddd|dddd", On(1999, 3, 8), "8|08|月|月曜日"},
        {"ddddd|dddddd|ddddddd", kEvening, "1999/3/14|1999年3月14日日曜日|1999年3月14日日曜日"},
        {"aaa|aaaa|aaaaa|a|aa|A", kEvening, "日|日曜日|日曜日|a|aa|A"},
        {"h|hh|hhh", At(7, 0, 0), "7|07|07"},
        {"n|nn|nnn s|ss|sss", At(7, 4, 3), "4|04|04 3|03|03"},
        {"t|tt|ttt", kEvening, "21:05|21:05:09|21:05:09"},
        {"c", kEvening, "1999/3/14 21:05:09"},
        {"c", At(0, 0, 0), "1999/3/14"},
        {"c", At(0, 0, 1), "1999/3/14 0:00:01"},
        {"x(b).q,w-z", kEvening, "x(b).q,w-z"},
        {"", kEvening, ""},
    });
}

TEST(DateTimeFormat, MonthOrMinutesAfterAnHour)
{
    ExpectAll({
        {"h:m", kEvening, "21:5"},
        {"h:mm:ss", kEvening, "21:05:09"},
        {"h\"時\"m\"分\"", kEvening, "21時5分"},   // quotes are no letter elements
        {"hxm", kEvening, "21x5"},                  // nor are copied letters
        {"h d m", kEvening, "21 14 3"},             // the day stands between
        {"h:m:m", kEvening, "21:5:3"},              // the nearest element is the minute
        {"m/d h", kEvening, "3/14 21"},
        {"AM/PM h:mm", kEvening, "PM 9:05"},
    });
}

TEST(DateTimeFormat, TwelveHourClockAndHalfDay)
{
    ExpectAll({
        {"am/pm|A/P|a/p|Am/pM", At(9, 0, 0), "am|A|a|Am"},
        {"am/pm|A/P|a/p|Am/pM", At(12, 0, 0), "pm|P|p|pM"},
        {"AMPM|ampm", At(11, 59, 59), "午前|午前"},
        {"hh AM/PM", At(21, 0, 0), "09 PM"},          // the look ahead
        {"hh A/P", At(12, 0, 0), "12 P"},
        {"h AMPM", At(0, 0, 0), "12 午前"},
        {"h 'AM/PM' am/pm", At(15, 0, 0), "3 AM/PM pm"},  // quoted text is skipped
        {"h \"a", At(15, 0, 0), "15 a"},                  // an open quote ends the look
        {"h a AM/PM", At(15, 0, 0), "15 a PM"},           // the first a decides
        {"h h AM/PM", At(15, 0, 0), "15 3 PM"},           // a further h ends the look
        {"h aaa", At(15, 0, 0), "15 日"},                  // day names are no half day
        {"AM/PM h h", At(15, 0, 0), "PM 3 3"},            // once seen, for every hour after
        {"h AMP", At(15, 7, 0), "15 A7P"},                // no element at the A: copied, M is minutes
        {"h ア AM/PM", At(15, 0, 0), "3 ア PM"},           // ア is 83 41: its trail is no "A"
        {"h ド AM/PM", At(15, 0, 0), "3 ド PM"},           // ド is 83 68: its trail is no "h"
    });
}

TEST(DateTimeFormat, QuotesAndDoubleByteCharacters)
{
    ExpectAll({
        {"yyyy年m月d日", kEvening, "1999年3月14日"},   // 年 is 94 4E: its trail is no "n"
        {"\"yy\"yy'dd'dd", kEvening, "yy99dd14"},
        {"'say \"hi\"' yy", kEvening, "say \"hi\" 99"},
        {"yy 'open", kEvening, "99 open"},
        {"yy \"", kEvening, "99 "},
        {"表示 d", kEvening, "表示 14"},               // 表 is 95 5C
        {"ｶﾀｶﾅ d", kEvening, "ｶﾀｶﾅ 14"},
    });
}

TEST(DateTimeFormat, EraOnEachSideOfItsFirstDay)
{
    ExpectAll({
        {"gg|g|e|ee", On(1867, 12, 31), "||1867|1867"},
        {"gg|g|e|ee", On(1868, 1, 1), "明治|明|1|01"},
        {"gg|g|e|ee", On(1912, 7, 29), "明治|明|45|45"},
        {"gg|g|e|ee", On(1912, 7, 30), "大正|大|1|01"},
        {"gg|g|e|ee", On(1926, 12, 24), "大正|大|15|15"},
        {"gg|g|e|ee", On(1926, 12, 25), "昭和|昭|1|01"},
        {"gg|g|e|ee", On(1989, 1, 7), "昭和|昭|64|64"},
        {"gg|g|e|ee", On(1989, 1, 8), "平成|平|1|01"},
        {"gg|g|e|ee", On(2019, 4, 30), "平成|平|31|31"},
        {"gg|g|e|ee", On(2019, 5, 1), "令和|令|1|01"},
        {"ggge\"年\"", On(2026, 12, 7), "令和8年"},
    });
}

// Raw bytes in and out, for the limit.
std::string FormatBytes(const std::string& pattern, const LocalTime& moment = kEvening)
{
    static const platform::SimDateTimeLocale locale;
    return FormatDateTime(pattern, moment, locale, test::TestCodec());
}

TEST(DateTimeFormat, OutputStopsAt256BytesOfWholeCharacters)
{
    const std::string nen = "\x94\x4E";  // 年
    const std::string x254(254, 'x');
    const std::string x255(255, 'x');
    EXPECT_EQ(FormatBytes(std::string(300, 'x')), std::string(256, 'x'));
    EXPECT_EQ(FormatBytes("\"" + std::string(300, 'x')), std::string(256, 'x'));
    EXPECT_EQ(FormatBytes(x254 + nen + "x"), x254 + nen);
    // Byte 256 would be the first of 年: the character is left out whole.
    EXPECT_EQ(FormatBytes(x255 + nen), x255);
    EXPECT_EQ(FormatBytes(x255 + "\"" + nen + "\""), x255);
    EXPECT_EQ(FormatBytes(x255 + "ddd"), x255);  // 日
    EXPECT_EQ(FormatBytes(x254 + "yy"), x254 + "99");
    EXPECT_EQ(FormatBytes(x255 + "yy"), x255 + "9");
    // Elements are cut like the rest: 1 + 36 * 7 bytes of "日曜日|", then 日.
    std::string days = "x";
    for (int i = 0; i < 40; ++i) days += "dddd|";
    const std::string cut = FormatBytes(days);
    EXPECT_EQ(cut.size(), 255u);
    EXPECT_EQ(cut.substr(cut.size() - 3), "|\x93\xFA");
    std::string stamps;
    for (int i = 0; i < 20; ++i) stamps += "c|";
    EXPECT_EQ(FormatBytes(stamps).size(), 256u);
}

TEST(DateTimeFormat, LeadBytesWithoutTheirTrailAreDropped)
{
    EXPECT_EQ(FormatBytes("yy\x81"), "99");
    EXPECT_EQ(FormatBytes("\"yy\x81"), "yy");
    EXPECT_EQ(FormatBytes("\x81\"A\""), "A");       // would make 81 41, a character of its own
    EXPECT_EQ(FormatBytes("\"\x81\"A"), "A");
    EXPECT_EQ(FormatBytes("\x81 d"), " 14");
    EXPECT_EQ(FormatBytes("\x80\xA0\xFD d"), "\x80\xA0\xFD 14");  // single bytes stay
    EXPECT_EQ(FormatBytes("\x85\x40"), "\x85\x40");               // a pair, decodable or not
    EXPECT_EQ(FormatBytes("\x81\x7F"), "\x7F");                    // 7F is no trail byte
}

// A locale of another country, with texts code page 932 lacks.
class OtherLocale final : public platform::DateTimeLocale {
public:
    std::string DateSeparator() const override { return "-"; }
    std::string TimeSeparator() const override { return "."; }
    std::string MonthName(int, platform::NameLength length) const override
    {
        return length == platform::NameLength::Full ? "März" : "Mär";
    }
    std::string DayName(int, platform::NameLength length) const override
    {
        return length == platform::NameLength::Full ? "Sonntag" : "So";
    }
    std::string AmDesignator() const override { return "vorm."; }
    std::string PmDesignator() const override { return "€"; }
    std::string ShortDate(const LocalTime&) const override { return "14.3.99"; }
    std::string LongDate(const LocalTime&) const override { return "Sonntag, 14. März 1999"; }
    std::string ShortTime(const LocalTime&) const override { return "21.05"; }
    std::string LongTime(const LocalTime&) const override { return "21.05.09"; }
    std::string CurrentEra() const override { return ""; }
};

TEST(DateTimeFormat, TextsComeFromTheLocaleThroughTheCodec)
{
    const OtherLocale locale;
    const platform::Cp932Codec& codec = test::TestCodec();
    const auto format = [&](std::string_view pattern, const LocalTime& moment) {
        return FormatDateTime(pattern, moment, locale, codec);
    };
    EXPECT_EQ(format("yy/mm/dd hh:nn:ss", kEvening), "99-03-14 21.05.09");
    EXPECT_EQ(format("mmmm|mmm|dddd|ddd|aaa", kEvening), "M?rz|M?r|Sonntag|So|So");
    EXPECT_EQ(format("AMPM|AMPM", kEvening), "?|?");
    EXPECT_EQ(format("AMPM", At(1, 0, 0)), "vorm.");
    EXPECT_EQ(format("c|t|tt|ddddd|dddddd", kEvening),
              "14.3.99 21.05.09|21.05|21.05.09|14.3.99|Sonntag, 14. M?rz 1999");
    // The eras are ours, whatever the locale says.
    EXPECT_EQ(format("gge", kEvening), "\x95\xBD\x90\xAC" "11");
}

// ---- The stamp and the steps on a settings store ----

class DateTimeStamp : public ::testing::Test {
protected:
    std::string Stamp()
    {
        return test::TestCodec().ToUtf8(MakeDateTimeStamp(store, clock, locale, test::TestCodec()));
    }
    std::string Date() { return store.ReadString("Setup", "Date", "(missing)"); }
    std::string Time() { return store.ReadString("Setup", "Time", "(missing)"); }
    int DateIndex() { return store.ReadInteger("Setup", "DateIndex", -99); }
    int TimeIndex() { return store.ReadInteger("Setup", "TimeIndex", -99); }

    // What each preview refresh saw in the store.
    std::vector<std::string> previews;
    PreviewRefresh Preview()
    {
        return [this] {
            previews.push_back(Stamp() + " @" + std::to_string(DateIndex()) + "," + std::to_string(TimeIndex()));
        };
    }

    platform::SimRegistry registry;
    TRegIniFile store{registry, std::string(kProgramKey)};
    platform::SimClock clock;
    platform::SimDateTimeLocale locale;
};

TEST_F(DateTimeStamp, JoinsTheStoredPatternsWithOneSpace)
{
    EXPECT_EQ(Stamp(), "99/03/14 21:05:09");
    store.WriteString("SetUp", "Date", "");
    EXPECT_EQ(Stamp(), " 21:05:09");
    store.WriteString("SetUp", "Time", "");
    EXPECT_EQ(Stamp(), " ");
    store.WriteString("Setup", "Date", "yyyy\"年\"mm\"月\"dd\"日\"(aaa)");
    store.WriteString("Setup", "Time", "AM/PM h:n:s");
    clock.Set({2024, 2, 29, 0, 0, 7, 3, 0});
    EXPECT_EQ(Stamp(), "2024年02月29日(木) AM 12:7:3");
    // A stored character outside code page 932 reaches the pattern as '?'.
    store.WriteString("Setup", "Date", "€yy");
    EXPECT_EQ(Stamp(), "?24 AM 12:7:3");
}

TEST_F(DateTimeStamp, ValueOfAnotherTypeGivesTheStoresError)
{
    platform::RegKey key;
    ASSERT_EQ(registry.CreateKey(std::string(kProgramKey) + "\\Setup", key), platform::RegStatus::Ok);
    ASSERT_EQ(registry.SetRaw(key, "Time", platform::RegType::Dword, std::string("\1\0\0\0", 4)),
              platform::RegStatus::Ok);
    EXPECT_THROW(Stamp(), Error);
}

TEST_F(DateTimeStamp, ChoosingADateEntryStoresItsPatternThenItsPosition)
{
    store.WriteInteger("Setup", "DateIndex", 7);
    ChooseDateEntry(store, 2, Preview());
    EXPECT_EQ(Date(), "yyyy\"年\"mm\"月\"dd\"日\"(aaa)");
    EXPECT_EQ(DateIndex(), 2);
    // Choice step, then edit step: two refreshes, the position stored last.
    EXPECT_EQ(previews, (std::vector<std::string>{"1999年03月14日(日) 21:05:09 @7,-99",
                                                   "1999年03月14日(日) 21:05:09 @7,-99"}));
}

TEST_F(DateTimeStamp, EachListEntryGivesItsStamp)
{
    struct Case { int date, time; const char* stamp; };
    const Case cases[] = {
        {0, 0, "99/03/14 21:05:09"},         {1, 9, "1999年03月14日 21:05:09"},
        {3, 1, "1999年03月14日 PM 09:05:09"}, {6, 2, "99年3月14日(日) PM 9:5:9"},
        {11, 5, "1999/3/14 午後 09:05:09"},   {16, 8, "1999.03.14(日) 午後 9:5"},
        {21, 10, "99.3.14 21:05"},             {23, 12, "99.3.14 21:5"},
    };
    for (const Case& c : cases) {
        ChooseDateEntry(store, c.date, {});
        ChooseTimeEntry(store, c.time, {});
        EXPECT_EQ(Stamp(), c.stamp) << c.date << "," << c.time;
        EXPECT_EQ(DateIndex(), c.date);
        EXPECT_EQ(TimeIndex(), c.time);
    }
}

TEST_F(DateTimeStamp, TypingUnderAFixedEntryStoresOnlyThePosition)
{
    ChooseDateEntry(store, 1, {});
    EditDateText(store, 1, "yyyy", Preview());
    EXPECT_EQ(Date(), "yyyy\"年\"mm\"月\"dd\"日\"");
    EditDateText(store, 0, "yyyy", Preview());
    EXPECT_EQ(Date(), "yyyy\"年\"mm\"月\"dd\"日\"");
    EXPECT_EQ(DateIndex(), 0);
    ChooseDateEntry(store, 0, {});
    EditTimeText(store, 0, "h", Preview());
    EXPECT_EQ(Time(), "(missing)");
    EXPECT_EQ(previews, (std::vector<std::string>{"1999年03月14日 21:05:09 @1,-99",
                                                   "1999年03月14日 21:05:09 @1,-99",
                                                   "99/03/14 21:05:09 @0,-99"}));
    EXPECT_EQ(TimeIndex(), 0);
}

TEST_F(DateTimeStamp, TypingElsewhereStoresTheTextThenThePosition)
{
    ChooseTimeEntry(store, 3, {});
    EditTimeText(store, 3, "h\"時\"", Preview());
    EditTimeText(store, -1, "", Preview());
    EditDateText(store, 5, "yyyy", Preview());
    EditDateText(store, -1, "m", Preview());
    EXPECT_EQ(previews, (std::vector<std::string>{"99/03/14 21時 @-99,3", "99/03/14  @-99,3",
                                                   "1999  @-99,-1", "3  @5,-1"}));
    EXPECT_EQ(Date(), "m");
    EXPECT_EQ(DateIndex(), -1);
    EXPECT_EQ(TimeIndex(), -1);
}

TEST_F(DateTimeStamp, APositionOutsideTheListChoosesNothing)
{
    for (const int position : {-1, 24, 1000}) ChooseDateEntry(store, position, Preview());
    for (const int position : {-1, 13}) ChooseTimeEntry(store, position, Preview());
    EXPECT_TRUE(previews.empty());
    EXPECT_EQ(Date(), "(missing)");
    EXPECT_EQ(Time(), "(missing)");
    EXPECT_EQ(DateIndex(), -99);
}

}  // namespace
}  // namespace kp::settings
