#pragma once
// The outline of a calendar or vCard text as a server holds it: its logical lines, and the
// components (BEGIN ... END) at the top and one level below, each with its own property lines.
// Reading the outline checks that every BEGIN has its END, so a resource cut short is refused
// before anything of it is read or kept; writing a resource again keeps the lines it does not
// replace exactly as they were.

#include <string>
#include <string_view>
#include <vector>

#include "content_lines.hpp"

namespace lumora::pim {

struct OutlinePart {
    std::string name;                  // upper case: VCALENDAR, VEVENT, VTIMEZONE, VCARD, ...
    size_t begin = 0;                  // the index of its BEGIN line
    size_t end = 0;                    // and of its END line
    std::vector<size_t> properties;    // its own property lines, not those of parts inside it
    std::vector<OutlinePart> children; // the parts one level inside it
};

struct ResourceOutline {
    std::vector<LogicalLine> lines;
    std::vector<OutlinePart> parts;  // at the top
};

// Raises PimError::BadResource naming the fault when an END closes no BEGIN or another one,
// a BEGIN has no END, a line stands outside every part, or there is no part at all.
ResourceOutline outlineOf(std::string_view text, SoftBreaks softBreaks);

// The value of a property of the part, unescaped, from its first line of that name; empty when
// it has none.
std::string propertyValue(const ResourceOutline& outline, const OutlinePart& part, std::string_view name);
bool hasProperty(const ResourceOutline& outline, const OutlinePart& part, std::string_view name);

}  // namespace lumora::pim
