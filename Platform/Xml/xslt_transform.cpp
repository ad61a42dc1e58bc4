#include "xslt_transform.hpp"

#include <libxml/tree.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

#include <memory>

#include "library_setup.hpp"
#include "limits.hpp"
#include "parser.hpp"
#include "serialize.hpp"
#include "transform_budget.hpp"
#include "xml_errors.hpp"

namespace lumora::xml {

namespace {

struct StylesheetDeleter {
    void operator()(xsltStylesheetPtr s) const noexcept { xsltFreeStylesheet(s); }
};
struct ContextDeleter {
    void operator()(xsltTransformContextPtr c) const noexcept { xsltFreeTransformContext(c); }
};
struct PrefsDeleter {
    void operator()(xsltSecurityPrefsPtr p) const noexcept { xsltFreeSecurityPrefs(p); }
};
// Template recursion deeper than this ends the transformation; it keeps the C stack safe on
// the worker threads that run page calls.
constexpr int kMaxTemplateDepth = 1000;

struct RunState {
    bool accessRefused = false;
};

// Every file and network access of a transformation ends here: refused, noted, and the
// transformation stopped.
int refuse(xsltSecurityPrefsPtr, xsltTransformContextPtr ctxt, const char*) {
    if (ctxt) {
        if (auto* state = static_cast<RunState*>(ctxt->_private)) state->accessRefused = true;
        ctxt->state = XSLT_STATE_STOPPED;
    }
    return 0;
}

std::string markupOf(XmlNode* node) {
    if (node->type != XML_DOCUMENT_NODE) return nodeXml(node);
    std::string out;
    for (xmlNodePtr c = node->children; c; c = c->next) out += nodeXml(c);
    return out;
}

std::unique_ptr<xsltStylesheet, StylesheetDeleter> compile(XmlNode* stylesheet, MessageCapture& capture) {
    ParseOptions options;
    options.whitespace = Whitespace::Preserve;  // xsl:text may hold nothing but blanks
    ParseOutcome parsed = parseXml(markupOf(stylesheet), options);
    if (!parsed.doc) raise(XmlError::StylesheetInvalid, parsed.failure->reason);
    std::unique_ptr<xsltStylesheet, StylesheetDeleter> style(xsltParseStylesheetDoc(parsed.doc.get()));
    if (!style) raise(XmlError::StylesheetInvalid, capture.summary());
    parsed.doc.release();  // the stylesheet owns it now
    if (style->errors > 0) raise(XmlError::StylesheetInvalid, capture.summary());
    // Results become script strings, which are UTF-8 whatever the stylesheet asks for.
    if (style->encoding) xmlFree(style->encoding);
    style->encoding = xmlStrdup(BAD_CAST "UTF-8");
    return style;
}

std::unique_ptr<xsltSecurityPrefs, PrefsDeleter> refusingPrefs() {
    std::unique_ptr<xsltSecurityPrefs, PrefsDeleter> prefs(xsltNewSecurityPrefs());
    if (!prefs) throw std::bad_alloc();
    for (auto option : {XSLT_SECPREF_READ_FILE, XSLT_SECPREF_WRITE_FILE, XSLT_SECPREF_CREATE_DIRECTORY,
                        XSLT_SECPREF_READ_NETWORK, XSLT_SECPREF_WRITE_NETWORK})
        xsltSetSecurityPrefs(prefs.get(), option, refuse);
    return prefs;
}

// The document the transformation reads: the node's own document when it is one, otherwise
// a document holding a copy of the element (which becomes its root).
xmlDocPtr sourceDocument(XmlNode* source, DocHandle& holder) {
    if (source->type == XML_DOCUMENT_NODE) return reinterpret_cast<xmlDocPtr>(source);
    if (source->type != XML_ELEMENT_NODE) return source->doc;
    holder.reset(xmlNewDoc(BAD_CAST "1.0"));
    xmlNodePtr copy = holder ? xmlDocCopyNode(source, holder.get(), 1) : nullptr;
    if (!copy) throw std::bad_alloc();
    xmlDocSetRootElement(holder.get(), copy);
    return holder.get();
}

void raiseIfOverBudget(const TransformBudget& budget) {
    switch (budget.exceeded()) {
        case TransformBudget::Exceeded::Nothing: return;
        case TransformBudget::Exceeded::Memory:
            raise(XmlError::TransformFailed, "it needed more than the allowed " +
                                                    std::to_string(kMaxTransformBytes >> 20) + " MiB of memory");
        case TransformBudget::Exceeded::Time:
            raise(XmlError::TransformFailed, "it ran longer than the allowed " +
                                                    std::to_string(kMaxTransformCpuTime.count()) + " seconds");
    }
}

}  // namespace

std::string transformToText(XmlNode* source, XmlNode* stylesheet) {
    MessageCapture capture;
    auto style = compile(stylesheet, capture);
    DocHandle sourceCopy;
    xmlDocPtr input = sourceDocument(source, sourceCopy);

    std::unique_ptr<xsltTransformContext, ContextDeleter> ctxt(xsltNewTransformContext(style.get(), input));
    if (!ctxt) throw std::bad_alloc();
    auto prefs = refusingPrefs();
    xsltSetCtxtSecurityPrefs(prefs.get(), ctxt.get());
    RunState state;
    ctxt->_private = &state;
    ctxt->maxTemplateDepth = kMaxTemplateDepth;
    ctxt->opLimit = kXsltOperationLimit;
    // Messages go to the capture active on this thread, which is `capture`.
    xsltSetTransformErrorFunc(ctxt.get(), nullptr, forwardLibraryMessage);

    // The budget covers the result tree and its text as well; both are freed before it ends.
    std::string text;
    {
        TransformBudget budget(ctxt.get(), kMaxTransformBytes, kMaxTransformCpuTime);
        DocHandle result(xsltApplyStylesheetUser(style.get(), input, nullptr, nullptr, nullptr, ctxt.get()));
        raiseIfOverBudget(budget);
        if (state.accessRefused) raise(XmlError::TransformAccessRefused);
        if (!result || ctxt->state == XSLT_STATE_ERROR || ctxt->state == XSLT_STATE_STOPPED)
            raise(XmlError::TransformFailed, capture.summary());

        xmlChar* raw = nullptr;
        int length = 0;
        int saved = xsltSaveResultToString(&raw, &length, result.get(), style.get());
        XmlString held(raw);
        raiseIfOverBudget(budget);
        if (saved != 0) raise(XmlError::TransformFailed, capture.summary());
        if (raw) text.assign(reinterpret_cast<const char*>(raw), static_cast<size_t>(length));
    }
    return text;
}

}  // namespace lumora::xml
