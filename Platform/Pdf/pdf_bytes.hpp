#pragma once
// What the document objects need to know of the PDF format itself: its signature, how many
// pages a file holds, and a blank document for one created from nothing.

#include <string>
#include <string_view>

namespace lumora::pdf {

// True when the bytes start as a PDF file does ("%PDF-").
bool looksLikePdf(std::string_view bytes);

// The number of page objects in the file (those outside compressed object streams, which is
// how the converters used here write them).
int countPages(std::string_view bytes);

// A PDF with one blank A4 page.
std::string blankPdf();

}  // namespace lumora::pdf
