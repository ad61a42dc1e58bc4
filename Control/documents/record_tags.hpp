#pragma once
// Tag data of the record document: the XML the page hands over with a letter or a quote. The
// extractions turn its field definitions and data entries into the control's three parallel
// lists (search tag, field name, value) that the Word replacement walks by index; the list
// routines find the list data a seminar letter puts into a Word table and fill that table.
//
// Every document, node and table is reached by late-bound calls, so any DOM document object and
// any Word table object serve.

#include <optional>
#include <string>
#include <string_view>

#include "Automation/object.hpp"
#include "record_tag_lists.hpp"

namespace lumora::control {

// The text of the element's attribute of that name (compared exactly), with the mis-decoded
// pound sign "Â£" repaired to "£"; "" when the element has no such attribute.
std::string GetAttributeText(const Object& element, std::string_view attributeName);

// As GetAttributeText, but nullopt when the attribute is absent, which some rules tell apart
// from an attribute that is present and empty.
std::optional<std::string> attributeTextIfPresent(const Object& element, std::string_view attributeName);

// Rebuilds the tag lists from the seminar layout (root `record`). It has no trap of its own:
// an error ends it and reaches the caller with the lists as filled so far.
void ExtractRecordTagData(RecordTagLists& tags, const Object& recordDocument);

// Rebuilds the tag lists from the letter and quote layout (root `Data`, selected relative to
// `node`). Traps its own errors: the user is told the error and the step, and the lists keep
// what was written before it.
void ExtractTagData(RecordTagLists& tags, const Object& node);

// Word cell text made comparable: every control character (cell and paragraph marks among
// them) becomes a blank, and blanks at either end are removed.
std::string CleanCellText(std::string_view text);

// The list element (`record/listitemname` with the matching `listkey`) for a table's header
// tag: "<people>" and "<people_firstname>" both name the list "people". Nothing when the record
// has no such list.
Object FindListItems(const Object& recordDocument, std::string_view headerTag);

// Writes the items of a list element into a Word table whose first row holds header tags: one
// row per item (rows are added, never removed), each keyed column filled from the item's
// matching field, and the header tags replaced by the fields' captions.
void FillListTable(const Object& table, const Object& listElement);

}  // namespace lumora::control
