#pragma once
// A page document made from markup, as the host makes it from {"$html": "..."}.

#include <string>

#include "Automation/object.hpp"
#include "Platform/Html/html_document.hpp"
#include "tests/Automation/error_matchers.hpp"

namespace lumora::html::tests {

inline Object pageDocument(const std::string& markup) {
    Object document = makeObject<HtmlDocument>();
    document.call("write", markup);
    return document;
}

inline Object byId(const Object& document, const std::string& id) { return document.call("getElementById", id).toObject(); }

}  // namespace lumora::html::tests
