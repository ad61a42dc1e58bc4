#include "serialize.hpp"

#include <libxml/tree.h>
#include <libxml/xmlsave.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <system_error>
#include <vector>

#include "node_access.hpp"
#include "xml_errors.hpp"

namespace lumora::xml {

namespace {

struct BufferDeleter {
    void operator()(xmlBufferPtr b) const noexcept { xmlBufferFree(b); }
};

std::string escapedAttributeValue(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '"': out += "&quot;"; break;
            case '\n': out += "&#10;"; break;
            case '\r': out += "&#13;"; break;
            case '\t': out += "&#9;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string dumpNode(const xmlNode* node) {
    std::unique_ptr<xmlBuffer, BufferDeleter> buffer(xmlBufferCreate());
    if (!buffer) throw std::bad_alloc();
    xmlSaveCtxtPtr save = xmlSaveToBuffer(buffer.get(), "UTF-8", XML_SAVE_NO_DECL | XML_SAVE_AS_XML);
    if (!save) throw std::bad_alloc();
    xmlSaveTree(save, const_cast<xmlNodePtr>(node));
    xmlSaveClose(save);
    return std::string(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())),
                       static_cast<size_t>(xmlBufferLength(buffer.get())));
}

// True when some element or attribute below node uses a namespace; declarations made on its
// ancestors would then be missing from its markup.
bool usesNamespaces(const xmlNode* node) {
    std::vector<const xmlNode*> pending{node};
    while (!pending.empty()) {
        const xmlNode* n = pending.back();
        pending.pop_back();
        if (n->ns) return true;
        for (const xmlAttr* a = n->properties; a; a = a->next)
            if (a->ns) return true;
        for (const xmlNode* c = n->children; c; c = c->next)
            if (c->type == XML_ELEMENT_NODE) pending.push_back(c);
    }
    return false;
}

// An element's markup carries the namespace declarations it needs, as if it were a document of
// its own, also when they were made on its ancestors or it has been removed from the tree: a
// copy made outside the tree declares them on its top element.
std::string dumpElement(const xmlNode* element) {
    bool isDocumentElement = element->parent && element->parent->type == XML_DOCUMENT_NODE;
    if (isDocumentElement || !usesNamespaces(element))
        return dumpNode(element);
    DocHandle scratch(xmlNewDoc(BAD_CAST "1.0"));
    xmlNodePtr copy = scratch ? xmlDocCopyNode(const_cast<xmlNodePtr>(element), scratch.get(), 1) : nullptr;
    if (!copy) throw std::bad_alloc();
    xmlDocSetRootElement(scratch.get(), copy);
    return dumpNode(copy);
}

bool startsWithXmlDeclarationNode(const xmlDoc* doc) {
    for (const xmlNode* c = doc->children; c; c = c->next) {
        if (c->type == XML_PI_NODE) return xmlStrcasecmp(c->name, BAD_CAST "xml") == 0;
        if (c->type != XML_COMMENT_NODE) return false;
    }
    return false;
}

}  // namespace

std::string nodeXml(const XmlNode* node) {
    if (node->type == XML_ATTRIBUTE_NODE)
        return qualifiedName(node) + "=\"" + escapedAttributeValue(*nodeValue(node)) + "\"";
    if (node->type == XML_DOCUMENT_FRAG_NODE) {
        std::string out;
        for (const xmlNode* c = node->children; c; c = c->next) out += dumpNode(c);
        return out;
    }
    if (node->type == XML_ELEMENT_NODE) return dumpElement(node);
    return dumpNode(node);
}

std::string documentXml(const Tree& tree) {
    std::string out;
    if (tree.hasDeclaration() && !startsWithXmlDeclarationNode(tree.doc())) out += "<?xml version=\"1.0\"?>\r\n";
    for (const xmlNode* c = tree.doc()->children; c; c = c->next) {
        out += dumpNode(c);
        out += "\r\n";
    }
    return out;
}

void saveDocument(const Tree& tree, const std::filesystem::path& path) {
    std::string text = documentXml(tree);
    if (tree.hasDeclaration() && !startsWithXmlDeclarationNode(tree.doc()))
        text.replace(0, text.find("?>") + 2, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    std::filesystem::path temporary = path;
    temporary += ".saving";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) raise(XmlError::SaveFailed, std::strerror(errno));
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            raise(XmlError::SaveFailed, "the file could not be written");
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        raise(XmlError::SaveFailed, ec.message());
    }
}

}  // namespace lumora::xml
