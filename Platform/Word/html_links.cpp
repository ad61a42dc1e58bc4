#include "html_links.hpp"

#include <libxml/tree.h>

#include <algorithm>
#include <cctype>

#include "Automation/vb/text.hpp"
#include "wordml.hpp"

namespace lumora::word {

bool isSafeLinkTarget(const std::string& target) {
    // A control character or blank inside the scheme is how "java\tscript:" passes a check
    // that browsers then undo; no such target is a link.
    if (std::any_of(target.begin(), target.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }))
        return false;
    const size_t colon = target.find(':');
    if (colon == std::string::npos || colon == 0) return false;
    const std::string scheme = target.substr(0, colon);
    if (!std::isalpha(static_cast<unsigned char>(scheme[0])) ||
        !std::all_of(scheme.begin(), scheme.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
        }))
        return false;
    const std::string lower = vb::asciiLower(scheme);
    return lower == "http" || lower == "https" || lower == "mailto" || lower == "tel";
}

std::optional<std::string> hyperlinkHref(const xmlNode* hyperlink, const PartRelationships& relationships) {
    const std::string anchor = ml::attr(hyperlink, "anchor");
    const std::string id = ml::attrIn(hyperlink, ml::kRelationships, "id");
    if (id.empty()) {
        if (anchor.empty()) return std::nullopt;
        return "#" + anchor;
    }
    const Relationship* relationship = relationships.find(id);
    if (!relationship || !relationship->external || relationship->type != "hyperlink") return std::nullopt;
    const std::string target(vb::asciiTrimmed(relationship->target));
    if (!isSafeLinkTarget(target)) return std::nullopt;
    return anchor.empty() ? target : target + "#" + anchor;
}

}  // namespace lumora::word
