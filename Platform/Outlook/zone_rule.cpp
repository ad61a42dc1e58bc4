#include "zone_rule.hpp"

#include <algorithm>

namespace lumora::pim {

namespace {

constexpr int64_t kSecondsPerDay = 86400;

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0); }
int64_t floorMod(int64_t a, int64_t b) { return a - floorDiv(a, b) * b; }

// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's public-domain
// algorithms).
int64_t daysFromCivil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = floorDiv(year, 400);
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    return era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear - 719468;
}

int yearOfDays(int64_t days) {
    days += 719468;
    const int64_t era = floorDiv(days, 146097);
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    return static_cast<int>(yearOfEra + era * 400 + (shiftedMonth >= 10 ? 1 : 0));
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// 0 Sunday to 6 Saturday; 1970-01-01 was a Thursday.
int weekdayOf(int64_t days) { return static_cast<int>(floorMod(days + 4, 7)); }

bool contains(const std::vector<int>& values, int value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

// Whether the day at `index` (from 0) of a run of `length` days is the n-th of its weekday in
// the run, counting from the start for a positive position and from the end for a negative one.
bool atPosition(int position, int index, int length) {
    return position > 0 ? index / 7 + 1 == position : (length - 1 - index) / 7 + 1 == -position;
}

std::vector<int64_t> atSetPositions(const std::vector<int64_t>& set, const std::vector<int>& positions) {
    std::vector<int64_t> chosen;
    const auto size = static_cast<int64_t>(set.size());
    for (int position : positions) {
        const int64_t index = position > 0 ? position - 1 : size + position;
        if (position != 0 && index >= 0 && index < size) chosen.push_back(set[static_cast<size_t>(index)]);
    }
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    return chosen;
}

}  // namespace

int64_t civilSeconds(const vb::CivilTime& t) {
    return daysFromCivil(t.year, t.month, t.day) * kSecondsPerDay + int64_t{t.hour} * 3600 + int64_t{t.minute} * 60 +
           t.second;
}

int yearOfSeconds(int64_t seconds) { return yearOfDays(floorDiv(seconds, kSecondsPerDay)); }

bool ZoneRule::matchesDay(int64_t days, int month, int day, int monthLength, int dayOfYear, int yearLength) const {
    const int weekday = weekdayOf(days);
    if (!monthDays.empty() && std::none_of(monthDays.begin(), monthDays.end(), [&](int wanted) {
            return wanted > 0 ? day == wanted : day == monthLength + wanted + 1;
        }))
        return false;
    // A position counts within the month for a monthly rule or one that names its months,
    // otherwise within the year.
    const bool withinMonth = frequency == Frequency::Monthly || !months.empty();
    if (!weekDays.empty() && std::none_of(weekDays.begin(), weekDays.end(), [&](const WeekDay& wanted) {
            if (wanted.day != weekday) return false;
            if (wanted.position == 0) return true;
            return withinMonth ? atPosition(wanted.position, day - 1, monthLength)
                               : atPosition(wanted.position, dayOfYear, yearLength);
        }))
        return false;
    const int64_t startDays = daysFromCivil(start.year, start.month, start.day);
    if (monthDays.empty() && weekDays.empty()) {
        // Without day parts a rule recurs on its start's day of the year, month or week.
        if (frequency == Frequency::Yearly && (day != start.day || (months.empty() && month != start.month)))
            return false;
        if (frequency == Frequency::Monthly && day != start.day) return false;
        if (frequency == Frequency::Weekly && weekday != weekdayOf(startDays)) return false;
    }
    if (frequency == Frequency::Weekly) {
        const auto weekOf = [&](int64_t d) { return floorDiv(d + 4 - weekStart, 7); };
        if (floorMod(weekOf(days) - weekOf(startDays), interval) != 0) return false;
    }
    if (frequency == Frequency::Daily && floorMod(days - startDays, interval) != 0) return false;
    return true;
}

std::vector<int64_t> ZoneRule::occurrencesIn(int year) const {
    std::vector<int64_t> occurrences;
    if (year < start.year || (until && year > yearOfSeconds(*until))) return occurrences;
    if (frequency == Frequency::Yearly && (year - start.year) % interval != 0) return occurrences;
    const int yearLength = isLeapYear(year) ? 366 : 365;
    const int64_t firstOfYear = daysFromCivil(year, 1, 1);
    std::vector<int64_t> yearSet;
    for (int month = 1; month <= 12; ++month) {
        if (!months.empty() && !contains(months, month)) continue;
        if (frequency == Frequency::Monthly && floorMod((year - start.year) * 12 + month - start.month, interval) != 0)
            continue;
        const int monthLength = daysInMonth(year, month);
        const int64_t firstOfMonth = daysFromCivil(year, month, 1);
        std::vector<int64_t> monthSet;
        for (int day = 1; day <= monthLength; ++day) {
            const int64_t days = firstOfMonth + day - 1;
            if (matchesDay(days, month, day, monthLength, static_cast<int>(days - firstOfYear), yearLength))
                monthSet.push_back(days);
        }
        if (frequency == Frequency::Monthly && !setPositions.empty()) monthSet = atSetPositions(monthSet, setPositions);
        yearSet.insert(yearSet.end(), monthSet.begin(), monthSet.end());
    }
    if (frequency == Frequency::Yearly && !setPositions.empty()) yearSet = atSetPositions(yearSet, setPositions);

    const int64_t timeOfDay =
        int64_t{hour.value_or(start.hour)} * 3600 + int64_t{minute.value_or(start.minute)} * 60 + second.value_or(start.second);
    const int64_t first = civilSeconds(start);
    for (int64_t days : yearSet) {
        const int64_t when = days * kSecondsPerDay + timeOfDay;
        if (when >= first && (!until || when <= *until)) occurrences.push_back(when);
    }
    return occurrences;
}

}  // namespace lumora::pim
