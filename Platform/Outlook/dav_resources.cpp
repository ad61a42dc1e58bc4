#include "dav_resources.hpp"

#include "dav_marks.hpp"
#include "dav_resource_kinds.hpp"
#include "content_lines.hpp"
#include "icalendar_items.hpp"
#include "pim_errors.hpp"
#include "vcard_items.hpp"

namespace lumora::pim {

namespace {

void requireResourceSize(std::string_view text) {
    if (text.size() > kMaxResourceBytes) raise(PimError::ResourceTooLarge, std::to_string(kMaxResourceBytes >> 20) + " MB");
}

bool isCalendarClass(ItemClass itemClass) { return itemClass == ItemClass::Appointment || itemClass == ItemClass::Task; }

void requireResourceClass(ItemClass itemClass) {
    if (!isCalendarClass(itemClass) && itemClass != ItemClass::Contact)
        raise(PimError::BadItemType, std::to_string(static_cast<int32_t>(itemClass)));
}

}  // namespace

ParsedResource readResource(std::string_view text, ItemClass expected) {
    requireResourceClass(expected);
    requireResourceSize(text);
    return {isCalendarClass(expected) ? readCalendarResource(text, expected) : readCardResource(text)};
}

bool isOtherCalendarClass(std::string_view text, ItemClass expected) {
    if (!isCalendarClass(expected) || text.size() > kMaxResourceBytes) return false;
    const std::string_view other = expected == ItemClass::Task ? "VEVENT" : "VTODO";
    try {
        const ResourceOutline outline = outlineOf(text, SoftBreaks::Ignored);
        if (outline.parts.size() != 1 || outline.parts[0].name != "VCALENDAR") return false;
        bool holdsOther = false;
        for (const OutlinePart& part : outline.parts[0].children) {
            if (part.name == other)
                holdsOther = true;
            else if (part.name == "VEVENT" || part.name == "VTODO")
                return false;  // a mixed resource is no item of either class: readResource names it
        }
        return holdsOther;
    } catch (const Error&) {
        return false;
    }
}

std::string resourceText(const ItemRecord& item, std::string_view previous, Date now) {
    requireResourceClass(item.itemClass);
    requireResourceSize(previous);
    return isCalendarClass(item.itemClass) ? calendarResourceText(item, previous, now) : cardResourceText(item, previous);
}

std::vector<std::string> resourceFieldsOf(ItemClass itemClass) {
    std::vector<std::string> fields;
    for (std::string_view field : itemClass == ItemClass::Contact ? vcardFields() : calendarFieldsOf(itemClass))
        fields.emplace_back(field);
    for (std::string_view field : markFieldsOf(itemClass)) fields.emplace_back(field);
    return fields;
}

std::string markLinesOf(const ItemRecord& item) {
    std::string lines;
    for (const Mark& mark : marksOf(item)) appendFolded(lines, mark.propertyName + ":" + escapedText(mark.value, Semicolons::Escaped));
    return lines;
}

void readMarks(const ResourceOutline& outline, const OutlinePart& part, ItemRecord& item) {
    for (size_t index : part.properties) {
        const std::string& line = outline.lines[index].text;
        const std::string name = propertyNameOf(line);
        if (isMarkProperty(name)) applyMark(item, name, unescapedText(line.substr(valueStartOf(line))));
    }
}

}  // namespace lumora::pim
