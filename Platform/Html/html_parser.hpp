#pragma once
// Builds the page's document from markup the way a browser does (the HTML5 tree construction:
// implied html, head, body and tbody, unclosed tags closed, mis-nested formatting repaired).

#include <memory>
#include <string_view>

#include "dom.hpp"
#include "markup_limits.hpp"

namespace lumora::html {

// Throws an HtmlError when the markup goes past the limits.
std::shared_ptr<Tree> parseDocument(std::string_view markup, const MarkupLimits& limits = {});

// The text of a document file: a byte-order mark decides UTF-8 or UTF-16; otherwise
// well-formed UTF-8 is taken as it is and anything else is read as Windows-1252, the
// encoding browsers fall back to for such pages.
std::string decodeDocumentBytes(std::string_view bytes);

}  // namespace lumora::html
