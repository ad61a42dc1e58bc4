// A page reaches only what it was given: handles to the classes it may create, paths on its
// mapped drives and in the folders granted to it, answers it can take, and a place among the
// bridge's connections that a flood of other connections cannot take away. Every case runs
// against the real desktop control over a real WebSocket, as a hostile page would.

#include <sys/socket.h>

#include <fstream>

#include "Platform/Files/drive_map.hpp"
#include "bridge_fixture.hpp"
#include "tests/support/http_server_fixture.hpp"

namespace lumora::tests {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

constexpr const char* kControl = "LumoraControl2005.LumoraCtrl2005";

class BridgeReach : public BridgeTest {
protected:
    void SetUp() override {
        BridgeTest::SetUp();
        registerWorkstationClasses();

        fs::create_directories(folder("temp"));
        options.page.desktop.system.tempFolder = folder("temp").string() + "/";
        files::DriveMap::instance().clearAll();
        files::DriveMap::instance().set("C:", folder("c-drive"));
        write(folder("c-drive") / "Out" / "note.txt", "on the C drive");
        write(folder("home") / ".ssh" / "id_rsa", "PRIVATE KEY");
    }
    void TearDown() override {
        BridgeTest::TearDown();
        files::DriveMap::instance().clearAll();
    }
    fs::path folder(const std::string& name) const { return m_data.path() / name; }
    static void write(const fs::path& file, const std::string& text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }
    json byref(BridgeClient& page, int64_t object, const std::string& member, json args) {
        json response = page.request("call", {{"object", object}, {"member", member}, {"args", std::move(args)}});
        return response["result"]["byref"];
    }
};

TEST_F(BridgeReach, DocumentsAPagePassesComeBackAsMarkupNeverAsHandles) {
    serve();
    BridgeClient page(port());
    int64_t control = page.create(kControl);

    json html = byref(page, control, "CheckForFolder", {{{"$html", "<p>Quote</p>"}}});
    ASSERT_EQ(html.size(), 1u);
    EXPECT_EQ(html[0], json({{"$html", "<html><head></head><body><p>Quote</p></body></html>"}}));
    json xml = byref(page, control, "CheckForFolder", {{{"$xml", "<quote n=\"1\"/>"}}});
    ASSERT_EQ(xml.size(), 1u);
    ASSERT_TRUE(xml[0].contains("$xml")) << xml;
    EXPECT_NE(xml[0]["$xml"].get<std::string>().find("<quote n=\"1\"/>"), std::string::npos);

    // No id the page could guess leads to a document that loads or saves files.
    for (int64_t guess = 2; guess < 10; ++guess) {
        json load = page.request("call", {{"object", guess}, {"member", "load"}, {"args", {"/etc/passwd"}}});
        EXPECT_EQ(load["error"]["data"]["number"], 91) << guess;
    }
}

TEST_F(BridgeReach, ObjectsOfClassesThePageCannotCreateCarryNoHandle) {
    serve();
    BridgeClient page(port());
    int64_t sample = page.create(kSampleProgId);
    EXPECT_EQ(page.call(sample, "Echo", {{{"$xml", "<a/>"}}})["result"], json({{"$xml", "<a/>\r\n"}}));
    EXPECT_EQ(page.call(sample, "Scratch")["result"], json({{"$class", "DOMDocument"}}));
    // Its own class stays reachable, and {"$class": …} is no way back in.
    EXPECT_TRUE(page.call(sample, "Child")["result"].contains("$object"));
    json back = page.request("call", {{"object", sample}, {"member", "Echo"}, {"args", {{{"$class", "DOMDocument"}}}}});
    EXPECT_EQ(back["error"]["data"]["number"], 13);
}

TEST_F(BridgeReach, PagePathsReachTheMappedDrivesAndGrantedFoldersOnly) {
    test::LoopbackHttpServer web(folder("site"), folder("uploads"));
    write(folder("temp") / "letter.htm", "<p>temp</p>");
    write(folder("documents") / "quote.txt", "documents");
    serve();
    BridgeClient page(port());
    int64_t control = page.create(kControl);
    auto upload = [&](const std::string& path) { return page.call(control, "UploadFile", {path, web.url("/upload")})["result"]; };

    EXPECT_EQ(upload("C:\\Out\\note.txt"), true);
    EXPECT_EQ(upload((folder("temp") / "letter.htm").string()), true);
    EXPECT_EQ(upload((folder("documents") / "quote.txt").string()), true);
    const std::string key = (folder("home") / ".ssh" / "id_rsa").string();
    EXPECT_EQ(upload(key), false);
    EXPECT_EQ(upload(folder("temp").string() + "/../home/.ssh/id_rsa"), false);
    EXPECT_FALSE(fs::exists(folder("uploads") / "id_rsa"));

    // A path outside gets exactly what a drive that is not mapped gets.
    json unmapped = page.call(control, "OpenFile", {"Q:\\Out\\note.txt"})["result"];
    EXPECT_FALSE(unmapped.get<std::string>().empty());
    EXPECT_EQ(page.call(control, "OpenFile", {key})["result"], unmapped);
    EXPECT_EQ(page.call(control, "OpenFile", {"/etc/passwd"})["result"], unmapped);
    EXPECT_EQ(page.call(control, "FindFile", {key})["result"], false);
    EXPECT_EQ(page.call(control, "FindFile", {"C:\\Out\\note.txt"})["result"], true);
    for (const json& shown : page.notifications()) EXPECT_FALSE(shown["params"].contains("link")) << shown;
}

TEST_F(BridgeReach, AnAnswerTooLargeForThePageIsAnErrorAndThePageKeepsItsObjects) {
    options.maxUnsentBytes = 1u << 20;
    serve();
    BridgeClient page(port());
    int64_t sample = page.create(kSampleProgId);
    json refused = page.request("call", {{"object", sample}, {"member", "Echo"}, {"args", {std::string(2u << 20, 'x')}}});
    EXPECT_EQ(refused["error"]["code"], -32002);
    EXPECT_EQ(page.call(sample, "Echo", {"still here"})["result"], "still here");
    EXPECT_EQ(server->pageCount(), 1u);
}

// A connection that sends half a request and then nothing, as slowloris does.
int halfSentRequest(uint16_t port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return fd;
    const std::string start = "GET / HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\n";
    (void)::send(fd, start.data(), start.size(), MSG_NOSIGNAL);
    return fd;
}

TEST_F(BridgeReach, ConnectionsThatNeverFinishARequestCannotLockOthersOut) {
    options.maxConnections = 8;
    serve();
    BridgeClient earlierPage(port());
    int64_t sample = earlierPage.create(kSampleProgId);
    std::vector<int> stalled;
    for (int i = 0; i < 40; ++i) stalled.push_back(halfSentRequest(port()));

    EXPECT_EQ(httpRequest(port(), "GET", "/").status, 200);
    BridgeClient laterPage(port());
    EXPECT_EQ(laterPage.call(laterPage.create(kSampleProgId), "Echo", {"served"})["result"], "served");
    // A page is never the one pushed out.
    EXPECT_EQ(earlierPage.call(sample, "Echo", {"kept"})["result"], "kept");
    for (int fd : stalled) ::close(fd);
}

TEST_F(BridgeReach, TextThatIsNotUtf8ClosesThePageWith1007) {
    serve();
    BridgeClient page(port());
    page.sendText("{\"jsonrpc\":\"2.0\",\"id\":1,\"method\":\"create\",\"params\":{\"progId\":\"\xC3\x28\"}}");
    EXPECT_THROW(page.receive(), std::exception);
    EXPECT_EQ(page.closeCode(), 1007);
}

TEST_F(BridgeReach, TheFirstOriginHeaderDecides) {
    options.allowedOrigins = {"https://crm.example.com"};
    serve();
    EXPECT_EQ(upgradeStatus(port(), {{"Origin", "https://crm.example.com"}, {"Origin", "https://evil.example"}}), 101);
    EXPECT_EQ(upgradeStatus(port(), {{"Origin", "https://evil.example"}, {"Origin", "https://crm.example.com"}}), 403);
}

}  // namespace
}  // namespace lumora::tests
