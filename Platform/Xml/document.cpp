#include "document.hpp"

#include <libxml/tree.h>

#include "document_members.hpp"
#include "document_source.hpp"

namespace lumora::xml {

namespace {

ParseOptions optionsFor(const DocumentSettings& settings) {
    ParseOptions options;
    options.whitespace = settings.preserveWhiteSpace ? Whitespace::Preserve : Whitespace::Drop;
    return options;
}

}  // namespace

DocumentObject::DocumentObject(std::shared_ptr<Tree> tree) : m_tree(std::move(tree)) {}

Object DocumentObject::create() {
    auto settings = std::make_shared<DocumentSettings>();
    auto document = std::make_shared<DocumentObject>(Tree::empty(settings));
    document->m_tree->presentBy(document);
    return Object(std::move(document));
}

XmlNode* DocumentObject::node() const { return m_tree->docNode(); }

const TypeInfo& DocumentObject::typeInfo() const { return documentTypeInfo(); }

void DocumentObject::replaceTree(std::shared_ptr<Tree> tree) {
    m_tree = std::move(tree);
    m_tree->presentBy(std::static_pointer_cast<DocumentObject>(shared_from_this()));
}

bool DocumentObject::take(ParseOutcome outcome) {
    if (outcome.doc) {
        replaceTree(std::make_shared<Tree>(std::move(outcome.doc), m_tree->sharedSettings(), outcome.hasDeclaration));
        m_failure.reset();
        return true;
    }
    // A failed load leaves the document empty, with the reason in parseError.
    replaceTree(Tree::empty(m_tree->sharedSettings()));
    m_failure = std::move(outcome.failure);
    return false;
}

bool DocumentObject::loadXml(std::string_view text) {
    m_url.clear();
    return take(parseXml(text, optionsFor(settings())));
}

bool DocumentObject::load(const std::string& source) {
    m_url = source;
    return take(loadDocumentSource(source, optionsFor(settings())));
}

Object DocumentObject::clone(bool deep) const {
    DocHandle copy(xmlCopyDoc(m_tree->doc(), deep ? 1 : 0));
    if (!copy) throw std::bad_alloc();
    auto copiedSettings = std::make_shared<DocumentSettings>(m_tree->settings());
    auto document = std::make_shared<DocumentObject>(
        std::make_shared<Tree>(std::move(copy), std::move(copiedSettings), m_tree->hasDeclaration()));
    document->m_tree->presentBy(document);
    return Object(std::move(document));
}

}  // namespace lumora::xml
