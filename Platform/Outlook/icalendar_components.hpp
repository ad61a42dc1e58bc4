#pragma once
// One event or task as a libical component, and back: what the calendar files and the server
// resources share. Private to the files that speak libical, like ical_handles.hpp.

#include <optional>
#include <string_view>

#include "calendar_time_zone.hpp"
#include "ical_handles.hpp"
#include "pim_errors.hpp"
#include "pim_store.hpp"

namespace lumora::pim {

class CalendarZones;

// The PRODID of the calendars written here (RFC 5545 section 3.7.3).
inline constexpr std::string_view kCalendarProductId = "-//Lumora//Lumora Desktop//EN";

// What every component written shares: the zone its times are in and the time it is written.
struct CalendarWriting {
    CalendarTimeZone zone;
    icaltimetype stamp;
    // `now` is the Desktop clock's local time, each component's DTSTAMP.
    static CalendarWriting at(Date now);
};

// A VEVENT for an appointment, a VTODO for a task; null for an item of another class.
ComponentHandle componentOf(const ItemRecord& item, CalendarWriting& writing);

// The appointment of a VEVENT or the task of a VTODO, as an unsaved record; nullopt for another
// component. `number` counts the components of its kind for the error that names one, raised
// as `failure`.
std::optional<ItemRecord> itemOfComponent(icalcomponent* component, size_t number, CalendarZones& zones,
                                          PimError failure);

// Calendars nest three or four deep (a calendar, an event, its alarm). libical frees a tree of
// components by recursion, so a text that nests them some hundred thousand deep would overflow
// the stack; such a text is refused, as `failure`, before it is parsed.
void requireShallowNesting(std::string_view text, PimError failure);

}  // namespace lumora::pim
