#pragma once
// The HTML document's own errors: one table of numbers and texts. The limit the input went past
// takes the place of "{}": raise(HtmlError::TooManyElements, std::to_string(limit)).

#include <string_view>

#include "Automation/error_table.hpp"

namespace lumora::html {

inline constexpr std::string_view kHtmlErrorSource = "Lumora.HTMLDocument";

// The values are the offsets from the object-error base that script sees.
enum class HtmlError {
    DocumentTooLarge = 0x210,
    TooManyElements = 0x211,
    NestedTooDeeply = 0x212,
    TooManyAttributes = 0x213,
    TooComplex = 0x214,
};

constexpr int32_t ownNumber(HtmlError error) { return kObjectErrorBase + static_cast<int32_t>(error); }

inline constexpr ErrorEntry<HtmlError> kHtmlErrors[] = {
    {HtmlError::DocumentTooLarge, ownNumber(HtmlError::DocumentTooLarge), kHtmlErrorSource, "The HTML document is larger than {} bytes"},
    {HtmlError::TooManyElements, ownNumber(HtmlError::TooManyElements), kHtmlErrorSource, "The HTML document has more than {} elements"},
    {HtmlError::NestedTooDeeply, ownNumber(HtmlError::NestedTooDeeply), kHtmlErrorSource, "The HTML document nests elements more than {} levels deep"},
    {HtmlError::TooManyAttributes, ownNumber(HtmlError::TooManyAttributes), kHtmlErrorSource, "An element of the HTML document has more than {} attributes"},
    {HtmlError::TooComplex, ownNumber(HtmlError::TooComplex), kHtmlErrorSource, "The HTML document nests its elements too deeply for its size (more than {} levels counted over all elements)"},
};

constexpr std::span<const ErrorEntry<HtmlError>> errorTable(HtmlError) { return kHtmlErrors; }

}  // namespace lumora::html
