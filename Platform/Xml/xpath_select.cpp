#include "xpath_select.hpp"

#include <libxml/tree.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <memory>

#include "library_setup.hpp"
#include "limits.hpp"
#include "simple_path.hpp"
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

// The XPath context an evaluation runs in. Making one registers every XPath function in fresh
// hash tables, which costs more than evaluating a short path, and a record read field by field
// evaluates dozens: so each thread keeps one and lends it to one evaluation at a time (a nested
// one gets a context of its own). The loan sets the document, context node, budget and error
// capture afresh, and takes the namespaces and the capture away again when it ends.
class LentContext {
public:
    LentContext(XmlNode* context, const NamespaceList& namespaces, MessageCapture& capture) {
        thread_local std::unique_ptr<xmlXPathContext, ContextDeleter> t_kept;
        thread_local bool t_lent = false;
        if (!t_lent) {
            if (!t_kept) t_kept.reset(xmlXPathNewContext(nullptr));
            m_context = t_kept.get();
            m_lent = &t_lent;
        } else {
            m_own.reset(xmlXPathNewContext(nullptr));
            m_context = m_own.get();
        }
        if (!m_context) throw std::bad_alloc();
        if (m_lent) *m_lent = true;
        m_context->doc = documentOf(context);
        m_context->node = context;
        m_context->contextSize = -1;
        m_context->proximityPosition = -1;
        m_context->opLimit = kXPathOperationLimit;
        m_context->opCount = 0;
        m_context->depth = 0;
        m_context->error = collectError;
        m_context->userData = &capture;
        for (const auto& [prefix, uri] : namespaces)
            xmlXPathRegisterNs(m_context, BAD_CAST prefix.c_str(), BAD_CAST uri.c_str());
    }
    ~LentContext() {
        xmlXPathRegisteredNsCleanup(m_context);
        m_context->doc = nullptr;
        m_context->node = nullptr;
        m_context->error = nullptr;
        m_context->userData = nullptr;
        if (m_lent) *m_lent = false;
    }
    LentContext(const LentContext&) = delete;
    LentContext& operator=(const LentContext&) = delete;
    xmlXPathContextPtr get() const { return m_context; }

private:
    std::unique_ptr<xmlXPathContext, ContextDeleter> m_own;
    xmlXPathContextPtr m_context = nullptr;
    bool* m_lent = nullptr;
};

std::unique_ptr<xmlXPathObject, ObjectDeleter> evaluate(XmlNode* context, std::string_view expression,
                                                        const NamespaceList& namespaces, MessageCapture& capture) {
    const LentContext ctxt(context, namespaces, capture);
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
    if (std::optional<std::vector<XmlNode*>> nodes = selectSimplePath(context, expression)) return std::move(*nodes);
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
