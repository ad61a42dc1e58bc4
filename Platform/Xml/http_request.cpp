#include "http_request.hpp"

#include <chrono>

#include "Automation/vb/text.hpp"
#include "document.hpp"
#include "xml_errors.hpp"

namespace lumora::xml {

namespace {

std::string optionalText(const Variant& value) {
    return value.isAbsent() || value.isNull() ? std::string() : value.toString();
}

// A header name as pages write it, sometimes with the colon of the header line typed in too
// ("Content-type:"); the name is what precedes it.
std::string headerName(std::string name) {
    while (!name.empty() && (name.back() == ':' || name.back() == ' ' || name.back() == '\t')) name.pop_back();
    size_t begin = name.find_first_not_of(" \t");
    return begin == std::string::npos ? std::string() : name.substr(begin);
}

// The body of send: text as it is, a byte array byte by byte, a document as its markup.
std::string bodyBytes(const Variant& body) {
    if (body.isArray()) {
        std::string bytes;
        for (const Variant& item : body.array().items) bytes += static_cast<char>(item.toI4() & 0xFF);
        return bytes;
    }
    if (body.isObject()) {
        Object object = body.toObject();
        if (object.as<DocumentObject>()) return object.get("xml").toString();
        throw Error(RuntimeError::TypeMismatch);
    }
    return body.toString();
}

}  // namespace

void HttpRequestObject::open(const std::string& method, const std::string& url, const Variant& user,
                             const Variant& password) {
    if (!isWebAddress(url)) {
        if (url.find("://") == std::string::npos) raise(XmlError::InvalidUrl, url);
        raise(XmlError::UnsupportedScheme, url);
    }
    m_request = HttpRequest{};
    m_request.method = method;
    m_request.url = url;
    m_request.user = optionalText(user);
    m_request.password = optionalText(password);
    m_response.reset();
    m_responseXml = Object();
    m_readyState = 1;
}

void HttpRequestObject::setRequestHeader(const std::string& name, const std::string& value) {
    if (m_readyState != 1) raise(XmlError::NotOpened);
    std::string cleanName = headerName(name);
    for (auto& [existing, existingValue] : m_request.headers)
        if (vb::asciiEqualsNoCase(existing, cleanName)) {
            existingValue += ", " + value;
            return;
        }
    m_request.headers.emplace_back(cleanName, value);
}

void HttpRequestObject::send(const Variant& body) {
    if (m_readyState != 1) raise(XmlError::NotOpened);
    HttpRequest request = m_request;
    if (!body.isAbsent() && !body.isNull()) {
        request.body = bodyBytes(body);
        request.hasBody = true;
    }
    request.limits = m_limits;
    m_response = httpFetch(request);
    m_readyState = 4;
}

void HttpRequestObject::abort() {
    m_response.reset();
    m_responseXml = Object();
    m_readyState = 0;
}

void HttpRequestObject::setTimeouts(int32_t resolveMs, int32_t connectMs, int32_t sendMs, int32_t receiveMs) {
    using std::chrono::milliseconds;
    // Zero or less means "no limit of its own": the defaults still bound the request.
    auto orDefault = [](int32_t ms, milliseconds fallback) { return ms > 0 ? milliseconds(ms) : fallback; };
    FetchLimits defaults;
    m_limits.connectTimeout = orDefault(std::max(resolveMs, connectMs), defaults.connectTimeout);
    if (sendMs > 0 && receiveMs > 0)
        m_limits.totalTimeout = m_limits.connectTimeout + milliseconds(sendMs) + milliseconds(receiveMs);
    else
        m_limits.totalTimeout = defaults.totalTimeout;
}

const HttpResponse& HttpRequestObject::response() const {
    if (m_readyState != 4 || !m_response) raise(XmlError::NotYetAvailable);
    return *m_response;
}

Object HttpRequestObject::responseXml() {
    const HttpResponse& r = response();
    if (m_responseXml) return m_responseXml;
    m_responseXml = DocumentObject::create();
    auto* document = m_responseXml.as<DocumentObject>();
    ParseOptions options;
    options.encoding = SourceEncoding::AsDeclared;
    options.url = r.finalUrl;
    document->take(parseXml(r.body, options));
    return m_responseXml;
}

std::string HttpRequestObject::responseHeader(const std::string& name) const {
    std::string joined;
    for (const auto& [n, v] : response().headers)
        if (vb::asciiEqualsNoCase(n, name)) joined += (joined.empty() ? "" : ", ") + v;
    return joined;
}

std::string HttpRequestObject::allResponseHeaders() const {
    std::string out;
    for (const auto& [n, v] : response().headers) out += n + ": " + v + "\r\n";
    return out;
}

const TypeInfo& HttpRequestObject::typeInfo() const {
    static const TypeInfo info = [] {
        using H = HttpRequestObject;
        TypeInfo t("XMLHttpRequest");
        t.method<H>("open", 1, {"bstrMethod", "bstrUrl", "varAsync", "bstrUser", "bstrPassword"}, 2, [](H& h, Args& a) {
            h.open(a[0].toString(), a[1].toString(), a[3], a[4]);
            return Variant();
        });
        t.method<H>("setRequestHeader", 2, {"bstrHeader", "bstrValue"}, 2, [](H& h, Args& a) {
            h.setRequestHeader(a[0].toString(), a[1].toString());
            return Variant();
        });
        t.method<H>("getResponseHeader", 3, {"bstrHeader"}, 1,
                    [](H& h, Args& a) { return Variant(h.responseHeader(a[0].toString())); });
        t.method<H>("getAllResponseHeaders", 4, {}, 0, [](H& h, Args&) { return Variant(h.allResponseHeaders()); });
        t.method<H>("send", 5, {"varBody"}, 0, [](H& h, Args& a) {
            h.send(a[0]);
            return Variant();
        });
        t.method<H>("abort", 6, {}, 0, [](H& h, Args&) {
            h.abort();
            return Variant();
        });
        t.getter<H>("status", 7, [](H& h) { return Variant(static_cast<int32_t>(h.response().status)); });
        t.getter<H>("statusText", 8, [](H& h) { return Variant(h.response().statusText); });
        t.getter<H>("responseXML", 9, [](H& h) { return Variant(h.responseXml()); });
        t.getter<H>("responseText", 10, [](H& h) { return Variant(h.response().text()); });
        t.getter<H>("readyState", 13, [](H& h) { return Variant(h.readyState()); });
        t.setter<H>("onreadystatechange", 14, [](H&, const Variant&) {
            // Requests complete inside send, so there is no later state change to report.
        });
        t.method<H>("setTimeouts", 15, {"resolveTimeout", "connectTimeout", "sendTimeout", "receiveTimeout"}, 4,
                    [](H& h, Args& a) {
                        h.setTimeouts(a[0].toI4(), a[1].toI4(), a[2].toI4(), a[3].toI4());
                        return Variant();
                    });
        return t;
    }();
    return info;
}

}  // namespace lumora::xml
