#include "dav_address.hpp"

#include <arpa/inet.h>
#include <curl/curl.h>

#include <memory>

#include "Automation/vb/text.hpp"
#include "dav_errors.hpp"

namespace lumora::dav {

namespace {

struct UrlDeleter {
    void operator()(CURLU* url) const noexcept { curl_url_cleanup(url); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;

struct CurlTextDeleter {
    void operator()(char* text) const noexcept { curl_free(text); }
};
using CurlText = std::unique_ptr<char, CurlTextDeleter>;

UrlHandle parsedUrl(std::string_view url) {
    UrlHandle handle(curl_url());
    if (!handle) throw std::bad_alloc();
    std::string text(url);
    if (curl_url_set(handle.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK) return nullptr;
    return handle;
}

std::string part(CURLU* url, CURLUPart which, unsigned flags = 0) {
    char* raw = nullptr;
    if (curl_url_get(url, which, &raw, flags) != CURLUE_OK) return {};
    CurlText text(raw);
    return text ? std::string(text.get()) : std::string();
}

UrlHandle webUrl(std::string_view url) {
    UrlHandle handle = parsedUrl(url);
    if (!handle) raise(DavError::InvalidAddress, displayAddress(url));
    std::string scheme = vb::asciiLower(part(handle.get(), CURLUPART_SCHEME));
    if (scheme != "http" && scheme != "https") raise(DavError::InvalidAddress, displayAddress(url));
    return handle;
}

}  // namespace

bool isLoopbackHost(std::string_view host) {
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    if (vb::asciiEqualsNoCase(host, "localhost")) return true;
    std::string text(host);
    in_addr v4{};
    if (inet_pton(AF_INET, text.c_str(), &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    return inet_pton(AF_INET6, text.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

void checkTransport(std::string_view url) {
    UrlHandle handle = webUrl(url);
    if (vb::asciiLower(part(handle.get(), CURLUPART_SCHEME)) == "https") return;
    if (!isLoopbackHost(part(handle.get(), CURLUPART_HOST))) raise(DavError::InsecureAddress, displayAddress(url));
}

std::string originOf(std::string_view url) {
    UrlHandle handle = webUrl(url);
    return vb::asciiLower(part(handle.get(), CURLUPART_SCHEME)) + "://" +
           vb::asciiLower(part(handle.get(), CURLUPART_HOST)) + ":" +
           part(handle.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
}

std::string resolveHref(std::string_view requestUrl, std::string_view href) {
    UrlHandle handle = webUrl(requestUrl);
    std::string text(href);
    // A server's href is already percent-encoded; characters it left bare (a space) are
    // encoded rather than refused.
    if (text.empty() || curl_url_set(handle.get(), CURLUPART_URL, text.c_str(), CURLU_URLENCODE) != CURLUE_OK)
        raise(DavError::InvalidAddress, text);
    std::string resolved = part(handle.get(), CURLUPART_URL);
    // The resolved address must be a web address again: "mailto:x" or "javascript:" is not.
    webUrl(resolved);
    return resolved;
}

std::string displayAddress(std::string_view url) {
    UrlHandle handle = parsedUrl(url);
    if (!handle) {
        // Not parseable: keep only what cannot be a password.
        size_t at = url.find('@');
        return std::string(at == std::string_view::npos ? url : url.substr(at + 1));
    }
    curl_url_set(handle.get(), CURLUPART_USER, nullptr, 0);
    curl_url_set(handle.get(), CURLUPART_PASSWORD, nullptr, 0);
    return part(handle.get(), CURLUPART_URL);
}

std::string asCollectionAddress(std::string_view url) {
    UrlHandle handle = webUrl(url);
    std::string path = part(handle.get(), CURLUPART_PATH);
    if (path.empty() || path.back() != '/') {
        path += '/';
        curl_url_set(handle.get(), CURLUPART_PATH, path.c_str(), 0);
    }
    return part(handle.get(), CURLUPART_URL);
}

std::string pathOf(std::string_view url) {
    UrlHandle handle = webUrl(url);
    return part(handle.get(), CURLUPART_PATH);
}

std::string lastSegmentOf(std::string_view url) {
    std::string path = pathOf(url);
    while (!path.empty() && path.back() == '/') path.pop_back();
    const size_t slash = path.find_last_of('/');
    const std::string segment = slash == std::string::npos ? path : path.substr(slash + 1);
    return vb::percentDecoded(segment).value_or(segment);
}

}  // namespace lumora::dav
