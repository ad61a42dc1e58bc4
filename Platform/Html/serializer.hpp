#pragma once
// innerHTML and outerHTML: the markup of a node as browsers serialise it (the HTML fragment
// serialisation algorithm), so a parsed document reads back as the browser would show it.

#include <string>
#include <string_view>

#include "dom.hpp"

namespace lumora::html {

std::string outerHtml(const Node& node);
std::string innerHtml(const Node& node);
// An attribute's value as the serialisation writes it: in double quotes, "&" and '"' escaped.
void appendAttributeValue(std::string& out, std::string_view value);
// Text as element content: "&", "<" and ">" escaped, so markup in it shows as written.
std::string escapedText(std::string_view text);

}  // namespace lumora::html
