#include "parser.hpp"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <memory>

#include "library_setup.hpp"
#include "limits.hpp"
#include "markup_prescan.hpp"
#include "tree_normalize.hpp"

namespace lumora::xml {

namespace {

struct ParserContextDeleter {
    void operator()(xmlParserCtxtPtr ctxt) const noexcept { xmlFreeParserCtxt(ctxt); }
};

// Deliberately absent: XML_PARSE_NOENT (entity substitution by the parser, which would also
// pull in external entities), XML_PARSE_DTDLOAD / DTDATTR / DTDVALID (loading the DTD),
// XML_PARSE_XINCLUDE and XML_PARSE_HUGE (which lifts the depth and size limits).
constexpr int kParseOptions = XML_PARSE_NONET;

bool startsWithDeclaration(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    return text.substr(0, 5) == "<?xml" && text.size() > 5 &&
           (text[5] == ' ' || text[5] == '\t' || text[5] == '\r' || text[5] == '\n');
}

// The text of the given 1-based line, for parseError.srcText.
std::string lineText(std::string_view text, int line, int32_t& lineStart) {
    size_t pos = 0;
    for (int i = 1; i < line && pos != std::string_view::npos; ++i) {
        pos = text.find('\n', pos);
        if (pos != std::string_view::npos) ++pos;
    }
    if (pos == std::string_view::npos || pos > text.size()) return {};
    lineStart = static_cast<int32_t>(pos);
    size_t end = text.find('\n', pos);
    std::string out(text.substr(pos, std::min(end, text.size()) - pos));
    if (!out.empty() && out.back() == '\r') out.pop_back();
    if (out.size() > 1024) out.resize(1024);
    return out;
}

// libxml2's wording for its limits names its own options; the reader of parseError wants to
// know what was wrong with the document.
std::string readableReason(const CapturedMessage& m) {
    if (m.text.find("Excessive depth") != std::string::npos)
        return "The document is nested deeper than the allowed 256 levels";
    if (m.code == XML_ERR_ENTITY_LOOP || m.text.find("amplification") != std::string::npos)
        return "Entity references expand beyond the allowed size or refer to themselves";
    return m.text;
}

int32_t codeFor(const CapturedMessage& m) {
    if (m.text.find("Excessive depth") != std::string::npos) return kDocumentTooDeep;
    if (m.code == XML_ERR_ENTITY_LOOP) return kExpansionTooLarge;
    return kParseErrorBase + std::clamp(m.code, 1, 0xEFF);
}

ParseFailure failureFrom(const MessageCapture& capture, std::string_view text, const ParseOptions& options) {
    const CapturedMessage* first = nullptr;
    for (const auto& m : capture.messages())
        if (m.level >= XML_ERR_ERROR) {
            first = &m;
            break;
        }
    if (!first) {
        ParseFailure f = failureWithoutPosition("The document is not well-formed", options.url);
        f.errorCode = kParseErrorBase + XML_ERR_DOCUMENT_END;
        return f;
    }
    ParseFailure f;
    f.errorCode = codeFor(*first);
    f.reason = readableReason(*first);
    f.line = first->line;
    f.linepos = first->column;
    f.url = options.url;
    int32_t lineStart = 0;
    if (first->line > 0) f.srcText = lineText(text, first->line, lineStart);
    f.filepos = lineStart + std::max(0, first->column - 1);
    return f;
}

}  // namespace

ParseFailure failureWithoutPosition(std::string reason, std::string url) {
    ParseFailure f;
    f.errorCode = kSourceUnavailable;
    f.reason = std::move(reason);
    f.url = std::move(url);
    return f;
}

ParseOutcome parseXml(std::string_view text, const ParseOptions& options) {
    ParseOutcome outcome;
    if (text.size() > kMaxDocumentBytes) {
        outcome.failure = failureWithoutPosition("The document is larger than the allowed 64 MiB", options.url);
        outcome.failure->errorCode = kDocumentTooLarge;
        return outcome;
    }
    if (!attributeWorkWithinLimit(text)) {
        outcome.failure = failureWithoutPosition("The document has elements with too many attributes", options.url);
        outcome.failure->errorCode = kTooManyAttributes;
        return outcome;
    }
    MessageCapture capture;
    std::unique_ptr<xmlParserCtxt, ParserContextDeleter> ctxt(xmlNewParserCtxt());
    if (!ctxt) throw std::bad_alloc();
    const char* encoding = options.encoding == SourceEncoding::Utf8 ? "UTF-8" : nullptr;
    const char* url = options.url.empty() ? nullptr : options.url.c_str();
    DocHandle doc(xmlCtxtReadMemory(ctxt.get(), text.data(), static_cast<int>(text.size()), url, encoding,
                                    kParseOptions));
    if (!doc || !ctxt->wellFormed || !ctxt->nsWellFormed) {
        outcome.failure = failureFrom(capture, text, options);
        return outcome;
    }
    if (!xmlDocGetRootElement(doc.get())) {
        outcome.failure = failureWithoutPosition("XML document must have a top level element.", options.url);
        outcome.failure->errorCode = kNoDocumentElement;
        return outcome;
    }
    size_t budget = std::min(kMaxDocumentBytes, text.size() * kEntityExpansionFactor + kEntityExpansionAllowance);
    if (auto failure = normalizeTree(doc.get(), options.whitespace, budget)) {
        failure->url = options.url;
        outcome.failure = std::move(failure);
        return outcome;
    }
    outcome.doc = std::move(doc);
    outcome.hasDeclaration = startsWithDeclaration(text);
    return outcome;
}

}  // namespace lumora::xml
