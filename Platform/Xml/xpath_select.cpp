#include "xpath_select.hpp"

#include <libxml/tree.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <memory>

#include "library_setup.hpp"
#include "limits.hpp"
#include "xml_errors.hpp"

namespace lumora::xml {

namespace {

struct ContextDeleter {
    void operator()(xmlXPathContextPtr c) const noexcept { xmlXPathFreeContext(c); }
};
struct ObjectDeleter {
    void operator()(xmlXPathObjectPtr o) const noexcept { xmlXPathFreeObject(o); }
};

void collectError(void* data, xmlErrorPtr error) {
    auto* capture = static_cast<MessageCapture*>(data);
    if (error && capture) capture->add(CapturedMessage{error->message ? error->message : "", error->code, 2, 0, 0});
}

xmlDocPtr documentOf(xmlNodePtr node) {
    return node->type == XML_DOCUMENT_NODE ? reinterpret_cast<xmlDocPtr>(node) : node->doc;
}

std::unique_ptr<xmlXPathObject, ObjectDeleter> evaluate(XmlNode* context, std::string_view expression,
                                                        const NamespaceList& namespaces, MessageCapture& capture) {
    std::unique_ptr<xmlXPathContext, ContextDeleter> ctxt(xmlXPathNewContext(documentOf(context)));
    if (!ctxt) throw std::bad_alloc();
    ctxt->node = context;
    ctxt->opLimit = kXPathOperationLimit;
    ctxt->error = collectError;
    ctxt->userData = &capture;
    for (const auto& [prefix, uri] : namespaces)
        xmlXPathRegisterNs(ctxt.get(), BAD_CAST prefix.c_str(), BAD_CAST uri.c_str());
    std::string text(expression);
    std::unique_ptr<xmlXPathObject, ObjectDeleter> result(xmlXPathEvalExpression(BAD_CAST text.c_str(), ctxt.get()));
    if (!result) {
        for (const auto& m : capture.messages())
            if (m.code == static_cast<int>(XML_XPATH_EXPRESSION_OK) + static_cast<int>(XPATH_OP_LIMIT_EXCEEDED) ||
                m.code == static_cast<int>(XML_XPATH_EXPRESSION_OK) + static_cast<int>(XPATH_RECURSION_LIMIT_EXCEEDED))
                raise(XmlError::XPathTooCostly, text);
        raise(XmlError::InvalidXPath, text + " (" + capture.firstText("not understood") + ")");
    }
    return result;
}

}  // namespace

std::vector<XmlNode*> selectNodes(XmlNode* context, std::string_view expression, const NamespaceList& namespaces) {
    MessageCapture capture;
    auto result = evaluate(context, expression, namespaces, capture);
    if (result->type != XPATH_NODESET) raise(XmlError::NotANodeSetResult);
    std::vector<XmlNode*> nodes;
    if (xmlNodeSetPtr set = result->nodesetval) {
        nodes.reserve(static_cast<size_t>(set->nodeNr));
        for (int i = 0; i < set->nodeNr; ++i) {
            xmlNodePtr n = set->nodeTab[i];
            // Namespace nodes of the namespace axis are not DOM nodes.
            if (n && n->type != XML_NAMESPACE_DECL) nodes.push_back(n);
        }
    }
    return nodes;
}

XmlNode* selectSingleNode(XmlNode* context, std::string_view expression, const NamespaceList& namespaces) {
    auto nodes = selectNodes(context, expression, namespaces);
    return nodes.empty() ? nullptr : nodes.front();
}

NamespaceList parseSelectionNamespaces(std::string_view text) {
    NamespaceList out;
    size_t pos = 0;
    auto skipSpace = [&] {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\r' || text[pos] == '\n'))
            ++pos;
    };
    while (true) {
        skipSpace();
        if (pos >= text.size()) break;
        if (text.substr(pos, 5) != "xmlns") raise(XmlError::InvalidPropertyValue, text);
        pos += 5;
        std::string prefix;
        if (pos < text.size() && text[pos] == ':') {
            size_t end = text.find('=', ++pos);
            if (end == std::string_view::npos) raise(XmlError::InvalidPropertyValue, text);
            prefix = std::string(text.substr(pos, end - pos));
            pos = end;
        }
        skipSpace();
        if (pos >= text.size() || text[pos] != '=') raise(XmlError::InvalidPropertyValue, text);
        ++pos;
        skipSpace();
        if (pos >= text.size() || (text[pos] != '\'' && text[pos] != '"')) raise(XmlError::InvalidPropertyValue, text);
        char quote = text[pos++];
        size_t end = text.find(quote, pos);
        if (end == std::string_view::npos) raise(XmlError::InvalidPropertyValue, text);
        // XPath 1.0 has no default namespace for names; a declaration without a prefix is kept
        // by the property but selects nothing by itself.
        if (!prefix.empty()) out.emplace_back(prefix, std::string(text.substr(pos, end - pos)));
        pos = end + 1;
    }
    return out;
}

}  // namespace lumora::xml
