#pragma once
// The addresses the client may reach and how a server's hrefs become addresses. An account's
// password goes only over TLS (verified against the system's certificate authorities), except
// to a server on this machine, and only to the server the account names.

#include <string>
#include <string_view>

namespace lumora::dav {

// True for localhost, 127.0.0.0/8 and ::1 (with or without the brackets of a URL).
bool isLoopbackHost(std::string_view host);

// Refuses an address that is not http(s) (InvalidAddress) and plain http to anything but a
// loopback host (InsecureAddress).
void checkTransport(std::string_view url);

// "scheme://host:port", lower case and with the port spelled out, for telling whether two
// addresses reach the same server.
std::string originOf(std::string_view url);

// An href as a server writes it (absolute, absolute path or relative) resolved against the
// address of the request it came in the answer to. Throws InvalidAddress when it is not one.
std::string resolveHref(std::string_view requestUrl, std::string_view href);

// The address without a user name or password in it, for messages.
std::string displayAddress(std::string_view url);

// The address with a trailing "/" on its path: collections are named that way, and relative
// names resolve below them only then.
std::string asCollectionAddress(std::string_view url);

// The path of the address, percent-encoded as it is ("/alice/calendar/a.ics").
std::string pathOf(std::string_view url);

// The last segment of the address's path, decoded ("/principals/j%20doe/" gives "j doe"); "" when
// the path has none. A stray "%" that escapes nothing is taken as written.
std::string lastSegmentOf(std::string_view url);

}  // namespace lumora::dav
