#pragma once
// The contact list's alphabetical order. The names are sorted by an XSLT stylesheet that the
// control writes to "Lumora.xsl" in the temporary folder and runs through the XML document
// object, so the order is the XSLT processor's text order.

#include <optional>
#include <vector>

#include "Control/frame/import_lists.hpp"

namespace lumora::control {

// The rows ordered by name, each keeping its entry id; rows with equal names keep their order.
// nullopt when any step of the sort failed: the failure is dropped here, and the caller, left
// without a sorted list, reports it in its own words.
std::optional<std::vector<ListedItem>> sortedByName(const std::vector<ListedItem>& rows);

}  // namespace lumora::control
