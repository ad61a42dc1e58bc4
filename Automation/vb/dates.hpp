#pragma once
// The script date functions over automation dates (civil local time, no zone). Intervals are
// script's texts, in any case: "yyyy" year, "q" quarter, "m" month, "y" day of year, "d" day,
// "w" weekday, "ww" week, "h" hour, "n" minute, "s" second. An unknown interval, an
// out-of-range week setting or a result outside the years 100 to 9999 raises Error 5.

#include <cstdint>
#include <string_view>

#include "../variant.hpp"

namespace lumora::vb {

// vbUseSystem (0) takes the setting from the user's locale.
enum class FirstDayOfWeek : int32_t { System = 0, Sunday = 1, Monday, Tuesday, Wednesday, Thursday, Friday, Saturday };
// vbFirstJan1, vbFirstFourDays (with Monday: ISO 8601 weeks), vbFirstFullWeek.
enum class FirstWeekOfYear : int32_t { System = 0, Jan1 = 1, FirstFourDays = 2, FirstFullWeek = 3 };

// DateAdd: month-based intervals keep the day, clamped to the last day of the target month
// (31 January + 1 month = 28 February). The fraction of `number` is dropped.
Date dateAdd(std::string_view interval, double number, Date date);

// DateDiff: the number of interval boundaries crossed from date1 to date2 (negative when date2
// is earlier): "yyyy" counts year changes, so 31 December to 1 January is 1; "w" counts whole
// weeks; "ww" counts the first days of the week after date1 up to and including date2.
int64_t dateDiff(std::string_view interval, Date date1, Date date2, FirstDayOfWeek firstDay = FirstDayOfWeek::Sunday,
                 FirstWeekOfYear firstWeek = FirstWeekOfYear::Jan1);

// DatePart: the interval's component of the date ("w" is Weekday, "ww" the week of the year).
int32_t datePart(std::string_view interval, Date date, FirstDayOfWeek firstDay = FirstDayOfWeek::Sunday,
                 FirstWeekOfYear firstWeek = FirstWeekOfYear::Jan1);

// Weekday: 1 for firstDay up to 7 (with Sunday first: Sunday 1, Saturday 7).
int32_t weekday(Date date, FirstDayOfWeek firstDay = FirstDayOfWeek::Sunday);

// DateSerial: months and days outside their range carry into the next unit (month 13 is January
// of the next year, day 0 the last day of the previous month); years 0-29 mean 2000-2029 and
// 30-99 mean 1930-1999.
Date dateSerial(int32_t year, int32_t month, int32_t day);
// TimeSerial: hours, minutes and seconds carry the same way; the result is a time on day 0
// unless it passes midnight.
Date timeSerial(int32_t hour, int32_t minute, int32_t second);

// DateValue and TimeValue: the date part and the time part of a date or of a date text
// (Error 13 when the text is not a date).
Date dateValue(const Variant& value);
Date timeValue(const Variant& value);
// IsDate: a date, or a text that reads as one.
bool isDate(const Variant& value);

}  // namespace lumora::vb
