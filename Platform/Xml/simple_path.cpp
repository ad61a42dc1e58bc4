#include "simple_path.hpp"

#include <libxml/tree.h>


namespace lumora::xml {

namespace {

// One step: an element name without prefix and, optionally, [@attribute='value'].
struct Step {
    std::string_view element;
    std::string_view attribute;  // empty without a predicate
    std::string_view value;
};

bool isNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool isNameChar(char c) { return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

// An ASCII name without prefix at `pos`; other names are left to XPath proper.
std::optional<std::string_view> nameAt(std::string_view text, size_t& pos) {
    if (pos >= text.size() || !isNameStart(text[pos])) return std::nullopt;
    const size_t start = pos;
    while (pos < text.size() && isNameChar(text[pos])) ++pos;
    return text.substr(start, pos - start);
}

bool skip(std::string_view text, size_t& pos, char expected) {
    if (pos >= text.size() || text[pos] != expected) return false;
    ++pos;
    return true;
}

std::optional<std::vector<Step>> parseSteps(std::string_view text, size_t pos) {
    std::vector<Step> steps;
    while (true) {
        Step step;
        auto element = nameAt(text, pos);
        if (!element) return std::nullopt;
        step.element = *element;
        if (skip(text, pos, '[')) {
            auto attribute = skip(text, pos, '@') ? nameAt(text, pos) : std::nullopt;
            if (!attribute || !skip(text, pos, '=') || pos >= text.size()) return std::nullopt;
            const char quote = text[pos];
            if (quote != '\'' && quote != '"') return std::nullopt;
            const size_t end = text.find(quote, ++pos);
            if (end == std::string_view::npos) return std::nullopt;
            step.attribute = *attribute;
            step.value = text.substr(pos, end - pos);
            pos = end + 1;
            if (!skip(text, pos, ']')) return std::nullopt;
        }
        steps.push_back(step);
        if (pos == text.size()) return steps;
        if (!skip(text, pos, '/')) return std::nullopt;
    }
}

bool named(const xmlChar* name, std::string_view expected) {
    return name && std::string_view(reinterpret_cast<const char*>(name)) == expected;
}

// The attribute's string value as XPath reads it (entity references in it expanded).
bool attributeEquals(xmlNodePtr element, const Step& step) {
    for (xmlAttrPtr attribute = element->properties; attribute; attribute = attribute->next) {
        if (attribute->ns || !named(attribute->name, step.attribute)) continue;
        const XmlString content(xmlNodeGetContent(reinterpret_cast<xmlNodePtr>(attribute)));
        return std::string_view(content ? reinterpret_cast<const char*>(content.get()) : "") == step.value;
    }
    return false;
}

// A name without prefix only matches elements in no namespace, as in XPath 1.0.
bool matches(xmlNodePtr node, const Step& step) {
    return node->type == XML_ELEMENT_NODE && !node->ns && named(node->name, step.element) &&
           (step.attribute.empty() || attributeEquals(node, step));
}

}  // namespace

std::optional<std::vector<XmlNode*>> selectSimplePath(XmlNode* context, std::string_view expression) {
    const bool absolute = !expression.empty() && expression.front() == '/';
    std::optional<std::vector<Step>> steps = parseSteps(expression, absolute ? 1 : 0);
    if (!steps || !context) return std::nullopt;
    xmlNodePtr start = context;
    if (absolute && context->type != XML_DOCUMENT_NODE) start = reinterpret_cast<xmlNodePtr>(context->doc);
    if (!start || (start->type != XML_ELEMENT_NODE && start->type != XML_DOCUMENT_NODE)) return std::nullopt;
    // Each step takes children of the nodes the step before found, which are distinct and in
    // document order: so are their children, taken parent by parent.
    std::vector<XmlNode*> found{start};
    for (const Step& step : *steps) {
        std::vector<XmlNode*> next;
        for (xmlNodePtr parent : found)
            for (xmlNodePtr child = parent->children; child; child = child->next)
                if (matches(child, step)) next.push_back(child);
        found = std::move(next);
    }
    return found;
}

}  // namespace lumora::xml
