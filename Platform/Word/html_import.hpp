#pragma once
// A web page read as content to insert into a document: its paragraphs and tables as a word
// processor lays them out. The page is parsed by the HTML5 tree construction within the
// document reader's limits; nothing it names is fetched or opened (pictures stand as their
// alternative text, links as their text), and what a browser does not show (the head, scripts,
// styles, comments, hidden elements) does not come in.

#include <cstddef>
#include <string_view>

#include "imported_content.hpp"

namespace lumora::word {

// The most bytes of markup read: a quote of thousands of lines with long texts stays well within.
inline constexpr size_t kImportedMarkupLimit = size_t{64} << 20;

// Errors: the HTML document's limits (too large, too many elements, nested too deeply).
ImportedContent importHtml(std::string_view markup);

}  // namespace lumora::word
