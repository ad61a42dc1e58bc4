#pragma once
// Reading nodes the way the DOM presents them: names, types, values, text and the children a
// node shows. Everything here leaves the tree unchanged, and every reader takes a null node
// (one that is gone) as a node of no type with no name, value, text, parent or children, so a
// member reached through it gives its own error or empty result, never a null dereference.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "xml_handles.hpp"

namespace lumora::xml {

// DOM node type numbers.
enum class DomNodeType : int32_t {
    None = 0,  // a node that is gone
    Element = 1, Attribute = 2, Text = 3, CData = 4, EntityReference = 5, Entity = 6,
    ProcessingInstruction = 7, Comment = 8, Document = 9, DocumentType = 10, DocumentFragment = 11, Notation = 12,
};

DomNodeType domType(const XmlNode* node);
std::string_view domTypeString(const XmlNode* node);  // "element", "text", ...

// The qualified name (prefix:local) of an element or attribute; "#text" and the like otherwise.
std::string nodeName(const XmlNode* node);
std::string qualifiedName(const XmlNode* node);
std::string localName(const XmlNode* node);
std::string prefixOf(const XmlNode* node);
std::string namespaceUri(const XmlNode* node);

// nodeValue: the content of attributes, text, CDATA, comments and processing instructions;
// nullopt for the node types that have none (elements, documents, ...).
std::optional<std::string> nodeValue(const XmlNode* node);

// text: all text below the node. Unless whitespace is preserved, the result is trimmed of
// leading and trailing whitespace, as script written against the DOM of this platform expects.
std::string nodeText(const XmlNode* node, bool preserveWhiteSpace);

// The children the DOM shows: a document type and entity declarations show none.
XmlNode* firstChildOf(const XmlNode* node);
XmlNode* lastChildOf(const XmlNode* node);
XmlNode* nextShown(const XmlNode* node);
XmlNode* previousShown(const XmlNode* node);
XmlNode* parentOf(const XmlNode* node);

// The attribute of an element with that qualified name; nullptr when absent.
_xmlAttr* findAttribute(const XmlNode* element, std::string_view name);
// A namespace declaration written as an attribute (xmlns, xmlns:p); nullopt when absent.
std::optional<std::string> namespaceDeclaration(const XmlNode* element, std::string_view name);
std::string attributeValue(const _xmlAttr* attr);

bool isValidXmlName(std::string_view name);

// Counts code points of UTF-8 text.
int32_t characterCount(std::string_view text);

}  // namespace lumora::xml
