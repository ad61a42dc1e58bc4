#include "convert.hpp"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "../error.hpp"

namespace lumora::vb {

namespace {

// Days from 1970-01-01 to the civil date (Howard Hinnant's days_from_civil).
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void civilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t yy = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

const int64_t kOleEpoch = daysFromCivil(1899, 12, 30);

bool readInt(std::string_view& s, size_t digits, int& out) {
    if (s.size() < digits) return false;
    int value = 0;
    for (size_t i = 0; i < digits; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
        value = value * 10 + (s[i] - '0');
    }
    out = value;
    s.remove_prefix(digits);
    return true;
}

// Reads one to `maxDigits` digits.
bool readVarInt(std::string_view& s, size_t maxDigits, int& out) {
    size_t n = 0;
    while (n < s.size() && n < maxDigits && std::isdigit(static_cast<unsigned char>(s[n]))) ++n;
    return n > 0 && readInt(s, n, out);
}

bool readChar(std::string_view& s, char c) {
    if (s.empty() || s.front() != c) return false;
    s.remove_prefix(1);
    return true;
}

bool validCivil(const CivilTime& t) {
    if (t.year < 100 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1) return false;
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (t.year % 4 == 0 && t.year % 100 != 0) || t.year % 400 == 0;
    int last = kDays[t.month - 1] + (t.month == 2 && leap ? 1 : 0);
    return t.day <= last && t.hour < 24 && t.minute < 60 && t.second < 60;
}

bool readTime(std::string_view& s, CivilTime& t) {
    if (!readVarInt(s, 2, t.hour) || !readChar(s, ':') || !readInt(s, 2, t.minute)) return false;
    if (readChar(s, ':') && !readInt(s, 2, t.second)) return false;
    return true;
}

}  // namespace

Date toDate(const CivilTime& t) {
    double days = static_cast<double>(daysFromCivil(t.year, t.month, t.day) - kOleEpoch);
    double fraction = (t.hour * 3600 + t.minute * 60 + t.second) / 86400.0;
    // OLE dates before the epoch keep the time as a positive fraction after a negative day count.
    return Date{days < 0 ? days - fraction : days + fraction};
}

bool isInDateRange(double days) {
    // 100-01-01 is day -657434; 9999-12-31 is day 2958465, its time carried in the fraction.
    return std::isfinite(days) && days > -657435.0 && days < 2958466.0;
}

CivilTime toCivil(Date d) {
    if (!isInDateRange(d.days)) throw Error(RuntimeError::Overflow);
    double whole = std::trunc(d.days);
    double fraction = std::fabs(d.days - whole);
    int64_t seconds = std::llround(fraction * 86400.0);
    // The fraction is the time after the whole day's midnight for negative days too, so a time
    // that rounds up to midnight belongs to the following calendar day in both directions.
    if (seconds >= 86400) {
        seconds -= 86400;
        whole += 1;
    }
    CivilTime t;
    civilFromDays(static_cast<int64_t>(whole) + kOleEpoch, t.year, t.month, t.day);
    t.hour = static_cast<int>(seconds / 3600);
    t.minute = static_cast<int>(seconds / 60 % 60);
    t.second = static_cast<int>(seconds % 60);
    return t;
}

std::string formatDate(Date d, std::string_view pattern) {
    const CivilTime t = toCivil(d);
    std::string out;
    auto pad = [&](int v, int width) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%0*d", width, v);
        out += buf;
    };
    for (size_t i = 0; i < pattern.size();) {
        auto run = [&](char c) {
            size_t n = 0;
            while (i + n < pattern.size() && pattern[i + n] == c) ++n;
            return n;
        };
        char c = pattern[i];
        size_t n = (c == 'y' || c == 'M' || c == 'd' || c == 'H' || c == 'm' || c == 's') ? run(c) : 1;
        switch (c) {
            case 'y': n >= 4 ? pad(t.year, 4) : pad(t.year % 100, 2); break;
            case 'M': pad(t.month, n >= 2 ? 2 : 1); break;
            case 'd': pad(t.day, n >= 2 ? 2 : 1); break;
            case 'H': pad(t.hour, n >= 2 ? 2 : 1); break;
            case 'm': pad(t.minute, n >= 2 ? 2 : 1); break;
            case 's': pad(t.second, n >= 2 ? 2 : 1); break;
            default: out += c;
        }
        i += n;
    }
    return out;
}

std::string defaultDateText(Date d) {
    const CivilTime t = toCivil(d);
    bool hasTime = t.hour || t.minute || t.second;
    bool hasDate = std::trunc(d.days) != 0;
    if (!hasTime) return formatDate(d, "yyyy-MM-dd");
    if (!hasDate) return formatDate(d, "HH:mm:ss");
    return formatDate(d, "yyyy-MM-dd HH:mm:ss");
}

std::optional<Date> parseDate(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    CivilTime t;
    std::string_view s = text;
    // yyyyMMddHHmm
    if (s.size() == 12 && s.find_first_not_of("0123456789") == std::string_view::npos) {
        readInt(s, 4, t.year), readInt(s, 2, t.month), readInt(s, 2, t.day);
        readInt(s, 2, t.hour), readInt(s, 2, t.minute);
        return validCivil(t) ? std::optional<Date>(toDate(t)) : std::nullopt;
    }
    s = text;
    CivilTime iso;
    if (readInt(s, 4, iso.year) && readChar(s, '-') && readVarInt(s, 2, iso.month) && readChar(s, '-') &&
        readVarInt(s, 2, iso.day)) {
        if (!s.empty() && !((readChar(s, 'T') || readChar(s, ' ')) && readTime(s, iso))) return std::nullopt;
        return s.empty() && validCivil(iso) ? std::optional<Date>(toDate(iso)) : std::nullopt;
    }
    s = text;
    CivilTime dmy;
    if (readVarInt(s, 2, dmy.day) && readChar(s, '/') && readVarInt(s, 2, dmy.month) && readChar(s, '/') &&
        readInt(s, 4, dmy.year)) {
        if (!s.empty() && !(readChar(s, ' ') && readTime(s, dmy))) return std::nullopt;
        return s.empty() && validCivil(dmy) ? std::optional<Date>(toDate(dmy)) : std::nullopt;
    }
    s = text;
    CivilTime timeOnly;
    if (readTime(s, timeOnly) && s.empty() && validCivil(timeOnly)) return toDate(timeOnly);
    return std::nullopt;
}

std::optional<double> parseNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    if (text.size() > 2 && text[0] == '&' && (text[1] == 'H' || text[1] == 'h')) {
        uint32_t value = 0;
        auto [ptr, ec] = std::from_chars(text.data() + 2, text.data() + text.size(), value, 16);
        if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
        return static_cast<double>(static_cast<int32_t>(value));
    }
    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() == '+' || text.front() == '-') return std::nullopt;
    // Only digits, a point and an exponent make a number; "inf" and "nan" are not numbers to script.
    if (text.find_first_not_of("0123456789.eE+-") != std::string_view::npos) return std::nullopt;
    double value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
    return negative ? -value : value;
}

double bankersRound(double value) { return std::nearbyint(value); }

}  // namespace lumora::vb
