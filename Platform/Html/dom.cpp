#include "dom.hpp"

#include <algorithm>

namespace lumora::html {

namespace {

void collectElements(const Node& node, std::vector<Node*>& out) {
    // An explicit stack: the walk costs no call depth however deep the tree.
    std::vector<const Node*> pending{&node};
    while (!pending.empty()) {
        const Node* current = pending.back();
        pending.pop_back();
        if (current != &node && current->isElement()) out.push_back(const_cast<Node*>(current));
        for (auto it = current->children.rbegin(); it != current->children.rend(); ++it) pending.push_back(it->get());
    }
}

}  // namespace

bool isHtmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

std::string collapseWhitespace(std::string_view text) {
    std::string out;
    bool blank = false;
    for (char c : text) {
        if (isHtmlSpace(c)) {
            blank = !out.empty();
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

bool Node::isWhitespaceText() const {
    return type == NodeType::Text && std::all_of(data.begin(), data.end(), isHtmlSpace);
}

const std::string* Node::attribute(std::string_view attributeName) const {
    for (const Attribute& a : attributes)
        if (a.name == attributeName) return &a.value;
    return nullptr;
}

void Node::setAttribute(std::string_view attributeName, std::string value) {
    for (Attribute& a : attributes) {
        if (a.name == attributeName) {
            a.value = std::move(value);
            return;
        }
    }
    attributes.push_back(Attribute{std::string(attributeName), std::move(value)});
}

bool Node::removeAttribute(std::string_view attributeName) {
    return std::erase_if(attributes, [&](const Attribute& a) { return a.name == attributeName; }) > 0;
}

Node* Node::append(std::unique_ptr<Node> child) {
    child->parent = this;
    children.push_back(std::move(child));
    return children.back().get();
}

std::vector<Node*> Node::elementChildren() const {
    std::vector<Node*> out;
    for (const auto& child : children)
        if (child->isElement()) out.push_back(child.get());
    return out;
}

std::vector<Node*> Node::visibleChildren() const {
    std::vector<Node*> out;
    for (const auto& child : children)
        if (!child->isWhitespaceText()) out.push_back(child.get());
    return out;
}

Node* Node::visibleSibling(int direction) const {
    if (!parent) return nullptr;
    auto& siblings = parent->children;
    auto self = std::find_if(siblings.begin(), siblings.end(), [&](const auto& n) { return n.get() == this; });
    ptrdiff_t at = self - siblings.begin();
    for (at += direction; at >= 0 && at < static_cast<ptrdiff_t>(siblings.size()); at += direction)
        if (!siblings[static_cast<size_t>(at)]->isWhitespaceText()) return siblings[static_cast<size_t>(at)].get();
    return nullptr;
}

std::vector<Node*> Node::descendantElements() const {
    std::vector<Node*> out;
    collectElements(*this, out);
    return out;
}

Node* Node::ancestor(std::string_view tag) const {
    for (Node* up = parent; up; up = up->parent)
        if (up->is(tag)) return up;
    return nullptr;
}

std::string Node::textContent() const {
    if (type == NodeType::Text || type == NodeType::Comment) return data;
    std::string text;
    std::vector<const Node*> pending{this};
    while (!pending.empty()) {
        const Node* current = pending.back();
        pending.pop_back();
        if (current->type == NodeType::Text) text += current->data;
        for (auto it = current->children.rbegin(); it != current->children.rend(); ++it) pending.push_back(it->get());
    }
    return text;
}

}  // namespace lumora::html
