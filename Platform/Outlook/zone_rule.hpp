#pragma once
// The recurrence rule of a time zone's observance (RFC 5545 section 3.3.10), expanded one year
// at a time. Zones change their offset on "the last Sunday of October" and the like, so a year's
// changes follow from the year alone: nothing is walked from the rule's start, and a year costs
// one pass over its days whatever the rule says. What a zone never needs (BYYEARDAY, BYWEEKNO,
// calendars other than the Gregorian) is the caller's to refuse.

#include <cstdint>
#include <optional>
#include <vector>

#include "Automation/vb/convert.hpp"

namespace lumora::pim {

// Seconds since 1970-01-01 00:00 of a civil time read as UTC, in the proleptic Gregorian
// calendar, and the year such a count of seconds falls in.
int64_t civilSeconds(const vb::CivilTime& t);
int yearOfSeconds(int64_t seconds);

struct ZoneRule {
    enum class Frequency { Daily, Weekly, Monthly, Yearly };
    // A BYDAY entry: 0 Sunday to 6 Saturday, and its position (2 the second, -1 the last; 0 every).
    struct WeekDay {
        int day = 0;
        int position = 0;
    };

    Frequency frequency = Frequency::Yearly;
    int interval = 1;
    vb::CivilTime start;           // DTSTART, on the zone's wall clock
    std::optional<int64_t> until;  // civilSeconds on the same clock; a COUNT is turned into it
    std::vector<int> months;        // BYMONTH
    std::vector<int> monthDays;     // BYMONTHDAY, negative from the month's end
    std::vector<WeekDay> weekDays;  // BYDAY
    std::vector<int> setPositions;  // BYSETPOS, within a month or a year
    int weekStart = 1;              // WKST, Monday unless the rule says
    std::optional<int> hour, minute, second;  // a single BYHOUR, BYMINUTE, BYSECOND

    // The wall-clock times (civilSeconds) of the rule's occurrences in the year, in order, from
    // its start up to UNTIL.
    std::vector<int64_t> occurrencesIn(int year) const;

private:
    bool matchesDay(int64_t days, int month, int day, int monthLength, int dayOfYear, int yearLength) const;
};

}  // namespace lumora::pim
