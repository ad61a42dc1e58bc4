#include <gtest/gtest.h>

#include <curl/curl.h>

#include "Platform/Dav/account_discovery.hpp"
#include "Platform/Dav/multistatus.hpp"
#include "dav_test_support.hpp"
#include "tests/support/http_server_fixture.hpp"

namespace lumora::dav {

namespace {

constexpr std::string_view kCollectionUrl = "https://dav.example.com/alice/calendar/";

}  // namespace

TEST(Multistatus, ReadsMembersRemovalsAndTheSyncToken) {
    Multistatus m = parseMultistatus(R"(<?xml version="1.0"?>
<multistatus xmlns="DAV:">
  <response><href>a.ics</href>
    <propstat><prop><getetag>"e1"</getetag></prop><status>HTTP/1.1 200 OK</status></propstat>
    <propstat><prop><displayname>never read</displayname></prop><status>HTTP/1.1 404 Not Found</status></propstat>
  </response>
  <response><href>/alice/calendar/gone.ics</href><status>HTTP/1.1 404 Not Found</status></response>
  <sync-token>http://example.com/sync/7</sync-token>
</multistatus>)",
                                     kCollectionUrl);
    ASSERT_EQ(m.responses.size(), 2u);
    EXPECT_EQ(m.responses[0].href, "https://dav.example.com/alice/calendar/a.ics");
    EXPECT_EQ(m.responses[0].etag, "\"e1\"");
    EXPECT_EQ(m.responses[0].status, 200);
    EXPECT_EQ(m.responses[0].displayName, "");
    EXPECT_EQ(m.responses[1].href, "https://dav.example.com/alice/calendar/gone.ics");
    EXPECT_EQ(m.responses[1].status, 404);
    EXPECT_EQ(m.syncToken, "http://example.com/sync/7");
    EXPECT_FALSE(m.truncated);
}

TEST(Multistatus, ReadsCollectionPropertiesAndMarksATruncatedListing) {
    Multistatus m = parseMultistatus(R"(<d:multistatus xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav"
      xmlns:cs="http://calendarserver.org/ns/" xmlns:r="urn:ietf:params:xml:ns:carddav">
  <d:response><d:href>/alice/calendar/</d:href><d:propstat><d:prop>
    <d:resourcetype><d:collection/><c:calendar/></d:resourcetype><d:displayname>Work &amp; home</d:displayname>
    <cs:getctag>ctag-3</cs:getctag><d:sync-token>tok-3</d:sync-token>
    <c:supported-calendar-component-set><c:comp name="VEVENT"/><c:comp name="VTODO"/></c:supported-calendar-component-set>
    <d:supported-report-set><d:supported-report><d:report><d:sync-collection/></d:report></d:supported-report></d:supported-report-set>
    <c:calendar-home-set><d:href>/alice/</d:href></c:calendar-home-set>
    <r:addressbook-home-set><d:href>https://cards.example.com/alice/</d:href></r:addressbook-home-set>
  </d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>
  <d:response><d:href>/alice/calendar/</d:href><d:status>HTTP/1.1 507 Insufficient Storage</d:status></d:response>
</d:multistatus>)",
                                     kCollectionUrl);
    ASSERT_EQ(m.responses.size(), 1u);
    const DavResource& c = m.responses[0];
    EXPECT_TRUE(c.isCollection && c.isCalendar);
    EXPECT_FALSE(c.isAddressBook);
    EXPECT_EQ(c.displayName, "Work & home");
    EXPECT_EQ(c.ctag, "ctag-3");
    EXPECT_EQ(c.syncToken, "tok-3");
    EXPECT_EQ(c.components, (std::vector<std::string>{"VEVENT", "VTODO"}));
    EXPECT_EQ(c.supportedReports, (std::vector<std::string>{"sync-collection"}));
    EXPECT_EQ(c.calendarHomes, (std::vector<std::string>{"https://dav.example.com/alice/"}));
    EXPECT_EQ(c.addressBookHomes, (std::vector<std::string>{"https://cards.example.com/alice/"}));
    EXPECT_TRUE(m.truncated);
}

TEST(Multistatus, MalformedAnswersAreRefusedWithAClearError) {
    auto refused = [](std::string_view text) {
        auto thrown = errorFrom([&] { parseMultistatus(text, kCollectionUrl); });
        ASSERT_TRUE(thrown.has_value()) << text;
        EXPECT_EQ(thrown->number(), errorOf(DavError::BadMultistatus).number()) << text;
        EXPECT_EQ(thrown->description().rfind("The server's answer is not a valid WebDAV multistatus: ", 0), 0u)
            << thrown->description();
    };
    refused("");
    refused("<multistatus xmlns=\"DAV:\"><response>");
    refused("<html><body>Welcome</body></html>");
    refused("<multistatus><response/></multistatus>");  // no DAV: namespace
    refused("<multistatus xmlns=\"DAV:\"><response><propstat/></response></multistatus>");
    refused("<multistatus xmlns=\"DAV:\"><response><href>a</href></response></multistatus>");
    // An external entity is neither fetched nor expanded.
    refused(R"(<!DOCTYPE m [<!ENTITY x SYSTEM "http://127.0.0.1:9/x">]>)"
            R"(<multistatus xmlns="DAV:"><response><href>&x;</href><status>HTTP/1.1 200 OK</status></response></multistatus>)");
    std::string deep = "<multistatus xmlns=\"DAV:\">" + std::string(2000, ' ');
    for (int i = 0; i < 400; ++i) deep += "<x>";
    refused(deep);
    EXPECT_EQ(statusOfLine("HTTP/1.1 404 Not Found"), 404);
    EXPECT_EQ(statusOfLine("HTTP/1.1 99"), 0);
    EXPECT_EQ(statusOfLine("garbage"), 0);
}

class DavAgainstLoopback : public ::testing::Test {
protected:
    std::filesystem::path m_root = std::filesystem::temp_directory_path() / ("lumora-dav-" + std::to_string(getpid()));
    test::LoopbackHttpServer m_server{m_root / "files", m_root / "uploads"};
    DavClient m_client{{m_server.url("/"), "alice", "pw"}};

    static std::string escapedQuery(const std::string& text) {
        char* escaped = curl_easy_escape(nullptr, text.c_str(), static_cast<int>(text.size()));
        std::string out(escaped);
        curl_free(escaped);
        return out;
    }
    std::string answering(const std::string& body, int status) const {
        return m_server.url("/xml?status=" + std::to_string(status) + "&body=" + escapedQuery(body));
    }
};

TEST_F(DavAgainstLoopback, AServerAnsweringGarbageGetsABadMultistatusNotACrash) {
    auto thrown = errorFrom([&] { m_client.propfind(answering("<multistatus xmlns='DAV:'><resp", 207), Depth::Zero, PropertySet::Ctag); });
    ASSERT_TRUE(thrown.has_value());
    EXPECT_EQ(thrown->number(), errorOf(DavError::BadMultistatus).number());
    std::string notXml = answering("{\"json\": true}", 207);
    EXPECT_EQ(errorFrom([&] { m_client.report(notXml, Depth::One, "<x/>"); })->number(),
              errorOf(DavError::BadMultistatus).number());
    std::string plainOk = answering("<multistatus xmlns='DAV:'/>", 200);
    EXPECT_DAV_ERROR(m_client.propfind(plainOk, Depth::Zero, PropertySet::Ctag), DavError::UnexpectedStatus,
                     "200 OK to PROPFIND " + plainOk);
}

TEST_F(DavAgainstLoopback, AnAddressWithoutDavIsNoPrincipalAndOtherServersAreNeverSentThePassword) {
    DavClient lost({m_server.url("/files/nothing"), "alice", "pw"});
    EXPECT_DAV_ERROR(discoverHomes(lost), DavError::NoPrincipal, m_server.url("/files/nothing/"));
    EXPECT_DAV_ERROR(m_client.get("http://localhost:1/elsewhere"), DavError::ForeignAddress,
                     "http://localhost:1/elsewhere");
    // A member href naming another server is refused before anything is sent there.
    EXPECT_DAV_ERROR(m_client.get("https://dav.example.com/x.ics"), DavError::ForeignAddress,
                     "https://dav.example.com/x.ics");
}

}  // namespace lumora::dav
