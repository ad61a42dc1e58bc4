#pragma once
// The time zones a calendar file defines (VTIMEZONE, RFC 5545 section 3.6.5), as UTC offsets.
// libical expands a zone's changes from its first observance up to the year asked, and at
// least to a few years past today, keeping every change in memory, and its recurrence iterator
// may search for centuries before it finds an occurrence or none: a rule that recurs by the
// second from 1601 never finishes. Here each rule is expanded by zone_rule.hpp only for the
// years whose times are converted (and the few before them where the offset in force may have
// been set), a whole file shares one bound on that work, and a rule that recurs more often
// than daily is refused, as no time zone changes its offset twice a day.

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>

#include "Automation/vb/convert.hpp"
#include "pim_errors.hpp"

struct icalcomponent_impl;
struct icaltimetype;

namespace lumora::pim {

// A date or date-time of the calendar: libical reads "20261345" or "T256199" without a
// complaint, and a month 13 would become a date nobody wrote.
bool isCalendarTime(const icaltimetype& t);

class CalendarZones {
public:
    // Reads every VTIMEZONE of the calendar, at any depth (libical finds a zone for a time in
    // the time's own component and each one around it). Raises `failure` naming
    // the zone and its part when a rule recurs more often than daily, counts in a way no zone
    // does, or a part starts on no valid date.
    CalendarZones(icalcomponent_impl* calendar, PimError failure);
    ~CalendarZones();
    CalendarZones(const CalendarZones&) = delete;
    CalendarZones& operator=(const CalendarZones&) = delete;

    // The UTC instant, in seconds since 1970, of a wall-clock time in the zone the VTIMEZONE
    // defines; nullopt when the component is none of this file's zones. Raises `failure`
    // naming the zone when the file's zones have spent kMaxSteps.
    std::optional<int64_t> instantOf(icalcomponent_impl* vtimezone, const vb::CivilTime& wallClock);

    // The work one file may spend on its zones: a step per year of a rule expanded and per
    // change found. A yearly rule costs two or three steps per year converted; the bound keeps
    // a file of daily rules and times spread over centuries to about a second.
    static constexpr int64_t kMaxSteps = 200'000;

private:
    class Zone;
    std::unordered_map<icalcomponent_impl*, std::unique_ptr<Zone>> m_zones;
    int64_t m_stepsLeft = kMaxSteps;
    PimError m_failure;
};

}  // namespace lumora::pim
