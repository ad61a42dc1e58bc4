#pragma once
// The two kinds of server resource behind dav_resources.hpp, which checks sizes and classes
// before it hands a text to one of them.

#include <string>
#include <string_view>

#include "pim_store.hpp"

namespace lumora::pim {

ItemRecord readCalendarResource(std::string_view text, ItemClass expected);
std::string calendarResourceText(const ItemRecord& item, std::string_view previous, Date now);

ItemRecord readCardResource(std::string_view text);
std::string cardResourceText(const ItemRecord& item, std::string_view previous);

// The marks' lines of a component or card, folded, for the item's marks.
std::string markLinesOf(const ItemRecord& item);

}  // namespace lumora::pim
