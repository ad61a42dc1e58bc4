#include "dates.hpp"

#include <unicode/calendar.h>

#include <cmath>
#include <memory>

#include "../error.hpp"
#include "convert.hpp"
#include "text.hpp"

namespace lumora::vb {

namespace {

constexpr int64_t kSecondsPerDay = 86400;

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

void requireArgument(bool valid) {
    if (!valid) raise(RuntimeError::InvalidProcedureCall);
}

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
int64_t floorMod(int64_t a, int64_t b) { return a - floorDiv(a, b) * b; }

Interval parseInterval(std::string_view text) {
    static constexpr std::pair<std::string_view, Interval> kIntervals[] = {
        {"yyyy", Interval::Year}, {"q", Interval::Quarter},  {"m", Interval::Month},  {"y", Interval::DayOfYear},
        {"d", Interval::Day},     {"w", Interval::Weekday},  {"ww", Interval::Week},  {"h", Interval::Hour},
        {"n", Interval::Minute},  {"s", Interval::Second},
    };
    for (const auto& [name, interval] : kIntervals)
        if (asciiEqualsNoCase(name, text)) return interval;
    raise(RuntimeError::InvalidProcedureCall);
}

// Days since 1899-12-30 of a civil date; any year, so week arithmetic may look past the range.
int64_t dayNumber(int64_t year, int month, int day) {
    return static_cast<int64_t>(toDate(CivilTime{static_cast<int>(year), month, day}).days);
}
int64_t dayNumber(const CivilTime& t) { return dayNumber(t.year, t.month, t.day); }

const int64_t kFirstDay = dayNumber(100, 1, 1);
const int64_t kLastDay = dayNumber(9999, 12, 31);

// Script's dates run from the year 100 to 9999; a result outside is an invalid argument.
void requireInRange(int64_t day) { requireArgument(day >= kFirstDay && day <= kLastDay); }

CivilTime civilOfDay(int64_t day) { return toCivil(Date{static_cast<double>(day)}); }

// A date as one count of seconds since 1899-12-30 00:00, and back. The automation encoding
// stores days before 1899-12-30 as negative with the time as a positive fraction, so arithmetic
// goes through this linear count rather than through the encoded number.
int64_t secondsOf(Date date) {
    const CivilTime t = toCivil(date);
    return dayNumber(t) * kSecondsPerDay + t.hour * 3600 + t.minute * 60 + t.second;
}

Date dateOfSeconds(int64_t seconds) {
    const int64_t day = floorDiv(seconds, kSecondsPerDay);
    const int64_t rest = floorMod(seconds, kSecondsPerDay);
    requireInRange(day);
    CivilTime t = civilOfDay(day);
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    return toDate(t);
}

int daysInMonth(int64_t year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

Date addMonths(Date date, int64_t months) {
    CivilTime t = toCivil(date);
    const int64_t total = int64_t{t.year} * 12 + (t.month - 1) + months;
    const int64_t year = floorDiv(total, 12);
    requireArgument(year >= 100 && year <= 9999);
    t.year = static_cast<int>(year);
    t.month = static_cast<int>(floorMod(total, 12)) + 1;
    t.day = std::min(t.day, daysInMonth(t.year, t.month));
    return toDate(t);
}

// The week settings of the user's locale, for vbUseSystem.
struct LocaleWeek {
    int firstDay = 1;     // 1 = Sunday ... 7 = Saturday
    int minimalDays = 1;  // days of the new year that week 1 must hold
};

const LocaleWeek& localeWeek() {
    static const LocaleWeek week = [] {
        LocaleWeek w;
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(status));
        if (U_FAILURE(status) || !calendar) return w;
        const UCalendarDaysOfWeek first = calendar->getFirstDayOfWeek(status);
        if (U_SUCCESS(status)) w.firstDay = static_cast<int>(first);
        w.minimalDays = calendar->getMinimalDaysInFirstWeek();
        return w;
    }();
    return week;
}

int firstDayNumber(FirstDayOfWeek firstDay) {
    const auto value = static_cast<int32_t>(firstDay);
    requireArgument(value >= 0 && value <= 7);
    return value == 0 ? localeWeek().firstDay : value;
}

int minimalDaysOf(FirstWeekOfYear firstWeek) {
    switch (firstWeek) {
        case FirstWeekOfYear::System: return localeWeek().minimalDays;
        case FirstWeekOfYear::Jan1: return 1;
        case FirstWeekOfYear::FirstFourDays: return 4;
        case FirstWeekOfYear::FirstFullWeek: return 7;
    }
    raise(RuntimeError::InvalidProcedureCall);
}

// 0 = Sunday ... 6 = Saturday; day 0, 1899-12-30, was a Saturday.
int64_t dayOfWeek(int64_t day) { return floorMod(day + 6, 7); }

int64_t weekStartOnOrBefore(int64_t day, int firstDay) { return day - floorMod(dayOfWeek(day) - (firstDay - 1), 7); }

int64_t firstWeekStart(int64_t year, int firstDay, int minimalDays) {
    const int64_t jan1 = dayNumber(year, 1, 1);
    const int64_t start = weekStartOnOrBefore(jan1, firstDay);
    return 7 - (jan1 - start) >= minimalDays ? start : start + 7;
}

// The week of the year. With the week-1 rules that need several days of the new year (ISO
// weeks among them), the last days of December may open week 1 of the next year and the first
// days of January may close the previous year's last week. With the January-1 rule a week that
// spans the new year is the last week of the old year and week 1 of the new one.
int32_t weekOfYear(int64_t day, int64_t year, int firstDay, int minimalDays) {
    int64_t start = firstWeekStart(year, firstDay, minimalDays);
    if (day < start) start = firstWeekStart(year - 1, firstDay, minimalDays);
    else if (minimalDays > 1 && day >= firstWeekStart(year + 1, firstDay, minimalDays)) return 1;
    return static_cast<int32_t>((day - start) / 7 + 1);
}

int64_t wholeNumber(double number) {
    // Nine thousand years in seconds is below 3e11; anything larger can only leave the range.
    requireArgument(std::isfinite(number) && std::fabs(number) < 1e12);
    return static_cast<int64_t>(std::trunc(number));
}

}  // namespace

Date dateAdd(std::string_view interval, double number, Date date) {
    const Interval unit = parseInterval(interval);
    const int64_t n = wholeNumber(number);
    switch (unit) {
        case Interval::Year: return addMonths(date, n * 12);
        case Interval::Quarter: return addMonths(date, n * 3);
        case Interval::Month: return addMonths(date, n);
        case Interval::DayOfYear:
        case Interval::Day:
        case Interval::Weekday: return dateOfSeconds(secondsOf(date) + n * kSecondsPerDay);
        case Interval::Week: return dateOfSeconds(secondsOf(date) + n * 7 * kSecondsPerDay);
        case Interval::Hour: return dateOfSeconds(secondsOf(date) + n * 3600);
        case Interval::Minute: return dateOfSeconds(secondsOf(date) + n * 60);
        case Interval::Second: return dateOfSeconds(secondsOf(date) + n);
    }
    raise(RuntimeError::InvalidProcedureCall);
}

int64_t dateDiff(std::string_view interval, Date date1, Date date2, FirstDayOfWeek firstDay,
                 FirstWeekOfYear firstWeek) {
    const Interval unit = parseInterval(interval);
    const int first = firstDayNumber(firstDay);
    minimalDaysOf(firstWeek);  // validated as script does, though no interval here depends on it
    const CivilTime a = toCivil(date1), b = toCivil(date2);
    const int64_t dayA = dayNumber(a), dayB = dayNumber(b);
    switch (unit) {
        case Interval::Year: return int64_t{b.year} - a.year;
        case Interval::Quarter: return (int64_t{b.year} * 4 + (b.month - 1) / 3) - (int64_t{a.year} * 4 + (a.month - 1) / 3);
        case Interval::Month: return (int64_t{b.year} * 12 + b.month) - (int64_t{a.year} * 12 + a.month);
        case Interval::DayOfYear:
        case Interval::Day: return dayB - dayA;
        case Interval::Weekday: return (dayB - dayA) / 7;
        case Interval::Week: return (weekStartOnOrBefore(dayB, first) - weekStartOnOrBefore(dayA, first)) / 7;
        case Interval::Hour: return floorDiv(secondsOf(date2), 3600) - floorDiv(secondsOf(date1), 3600);
        case Interval::Minute: return floorDiv(secondsOf(date2), 60) - floorDiv(secondsOf(date1), 60);
        case Interval::Second: return secondsOf(date2) - secondsOf(date1);
    }
    raise(RuntimeError::InvalidProcedureCall);
}

int32_t datePart(std::string_view interval, Date date, FirstDayOfWeek firstDay, FirstWeekOfYear firstWeek) {
    const Interval unit = parseInterval(interval);
    const int first = firstDayNumber(firstDay);
    const int minimalDays = minimalDaysOf(firstWeek);
    const CivilTime t = toCivil(date);
    switch (unit) {
        case Interval::Year: return t.year;
        case Interval::Quarter: return (t.month - 1) / 3 + 1;
        case Interval::Month: return t.month;
        case Interval::DayOfYear: return static_cast<int32_t>(dayNumber(t) - dayNumber(t.year, 1, 1) + 1);
        case Interval::Day: return t.day;
        case Interval::Weekday: return weekday(date, firstDay);
        case Interval::Week: return weekOfYear(dayNumber(t), t.year, first, minimalDays);
        case Interval::Hour: return t.hour;
        case Interval::Minute: return t.minute;
        case Interval::Second: return t.second;
    }
    raise(RuntimeError::InvalidProcedureCall);
}

int32_t weekday(Date date, FirstDayOfWeek firstDay) {
    const int first = firstDayNumber(firstDay);
    return static_cast<int32_t>(floorMod(dayOfWeek(dayNumber(toCivil(date))) - (first - 1), 7) + 1);
}

Date dateSerial(int32_t year, int32_t month, int32_t day) {
    int64_t y = year;
    if (y >= 0 && y <= 29) y += 2000;
    else if (y >= 30 && y <= 99) y += 1900;
    const int64_t totalMonths = y * 12 + (int64_t{month} - 1);
    const int64_t firstYear = floorDiv(totalMonths, 12);
    // A day count of 32 bits spans less than six million years: a month further out than that
    // cannot come back into the range, and the civil arithmetic need not reach it.
    requireArgument(firstYear >= -6'000'000 && firstYear <= 6'000'000);
    const int64_t result = dayNumber(firstYear, static_cast<int>(floorMod(totalMonths, 12)) + 1, 1) + (int64_t{day} - 1);
    requireInRange(result);
    return Date{static_cast<double>(result)};
}

Date timeSerial(int32_t hour, int32_t minute, int32_t second) {
    return dateOfSeconds(int64_t{hour} * 3600 + int64_t{minute} * 60 + second);
}

Date dateValue(const Variant& value) {
    return Date{static_cast<double>(dayNumber(toCivil(value.toDate())))};
}

Date timeValue(const Variant& value) {
    const CivilTime t = toCivil(value.toDate());
    return toDate(CivilTime{1899, 12, 30, t.hour, t.minute, t.second});
}

bool isDate(const Variant& value) {
    if (value.type() == VarType::Date) return true;
    return value.isString() && parseDate(value.str()).has_value();
}

}  // namespace lumora::vb
