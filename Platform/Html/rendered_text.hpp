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
// True for an HTML element that begins and ends lines (paragraphs, headings, list items, ...).
bool isBlockElement(const Node& element);
// True for an HTML element whose text keeps its blanks and line breaks (pre, listing, ...).
bool isPreformatted(const Node& element);
// True for a replaced element (a picture, a form field, an embedded frame): it shows something,
// but not the text of its children.
bool isReplaced(const Node& element);

}  // namespace lumora::html
