#include <gtest/gtest.h>

#include "Automation/vb/convert.hpp"
#include "Automation/vb/dates.hpp"
#include "error_matchers.hpp"

using namespace lumora;
using namespace lumora::vb;

namespace {
Date at(const char* text) { return Variant(text).toDate(); }
std::string text(Date date) { return defaultDateText(date); }
const auto kMonday = FirstDayOfWeek::Monday;
}  // namespace

TEST(DateAddition, MonthArithmeticClampsToTheLastDay) {
    EXPECT_EQ(text(dateAdd("m", 1, at("2025-01-31"))), "2025-02-28");
    EXPECT_EQ(text(dateAdd("m", 1, at("2024-01-31"))), "2024-02-29");
    EXPECT_EQ(text(dateAdd("m", -1, at("2025-03-31 08:15:00"))), "2025-02-28 08:15:00");
    EXPECT_EQ(text(dateAdd("yyyy", 1, at("2024-02-29"))), "2025-02-28");
    EXPECT_EQ(text(dateAdd("q", 1, at("2025-11-30"))), "2026-02-28");
}

TEST(DateAddition, DayAndTimeIntervalsKeepTheTimeOfDay) {
    EXPECT_EQ(text(dateAdd("d", 1, at("2025-01-31 10:00:00"))), "2025-02-01 10:00:00");
    EXPECT_EQ(text(dateAdd("ww", 2, at("2025-01-31"))), "2025-02-14");
    EXPECT_EQ(text(dateAdd("n", -90, at("2025-01-01 00:30:00"))), "2024-12-31 23:00:00");
    EXPECT_EQ(text(dateAdd("d", 1.9, at("2025-01-01"))), "2025-01-02");  // the fraction is dropped
    // Before 1899-12-30 days count down while the time still counts up.
    EXPECT_EQ(formatDate(dateAdd("d", 1, at("1899-12-29 18:00:00")), "yyyy-MM-dd HH:mm"), "1899-12-30 18:00");
    EXPECT_EQ(text(dateAdd("h", -12, at("1899-12-30 06:00:00"))), "1899-12-29 18:00:00");
}

TEST(DateAddition, BadIntervalsAndResultsOutOfRangeAreError5) {
    EXPECT_AUTOMATION_ERROR(dateAdd("x", 1, at("2025-01-01")), 5);
    EXPECT_AUTOMATION_ERROR(dateAdd("yyyy", 1, at("9999-06-01")), 5);
    EXPECT_AUTOMATION_ERROR(dateAdd("d", -1, at("0100-01-01")), 5);
    EXPECT_AUTOMATION_ERROR(dateAdd("s", 1e18, at("2025-01-01")), 5);
}

TEST(DateDifference, CountsIntervalBoundariesCrossed) {
    EXPECT_EQ(dateDiff("yyyy", at("2024-12-31"), at("2025-01-01")), 1);
    EXPECT_EQ(dateDiff("m", at("2025-03-01"), at("2024-12-31")), -3);
    EXPECT_EQ(dateDiff("d", at("2025-01-01 23:00:00"), at("2025-01-02 01:00:00")), 1);
    EXPECT_EQ(dateDiff("h", at("2025-01-01 10:59:00"), at("2025-01-01 11:01:00")), 1);
    EXPECT_EQ(dateDiff("s", at("2025-01-01 10:00:00"), at("2025-01-01 09:58:30")), -90);
    EXPECT_EQ(dateDiff("h", at("1899-12-29 23:00:00"), at("1899-12-30 01:00:00")), 2);
}

TEST(DateDifference, WeeksAndCalendarWeeks) {
    EXPECT_EQ(dateDiff("w", at("2025-01-01"), at("2025-01-14")), 1);
    EXPECT_EQ(dateDiff("w", at("2025-01-15"), at("2025-01-01")), -2);
    // Saturday to Sunday crosses one Sunday, but no Monday.
    EXPECT_EQ(dateDiff("ww", at("2025-01-04"), at("2025-01-05")), 1);
    EXPECT_EQ(dateDiff("ww", at("2025-01-04"), at("2025-01-05"), kMonday), 0);
    EXPECT_EQ(dateDiff("ww", at("2025-01-05"), at("2025-01-12")), 1);  // date1 on a Sunday is not counted
    EXPECT_AUTOMATION_ERROR(dateDiff("ww", at("2025-01-04"), at("2025-01-05"), static_cast<FirstDayOfWeek>(8)), 5);
}

TEST(DateParts, ComponentsAndWeekdays) {
    const Date friday = at("2025-01-31 14:05:09");
    EXPECT_EQ(datePart("q", at("2025-08-15")), 3);
    EXPECT_EQ(datePart("y", at("2024-12-31")), 366);
    EXPECT_EQ(datePart("n", friday), 5);
    EXPECT_EQ(weekday(friday), 6);
    EXPECT_EQ(weekday(friday, kMonday), 5);
    EXPECT_EQ(weekday(at("1850-06-15")), 7);
}

TEST(DateParts, WeekOfYearUnderEachFirstWeekRule) {
    const auto fourDays = FirstWeekOfYear::FirstFourDays;
    EXPECT_EQ(datePart("ww", at("2024-12-31")), 53);  // January-1 weeks split at the year's end
    // Monday with four days is ISO 8601, including its weeks that cross the year's end.
    EXPECT_EQ(datePart("ww", at("2024-12-30"), kMonday, fourDays), 1);
    EXPECT_EQ(datePart("ww", at("2021-01-03"), kMonday, fourDays), 53);
    EXPECT_EQ(datePart("ww", at("2025-01-04"), FirstDayOfWeek::Sunday, FirstWeekOfYear::FirstFullWeek), 52);
    EXPECT_AUTOMATION_ERROR(datePart("ww", at("2025-01-04"), kMonday, static_cast<FirstWeekOfYear>(4)), 5);
}

TEST(DateConstruction, SerialsCarryOutOfRangeParts) {
    EXPECT_EQ(text(dateSerial(2025, 13, 1)), "2026-01-01");
    EXPECT_EQ(text(dateSerial(2025, 3, 0)), "2025-02-28");
    EXPECT_EQ(text(dateSerial(2025, 1, -1)), "2024-12-30");
    EXPECT_EQ(text(dateSerial(25, 1, 1)), "2025-01-01");
    EXPECT_EQ(text(dateSerial(99, 1, 1)), "1999-01-01");
    EXPECT_AUTOMATION_ERROR(dateSerial(10000, 1, 1), 5);
    EXPECT_AUTOMATION_ERROR(dateSerial(2025, 2147483647, 1), 5);
    EXPECT_EQ(text(timeSerial(12 - 6, -15, 0)), "05:45:00");
    EXPECT_EQ(text(timeSerial(25, 0, 0)), "1899-12-31 01:00:00");
}

TEST(DateConstruction, DateValueTimeValueAndIsDate) {
    EXPECT_EQ(text(dateValue(Variant("2025-01-31 14:05:00"))), "2025-01-31");
    EXPECT_EQ(text(timeValue(Variant("2025-01-31 14:05:00"))), "14:05:00");
    EXPECT_EQ(text(dateValue(Variant(at("1850-06-15 06:30:00")))), "1850-06-15");
    EXPECT_AUTOMATION_ERROR(dateValue(Variant("next tuesday")), 13);
    EXPECT_TRUE(isDate(Variant("31/01/2025 09:30")));
    EXPECT_FALSE(isDate(Variant("2025-02-30")));
    EXPECT_FALSE(isDate(Variant(45000)));
}
