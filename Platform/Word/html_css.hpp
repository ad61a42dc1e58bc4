#pragma once
// What the web page reader takes from a page's inline styles and size attributes: one
// property's value, lengths as the word processor measures them, and whether a style draws a
// border. Style sheets are not read: a table template states its look on its elements.

#include <optional>
#include <string>
#include <string_view>

#include "imported_content.hpp"

namespace lumora::word {

// The value of a property in a style attribute ("font-weight: Bold" gives "bold"): lower case,
// trimmed, without "!important"; the last declaration of the property wins, as in CSS.
std::optional<std::string> cssProperty(std::string_view style, std::string_view property);

// A length as a width attribute or CSS gives it: "120" and "120px" (at 96 pixels to the inch),
// "90pt", "2.5cm", "25mm", "1in", "50%". nullopt for anything else, "auto" and negative ones.
std::optional<ImportedWidth> htmlLength(std::string_view text);

// Whether the style draws a visible border: a border shorthand or style other than none or
// hidden, whose width is not zero.
bool cssDrawsBorder(std::string_view style);

}  // namespace lumora::word
