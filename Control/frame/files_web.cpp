// The web side of the file members: reading a page from the CRM's web server and listing the
// templates of a web folder from the links of its listing page.

#include <vector>

#include "Automation/traps.hpp"
#include "Automation/vb/strings.hpp"
#include "Platform/Xml/http_fetch.hpp"
#include "Control/frame/control_messages.hpp"
#include "failure_forms.hpp"
#include "files_operations.hpp"
#include "outside_apps.hpp"

namespace lumora::control {

namespace {

std::string trimmedWhitespace(const std::string& text) {
    const auto begin = text.find_first_not_of(" \t\r\n\f\v");
    if (begin == std::string::npos) return std::string();
    return text.substr(begin, text.find_last_not_of(" \t\r\n\f\v") - begin + 1);
}

// The texts of the page's links, in document order. The page is read by the HTML parser, so
// links are found however the server writes them (<A HREF, <a href, attributes in any order)
// and their texts come with character references decoded.
std::vector<std::string> linkTexts(const std::string& page) {
    const Object document = createApplication(progid::HtmlDocument);
    document.call("write", page);
    std::vector<std::string> texts;
    for (const Variant& item : document.call("getElementsByTagName", "a").toObject().elements()) {
        const Object anchor = item.toObject();
        // An anchor without an address is a bookmark, not a link.
        if (!anchor.call("hasAttribute", "href").toBool()) continue;
        // Collecting stops one past the limit: that much tells the page has too many.
        if (texts.size() == kMaxCollectedLinks) raise(RuntimeError::SubscriptOutOfRange);
        texts.push_back(trimmedWhitespace(anchor.get("innerText").toString()));
    }
    return texts;
}

}  // namespace

std::string ReadUrl(std::string_view address) { return xml::readUrl(address); }

std::string WebTemplateList(std::string_view address) {
    return trapped(
        [&] {
            std::vector<std::string> templates;
            for (const std::string& text : linkTexts(ReadUrl(address))) {
                if (templates.size() == kMaxListedTemplates) break;
                // Empty texts and bracketed ones ("[To Parent Directory]") are no templates.
                if (!text.empty() && vb::left(text, 1) != "[") templates.push_back(text);
            }
            return vb::join(templates, "\\");
        },
        [&](const Error& error) {
            tell(std::string(msg::WebTemplateListFailedStart) + std::string(address) +
                 std::string(msg::WebTemplateListFailedEnd) + error.description());
            return std::string();
        });
}

}  // namespace lumora::control
