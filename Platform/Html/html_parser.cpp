#include "html_parser.hpp"

#include <string>
#include <vector>

#include "Automation/vb/text.hpp"
#include "Automation/vb/utf8.hpp"
#include "Platform/Files/text_encoding.hpp"
#include "gumbo_tree.hpp"

namespace lumora::html {

namespace {

// A backstop behind the markup limits: nodes that would lie deeper than this are placed beside
// the deepest ones, as browsers place them, so no walk over the tree ever goes deeper.
constexpr size_t kMaxTreeDepth = 1024;

Namespace namespaceOf(GumboNamespaceEnum ns) {
    switch (ns) {
        case GUMBO_NAMESPACE_SVG: return Namespace::Svg;
        case GUMBO_NAMESPACE_MATHML: return Namespace::MathMl;
        default: return Namespace::Html;
    }
}

std::unique_ptr<Node> convertNode(const GumboNode& source) {
    switch (source.type) {
        case GUMBO_NODE_ELEMENT:
        case GUMBO_NODE_TEMPLATE: {
            const GumboElement& element = source.v.element;
            auto node = std::make_unique<Node>(NodeType::Element, elementName(element));
            node->ns = namespaceOf(element.tag_namespace);
            node->attributes.reserve(element.attributes.length);
            for (unsigned i = 0; i < element.attributes.length; ++i) {
                auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
                node->attributes.push_back(Attribute{attribute->name, attribute->value});
            }
            return node;
        }
        case GUMBO_NODE_COMMENT: {
            auto node = std::make_unique<Node>(NodeType::Comment, "#comment");
            node->data = source.v.text.text;
            return node;
        }
        default: {
            auto node = std::make_unique<Node>(NodeType::Text, "#text");
            node->data = source.v.text.text;
            return node;
        }
    }
}

// Copies gumbo's tree into our own, with an explicit stack instead of recursion.
void convertTree(const GumboNode& root, Node& document) {
    struct Pending {
        const GumboNode* source;
        Node* parent;
        size_t depth;
    };
    std::vector<Pending> pending;
    const GumboVector* top = childrenOf(root);
    for (unsigned i = top->length; i-- > 0;) pending.push_back({static_cast<const GumboNode*>(top->data[i]), &document, 1});
    while (!pending.empty()) {
        Pending next = pending.back();
        pending.pop_back();
        Node* node = next.parent->append(convertNode(*next.source));
        const GumboVector* children = childrenOf(*next.source);
        if (!children) continue;
        Node* holder = next.depth < kMaxTreeDepth ? node : next.parent;
        size_t depth = next.depth < kMaxTreeDepth ? next.depth + 1 : next.depth;
        for (unsigned i = children->length; i-- > 0;)
            pending.push_back({static_cast<const GumboNode*>(children->data[i]), holder, depth});
    }
}

// Windows-1252 for the bytes 0x80 to 0x9F; the rest of the upper half is Latin-1.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

}  // namespace

std::string elementName(const GumboElement& element) {
    GumboStringPiece original = element.original_tag;
    if (original.length > 0) gumbo_tag_from_original_text(&original);
    if (element.tag_namespace == GUMBO_NAMESPACE_SVG && original.length > 0) {
        // SVG keeps its mixed-case names ("foreignObject").
        if (const char* svgName = gumbo_normalize_svg_tagname(&original)) return svgName;
    }
    if (element.tag != GUMBO_TAG_UNKNOWN) return gumbo_normalized_tagname(element.tag);
    return vb::asciiLower(std::string_view(original.data, original.length));
}

const GumboVector* childrenOf(const GumboNode& node) {
    if (node.type == GUMBO_NODE_DOCUMENT) return &node.v.document.children;
    if (node.type == GUMBO_NODE_ELEMENT || node.type == GUMBO_NODE_TEMPLATE) return &node.v.element.children;
    return nullptr;
}

std::shared_ptr<Tree> parseDocument(std::string_view markup, const MarkupLimits& limits) {
    const GumboParse parse(markup, limits);
    auto tree = std::make_shared<Tree>();
    const GumboDocument& document = parse.document().v.document;
    if (document.has_doctype) tree->document->append(std::make_unique<Node>(NodeType::DocumentType, document.name));
    convertTree(parse.document(), *tree->document);
    return tree;
}

std::string decodeDocumentBytes(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return vb::utf8::wellFormed(bytes.substr(3));
    bool littleEndian = bytes.substr(0, 2) == "\xFF\xFE";
    if (littleEndian || bytes.substr(0, 2) == "\xFE\xFF") {
        std::string units(bytes.substr(2));
        if (!littleEndian)
            for (size_t i = 0; i + 1 < units.size(); i += 2) std::swap(units[i], units[i + 1]);
        std::string text;
        files::Utf16LeDecoder decoder;
        decoder.decode(units, text);
        decoder.finish(text);
        return text;
    }
    if (vb::utf8::isWellFormed(bytes)) return std::string(bytes);
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 4);
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        char32_t code = byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte;
        vb::utf8::append(text, code);
    }
    return text;
}

}  // namespace lumora::html
