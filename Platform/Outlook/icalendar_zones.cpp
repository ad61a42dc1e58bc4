#include "icalendar_zones.hpp"

#include <libical/ical.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "pim_errors.hpp"

namespace lumora::pim {

namespace {

struct IteratorFree {
    void operator()(icalrecur_iterator* iterator) const noexcept { icalrecur_iterator_free(iterator); }
};
using IteratorHandle = std::unique_ptr<icalrecur_iterator, IteratorFree>;

// An instance in a year may follow from a rule's occurrences up to this many years before:
// time zones' rules recur yearly, the odd one every few years.
constexpr int kLookBackYears = 10;

// The Gregorian calendar repeats itself, weekdays included, every 400 years.
constexpr int kCalendarCycleYears = 400;

// Seconds since 1970-01-01 00:00 of a civil time read as UTC, in the proleptic Gregorian
// calendar (days from civil, after H. Hinnant's public-domain algorithm).
int64_t civilSeconds(int64_t year, int64_t month, int64_t day, int64_t hour, int64_t minute, int64_t second) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return (era * 146097 + dayOfEra - 719468) * 86400 + hour * 3600 + minute * 60 + second;
}

int64_t secondsOf(const icaltimetype& t, int yearShift = 0) {
    return civilSeconds(t.year + yearShift, t.month, t.day, t.hour, t.minute, t.second);
}

// A date-time that is a real moment of the calendar; libical reads "16010229" or "T256199"
// without a complaint and its recurrence iterator does not survive them.
bool isValidStart(const icaltimetype& t) {
    return t.year >= 1 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= icaltime_days_in_month(t.month, t.year) && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 &&
           t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

// A local date-time without zone marks: a zone's parts count in the zone's own wall clock.
icaltimetype wallClockOf(const icaltimetype& t) {
    icaltimetype plain = icaltime_null_time();
    plain.year = t.year;
    plain.month = t.month;
    plain.day = t.day;
    if (!t.is_date) {
        plain.hour = t.hour;
        plain.minute = t.minute;
        plain.second = t.second;
    }
    return plain;
}

size_t listed(const short* values, size_t capacity) {
    size_t count = 0;
    while (count < capacity && values[count] != ICAL_RECURRENCE_ARRAY_MAX) ++count;
    return count;
}

// More than one change a day: by its frequency, or by hours, minutes or seconds it lists.
bool recursWithinADay(const icalrecurrencetype& rule) {
    return rule.freq == ICAL_SECONDLY_RECURRENCE || rule.freq == ICAL_MINUTELY_RECURRENCE ||
           rule.freq == ICAL_HOURLY_RECURRENCE || listed(rule.by_hour, ICAL_BY_HOUR_SIZE) > 1 ||
           listed(rule.by_minute, ICAL_BY_MINUTE_SIZE) > 1 || listed(rule.by_second, ICAL_BY_SECOND_SIZE) > 1;
}

// A change of offset: the instant it happens and the offsets before and after.
struct Onset {
    int64_t utc = 0;
    int32_t from = 0;
    int32_t to = 0;
};

// Whether a wall-clock time lies after the change. A time the change repeats (clocks going
// back) is taken as after it, in the later offset, as libical and most programs do.
bool reaches(const Onset& onset, int64_t wallClock) { return wallClock >= onset.utc + std::min(onset.from, onset.to); }

const Onset* later(const Onset* a, const Onset* b) {
    if (!a) return b;
    if (!b) return a;
    return b->utc > a->utc ? b : a;
}

}  // namespace

class CalendarZones::Zone {
public:
    explicit Zone(icalcomponent* vtimezone) {
        icalproperty* tzid = icalcomponent_get_first_property(vtimezone, ICAL_TZID_PROPERTY);
        m_name = tzid && icalproperty_get_tzid(tzid) ? icalproperty_get_tzid(tzid) : "without a TZID";
        for (icalcomponent* part = icalcomponent_get_first_component(vtimezone, ICAL_ANY_COMPONENT); part;
             part = icalcomponent_get_next_component(vtimezone, ICAL_ANY_COMPONENT))
            readPart(part);
    }

    const std::string& name() const { return m_name; }

    int32_t utcOffsetAt(const vb::CivilTime& wallClock, int64_t& stepsLeft) {
        const int64_t seconds =
            civilSeconds(wallClock.year, wallClock.month, wallClock.day, wallClock.hour, wallClock.minute, wallClock.second);
        const Onset* latest = nullptr;
        const Onset* earliest = nullptr;
        for (const Onset& onset : m_onsets) {
            if (reaches(onset, seconds)) latest = later(latest, &onset);
            if (!earliest || onset.utc < earliest->utc) earliest = &onset;
        }
        for (Rule& rule : m_rules) latest = later(latest, latestOf(rule, seconds, wallClock.year, stepsLeft));
        if (latest) return latest->to;
        // Before the zone's first change: the offset it changed from.
        return earliest ? earliest->from : 0;
    }

private:
    struct Rule {
        icalrecurrencetype recurrence;
        icaltimetype start;
        int32_t from = 0;
        int32_t to = 0;
        std::map<int, std::vector<Onset>> years;  // the changes of each year expanded so far
    };

    [[noreturn]] void refuse(const std::string& what) const {
        raise(PimError::BadImportFile, "time zone " + m_name + ": " + what);
    }

    void readPart(icalcomponent* part) {
        const icalcomponent_kind kind = icalcomponent_isa(part);
        if (kind != ICAL_XSTANDARD_COMPONENT && kind != ICAL_XDAYLIGHT_COMPONENT) return;
        const std::string partName = kind == ICAL_XSTANDARD_COMPONENT ? "STANDARD" : "DAYLIGHT";
        icalproperty* dtstart = icalcomponent_get_first_property(part, ICAL_DTSTART_PROPERTY);
        icalproperty* offsetTo = icalcomponent_get_first_property(part, ICAL_TZOFFSETTO_PROPERTY);
        if (!dtstart || !offsetTo) return;  // a part without them changes nothing, as libical has it
        icalproperty* offsetFrom = icalcomponent_get_first_property(part, ICAL_TZOFFSETFROM_PROPERTY);
        const int32_t to = icalproperty_get_tzoffsetto(offsetTo);
        // Some programs leave TZOFFSETFROM out of a zone without summer time.
        const int32_t from = offsetFrom ? icalproperty_get_tzoffsetfrom(offsetFrom) : to;
        const icaltimetype start = wallClockOf(icalproperty_get_dtstart(dtstart));
        if (!isValidStart(start)) refuse("its " + partName + " part starts on no valid date");
        m_onsets.push_back({secondsOf(start) - from, from, to});

        for (icalproperty* rdate = icalcomponent_get_first_property(part, ICAL_RDATE_PROPERTY); rdate;
             rdate = icalcomponent_get_next_property(part, ICAL_RDATE_PROPERTY)) {
            const icaldatetimeperiodtype value = icalproperty_get_rdate(rdate);
            icaltimetype when = icaltime_is_null_time(value.time) ? value.period.start : value.time;
            if (icaltime_is_null_time(when)) continue;
            if (when.is_date) {  // a date takes the part's time of day
                when.hour = start.hour;
                when.minute = start.minute;
                when.second = start.second;
            }
            m_onsets.push_back({secondsOf(when) - (icaltime_is_utc(when) ? 0 : from), from, to});
        }

        for (icalproperty* rrule = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY); rrule;
             rrule = icalcomponent_get_next_property(part, ICAL_RRULE_PROPERTY)) {
            icalrecurrencetype recurrence = icalproperty_get_rrule(rrule);
            if (recurrence.freq == ICAL_NO_RECURRENCE) continue;
            if (recursWithinADay(recurrence)) refuse("its " + partName + " rule repeats more often than daily");
            // The iterator compares UNTIL with the part's wall clock; a UTC UNTIL is moved onto it.
            if (!icaltime_is_null_time(recurrence.until) && icaltime_is_utc(recurrence.until)) {
                icaltimetype until = wallClockOf(recurrence.until);
                icaltime_adjust(&until, 0, 0, 0, from);
                recurrence.until = until;
            }
            m_rules.push_back(Rule{recurrence, start, from, to, {}});
        }
    }

    void spendStep(int64_t& stepsLeft) const {
        if (--stepsLeft < 0) refuse("its rules change too often to follow");
    }

    // The rule's changes in one year, expanded from that year on where the library allows it.
    const std::vector<Onset>& changesIn(Rule& rule, int year, int64_t& stepsLeft) {
        if (auto known = rule.years.find(year); known != rule.years.end()) return known->second;
        std::vector<Onset>& changes = rule.years[year];
        if (year < rule.start.year) return changes;
        // A rule with COUNT cannot start part-way: its count runs from the first occurrence.
        const bool startPartWay = rule.recurrence.count == 0 && year > rule.start.year;
        const int cycle = kCalendarCycleYears * std::max<int>(1, rule.recurrence.interval);
        int shift = 0;  // years the expanded year lies before the one asked for
        IteratorHandle iterator;
        for (;;) {
            spendStep(stepsLeft);
            iterator.reset(icalrecur_iterator_new(rule.recurrence, rule.start));
            if (!iterator) return changes;
            if (!startPartWay) break;
            icaltimetype january = rule.start;
            january.year = year - shift;
            january.month = 1;
            january.day = 1;
            january.hour = january.minute = january.second = 0;
            if (icalrecur_iterator_set_start(iterator.get(), january)) break;
            // Past UNTIL there is nothing to find. Past the last year the library counts in,
            // the same year a whole number of calendar cycles earlier has the same changes.
            if (!icaltime_is_null_time(rule.recurrence.until)) return changes;
            shift += cycle;
            if (year - shift <= rule.start.year) return changes;
        }
        for (;;) {
            spendStep(stepsLeft);
            const icaltimetype next = icalrecur_iterator_next(iterator.get());
            if (icaltime_is_null_time(next) || next.year > year - shift) break;
            if (next.year == year - shift) changes.push_back({secondsOf(next, shift) - rule.from, rule.from, rule.to});
        }
        return changes;
    }

    // The rule's last change a wall-clock time lies after, looking back a few years at most.
    const Onset* latestOf(Rule& rule, int64_t wallClock, int year, int64_t& stepsLeft) {
        int top = year;
        if (!icaltime_is_null_time(rule.recurrence.until)) top = std::min(top, rule.recurrence.until.year);
        for (int y = top; y >= std::max(rule.start.year, top - kLookBackYears); --y) {
            const Onset* latest = nullptr;
            for (const Onset& change : changesIn(rule, y, stepsLeft))
                if (reaches(change, wallClock)) latest = later(latest, &change);
            if (latest) return latest;
        }
        return nullptr;
    }

    std::string m_name;
    std::vector<Onset> m_onsets;  // each part's start and its RDATEs
    std::vector<Rule> m_rules;
};

CalendarZones::CalendarZones(icalcomponent* calendar) {
    // Walked without recursion: the parser nests components as deep as the file does.
    std::vector<icalcomponent*> pending{calendar};
    while (!pending.empty()) {
        icalcomponent* component = pending.back();
        pending.pop_back();
        for (icalcomponent* child = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); child;
             child = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
            if (icalcomponent_isa(child) == ICAL_VTIMEZONE_COMPONENT)
                m_zones.emplace(child, std::make_unique<Zone>(child));
            else
                pending.push_back(child);
        }
    }
}

CalendarZones::~CalendarZones() = default;

std::optional<int64_t> CalendarZones::instantOf(icalcomponent* vtimezone, const vb::CivilTime& wallClock) {
    auto zone = m_zones.find(vtimezone);
    if (zone == m_zones.end()) return std::nullopt;
    const int64_t seconds =
        civilSeconds(wallClock.year, wallClock.month, wallClock.day, wallClock.hour, wallClock.minute, wallClock.second);
    return seconds - zone->second->utcOffsetAt(wallClock, m_stepsLeft);
}

}  // namespace lumora::pim
