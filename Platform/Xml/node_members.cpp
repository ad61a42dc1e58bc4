// The members every DOM node answers, shared by the node objects and the document object.

#include <libxml/tree.h>

#include "document.hpp"
#include "dom_node.hpp"
#include "node_access.hpp"
#include "node_collections.hpp"
#include "serialize.hpp"
#include "tree_edit.hpp"
#include "xml_errors.hpp"
#include "xpath_select.hpp"
#include "xslt_transform.hpp"

namespace lumora::xml {

namespace {

Variant wrapped(DomNode& self, XmlNode* node) { return Variant(self.tree()->wrap(node)); }

Object selfObject(DomNode& self) { return Object(self.shared_from_this()); }

bool isDocument(const DomNode& self) { return self.node()->type == XML_DOCUMENT_NODE; }

Variant text(DomNode& self) { return Variant(nodeText(self.node(), self.tree()->settings().preserveWhiteSpace)); }

Variant markup(DomNode& self) {
    return Variant(isDocument(self) ? documentXml(*self.tree()) : nodeXml(self.node()));
}

// insertBefore and appendChild: the reference child may be left out, Nothing or Null.
Variant insert(DomNode& self, const Variant& newChild, const Variant& refChild) {
    DomNode& child = requireDomNode(newChild);
    DomNode* before = domNodeOf(refChild);
    if (!before && !refChild.isAbsent() && !refChild.isNull() && !(refChild.isObject() && refChild.toObject().isNothing()))
        throw Error(RuntimeError::TypeMismatch);
    Tree& tree = *self.tree();
    if (before && before->tree() != self.tree()) raise(XmlError::NotAChild);
    return wrapped(self, insertChild(tree, self.node(), *child.tree(), child.node(), before ? before->node() : nullptr));
}

Variant removeChildMember(DomNode& self, const Variant& oldChild) {
    DomNode& child = requireDomNode(oldChild);
    if (child.tree() != self.tree()) raise(XmlError::NotAChild);
    Object keep = self.tree()->wrap(child.node());
    removeChild(*self.tree(), self.node(), child.node());
    return Variant(keep);
}

Variant replaceChildMember(DomNode& self, const Variant& newChild, const Variant& oldChild) {
    DomNode& replacement = requireDomNode(newChild);
    DomNode& old = requireDomNode(oldChild);
    if (old.tree() != self.tree()) raise(XmlError::NotAChild);
    Object keep = self.tree()->wrap(old.node());
    replaceChild(*self.tree(), self.node(), *replacement.tree(), replacement.node(), old.node());
    return Variant(keep);
}

Variant cloneMember(DomNode& self, bool deep) {
    if (isDocument(self)) return Variant(static_cast<DocumentObject&>(self).clone(deep));
    Tree& tree = *self.tree();
    return Variant(tree.adoptNew(copyNode(tree, self.node(), deep)));
}

Variant select(DomNode& self, const std::string& expression) {
    std::vector<Object> nodes;
    for (XmlNode* n : selectNodes(self.node(), expression, self.tree()->settings().namespaces))
        nodes.push_back(self.tree()->wrap(n));
    return Variant(NodeListObject::fixed(std::move(nodes)));
}

Variant transformToObject(DomNode& self, const Variant& stylesheet, const Variant& output) {
    DomNode& style = requireDomNode(stylesheet);
    Object target = output.toObject();
    auto* document = target.as<DocumentObject>();
    if (!document) throw Error(RuntimeError::TypeMismatch);
    std::string text = transformToText(self.node(), style.node());
    if (!document->loadXml(text)) raise(XmlError::TransformFailed, document->lastFailure()->reason);
    return Variant();
}

}  // namespace

void addNodeMembers(TypeInfo& t) {
    t.getter<DomNode>("nodeName", 2, [](DomNode& s) { return Variant(nodeName(s.node())); });
    t.getter<DomNode>("nodeValue", 3, [](DomNode& s) {
        auto value = nodeValue(s.node());
        return value ? Variant(*value) : Variant::null();
    });
    t.setter<DomNode>("nodeValue", 3, [](DomNode& s, const Variant& v) {
        setNodeValue(*s.tree(), s.node(), v.toString());
    });
    t.getter<DomNode>("nodeType", 4, [](DomNode& s) { return Variant(static_cast<int32_t>(domType(s.node()))); });
    t.getter<DomNode>("nodeTypeString", 5, [](DomNode& s) { return Variant(domTypeString(s.node())); });
    t.getter<DomNode>("parentNode", 6, [](DomNode& s) { return wrapped(s, parentOf(s.node())); });
    t.getter<DomNode>("childNodes", 7, [](DomNode& s) { return Variant(NodeListObject::liveChildren(selfObject(s))); });
    t.getter<DomNode>("firstChild", 8, [](DomNode& s) { return wrapped(s, firstChildOf(s.node())); });
    t.getter<DomNode>("lastChild", 9, [](DomNode& s) { return wrapped(s, lastChildOf(s.node())); });
    t.getter<DomNode>("previousSibling", 10, [](DomNode& s) { return wrapped(s, previousShown(s.node())); });
    t.getter<DomNode>("nextSibling", 11, [](DomNode& s) { return wrapped(s, nextShown(s.node())); });
    t.getter<DomNode>("attributes", 12, [](DomNode& s) {
        if (s.node()->type != XML_ELEMENT_NODE) return Variant(Object());
        return Variant(makeObject<AttributeMapObject>(selfObject(s)));
    });
    t.method<DomNode>("insertBefore", 13, {"newChild", "refChild"}, 1,
                      [](DomNode& s, Args& a) { return insert(s, a[0], a[1]); });
    t.method<DomNode>("replaceChild", 14, {"newChild", "oldChild"}, 2,
                      [](DomNode& s, Args& a) { return replaceChildMember(s, a[0], a[1]); });
    t.method<DomNode>("removeChild", 15, {"childNode"}, 1,
                      [](DomNode& s, Args& a) { return removeChildMember(s, a[0]); });
    t.method<DomNode>("appendChild", 16, {"newChild"}, 1,
                      [](DomNode& s, Args& a) { return insert(s, a[0], Variant::missing()); });
    t.method<DomNode>("hasChildNodes", 17, {}, 0,
                      [](DomNode& s, Args&) { return Variant(firstChildOf(s.node()) != nullptr); });
    t.getter<DomNode>("ownerDocument", 18, [](DomNode& s) {
        return isDocument(s) ? Variant(Object()) : Variant(s.tree()->documentObject());
    });
    t.method<DomNode>("cloneNode", 19, {"deep"}, 1, [](DomNode& s, Args& a) { return cloneMember(s, a[0].toBool()); });
    t.getter<DomNode>("text", 20, text);
    t.setter<DomNode>("text", 20, [](DomNode& s, const Variant& v) {
        if (isDocument(s)) raise(XmlError::WrongNodeType);
        setText(*s.tree(), s.node(), v.toString());
    });
    t.getter<DomNode>("nodeTypedValue", 21, text);
    t.setter<DomNode>("nodeTypedValue", 21, [](DomNode& s, const Variant& v) {
        if (isDocument(s)) raise(XmlError::WrongNodeType);
        setText(*s.tree(), s.node(), v.toString());
    });
    t.getter<DomNode>("xml", 22, markup);
    t.getter<DomNode>("baseName", 23, [](DomNode& s) { return Variant(localName(s.node())); });
    t.getter<DomNode>("prefix", 24, [](DomNode& s) { return Variant(prefixOf(s.node())); });
    t.getter<DomNode>("namespaceURI", 25, [](DomNode& s) { return Variant(namespaceUri(s.node())); });
    t.getter<DomNode>("specified", 26, [](DomNode&) { return Variant(true); });
    t.method<DomNode>("selectNodes", 27, {"queryString"}, 1,
                      [](DomNode& s, Args& a) { return select(s, a[0].toString()); });
    t.method<DomNode>("selectSingleNode", 28, {"queryString"}, 1, [](DomNode& s, Args& a) {
        return wrapped(s, selectSingleNode(s.node(), a[0].toString(), s.tree()->settings().namespaces));
    });
    t.method<DomNode>("transformNode", 29, {"stylesheet"}, 1, [](DomNode& s, Args& a) {
        return Variant(transformToText(s.node(), requireDomNode(a[0]).node()));
    });
    t.method<DomNode>("transformNodeToObject", 30, {"stylesheet", "outputObject"}, 2,
                      [](DomNode& s, Args& a) { return transformToObject(s, a[0], a[1]); });
}

DomNode* domNodeOf(const Variant& value) {
    if (!value.isObject()) return nullptr;
    return value.toObject().as<DomNode>();
}

DomNode& requireDomNode(const Variant& value) {
    DomNode* node = domNodeOf(value);
    if (!node) {
        if (value.isObject() && value.toObject().isNothing()) throw Error(RuntimeError::ObjectNotSet);
        throw Error(RuntimeError::TypeMismatch);
    }
    return *node;
}

}  // namespace lumora::xml
