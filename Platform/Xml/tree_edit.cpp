#include "tree_edit.hpp"

#include <libxml/tree.h>

#include <string>
#include <vector>

#include "limits.hpp"
#include "node_access.hpp"
#include "xml_errors.hpp"

namespace lumora::xml {

namespace {

const xmlChar* bytes(const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); }

bool canHoldChildren(const xmlNode* node) {
    return node->type == XML_ELEMENT_NODE || node->type == XML_DOCUMENT_NODE || node->type == XML_DOCUMENT_FRAG_NODE;
}

bool isInsertable(const xmlNode* node) {
    switch (node->type) {
        case XML_ELEMENT_NODE:
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
        case XML_PI_NODE:
        case XML_COMMENT_NODE:
        case XML_DOCUMENT_FRAG_NODE:
            return true;
        default:
            return false;
    }
}

// Unlinks a node from wherever it is, keeping the namespaces it uses declared on itself so
// that it stays self-contained while detached.
void unlink(xmlDocPtr doc, xmlNodePtr node) {
    if (!node->parent) return;
    if (xmlDOMWrapRemoveNode(nullptr, doc, node, 0) != 0) xmlUnlinkNode(node);
}

void link(xmlNodePtr parent, xmlNodePtr child, xmlNodePtr before) {
    child->parent = parent;
    if (before) {
        child->next = before;
        child->prev = before->prev;
        if (before->prev) before->prev->next = child; else parent->children = child;
        before->prev = child;
    } else {
        child->next = nullptr;
        child->prev = parent->last;
        if (parent->last) parent->last->next = child; else parent->children = child;
        parent->last = child;
    }
}

// replaced: a child of parent that the insertion takes the place of (replaceChild), or null.
void checkPlacement(xmlNodePtr parent, xmlNodePtr child, xmlNodePtr replaced) {
    if (!canHoldChildren(parent) || !isInsertable(child)) raise(XmlError::WrongNodeType);
    for (xmlNodePtr p = parent; p; p = p->parent)
        if (p == child) raise(XmlError::AncestorInsertion);
    if (parent->type == XML_DOCUMENT_NODE) {
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) raise(XmlError::WrongNodeType);
        bool addsElement = child->type == XML_ELEMENT_NODE;
        if (child->type == XML_DOCUMENT_FRAG_NODE)
            for (xmlNodePtr c = child->children; c; c = c->next) {
                if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) raise(XmlError::WrongNodeType);
                if (c->type == XML_ELEMENT_NODE) {
                    if (addsElement) raise(XmlError::SecondDocumentElement);
                    addsElement = true;
                }
            }
        if (addsElement)
            for (xmlNodePtr c = parent->children; c; c = c->next)
                if (c->type == XML_ELEMENT_NODE && c != child && c != replaced)
                    raise(XmlError::SecondDocumentElement);
    }
    if (elementDepth(parent) + subtreeHeight(child) > kMaxDepth) raise(XmlError::TooDeep);
}

void checkIsChild(xmlNodePtr parent, xmlNodePtr child) {
    if (!child || child->parent != parent || child->type == XML_ATTRIBUTE_NODE) raise(XmlError::NotAChild);
}

// Links one node (not a fragment) of this tree under parent.
void place(Tree& tree, xmlNodePtr parent, xmlNodePtr child, xmlNodePtr before) {
    if (before == child) before = child->next;
    if (child->parent)
        unlink(tree.doc(), child);
    else
        tree.attached(child);
    link(parent, child, before);
    if (child->type == XML_ELEMENT_NODE) xmlDOMWrapReconcileNamespaces(nullptr, child, 0);
    tree.touch();
}

void detachChildren(Tree& tree, xmlNodePtr node) {
    while (xmlNodePtr child = node->children) {
        unlink(tree.doc(), child);
        tree.adoptDetached(child);
    }
}

}  // namespace

int elementDepth(const XmlNode* node) {
    int depth = 0;
    for (const xmlNode* p = node; p; p = p->parent)
        if (p->type == XML_ELEMENT_NODE) ++depth;
    return depth;
}

int subtreeHeight(const XmlNode* node) {
    int height = 0;
    std::vector<std::pair<const xmlNode*, int>> pending{{node, node->type == XML_ELEMENT_NODE ? 1 : 0}};
    while (!pending.empty()) {
        auto [n, level] = pending.back();
        pending.pop_back();
        if (level > height) height = level;
        if (n->type != XML_ELEMENT_NODE && n->type != XML_DOCUMENT_FRAG_NODE) continue;
        for (const xmlNode* c = n->children; c; c = c->next)
            if (c->type == XML_ELEMENT_NODE) pending.emplace_back(c, level + 1);
    }
    return height;
}

namespace {

XmlNode* insertChecked(Tree& tree, XmlNode* parent, Tree& childTree, XmlNode* child, XmlNode* before,
                       XmlNode* replaced) {
    if (before) checkIsChild(parent, before);
    checkPlacement(parent, child, replaced);
    if (&childTree != &tree) {
        // A node of another document is copied in; the original stays where it was. The
        // holder keeps the copy alive until it is linked.
        xmlNodePtr copy = xmlDocCopyNode(child, tree.doc(), 1);
        Object holder = tree.adoptNew(copy);
        return insertChecked(tree, parent, tree, copy, before, replaced);
    }
    if (child->type == XML_DOCUMENT_FRAG_NODE) {
        while (xmlNodePtr c = child->children) place(tree, parent, c, before);
        return child;
    }
    place(tree, parent, child, before);
    return child;
}

}  // namespace

XmlNode* insertChild(Tree& tree, XmlNode* parent, Tree& childTree, XmlNode* child, XmlNode* before) {
    return insertChecked(tree, parent, childTree, child, before, nullptr);
}

void removeChild(Tree& tree, XmlNode* parent, XmlNode* child) {
    checkIsChild(parent, child);
    unlink(tree.doc(), child);
    tree.adoptDetached(child);
}

XmlNode* replaceChild(Tree& tree, XmlNode* parent, Tree& childTree, XmlNode* newChild, XmlNode* oldChild) {
    checkIsChild(parent, oldChild);
    if (newChild == oldChild) return newChild;
    XmlNode* inserted = insertChecked(tree, parent, childTree, newChild, oldChild, oldChild);
    removeChild(tree, parent, oldChild);
    return inserted;
}

void setText(Tree& tree, XmlNode* node, std::string_view text) {
    switch (node->type) {
        case XML_ELEMENT_NODE:
        case XML_DOCUMENT_FRAG_NODE:
        case XML_ATTRIBUTE_NODE: {
            detachChildren(tree, node);
            if (!text.empty()) {
                std::string copy(text);
                xmlNodePtr textNode = xmlNewDocText(tree.doc(), bytes(copy));
                if (!textNode) throw std::bad_alloc();
                link(node, textNode, nullptr);
            }
            tree.touch();
            return;
        }
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
        case XML_COMMENT_NODE:
        case XML_PI_NODE: {
            checkContentFits(node->type, text);
            std::string copy(text);
            xmlNodeSetContent(node, bytes(copy));
            return;
        }
        default:
            raise(XmlError::WrongNodeType);
    }
}

void checkContentFits(int libxmlType, std::string_view text) {
    bool breaks = false;
    if (libxmlType == XML_COMMENT_NODE)
        breaks = text.find("--") != std::string_view::npos || (!text.empty() && text.back() == '-');
    else if (libxmlType == XML_CDATA_SECTION_NODE)
        breaks = text.find("]]>") != std::string_view::npos;
    else if (libxmlType == XML_PI_NODE)
        breaks = text.find("?>") != std::string_view::npos;
    if (breaks) raise(XmlError::InvalidContent);
}

void setNodeValue(Tree& tree, XmlNode* node, std::string_view value) {
    if (!nodeValue(node)) raise(XmlError::NodeValueNotAllowed);
    setText(tree, node, value);
}

void setAttribute(Tree& tree, XmlNode* element, std::string_view name, std::string_view value) {
    if (element->type != XML_ELEMENT_NODE) raise(XmlError::WrongNodeType);
    if (!isValidXmlName(name)) raise(XmlError::InvalidName, name);
    std::string nameText(name), valueText(value);
    if (namespaceDeclaration(element, name)) {
        std::string prefix = name.size() > 6 ? nameText.substr(6) : std::string();
        for (xmlNsPtr ns = element->nsDef; ns; ns = ns->next)
            if ((ns->prefix ? std::string(reinterpret_cast<const char*>(ns->prefix)) : std::string()) == prefix) {
                xmlFree(const_cast<xmlChar*>(ns->href));
                ns->href = xmlStrdup(bytes(valueText));
            }
        return;
    }
    if (xmlAttrPtr existing = findAttribute(element, name)) {
        setText(tree, reinterpret_cast<xmlNodePtr>(existing), value);
        return;
    }
    size_t colon = nameText.find(':');
    xmlNsPtr ns = nullptr;
    if (colon != std::string::npos && nameText.compare(0, colon, "xmlns") != 0)
        ns = xmlSearchNs(tree.doc(), element, bytes(nameText.substr(0, colon)));
    xmlAttrPtr attr = ns ? xmlNewNsProp(element, ns, bytes(nameText.substr(colon + 1)), bytes(valueText))
                         : xmlNewProp(element, bytes(nameText), bytes(valueText));
    if (!attr) throw std::bad_alloc();
    tree.touch();
}

XmlNode* removeAttribute(Tree& tree, XmlNode* element, std::string_view name) {
    if (element->type != XML_ELEMENT_NODE) raise(XmlError::WrongNodeType);
    xmlAttrPtr attr = findAttribute(element, name);
    if (!attr) return nullptr;
    detachAttribute(tree, reinterpret_cast<xmlNodePtr>(attr));
    return reinterpret_cast<xmlNodePtr>(attr);
}

void detachAttribute(Tree& tree, XmlNode* attr) {
    if (!attr->parent) return;
    unlink(tree.doc(), attr);
    tree.adoptDetached(attr);
}

XmlNode* attachAttribute(Tree& tree, XmlNode* element, Tree& attrTree, XmlNode* attr) {
    if (element->type != XML_ELEMENT_NODE || attr->type != XML_ATTRIBUTE_NODE) raise(XmlError::WrongNodeType);
    if (attr->parent == element) return attr;
    if (attr->parent) raise(XmlError::AttributeInUse);
    if (&attrTree != &tree) {
        std::string name = qualifiedName(attr);
        std::string value = attributeValue(reinterpret_cast<xmlAttrPtr>(attr));
        xmlAttrPtr copy = xmlNewDocProp(tree.doc(), bytes(name), bytes(value));
        Object holder = tree.adoptNew(reinterpret_cast<xmlNodePtr>(copy));
        return attachAttribute(tree, element, tree, reinterpret_cast<xmlNodePtr>(copy));
    }
    if (xmlAttrPtr existing = findAttribute(element, qualifiedName(attr)))
        detachAttribute(tree, reinterpret_cast<xmlNodePtr>(existing));
    xmlAttrPtr a = reinterpret_cast<xmlAttrPtr>(attr);
    a->parent = element;
    a->next = nullptr;
    a->prev = nullptr;
    if (!element->properties) {
        element->properties = a;
    } else {
        xmlAttrPtr last = element->properties;
        while (last->next) last = last->next;
        last->next = a;
        a->prev = last;
    }
    tree.attached(attr);
    return attr;
}

XmlNode* copyNode(Tree& tree, XmlNode* node, bool deep) {
    xmlNodePtr copy = nullptr;
    if (node->type == XML_ATTRIBUTE_NODE) {
        std::string name = qualifiedName(node);
        std::string value = attributeValue(reinterpret_cast<xmlAttrPtr>(node));
        copy = reinterpret_cast<xmlNodePtr>(xmlNewDocProp(tree.doc(), bytes(name), bytes(value)));
    } else if (node->type == XML_DTD_NODE || node->type == XML_DOCUMENT_NODE) {
        raise(XmlError::WrongNodeType);
    } else {
        copy = xmlDocCopyNode(node, tree.doc(), deep ? 1 : 2);
    }
    if (!copy) throw std::bad_alloc();
    return copy;
}

}  // namespace lumora::xml
