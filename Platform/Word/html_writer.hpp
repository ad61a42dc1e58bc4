#pragma once
// The document as a web page that browsers and mail clients render (SaveAs with format 8), as
// a word processor's web-page save writes it: the first page's header, the text with its
// fonts, sizes, colours, alignment, indents and spacing resolved through the styles and
// written as inline CSS, hyperlinks that are safe to follow, tables with the borders and
// shading the document gives them, pictures in a folder beside the page, and the first page's
// footer. Every text is escaped; the page and its folder are written whole or not at all.

#include <filesystem>
#include <string>
#include <vector>

#include "docx_document.hpp"
#include "html_images.hpp"

namespace lumora::word {

struct WebPage {
    std::string html;
    std::vector<PageFile> files;  // to be written into the folder the page names; they point into the document
};

// title: the page's title; folder: the name of the folder beside the page its pictures are in.
WebPage renderWebPage(DocxDocument& document, const std::string& title, const std::string& folder);
// Errors: 75 when the page or its folder cannot be written.
void writeHtml(DocxDocument& document, const std::filesystem::path& file);

}  // namespace lumora::word
