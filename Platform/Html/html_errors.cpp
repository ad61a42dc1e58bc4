#include "html_errors.hpp"

#include <string>

namespace lumora::html {

namespace {

struct ErrorText {
    HtmlError error;
    const char* before;  // the text before the limit
    const char* after;   // and after it
};

constexpr ErrorText kTexts[] = {
    {HtmlError::DocumentTooLarge, "The HTML document is larger than ", " bytes"},
    {HtmlError::TooManyElements, "The HTML document has more than ", " elements"},
    {HtmlError::NestedTooDeeply, "The HTML document nests elements more than ", " levels deep"},
    {HtmlError::TooManyAttributes, "An element of the HTML document has more than ", " attributes"},
    {HtmlError::TooComplex, "The HTML document nests its elements too deeply for its size (more than ",
     " levels counted over all elements)"},
};

}  // namespace

Error htmlError(HtmlError which, size_t limit) {
    for (const ErrorText& text : kTexts)
        if (text.error == which)
            return Error::objectError(static_cast<int32_t>(which), text.before + std::to_string(limit) + text.after,
                                      kHtmlErrorSource);
    return Error(RuntimeError::InvalidProcedureCall, kHtmlErrorSource);
}

}  // namespace lumora::html
