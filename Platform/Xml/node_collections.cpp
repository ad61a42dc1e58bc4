#include "node_collections.hpp"

#include <libxml/tree.h>

#include "dom_node.hpp"
#include "node_access.hpp"
#include "tree_edit.hpp"

namespace lumora::xml {

namespace {

// length, item (the default member, 0-based), nextNode and reset, as both kinds of list have them.
template <class List>
void addListMembers(TypeInfo& t) {
    Collection::addCollectionMembers(t, kDomNodeList);
    t.method<List>("nextNode", 2, {}, 0, [](List& self, Args&) { return Variant(self.nextNode()); });
    t.method<List>("reset", 3, {}, 0, [](List& self, Args&) {
        self.reset();
        return Variant();
    });
}

}  // namespace

Object NodeListObject::liveChildren(Object parent) {
    std::shared_ptr<NodeListObject> list(new NodeListObject());
    list->m_parent = std::move(parent);
    list->m_live = true;
    return Object(std::move(list));
}

Object NodeListObject::fixed(std::vector<Object> nodes) {
    std::shared_ptr<NodeListObject> list(new NodeListObject());
    list->m_nodes = std::move(nodes);
    return Object(std::move(list));
}

DomNode* NodeListObject::parentNode() const { return m_parent.as<DomNode>(); }

int32_t NodeListObject::count() {
    if (!m_live) return static_cast<int32_t>(m_nodes.size());
    int32_t n = 0;
    for (XmlNode* c = firstChildOf(parentNode()->node()); c; c = nextShown(c)) ++n;
    return n;
}

std::optional<Variant> NodeListObject::at(int32_t index) {
    if (!m_live) {
        if (index >= static_cast<int32_t>(m_nodes.size())) return std::nullopt;
        return Variant(m_nodes[static_cast<size_t>(index)]);
    }
    DomNode* parent = parentNode();
    Tree& tree = *parent->tree();
    // Walking from the last position read makes a loop over item(0..length-1) linear.
    XmlNode* node = firstChildOf(parent->node());
    int32_t at = 0;
    if (m_cachedTree == parent->tree() && m_cachedRevision == tree.revision() && m_cachedIndex <= index) {
        node = m_cachedNode;
        at = m_cachedIndex;
    }
    while (node && at < index) {
        node = nextShown(node);
        ++at;
    }
    if (!node) return std::nullopt;
    m_cachedTree = parent->tree();
    m_cachedRevision = tree.revision();
    m_cachedIndex = at;
    m_cachedNode = node;
    return Variant(tree.wrap(node));
}

Object NodeListObject::nextNode() { return atPosition(m_cursor++, kDomNodeList).toObject(); }

const TypeInfo& NodeListObject::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("DOMNodeList");
        addListMembers<NodeListObject>(t);
        return t;
    }();
    return info;
}

AttributeMapObject::AttributeMapObject(Object element) : m_element(std::move(element)) {}

DomNode& AttributeMapObject::element() const { return *m_element.as<DomNode>(); }

int32_t AttributeMapObject::count() {
    int32_t n = 0;
    for (xmlAttrPtr a = element().node()->properties; a; a = a->next) ++n;
    return n;
}

std::optional<Variant> AttributeMapObject::at(int32_t index) {
    xmlAttrPtr a = element().node()->properties;
    for (int32_t i = 0; a && i < index; ++i) a = a->next;
    if (!a) return std::nullopt;
    return Variant(element().tree()->wrap(reinterpret_cast<xmlNodePtr>(a)));
}

Object AttributeMapObject::nextNode() { return atPosition(m_cursor++, kDomNodeList).toObject(); }

Object AttributeMapObject::namedItem(const std::string& name) const {
    return element().tree()->wrap(reinterpret_cast<xmlNodePtr>(findAttribute(element().node(), name)));
}

Object AttributeMapObject::setNamedItem(const Variant& attribute) {
    DomNode& attr = requireDomNode(attribute);
    Tree& tree = *element().tree();
    return tree.wrap(attachAttribute(tree, element().node(), *attr.tree(), attr.node()));
}

Object AttributeMapObject::removeNamedItem(const std::string& name) {
    Tree& tree = *element().tree();
    xmlAttrPtr attr = findAttribute(element().node(), name);
    if (!attr) return Object();
    Object removed = tree.wrap(reinterpret_cast<xmlNodePtr>(attr));
    detachAttribute(tree, reinterpret_cast<xmlNodePtr>(attr));
    return removed;
}

std::optional<std::vector<Variant>> AttributeMapObject::elements() {
    std::vector<Variant> out;
    for (xmlAttrPtr a = element().node()->properties; a; a = a->next)
        out.emplace_back(element().tree()->wrap(reinterpret_cast<xmlNodePtr>(a)));
    return out;
}

const TypeInfo& AttributeMapObject::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("DOMNamedNodeMap");
        addListMembers<AttributeMapObject>(t);
        t.method<AttributeMapObject>("getNamedItem", 4, {"name"}, 1, [](AttributeMapObject& self, Args& a) {
            return Variant(self.namedItem(a[0].toString()));
        });
        t.method<AttributeMapObject>("setNamedItem", 5, {"newItem"}, 1, [](AttributeMapObject& self, Args& a) {
            return Variant(self.setNamedItem(a[0]));
        });
        t.method<AttributeMapObject>("removeNamedItem", 6, {"name"}, 1, [](AttributeMapObject& self, Args& a) {
            return Variant(self.removeNamedItem(a[0].toString()));
        });
        return t;
    }();
    return info;
}

}  // namespace lumora::xml
