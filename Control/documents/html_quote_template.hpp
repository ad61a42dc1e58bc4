#pragma once
// A quote's external line table: an HTML table template, kept beside the Word template (in its
// folder on disk or a share, or on a web server), whose line row and optional group-heading row
// are marked with HTML comments. The template is copied into the temporary folder, expanded
// there into one row per quote line (and a group row whenever the group value changes), and
// the quote builder inserts the result into the Word document.
//
// The record document is reached by late-bound calls, so any DOM document object serves.

#include <cstdint>
#include <string>
#include <string_view>

#include "Automation/object.hpp"

namespace lumora::control {

// Copies the HTML table template named `htmlFileName` from the Word template's folder into the
// temporary folder, as the current minute and second and the file name ("59lines.htm" at
// 14:05:09), and returns the copy's path. A template path beginning "http" or "ftp" (any case)
// is fetched with GET. The copy is written whole or not at all. Errors: those of the copy or the
// request; TemplateNameNotPlain for a name with a folder in it; TemplateNotServed when the
// server answers with anything but success.
std::string FetchHtmlTemplate(std::string_view templatePath, std::string_view htmlFileName);

// Rewrites the temporary copy with the quote's lines filled in (`Data/quoterows`, captions
// and placeholder names from `Data/quotefields`). The bytes outside the expanded rows are kept
// as they were; a quote without lines gets the table without line rows. The file is replaced
// whole or left as it was. Errors: those of reading and writing the file and of the record
// document; LineRowNotMarked, GroupRowNotMarked and FilledTemplateTooLarge for a template
// that cannot be filled.
void FillHtmlTemplate(const std::string& temporaryPath, const Object& recordDocument);

// The value of a quote field on line `lineNumber` (1-based): the line's attribute named by the
// lower-cased field name, or, when that is empty, the one named by the lower-cased field tag.
// "" for an empty field name and for any failure (no such line, no such attribute).
std::string QuoteRowValue(int32_t lineNumber, const Object& recordDocument, std::string_view fieldName,
                          std::string_view fieldTag);

// A value made ready for an HTML cell: line breaks (also as the character references "&#xD"
// and "&#xA" the server may leave in) become one "<br />", tabs and pairs of blanks keep their
// width as non-breaking spaces. "&", "<" and ">" are escaped: a value is text, and shows as
// written.
std::string HtmlText(std::string_view text);

}  // namespace lumora::control
