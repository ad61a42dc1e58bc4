#pragma once
// The word-processing markup as the engine walks and edits it: element tests by namespace and
// local name, attribute access, and text of w:t nodes. Only the engine's source files include
// libxml2; these helpers keep its calls short and in one place.

#include <libxml/tree.h>

#include <string>
#include <string_view>

namespace lumora::word::ml {

inline constexpr const char* kMain = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
inline constexpr const char* kRelationships = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr const char* kPackageRelationships = "http://schemas.openxmlformats.org/package/2006/relationships";
inline constexpr const char* kContentTypes = "http://schemas.openxmlformats.org/package/2006/content-types";
inline constexpr const char* kMarkupCompatibility = "http://schemas.openxmlformats.org/markup-compatibility/2006";

// An element of the main word-processing namespace with that local name.
bool is(const xmlNode* node, std::string_view local);
bool isIn(const xmlNode* node, const char* ns, std::string_view local);
xmlNode* firstChild(const xmlNode* parent, std::string_view local);
xmlNode* nextElement(xmlNode* node);
xmlNode* firstElement(const xmlNode* parent);

// A w: attribute, "" when absent.
std::string attr(const xmlNode* node, const char* local);
std::string attrIn(const xmlNode* node, const char* ns, const char* local);
// The value of an attribute found while walking an element's attribute list.
std::string valueOf(const xmlAttr* attribute);

// A new element of the main namespace, not yet linked anywhere.
xmlNode* make(xmlDoc* doc, const char* local);
// A deep copy of node for the same document, using the namespaces in scope where node is
// (rather than declaring its own), to be linked at a place with the same scope.
xmlNode* copy(const xmlNode* node);

// The text of a node (w:t), and replacing it without entity parsing.
std::string text(const xmlNode* node);
void setText(xmlNode* node, std::string_view text);

// Unlinks and frees node with its subtree.
void remove(xmlNode* node);

}  // namespace lumora::word::ml
