#pragma once
// The two kinds of server resource behind dav_resources.hpp, which checks sizes and classes
// before it hands a text to one of them.

#include <string>
#include <string_view>

#include "pim_store.hpp"
#include "resource_outline.hpp"

namespace lumora::pim {

ItemRecord readCalendarResource(std::string_view text, ItemClass expected);
std::string calendarResourceText(const ItemRecord& item, std::string_view previous, Date now);

ItemRecord readCardResource(std::string_view text);
std::string cardResourceText(const ItemRecord& item, std::string_view previous);

// The marks' lines of a component or card, folded, for the item's marks.
std::string markLinesOf(const ItemRecord& item);
// The marks among the part's own properties, set on the item. Read from the text itself, as an
// empty value counts: the CRM asks whether a mark exists.
void readMarks(const ResourceOutline& outline, const OutlinePart& part, ItemRecord& item);

}  // namespace lumora::pim
