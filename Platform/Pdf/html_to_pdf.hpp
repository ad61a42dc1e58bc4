#pragma once
// Turning a web page into a PDF with what this machine has: Chromium first, LibreOffice where
// Chromium is missing. Programs are found on PATH, so a test (or a person) who takes one off
// PATH has the converter behave as on a machine without it.

#include <chrono>
#include <filesystem>
#include <string>

namespace lumora::pdf {

// How long one conversion may take before the converter is ended and the conversion fails.
inline constexpr std::chrono::seconds kConversionTimeLimit{30};

// Whether this machine can convert a page at all.
bool converterInstalled();

// The PDF bytes of the page at `page` (a local path). Errors: PageNotFound, PageTooLarge,
// ConversionTimedOut, ConversionFailed, NoConverter; 18 when the waiting call was cancelled.
std::string convertPageToPdf(const std::filesystem::path& page);

// The limit conversions keep from now on (kConversionTimeLimit unless changed); for hosts that
// convert larger pages, and for tests of the limit.
void setConversionTimeLimit(std::chrono::milliseconds limit);
std::chrono::milliseconds conversionTimeLimit();

}  // namespace lumora::pdf
