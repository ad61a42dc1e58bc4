#pragma once
// innerText: the text of a node as a browser renders it, to the precision a CRM form needs.
// Runs of white space collapse to one blank and vanish at the start and end of lines; block
// elements begin and end lines (paragraphs leave a blank line); <br> breaks a line; table cells
// are separated by tabs and rows by line breaks; preformatted text keeps its spacing; scripts,
// styles, hidden elements and form fields' own contents show nothing.

#include <string>

#include "dom.hpp"

namespace lumora::html {

std::string renderedText(const Node& node);
// True when the element takes no part in rendering (script, style, hidden, display:none).
bool isNotRendered(const Node& element);

}  // namespace lumora::html
