#pragma once
// Imported content written as word-processing markup: paragraphs as w:p with their alignment
// and runs, tables as w:tbl with a column grid sized as the page asked (equal shares of the room
// where it did not say), spanned columns as w:gridSpan, spanned rows as w:vMerge, and borders
// drawn only where the page drew them.

#include <cstdint>

#include "Platform/Xml/xml_handles.hpp"
#include "imported_content.hpp"

namespace lumora::word {

// The width a page gets when its section says nothing: A4 less two margins of an inch.
inline constexpr int32_t kDefaultTextWidth = 11906 - 2 * 1440;

// A new element, not yet linked, for the document `doc` whose children are the content's blocks.
// textWidth, in twips, is the room a table of the top level has; percentages count against it.
xml::NodeHandle blockMarkup(xml::XmlDoc* doc, const ImportedContent& content, int32_t textWidth);

}  // namespace lumora::word
