#pragma once
// The automation objects for XML nodes. DomNode is what every node member works on: the
// document object and the node objects both present one libxml2 node of one tree.

#include <memory>

#include "Automation/object.hpp"
#include "tree.hpp"

namespace lumora::xml {

class DomNode : public Dispatch {
public:
    virtual XmlNode* node() const = 0;
    virtual const std::shared_ptr<Tree>& tree() const = 0;
};

// Any node but the document itself. Created only by Tree::wrap.
class NodeObject final : public DomNode {
public:
    NodeObject(std::shared_ptr<Tree> tree, XmlNode* node);
    ~NodeObject() override;

    const TypeInfo& typeInfo() const override;
    XmlNode* node() const override { return m_node; }
    const std::shared_ptr<Tree>& tree() const override { return m_tree; }

private:
    std::shared_ptr<Tree> m_tree;
    XmlNode* m_node;
};

// The node behind an argument: the DOM node object an argument holds, or nullptr when the
// argument is not one (Nothing, a string, an object of another kind).
DomNode* domNodeOf(const Variant& value);
// As domNodeOf, but a missing or foreign argument is a type mismatch (error 13).
DomNode& requireDomNode(const Variant& value);

// Member tables, built once: the members every node has, and those of each node kind.
void addNodeMembers(TypeInfo& info);
void addElementMembers(TypeInfo& info);
void addAttributeMembers(TypeInfo& info);
void addCharacterDataMembers(TypeInfo& info);
void addProcessingInstructionMembers(TypeInfo& info);

}  // namespace lumora::xml
