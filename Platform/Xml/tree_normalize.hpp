#pragma once
// Brings a freshly parsed or transformed tree into the shape the DOM presents: internal entity
// references replaced by their text (within an expansion budget), external ones dropped unread,
// adjacent text merged, whitespace-only text removed unless whitespace is preserved, and the
// nesting depth checked.

#include <cstddef>
#include <optional>

#include "parser.hpp"
#include "xml_handles.hpp"

namespace lumora::xml {

// Nullopt when the tree is acceptable; otherwise why it is not (no position).
std::optional<ParseFailure> normalizeTree(XmlDoc* doc, Whitespace whitespace, size_t expansionBudget);

}  // namespace lumora::xml
