// The members of particular node kinds: elements, attributes, character data and
// processing instructions.

#include <libxml/tree.h>

#include <string>
#include <vector>

#include "Automation/vb/utf8.hpp"
#include "dom_node.hpp"
#include "element_search.hpp"
#include "node_access.hpp"
#include "node_collections.hpp"
#include "tree_edit.hpp"
#include "xml_errors.hpp"

namespace lumora::xml {

namespace {

Variant attributeOrNull(DomNode& self, const std::string& name) {
    if (auto declared = namespaceDeclaration(self.node(), name)) return Variant(*declared);
    xmlAttrPtr attr = findAttribute(self.node(), name);
    return attr ? Variant(attributeValue(attr)) : Variant::null();
}

// Code-point based slice of UTF-8 text, for substringData.
std::string characters(const std::string& text, int32_t offset, int32_t count) {
    if (offset < 0 || count < 0 || offset > characterCount(text)) throw Error(RuntimeError::InvalidProcedureCall);
    const size_t begin = vb::utf8::offsetOf(text, static_cast<size_t>(offset));
    const size_t length = vb::utf8::offsetOf(std::string_view(text).substr(begin), static_cast<size_t>(count));
    return text.substr(begin, length);
}

}  // namespace

void addElementMembers(TypeInfo& t) {
    t.getter<DomNode>("tagName", 100, [](DomNode& s) { return Variant(qualifiedName(s.node())); });
    t.method<DomNode>("getAttribute", 101, {"name"}, 1,
                      [](DomNode& s, Args& a) { return attributeOrNull(s, a[0].toString()); });
    t.method<DomNode>("setAttribute", 102, {"name", "value"}, 2, [](DomNode& s, Args& a) {
        setAttribute(*s.tree(), s.node(), a[0].toString(), a[1].toString());
        return Variant();
    });
    t.method<DomNode>("removeAttribute", 103, {"name"}, 1, [](DomNode& s, Args& a) {
        removeAttribute(*s.tree(), s.node(), a[0].toString());
        return Variant();
    });
    t.method<DomNode>("getAttributeNode", 104, {"name"}, 1, [](DomNode& s, Args& a) {
        return Variant(s.tree()->wrap(reinterpret_cast<xmlNodePtr>(findAttribute(s.node(), a[0].toString()))));
    });
    t.method<DomNode>("setAttributeNode", 105, {"DOMAttribute"}, 1, [](DomNode& s, Args& a) {
        DomNode& attr = requireDomNode(a[0]);
        return Variant(s.tree()->wrap(attachAttribute(*s.tree(), s.node(), *attr.tree(), attr.node())));
    });
    t.method<DomNode>("removeAttributeNode", 106, {"DOMAttribute"}, 1, [](DomNode& s, Args& a) {
        DomNode& attr = requireDomNode(a[0]);
        if (attr.tree() != s.tree() || attr.node()->parent != s.node()) raise(XmlError::NotAChild);
        Object keep = s.tree()->wrap(attr.node());
        detachAttribute(*s.tree(), attr.node());
        return Variant(keep);
    });
    t.method<DomNode>("getElementsByTagName", 107, {"tagName"}, 1,
                      [](DomNode& s, Args& a) { return Variant(elementsByTagName(s, a[0].toString())); });
    t.method<DomNode>("normalize", 108, {}, 0, [](DomNode&, Args&) {
        // Adjacent text is already merged when documents load; nothing is left to join.
        return Variant();
    });
}

void addAttributeMembers(TypeInfo& t) {
    t.getter<DomNode>("name", 100, [](DomNode& s) { return Variant(qualifiedName(s.node())); });
    t.getter<DomNode>("value", 101, [](DomNode& s) { return Variant(*nodeValue(s.node())); });
    t.setter<DomNode>("value", 101, [](DomNode& s, const Variant& v) { setText(*s.tree(), s.node(), v.toString()); });
}

void addCharacterDataMembers(TypeInfo& t) {
    t.getter<DomNode>("data", 100, [](DomNode& s) { return Variant(*nodeValue(s.node())); });
    t.setter<DomNode>("data", 100, [](DomNode& s, const Variant& v) { setText(*s.tree(), s.node(), v.toString()); });
    t.getter<DomNode>("length", 101, [](DomNode& s) { return Variant(characterCount(*nodeValue(s.node()))); });
    t.method<DomNode>("substringData", 102, {"offset", "count"}, 2, [](DomNode& s, Args& a) {
        return Variant(characters(*nodeValue(s.node()), a[0].toI4(), a[1].toI4()));
    });
    t.method<DomNode>("appendData", 103, {"data"}, 1, [](DomNode& s, Args& a) {
        setText(*s.tree(), s.node(), *nodeValue(s.node()) + a[0].toString());
        return Variant();
    });
}

void addProcessingInstructionMembers(TypeInfo& t) {
    t.getter<DomNode>("target", 100, [](DomNode& s) { return Variant(nodeName(s.node())); });
    t.getter<DomNode>("data", 101, [](DomNode& s) { return Variant(*nodeValue(s.node())); });
    t.setter<DomNode>("data", 101, [](DomNode& s, const Variant& v) { setText(*s.tree(), s.node(), v.toString()); });
}

namespace {

TypeInfo nodeTypeInfo(const char* name, void (*addKindMembers)(TypeInfo&)) {
    TypeInfo t(name);
    addNodeMembers(t);
    if (addKindMembers) addKindMembers(t);
    return t;
}

}  // namespace

const TypeInfo& NodeObject::typeInfo() const {
    static const TypeInfo element = nodeTypeInfo("DOMElement", addElementMembers);
    static const TypeInfo attribute = nodeTypeInfo("DOMAttribute", addAttributeMembers);
    static const TypeInfo characterData = nodeTypeInfo("DOMCharacterData", addCharacterDataMembers);
    static const TypeInfo instruction = nodeTypeInfo("DOMProcessingInstruction", addProcessingInstructionMembers);
    static const TypeInfo plain = nodeTypeInfo("DOMNode", nullptr);
    switch (domType(m_node)) {
        case DomNodeType::Element: return element;
        case DomNodeType::Attribute: return attribute;
        case DomNodeType::Text:
        case DomNodeType::CData:
        case DomNodeType::Comment: return characterData;
        case DomNodeType::ProcessingInstruction: return instruction;
        default: return plain;
    }
}

}  // namespace lumora::xml
