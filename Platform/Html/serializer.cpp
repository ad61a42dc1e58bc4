#include "serializer.hpp"

#include <algorithm>
#include <array>
#include <string_view>

namespace lumora::html {

namespace {

constexpr std::array<std::string_view, 18> kVoidElements{"area",  "base", "basefont", "bgsound", "br",    "col",
                                                         "embed", "frame", "hr",      "img",     "input", "keygen",
                                                         "link",  "meta", "param",    "source",  "track", "wbr"};
// Elements whose text is written as it is, without escaping.
constexpr std::array<std::string_view, 8> kRawTextElements{"style",    "script",    "xmp",      "iframe",
                                                           "noembed", "noframes", "plaintext", "noscript"};

bool isIn(std::string_view name, auto const& names) { return std::find(names.begin(), names.end(), name) != names.end(); }

void appendEscaped(std::string& out, std::string_view text, bool attributeMode) {
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '&') {
            out += "&amp;";
        } else if (c == '\xC2' && i + 1 < text.size() && text[i + 1] == '\xA0') {
            out += "&nbsp;";
            ++i;
        } else if (attributeMode && c == '"') {
            out += "&quot;";
        } else if (!attributeMode && c == '<') {
            out += "&lt;";
        } else if (!attributeMode && c == '>') {
            out += "&gt;";
        } else {
            out += c;
        }
    }
}

void appendChildren(std::string& out, const Node& node);

void appendNode(std::string& out, const Node& node) {
    switch (node.type) {
        case NodeType::Element: {
            out += '<';
            out += node.name;
            for (const Attribute& attribute : node.attributes) {
                out += ' ';
                out += attribute.name;
                out += '=';
                appendAttributeValue(out, attribute.value);
            }
            out += '>';
            if (node.ns == Namespace::Html && isIn(node.name, kVoidElements)) return;
            appendChildren(out, node);
            out += "</";
            out += node.name;
            out += '>';
            return;
        }
        case NodeType::Text: {
            const Node* parent = node.parent;
            bool raw = parent && parent->isElement() && parent->ns == Namespace::Html && isIn(parent->name, kRawTextElements);
            if (raw) {
                out += node.data;
            } else {
                appendEscaped(out, node.data, false);
            }
            return;
        }
        case NodeType::Comment:
            out += "<!--";
            out += node.data;
            out += "-->";
            return;
        case NodeType::DocumentType:
            out += "<!DOCTYPE ";
            out += node.name;
            out += '>';
            return;
        case NodeType::Document: appendChildren(out, node); return;
    }
}

void appendChildren(std::string& out, const Node& node) {
    for (const auto& child : node.children) appendNode(out, *child);
}

}  // namespace

void appendAttributeValue(std::string& out, std::string_view value) {
    out += '"';
    appendEscaped(out, value, true);
    out += '"';
}

std::string escapedText(std::string_view text) {
    std::string out;
    appendEscaped(out, text, false);
    return out;
}

std::string outerHtml(const Node& node) {
    std::string out;
    appendNode(out, node);
    return out;
}

std::string innerHtml(const Node& node) {
    std::string out;
    appendChildren(out, node);
    return out;
}

}  // namespace lumora::html
