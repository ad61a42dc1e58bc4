#pragma once
// The HTTP client every web request of Lumora Desktop goes through: the XMLHTTP object, document
// loads from an address, and the desktop control's internet read. Only http and https are
// spoken, redirects may not leave them, responses are capped in size, and every request has
// connect and total time limits. Transport failures throw Error with the internet error
// numbers script knows (timeout, cannot connect, name not resolved, ...).

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "limits.hpp"

namespace lumora::xml {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

struct FetchLimits {
    std::chrono::milliseconds connectTimeout = kDefaultConnectTimeout;
    std::chrono::milliseconds totalTimeout = kDefaultTotalTimeout;
    size_t maxResponseBytes = kMaxResponseBytes;
};

// The user agent of requests that do not name their own.
inline constexpr std::string_view kUserAgent = "LumoraDesktop/5.8";

// Following redirects is right for a page's request; a client that must vet every address it
// sends credentials to (a groupware account) takes the 3xx answer and decides itself.
enum class Redirects { Follow, Return };
// Negotiated lets the server choose among the schemes libcurl knows, at the price of a first
// request without credentials; Basic sends them with the first request.
enum class Authentication { Negotiated, Basic };

struct HttpRequest {
    std::string method = "GET";
    std::string url;
    HeaderList headers;
    std::string body;
    bool hasBody = false;
    std::string user;
    std::string password;
    Authentication authentication = Authentication::Negotiated;
    Redirects redirects = Redirects::Follow;
    // Ask every cache on the way for a fresh copy from the server.
    bool bypassCache = false;
    std::string userAgent = std::string(kUserAgent);
    FetchLimits limits;
};

struct HttpResponse {
    int status = 0;
    std::string statusText;
    HeaderList headers;  // of the final response, in order
    std::string body;    // the bytes as received
    std::string finalUrl;

    // The first header of that name (any letter case); "" when absent.
    std::string header(std::string_view name) const;
    // The body as UTF-8 text, decoded by the charset of Content-Type (UTF-8 when none is given).
    std::string text() const;
};

HttpResponse httpFetch(const HttpRequest& request);

// GET address, always from the server, and return the body as text (the desktop control's
// internet read). Transport failures throw; an error status still returns the body.
std::string readUrl(std::string_view address, const FetchLimits& limits = {},
                    std::string_view userAgent = kUserAgent);

// True for addresses this client speaks (http and https, any letter case).
bool isWebAddress(std::string_view address);

// The standard reason phrase of a status code ("OK", "Not Found"); "" when unknown.
std::string_view standardReason(int status);

}  // namespace lumora::xml
