#include "dav_client.hpp"

#include "dav_address.hpp"
#include "dav_errors.hpp"

namespace lumora::dav {

namespace {

constexpr std::string_view kXmlType = "application/xml; charset=utf-8";

std::string statusText(const DavReply& reply, std::string_view method) {
    std::string reason(xml::standardReason(reply.status));
    return std::to_string(reply.status) + (reason.empty() ? "" : " " + reason) + " to " + std::string(method) + " " +
           displayAddress(reply.url);
}

}  // namespace

DavClient::DavClient(DavAccount account) : m_account(std::move(account)) {
    checkTransport(m_account.baseUrl);
    m_account.baseUrl = asCollectionAddress(m_account.baseUrl);
    m_origin = originOf(m_account.baseUrl);
}

void DavClient::moveTo(std::string_view url) {
    checkTransport(url);
    m_account.baseUrl = asCollectionAddress(url);
    m_origin = originOf(m_account.baseUrl);
}

DavReply DavClient::send(const DavRequest& request) {
    checkTransport(request.url);
    if (originOf(request.url) != m_origin) raise(DavError::ForeignAddress, displayAddress(request.url));

    xml::HttpRequest http;
    http.method = request.method;
    http.url = request.url;
    http.user = m_account.user;
    http.password = m_account.password;
    http.authentication = xml::Authentication::Basic;
    http.redirects = xml::Redirects::Return;
    http.limits = m_account.limits;
    if (!request.body.empty() || request.method == "PUT") {
        http.body = request.body;
        http.hasBody = true;
        http.headers.emplace_back("Content-Type", request.contentType.empty() ? std::string(kXmlType)
                                                                             : request.contentType);
    }
    if (request.depth) http.headers.emplace_back("Depth", *request.depth == Depth::Zero ? "0" : "1");
    switch (request.condition.kind) {
        case WriteCondition::Kind::None: break;
        case WriteCondition::Kind::IfMatch: http.headers.emplace_back("If-Match", request.condition.etag); break;
        case WriteCondition::Kind::IfNoneMatchAny: http.headers.emplace_back("If-None-Match", "*"); break;
    }

    ++m_requestsSent;
    xml::HttpResponse response = xml::httpFetch(http);
    DavReply reply;
    reply.status = response.status;
    reply.url = request.url;
    reply.etag = response.header("ETag");
    reply.contentType = response.header("Content-Type");
    if (std::string location = response.header("Location"); !location.empty())
        reply.location = resolveHref(request.url, location);
    reply.body = std::move(response.body);
    if (reply.status == 401) raise(DavError::Unauthorized, displayAddress(request.url));
    return reply;
}

void DavClient::failedStatus(const DavReply& reply, std::string_view method, const WriteCondition& condition) {
    std::string where = displayAddress(reply.url);
    switch (reply.status) {
        case 403: raise(DavError::Forbidden, statusText(reply, method));
        case 404: raise(DavError::NotFound, where);
        case 412:
            if (condition.kind == WriteCondition::Kind::IfNoneMatchAny) raise(DavError::AlreadyExists, where);
            raise(DavError::PreconditionFailed, where);
        default: raise(DavError::UnexpectedStatus, statusText(reply, method));
    }
}

DavReply DavClient::checked(const DavRequest& request) {
    DavReply reply = send(request);
    if (!reply.succeeded()) failedStatus(reply, request.method, request.condition);
    return reply;
}

Multistatus DavClient::multistatusOf(const DavReply& reply, std::string_view method) {
    if (reply.status != 207) failedStatus(reply, method);
    return parseMultistatus(reply.body, reply.url);
}

Multistatus DavClient::propfind(std::string_view url, Depth depth, PropertySet set) {
    DavReply reply = send({"PROPFIND", std::string(url), propfindBody(set), {}, depth, {}});
    return multistatusOf(reply, "PROPFIND");
}

Multistatus DavClient::report(std::string_view url, Depth depth, const std::string& body) {
    DavReply reply = send({"REPORT", std::string(url), body, {}, depth, {}});
    return multistatusOf(reply, "REPORT");
}

DavReply DavClient::get(std::string_view url) { return checked({"GET", std::string(url), {}, {}, {}, {}}); }

std::string DavClient::put(std::string_view url, const std::string& body, std::string_view contentType,
                           const WriteCondition& condition) {
    return checked({"PUT", std::string(url), body, std::string(contentType), {}, condition}).etag;
}

void DavClient::remove(std::string_view url, const WriteCondition& condition) {
    checked({"DELETE", std::string(url), {}, {}, {}, condition});
}

void DavClient::makeCalendar(std::string_view url, std::string_view displayName, std::string_view component) {
    checked({"MKCALENDAR", std::string(url), makeCalendarBody(displayName, component), {}, {}, {}});
}

void DavClient::makeAddressBook(std::string_view url, std::string_view displayName) {
    checked({"MKCOL", std::string(url), makeAddressBookBody(displayName), {}, {}, {}});
}

}  // namespace lumora::dav
