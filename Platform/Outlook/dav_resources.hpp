#pragma once
// One item as one resource of a calendar or address-book server (CalDAV, RFC 4791; CardDAV,
// RFC 6352): an appointment as a VCALENDAR holding its VEVENT and the VTIMEZONE its times name,
// a task as a VCALENDAR holding its VTODO, a contact as one vCard 4.0; the CRM's marks ride
// along as X- properties (dav_marks.hpp).
//
// The server's copy may hold what the PIM does not model: attendees, alarms, categories, a
// recurrence and its overrides, other programs' X- properties, photos, more addresses than the
// PIM has fields for. Writing an item again over the server's last text replaces only what the
// PIM owns and keeps every other line as it was, so another program's data survives a change
// made here.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "pim_store.hpp"

namespace lumora::pim {

// A resource larger than this is refused unread: an event with its attachments inline, or a
// card with its photo, stays well below it.
inline constexpr size_t kMaxResourceBytes = 4u << 20;

struct ParsedResource {
    ItemRecord item;  // unsaved (id 0, folder 0): its UID, the fields the resource carries, its marks
};

// The item of a resource the server sent. A calendar resource may hold a recurring event's
// overrides beside it, which share its UID: the item is the event without a RECURRENCE-ID.
// Raises PimError::ResourceTooLarge, or PimError::BadResource naming what is wrong: no
// component of the expected kind, components of another kind or of several UIDs, a BEGIN
// without its END, a text that is no iCalendar or vCard.
ParsedResource readResource(std::string_view text, ItemClass expected);

// Whether a calendar resource is an item of the other calendar class (a task where an
// appointment is expected, or the reverse): a calendar that takes both kinds lists both to the
// Calendar and the Tasks that follow it, and each passes over the other's. False for a text that
// cannot be read, which readResource then names.
bool isOtherCalendarClass(std::string_view text, ItemClass expected);

// The resource text of an appointment, task or contact with its user properties loaded. With
// `previous`, the server's last text of the item, the result is that text with the fields the
// PIM owns (resourceFieldsOf) and the marks replaced, and all else kept; without it, a new
// resource. `now` is the Desktop clock's local time, a calendar component's DTSTAMP. Raises as
// readResource when `previous` cannot be read, and PimError::BadItemType for another class.
std::string resourceText(const ItemRecord& item, std::string_view previous, Date now);

// The fields a resource carries for the class, the marks among them: what a sync replaces in
// a stored item when the server's copy changed.
std::vector<std::string> resourceFieldsOf(ItemClass itemClass);

}  // namespace lumora::pim
