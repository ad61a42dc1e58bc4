#pragma once
// Who may talk to the bridge. Any web site the user visits can make the browser reach a
// localhost port, so every request is checked three ways before anything runs:
//   - the Host header must name this listener exactly (a DNS-rebinding defence: a page on
//     evil.example whose name was re-pointed at 127.0.0.1 still sends "evil.example:PORT");
//   - a browser's Origin must be on the allowlist, compared exactly by scheme, host and port;
//   - a client without an Origin (a native tool, never a browser) must present the token
//     printed at start-up.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumora::bridge {

// An origin reduced to its parts: scheme and host in lower case, the port always explicit.
struct Origin {
    std::string scheme;
    std::string host;
    uint16_t port = 0;

    // "https://crm.example.com" or "https://crm.example.com:8443"; a path, query, user name,
    // wildcard or the opaque "null" makes it unparsable.
    static std::optional<Origin> parse(std::string_view text);
    // The serialised form a browser sends: default ports left out.
    std::string serialize() const;
    friend bool operator==(const Origin&, const Origin&) = default;
};

enum class UpgradeVerdict {
    Allowed,
    OriginNotAllowed,  // an Origin header that is not on the allowlist, "null" included
    TokenMissing,      // no Origin and no token
    TokenWrong,        // no Origin and a token that does not match
};

class AccessPolicy {
public:
    // allowedOrigins: the --allow-origin values; the bridge's own demo origins
    // (http://127.0.0.1:PORT and http://localhost:PORT) are always added.
    // Throws std::invalid_argument for an entry that is not an exact origin.
    AccessPolicy(uint16_t port, const std::vector<std::string>& allowedOrigins, std::string token);

    // The Host header names this listener: 127.0.0.1:PORT, localhost:PORT or [::1]:PORT.
    bool hostAllowed(std::string_view host) const;
    // An Origin header value is on the allowlist.
    bool originAllowed(std::string_view origin) const;
    // The check for opening a page connection. origin/token: the header values, nullopt when absent.
    UpgradeVerdict checkUpgrade(std::optional<std::string_view> origin, std::optional<std::string_view> token) const;

    uint16_t port() const { return m_port; }
    const std::string& token() const { return m_token; }
    const std::vector<Origin>& allowedOrigins() const { return m_origins; }

private:
    uint16_t m_port;
    std::vector<Origin> m_origins;
    std::string m_token;
};

// A fresh secret from the kernel's random source, as lower-case hex (2 characters per byte).
std::string randomHex(size_t bytes);

// Compares secrets in time independent of where they differ.
bool constantTimeEquals(std::string_view a, std::string_view b);

}  // namespace lumora::bridge
