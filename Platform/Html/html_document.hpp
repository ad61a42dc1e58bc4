#pragma once
// "Lumora.HTMLDocument": the page's HTML document as the controls receive it. The host makes
// one from the page's markup ({"$html": "<...>"}) by calling write; load reads a file.

#include <memory>
#include <string_view>

#include "Automation/object.hpp"
#include "dom.hpp"

namespace lumora::html {

class HtmlDocument : public Dispatch {
public:
    HtmlDocument();
    explicit HtmlDocument(std::shared_ptr<Tree> tree) : m_tree(std::move(tree)) {}

    const TypeInfo& typeInfo() const override;

    // Replaces the document with the markup's.
    void write(std::string_view markup);
    // Replaces the document with a file's (a page path; see Platform/Files/page_path.hpp).
    void load(std::string_view path);

    // The tree, with this object recorded as its document node's object.
    const std::shared_ptr<Tree>& tree();
    Node* documentElement() const;
    Node* body() const;
    // The first element with that id; failing that, the first with that name, as the pages'
    // browser also answered.
    Node* elementById(std::string_view id) const;

private:
    std::shared_ptr<Tree> m_tree;
};

}  // namespace lumora::html
