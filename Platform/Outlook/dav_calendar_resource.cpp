// An appointment or task as a calendar server's resource: the outline of the text decides which
// component is the item, libical reads it, and a write splices the PIM's lines into the
// server's text in place of the ones it owns.

#include <algorithm>
#include <memory>

#include "dav_marks.hpp"
#include "dav_resource_kinds.hpp"
#include "icalendar_components.hpp"
#include "icalendar_zones.hpp"
#include "resource_outline.hpp"

namespace lumora::pim {

namespace {

std::string_view componentNameOf(ItemClass itemClass) { return itemClass == ItemClass::Task ? "VTODO" : "VEVENT"; }

// Components a calendar holds beside its items' ones, which say nothing about the item.
bool isAncillary(const OutlinePart& part) { return part.name == "VTIMEZONE" || part.name.rfind("X-", 0) == 0; }

// The VCALENDAR and, of its components, the one that is the item: the only one of the expected
// kind, or of a recurring event with its overrides (RFC 4791 section 4.1: one UID, the
// overrides with a RECURRENCE-ID), the master. A calendar of overrides alone is read by its
// first. Names the fault of a calendar that is not one item of the kind.
struct ItemInCalendar {
    const OutlinePart* calendar = nullptr;
    const OutlinePart* component = nullptr;
    size_t position = 0;  // among the components of its kind
};

ItemInCalendar itemIn(const ResourceOutline& outline, ItemClass expected) {
    if (outline.parts.size() != 1 || outline.parts[0].name != "VCALENDAR")
        raise(PimError::BadResource, "it is not one VCALENDAR");
    const OutlinePart& calendar = outline.parts[0];
    const std::string_view kind = componentNameOf(expected);
    std::vector<const OutlinePart*> components;
    for (const OutlinePart& part : calendar.children) {
        if (isAncillary(part)) continue;
        if (part.name != kind) raise(PimError::BadResource, "it holds a " + part.name + " where a " + std::string(kind) + " belongs");
        components.push_back(&part);
    }
    if (components.empty()) raise(PimError::BadResource, "it holds no " + std::string(kind));
    const std::string uid = propertyValue(outline, *components[0], "UID");
    size_t master = components.size();
    for (size_t i = 0; i < components.size(); ++i) {
        const std::string other = propertyValue(outline, *components[i], "UID");
        if (other != uid)
            raise(PimError::BadResource, "it holds " + std::string(kind) + "s of two UIDs, \"" + uid + "\" and \"" + other + "\"");
        if (hasProperty(outline, *components[i], "RECURRENCE-ID")) continue;
        if (master != components.size())
            raise(PimError::BadResource, "it holds two " + std::string(kind) + "s of the UID \"" + uid + "\" without a RECURRENCE-ID");
        master = i;
    }
    if (master == components.size()) master = 0;
    return {&calendar, components[master], master};
}

// The properties of the component the PIM writes in full: those it reads into its fields, a
// DURATION that would contradict the end it writes, and the marks.
bool ownsProperty(const ItemRecord& item, const std::string& name) {
    if (isMarkProperty(name)) return true;
    if (name == "UID") return !item.uid.empty();  // a record without one keeps the server's
    static constexpr std::string_view kEventOwned[] = {"DTSTAMP", "SUMMARY", "LOCATION", "DESCRIPTION",
                                                       "DTSTART", "DTEND",   "DURATION"};
    static constexpr std::string_view kTaskOwned[] = {"DTSTAMP", "SUMMARY", "DESCRIPTION", "DUE",
                                                      "STATUS",  "PRIORITY", "PERCENT-COMPLETE"};
    if (item.itemClass == ItemClass::Appointment)
        return std::find(std::begin(kEventOwned), std::end(kEventOwned), name) != std::end(kEventOwned);
    return std::find(std::begin(kTaskOwned), std::end(kTaskOwned), name) != std::end(kTaskOwned);
}

std::string icalText(icalproperty* property) {
    std::unique_ptr<char, decltype(&free)> text(icalproperty_as_ical_string_r(property), &free);
    return text ? std::string(text.get()) : std::string();
}

std::string icalText(icalcomponent* component) {
    std::unique_ptr<char, decltype(&free)> text(icalcomponent_as_ical_string_r(component), &free);
    return text ? std::string(text.get()) : std::string();
}

// The PIM's lines of the item's component, and the VTIMEZONE its times name (empty for none).
struct ItemLines {
    std::string properties;
    std::string zoneName;
    std::string zoneDefinition;
};

ItemLines itemLinesOf(const ItemRecord& item, Date now) {
    CalendarWriting writing = CalendarWriting::at(now);
    ComponentHandle component = componentOf(item, writing);
    ItemLines lines;
    for (icalproperty* p = icalcomponent_get_first_property(component.get(), ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(component.get(), ICAL_ANY_PROPERTY))
        lines.properties += icalText(p);
    lines.properties += markLinesOf(item);
    ComponentHandle holder(icalcomponent_new_vcalendar());
    writing.zone.addDefinitionTo(holder.get());
    if (icalcomponent* zone = icalcomponent_get_first_component(holder.get(), ICAL_VTIMEZONE_COMPONENT)) {
        lines.zoneName = writing.zone.name();
        lines.zoneDefinition = icalText(zone);
    }
    return lines;
}

bool definesZone(const ResourceOutline& outline, const OutlinePart& calendar, const std::string& name) {
    return std::any_of(calendar.children.begin(), calendar.children.end(), [&](const OutlinePart& part) {
        return part.name == "VTIMEZONE" && propertyValue(outline, part, "TZID") == name;
    });
}

// What a calendar of the PIM's own starts from when the server has none yet.
std::string emptyCalendarOf(ItemClass itemClass) {
    const std::string kind(componentNameOf(itemClass));
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:" + std::string(kCalendarProductId) + "\r\nBEGIN:" + kind +
           "\r\nEND:" + kind + "\r\nEND:VCALENDAR\r\n";
}

}  // namespace

ItemRecord readCalendarResource(std::string_view text, ItemClass expected) {
    requireShallowNesting(text, PimError::BadResource);
    const ResourceOutline outline = outlineOf(text, SoftBreaks::Ignored);
    const ItemInCalendar found = itemIn(outline, expected);
    const std::string copy(text);
    ComponentHandle root(icalparser_parse_string(copy.c_str()));
    if (!root || icalcomponent_isa(root.get()) != ICAL_VCALENDAR_COMPONENT) raise(PimError::BadResource, "no VCALENDAR");
    const icalcomponent_kind kind = expected == ItemClass::Task ? ICAL_VTODO_COMPONENT : ICAL_VEVENT_COMPONENT;
    icalcomponent* component = icalcomponent_get_first_component(root.get(), kind);
    for (size_t i = 0; component && i < found.position; ++i) component = icalcomponent_get_next_component(root.get(), kind);
    if (!component) raise(PimError::BadResource, "its " + std::string(componentNameOf(expected)) + " cannot be read");
    CalendarZones zones(root.get(), PimError::BadResource);
    std::optional<ItemRecord> item = itemOfComponent(component, found.position + 1, zones, PimError::BadResource);
    readMarks(outline, *found.component, *item);
    return std::move(*item);
}

std::string calendarResourceText(const ItemRecord& item, std::string_view previous, Date now) {
    const std::string base = previous.empty() ? emptyCalendarOf(item.itemClass) : std::string(previous);
    requireShallowNesting(base, PimError::BadResource);
    const ResourceOutline outline = outlineOf(base, SoftBreaks::Ignored);
    const ItemInCalendar found = itemIn(outline, item.itemClass);
    const ItemLines ours = itemLinesOf(item, now);
    const bool addZone = !ours.zoneName.empty() && !definesZone(outline, *found.calendar, ours.zoneName);
    // The zone before the first component, as calendar programs write it.
    const size_t zoneBefore = found.calendar->children.empty() ? found.calendar->end : found.calendar->children[0].begin;
    std::vector<bool> replaced(outline.lines.size(), false);
    for (size_t index : found.component->properties)
        replaced[index] = ownsProperty(item, propertyNameOf(outline.lines[index].text));
    std::string out;
    for (size_t i = 0; i < outline.lines.size(); ++i) {
        if (addZone && i == zoneBefore) out += ours.zoneDefinition;
        if (!replaced[i]) out += withCrLfEnds(outline.lines[i].raw);
        if (i == found.component->begin) out += ours.properties;
    }
    return out;
}

}  // namespace lumora::pim
