#include "library_setup.hpp"

#include <libexslt/exslt.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <libxslt/security.h>
#include <libxslt/xsltutils.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "transform_budget.hpp"

namespace lumora::xml {

namespace {

thread_local MessageCapture* t_capture = nullptr;

std::string trimmed(std::string text) {
    size_t end = text.find_last_not_of(" \t\r\n");
    text.erase(end == std::string::npos ? 0 : end + 1);
    size_t begin = text.find_first_not_of(" \t\r\n");
    text.erase(0, begin == std::string::npos ? text.size() : begin);
    return text;
}

void structuredHandler(void*, xmlErrorPtr error) {
    if (!t_capture || !error) return;
    t_capture->add(CapturedMessage{error->message ? trimmed(error->message) : std::string(), error->code,
                                   static_cast<int>(error->level), error->line, error->int2});
}

// No XML parser in this process loads anything from outside the text it was handed: external
// entities, external DTD subsets and XInclude targets all end here and are refused.
xmlParserInputPtr refuseExternalEntity(const char* url, const char*, xmlParserCtxtPtr context) {
    if (t_capture) t_capture->add(CapturedMessage{std::string("Loading external resource refused: ") + (url ? url : ""),
                                                  XML_IO_NETWORK_ATTEMPT, XML_ERR_WARNING, 0, 0});
    (void)context;
    return nullptr;
}

int refuseAccess(xsltSecurityPrefsPtr, xsltTransformContextPtr, const char*) { return 0; }

}  // namespace

// The generic channels deliver printf-style fragments, sometimes one line in several calls.
void forwardLibraryMessage(void*, const char* format, ...) {
    if (!t_capture) return;
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    t_capture->appendToLast(buffer);
}

void ensureXmlLibraries() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Before the first allocation, so that transformations can be held to their budget.
        installAllocationCounting();
        xmlInitParser();
        xmlSetExternalEntityLoader(refuseExternalEntity);
        // The transformation engine reports through one process-wide channel; the handler
        // forwards to whichever capture is active on the calling thread.
        xsltSetGenericErrorFunc(nullptr, forwardLibraryMessage);
        exsltRegisterAll();
        // Stylesheets compiled anywhere in the process (xsl:import, xsl:include) may not
        // reach files or the network either; each transformation adds its own stricter prefs.
        xsltSecurityPrefsPtr prefs = xsltNewSecurityPrefs();
        xsltSetSecurityPrefs(prefs, XSLT_SECPREF_READ_FILE, refuseAccess);
        xsltSetSecurityPrefs(prefs, XSLT_SECPREF_WRITE_FILE, refuseAccess);
        xsltSetSecurityPrefs(prefs, XSLT_SECPREF_CREATE_DIRECTORY, refuseAccess);
        xsltSetSecurityPrefs(prefs, XSLT_SECPREF_READ_NETWORK, refuseAccess);
        xsltSetSecurityPrefs(prefs, XSLT_SECPREF_WRITE_NETWORK, refuseAccess);
        xsltSetDefaultSecurityPrefs(prefs);
    });
}

MessageCapture::MessageCapture() : m_previous(t_capture) {
    ensureXmlLibraries();
    t_capture = this;
    // libxml2 keeps its error callbacks per thread, so these settings stay with this thread.
    xmlSetStructuredErrorFunc(nullptr, structuredHandler);
    xmlSetGenericErrorFunc(nullptr, forwardLibraryMessage);
}

MessageCapture::~MessageCapture() {
    t_capture = m_previous;
    if (!m_previous) {
        xmlSetStructuredErrorFunc(nullptr, nullptr);
        // Keep the terminal quiet even outside a capture: a library message with no one to
        // receive it is dropped.
        xmlSetGenericErrorFunc(nullptr, forwardLibraryMessage);
    }
}

void MessageCapture::add(CapturedMessage message) {
    if (m_messages.size() < 64) m_messages.push_back(std::move(message));
    m_lastComplete = true;
}

void MessageCapture::appendToLast(const std::string& fragment) {
    if (m_lastComplete || m_messages.empty()) {
        if (m_messages.size() >= 64) return;
        m_messages.push_back(CapturedMessage{});
    }
    std::string& text = m_messages.back().text;
    if (text.size() < 4096) text += fragment;
    m_lastComplete = !fragment.empty() && fragment.back() == '\n';
    if (m_lastComplete) text = trimmed(text);
}

std::string MessageCapture::firstText(const std::string& fallback) const {
    for (const auto& m : m_messages)
        if (!trimmed(m.text).empty()) return trimmed(m.text);
    return fallback;
}

// Lines that carry no information for the person reading the error: bare severity words and
// the libraries' advice about their own command-line options.
static bool isNoise(const std::string& text) {
    return text.empty() || text == "error" || text == "warning" || text.rfind("You can adjust", 0) == 0 ||
           text.rfind("Templates:", 0) == 0 || text.rfind("Variables:", 0) == 0 || text.rfind("#", 0) == 0;
}

std::string MessageCapture::summary() const {
    std::string out;
    int used = 0;
    for (const auto& m : m_messages) {
        std::string text = trimmed(m.text);
        size_t advice = text.find("\nYou can adjust");
        if (advice != std::string::npos) text = trimmed(text.substr(0, advice));
        if (isNoise(text)) continue;
        if (!out.empty()) out += "; ";
        out += text;
        if (++used == 4) break;
    }
    return out;
}

}  // namespace lumora::xml
