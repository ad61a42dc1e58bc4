// The rule forms time zones are written with, expanded one year at a time; the expected dates
// are those python-dateutil's rrule gives for the same rules.

#include <gtest/gtest.h>

#include "Automation/vb/convert.hpp"
#include "Platform/Outlook/zone_rule.hpp"

namespace lumora::pim::tests {
namespace {

using Frequency = ZoneRule::Frequency;

ZoneRule rule(Frequency frequency, vb::CivilTime start) {
    ZoneRule r;
    r.frequency = frequency;
    r.start = start;
    return r;
}

std::vector<std::string> datesIn(const ZoneRule& r, int year) {
    std::vector<std::string> dates;
    for (int64_t seconds : r.occurrencesIn(year)) {
        const double days = static_cast<double>(seconds) / 86400.0 + 25569.0;  // the OLE date of 1970-01-01
        dates.push_back(vb::formatDate(Date{days}, "yyyy-MM-dd HH:mm"));
    }
    return dates;
}

TEST(ZoneRuleTest, TheRuleFormsOfTimeZonesGiveTheirDaysOfTheYearAsked) {
    ZoneRule lastSunday = rule(Frequency::Yearly, {1970, 10, 25, 3, 0, 0});
    lastSunday.months = {10};
    lastSunday.weekDays = {{0, -1}};
    EXPECT_EQ(datesIn(lastSunday, 2026), std::vector<std::string>{"2026-10-25 03:00"});
    EXPECT_EQ(datesIn(lastSunday, 9999), std::vector<std::string>{"9999-10-31 03:00"});
    EXPECT_TRUE(datesIn(lastSunday, 1969).empty());

    ZoneRule onOrAfterTheEighth = rule(Frequency::Yearly, {1990, 3, 11, 2, 0, 0});
    onOrAfterTheEighth.months = {3};
    onOrAfterTheEighth.monthDays = {8, 9, 10, 11, 12, 13, 14};
    onOrAfterTheEighth.weekDays = {{0, 0}};
    EXPECT_EQ(datesIn(onOrAfterTheEighth, 2026), std::vector<std::string>{"2026-03-08 02:00"});

    ZoneRule lastBySetPosition = rule(Frequency::Yearly, {1601, 10, 28, 3, 0, 0});
    lastBySetPosition.months = {10};
    lastBySetPosition.weekDays = {{0, 0}};
    lastBySetPosition.setPositions = {-1};
    EXPECT_EQ(datesIn(lastBySetPosition, 2026), std::vector<std::string>{"2026-10-25 03:00"});

    ZoneRule lastSundayOfTheYear = rule(Frequency::Yearly, {2000, 1, 1, 0, 0, 0});
    lastSundayOfTheYear.weekDays = {{0, -1}};
    EXPECT_EQ(datesIn(lastSundayOfTheYear, 2026), std::vector<std::string>{"2026-12-27 00:00"});

    ZoneRule everyThirdYear = rule(Frequency::Yearly, {2020, 4, 1, 2, 0, 0});
    everyThirdYear.interval = 3;
    EXPECT_EQ(datesIn(everyThirdYear, 2026), std::vector<std::string>{"2026-04-01 02:00"});
    EXPECT_TRUE(datesIn(everyThirdYear, 2025).empty());

    ZoneRule leapDay = rule(Frequency::Yearly, {2000, 2, 29, 0, 0, 0});
    EXPECT_EQ(datesIn(leapDay, 2028), std::vector<std::string>{"2028-02-29 00:00"});
    EXPECT_TRUE(datesIn(leapDay, 2026).empty());
}

TEST(ZoneRuleTest, FinerFrequenciesCountTheirIntervalsFromTheStartAndStopAtUntil) {
    ZoneRule monthEnds = rule(Frequency::Monthly, {2020, 1, 31, 0, 0, 0});
    monthEnds.monthDays = {-1};
    const std::vector<std::string> ends = datesIn(monthEnds, 2026);
    ASSERT_EQ(ends.size(), 12u);
    EXPECT_EQ(ends[1], "2026-02-28 00:00");

    ZoneRule fortnightly = rule(Frequency::Weekly, {2026, 1, 2, 1, 0, 0});
    fortnightly.interval = 2;
    fortnightly.weekDays = {{1, 0}, {5, 0}};
    const std::vector<std::string> weeks = datesIn(fortnightly, 2026);
    EXPECT_EQ(std::vector<std::string>(weeks.begin(), weeks.begin() + 6),
              (std::vector<std::string>{"2026-01-02 01:00", "2026-01-12 01:00", "2026-01-16 01:00", "2026-01-26 01:00",
                                        "2026-01-30 01:00", "2026-02-09 01:00"}));

    ZoneRule everyHundredDays = rule(Frequency::Daily, {2000, 1, 1, 0, 0, 0});
    everyHundredDays.interval = 100;
    everyHundredDays.months = {7};
    EXPECT_EQ(datesIn(everyHundredDays, 2026), std::vector<std::string>{"2026-07-23 00:00"});

    ZoneRule ended = rule(Frequency::Yearly, {1987, 4, 5, 2, 0, 0});
    ended.months = {4};
    ended.weekDays = {{0, 1}};
    ended.until = civilSeconds({2006, 4, 2, 2, 0, 0});
    EXPECT_EQ(datesIn(ended, 2006), std::vector<std::string>{"2006-04-02 02:00"});
    EXPECT_TRUE(datesIn(ended, 2007).empty());
}

}  // namespace
}  // namespace lumora::pim::tests
