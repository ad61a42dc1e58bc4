#pragma once
// The time zone the calendar files written here give their times in: the person's, as the
// system names it (TZ, else /etc/localtime). The store keeps local civil times without a zone;
// a file names the zone (a TZID and the VTIMEZONE that defines it, RFC 5545 section 3.3.5, form
// 3), so another program places each time at the same instant. Where the person's zone is UTC,
// or one libical has no rules for (a POSIX TZ string), times are written in UTC instead.

#include <cstdint>
#include <memory>
#include <string>

#include "Automation/variant.hpp"

struct icalcomponent_impl;
struct icalproperty_impl;

namespace lumora::pim {

enum class CalendarTime { Start, End, Due };

class CalendarTimeZone {
public:
    // The zone of this process as it is now.
    static CalendarTimeZone ofSystem();

    // A new DTSTART, DTEND or DUE at a local time of the store: a date alone when `dateOnly`,
    // else the zone's wall-clock time with its TZID, or the same instant in UTC.
    icalproperty_impl* property(CalendarTime which, Date local, bool dateOnly);
    // Adds the VTIMEZONE to the calendar when a property named the zone; once.
    void addDefinitionTo(icalcomponent_impl* calendar);

    // The TZID times are written with; empty when they are written in UTC.
    const std::string& name() const { return m_name; }

private:
    std::string m_name;
    std::shared_ptr<icalcomponent_impl> m_definition;  // the VTIMEZONE, with m_name as its TZID
    bool m_used = false;
};

// A local civil time of this system as seconds since 1970 in UTC, by the C library's rules: a
// time the clocks skip is read by the offset before the change, one they repeat by the later.
int64_t utcSecondsOf(Date local);

}  // namespace lumora::pim
