#pragma once
// A mail merge run: the main document's body copied once per record into one new document,
// each copy its own section starting on a new page (with the main document's page setup,
// headers and footers), every merge field replaced by the record's value as plain text in the
// field's formatting; a header or footer holding merge fields is made anew for each record.
// The body is copied as markup, record by record, and written out as it goes, so ten thousand
// letters cost the markup they make and no more.

#include "docx_document.hpp"
#include "merge_data.hpp"
#include "merge_fill.hpp"
#include "package.hpp"

namespace lumora::word {

// The merged letters as a package, their main part written as text and never held as a tree.
// Errors: UnknownMergeField for a merge field that names no field of the data, DocumentTooLarge
// when the letters pass what one document may hold; nothing is made.
Package mergeDocument(DocxDocument& mainDocument, const MergeData& data, const MergeOptions& options);

}  // namespace lumora::word
