#pragma once
// Changing a tree the way the DOM allows: inserting, moving, removing and replacing children,
// setting text, values and attributes. Each operation checks its arguments first and leaves
// the tree unchanged when it refuses (errors from xml_errors.hpp). Removed nodes stay valid:
// the tree keeps them until script lets go of them.

#include <string_view>

#include "tree.hpp"
#include "xml_handles.hpp"

namespace lumora::xml {

// Inserts child (of childTree) under parent before `before` (nullptr: at the end) and returns
// the node now in the tree: child itself, or a copy of it when it belongs to another document.
// A document fragment gives up its children instead and is returned empty.
XmlNode* insertChild(Tree& tree, XmlNode* parent, Tree& childTree, XmlNode* child, XmlNode* before);
// Detaches child from parent; error when it is not parent's child.
void removeChild(Tree& tree, XmlNode* parent, XmlNode* child);
// Puts newChild in oldChild's place and detaches oldChild. Returns the node inserted.
XmlNode* replaceChild(Tree& tree, XmlNode* parent, Tree& childTree, XmlNode* newChild, XmlNode* oldChild);

// text put: the node's children become one text node (none for an empty text).
void setText(Tree& tree, XmlNode* node, std::string_view text);
void setNodeValue(Tree& tree, XmlNode* node, std::string_view value);
// Comments, CDATA sections and processing instructions cannot hold their own end marker
// ("--", "]]>", "?>"): such text would break out of the node when the document is written.
void checkContentFits(int libxmlType, std::string_view text);

void setAttribute(Tree& tree, XmlNode* element, std::string_view name, std::string_view value);
// Detaches the named attribute; returns it, or nullptr when the element had none.
XmlNode* removeAttribute(Tree& tree, XmlNode* element, std::string_view name);
// Puts an attribute node on element, replacing (and detaching) one of the same name. Returns
// the attribute now on the element (a copy when attr belongs to another document).
XmlNode* attachAttribute(Tree& tree, XmlNode* element, Tree& attrTree, XmlNode* attr);
// Detaches an attribute node from its element.
void detachAttribute(Tree& tree, XmlNode* attr);

// A copy of node in the same document, not yet attached; deep copies the children too.
XmlNode* copyNode(Tree& tree, XmlNode* node, bool deep);

// Element nesting: levels from the top down to node, and levels below node.
int elementDepth(const XmlNode* node);
int subtreeHeight(const XmlNode* node);

}  // namespace lumora::xml
