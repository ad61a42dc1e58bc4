#pragma once
// The in-line line table of a quote: the last table of the Word template, whose first row holds
// one column tag per cell ("<unit_price>" or "<Unit Price>") over one empty line row. The quote's
// lines fill one row each, column by column from the line attribute the column's key names, and
// the column tags become the captions of the record's quote fields.

#include "Automation/object.hpp"

namespace lumora::control {

// Writes one row per child of `quoteRows` (Nothing for a quote without lines) under the header
// row, adding rows at the end until there is one per line; rows already there stay. A column
// whose key no attribute of a line names stays empty on that line.
void fillInlineLines(const Object& table, const Object& quoteRows);

// Replaces each header cell by the caption (label, else name) of the last quote field of the
// record whose tag matches the column's key. Errors: 91 when the record has no `Data/quotefields`.
void fillInlineHeaders(const Object& table, const Object& recordDocument);

}  // namespace lumora::control
