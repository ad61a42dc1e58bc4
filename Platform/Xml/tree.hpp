#pragma once
// Tree: one parsed (or built) XML document and everything that refers into it. Every node
// object handed to script holds the tree, so a page that drops the document but keeps a node
// keeps a working node. The tree hands out one automation object per node at a time, so the
// same node always behaves as the same object, and it owns detached nodes until they are
// attached again or nobody can reach them any more.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "Automation/object.hpp"
#include "xml_handles.hpp"

namespace lumora::xml {

class DocumentObject;
class NodeObject;

// Settings of a document object that also govern its nodes (selections, text). Shared by the
// document object and every tree it has held.
struct DocumentSettings {
    bool async = true;
    bool validateOnParse = true;
    bool resolveExternals = true;
    bool preserveWhiteSpace = false;
    std::string selectionLanguage = "XSLPattern";
    std::string selectionNamespaces;
    std::vector<std::pair<std::string, std::string>> namespaces;  // prefix, URI
};

class Tree : public std::enable_shared_from_this<Tree> {
public:
    Tree(DocHandle doc, std::shared_ptr<DocumentSettings> settings, bool hasDeclaration);
    ~Tree();
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;

    // A tree with an empty document.
    static std::shared_ptr<Tree> empty(std::shared_ptr<DocumentSettings> settings);

    XmlDoc* doc() const { return m_doc.get(); }
    XmlNode* docNode() const;
    bool hasDeclaration() const { return m_hasDeclaration; }
    DocumentSettings& settings() const { return *m_settings; }
    const std::shared_ptr<DocumentSettings>& sharedSettings() const { return m_settings; }

    // The automation object for a node of this tree; Nothing for null. The document node maps
    // to the document object that presents this tree.
    Object wrap(XmlNode* node);
    Object documentObject();
    // Makes document the presenter of this tree (called when it takes the tree on).
    void presentBy(const std::shared_ptr<DocumentObject>& document);

    // Ownership of nodes outside the tree. adoptDetached takes a node that has just been
    // unlinked or created; attached tells the tree it is linked in again.
    void adoptDetached(XmlNode* node);
    void attached(XmlNode* node);
    // A node just created for this tree: wrapped first, so it survives until script drops it.
    Object adoptNew(XmlNode* node);
    bool isDetachedRoot(XmlNode* node) const { return m_detached.count(node) != 0; }

    // Called by a node object as it goes away.
    void forgetWrapper(XmlNode* node, const NodeObject* wrapper);

    // Changes whenever the structure changes; live lists use it to drop cached positions.
    uint64_t revision() const { return m_revision; }
    void touch() { ++m_revision; }

private:
    void freeIfUnreachable(XmlNode* root);
    bool subtreeWrapped(XmlNode* root) const;

    DocHandle m_doc;
    std::shared_ptr<DocumentSettings> m_settings;
    bool m_hasDeclaration;
    struct WrapperSlot {
        const NodeObject* raw;
        std::weak_ptr<Dispatch> object;
    };
    std::unordered_map<XmlNode*, WrapperSlot> m_wrappers;
    std::unordered_set<XmlNode*> m_detached;
    std::weak_ptr<DocumentObject> m_presenter;
    uint64_t m_revision = 0;
};

}  // namespace lumora::xml
