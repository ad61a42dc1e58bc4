#pragma once
// Appointments and tasks in iCalendar form (RFC 5545), read and written through libical.
// An appointment is a VEVENT: UID, SUMMARY, LOCATION, DESCRIPTION, DTSTART and DTEND, a date
// alone for an all-day event. A task is a VTODO: UID, SUMMARY, DESCRIPTION, DUE, STATUS,
// PRIORITY and PERCENT-COMPLETE. The store keeps local civil times, so times written with a zone
// (TZID, a VTIMEZONE of the file or a zone the system knows) or in UTC are read as local time,
// and times are written in the person's zone (calendar_time_zone.hpp).

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "pim_store.hpp"

namespace lumora::pim {

// One VCALENDAR holding a VEVENT per appointment and a VTODO per task; other items are left out.
// `now` is the Desktop clock's local time, each component's DTSTAMP.
std::string calendarText(const std::vector<const ItemRecord*>& items, Date now);

// The fields of each class a calendar file carries: what an import replaces in an item it updates.
std::span<const std::string_view> calendarFieldsOf(ItemClass itemClass);

// The appointments and tasks of a calendar file, as unsaved records (folder 0), in file order.
// Raises PimError::BadImportFile naming what is wrong when the text is no calendar or one of
// its events has no usable start.
std::vector<ItemRecord> readCalendar(std::string_view text);

}  // namespace lumora::pim
