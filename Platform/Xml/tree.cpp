#include "tree.hpp"

#include <libxml/tree.h>

#include <vector>

#include "document.hpp"
#include "dom_node.hpp"

namespace lumora::xml {

Tree::Tree(DocHandle doc, std::shared_ptr<DocumentSettings> settings, bool hasDeclaration)
    : m_doc(std::move(doc)), m_settings(std::move(settings)), m_hasDeclaration(hasDeclaration) {}

Tree::~Tree() {
    // No node object is alive (each holds the tree), so every detached node can go.
    for (XmlNode* node : m_detached) XmlNodeDeleter{}(node);
}

std::shared_ptr<Tree> Tree::empty(std::shared_ptr<DocumentSettings> settings) {
    DocHandle doc(xmlNewDoc(BAD_CAST "1.0"));
    if (!doc) throw std::bad_alloc();
    return std::make_shared<Tree>(std::move(doc), std::move(settings), false);
}

XmlNode* Tree::docNode() const { return reinterpret_cast<XmlNode*>(m_doc.get()); }

Object Tree::wrap(XmlNode* node) {
    if (!node) return Object();
    if (node == docNode()) return documentObject();
    auto it = m_wrappers.find(node);
    if (it != m_wrappers.end())
        if (auto alive = it->second.object.lock()) return Object(std::move(alive));
    auto created = std::make_shared<NodeObject>(shared_from_this(), node);
    m_wrappers[node] = WrapperSlot{created.get(), created};
    return Object(std::move(created));
}

Object Tree::documentObject() {
    if (auto presenter = m_presenter.lock())
        if (presenter->tree().get() == this) return Object(std::move(presenter));
    // The document object that loaded this tree has moved on to another document (or is
    // gone); a node of this tree still answers ownerDocument with a document presenting it.
    auto document = std::make_shared<DocumentObject>(shared_from_this());
    m_presenter = document;
    return Object(std::move(document));
}

void Tree::presentBy(const std::shared_ptr<DocumentObject>& document) { m_presenter = document; }

void Tree::forgetWrapper(XmlNode* node, const NodeObject* wrapper) {
    auto it = m_wrappers.find(node);
    if (it != m_wrappers.end() && it->second.raw == wrapper) m_wrappers.erase(it);
    if (m_detached.empty()) return;
    XmlNode* root = node;
    while (root->parent) root = root->parent;
    if (m_detached.count(root)) freeIfUnreachable(root);
}

void Tree::adoptDetached(XmlNode* node) {
    m_detached.insert(node);
    touch();
    freeIfUnreachable(node);
}

Object Tree::adoptNew(XmlNode* node) {
    if (!node) throw std::bad_alloc();
    Object wrapped = wrap(node);
    adoptDetached(node);
    return wrapped;
}

void Tree::attached(XmlNode* node) {
    m_detached.erase(node);
    touch();
}

void Tree::freeIfUnreachable(XmlNode* root) {
    if (subtreeWrapped(root)) return;
    m_detached.erase(root);
    XmlNodeDeleter{}(root);
}

bool Tree::subtreeWrapped(XmlNode* root) const {
    if (m_wrappers.empty()) return false;
    std::vector<xmlNodePtr> pending{root};
    while (!pending.empty()) {
        xmlNodePtr n = pending.back();
        pending.pop_back();
        if (m_wrappers.count(n)) return true;
        if (n->type == XML_ENTITY_REF_NODE || n->type == XML_DTD_NODE) continue;
        for (xmlNodePtr c = n->children; c; c = c->next) pending.push_back(c);
        if (n->type == XML_ELEMENT_NODE)
            for (xmlAttrPtr a = n->properties; a; a = a->next) pending.push_back(reinterpret_cast<xmlNodePtr>(a));
    }
    return false;
}

NodeObject::NodeObject(std::shared_ptr<Tree> tree, XmlNode* node) : m_tree(std::move(tree)), m_node(node) {}

NodeObject::~NodeObject() { m_tree->forgetWrapper(m_node, this); }

}  // namespace lumora::xml
