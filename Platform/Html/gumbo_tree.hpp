#pragma once
// Gumbo's parse result for the files of this folder that parse with it: an owning handle, freed
// with the options it was parsed with, and the two readings of its tree they share. Private to
// this folder, so no other header sees gumbo's C types.

#include <gumbo.h>

#include <memory>
#include <new>
#include <string>
#include <string_view>

namespace lumora::html {

struct GumboOutputDeleter {
    const GumboOptions* options;
    void operator()(GumboOutput* output) const { gumbo_destroy_output(options, output); }
};
using GumboOutputPtr = std::unique_ptr<GumboOutput, GumboOutputDeleter>;

// Parses with `options`, which must outlive the result; throws bad_alloc when gumbo gives none.
inline GumboOutputPtr parseWithGumbo(const GumboOptions& options, std::string_view markup) {
    GumboOutputPtr output(gumbo_parse_with_options(&options, markup.data(), markup.size()), GumboOutputDeleter{&options});
    if (!output) throw std::bad_alloc();
    return output;
}

// The element's name as the DOM gives it: lower case, SVG's mixed-case names kept.
std::string elementName(const GumboElement& element);
// The children of a document or an element; null for text and comments.
const GumboVector* childrenOf(const GumboNode& node);

}  // namespace lumora::html
