#pragma once
// InsertFile: a file's content put in place of a range or the selection. A web page comes in as
// paragraphs and tables (a quote's line table, for one), a text file as its text; the file is
// found like a document to open (a bare name in the folder ChangeFileOpenDirectory set).

#include <string>

#include "Automation/variant.hpp"

namespace lumora::word {

class TextSpan;

// Replaces the span's text by the file's content; the span then stands, collapsed, after it.
// `range` names a part of the file to take, which only an empty value may do. Errors: 76, 53
// or 70 for a file that cannot be read, NotAPackage for one that is neither a web page nor
// text, NotInsertable for a document package, FileTooLarge, the web page's limits, and those
// of an edit (5904 across a cell's boundary, DocumentTooLarge).
void insertFile(TextSpan& span, const std::string& pagePath, const Variant& range);

}  // namespace lumora::word
