#pragma once
// Conversions through LibreOffice, run headless with a private profile folder: a document to
// PDF, and a legacy binary .doc/.dot to a package. One converter is kept warm between calls (a
// small UNO script holding a LibreOffice instance), since starting LibreOffice costs more than
// a conversion; where the UNO bridge is missing each conversion runs LibreOffice once. Every
// conversion is bounded in time; a converter that overruns is ended with everything it started.

#include <filesystem>
#include <string>

#include "docx_document.hpp"

namespace lumora::word {

// Whether LibreOffice is installed on this machine.
bool officeInstalled();

// Errors: PdfConverterMissing without LibreOffice, ConversionFailed when it produced nothing,
// 75 when the PDF could not be put in place.
void convertToPdf(DocxDocument& document, const std::filesystem::path& pdf);
// The package bytes of a legacy document. Errors as convertToPdf.
std::string convertToDocx(const std::filesystem::path& legacy);
// The PDF bytes of a web page, made from a copy of the page alone (the files beside it stay
// out of LibreOffice's reach). Errors as convertToPdf.
std::string convertWebPageToPdf(const std::filesystem::path& page);

// How many times this process has started LibreOffice (the warm converter once, and each
// conversion that runs it once).
int officeStarts();

// A conversion by a LibreOffice started for it alone, for comparison with the warm converter.
// Returns the file written into outputFolder.
std::filesystem::path convertOnce(const std::filesystem::path& input, const std::filesystem::path& outputFolder,
                                  const std::string& format);

}  // namespace lumora::word
