#include "xml_part.hpp"

#include <libxml/tree.h>

#include <memory>

#include "Platform/Xml/parser.hpp"
#include "word_errors.hpp"

namespace lumora::word {

DiscardedNodes::~DiscardedNodes() {
    for (XmlNode* node : m_nodes) xmlFreeNode(node);
}

void DiscardedNodes::take(XmlNode* node) {
    if (!node->parent) return;  // out of the tree already, and owned where it was taken
    xmlUnlinkNode(node);
    m_nodes.push_back(node);
}

XmlPart parsePart(std::string_view name, std::string_view bytes) {
    xml::ParseOptions options;
    options.whitespace = xml::Whitespace::Preserve;
    options.encoding = xml::SourceEncoding::AsDeclared;
    options.url = std::string(name);
    xml::ParseOutcome outcome = xml::parseXml(bytes, options);
    if (outcome.failure) raise(WordError::BadPart, std::string(name) + ": " + outcome.failure->reason);
    if (outcome.doc->intSubset || outcome.doc->extSubset)
        raise(WordError::BadPart, std::string(name) + ": a document type declaration is not allowed");
    return XmlPart{std::string(name), std::move(outcome.doc), 0, {}};
}

std::string serializePart(const XmlPart& part) {
    xmlChar* buffer = nullptr;
    int size = 0;
    xmlDocDumpMemoryEnc(part.doc.get(), &buffer, &size, "UTF-8");
    if (!buffer) throw std::bad_alloc();
    struct Free {
        void operator()(xmlChar* text) const noexcept { xmlFree(text); }
    };
    std::unique_ptr<xmlChar, Free> owned(buffer);
    return std::string(reinterpret_cast<const char*>(buffer), static_cast<size_t>(size));
}

}  // namespace lumora::word
