#pragma once
// One XML part of a package, parsed with the hardened parser (no network, no external
// entities, size and depth limits) and refused outright when it carries a document type
// declaration, which no word-processing part needs and every entity attack does.

#include <cstdint>
#include <string>
#include <string_view>

#include "Platform/Xml/xml_handles.hpp"

namespace lumora::word {

struct XmlPart {
    std::string name;  // the entry name in the package
    xml::DocHandle doc;
    uint64_t edits = 0;  // changes made since it was read; a part never edited is saved as it came
};

// Errors: BadPart, naming the part and the reason.
XmlPart parsePart(std::string_view name, std::string_view bytes);
// The part's XML text as it is saved.
std::string serializePart(const XmlPart& part);

}  // namespace lumora::word
