#include "multistatus.hpp"

#include <libxml/tree.h>

#include <charconv>
#include <cstring>

#include "Platform/Xml/parser.hpp"
#include "dav_address.hpp"
#include "dav_errors.hpp"

namespace lumora::dav {

namespace {

constexpr const char* kDav = "DAV:";
constexpr const char* kCalDav = "urn:ietf:params:xml:ns:caldav";
constexpr const char* kCardDav = "urn:ietf:params:xml:ns:carddav";
constexpr const char* kCalendarServer = "http://calendarserver.org/ns/";

bool is(const xmlNode* node, const char* ns, const char* name) {
    return node && node->type == XML_ELEMENT_NODE && node->ns && node->ns->href &&
           std::strcmp(reinterpret_cast<const char*>(node->ns->href), ns) == 0 &&
           std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

template <class Visit>
void forEachChild(const xmlNode* parent, Visit visit) {
    for (const xmlNode* child = parent ? parent->children : nullptr; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE) visit(child);
}

const xmlNode* child(const xmlNode* parent, const char* ns, const char* name) {
    for (const xmlNode* c = parent ? parent->children : nullptr; c; c = c->next)
        if (is(c, ns, name)) return c;
    return nullptr;
}

std::string textOf(const xmlNode* node) {
    if (!node) return {};
    xml::XmlString text(xmlNodeGetContent(node));
    return text ? std::string(reinterpret_cast<const char*>(text.get())) : std::string();
}

std::string trimmed(std::string text) {
    size_t end = text.find_last_not_of(" \t\r\n");
    text.erase(end == std::string::npos ? 0 : end + 1);
    text.erase(0, std::min(text.size(), text.find_first_not_of(" \t\r\n")));
    return text;
}

std::vector<std::string> hrefsIn(const xmlNode* property, std::string_view requestUrl) {
    std::vector<std::string> hrefs;
    forEachChild(property, [&](const xmlNode* c) {
        if (is(c, kDav, "href")) hrefs.push_back(resolveHref(requestUrl, trimmed(textOf(c))));
    });
    return hrefs;
}

void readResourceType(const xmlNode* property, DavResource& resource) {
    resource.isCollection = child(property, kDav, "collection") != nullptr;
    resource.isPrincipal = child(property, kDav, "principal") != nullptr;
    resource.isCalendar = child(property, kCalDav, "calendar") != nullptr;
    resource.isAddressBook = child(property, kCardDav, "addressbook") != nullptr;
}

void readComponents(const xmlNode* property, DavResource& resource) {
    forEachChild(property, [&](const xmlNode* c) {
        if (!is(c, kCalDav, "comp")) return;
        xml::XmlString name(xmlGetNoNsProp(c, reinterpret_cast<const xmlChar*>("name")));
        if (name) resource.components.emplace_back(reinterpret_cast<const char*>(name.get()));
    });
}

// supported-report-set > supported-report > report > the report's own element.
void readReports(const xmlNode* property, DavResource& resource) {
    forEachChild(property, [&](const xmlNode* supported) {
        if (!is(supported, kDav, "supported-report")) return;
        forEachChild(child(supported, kDav, "report"), [&](const xmlNode* kind) {
            resource.supportedReports.emplace_back(reinterpret_cast<const char*>(kind->name));
        });
    });
}

// current-user-privilege-set > privilege > the privilege's own element.
void readPrivileges(const xmlNode* property, DavResource& resource) {
    forEachChild(property, [&](const xmlNode* privilege) {
        if (!is(privilege, kDav, "privilege")) return;
        forEachChild(privilege, [&](const xmlNode* kind) {
            resource.privileges.emplace_back(reinterpret_cast<const char*>(kind->name));
        });
    });
}

void readProperty(const xmlNode* p, DavResource& resource, std::string_view requestUrl) {
    if (is(p, kDav, "getetag")) resource.etag = trimmed(textOf(p));
    else if (is(p, kCalendarServer, "getctag")) resource.ctag = trimmed(textOf(p));
    else if (is(p, kDav, "sync-token")) resource.syncToken = trimmed(textOf(p));
    else if (is(p, kDav, "displayname")) resource.displayName = textOf(p);
    else if (is(p, kDav, "resourcetype")) readResourceType(p, resource);
    else if (is(p, kCalDav, "supported-calendar-component-set")) readComponents(p, resource);
    else if (is(p, kDav, "supported-report-set")) readReports(p, resource);
    else if (is(p, kDav, "current-user-principal")) {
        auto hrefs = hrefsIn(p, requestUrl);
        if (!hrefs.empty()) resource.currentUserPrincipal = hrefs.front();
    } else if (is(p, kCalDav, "calendar-home-set")) resource.calendarHomes = hrefsIn(p, requestUrl);
    else if (is(p, kCardDav, "addressbook-home-set")) resource.addressBookHomes = hrefsIn(p, requestUrl);
    else if (is(p, kDav, "owner")) {
        auto hrefs = hrefsIn(p, requestUrl);
        if (!hrefs.empty()) resource.owner = hrefs.front();
    } else if (is(p, kDav, "principal-collection-set")) resource.principalCollections = hrefsIn(p, requestUrl);
    else if (is(p, kDav, "current-user-privilege-set")) readPrivileges(p, resource);
    else if (is(p, kCalDav, "calendar-data")) resource.calendarData = textOf(p);
    else if (is(p, kCardDav, "address-data")) resource.addressData = textOf(p);
}

DavResource readResponse(const xmlNode* response, std::string_view requestUrl) {
    DavResource resource;
    const xmlNode* href = child(response, kDav, "href");
    std::string hrefText = trimmed(textOf(href));
    if (hrefText.empty()) raise(DavError::BadMultistatus, "a response without an href");
    resource.href = resolveHref(requestUrl, hrefText);
    int ownStatus = statusOfLine(textOf(child(response, kDav, "status")));
    int firstPropertyStatus = 0;
    bool anyFound = false;
    forEachChild(response, [&](const xmlNode* propstat) {
        if (!is(propstat, kDav, "propstat")) return;
        int status = statusOfLine(textOf(child(propstat, kDav, "status")));
        if (!firstPropertyStatus) firstPropertyStatus = status;
        if (status < 200 || status >= 300) return;
        anyFound = true;
        forEachChild(child(propstat, kDav, "prop"), [&](const xmlNode* p) { readProperty(p, resource, requestUrl); });
    });
    resource.status = ownStatus ? ownStatus : anyFound ? 200 : firstPropertyStatus;
    if (!resource.status) raise(DavError::BadMultistatus, "the response for " + hrefText + " has no status");
    return resource;
}

}  // namespace

int statusOfLine(std::string_view line) {
    size_t space = line.find(' ');
    if (space == std::string_view::npos) return 0;
    std::string_view rest = line.substr(space + 1);
    int status = 0;
    auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), status);
    if (error != std::errc() || end != rest.data() + 3 || status < 100 || status > 599) return 0;
    return status;
}

Multistatus parseMultistatus(std::string_view text, std::string_view requestUrl) {
    xml::ParseOptions options;
    options.encoding = xml::SourceEncoding::AsDeclared;
    xml::ParseOutcome parsed = xml::parseXml(text, options);
    if (!parsed.doc) raise(DavError::BadMultistatus, parsed.failure ? parsed.failure->reason : "unreadable XML");
    const xmlNode* root = xmlDocGetRootElement(parsed.doc.get());
    if (!is(root, kDav, "multistatus")) raise(DavError::BadMultistatus, "the document is not a DAV:multistatus");
    Multistatus result;
    std::string requestAddress(requestUrl);
    std::string requestCollection = asCollectionAddress(requestUrl);
    forEachChild(root, [&](const xmlNode* c) {
        if (is(c, kDav, "sync-token")) {
            result.syncToken = trimmed(textOf(c));
        } else if (is(c, kDav, "response")) {
            DavResource resource = readResponse(c, requestUrl);
            // RFC 6578 3.6: a 507 for the request address itself says the listing was cut short.
            if (resource.status == 507 && (resource.href == requestAddress || resource.href == requestCollection)) {
                result.truncated = true;
                return;
            }
            result.responses.push_back(std::move(resource));
        }
    });
    return result;
}

}  // namespace lumora::dav
