#pragma once
// Number and date conversions shared by Variant coercion and the script-compatible helpers.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "../variant.hpp"

namespace lumora::vb {

struct CivilTime {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
    friend bool operator==(const CivilTime&, const CivilTime&) = default;
};

Date toDate(const CivilTime& t);
// Error 6 for a date outside the years 100 to 9999 (or not a number): no civil form exists.
CivilTime toCivil(Date d);

// The automation date range, 100-01-01 to 9999-12-31 23:59:59.
bool isInDateRange(double days);

// Patterns use yyyy, MM, dd, HH, mm, ss (and yy, M, d, H); other characters are copied.
std::string formatDate(Date d, std::string_view pattern);
// The form CStr gives a date: "yyyy-MM-dd HH:mm:ss", the date alone at midnight, the time alone on day 0.
std::string defaultDateText(Date d);
// Reads "yyyy-MM-dd[ T]HH:mm[:ss]", "yyyyMMddHHmm", "dd/MM/yyyy[ HH:mm[:ss]]" (day-month order) and "HH:mm[:ss]".
std::optional<Date> parseDate(std::string_view text);

// Reads a number the way script's numeric conversion does: optional blanks and sign, digits,
// decimal point, exponent, "&H" hex. nullopt when the text is not a number.
std::optional<double> parseNumber(std::string_view text);

// Round half to even, as CInt and CLng do.
double bankersRound(double value);

}  // namespace lumora::vb
