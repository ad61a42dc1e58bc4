#pragma once
// Bounds on the markup a document accepts, checked before the parser sees it.
//
// The HTML tree builder spends time on every tag in proportion to how deeply it is nested, and
// re-opens formatting elements (b, font, a, ...) that were closed implicitly, so a few megabytes
// of unclosed or mis-nested tags could cost minutes and gigabytes. A quick pass over the tags
// follows what the tree builder will keep open, closely enough to bound it: too many elements,
// a nesting too deep, too much nesting in all, or an element with too many attributes is
// refused with a clear error.

#include <cstddef>
#include <string_view>

namespace lumora::html {

struct MarkupLimits {
    size_t maxBytes = 32u << 20;
    size_t maxElements = 250'000;
    size_t maxDepth = 512;  // as deep as browsers build their trees
    size_t maxAttributes = 1'000;
    // The open elements the tree builder looks through, summed over every start tag: what a
    // large document nested deep costs it.
    size_t maxNestingWork = 25'000'000;
};

// Throws the HtmlError for the first limit the markup goes past.
void checkMarkupLimits(std::string_view markup, const MarkupLimits& limits = {});

}  // namespace lumora::html
