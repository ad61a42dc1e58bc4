#include "html_objects.hpp"

#include <algorithm>
#include <iterator>
#include <tuple>

#include "Automation/error.hpp"
#include "Automation/vb/strings.hpp"
#include "Automation/vb/text.hpp"
#include "form_controls.hpp"
#include "html_document.hpp"
#include "rendered_text.hpp"
#include "serializer.hpp"
#include "table_sections.hpp"

namespace lumora::html {

namespace {

using N = HtmlNode;

std::string nodeName(const Node& node) {
    switch (node.type) {
        case NodeType::Element: return node.ns == Namespace::Html ? vb::uCase(node.name) : node.name;
        case NodeType::Text: return "#text";
        case NodeType::Comment: return "#comment";
        case NodeType::Document: return "#document";
        case NodeType::DocumentType: return node.name;
    }
    return {};
}

// Attribute names of HTML elements are matched in lower case, as the parser stored them.
std::string attributeName(const Node& element, std::string_view name) {
    return element.ns == Namespace::Html ? vb::asciiLower(name) : std::string(name);
}

Variant attributeOrNull(const Node& element, std::string_view name) {
    const std::string* value = element.attribute(attributeName(element, name));
    return value ? Variant(*value) : Variant::null();
}

std::string attributeText(const Node& element, std::string_view name) {
    const std::string* value = element.attribute(name);
    return value ? *value : std::string();
}

[[noreturn]] void unsupported() { raise(RuntimeError::ObjectDoesNotSupport); }

Node& require(Node& element, bool supported) {
    if (!supported) unsupported();
    return element;
}

// The node as an element of that tag; 438 for any other.
Node& tagged(const HtmlNode& n, std::string_view tag) {
    Node& element = n.element();
    return require(element, element.is(tag));
}

Object nodeObject(const N& self, Node* node) { return objectFor(self.tree(), node); }
Object nodeList(const N& self, std::vector<Node*> nodes) { return collectionOf(self.tree(), std::move(nodes)); }

// Members every node has.
void addNodeMembers(TypeInfo& t) {
    t.getter<N>("nodeName", 1000, [](N& n) { return Variant(nodeName(n.node())); });
    t.getter<N>("nodeType", 1001, [](N& n) { return Variant(static_cast<int32_t>(n.node().type)); });
    t.getter<N>("nodeValue", 1002, [](N& n) {
        return n.node().isElement() ? Variant::null() : Variant(n.node().data);
    });
    t.getter<N>("data", 1003, [](N& n) {
        require(n.node(), !n.node().isElement());
        return Variant(n.node().data);
    });
    t.getter<N>("textContent", 1004, [](N& n) { return Variant(n.node().textContent()); });
    t.getter<N>("parentNode", 1005, [](N& n) { return Variant(nodeObject(n, n.node().parent)); });
    t.getter<N>("parentElement", 1006, [](N& n) {
        Node* parent = n.node().parent;
        return Variant(nodeObject(n, parent && parent->isElement() ? parent : nullptr));
    });
    t.getter<N>("childNodes", 1007, [](N& n) { return Variant(nodeList(n, n.node().visibleChildren())); });
    t.getter<N>("firstChild", 1008, [](N& n) {
        auto children = n.node().visibleChildren();
        return Variant(nodeObject(n, children.empty() ? nullptr : children.front()));
    });
    t.getter<N>("lastChild", 1009, [](N& n) {
        auto children = n.node().visibleChildren();
        return Variant(nodeObject(n, children.empty() ? nullptr : children.back()));
    });
    t.getter<N>("nextSibling", 1010, [](N& n) { return Variant(nodeObject(n, n.node().visibleSibling(1))); });
    t.getter<N>("previousSibling", 1011, [](N& n) { return Variant(nodeObject(n, n.node().visibleSibling(-1))); });
    t.method<N>("hasChildNodes", 1012, {}, 0, [](N& n, Args&) { return Variant(!n.node().visibleChildren().empty()); });
    t.getter<N>("ownerDocument", 1013, [](N& n) { return Variant(nodeObject(n, n.tree()->document.get())); });
}

// What every element has: names, attributes, markup and text, and its element children.
void addElementMembers(TypeInfo& t) {
    t.getter<N>("tagName", 1100, [](N& n) { return Variant(nodeName(n.element())); });
    t.getter<N>("id", 1101, [](N& n) { return Variant(attributeText(n.element(), "id")); });
    t.setter<N>("id", 1101, [](N& n, const Variant& v) { n.element().setAttribute("id", v.toString()); });
    t.getter<N>("className", 1102, [](N& n) { return Variant(attributeText(n.element(), "class")); });
    t.setter<N>("className", 1102, [](N& n, const Variant& v) { n.element().setAttribute("class", v.toString()); });
    t.getter<N>("name", 1103, [](N& n) { return Variant(attributeText(n.element(), "name")); });
    t.getter<N>("disabled", 1104, [](N& n) { return Variant(n.element().hasAttribute("disabled")); });
    t.getter<N>("innerText", 1105, [](N& n) { return Variant(renderedText(n.element())); });
    t.getter<N>("innerHTML", 1106, [](N& n) { return Variant(innerHtml(n.element())); });
    t.getter<N>("outerHTML", 1107, [](N& n) { return Variant(outerHtml(n.element())); });
    t.method<N>("getAttribute", 1108, {"strAttributeName", "lFlags"}, 1, [](N& n, Args& a) {
        return attributeOrNull(n.element(), a[0].toString());
    });
    t.method<N>("setAttribute", 1109, {"strAttributeName", "AttributeValue", "lFlags"}, 2, [](N& n, Args& a) {
        Node& element = n.element();
        std::string name = a[0].toString();
        if (name.empty()) raise(RuntimeError::InvalidProcedureCall);
        element.setAttribute(attributeName(element, name), a[1].toString());
        return Variant();
    });
    t.method<N>("removeAttribute", 1110, {"strAttributeName", "lFlags"}, 1, [](N& n, Args& a) {
        Node& element = n.element();
        return Variant(element.removeAttribute(attributeName(element, a[0].toString())));
    });
    t.method<N>("hasAttribute", 1111, {"name"}, 1, [](N& n, Args& a) {
        Node& element = n.element();
        return Variant(element.hasAttribute(attributeName(element, a[0].toString())));
    });
    t.getter<N>("children", kDispIdChildren, [](N& n) { return Variant(nodeList(n, n.element().elementChildren())); });
    t.method<N>("getElementsByTagName", 1112, {"v"}, 1, [](N& n, Args& a) {
        return Variant(nodeList(n, elementsByTagName(n.element(), a[0].toString())));
    });
}

// Form controls: value, checked, type, and a list's options.
void addFormMembers(TypeInfo& t) {
    t.getter<N>("value", 1200, [](N& n) {
        Node& element = n.element();
        return Variant(controlValue(require(element, hasValueProperty(element))));
    });
    t.setter<N>("value", 1200, [](N& n, const Variant& v) {
        Node& element = n.element();
        setControlValue(require(element, hasValueProperty(element)), v.toString());
    });
    t.getter<N>("checked", 1201, [](N& n) { return Variant(isChecked(tagged(n, "input"))); });
    t.setter<N>("checked", 1201, [](N& n, const Variant& v) { setChecked(tagged(n, "input"), v.toBool()); });
    t.getter<N>("type", 1202, [](N& n) { return Variant(controlType(n.element())); });
    t.getter<N>("selectedIndex", 1203, [](N& n) { return Variant(selectedIndex(tagged(n, "select"))); });
    t.setter<N>("selectedIndex", 1203, [](N& n, const Variant& v) { setSelectedIndex(tagged(n, "select"), v.toI4()); });
    t.getter<N>("options", 1204, [](N& n) { return Variant(nodeList(n, optionsOf(tagged(n, "select")))); });
    t.getter<N>("length", 1205, [](N& n) {
        return Variant(static_cast<int32_t>(optionsOf(tagged(n, "select")).size()));
    });
    t.method<N>("item", 1206, {"name", "index"}, 0, [](N& n, Args& a) {
        HtmlCollection options(n.tree(), optionsOf(tagged(n, "select")));
        return options.item(a[0], kHtmlCollection);
    });
    t.getter<N>("selected", 1207, [](N& n) { return Variant(isSelected(tagged(n, "option"))); });
    t.setter<N>("selected", 1207, [](N& n, const Variant& v) { setSelected(tagged(n, "option"), v.toBool()); });
    t.getter<N>("text", 1208, [](N& n) {
        Node& element = n.element();
        return Variant(element.is("option") ? optionText(element) : element.textContent());
    });
    t.getter<N>("index", 1209, [](N& n) {
        Node& option = tagged(n, "option");
        Node* select = selectOf(option);
        if (!select) return Variant(0);
        auto options = optionsOf(*select);
        return Variant(static_cast<int32_t>(std::find(options.begin(), options.end(), &option) - options.begin()));
    });
}

// Tables: rows, cells and sections, as browsers give them.
void addTableMembers(TypeInfo& t) {
    t.getter<N>("rows", 1300, [](N& n) {
        Node& element = n.element();
        if (element.is("table")) return Variant(nodeList(n, tableRows(element)));
        return Variant(nodeList(n, sectionRows(require(element, isTableSection(element)))));
    });
    t.getter<N>("cells", 1301, [](N& n) { return Variant(nodeList(n, rowCells(tagged(n, "tr")))); });
    t.getter<N>("tBodies", 1302, [](N& n) { return Variant(nodeList(n, childrenNamed(tagged(n, "table"), "tbody"))); });
    for (auto [name, id, tag] : {std::tuple{"tHead", 1303, "thead"}, {"tFoot", 1304, "tfoot"}, {"caption", 1305, "caption"}}) {
        std::string section = tag;
        t.getter<N>(name, id, [section](N& n) {
            auto found = childrenNamed(tagged(n, "table"), section);
            return Variant(nodeObject(n, found.empty() ? nullptr : found.front()));
        });
    }
    t.getter<N>("rowIndex", 1306, [](N& n) { return Variant(rowIndex(tagged(n, "tr"))); });
    t.getter<N>("cellIndex", 1307, [](N& n) {
        Node& element = n.element();
        return Variant(cellIndex(require(element, element.is("td") || element.is("th"))));
    });
}

}  // namespace

Node& HtmlNode::element() const {
    if (!m_node->isElement()) unsupported();
    return *m_node;
}

const TypeInfo& HtmlNode::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("HTMLElement");
        addNodeMembers(t);
        addElementMembers(t);
        addFormMembers(t);
        addTableMembers(t);
        return t;
    }();
    return info;
}

std::optional<std::vector<Variant>> HtmlNode::elements() {
    if (!m_node->is("select")) return std::nullopt;
    std::vector<Variant> options;
    for (Node* option : optionsOf(*m_node)) options.emplace_back(objectFor(m_tree, option));
    return options;
}

Object objectFor(const std::shared_ptr<Tree>& tree, Node* node) {
    if (!node) return Object();
    if (auto existing = node->wrapper.lock()) return Object(existing);
    std::shared_ptr<Dispatch> made;
    if (node->type == NodeType::Document) {
        made = std::make_shared<HtmlDocument>(tree);
    } else {
        made = std::make_shared<HtmlNode>(tree, node);
    }
    node->wrapper = made;
    return Object(made);
}

Object collectionOf(const std::shared_ptr<Tree>& tree, std::vector<Node*> nodes) {
    return makeObject<HtmlCollection>(tree, std::move(nodes));
}

std::vector<Node*> elementsByTagName(const Node& root, std::string_view name) {
    std::vector<Node*> all = root.descendantElements();
    if (name == "*") return all;
    std::string lower = vb::asciiLower(name);
    std::erase_if(all, [&](Node* e) { return e->ns == Namespace::Html ? e->name != lower : e->name != name; });
    return all;
}

const CollectionShape kHtmlCollection{"length", 1500, "item", MemberKind::Method, {"name", "index"}, 0, 0,
                                      OutOfRange::Nothing};

std::optional<Variant> HtmlCollection::at(int32_t position) {
    if (position >= count()) return std::nullopt;
    return Variant(objectFor(m_tree, m_nodes[static_cast<size_t>(position)]));
}

Variant HtmlCollection::item(const Variant& key, const CollectionShape& shape) {
    if (key.isAbsent() || key.isNull()) return Variant(Object());
    bool digits = key.isString() && !key.str().empty() &&
                  std::all_of(key.str().begin(), key.str().end(), [](char c) { return c >= '0' && c <= '9'; });
    if (key.isString() && !digits) return *named(key.str());
    double index = key.toR8();
    if (index < 0 || index >= static_cast<double>(m_nodes.size())) return Variant(Object());
    return atPosition(static_cast<int64_t>(index), shape);
}

Object HtmlCollection::namedItem(std::string_view name) const {
    for (int pass = 0; pass < 2; ++pass) {
        for (Node* node : m_nodes) {
            const std::string* value = node->attribute(pass == 0 ? "id" : "name");
            if (node->isElement() && value && *value == name) return objectFor(m_tree, node);
        }
    }
    return Object();
}

Object HtmlCollection::tags(std::string_view name) const {
    std::string lower = vb::asciiLower(name);
    std::vector<Node*> matching;
    std::copy_if(m_nodes.begin(), m_nodes.end(), std::back_inserter(matching),
                 [&](Node* n) { return n->isElement() && n->name == lower; });
    return collectionOf(m_tree, std::move(matching));
}

const TypeInfo& HtmlCollection::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("HTMLCollection");
        using C = HtmlCollection;
        Collection::addCollectionMembers(t, kHtmlCollection);
        t.method<C>("namedItem", 1501, {"name"}, 1, [](C& c, Args& a) { return Variant(c.namedItem(a[0].toString())); });
        t.method<C>("tags", 1502, {"tagName"}, 1, [](C& c, Args& a) { return Variant(c.tags(a[0].toString())); });
        return t;
    }();
    return info;
}

}  // namespace lumora::html
