#pragma once
// Gumbo's parse result for the files of this folder that parse with it, owned and freed with the
// options it was parsed with, and the two readings of its tree they share. Private to this
// folder, so no other header sees gumbo's C types.

#include <gumbo.h>

#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "markup_limits.hpp"

namespace lumora::html {

struct GumboOutputDeleter {
    const GumboOptions* options;
    void operator()(GumboOutput* output) const { gumbo_destroy_output(options, output); }
};

// The markup parsed, once it is within the limits (an HtmlError otherwise). Parse errors are of
// no use here, and recording them costs memory per open element.
class GumboParse {
public:
    GumboParse(std::string_view markup, const MarkupLimits& limits) : m_options(kGumboDefaultOptions) {
        checkMarkupLimits(markup, limits);
        m_options.max_errors = 0;
        m_output.reset(gumbo_parse_with_options(&m_options, markup.data(), markup.size()));
        if (!m_output) throw std::bad_alloc();
    }
    GumboParse(const GumboParse&) = delete;
    GumboParse& operator=(const GumboParse&) = delete;

    const GumboNode& document() const { return *m_output->document; }

private:
    GumboOptions m_options;  // gumbo frees its output with the options it parsed with
    std::unique_ptr<GumboOutput, GumboOutputDeleter> m_output{nullptr, GumboOutputDeleter{&m_options}};
};

// The element's name as the DOM gives it: lower case, SVG's mixed-case names kept.
std::string elementName(const GumboElement& element);
// The children of a document or an element; null for text and comments.
const GumboVector* childrenOf(const GumboNode& node);

}  // namespace lumora::html
