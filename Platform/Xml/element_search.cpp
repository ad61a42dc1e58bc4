#include "element_search.hpp"

#include <libxml/tree.h>

#include <vector>

#include "dom_node.hpp"
#include "node_access.hpp"
#include "node_collections.hpp"

namespace lumora::xml {

Object elementsByTagName(DomNode& root, const std::string& name) {
    std::vector<Object> found;
    bool all = name == "*";
    // Depth-first in document order without recursion: the stack holds the next sibling to visit.
    std::vector<xmlNodePtr> pending;
    if (root.node()->children) pending.push_back(root.node()->children);
    while (!pending.empty()) {
        xmlNodePtr node = pending.back();
        pending.pop_back();
        if (node->next) pending.push_back(node->next);
        if (node->type != XML_ELEMENT_NODE) continue;
        if (all || qualifiedName(node) == name) found.push_back(root.tree()->wrap(node));
        if (node->children) pending.push_back(node->children);
    }
    return NodeListObject::fixed(std::move(found));
}

}  // namespace lumora::xml
