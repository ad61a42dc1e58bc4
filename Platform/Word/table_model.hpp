#pragma once
// A table's rows and cells as script counts them: Rows(i) the i-th w:tr, Cell(r, c) the c-th
// w:tc of row r, Columns the table's grid.

#include <cstdint>
#include <vector>

#include "story.hpp"

namespace lumora::word::table {

std::vector<XmlNode*> rows(XmlNode* table);
std::vector<XmlNode*> cells(XmlNode* row);
int32_t columnCount(XmlNode* table);
// A cell whose w:vMerge (without w:val="restart") continues the merged cell of the row above;
// its own content is hidden under that cell.
bool continuesMerge(const XmlNode* cell);
// A cell that starts or continues a vertical merge.
bool inVerticalMerge(const XmlNode* cell);
// Cell (row, column), 1-based, of the table with these rows. Error 5941 outside the table and
// for a cell hidden under the vertically merged cell above it.
XmlNode* cell(const std::vector<XmlNode*>& tableRows, int32_t row, int32_t column);
// The row a new row is shaped like: `before`, or the table's last row (found from its end).
// Error 5941 for a table without rows.
XmlNode* modelRow(XmlNode* table, XmlNode* before);
// A row like the last one, every cell empty but keeping its cell, paragraph and first run's
// properties, appended at the end (or before `before`). Returns it. It continues a vertical
// merge only where it goes inside one, never at the end.
XmlNode* addRow(XmlNode* table, XmlNode* before = nullptr);

}  // namespace lumora::word::table
