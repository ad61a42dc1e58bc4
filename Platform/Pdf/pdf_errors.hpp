#pragma once
// The PDF converter's own errors: one table. Members that the document API answers with a
// Boolean turn these into False at their boundary; the others reach script as they are.

#include <string_view>

#include "Automation/error_table.hpp"

namespace lumora::pdf {

inline constexpr std::string_view kPdfErrorSource = "Lumora.PDF";

enum class PdfError {
    NoConverter,         // neither Chromium nor LibreOffice is installed: the objects cannot be made
    PageNotFound,        // the page to open is not a readable file
    PageTooLarge,        // the page is beyond what a conversion reads
    ConversionTimedOut,  // the converter did not finish within the time a conversion may take
    ConversionFailed,    // the converter ended, or answered without a PDF
    NoDocument,          // a view or document that holds nothing (closed, or never opened)
};

inline constexpr ErrorEntry<PdfError> kPdfErrors[] = {
    {PdfError::NoConverter, RuntimeError::CantCreateObject, kPdfErrorSource,
     "ActiveX component can't create object: no PDF converter (Chromium or LibreOffice) is installed"},
    {PdfError::PageNotFound, RuntimeError::FileNotFound, kPdfErrorSource, "File not found: {}"},
    {PdfError::PageTooLarge, kObjectErrorBase + 0x1A01, kPdfErrorSource, "The page {} is too large to convert"},
    {PdfError::ConversionTimedOut, kObjectErrorBase + 0x1A02, kPdfErrorSource,
     "The conversion of {} to PDF did not finish in time and was ended"},
    {PdfError::ConversionFailed, kObjectErrorBase + 0x1A03, kPdfErrorSource, "The page could not be converted to PDF: {}"},
    {PdfError::NoDocument, kObjectErrorBase + 0x1A04, kPdfErrorSource, "The document is not open"},
};

constexpr std::span<const ErrorEntry<PdfError>> errorTable(PdfError) { return kPdfErrors; }

}  // namespace lumora::pdf
