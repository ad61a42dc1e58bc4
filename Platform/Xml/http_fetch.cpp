#include "http_fetch.hpp"

#include <curl/curl.h>

#include <memory>
#include <mutex>

#include "Automation/cancellation.hpp"
#include "Automation/vb/text.hpp"
#include "text_encoding.hpp"
#include "xml_errors.hpp"

namespace lumora::xml {

namespace {

struct CurlDeleter {
    void operator()(CURL* c) const noexcept { curl_easy_cleanup(c); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* l) const noexcept { curl_slist_free_all(l); }
};
using CurlHandle = std::unique_ptr<CURL, CurlDeleter>;
using CurlHeaders = std::unique_ptr<curl_slist, HeaderListDeleter>;

void ensureCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool isTokenChar(char c) {
    if (c >= 'a' && c <= 'z') return true;
    if (c >= 'A' && c <= 'Z') return true;
    if (c >= '0' && c <= '9') return true;
    return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool isToken(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (!isTokenChar(c)) return false;
    return true;
}

bool isSafeHeaderValue(std::string_view value) {
    for (char c : value)
        if (c == '\r' || c == '\n' || c == '\0') return false;
    return true;
}

std::string trimmed(std::string_view text) {
    size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string_view::npos) return {};
    size_t end = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(begin, end - begin + 1));
}

struct Transfer {
    HttpResponse response;
    size_t maxBytes = 0;
    bool tooLarge = false;
};

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    size_t bytes = size * count;
    if (transfer->response.body.size() + bytes > transfer->maxBytes) {
        transfer->tooLarge = true;
        return 0;  // aborts the transfer
    }
    transfer->response.body.append(data, bytes);
    return bytes;
}

// Each response of a redirect chain starts with its status line; only the last one's headers
// are kept.
size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    size_t bytes = size * count;
    std::string_view line(data, bytes);
    HttpResponse& r = transfer->response;
    if (line.substr(0, 5) == "HTTP/") {
        r.headers.clear();
        r.statusText.clear();
        size_t codeStart = line.find(' ');
        size_t reasonStart = codeStart == std::string_view::npos ? codeStart : line.find(' ', codeStart + 1);
        if (reasonStart != std::string_view::npos) r.statusText = trimmed(line.substr(reasonStart + 1));
    } else if (size_t colon = line.find(':'); colon != std::string_view::npos && r.headers.size() < 1000) {
        r.headers.emplace_back(trimmed(line.substr(0, colon)), trimmed(line.substr(colon + 1)));
    }
    return bytes;
}

bool hasHeader(const HeaderList& headers, std::string_view name) {
    for (const auto& [n, v] : headers)
        if (vb::asciiEqualsNoCase(n, name)) return true;
    return false;
}

CurlHeaders buildHeaders(const HttpRequest& request) {
    curl_slist* list = nullptr;
    auto add = [&](const std::string& line) {
        curl_slist* grown = curl_slist_append(list, line.c_str());
        if (!grown) {
            curl_slist_free_all(list);
            throw std::bad_alloc();
        }
        list = grown;
    };
    for (const auto& [name, value] : request.headers) add(name + ": " + value);
    // A body sent without a type of its own is text, as script strings are.
    if (request.hasBody && !hasHeader(request.headers, "Content-Type")) add("Content-Type: text/plain; charset=UTF-8");
    if (!hasHeader(request.headers, "Expect")) add("Expect:");
    if (request.bypassCache) {
        add("Cache-Control: no-cache");
        add("Pragma: no-cache");
    }
    return CurlHeaders(list);
}

[[noreturn]] void raiseTransferError(CURLcode code, CURL* curl, const Transfer& transfer, const char* detail) {
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    std::string text = detail && *detail ? detail : curl_easy_strerror(code);
    if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED) raise(XmlError::ResponseTooLarge);
    switch (code) {
        case CURLE_OPERATION_TIMEDOUT: raise(XmlError::TimedOut);
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY: raise(XmlError::CannotResolve, text);
        case CURLE_COULDNT_CONNECT: raise(XmlError::CannotConnect, text);
        case CURLE_URL_MALFORMAT: raise(XmlError::InvalidUrl, text);
        case CURLE_TOO_MANY_REDIRECTS: raise(XmlError::RedirectRefused, text);
        case CURLE_UNSUPPORTED_PROTOCOL:
            // A redirect that points outside http and https ends here too.
            if (status >= 300 && status < 400) raise(XmlError::RedirectRefused, text);
            raise(XmlError::UnsupportedScheme, text);
        default: raise(XmlError::TransferFailed, text);
    }
}

int onProgress(void*, curl_off_t, curl_off_t, curl_off_t, curl_off_t) { return cancelRequested() ? 1 : 0; }

void applyMethod(CURL* curl, const HttpRequest& request, const std::string& method) {
    bool sendsBody = request.hasBody && method != "GET" && method != "HEAD";
    if (method == "GET") {
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    } else if (method == "HEAD") {
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    } else {
        if (method == "POST")
            curl_easy_setopt(curl, CURLOPT_POST, 1L);
        else
            curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method.c_str());
        if (sendsBody || method == "POST" || method == "PUT") {
            curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
            curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.data());
        }
        // Only a POST turns into a GET when redirected. Any other method (an upload's PUT) goes
        // on with its body, or the final address would take an empty request and answer 2xx
        // for an upload that never arrived.
        if (method != "POST") curl_easy_setopt(curl, CURLOPT_POSTREDIR, static_cast<long>(CURL_REDIR_POST_ALL));
    }
}

}  // namespace

HttpResponse httpFetch(const HttpRequest& request) {
    ensureCurl();
    if (!isWebAddress(request.url)) raise(XmlError::UnsupportedScheme, request.url);
    std::string method = request.method;
    for (char& c : method)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!isToken(method)) raise(XmlError::InvalidMethod, request.method);
    for (const auto& [name, value] : request.headers)
        if (!isToken(name) || !isSafeHeaderValue(value)) raise(XmlError::InvalidHeader, name);

    CurlHandle curl(curl_easy_init());
    if (!curl) throw std::bad_alloc();
    CURL* c = curl.get();
    Transfer transfer;
    transfer.maxBytes = request.limits.maxResponseBytes;
    char errors[CURL_ERROR_SIZE] = {};
    CurlHeaders headers = buildHeaders(request);

    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errors);
    curl_easy_setopt(c, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, request.redirects == Redirects::Follow ? 1L : 0L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, static_cast<long>(kMaxRedirects));
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.limits.connectTimeout.count()));
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(request.limits.totalTimeout.count()));
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.limits.maxResponseBytes));
    curl_easy_setopt(c, CURLOPT_USERAGENT, request.userAgent.c_str());
    curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &transfer);
    if (!request.user.empty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, request.user.c_str());
        curl_easy_setopt(c, CURLOPT_PASSWORD, request.password.c_str());
        curl_easy_setopt(c, CURLOPT_HTTPAUTH,
                         request.authentication == Authentication::Basic ? CURLAUTH_BASIC : CURLAUTH_ANY);
    }
    applyMethod(c, request, method);
    // A transfer for a call that was cancelled meanwhile stops at libcurl's next progress report.
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, onProgress);

    CURLcode code = curl_easy_perform(c);
    if (code == CURLE_ABORTED_BY_CALLBACK) checkCancelled();
    if (code != CURLE_OK) raiseTransferError(code, c, transfer, errors);

    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    char* finalUrl = nullptr;
    curl_easy_getinfo(c, CURLINFO_EFFECTIVE_URL, &finalUrl);
    HttpResponse response = std::move(transfer.response);
    response.status = static_cast<int>(status);
    if (response.statusText.empty()) response.statusText = std::string(standardReason(response.status));
    response.finalUrl = finalUrl ? finalUrl : request.url;
    return response;
}

std::string HttpResponse::header(std::string_view name) const {
    for (const auto& [n, v] : headers)
        if (vb::asciiEqualsNoCase(n, name)) return v;
    return {};
}

std::string HttpResponse::text() const { return decodeText(body, charsetOf(header("Content-Type"))); }

std::string readUrl(std::string_view address, const FetchLimits& limits, std::string_view userAgent) {
    HttpRequest request;
    request.userAgent = std::string(userAgent);
    request.url = std::string(address);
    request.bypassCache = true;
    request.limits = limits;
    return httpFetch(request).text();
}

bool isWebAddress(std::string_view address) {
    std::string lower = vb::asciiLower(address.substr(0, 8));
    return lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0;
}

std::string_view standardReason(int status) {
    switch (status) {
        case 100: return "Continue";
        case 200: return "OK";
        case 201: return "Created";
        case 202: return "Accepted";
        case 204: return "No Content";
        case 206: return "Partial Content";
        case 301: return "Moved Permanently";
        case 302: return "Found";
        case 303: return "See Other";
        case 304: return "Not Modified";
        case 307: return "Temporary Redirect";
        case 308: return "Permanent Redirect";
        case 400: return "Bad Request";
        case 401: return "Unauthorized";
        case 403: return "Forbidden";
        case 404: return "Not Found";
        case 405: return "Method Not Allowed";
        case 409: return "Conflict";
        case 500: return "Internal Server Error";
        case 501: return "Not Implemented";
        case 502: return "Bad Gateway";
        case 503: return "Service Unavailable";
        case 504: return "Gateway Timeout";
        default: return "";
    }
}

}  // namespace lumora::xml
