#include "node_access.hpp"

#include <libxml/tree.h>
#include <libxml/xmlstring.h>

#include <memory>

#include "Automation/vb/utf8.hpp"

namespace lumora::xml {

namespace {

std::string str(const xmlChar* text) { return text ? reinterpret_cast<const char*>(text) : std::string(); }

bool isXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool showsChildren(const xmlNode* node) {
    if (!node) return false;
    switch (node->type) {
        case XML_ELEMENT_NODE:
        case XML_ATTRIBUTE_NODE:
        case XML_DOCUMENT_NODE:
        case XML_DOCUMENT_FRAG_NODE:
            return true;
        default:
            return false;
    }
}

// Nodes libxml2 keeps in a child list that the DOM does not show (entity and attribute
// declarations inside the document type, XInclude markers).
bool isShown(const xmlNode* node) {
    switch (node->type) {
        case XML_ELEMENT_DECL:
        case XML_ATTRIBUTE_DECL:
        case XML_ENTITY_DECL:
        case XML_NAMESPACE_DECL:
        case XML_XINCLUDE_START:
        case XML_XINCLUDE_END:
            return false;
        default:
            return true;
    }
}

}  // namespace

DomNodeType domType(const XmlNode* node) {
    if (!node) return DomNodeType::None;
    switch (node->type) {
        case XML_ELEMENT_NODE: return DomNodeType::Element;
        case XML_ATTRIBUTE_NODE: return DomNodeType::Attribute;
        case XML_TEXT_NODE: return DomNodeType::Text;
        case XML_CDATA_SECTION_NODE: return DomNodeType::CData;
        case XML_ENTITY_REF_NODE: return DomNodeType::EntityReference;
        case XML_ENTITY_NODE:
        case XML_ENTITY_DECL: return DomNodeType::Entity;
        case XML_PI_NODE: return DomNodeType::ProcessingInstruction;
        case XML_COMMENT_NODE: return DomNodeType::Comment;
        case XML_DOCUMENT_NODE:
        case XML_HTML_DOCUMENT_NODE: return DomNodeType::Document;
        case XML_DOCUMENT_TYPE_NODE:
        case XML_DTD_NODE: return DomNodeType::DocumentType;
        case XML_DOCUMENT_FRAG_NODE: return DomNodeType::DocumentFragment;
        case XML_NOTATION_NODE: return DomNodeType::Notation;
        default: return DomNodeType::Element;
    }
}

std::string_view domTypeString(const XmlNode* node) {
    // Indexed by the DOM node type number; a node that is gone (0) has no type name.
    static constexpr std::string_view kNames[] = {
        "", "element", "attribute", "text", "cdatasection", "entityreference", "entity",
        "processinginstruction", "comment", "document", "documenttype", "documentfragment", "notation"};
    return kNames[static_cast<size_t>(domType(node))];
}

std::string qualifiedName(const XmlNode* node) {
    if (!node) return {};
    std::string name = str(node->name);
    if ((node->type == XML_ELEMENT_NODE || node->type == XML_ATTRIBUTE_NODE) && node->ns && node->ns->prefix)
        return str(node->ns->prefix) + ":" + name;
    return name;
}

std::string nodeName(const XmlNode* node) {
    switch (domType(node)) {
        case DomNodeType::Text: return "#text";
        case DomNodeType::CData: return "#cdata-section";
        case DomNodeType::Comment: return "#comment";
        case DomNodeType::Document: return "#document";
        case DomNodeType::DocumentFragment: return "#document-fragment";
        default: return qualifiedName(node);
    }
}

std::string localName(const XmlNode* node) {
    std::string name = nodeName(node);
    size_t colon = name.find(':');
    return colon == std::string::npos || name[0] == '#' ? name : name.substr(colon + 1);
}

std::string prefixOf(const XmlNode* node) {
    std::string name = qualifiedName(node);
    size_t colon = name.find(':');
    return colon == std::string::npos ? std::string() : name.substr(0, colon);
}

std::string namespaceUri(const XmlNode* node) {
    if (node && (node->type == XML_ELEMENT_NODE || node->type == XML_ATTRIBUTE_NODE) && node->ns) return str(node->ns->href);
    return {};
}

std::optional<std::string> nodeValue(const XmlNode* node) {
    if (!node) return std::nullopt;
    switch (node->type) {
        case XML_ATTRIBUTE_NODE:
            return attributeValue(reinterpret_cast<const xmlAttr*>(node));
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
        case XML_COMMENT_NODE:
        case XML_PI_NODE:
            return str(node->content);
        default:
            return std::nullopt;
    }
}

std::string nodeText(const XmlNode* node, bool preserveWhiteSpace) {
    if (auto value = nodeValue(node)) return *value;
    if (!showsChildren(node)) return {};
    XmlString content(xmlNodeGetContent(node));
    std::string text = str(content.get());
    if (preserveWhiteSpace) return text;
    size_t begin = 0, end = text.size();
    while (begin < end && isXmlSpace(text[begin])) ++begin;
    while (end > begin && isXmlSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

XmlNode* firstChildOf(const XmlNode* node) {
    if (!showsChildren(node)) return nullptr;
    xmlNodePtr c = node->children;
    while (c && !isShown(c)) c = c->next;
    return c;
}

XmlNode* lastChildOf(const XmlNode* node) {
    if (!showsChildren(node)) return nullptr;
    xmlNodePtr c = node->last;
    while (c && !isShown(c)) c = c->prev;
    return c;
}

XmlNode* nextShown(const XmlNode* node) {
    if (!node || node->type == XML_ATTRIBUTE_NODE) return nullptr;
    xmlNodePtr c = node->next;
    while (c && !isShown(c)) c = c->next;
    return c;
}

XmlNode* previousShown(const XmlNode* node) {
    if (!node || node->type == XML_ATTRIBUTE_NODE) return nullptr;
    xmlNodePtr c = node->prev;
    while (c && !isShown(c)) c = c->prev;
    return c;
}

XmlNode* parentOf(const XmlNode* node) {
    // An attribute has no parent in the DOM; its element is reached through the attributes.
    if (!node || node->type == XML_ATTRIBUTE_NODE || node->type == XML_DOCUMENT_NODE) return nullptr;
    return node->parent;
}

xmlAttr* findAttribute(const XmlNode* element, std::string_view name) {
    if (!element || element->type != XML_ELEMENT_NODE) return nullptr;
    for (xmlAttrPtr a = element->properties; a; a = a->next)
        if (qualifiedName(reinterpret_cast<const xmlNode*>(a)) == name) return a;
    return nullptr;
}

std::optional<std::string> namespaceDeclaration(const XmlNode* element, std::string_view name) {
    if (!element || element->type != XML_ELEMENT_NODE) return std::nullopt;
    std::string_view prefix;
    if (name == "xmlns")
        prefix = {};
    else if (name.substr(0, 6) == "xmlns:")
        prefix = name.substr(6);
    else
        return std::nullopt;
    for (xmlNsPtr ns = element->nsDef; ns; ns = ns->next)
        if (str(ns->prefix) == prefix) return str(ns->href);
    return std::nullopt;
}

std::string attributeValue(const xmlAttr* attr) {
    std::string value;
    if (!attr) return value;
    for (xmlNodePtr c = attr->children; c; c = c->next)
        if (c->content) value += reinterpret_cast<const char*>(c->content);
    return value;
}

bool isValidXmlName(std::string_view name) {
    if (name.empty() || name.size() > 4096) return false;
    std::string copy(name);
    return xmlValidateName(reinterpret_cast<const xmlChar*>(copy.c_str()), 0) == 0;
}

int32_t characterCount(std::string_view text) { return static_cast<int32_t>(vb::utf8::length(text)); }

}  // namespace lumora::xml
