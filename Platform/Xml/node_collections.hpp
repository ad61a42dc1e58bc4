#pragma once
// The DOM's collections: node lists (0-based item, length, for-each) and the attribute map of
// an element. childNodes is live: it follows later changes of the parent. Selections and
// getElementsByTagName are fixed lists taken when they were made.

#include <optional>
#include <vector>

#include "Automation/collection.hpp"
#include "tree.hpp"

namespace lumora::xml {

class DomNode;

class NodeListObject final : public Collection {
public:
    // The children of parent (a node object), as they are whenever the list is read.
    static Object liveChildren(Object parent);
    // A list fixed at creation.
    static Object fixed(std::vector<Object> nodes);

    const TypeInfo& typeInfo() const override;
    int32_t count() override;
    std::optional<Variant> at(int32_t position) override;

    Object nextNode();
    void reset() { m_cursor = 0; }

private:
    NodeListObject() = default;
    DomNode* parentNode() const;

    Object m_parent;              // live form
    std::vector<Object> m_nodes;  // fixed form
    bool m_live = false;
    int32_t m_cursor = 0;
    // Position cache of the live form, valid while the parent presents the same tree (a
    // document may load another) at the same revision.
    std::shared_ptr<Tree> m_cachedTree;
    uint64_t m_cachedRevision = 0;
    int32_t m_cachedIndex = -1;
    XmlNode* m_cachedNode = nullptr;
};

class AttributeMapObject final : public Collection {
public:
    explicit AttributeMapObject(Object element);

    const TypeInfo& typeInfo() const override;
    // An element's attributes are walked once, not position by position.
    std::optional<std::vector<Variant>> elements() override;
    int32_t count() override;
    std::optional<Variant> at(int32_t position) override;

    Object namedItem(const std::string& name) const;
    Object setNamedItem(const Variant& attribute);
    Object removeNamedItem(const std::string& name);
    Object nextNode();
    void reset() { m_cursor = 0; }

private:
    DomNode& element() const;
    Object m_element;
    int32_t m_cursor = 0;
};

}  // namespace lumora::xml
