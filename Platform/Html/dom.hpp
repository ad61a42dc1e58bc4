#pragma once
// The page's document as a tree of nodes, built once by the parser. Its shape does not change
// afterwards; what script may change is attributes and the state of form controls (a typed
// value, a ticked box, a chosen option), which live beside the markup's defaults.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {
class Dispatch;
}

namespace lumora::html {

enum class NodeType : int32_t { Element = 1, Text = 3, Comment = 8, Document = 9, DocumentType = 10 };
enum class Namespace { Html, Svg, MathMl };

struct Attribute {
    std::string name;
    std::string value;
};

class Node {
public:
    Node(NodeType type, std::string name = {}) : type(type), name(std::move(name)) {}

    NodeType type;
    Namespace ns = Namespace::Html;
    std::string name;  // an element's local name (lower case in HTML), a doctype's name
    std::string data;  // the text of a text or comment node
    std::vector<Attribute> attributes;
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;

    // Form controls as the user or script changed them; unset means "as the markup says".
    std::optional<std::string> dirtyValue;
    std::optional<bool> dirtyChecked;
    std::optional<bool> dirtySelected;

    // The script object standing for this node, so one node is always one object.
    std::weak_ptr<Dispatch> wrapper;

    bool isElement() const { return type == NodeType::Element; }
    // An HTML element of that (lower-case) name.
    bool is(std::string_view tag) const { return type == NodeType::Element && ns == Namespace::Html && name == tag; }
    bool isWhitespaceText() const;

    const std::string* attribute(std::string_view attributeName) const;
    bool hasAttribute(std::string_view attributeName) const { return attribute(attributeName) != nullptr; }
    void setAttribute(std::string_view attributeName, std::string value);
    bool removeAttribute(std::string_view attributeName);

    Node* append(std::unique_ptr<Node> child);
    // The element children, in order.
    std::vector<Node*> elementChildren() const;
    // The children script walks as childNodes: whitespace-only text is left out, as the
    // pages' browser never made nodes of it.
    std::vector<Node*> visibleChildren() const;
    // The visible sibling after or before this node.
    Node* visibleSibling(int direction) const;
    // Every element below this node, in document order.
    std::vector<Node*> descendantElements() const;
    // The nearest ancestor that is an HTML element of that name.
    Node* ancestor(std::string_view tag) const;
    // The concatenated text of every text node below (textContent).
    std::string textContent() const;
};

// HTML's white space: blank, tab, line feed, carriage return, form feed.
bool isHtmlSpace(char c);
// The text without white space at either end and with each run inside made one blank.
std::string collapseWhitespace(std::string_view text);

// The nodes of one parse. Every object standing for a node holds the tree, so a node lives as
// long as anything refers to it, even after the document was rewritten.
struct Tree {
    std::unique_ptr<Node> document = std::make_unique<Node>(NodeType::Document, "#document");
};

}  // namespace lumora::html
