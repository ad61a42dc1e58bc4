#pragma once
// A table's rows and cells as browsers list them. The parser puts rows written straight into
// a table into an implied tbody, so a table's first child element is normally its body
// section, whose children are the rows.

#include <cstdint>
#include <string_view>
#include <vector>

#include "dom.hpp"

namespace lumora::html {

bool isTableSection(const Node& element);
std::vector<Node*> childrenNamed(const Node& element, std::string_view tag);
// All rows: the head's, then the bodies' and any direct rows in order, then the foot's.
std::vector<Node*> tableRows(const Node& table);
std::vector<Node*> sectionRows(const Node& section);
std::vector<Node*> rowCells(const Node& row);
// The row's position in its table's rows, -1 outside a table.
int32_t rowIndex(const Node& row);
int32_t cellIndex(const Node& cell);

}  // namespace lumora::html
