#include "access_policy.hpp"

#include <sys/random.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <stdexcept>
#include <system_error>

#include "Automation/vb/text.hpp"

namespace lumora::bridge {
namespace {

bool isSchemeChar(char c, bool first) {
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (first) return letter;
    return letter || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

bool isHostChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_';
}

bool isIpv6Char(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' || c == '.';
}

uint16_t defaultPort(std::string_view scheme) {
    if (scheme == "http" || scheme == "ws") return 80;
    if (scheme == "https" || scheme == "wss") return 443;
    return 0;
}

std::optional<uint16_t> parsePort(std::string_view digits) {
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    unsigned value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size() || value == 0 || value > 65535) return std::nullopt;
    return static_cast<uint16_t>(value);
}

}  // namespace

std::optional<Origin> Origin::parse(std::string_view text) {
    size_t schemeEnd = text.find("://");
    if (schemeEnd == std::string_view::npos || schemeEnd == 0) return std::nullopt;
    for (size_t i = 0; i < schemeEnd; ++i)
        if (!isSchemeChar(text[i], i == 0)) return std::nullopt;

    Origin origin;
    origin.scheme = vb::asciiLower(text.substr(0, schemeEnd));
    std::string_view rest = text.substr(schemeEnd + 3);
    if (rest.empty()) return std::nullopt;

    std::string_view host;
    std::string_view afterHost;
    if (rest.front() == '[') {
        size_t close = rest.find(']');
        if (close == std::string_view::npos || close == 1) return std::nullopt;
        for (char c : rest.substr(1, close - 1))
            if (!isIpv6Char(c)) return std::nullopt;
        host = rest.substr(0, close + 1);
        afterHost = rest.substr(close + 1);
    } else {
        size_t colon = rest.find(':');
        host = rest.substr(0, colon);
        afterHost = colon == std::string_view::npos ? std::string_view() : rest.substr(colon);
        if (host.empty() || host.front() == '.' || host.front() == '-') return std::nullopt;
        for (char c : host)
            if (!isHostChar(c)) return std::nullopt;
    }
    origin.host = vb::asciiLower(host);

    if (afterHost.empty()) {
        origin.port = defaultPort(origin.scheme);
    } else {
        if (afterHost.front() != ':') return std::nullopt;
        auto port = parsePort(afterHost.substr(1));
        if (!port) return std::nullopt;
        origin.port = *port;
    }
    return origin;
}

std::string Origin::serialize() const {
    std::string text = scheme + "://" + host;
    if (port != 0 && port != defaultPort(scheme)) text += ":" + std::to_string(port);
    return text;
}

AccessPolicy::AccessPolicy(uint16_t port, const std::vector<std::string>& allowedOrigins, std::string token)
    : m_port(port), m_token(std::move(token)) {
    for (const std::string& entry : allowedOrigins) {
        auto origin = Origin::parse(entry);
        if (!origin)
            throw std::invalid_argument("\"" + entry +
                                        "\" is not an origin: give scheme, host and optional port, "
                                        "e.g. https://crm.example.com");
        m_origins.push_back(*origin);
    }
    m_origins.push_back(Origin{"http", "127.0.0.1", port});
    m_origins.push_back(Origin{"http", "localhost", port});
}

bool AccessPolicy::hostAllowed(std::string_view host) const {
    std::string suffix = ":" + std::to_string(m_port);
    if (host.size() <= suffix.size() || host.substr(host.size() - suffix.size()) != suffix) return false;
    std::string_view name = host.substr(0, host.size() - suffix.size());
    return name == "127.0.0.1" || name == "[::1]" || vb::asciiEqualsNoCase(name, "localhost");
}

bool AccessPolicy::originAllowed(std::string_view text) const {
    auto origin = Origin::parse(text);
    return origin && std::find(m_origins.begin(), m_origins.end(), *origin) != m_origins.end();
}

UpgradeVerdict AccessPolicy::checkUpgrade(std::optional<std::string_view> origin,
                                          std::optional<std::string_view> token) const {
    if (origin) return originAllowed(*origin) ? UpgradeVerdict::Allowed : UpgradeVerdict::OriginNotAllowed;
    if (!token) return UpgradeVerdict::TokenMissing;
    return constantTimeEquals(*token, m_token) ? UpgradeVerdict::Allowed : UpgradeVerdict::TokenWrong;
}

std::string randomHex(size_t bytes) {
    std::string raw(bytes, '\0');
    size_t filled = 0;
    while (filled < bytes) {
        ssize_t got = getrandom(raw.data() + filled, bytes - filled, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            throw std::system_error(errno, std::generic_category(), "getrandom");
        }
        filled += static_cast<size_t>(got);
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes * 2);
    for (unsigned char c : raw) {
        hex.push_back(kHex[c >> 4]);
        hex.push_back(kHex[c & 0xF]);
    }
    return hex;
}

bool constantTimeEquals(std::string_view a, std::string_view b) {
    // The length of the token is not secret; its content is.
    if (a.size() != b.size()) return false;
    unsigned char diff = 0;
    for (size_t i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

}  // namespace lumora::bridge
