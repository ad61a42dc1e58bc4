#pragma once
// One XML part of a package, parsed with the hardened parser (no network, no external
// entities, size and depth limits) and refused outright when it carries a document type
// declaration, which no word-processing part needs and every entity attack does.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Platform/Xml/xml_handles.hpp"

struct _xmlNode;

namespace lumora::word {

using XmlNode = _xmlNode;

// Elements taken out of a part while it is edited. They stay allocated until the part goes,
// since a story or a script object may still name one (a text box inside a deleted run, a
// table script holds), and are freed before the tree they came from.
class DiscardedNodes {
public:
    DiscardedNodes() = default;
    DiscardedNodes(DiscardedNodes&& other) noexcept : m_nodes(std::exchange(other.m_nodes, {})) {}
    DiscardedNodes& operator=(DiscardedNodes&&) = delete;
    ~DiscardedNodes();
    // Unlinks the node from its tree and keeps it; a node already out of its tree is left alone.
    void take(XmlNode* node);

private:
    std::vector<XmlNode*> m_nodes;
};

struct XmlPart {
    std::string name;  // the entry name in the package
    xml::DocHandle doc;
    uint64_t edits = 0;  // changes made since it was read; a part never edited is saved as it came
    DiscardedNodes discarded;  // declared after doc: freed first
};

// Errors: BadPart, naming the part and the reason.
XmlPart parsePart(std::string_view name, std::string_view bytes);
// The part's XML text as it is saved.
std::string serializePart(const XmlPart& part);

}  // namespace lumora::word
