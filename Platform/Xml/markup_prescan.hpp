#pragma once
// A quick look over XML text before it is parsed, for the one cost the parser does not bound
// itself: it checks each attribute of a start tag against all the others, so an element with a
// hundred thousand attributes takes minutes. The scan estimates that work and refuses documents
// that would take more than a fraction of a second.

#include <string_view>

namespace lumora::xml {

// True when the attribute comparisons the parse would make stay within the limit.
bool attributeWorkWithinLimit(std::string_view text);

}  // namespace lumora::xml
