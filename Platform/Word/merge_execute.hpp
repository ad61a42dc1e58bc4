#pragma once
// A mail merge run: the main document's body copied once per record into one new document,
// each copy its own section starting on a new page (with the main document's page setup,
// headers and footers), every merge field replaced by the record's value as plain text in the
// field's formatting. The body is copied as markup, record by record, and written out as it
// goes, so ten thousand letters cost the markup they make and no more.

#include <memory>

#include "docx_document.hpp"
#include "merge_data.hpp"

namespace lumora::word {

struct MergeOptions {
    // A paragraph holding merge fields that are all empty, and otherwise only blanks, is left out.
    bool suppressBlankLines = true;
};

// Errors: UnknownMergeField for a merge field that names no field of the data, DocumentTooLarge
// when the letters pass what one document may hold; nothing is made.
std::unique_ptr<DocxDocument> mergeDocument(DocxDocument& mainDocument, const MergeData& data,
                                            const MergeOptions& options);

}  // namespace lumora::word
