#pragma once
// A WebDAV multistatus answer (RFC 4918 section 13) as plain values: one DavResource per
// response element with the properties this client asks for. Only properties the server
// reported with a 2xx status are filled in; hrefs are resolved to full addresses against the
// address the request went to.

#include <string>
#include <string_view>
#include <vector>

namespace lumora::dav {

struct DavResource {
    std::string href;
    // The response's own status where it has one (404 for a member removed since a sync token),
    // else 200 when any property was found, else the first property status.
    int status = 0;
    std::string etag;
    std::string ctag;
    std::string syncToken;
    std::string displayName;
    bool isCollection = false;
    bool isCalendar = false;
    bool isAddressBook = false;
    bool isPrincipal = false;
    // The calendar's supported components ("VEVENT", "VTODO"); empty when not reported.
    std::vector<std::string> components;
    std::vector<std::string> supportedReports;  // local names, e.g. "sync-collection"
    std::string currentUserPrincipal;
    std::vector<std::string> calendarHomes;
    std::vector<std::string> addressBookHomes;
    // RFC 3744: the principal that owns the resource, where the other principals are listed, and
    // what the requesting account may do with the resource (local names: "read", "write", ...).
    std::string owner;
    std::vector<std::string> principalCollections;
    std::vector<std::string> privileges;
    std::string calendarData;
    std::string addressData;

    bool found() const { return status >= 200 && status < 300; }
};

struct Multistatus {
    std::vector<DavResource> responses;
    // The top-level sync-token of a sync-collection report.
    std::string syncToken;
    // The report's own listing was cut short (a 507 for the request address, RFC 6578 3.6).
    bool truncated = false;
};

// Throws DavError::BadMultistatus when the text is not XML, not a multistatus, or a response
// has no usable href. requestUrl resolves relative hrefs.
Multistatus parseMultistatus(std::string_view text, std::string_view requestUrl);

// The status code of an HTTP status line ("HTTP/1.1 404 Not Found" gives 404); 0 when none.
int statusOfLine(std::string_view line);

}  // namespace lumora::dav
