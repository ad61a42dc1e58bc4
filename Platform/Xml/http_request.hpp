#pragma once
// The HTTP request object ("MSXML2.XMLHTTP.3.0", "microsoft.xmlhttp"): open, setRequestHeader,
// send, then status, statusText, responseText, responseXML and the response headers. Requests
// run synchronously; asking for an asynchronous one gets the same synchronous request, whose
// readyState is already 4 when send returns.

#include <optional>
#include <string>

#include "Automation/object.hpp"
#include "http_fetch.hpp"

namespace lumora::xml {

class HttpRequestObject final : public Dispatch {
public:
    const TypeInfo& typeInfo() const override;

    void open(const std::string& method, const std::string& url, const Variant& user, const Variant& password);
    void setRequestHeader(const std::string& name, const std::string& value);
    void send(const Variant& body);
    void abort();
    void setTimeouts(int32_t resolveMs, int32_t connectMs, int32_t sendMs, int32_t receiveMs);

    int32_t readyState() const { return m_readyState; }
    const HttpResponse& response() const;
    Object responseXml();
    std::string responseHeader(const std::string& name) const;
    std::string allResponseHeaders() const;

private:
    HttpRequest m_request;
    int32_t m_readyState = 0;
    std::optional<HttpResponse> m_response;
    Object m_responseXml;
    FetchLimits m_limits;
};

}  // namespace lumora::xml
