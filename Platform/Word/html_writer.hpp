#pragma once
// The document as a web page that browsers and mail clients render (SaveAs with format 8):
// the headers' text, the paragraphs with their runs' bold, italic and underline, tables, and
// the footers' text. Every text is escaped; the page is written whole or not at all.

#include <filesystem>
#include <string>

#include "docx_document.hpp"

namespace lumora::word {

std::string documentHtml(DocxDocument& document);
// Errors: 75 when the file cannot be written.
void writeHtml(DocxDocument& document, const std::filesystem::path& file);

}  // namespace lumora::word
