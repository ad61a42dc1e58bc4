#include "wordml.hpp"

#include <cstring>

namespace lumora::word::ml {

namespace {
const xmlChar* x(const char* text) { return reinterpret_cast<const xmlChar*>(text); }
bool hasName(const xmlNode* node, std::string_view local) {
    const char* name = reinterpret_cast<const char*>(node->name);
    return std::strlen(name) == local.size() && std::memcmp(name, local.data(), local.size()) == 0;
}
}  // namespace

bool isIn(const xmlNode* node, const char* ns, std::string_view local) {
    return node && node->type == XML_ELEMENT_NODE && node->ns && node->ns->href &&
           std::strcmp(reinterpret_cast<const char*>(node->ns->href), ns) == 0 && hasName(node, local);
}

bool is(const xmlNode* node, std::string_view local) { return isIn(node, kMain, local); }

xmlNode* firstChild(const xmlNode* parent, std::string_view local) {
    for (xmlNode* child = parent ? parent->children : nullptr; child; child = child->next)
        if (is(child, local)) return child;
    return nullptr;
}

xmlNode* nextElement(xmlNode* node) {
    for (node = node ? node->next : nullptr; node; node = node->next)
        if (node->type == XML_ELEMENT_NODE) return node;
    return nullptr;
}

xmlNode* firstElement(const xmlNode* parent) {
    for (xmlNode* child = parent ? parent->children : nullptr; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE) return child;
    return nullptr;
}

std::string attrIn(const xmlNode* node, const char* ns, const char* local) {
    xmlChar* value = xmlGetNsProp(node, x(local), x(ns));
    if (!value) return {};
    std::string out(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return out;
}

std::string valueOf(const xmlAttr* attribute) {
    std::string out;
    for (const xmlNode* text = attribute->children; text; text = text->next)
        if (text->content) out += reinterpret_cast<const char*>(text->content);
    return out;
}

std::string attr(const xmlNode* node, const char* local) { return attrIn(node, kMain, local); }

xmlNode* make(xmlDoc* doc, const char* local) {
    xmlNode* root = xmlDocGetRootElement(doc);
    xmlNs* ns = xmlSearchNsByHref(doc, root, x(kMain));
    xmlNode* node = xmlNewDocNode(doc, ns, x(local), nullptr);
    if (!node) throw std::bad_alloc();
    return node;
}

xmlNode* copy(const xmlNode* node) {
    xmlNode* copied = nullptr;
    xmlNode* scope = node->parent && node->parent->type == XML_ELEMENT_NODE ? node->parent : nullptr;
    if (xmlDOMWrapCloneNode(nullptr, node->doc, const_cast<xmlNode*>(node), &copied, node->doc, scope, 1, 0) != 0 || !copied)
        throw std::bad_alloc();
    return copied;
}

std::string text(const xmlNode* node) {
    std::string out;
    for (const xmlNode* child = node->children; child; child = child->next)
        if ((child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) && child->content)
            out += reinterpret_cast<const char*>(child->content);
    return out;
}

void setText(xmlNode* node, std::string_view text) {
    // Only the text goes; an element misplaced inside (which may hold a story) stays.
    for (xmlNode* child = node->children; child;) {
        xmlNode* next = child->next;
        if (child->type != XML_ELEMENT_NODE) remove(child);
        child = next;
    }
    if (!text.empty()) xmlNodeAddContentLen(node, reinterpret_cast<const xmlChar*>(text.data()), static_cast<int>(text.size()));
    // Leading, trailing or doubled blanks are kept only when the text says so.
    xmlNodeSetSpacePreserve(node, 1);
}

void remove(xmlNode* node) {
    xmlUnlinkNode(node);
    xmlFreeNode(node);
}

}  // namespace lumora::word::ml
