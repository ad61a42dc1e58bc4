// HTTP requests against a real server on the loopback interface: GET, PUT byte for byte,
// status codes, redirects (and the ones refused), time and size limits, headers and charsets.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "Platform/Xml/http_fetch.hpp"
#include "tests/support/http_server_fixture.hpp"
#include "xml_test_support.hpp"

namespace lumora::xml::test {
namespace {

class Http : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_root = std::filesystem::temp_directory_path() / ("lumora-http-" + std::to_string(::getpid()));
        std::filesystem::create_directories(s_root / "files" / "templates");
        std::ofstream(s_root / "files" / "hello.txt") << "hello, world";
        std::ofstream(s_root / "files" / "templates" / "Letter.dotx") << "x";
        std::ofstream(s_root / "files" / "data.xml") << "<?xml version=\"1.0\"?>\n<data>\n  <v>42</v>\n</data>\n";
        s_server = std::make_unique<lumora::test::LoopbackHttpServer>(s_root / "files", s_root / "uploads");
    }
    static void TearDownTestSuite() {
        s_server.reset();
        std::filesystem::remove_all(s_root);
    }
    static std::string url(const std::string& path) { return s_server->url(path); }

    static Object request(const std::string& method, const std::string& path, const Variant& body = Variant()) {
        Object http = xmlRegistry().createObject("MSXML2.XMLHTTP.3.0");
        http.call("open", method, url(path), false);
        http.call("send", body);
        return http;
    }

    static int32_t errorNumberOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const Error& e) {
            return e.number();
        }
        return 0;
    }

    static inline std::filesystem::path s_root;
    static inline std::unique_ptr<lumora::test::LoopbackHttpServer> s_server;
};

TEST_F(Http, GetReturnsStatusTextAndHeaders) {
    Object http = request("GET", "/files/hello.txt");
    EXPECT_EQ(http.get("readyState").toI4(), 4);
    EXPECT_EQ(http.get("status").toI4(), 200);
    EXPECT_EQ(http.get("statusText").toString(), "OK");
    EXPECT_EQ(http.get("responseText").toString(), "hello, world");
    EXPECT_EQ(http.call("getResponseHeader", "content-length").toString(), "12");
    EXPECT_NE(http.call("getAllResponseHeaders").toString().find("Content-Type: application/octet-stream\r\n"),
              std::string::npos);
}

TEST_F(Http, EveryProgIdGivesARequestObject) {
    for (const char* name : {"MSXML2.XMLHTTP.3.0", "MSXML2.XMLHTTP", "microsoft.xmlhttp"}) {
        Object http = xmlRegistry().createObject(name);
        http.call("open", "GET", url("/files/hello.txt"), false);
        http.call("send");
        EXPECT_EQ(http.get("responseText").toString(), "hello, world") << name;
    }
}

TEST_F(Http, PutStoresTheBodyByteForByte) {
    std::string content = "line one\r\nZoë £5\ttab\r\n";
    Object http = request("PUT", "/upload/letter.txt", content);
    EXPECT_EQ(http.get("status").toI4(), 201);
    EXPECT_EQ(readFile(s_root / "uploads" / "letter.txt"), content);
}

TEST_F(Http, ErrorStatusesAreAnswersNotFailures) {
    Object http = request("GET", "/status/500");
    EXPECT_EQ(http.get("status").toI4(), 500);
    EXPECT_EQ(http.get("statusText").toString(), "Internal Server Error");
    EXPECT_EQ(http.get("responseText").toString(), "status 500");
    EXPECT_EQ(request("POST", "/status/404", "x").get("status").toI4(), 404);
}

TEST_F(Http, RedirectsAreFollowedWithinHttp) {
    Object http = request("GET", "/redirect?to=/files/hello.txt");
    EXPECT_EQ(http.get("status").toI4(), 200);
    EXPECT_EQ(http.get("responseText").toString(), "hello, world");
}

TEST_F(Http, RedirectsOutOfHttpAndOtherProtocolsAreRefused) {
    EXPECT_EQ(errorNumberOf([] { request("GET", "/redirect?to=file:///etc/passwd"); }),
              static_cast<int32_t>(0x80072F7Cu));
    Object http = xmlRegistry().createObject("MSXML2.XMLHTTP.3.0");
    EXPECT_EQ(errorNumberOf([&] { http.call("open", "GET", "file:///etc/passwd", false); }),
              static_cast<int32_t>(0x80072EE6u));
    EXPECT_EQ(errorNumberOf([&] { http.call("send"); }), static_cast<int32_t>(0x80040704u));
}

TEST_F(Http, ASlowServerRunsIntoTheTimeout) {
    Object http = xmlRegistry().createObject("MSXML2.XMLHTTP.3.0");
    http.call("setTimeouts", 1000, 1000, 500, 500);
    http.call("open", "GET", url("/slow?seconds=10"), false);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(errorNumberOf([&] { http.call("send"); }), static_cast<int32_t>(0x80072EE2u));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(errorNumberOf([&] { http.get("status"); }), static_cast<int32_t>(0x8000000Au));
}

TEST_F(Http, AResponseOverTheSizeCapIsRefused) {
    HttpRequest r;
    r.url = url("/bytes?count=5000000");
    r.limits.maxResponseBytes = 100000;
    EXPECT_EQ(errorNumberOf([&] { httpFetch(r); }), static_cast<int32_t>(0x80040705u));
    r.url = url("/bytes?count=100000");
    EXPECT_EQ(httpFetch(r).body.size(), 100000u);
}

TEST_F(Http, NobodyListeningIsACannotConnectError) {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    close(s);  // the port is now free and closed
    std::string closed = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/";
    EXPECT_EQ(errorNumberOf([&] { readUrl(closed); }), static_cast<int32_t>(0x80072EFDu));
}

TEST_F(Http, HeaderNamesTypedWithTheirColonAreSentCleanly) {
    Object http = xmlRegistry().createObject("microsoft.xmlhttp");
    http.call("open", "GET", url("/echo"), false);
    http.call("setRequestHeader", "Content-type:", "text/xml");
    http.call("setRequestHeader", "Translate:", "f");
    http.call("send");
    std::string echo = http.get("responseText").toString();
    EXPECT_NE(echo.find("\"Content-type\": \"text/xml\""), std::string::npos) << echo;
    EXPECT_NE(echo.find("\"Translate\": \"f\""), std::string::npos) << echo;
}

TEST_F(Http, HeaderValuesCannotInjectFurtherHeaders) {
    Object http = xmlRegistry().createObject("MSXML2.XMLHTTP.3.0");
    http.call("open", "GET", url("/echo"), false);
    http.call("setRequestHeader", "X-Name", "a\r\nEvil: 1");
    EXPECT_EQ(errorNumberOf([&] { http.call("send"); }), static_cast<int32_t>(0x80070057u));
}

TEST_F(Http, ResponseTextFollowsTheDeclaredCharset) {
    EXPECT_EQ(request("GET", "/text?charset=iso-8859-1&text=caf%C3%A9").get("responseText").toString(), "café");
    EXPECT_EQ(request("GET", "/text?charset=utf-8&text=caf%C3%A9").get("responseText").toString(), "café");
}

TEST_F(Http, ResponseXmlIsAParsedDocumentOrAnEmptyOneWithItsError) {
    Object good = request("GET", "/xml?body=%3Ca%3E%3Cb%3E1%3C%2Fb%3E%3C%2Fa%3E").getObject("responseXML");
    EXPECT_EQ(good.call("selectSingleNode", "/a/b").toObject().get("text").toString(), "1");
    Object bad = request("GET", "/xml?body=%3Ca%3E").getObject("responseXML");
    EXPECT_TRUE(bad.getObject("documentElement").isNothing());
    EXPECT_NE(bad.getObject("parseError").get("errorCode").toI4(), 0);
}

TEST_F(Http, DocumentsLoadFromAnAddress) {
    Object doc = newDocument();
    ASSERT_TRUE(doc.call("load", url("/files/data.xml")).toBool());
    EXPECT_EQ(doc.getObject("documentElement").getObject("childNodes").get("length").toI4(), 1);
    EXPECT_FALSE(doc.call("load", url("/status/404")).toBool());
    EXPECT_NE(doc.getObject("parseError").get("reason").toString().find("404"), std::string::npos);
}

TEST_F(Http, ReadUrlReturnsTheFolderListingWithItsLinks) {
    std::string page = readUrl(url("/files/"));
    EXPECT_NE(page.find("<A HREF=\"templates/\">templates/</A>"), std::string::npos) << page;
    EXPECT_NE(page.find("[To Parent Directory]"), std::string::npos);
    EXPECT_NE(readUrl(url("/echo")).find("\"Cache-Control\": \"no-cache\""), std::string::npos);
}

}  // namespace
}  // namespace lumora::xml::test
