#pragma once
// A WebDAV client for one CalDAV/CardDAV account: PROPFIND, REPORT, GET, PUT and DELETE with
// the preconditions that keep two writers from overwriting each other, MKCALENDAR and the
// extended MKCOL. Every request carries the account's credentials (Basic authentication), so
// every address is vetted first: TLS, or plain http to this machine only, and always the
// account's own server. Failures throw an Error from dav_errors.hpp (a 401 and a 403 each have
// their own) or, for the transport, from the HTTP client.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Platform/Xml/http_fetch.hpp"
#include "multistatus.hpp"
#include "request_bodies.hpp"

namespace lumora::dav {

// A groupware server answers in seconds; a minute without an answer is a server that is gone.
inline constexpr std::chrono::seconds kDavConnectTimeout{15};
inline constexpr std::chrono::seconds kDavTotalTimeout{120};
// A calendar of several thousand events fits many times over.
inline constexpr size_t kDavMaxResponseBytes = size_t{32} << 20;

struct DavAccount {
    std::string baseUrl;
    std::string user;
    std::string password;  // never part of a message or a log
    xml::FetchLimits limits{kDavConnectTimeout, kDavTotalTimeout, kDavMaxResponseBytes};
};

enum class Depth { Zero, One };

// The precondition of a write (RFC 7232): none, only over the version read (If-Match), or only
// where nothing exists yet (If-None-Match: *).
struct WriteCondition {
    enum class Kind { None, IfMatch, IfNoneMatchAny };
    Kind kind = Kind::None;
    std::string etag;

    static WriteCondition unconditional() { return {}; }
    static WriteCondition ifMatch(std::string etag) { return {Kind::IfMatch, std::move(etag)}; }
    static WriteCondition createOnly() { return {Kind::IfNoneMatchAny, {}}; }
};

struct DavReply {
    int status = 0;
    std::string url;  // where the request went
    std::string etag;
    std::string location;  // resolved against url; "" when absent
    std::string contentType;
    std::string body;

    bool succeeded() const { return status >= 200 && status < 300; }
    bool redirected() const { return status >= 300 && status < 400 && !location.empty(); }
};

struct DavRequest {
    std::string method;
    std::string url;
    std::string body;
    std::string contentType;
    std::optional<Depth> depth;
    WriteCondition condition;
};

class DavClient {
public:
    // Throws InvalidAddress or InsecureAddress for a base address the password may not go to.
    explicit DavClient(DavAccount account);

    const std::string& baseUrl() const { return m_account.baseUrl; }
    const std::string& user() const { return m_account.user; }
    // Takes the server a discovery redirect named as the account's server from now on.
    void moveTo(std::string_view url);

    Multistatus propfind(std::string_view url, Depth depth, PropertySet set);
    // A REPORT that must answer 207 Multi-Status.
    Multistatus report(std::string_view url, Depth depth, const std::string& body);
    DavReply get(std::string_view url);
    // Stores the resource and returns its new etag ("" when the server did not say).
    std::string put(std::string_view url, const std::string& body, std::string_view contentType,
                    const WriteCondition& condition);
    void remove(std::string_view url, const WriteCondition& condition);
    void makeCalendar(std::string_view url, std::string_view displayName, std::string_view component);
    void makeAddressBook(std::string_view url, std::string_view displayName);

    // One request answered as it came (redirects are not followed). Only a 401 throws, since no
    // caller can go on without the right password.
    DavReply send(const DavRequest& request);
    // How many requests this client has sent, answered or not: what a sync cost the server.
    uint64_t requestsSent() const { return m_requestsSent; }
    // The reply's multistatus; any other status throws as failedStatus would.
    Multistatus multistatusOf(const DavReply& reply, std::string_view method);
    // The error for a reply that did not succeed: Forbidden, NotFound, PreconditionFailed,
    // AlreadyExists (a create-only write), else UnexpectedStatus.
    [[noreturn]] void failedStatus(const DavReply& reply, std::string_view method,
                                   const WriteCondition& condition = {});

private:
    DavReply checked(const DavRequest& request);

    DavAccount m_account;
    std::string m_origin;
    uint64_t m_requestsSent = 0;
};

}  // namespace lumora::dav
