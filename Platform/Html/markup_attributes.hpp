#pragma once
// The attributes of a document's elements where they are written in its markup, read as the
// HTML5 tree construction reads them (comments, scripts and misplaced tags are no elements).
// A caller that changes a few values (a mail body's image sources, its declared encoding) edits
// just those, and every other byte of the markup stays as it was written.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "markup_limits.hpp"

namespace lumora::html {

struct WrittenAttribute {
    std::string name;   // lower case
    std::string value;  // character references decoded
    // Where the value is written, quotes included; 0 long for an attribute without a value.
    size_t valueOffset = 0;
    size_t valueLength = 0;
};

struct WrittenElement {
    std::string name;  // lower case
    std::vector<WrittenAttribute> attributes;
    // The attribute of that (lower-case) name; null when the element has none.
    const WrittenAttribute* attribute(std::string_view attributeName) const;
};

// The elements that have attributes, in document order. Throws an HtmlError when the markup
// goes past the limits.
std::vector<WrittenElement> elementsWithAttributes(std::string_view markup, const MarkupLimits& limits = {});

// A new value for an attribute written with one.
struct AttributeEdit {
    size_t valueOffset = 0;
    size_t valueLength = 0;
    std::string value;
};

// The markup with each edited value written anew, quoted and escaped. Edits that overlap an
// earlier one or lie outside the markup are left out.
std::string withAttributeValues(std::string_view markup, std::vector<AttributeEdit> edits);

}  // namespace lumora::html
