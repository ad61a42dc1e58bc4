#pragma once
// Building a quote in an open Word document: its line table filled from the record document's
// quote lines, either the table the template ends with (the in-line table) or an HTML table
// template the template names in a "<htmltable>" paragraph (the external table), and then
// every tag of the record replaced. Word and the record document are reached late-bound only.

#include <string>
#include <string_view>

#include "Automation/object.hpp"
#include "Automation/variant.hpp"
#include "record_tag_lists.hpp"

namespace lumora::control {

// Completes the quote in `document` (open on `templatePath` in `application`), filling `tags`
// from the record. True when the document was completed (also after telling the user that the
// template has no line table); false after its own message box, which names the stage that
// failed. Nothing escapes it but a cancelled call.
bool BuildQuoteDocument(RecordTagLists& tags, const Object& recordDocument, const Object& application,
                        const Object& document, const std::string& templatePath, std::string_view replaceInHeader);

// "" for Null (and Empty), otherwise the value as text.
std::string NullToText(const Variant& value);

// A header cell's column key: every "<" and ">" removed, blanks made "_", control characters
// (the cell's end marks among them) removed. "<Unit Price>" gives "Unit_Price".
std::string QuoteHeaderKey(std::string_view text);

}  // namespace lumora::control
