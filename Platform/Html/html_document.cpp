#include "html_document.hpp"

#include <array>

#include "Automation/error.hpp"
#include "Platform/Files/file_handle.hpp"
#include "Platform/Files/page_path.hpp"
#include "html_errors.hpp"
#include "html_objects.hpp"
#include "html_parser.hpp"

namespace lumora::html {

namespace {

using D = HtmlDocument;

std::string readDocumentFile(std::string_view path) {
    files::PagePath where = files::resolvePagePath(path);
    files::FileHandle file =
        files::FileHandle::open(where.local, files::FileHandle::Access::Read, files::FileHandle::Creation::OpenExisting);
    const size_t limit = MarkupLimits{}.maxBytes;
    if (file.size() > limit) raise(HtmlError::DocumentTooLarge, std::to_string(limit));
    std::string bytes;
    std::array<char, 1 << 16> buffer;
    while (size_t got = file.read(buffer)) {
        bytes.append(buffer.data(), got);
        if (bytes.size() > limit) raise(HtmlError::DocumentTooLarge, std::to_string(limit));
    }
    return bytes;
}

Node* firstChildNamed(const Node* parent, std::initializer_list<std::string_view> tags) {
    if (!parent) return nullptr;
    for (const auto& child : parent->children)
        for (std::string_view tag : tags)
            if (child->is(tag)) return child.get();
    return nullptr;
}

std::string joinedArguments(const Args& a) {
    std::string text;
    for (size_t i = 0; i < a.size(); ++i)
        if (!a[i].isMissing()) text += a[i].toString();
    return text;
}

}  // namespace

HtmlDocument::HtmlDocument() : m_tree(parseDocument("")) {}

const std::shared_ptr<Tree>& HtmlDocument::tree() {
    if (m_tree->document->wrapper.expired()) m_tree->document->wrapper = weak_from_this();
    return m_tree;
}

void HtmlDocument::write(std::string_view markup) {
    std::shared_ptr<Tree> parsed = parseDocument(markup);
    // Objects of the old document keep their tree; it is no longer this object's.
    if (m_tree->document->wrapper.lock().get() == this) m_tree->document->wrapper.reset();
    m_tree = std::move(parsed);
    tree();
}

void HtmlDocument::load(std::string_view path) { write(decodeDocumentBytes(readDocumentFile(path))); }

Node* HtmlDocument::documentElement() const {
    for (const auto& child : m_tree->document->children)
        if (child->isElement()) return child.get();
    return nullptr;
}

Node* HtmlDocument::body() const { return firstChildNamed(documentElement(), {"body", "frameset"}); }

Node* HtmlDocument::elementById(std::string_view id) const {
    if (id.empty()) return nullptr;
    std::vector<Node*> all = m_tree->document->descendantElements();
    for (const char* attribute : {"id", "name"})
        for (Node* element : all)
            if (const std::string* value = element->attribute(attribute); value && *value == id) return element;
    return nullptr;
}

const TypeInfo& HtmlDocument::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("HTMLDocument");
        t.variadic<D>("write", 1054, {"psarray"}, 0, [](D& d, Args& a) {
            d.write(joinedArguments(a));
            return Variant();
        });
        t.method<D>("load", 1055, {"path"}, 1, [](D& d, Args& a) {
            d.load(a[0].toString());
            return Variant();
        });
        t.method<D>("getElementById", kDispIdGetElementById, {"v"}, 1, [](D& d, Args& a) {
            return Variant(objectFor(d.tree(), d.elementById(a[0].toString())));
        });
        t.method<D>("getElementsByTagName", 1087, {"v"}, 1, [](D& d, Args& a) {
            return Variant(collectionOf(d.tree(), elementsByTagName(*d.tree()->document, a[0].toString())));
        });
        t.method<D>("getElementsByName", 1086, {"v"}, 1, [](D& d, Args& a) {
            std::string name = a[0].toString();
            std::vector<Node*> named = d.tree()->document->descendantElements();
            std::erase_if(named, [&](Node* e) {
                const std::string* value = e->attribute("name");
                return !value || *value != name;
            });
            return Variant(collectionOf(d.tree(), std::move(named)));
        });
        t.getter<D>("documentElement", 1075, [](D& d) { return Variant(objectFor(d.tree(), d.documentElement())); });
        t.getter<D>("body", 1004, [](D& d) { return Variant(objectFor(d.tree(), d.body())); });
        t.getter<D>("head", 1080, [](D& d) {
            return Variant(objectFor(d.tree(), firstChildNamed(d.documentElement(), {"head"})));
        });
        t.getter<D>("all", 1003, [](D& d) {
            return Variant(collectionOf(d.tree(), d.tree()->document->descendantElements()));
        });
        t.getter<D>("title", 1012, [](D& d) {
            auto titles = elementsByTagName(*d.tree()->document, "title");
            return Variant(titles.empty() ? std::string() : collapseWhitespace(titles.front()->textContent()));
        });
        t.getter<D>("childNodes", 1081, [](D& d) {
            return Variant(collectionOf(d.tree(), d.tree()->document->visibleChildren()));
        });
        t.getter<D>("firstChild", 1082, [](D& d) {
            auto children = d.tree()->document->visibleChildren();
            return Variant(objectFor(d.tree(), children.empty() ? nullptr : children.front()));
        });
        t.getter<D>("nodeType", 1083, [](D&) { return Variant(static_cast<int32_t>(NodeType::Document)); });
        t.getter<D>("nodeName", 1084, [](D&) { return Variant("#document"); });
        t.getter<D>("parentNode", 1085, [](D&) { return Variant(Object()); });
        t.getter<D>("readyState", 1018, [](D&) { return Variant("complete"); });
        return t;
    }();
    return info;
}

}  // namespace lumora::html
