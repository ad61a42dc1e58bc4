#pragma once
// The script objects of the page's document: one HtmlNode per node (elements, text, comments)
// and HtmlCollection for the lists script walks (children, childNodes, rows, cells, options,
// getElementsByTagName). An object holds the tree it belongs to, so it stays usable after the
// document was released or rewritten; one node always answers as one and the same object.

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "Automation/collection.hpp"
#include "Automation/object.hpp"
#include "dom.hpp"

namespace lumora::html {

// Dispatch ids script may call by number: the element's collection of child elements, and
// the document's getElementById.
inline constexpr DispId kDispIdChildren = -2147417063;
inline constexpr DispId kDispIdGetElementById = 1088;

class HtmlNode : public Dispatch {
public:
    HtmlNode(std::shared_ptr<Tree> tree, Node* node) : m_tree(std::move(tree)), m_node(node) {}

    const TypeInfo& typeInfo() const override;
    // A select walks its options.
    std::optional<std::vector<Variant>> elements() override;

    const std::shared_ptr<Tree>& tree() const { return m_tree; }
    Node& node() const { return *m_node; }
    // The node as an element; 438 for text and comments, which lack element members.
    Node& element() const;

private:
    std::shared_ptr<Tree> m_tree;
    Node* m_node;
};

// length and item(0-based index, or id or name), Nothing when there is none.
extern const CollectionShape kHtmlCollection;

class HtmlCollection : public Collection {
public:
    HtmlCollection(std::shared_ptr<Tree> tree, std::vector<Node*> nodes) : m_tree(std::move(tree)), m_nodes(std::move(nodes)) {}

    const TypeInfo& typeInfo() const override;

    int32_t count() override { return static_cast<int32_t>(m_nodes.size()); }
    std::optional<Variant> at(int32_t position) override;
    std::optional<Variant> named(std::string_view name) override { return Variant(namedItem(name)); }
    // A missing key gives Nothing, and a fractional position counts as its whole part, as in the browser.
    Variant item(const Variant& key, const CollectionShape& shape) override;
    Object namedItem(std::string_view name) const;
    // tags(name): the members with that tag name.
    Object tags(std::string_view name) const;

private:
    std::shared_ptr<Tree> m_tree;
    std::vector<Node*> m_nodes;
};

// The object standing for a node (the document object for the document node); Nothing for null.
Object objectFor(const std::shared_ptr<Tree>& tree, Node* node);
Object collectionOf(const std::shared_ptr<Tree>& tree, std::vector<Node*> nodes);

// The elements below `root` with a tag name ("*" for all), as getElementsByTagName finds them.
std::vector<Node*> elementsByTagName(const Node& root, std::string_view name);

}  // namespace lumora::html
