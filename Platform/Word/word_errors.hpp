#pragma once
// The word processor's own errors: one table. Script sees the numbers the word processor's
// callers test (5904 for a refused range edit, 5941 for a missing collection member), and the
// package reader names what is wrong with a file instead of failing somewhere deep inside.

#include <string_view>

#include "Automation/error_table.hpp"

namespace lumora::word {

inline constexpr std::string_view kWordErrorSource = "Lumora.Word";

enum class WordError {
    RangeCannotBeEdited,  // a deletion across a table cell's boundary or of its end mark
    NoSuchMember,         // Cell(r, c), Rows(i), Tables(i) beyond what exists
    NotAPackage,          // the file is not a zip package at all
    NoMainDocument,       // a zip without word/document.xml
    PackageTooLarge,      // an entry, or all of them, beyond the size limits (a zip bomb)
    UnsafeEntryName,      // an entry name that climbs out of the package or is absolute
    BadPart,              // a part that is not well-formed XML, has a DTD or exceeds the limits
    FileNotWritten,       // a save that could not complete
    DocumentClosed,       // a member of a document that was closed
    BadFileFormat,        // a FileFormat or ExportFormat this word processor does not write
    PdfConverterMissing,  // no LibreOffice on this machine
    LegacyNeedsOffice,    // a legacy .doc/.dot, and no LibreOffice to convert it
    ConversionFailed,     // LibreOffice ran and did not produce the file
    UnsupportedFind,      // wildcard, sounds-like and word-form searches
    NoTemplate,           // Documents.Add or Open of a file that does not exist
    NoDocumentOpen,       // the selection asked for while no document is open
    BadArgument,          // a unit, item or argument the member does not take
    ObjectDeleted,        // a table, row or field script still holds after it was deleted
    DocumentTooLarge,     // an edit that would take the document's text past its limit
    FileTooLarge,         // a file to insert beyond what is read of one
    NotInsertable,        // a Word document or template given to InsertFile
    NotMergeData,         // a mail merge data file that is not comma-separated text, a data document without a table
    NoDataSource,         // a mail merge run or asked for its fields before a data source is attached
    UnknownMergeField,    // a merge field naming no field of the data source
};

inline constexpr ErrorEntry<WordError> kWordErrors[] = {
    {WordError::RangeCannotBeEdited, RuntimeError::WordRangeCannotBeEdited, kWordErrorSource, ""},
    {WordError::NoSuchMember, 5941, kWordErrorSource, "The requested member of the collection does not exist."},
    {WordError::NotAPackage, kObjectErrorBase + 0x1601, kWordErrorSource,
     "The file {} is not a Word document package (not a zip archive)"},
    {WordError::NoMainDocument, kObjectErrorBase + 0x1602, kWordErrorSource,
     "The file {} has no main document part (word/document.xml)"},
    {WordError::PackageTooLarge, kObjectErrorBase + 0x1603, kWordErrorSource,
     "The file {} unpacks beyond the allowed size and is refused"},
    {WordError::UnsafeEntryName, kObjectErrorBase + 0x1604, kWordErrorSource,
     "The package holds an entry with an unsafe name and is refused"},
    {WordError::BadPart, kObjectErrorBase + 0x1605, kWordErrorSource, "Cannot read the document part {}"},
    {WordError::FileNotWritten, kObjectErrorBase + 0x1606, kWordErrorSource, "The document could not be saved to {}"},
    {WordError::DocumentClosed, kObjectErrorBase + 0x1607, kWordErrorSource, "The document has been closed"},
    {WordError::BadFileFormat, kObjectErrorBase + 0x1608, kWordErrorSource, "The file format {} is not supported"},
    {WordError::PdfConverterMissing, kObjectErrorBase + 0x1609, kWordErrorSource,
     "PDF export needs LibreOffice, which is not installed"},
    {WordError::LegacyNeedsOffice, kObjectErrorBase + 0x160C, kWordErrorSource,
     "The legacy document {} can only be opened through LibreOffice, which is not installed"},
    {WordError::ConversionFailed, kObjectErrorBase + 0x160A, kWordErrorSource, "LibreOffice could not convert {}"},
    {WordError::UnsupportedFind, kObjectErrorBase + 0x160B, kWordErrorSource, "This kind of search is not supported: {}"},
    {WordError::NoTemplate, RuntimeError::FileNotFound, kWordErrorSource, ""},
    {WordError::NoDocumentOpen, 4248, kWordErrorSource, "This command is not available because no document is open."},
    {WordError::BadArgument, RuntimeError::InvalidProcedureCall, kWordErrorSource, ""},
    {WordError::ObjectDeleted, 5825, kWordErrorSource, "Object has been deleted."},
    // Out of memory, as the limit stands in for it: callers that end their work when memory runs
    // out end it here too, before the memory is gone.
    {WordError::DocumentTooLarge, RuntimeError::OutOfMemory, kWordErrorSource,
     "Out of memory: the document would grow beyond {} characters"},
    {WordError::FileTooLarge, kObjectErrorBase + 0x160D, kWordErrorSource, "The file {} is too large to be inserted"},
    {WordError::NotInsertable, kObjectErrorBase + 0x160E, kWordErrorSource,
     "The document {} cannot be inserted: only web pages and text files can"},
    {WordError::NotMergeData, kObjectErrorBase + 0x160F, kWordErrorSource,
     "The file {} is not a mail merge data source: neither comma-separated text nor a document with a table"},
    {WordError::NoDataSource, kObjectErrorBase + 0x1610, kWordErrorSource,
     "The document has no mail merge data source attached"},
    {WordError::UnknownMergeField, kObjectErrorBase + 0x1611, kWordErrorSource,
     "The merge field {} names no field of the data source"},
};

constexpr std::span<const ErrorEntry<WordError>> errorTable(WordError) { return kWordErrors; }

}  // namespace lumora::word
