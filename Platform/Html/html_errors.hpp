#pragma once
// The HTML document's own errors: one table of numbers and texts.

#include <cstddef>

#include "Automation/error.hpp"

namespace lumora::html {

inline constexpr const char* kHtmlErrorSource = "Lumora.HTMLDocument";

enum class HtmlError {
    DocumentTooLarge = 0x210,
    TooManyElements = 0x211,
    NestedTooDeeply = 0x212,
    TooManyAttributes = 0x213,
    TooComplex = 0x214,
};

// The error with its text; `limit` is the bound the input went past.
Error htmlError(HtmlError which, size_t limit);

}  // namespace lumora::html
