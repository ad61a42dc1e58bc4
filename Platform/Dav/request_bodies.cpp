#include "request_bodies.hpp"

#include <libxml/entities.h>

#include "Platform/Xml/xml_handles.hpp"

namespace lumora::dav {

namespace {

constexpr std::string_view kNamespaces =
    R"( xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav" xmlns:CR="urn:ietf:params:xml:ns:carddav")"
    R"( xmlns:CS="http://calendarserver.org/ns/")";

std::string escaped(std::string_view text) {
    std::string copy(text);
    xml::XmlString out(xmlEncodeSpecialChars(nullptr, reinterpret_cast<const xmlChar*>(copy.c_str())));
    if (!out) throw std::bad_alloc();
    return reinterpret_cast<const char*>(out.get());
}

std::string document(std::string_view root, std::string_view content) {
    std::string out = R"(<?xml version="1.0" encoding="utf-8"?>)";
    out += "\n<" + std::string(root) + std::string(kNamespaces) + ">" + std::string(content) + "</" +
           std::string(root) + ">";
    return out;
}

std::string_view propertiesOf(PropertySet set) {
    switch (set) {
        case PropertySet::Principal: return "<D:current-user-principal/>";
        case PropertySet::Homes:
            return "<C:calendar-home-set/><CR:addressbook-home-set/><D:displayname/><D:principal-collection-set/>";
        case PropertySet::Collections:
            return "<D:resourcetype/><D:displayname/><CS:getctag/><D:sync-token/>"
                   "<C:supported-calendar-component-set/><D:supported-report-set/><D:owner/>"
                   "<D:current-user-privilege-set/>";
        case PropertySet::MemberEtags: return "<D:resourcetype/><D:getetag/>";
        case PropertySet::Ctag: return "<CS:getctag/><D:sync-token/>";
        case PropertySet::PrincipalListing: return "<D:resourcetype/><D:displayname/>";
    }
    return "";
}

}  // namespace

std::string propfindBody(PropertySet set) {
    return document("D:propfind", "<D:prop>" + std::string(propertiesOf(set)) + "</D:prop>");
}

std::string syncCollectionBody(std::string_view syncToken) {
    std::string token = syncToken.empty() ? "<D:sync-token/>" : "<D:sync-token>" + escaped(syncToken) + "</D:sync-token>";
    return document("D:sync-collection", token + "<D:sync-level>1</D:sync-level><D:prop><D:getetag/></D:prop>");
}

std::string multigetBody(CollectionKind kind, const std::vector<std::string>& paths) {
    bool calendar = kind == CollectionKind::Calendar;
    std::string content = calendar ? "<D:prop><D:getetag/><C:calendar-data/></D:prop>"
                                   : "<D:prop><D:getetag/><CR:address-data/></D:prop>";
    for (const std::string& path : paths) content += "<D:href>" + escaped(path) + "</D:href>";
    return document(calendar ? "C:calendar-multiget" : "CR:addressbook-multiget", content);
}

std::string makeCalendarBody(std::string_view displayName, std::string_view component) {
    return document("C:mkcalendar", "<D:set><D:prop><D:displayname>" + escaped(displayName) +
                                        "</D:displayname><C:supported-calendar-component-set><C:comp name=\"" +
                                        escaped(component) +
                                        "\"/></C:supported-calendar-component-set></D:prop></D:set>");
}

std::string makeAddressBookBody(std::string_view displayName) {
    return document("D:mkcol", "<D:set><D:prop><D:resourcetype><D:collection/><CR:addressbook/></D:resourcetype>"
                               "<D:displayname>" +
                                   escaped(displayName) + "</D:displayname></D:prop></D:set>");
}

}  // namespace lumora::dav
