#include "icalendar_items.hpp"

#include <algorithm>
#include <ctime>
#include <memory>

#include "Automation/vb/convert.hpp"
#include "Automation/vb/text.hpp"
#include "calendar_time_zone.hpp"
#include "ical_handles.hpp"
#include "icalendar_components.hpp"
#include "icalendar_zones.hpp"
#include "item_properties.hpp"
#include "pim_errors.hpp"
#include "pim_item.hpp"

namespace lumora::pim {

namespace {

// Outlook's task states and the iCalendar STATUS that says the same.
struct TaskStatus {
    int32_t status;
    icalproperty_status ical;
};
constexpr TaskStatus kTaskStates[] = {
    {0, ICAL_STATUS_NEEDSACTION}, {1, ICAL_STATUS_INPROCESS}, {2, ICAL_STATUS_COMPLETED}, {4, ICAL_STATUS_CANCELLED}};

bool isNoDate(const Variant& value) { return value.toDate().days == kNoDate.days; }

vb::CivilTime civilOf(const icaltimetype& t) {
    if (t.is_date) return vb::CivilTime{t.year, t.month, t.day, 0, 0, 0};
    return vb::CivilTime{t.year, t.month, t.day, t.hour, t.minute, t.second};
}

// A time with a zone (UTC included) becomes the local time of this system; a floating time or
// a date is taken as it stands. A zone the file defines is read by its own rules
// (icalendar_zones.hpp); UTC and the zones libical knows by name are bounded and read by it.
// Nullopt for what is no date between the years 100 and 9999, which no date field can hold.
std::optional<Date> localDateOf(icaltimetype t, CalendarZones& zones) {
    if (!isCalendarTime(t)) return std::nullopt;
    Date date = vb::toDate(civilOf(t));
    if (!t.is_date && t.zone) {
        auto* zone = const_cast<icaltimezone*>(t.zone);
        std::optional<int64_t> instant;
        if (zone != icaltimezone_get_utc_timezone())
            instant = zones.instantOf(icaltimezone_get_component(zone), civilOf(t));
        const time_t seconds = instant ? static_cast<time_t>(*instant) : icaltime_as_timet_with_zone(t, t.zone);
        std::tm local{};
        if (!localtime_r(&seconds, &local)) return std::nullopt;
        date = vb::toDate(vb::CivilTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                        local.tm_min, local.tm_sec});
    }
    if (!vb::isInDateRange(date.days)) return std::nullopt;
    return date;
}

// A date field's value, or the refusal that names the part and the field.
Date dateOf(icaltimetype t, CalendarZones& zones, const std::string& part, std::string_view field, PimError failure) {
    if (std::optional<Date> date = localDateOf(t, zones)) return *date;
    raise(failure, part + ": its " + std::string(field) + " is no date between the years 100 and 9999");
}

void addText(icalcomponent* component, icalproperty* (*make)(const char*), const ItemRecord& item,
             std::string_view name) {
    const std::string text = textValue(item, name);
    if (!text.empty()) icalcomponent_add_property(component, make(text.c_str()));
}

// The item's identity and the time of writing, which RFC 5545 requires of every event and task.
void addIdentity(icalcomponent* component, const ItemRecord& item, const CalendarWriting& writing) {
    if (!item.uid.empty()) icalcomponent_add_property(component, icalproperty_new_uid(item.uid.c_str()));
    icalcomponent_add_property(component, icalproperty_new_dtstamp(writing.stamp));
}

// Owned until added to the calendar: a date no field could hold raises on the way.
ComponentHandle eventOf(const ItemRecord& item, CalendarWriting& writing) {
    ComponentHandle handle(icalcomponent_new_vevent());
    icalcomponent* event = handle.get();
    addIdentity(event, item, writing);
    addText(event, icalproperty_new_summary, item, "Subject");
    addText(event, icalproperty_new_location, item, "Location");
    addText(event, icalproperty_new_description, item, "Body");
    const bool allDay = storedValue(item, "AllDayEvent").toBool();
    const Variant start = storedValue(item, "Start");
    const Variant end = storedValue(item, "End");
    CalendarTimeZone& zone = writing.zone;
    if (!isNoDate(start)) icalcomponent_add_property(event, zone.property(CalendarTime::Start, start.toDate(), allDay));
    if (!isNoDate(end)) icalcomponent_add_property(event, zone.property(CalendarTime::End, end.toDate(), allDay));
    return handle;
}

ComponentHandle todoOf(const ItemRecord& item, CalendarWriting& writing) {
    ComponentHandle handle(icalcomponent_new_vtodo());
    icalcomponent* todo = handle.get();
    addIdentity(todo, item, writing);
    addText(todo, icalproperty_new_summary, item, "Subject");
    addText(todo, icalproperty_new_description, item, "Body");
    const Variant due = storedValue(item, "DueDate");
    if (!isNoDate(due)) {
        const double days = due.toDate().days;
        const bool dateOnly = days == static_cast<int64_t>(days);
        icalcomponent_add_property(todo, writing.zone.property(CalendarTime::Due, due.toDate(), dateOnly));
    }
    const int32_t status = storedValue(item, "Status").toI4();
    for (const TaskStatus& state : kTaskStates)
        if (state.status == status) icalcomponent_add_property(todo, icalproperty_new_status(state.ical));
    // Importance 0 low, 1 normal, 2 high; PRIORITY 1 is the highest, 9 the lowest.
    static constexpr int kPriorityOfImportance[] = {9, 5, 1};
    const int32_t importance = storedValue(item, "Importance").toI4();
    if (importance >= 0 && importance <= 2)
        icalcomponent_add_property(todo, icalproperty_new_priority(kPriorityOfImportance[importance]));
    icalcomponent_add_property(todo, icalproperty_new_percentcomplete(storedValue(item, "PercentComplete").toI4()));
    return handle;
}

std::string textOf(icalcomponent* component, icalproperty_kind kind) {
    icalproperty* property = icalcomponent_get_first_property(component, kind);
    if (!property) return {};
    const char* text = icalvalue_get_text(icalproperty_get_value(property));
    return text ? text : "";
}

void setText(ItemRecord& item, std::string name, std::string text) {
    if (!text.empty()) item.values[std::move(name)] = Variant(std::move(text));
}

// What libical made of a line it could not read, for the error that names it.
std::string readingError(icalcomponent* component) {
    icalproperty* error = icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY);
    return error && icalproperty_get_xlicerror(error) ? icalproperty_get_xlicerror(error) : "no start time";
}

ItemRecord appointmentOf(icalcomponent* event, size_t number, CalendarZones& zones, PimError failure) {
    ItemRecord item;
    item.itemClass = ItemClass::Appointment;
    item.uid = textOf(event, ICAL_UID_PROPERTY);
    icaltimetype start = icalcomponent_get_dtstart(event);
    if (icaltime_is_null_time(start) || !icaltime_is_valid_time(start))
        raise(failure, "event " + std::to_string(number) + ": " + readingError(event));
    icaltimetype end = icalcomponent_get_dtend(event);  // from DTEND, or DTSTART plus DURATION
    if (icaltime_is_null_time(end)) {
        end = start;
        if (start.is_date) icaltime_adjust(&end, 1, 0, 0, 0);  // an all-day event lasts its day
    }
    setText(item, "Subject", textOf(event, ICAL_SUMMARY_PROPERTY));
    setText(item, "Location", textOf(event, ICAL_LOCATION_PROPERTY));
    setText(item, "Body", textOf(event, ICAL_DESCRIPTION_PROPERTY));
    const std::string part = "event " + std::to_string(number);
    item.values["Start"] = Variant(dateOf(start, zones, part, "start", failure));
    item.values["End"] = Variant(dateOf(end, zones, part, "end", failure));
    item.values["AllDayEvent"] = Variant(start.is_date == 1);
    return item;
}

ItemRecord taskOf(icalcomponent* todo, size_t number, CalendarZones& zones, PimError failure) {
    ItemRecord item;
    item.itemClass = ItemClass::Task;
    item.uid = textOf(todo, ICAL_UID_PROPERTY);
    setText(item, "Subject", textOf(todo, ICAL_SUMMARY_PROPERTY));
    setText(item, "Body", textOf(todo, ICAL_DESCRIPTION_PROPERTY));
    if (icalcomponent_get_first_property(todo, ICAL_DUE_PROPERTY))
        item.values["DueDate"] = Variant(dateOf(icalcomponent_get_due(todo), zones, "task " + std::to_string(number), "due date", failure));
    if (icalcomponent_get_first_property(todo, ICAL_STATUS_PROPERTY)) {
        const icalproperty_status status = icalcomponent_get_status(todo);
        for (const TaskStatus& state : kTaskStates)
            if (state.ical == status) item.values["Status"] = Variant(state.status);
        item.values["Complete"] = Variant(status == ICAL_STATUS_COMPLETED);
    }
    if (icalproperty* priority = icalcomponent_get_first_property(todo, ICAL_PRIORITY_PROPERTY)) {
        const int value = icalproperty_get_priority(priority);  // 0: undefined
        item.values["Importance"] = Variant(int32_t{value >= 1 && value <= 4 ? 2 : value >= 6 ? 0 : 1});
    }
    if (icalproperty* percent = icalcomponent_get_first_property(todo, ICAL_PERCENTCOMPLETE_PROPERTY))
        item.values["PercentComplete"] = Variant(int32_t{std::clamp(icalproperty_get_percentcomplete(percent), 0, 100)});
    return item;
}

}  // namespace

// A line that starts with a blank continues the one before it and opens nothing.
constexpr int kMaxNesting = 32;

void requireShallowNesting(std::string_view text, PimError failure) {
    int depth = 0;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        if (vb::asciiEqualsNoCase(line.substr(0, 6), "BEGIN:")) {
            if (++depth > kMaxNesting)
                raise(failure, "its parts are nested more than " + std::to_string(kMaxNesting) + " deep");
        } else if (vb::asciiEqualsNoCase(line.substr(0, 4), "END:") && depth > 0) {
            --depth;
        }
        start = end + 1;
    }
}

CalendarWriting CalendarWriting::at(Date now) {
    return {CalendarTimeZone::ofSystem(), icaltime_from_timet_with_zone(utcSecondsOf(now), 0, icaltimezone_get_utc_timezone())};
}

ComponentHandle componentOf(const ItemRecord& item, CalendarWriting& writing) {
    if (item.itemClass == ItemClass::Appointment) return eventOf(item, writing);
    if (item.itemClass == ItemClass::Task) return todoOf(item, writing);
    return nullptr;
}

std::optional<ItemRecord> itemOfComponent(icalcomponent* component, size_t number, CalendarZones& zones,
                                          PimError failure) {
    if (icalcomponent_isa(component) == ICAL_VEVENT_COMPONENT) return appointmentOf(component, number, zones, failure);
    if (icalcomponent_isa(component) == ICAL_VTODO_COMPONENT) return taskOf(component, number, zones, failure);
    return std::nullopt;
}

std::string calendarText(const std::vector<const ItemRecord*>& items, Date now) {
    CalendarWriting writing = CalendarWriting::at(now);
    std::vector<ComponentHandle> components;
    for (const ItemRecord* item : items)
        if (ComponentHandle component = componentOf(*item, writing)) components.push_back(std::move(component));
    ComponentHandle calendar(icalcomponent_new_vcalendar());
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid(std::string(kCalendarProductId).c_str()));
    // The zone before the events and tasks that name it, as calendar programs write it.
    writing.zone.addDefinitionTo(calendar.get());
    for (ComponentHandle& component : components) icalcomponent_add_component(calendar.get(), component.release());
    std::unique_ptr<char, decltype(&free)> text(icalcomponent_as_ical_string_r(calendar.get()), &free);
    return text ? std::string(text.get()) : std::string();
}

std::span<const std::string_view> calendarFieldsOf(ItemClass itemClass) {
    static constexpr std::string_view kEventFields[] = {"Subject", "Location", "Body", "Start", "End", "AllDayEvent"};
    static constexpr std::string_view kTaskFields[] = {"Subject", "Body",       "DueDate",        "Status",
                                                       "Complete", "Importance", "PercentComplete"};
    if (itemClass == ItemClass::Appointment) return kEventFields;
    if (itemClass == ItemClass::Task) return kTaskFields;
    return {};
}

std::vector<ItemRecord> readCalendar(std::string_view text) {
    requireShallowNesting(text, PimError::BadImportFile);
    const std::string copy(text);
    ComponentHandle root(icalparser_parse_string(copy.c_str()));
    if (!root || icalcomponent_isa(root.get()) != ICAL_VCALENDAR_COMPONENT)
        raise(PimError::BadImportFile, "no VCALENDAR");
    CalendarZones zones(root.get(), PimError::BadImportFile);
    std::vector<ItemRecord> items;
    size_t events = 0;
    size_t tasks = 0;
    for (icalcomponent* c = icalcomponent_get_first_component(root.get(), ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(root.get(), ICAL_ANY_COMPONENT)) {
        size_t& count = icalcomponent_isa(c) == ICAL_VEVENT_COMPONENT ? events : tasks;
        if (std::optional<ItemRecord> item = itemOfComponent(c, count + 1, zones, PimError::BadImportFile)) {
            ++count;
            items.push_back(std::move(*item));
        }
    }
    return items;
}

}  // namespace lumora::pim
