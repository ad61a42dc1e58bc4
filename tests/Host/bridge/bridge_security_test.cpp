// What any web site, or a hostile page, may try against a bridge on localhost: other origins,
// rebinding host names, missing tokens, preflights, state-changing requests, oversized and
// deeply nested messages, floods and too many pages, and members of the desktop control that
// take a class or a path from the page. The bridge refuses each and stays up.

#include <filesystem>
#include <fstream>

#include "Automation/class_ids.hpp"
#include "bridge_fixture.hpp"

namespace lumora::tests {
namespace {

using nlohmann::json;

class BridgeSecurity : public BridgeTest {
protected:
    void SetUp() override {
        BridgeTest::SetUp();
        options.allowedOrigins = {"https://crm.example.com"};
    }
    // After every attack an allowed page is still served.
    void expectStillServing() {
        BridgeClient page(port(), "https://crm.example.com");
        EXPECT_EQ(page.call(page.create(kSampleProgId), "Echo", {"still here"})["result"], "still here");
    }
};

TEST_F(BridgeSecurity, AllowedAndOwnOriginsMayConnect) {
    serve();
    EXPECT_EQ(upgradeStatus(port(), {{"Origin", "https://crm.example.com"}}), 101);
    EXPECT_EQ(upgradeStatus(port(), {{"Origin", "http://127.0.0.1:" + std::to_string(port())}}), 101);
    EXPECT_EQ(upgradeStatus(port(), {{"Origin", "http://localhost:" + std::to_string(port())}}), 101);
}

TEST_F(BridgeSecurity, CrossOriginAndNearMissOriginsAreRefused) {
    serve();
    for (std::string origin : {"https://evil.example", "https://crm.example.com.evil.net", "https://evil-crm.example.com",
                               "https://evilcrm.example.com", "http://crm.example.com", "https://crm.example.com:8443",
                               "https://crm.example.com/", "https://crm.example", "null", "",
                               "http://127.0.0.1:1"}) {
        EXPECT_EQ(upgradeStatus(port(), {{"Origin", origin}}), 403) << origin;
    }
    expectStillServing();
}

TEST_F(BridgeSecurity, ClientWithoutOriginNeedsTheToken) {
    serve();
    EXPECT_EQ(upgradeStatus(port(), {}), 403);
    EXPECT_EQ(upgradeStatus(port(), {{"X-Lumora-Token", "0123"}}), 403);
    std::string nearly = server->token();
    nearly.back() = nearly.back() == '0' ? '1' : '0';
    EXPECT_EQ(upgradeStatus(port(), {{"X-Lumora-Token", nearly}}), 403);
    EXPECT_EQ(upgradeStatus(port(), {{"X-Lumora-Token", server->token()}}), 101);
    // The token does not make a disallowed browser origin acceptable.
    EXPECT_EQ(upgradeStatus(port(), {{"Origin", "null"}, {"X-Lumora-Token", server->token()}}), 403);

    BridgeClient tool = BridgeClient::withToken(port(), server->token());
    EXPECT_EQ(tool.call(tool.create(kSampleProgId), "Echo", {"native"})["result"], "native");
}

TEST_F(BridgeSecurity, RebindingHostNamesAreRefused) {
    serve();
    std::string suffix = ":" + std::to_string(port());
    EXPECT_EQ(httpRequest(port(), "GET", "/", {{"Host", "evil.example" + suffix}}).status, 403);
    EXPECT_EQ(httpRequest(port(), "GET", "/lumora.js", {{"Host", "127.0.0.1.evil.example" + suffix}}).status, 403);
    EXPECT_EQ(httpRequest(port(), "GET", "/", {{"Host", "127.0.0.1"}}).status, 403);
    EXPECT_EQ(upgradeStatus(port(), {{"Host", "evil.example" + suffix}, {"Origin", "https://crm.example.com"}}), 403);

    EXPECT_EQ(httpRequest(port(), "GET", "/", {{"Host", "localhost" + suffix}}).status, 200);
    EXPECT_EQ(httpRequest(port(), "GET", "/", {{"Host", "[::1]" + suffix}}).status, 200);
}

TEST_F(BridgeSecurity, PrivateNetworkPreflightIsAnsweredOnlyForAllowedOrigins) {
    serve();
    HttpReply allowed = httpRequest(port(), "OPTIONS", "/lumora.js",
                                    {{"Origin", "https://crm.example.com"},
                                     {"Access-Control-Request-Method", "GET"},
                                     {"Access-Control-Request-Private-Network", "true"}});
    EXPECT_EQ(allowed.status, 204);
    EXPECT_EQ(allowed.headers["access-control-allow-private-network"], "true");
    EXPECT_EQ(allowed.headers["access-control-allow-origin"], "https://crm.example.com");

    HttpReply refused = httpRequest(port(), "OPTIONS", "/lumora.js",
                                    {{"Origin", "https://crm.example.com.evil.net"},
                                     {"Access-Control-Request-Private-Network", "true"}});
    EXPECT_EQ(refused.status, 403);
    EXPECT_EQ(refused.headers.count("access-control-allow-private-network"), 0u);
}

TEST_F(BridgeSecurity, OnlyTheWebFilesAreServedAndNothingElseIsDone) {
    serve();
    HttpReply page = httpRequest(port(), "GET", "/");
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.body.find("Lumora Desktop"), std::string::npos);
    EXPECT_NE(page.headers["content-security-policy"].find("frame-ancestors 'none'"), std::string::npos);
    EXPECT_EQ(httpRequest(port(), "GET", "/lumora.js").headers["content-type"], "text/javascript; charset=utf-8");

    EXPECT_EQ(httpRequest(port(), "GET", "/rpc").status, 426);
    EXPECT_EQ(httpRequest(port(), "GET", "/../../etc/passwd").status, 404);
    EXPECT_EQ(httpRequest(port(), "GET", "/files/").status, 404);
    EXPECT_EQ(httpRequest(port(), "POST", "/rpc", {{"Content-Type", "application/json"}}).status, 405);
    EXPECT_EQ(httpRequest(port(), "DELETE", "/").status, 405);
}

TEST_F(BridgeSecurity, OversizedMessageIsRefusedAndTheConnectionStaysUsable) {
    options.page.limits.maxBytes = 8u << 20;
    serve();
    BridgeClient page(port(), "https://crm.example.com");
    int64_t sample = page.create(kSampleProgId);
    std::string huge = R"({"id":77,"jsonrpc":"2.0","method":"call","params":{"object":)" + std::to_string(sample) +
                       R"(,"member":"Echo","args":[")" + std::string((8u << 20) + 1, 'x') + R"("]}})";
    page.sendText(huge);
    json refused = page.receive();
    EXPECT_EQ(refused["id"], 77);
    EXPECT_EQ(refused["error"]["code"], -32600);
    EXPECT_EQ(refused["error"]["message"],
              "Request too large: " + std::to_string(huge.size()) + " bytes, the limit is 8388608 bytes");
    EXPECT_EQ(page.call(sample, "Echo", {"after"})["result"], "after");
}

TEST_F(BridgeSecurity, DeeplyNestedMessageIsRefusedAndTheConnectionStaysUsable) {
    serve();
    BridgeClient page(port(), "https://crm.example.com");
    int64_t sample = page.create(kSampleProgId);
    std::string deep = std::string(200, '[') + std::string(200, ']');
    page.sendText(R"({"id":"deep","jsonrpc":"2.0","method":"call","params":{"object":1,"member":"Echo","args":)" +
                  deep + "}}");
    json refused = page.receive();
    EXPECT_EQ(refused["id"], "deep");
    EXPECT_EQ(refused["error"]["code"], -32600);
    EXPECT_EQ(refused["error"]["message"], "Request nested too deeply: more than 64 levels");
    // Brackets inside a string are text, not nesting.
    EXPECT_EQ(page.call(sample, "Echo", {deep})["result"], deep);
}

TEST_F(BridgeSecurity, FloodOfCallsFromOnePageIsCappedWhileOtherPagesAreServed) {
    options.page.maxQueuedCalls = 8;
    serve();
    BridgeClient flooding(port(), "https://crm.example.com");
    int64_t windows = flooding.create(kWindowsProgId);
    std::vector<int64_t> ids{flooding.sendRequest("call", {{"object", windows}, {"member", "Sleep"}, {"args", {1000}}})};
    for (int i = 0; i < 200; ++i)
        ids.push_back(flooding.sendRequest("call", {{"object", windows}, {"member", "Sleep"}, {"args", {0}}}));

    expectStillServing();

    int refused = 0, answered = 0;
    for (int64_t id : ids) {
        json response = flooding.awaitResponse(id);
        if (response.contains("error")) {
            EXPECT_EQ(response["error"]["code"], -32001);
            ++refused;
        } else {
            ++answered;
        }
    }
    EXPECT_GE(refused, 150);
    EXPECT_GE(answered, 9);
    EXPECT_EQ(flooding.call(windows, "Sleep", {0})["result"], 0);
}

TEST_F(BridgeSecurity, PageThatDoesNotReadItsAnswersIsCutOff) {
    options.maxUnsentBytes = 1u << 20;
    serve();
    BridgeClient hoarding(port(), "https://crm.example.com");
    int64_t sample = hoarding.create(kSampleProgId);
    std::string bulky(100 * 1024, 'b');
    try {
        for (int i = 0; i < 200; ++i)
            hoarding.sendRequest("call", {{"object", sample}, {"member", "Echo"}, {"args", {bulky}}});
    } catch (const std::exception&) {
        // Cut off while still sending: what the test wants to see.
    }
    EXPECT_TRUE(eventually([&] { return server->pageCount() == 0; }));
    expectStillServing();
}

TEST_F(BridgeSecurity, PagesCreateOnlyTheControlsNotWhatTheyDrive) {
    options.page.creatable = bridge::deliverableClasses();
    serve();
    BridgeClient page(port(), "https://crm.example.com");
    // Registered and creatable in-process, but not a control a page may create by name.
    json refused = page.request("create", {{"progId", kSampleProgId}});
    EXPECT_EQ(refused["error"]["code"], -32003);
    EXPECT_EQ(refused["error"]["message"], std::string("Pages may not create: '") + kSampleProgId +
                                               "'; start lumora serve with --allow-progid " + kSampleProgId +
                                               " to allow it");
    EXPECT_EQ(refused["error"]["data"]["number"], 429);
    EXPECT_EQ(refused["error"]["data"]["description"], "ActiveX component can't create object");
    EXPECT_EQ(page.request("create", {{"progId", "Scripting.FileSystemObject"}})["error"]["data"]["number"], 429);
}

TEST_F(BridgeSecurity, PagesBeyondTheLimitAreTurnedAwayUntilOneCloses) {
    options.maxPages = 2;
    serve();
    auto first = std::make_unique<BridgeClient>(port());
    BridgeClient second(port());
    EXPECT_EQ(upgradeStatus(port(), {{"Origin", "https://crm.example.com"}}), 503);
    first.reset();
    EXPECT_TRUE(eventually([&] { return server->pageCount() == 1; }));
    expectStillServing();
}

TEST_F(BridgeSecurity, BinaryMessagesAreRefusedWithAClearError) {
    serve();
    BridgeClient page(port());
    page.sendBinary(R"({"jsonrpc":"2.0","id":1,"method":"create","params":{"progId":"x"}})");
    json refused = page.receive();
    EXPECT_EQ(refused["error"]["code"], -32600);
    EXPECT_EQ(refused["error"]["message"], "Binary messages are not supported, send JSON text");
    EXPECT_EQ(page.call(page.create(kSampleProgId), "Echo", {"text"})["result"], "text");
}

// The desktop control's members, called by a hostile page through the real bridge.
class HostileMemberCalls : public BridgeSecurity {
protected:
    void SetUp() override {
        BridgeSecurity::SetUp();
        registerWorkstationClasses();
        std::filesystem::create_directories(folder("temp"));
        options.page.desktop.system.tempFolder = folder("temp").string() + "/";
        options.page.creatable.push_back(kControl);
    }
    std::filesystem::path folder(const std::string& name) const { return m_data.path() / name; }

    // A page whose message boxes are kept, answered with their first button.
    BridgeClient page() {
        BridgeClient client(port(), "https://crm.example.com");
        client.answerBox = [boxes = m_boxes](const json& box) {
            boxes->push_back(box);
            return 1;
        };
        return client;
    }
    const std::vector<json>& boxes() const { return *m_boxes; }

    static constexpr const char* kControl = "LumoraControl2005.LumoraCtrl2005";

private:
    std::shared_ptr<std::vector<json>> m_boxes = std::make_shared<std::vector<json>>();
};

TEST_F(HostileMemberCalls, ThePageHasTheControlCreateDialersOnlyAndLearnsNothingOfOtherClasses) {
    serve();
    BridgeClient client = page();
    int64_t control = client.create(kControl);
    auto version = [&](std::string_view dialer) { return client.call(control, "GetDialerVersion", {dialer})["result"]; };
    const json unknown = version("No.Such.Dialer");
    EXPECT_EQ(unknown, "ActiveX component can't create object");
    for (std::string_view other : {progid::FileSystem, progid::Word, progid::Excel, progid::HttpRequest, progid::Outlook,
                                   clsid::FileSystem, std::string_view(kSampleProgId)})
        EXPECT_EQ(version(other), unknown) << other;
    EXPECT_EQ(version("LumoraGenTAPI30.Dialer"), "1.0.1");

    client.call(control, "MakeCall", {"number=1;object=No.Such.Dialer"});
    client.call(control, "MakeCall", {"number=1;object=Word.Application"});
    ASSERT_EQ(boxes().size(), 2u);
    EXPECT_EQ(boxes()[1], boxes()[0]);
    expectStillServing();
}

TEST_F(HostileMemberCalls, FindFileAnswersAlikeForALinkOutWhetherItsTargetExistsOrNot) {
    std::filesystem::create_directories(folder("home"));
    std::ofstream(folder("home") / "id_rsa") << "PRIVATE KEY";
    std::filesystem::create_symlink(folder("home") / "id_rsa", folder("temp") / "key.txt");
    std::filesystem::create_symlink(folder("home") / "no_such_key", folder("temp") / "gone.txt");
    serve();
    BridgeClient client = page();
    int64_t control = client.create(kControl);
    EXPECT_EQ(client.call(control, "FindFile", {(folder("temp") / "key.txt").string()})["result"], false);
    EXPECT_EQ(client.call(control, "FindFile", {(folder("temp") / "gone.txt").string()})["result"], false);
    ASSERT_EQ(boxes().size(), 2u);
    EXPECT_EQ(boxes()[0]["buttons"], boxes()[1]["buttons"]);
    EXPECT_NE(boxes()[0]["text"].get<std::string>().find("Unable to find the file 'key.txt'"), std::string::npos);
    EXPECT_NE(boxes()[1]["text"].get<std::string>().find("Unable to find the file 'gone.txt'"), std::string::npos);
}

TEST_F(HostileMemberCalls, AContactFolderNameWithANulIsNeverCutShort) {
    serve();
    BridgeClient client = page();
    int64_t control = client.create(kControl);
    const std::string withNul("CRM\0Private", 11);
    EXPECT_EQ(client.call(control, "CheckForFolder", {"CRM"})["result"], true);
    EXPECT_EQ(client.call(control, "CheckForFolder", {withNul})["result"], false);
    client.call(control, "SetContactFolder", {withNul});
    client.call(control, "AddContact", {"C-1", "Where", "Permanent", "Acme"});
    EXPECT_TRUE(boxes().empty());

    Object contacts = Registry::instance()
                          .createObject(progid::Outlook)
                          .call("GetNamespace", "MAPI")
                          .toObject()
                          .call("GetDefaultFolder", 10)
                          .toObject();
    Object folders = contacts.getObject("Folders");
    ASSERT_EQ(folders.count(), 1);
    EXPECT_EQ(folders.item(1).getObject("Items").count(), 0);
    EXPECT_EQ(contacts.getObject("Items").count(), 1);
}

}  // namespace
}  // namespace lumora::tests
