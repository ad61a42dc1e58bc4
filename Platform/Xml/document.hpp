#pragma once
// The XML document object ("Msxml2.DOMDocument"): a node itself, plus loading, saving,
// creating nodes, the parse error of the last load and the selection properties. Loading
// replaces the tree it presents; nodes of the previous tree stay valid in their own tree.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "dom_node.hpp"
#include "parser.hpp"
#include "tree.hpp"

namespace lumora::xml {

class DocumentObject final : public DomNode {
public:
    // Presents an existing tree (and shares its settings).
    explicit DocumentObject(std::shared_ptr<Tree> tree);

    // A new, empty document as script creates it.
    static Object create();

    const TypeInfo& typeInfo() const override;
    XmlNode* node() const override;
    const std::shared_ptr<Tree>& tree() const override { return m_tree; }
    DocumentSettings& settings() const { return m_tree->settings(); }

    // loadXML: parses text (already Unicode, so any encoding declaration is ignored).
    bool loadXml(std::string_view text);
    // load: a local path, a file: URL, or an http(s) address fetched through the hardened client.
    bool load(const std::string& source);
    // Takes on the outcome of a parse (also of a response body or a transformation result): the tree on success, the empty tree and the failure otherwise.
    bool take(ParseOutcome outcome);

    // A copy of this document (deep: with all its nodes) as a new document object.
    Object clone(bool deep) const;

    const std::optional<ParseFailure>& lastFailure() const { return m_failure; }
    const std::string& url() const { return m_url; }

private:
    void replaceTree(std::shared_ptr<Tree> tree);

    std::shared_ptr<Tree> m_tree;
    std::optional<ParseFailure> m_failure;
    std::string m_url;
};

}  // namespace lumora::xml
