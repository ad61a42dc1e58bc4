#include "icalendar_zones.hpp"

#include <libical/ical.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "pim_errors.hpp"
#include "zone_rule.hpp"

namespace lumora::pim {

namespace {

// A zone's changes in a year may follow from its rules' occurrences up to this many years
// before: zones' rules recur yearly, the odd one every few years. The last change of a rule
// that ends is kept apart, so a time long after it still finds it.
constexpr int kLookBackYears = 10;

vb::CivilTime civilOf(const icaltimetype& t) {
    if (t.is_date) return vb::CivilTime{t.year, t.month, t.day, 0, 0, 0};
    return vb::CivilTime{t.year, t.month, t.day, t.hour, t.minute, t.second};
}

// The values of one of libical's BY lists, which end at a marker unless full.
std::vector<int> listed(const short* values, size_t capacity) {
    std::vector<int> result;
    for (size_t i = 0; i < capacity && values[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) result.push_back(values[i]);
    return result;
}

// A change of offset: the instant it happens and the offsets before and after.
struct Onset {
    int64_t utc = 0;
    int32_t from = 0;
    int32_t to = 0;
};

// The wall-clock time from which a change applies. A time the change repeats (clocks going
// back) is taken as after it, in the later offset, as libical and most programs do.
int64_t appliesFrom(const Onset& onset) { return onset.utc + std::min(onset.from, onset.to); }

const Onset* later(const Onset* a, const Onset* b) {
    if (!a) return b;
    if (!b) return a;
    return b->utc > a->utc ? b : a;
}

// Changes in the order they apply from, so that a time finds the last one it follows by a
// binary search however many a zone lists.
class ChangeList {
public:
    void add(Onset onset) { m_onsets.push_back(onset); }
    void seal() {
        std::sort(m_onsets.begin(), m_onsets.end(),
                  [](const Onset& a, const Onset& b) { return appliesFrom(a) < appliesFrom(b); });
        m_latestUpTo.resize(m_onsets.size());
        for (size_t i = 0; i < m_onsets.size(); ++i) {
            const bool isLater = i == 0 || m_onsets[i].utc > m_onsets[m_latestUpTo[i - 1]].utc;
            m_latestUpTo[i] = isLater ? i : m_latestUpTo[i - 1];
        }
    }
    // The latest change a wall-clock time lies after, if any.
    const Onset* latestBefore(int64_t wallClock) const {
        auto reached = std::upper_bound(m_onsets.begin(), m_onsets.end(), wallClock,
                                        [](int64_t time, const Onset& onset) { return time < appliesFrom(onset); });
        if (reached == m_onsets.begin()) return nullptr;
        return &m_onsets[m_latestUpTo[static_cast<size_t>(reached - m_onsets.begin()) - 1]];
    }
    const Onset* earliest() const {
        auto first = std::min_element(m_onsets.begin(), m_onsets.end(),
                                      [](const Onset& a, const Onset& b) { return a.utc < b.utc; });
        return first == m_onsets.end() ? nullptr : &*first;
    }

private:
    std::vector<Onset> m_onsets;
    std::vector<size_t> m_latestUpTo;  // per position, the latest change among those up to it
};

}  // namespace

class CalendarZones::Zone {
public:
    Zone(icalcomponent* vtimezone, int64_t& stepsLeft, PimError failure) : m_stepsLeft(stepsLeft), m_failure(failure) {
        icalproperty* tzid = icalcomponent_get_first_property(vtimezone, ICAL_TZID_PROPERTY);
        m_name = tzid && icalproperty_get_tzid(tzid) ? icalproperty_get_tzid(tzid) : "without a TZID";
        for (icalcomponent* part = icalcomponent_get_first_component(vtimezone, ICAL_ANY_COMPONENT); part;
             part = icalcomponent_get_next_component(vtimezone, ICAL_ANY_COMPONENT))
            readPart(part);
        for (const Rule& rule : m_rules)
            if (rule.recurrence.until) addLastChange(rule);
        m_dated.seal();
        if (const Onset* first = m_dated.earliest()) m_offsetBefore = first->from;
    }

    int32_t utcOffsetAt(const vb::CivilTime& wallClock) {
        const int64_t seconds = civilSeconds(wallClock);
        const Onset* latest = m_dated.latestBefore(seconds);
        for (int year = wallClock.year; year >= wallClock.year - kLookBackYears; --year)
            if (const Onset* change = changesIn(year).latestBefore(seconds)) {
                latest = later(latest, change);
                break;
            }
        // Before the zone's first change: the offset it changed from.
        return latest ? latest->to : m_offsetBefore;
    }

private:
    struct Rule {
        ZoneRule recurrence;
        int32_t from = 0;
        int32_t to = 0;
    };

    [[noreturn]] void refuse(const std::string& what) const {
        raise(m_failure, "time zone " + m_name + ": " + what);
    }

    // A year of one rule costs at most a pass over its days; a file's zones share the bound.
    std::vector<int64_t> occurrencesIn(const ZoneRule& rule, int year) {
        std::vector<int64_t> occurrences = rule.occurrencesIn(year);
        m_stepsLeft -= 1 + static_cast<int64_t>(occurrences.size());
        if (m_stepsLeft < 0) refuse("its rules change too often to follow");
        return occurrences;
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
        const icaltimetype startTime = icalproperty_get_dtstart(dtstart);
        if (!isCalendarTime(startTime)) refuse("its " + partName + " part starts on no valid date");
        const vb::CivilTime start = civilOf(startTime);
        m_dated.add({civilSeconds(start) - from, from, to});

        for (icalproperty* rdate = icalcomponent_get_first_property(part, ICAL_RDATE_PROPERTY); rdate;
             rdate = icalcomponent_get_next_property(part, ICAL_RDATE_PROPERTY)) {
            const icaldatetimeperiodtype value = icalproperty_get_rdate(rdate);
            icaltimetype when = icaltime_is_null_time(value.time) ? value.period.start : value.time;
            if (icaltime_is_null_time(when)) continue;
            vb::CivilTime civil = civilOf(when);
            if (when.is_date) {  // a date takes the part's time of day
                civil.hour = start.hour;
                civil.minute = start.minute;
                civil.second = start.second;
            }
            m_dated.add({civilSeconds(civil) - (icaltime_is_utc(when) ? 0 : from), from, to});
        }

        for (icalproperty* rrule = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY); rrule;
             rrule = icalcomponent_get_next_property(part, ICAL_RRULE_PROPERTY)) {
            const icalrecurrencetype recurrence = icalproperty_get_rrule(rrule);
            if (recurrence.freq == ICAL_NO_RECURRENCE) continue;  // a rule libical could not read
            m_rules.push_back(Rule{ruleOf(recurrence, start, from, "its " + partName + " rule "), from, to});
        }
    }

    ZoneRule ruleOf(const icalrecurrencetype& recurrence, const vb::CivilTime& start, int32_t from,
                    const std::string& which) {
        ZoneRule rule;
        rule.start = start;
        switch (recurrence.freq) {
        case ICAL_DAILY_RECURRENCE: rule.frequency = ZoneRule::Frequency::Daily; break;
        case ICAL_WEEKLY_RECURRENCE: rule.frequency = ZoneRule::Frequency::Weekly; break;
        case ICAL_MONTHLY_RECURRENCE: rule.frequency = ZoneRule::Frequency::Monthly; break;
        case ICAL_YEARLY_RECURRENCE: rule.frequency = ZoneRule::Frequency::Yearly; break;
        default: refuse(which + "repeats more often than daily");
        }
        const std::vector<int> hours = listed(recurrence.by_hour, ICAL_BY_HOUR_SIZE);
        const std::vector<int> minutes = listed(recurrence.by_minute, ICAL_BY_MINUTE_SIZE);
        const std::vector<int> seconds = listed(recurrence.by_second, ICAL_BY_SECOND_SIZE);
        if (hours.size() > 1 || minutes.size() > 1 || seconds.size() > 1) refuse(which + "repeats more often than daily");
        if (!hours.empty()) rule.hour = std::clamp(hours[0], 0, 23);
        if (!minutes.empty()) rule.minute = std::clamp(minutes[0], 0, 59);
        if (!seconds.empty()) rule.second = std::clamp(seconds[0], 0, 59);
        const std::string unusual = which + "counts by days of the year, week numbers or another calendar, as no time zone does";
        if (!listed(recurrence.by_year_day, ICAL_BY_YEARDAY_SIZE).empty() ||
            !listed(recurrence.by_week_no, ICAL_BY_WEEKNO_SIZE).empty() || recurrence.rscale)
            refuse(unusual);
        for (int encoded : listed(recurrence.by_month, ICAL_BY_MONTH_SIZE)) {
            const int month = icalrecurrencetype_month_month(static_cast<short>(encoded));
            if (icalrecurrencetype_month_is_leap(static_cast<short>(encoded)) || month < 1 || month > 12) refuse(unusual);
            rule.months.push_back(month);
        }
        rule.monthDays = listed(recurrence.by_month_day, ICAL_BY_MONTHDAY_SIZE);
        const bool countsWithinPeriods = rule.frequency == ZoneRule::Frequency::Monthly ||
                                         rule.frequency == ZoneRule::Frequency::Yearly;
        for (int day : listed(recurrence.by_day, ICAL_BY_DAY_SIZE)) {
            const int weekday = static_cast<int>(icalrecurrencetype_day_day_of_week(static_cast<short>(day)));
            const int position = icalrecurrencetype_day_position(static_cast<short>(day));
            if (weekday < ICAL_SUNDAY_WEEKDAY || weekday > ICAL_SATURDAY_WEEKDAY || (position != 0 && !countsWithinPeriods))
                refuse(which + "names its days in a way RFC 5545 does not allow");
            rule.weekDays.push_back({weekday - ICAL_SUNDAY_WEEKDAY, position});
        }
        rule.setPositions = listed(recurrence.by_set_pos, ICAL_BY_SETPOS_SIZE);
        if (!rule.setPositions.empty() && !countsWithinPeriods)
            refuse(which + "names its days in a way RFC 5545 does not allow");
        rule.interval = std::max<int>(1, recurrence.interval);
        if (recurrence.week_start != ICAL_NO_WEEKDAY) rule.weekStart = recurrence.week_start - ICAL_SUNDAY_WEEKDAY;
        if (!icaltime_is_null_time(recurrence.until)) {
            // UNTIL counts on the part's wall clock; one in UTC is moved onto it, and a date
            // lasts the whole day.
            vb::CivilTime until = civilOf(recurrence.until);
            if (recurrence.until.is_date) {
                until.hour = 23;
                until.minute = 59;
                until.second = 59;
            }
            rule.until = civilSeconds(until) + (icaltime_is_utc(recurrence.until) ? from : 0);
        } else if (recurrence.count > 0) {
            rule.until = countedEnd(rule, recurrence.count);
        }
        return rule;
    }

    // The time of a rule's last occurrence by its COUNT; none when it recurs past year 9999.
    std::optional<int64_t> countedEnd(const ZoneRule& rule, int64_t count) {
        for (int year = rule.start.year; year <= 9999; ++year) {
            const std::vector<int64_t> occurrences = occurrencesIn(rule, year);
            if (static_cast<int64_t>(occurrences.size()) >= count) return occurrences[static_cast<size_t>(count - 1)];
            count -= static_cast<int64_t>(occurrences.size());
        }
        return std::nullopt;
    }

    void addLastChange(const Rule& rule) {
        const int last = yearOfSeconds(*rule.recurrence.until);
        for (int year = last; year >= std::max(rule.recurrence.start.year, last - kLookBackYears); --year) {
            const std::vector<int64_t> occurrences = occurrencesIn(rule.recurrence, year);
            if (occurrences.empty()) continue;
            m_dated.add({occurrences.back() - rule.from, rule.from, rule.to});
            return;
        }
    }

    // The changes of every rule in one year, expanded on first need.
    const ChangeList& changesIn(int year) {
        auto known = m_years.find(year);
        if (known != m_years.end()) return known->second;
        ChangeList changes;
        for (const Rule& rule : m_rules)
            for (int64_t when : occurrencesIn(rule.recurrence, year)) changes.add({when - rule.from, rule.from, rule.to});
        changes.seal();
        return m_years.emplace(year, std::move(changes)).first->second;
    }

    int64_t& m_stepsLeft;
    PimError m_failure;
    std::string m_name;
    std::vector<Rule> m_rules;
    ChangeList m_dated;                 // each part's start, its RDATEs, the last change of a rule that ends
    std::map<int, ChangeList> m_years;  // the rules' changes by year, as expanded
    int32_t m_offsetBefore = 0;         // before the zone's first change: the offset it changed from
};

bool isCalendarTime(const icaltimetype& t) {
    if (t.year < 1 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 ||
        t.day > icaltime_days_in_month(t.month, t.year))
        return false;
    return t.is_date || (t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 60);
}

CalendarZones::CalendarZones(icalcomponent* calendar, PimError failure) : m_failure(failure) {
    // Walked without recursion: the parser nests components as deep as the file does.
    std::vector<icalcomponent*> pending{calendar};
    while (!pending.empty()) {
        icalcomponent* component = pending.back();
        pending.pop_back();
        for (icalcomponent* child = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); child;
             child = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
            if (icalcomponent_isa(child) == ICAL_VTIMEZONE_COMPONENT)
                m_zones.emplace(child, std::make_unique<Zone>(child, m_stepsLeft, m_failure));
            else
                pending.push_back(child);
        }
    }
}

CalendarZones::~CalendarZones() = default;

std::optional<int64_t> CalendarZones::instantOf(icalcomponent* vtimezone, const vb::CivilTime& wallClock) {
    auto zone = m_zones.find(vtimezone);
    if (zone == m_zones.end()) return std::nullopt;
    return civilSeconds(wallClock) - zone->second->utcOffsetAt(wallClock);
}

}  // namespace lumora::pim
