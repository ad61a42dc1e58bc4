#include "mail_html.hpp"

#include "Automation/error.hpp"
#include "Automation/vb/text.hpp"
#include "Platform/Html/html_parser.hpp"
#include "Platform/Html/markup_attributes.hpp"
#include "attachment_properties.hpp"

namespace lumora::pim {

namespace {

constexpr std::string_view kUtf8 = "utf-8";
constexpr std::string_view kHtmlUtf8ContentType = "text/html; charset=utf-8";

bool namesUtf8(std::string_view charset) {
    charset = vb::asciiTrimmed(charset);
    if (charset.size() >= 2 && (charset.front() == '"' || charset.front() == '\'') && charset.back() == charset.front())
        charset = vb::asciiTrimmed(charset.substr(1, charset.size() - 2));
    return vb::asciiEqualsNoCase(charset, "utf-8") || vb::asciiEqualsNoCase(charset, "utf8");
}

// The charset a Content-Type value names ("text/html; charset=windows-1252"); empty for none.
std::string_view charsetOf(std::string_view contentType) {
    const size_t at = vb::asciiLower(contentType).find("charset");
    if (at == std::string::npos) return {};
    std::string_view rest = vb::asciiTrimmed(contentType.substr(at + 7));
    if (rest.empty() || rest.front() != '=') return {};
    rest = vb::asciiTrimmed(rest.substr(1));
    return vb::asciiTrimmed(rest.substr(0, rest.find(';')));
}

// The edits that make every meta element of the markup declare UTF-8.
std::vector<html::AttributeEdit> utf8Declarations(const std::vector<html::WrittenElement>& elements) {
    std::vector<html::AttributeEdit> edits;
    for (const html::WrittenElement& element : elements) {
        if (element.name != "meta") continue;
        if (const html::WrittenAttribute* charset = element.attribute("charset"); charset && !namesUtf8(charset->value))
            edits.push_back({charset->valueOffset, charset->valueLength, std::string(kUtf8)});
        const html::WrittenAttribute* equiv = element.attribute("http-equiv");
        const html::WrittenAttribute* content = element.attribute("content");
        if (!equiv || !content || !vb::asciiEqualsNoCase(vb::asciiTrimmed(equiv->value), "content-type")) continue;
        const std::string_view declared = charsetOf(content->value);
        if (!declared.empty() && !namesUtf8(declared))
            edits.push_back({content->valueOffset, content->valueLength, std::string(kHtmlUtf8ContentType)});
    }
    return edits;
}

}  // namespace

std::string htmlBodyAsUtf8(std::string_view html) {
    std::string text = html::decodeDocumentBytes(html);
    try {
        return html::withAttributeValues(text, utf8Declarations(html::elementsWithAttributes(text)));
    } catch (const Error&) {
        return text;  // past the markup limits: sent as it is, the part's header still says UTF-8
    }
}

bool refersToContentId(std::string_view html, std::string_view contentId) {
    if (contentId.empty()) return false;
    const std::string lower = vb::asciiLower(html);
    for (size_t at = lower.find("cid:"); at != std::string::npos; at = lower.find("cid:", at + 4)) {
        const size_t end = at + 4 + contentId.size();
        if (html.substr(at + 4, contentId.size()) == contentId && (end == html.size() || !isContentIdCharacter(html[end])))
            return true;
    }
    return false;
}

}  // namespace lumora::pim
