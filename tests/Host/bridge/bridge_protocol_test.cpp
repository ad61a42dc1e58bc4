// The page's requests over a real WebSocket: objects by id, calls by member name, by-reference
// and named arguments, properties, failures, and one page's objects kept from another.

#include "Automation/error.hpp"
#include "bridge_fixture.hpp"

namespace lumora::tests {
namespace {

using nlohmann::json;

class BridgeProtocol : public BridgeTest {};

TEST_F(BridgeProtocol, PageCreatesAnObjectAndCallsItsMembersByName) {
    serve();
    BridgeClient page(port());
    int64_t sample = page.create(kSampleProgId);
    EXPECT_EQ(page.call(sample, "Echo", {"hello"})["result"], "hello");
    // Member names ignore case, and a 16-bit integer keeps its type both ways.
    EXPECT_EQ(page.call(sample, "echo", {{{"$i2", 7}}})["result"], json({{"$i2", 7}}));
}

TEST_F(BridgeProtocol, ByReferenceArgumentsComeBackChanged) {
    serve();
    BridgeClient page(port());
    json answer = page.call(page.create(kSampleProgId), "Twice", {21});
    EXPECT_EQ(answer["result"], "doubled");
    EXPECT_EQ(answer["byref"], json::array({42}));
}

TEST_F(BridgeProtocol, NamedArgumentsReachTheirParameters) {
    serve();
    BridgeClient page(port());
    int64_t sample = page.create(kSampleProgId);
    json response = page.request("call", {{"object", sample}, {"member", "Greet"}, {"args", {"Anne"}},
                                          {"named", {{"punctuation", "?"}}}});
    EXPECT_EQ(response["result"]["result"], "Hello, Anne?");
}

TEST_F(BridgeProtocol, PropertiesAreWrittenWithPutAndReadWithGet) {
    serve();
    BridgeClient page(port());
    int64_t sample = page.create(kSampleProgId);
    json put = page.request("put", {{"object", sample}, {"member", "Caption"}, {"value", "Quote 42"}});
    EXPECT_EQ(put["result"], json::object());
    EXPECT_EQ(page.request("get", {{"object", sample}, {"member", "caption"}})["result"]["result"], "Quote 42");
}

TEST_F(BridgeProtocol, ObjectsReturnedByMembersAreCallableUntilReleased) {
    serve();
    BridgeClient page(port());
    json child = page.call(page.create(kSampleProgId), "Child")["result"];
    ASSERT_TRUE(child.contains("$object"));
    int64_t childId = child["$object"];
    EXPECT_EQ(page.call(childId, "Echo", {"from the child"})["result"], "from the child");

    EXPECT_EQ(page.request("release", {{"object", childId}})["result"], json::object());
    json after = page.request("call", {{"object", childId}, {"member", "Echo"}, {"args", {"x"}}});
    EXPECT_EQ(after["error"]["data"]["number"], 91);
}

TEST_F(BridgeProtocol, MemberFailureAnswersWithNumberDescriptionAndSource) {
    serve();
    BridgeClient page(port());
    int64_t sample = page.create(kSampleProgId);
    json response = page.request("call", {{"object", sample}, {"member", "Fail"}, {"args", {"Template not set!"}}});
    ASSERT_TRUE(response.contains("error"));
    EXPECT_EQ(response["error"]["code"], -32000);
    EXPECT_EQ(response["error"]["data"]["number"], kObjectErrorBase + kSampleErrorOffset);
    EXPECT_EQ(response["error"]["data"]["description"], "Template not set!");
    EXPECT_EQ(response["error"]["data"]["source"], "LumoraHostTest.Sample.Fail");

    json missing = page.request("create", {{"progId", "Nobody.Installed"}});
    EXPECT_EQ(missing["error"]["data"]["number"], 429);
}

TEST_F(BridgeProtocol, MessagesThatAreNotRequestsGetTheStandardErrors) {
    serve();
    BridgeClient page(port());
    page.sendText("this is not JSON");
    json parse = page.receive();
    EXPECT_EQ(parse["error"]["code"], -32700);
    EXPECT_TRUE(parse["id"].is_null());

    // A number beyond what a double holds is refused like any other unreadable text.
    page.sendText(R"({"jsonrpc":"2.0","id":3,"method":"call","params":{"object":1e400}})");
    json overflow = page.receive();
    EXPECT_EQ(overflow["id"], 3);
    EXPECT_EQ(overflow["error"]["code"], -32700);

    page.sendText(R"([{"jsonrpc":"2.0","id":1,"method":"create","params":{"progId":"x"}}])");
    EXPECT_EQ(page.receive()["error"]["code"], -32600);

    page.sendText(R"({"jsonrpc":"2.0","id":4,"method":"launch","params":{}})");
    json unknown = page.receive();
    EXPECT_EQ(unknown["id"], 4);
    EXPECT_EQ(unknown["error"]["code"], -32601);
    EXPECT_EQ(unknown["error"]["message"], "Method not found: launch");

    page.sendText(R"({"jsonrpc":"2.0","id":"five","method":"call","params":{"object":1}})");
    json params = page.receive();
    EXPECT_EQ(params["id"], "five");
    EXPECT_EQ(params["error"]["code"], -32602);
    EXPECT_EQ(params["error"]["message"], "Invalid params: call: \"member\" must be a non-empty string");

    page.sendText(R"({"id":6,"method":"create","params":{"progId":"x"}})");
    EXPECT_EQ(page.receive()["error"]["code"], -32600);
}

TEST_F(BridgeProtocol, OnePageCannotReachAnotherPagesObjects) {
    serve();
    BridgeClient first(port());
    BridgeClient second(port());
    int64_t mine = first.create(kSampleProgId);
    json response = second.request("call", {{"object", mine}, {"member", "Echo"}, {"args", {"x"}}});
    EXPECT_EQ(response["error"]["data"]["number"], 91);
}

TEST_F(BridgeProtocol, ClosingThePageReleasesItsObjects) {
    serve();
    int64_t before = Dispatch::liveCount();
    {
        BridgeClient page(port());
        page.create(kSampleProgId);
        page.call(page.create(kSampleProgId), "Child");
        EXPECT_EQ(server->pageCount(), 1u);
    }
    EXPECT_TRUE(eventually([&] { return server->pageCount() == 0; }));
    EXPECT_EQ(Dispatch::liveCount(), before);
}

TEST_F(BridgeProtocol, OtherPagesAreServedWhileOnePageWaitsForItsUser) {
    serve();
    BridgeClient waiting(port());
    int64_t sample = waiting.create(kSampleProgId);
    int64_t call = waiting.sendRequest("call", {{"object", sample}, {"member", "Ask"}, {"args", {"Send?", {{"$i2", 4}}}}});
    json box = waiting.receive();
    ASSERT_EQ(box["method"], "messageBox");

    BridgeClient other(port());
    EXPECT_EQ(other.call(other.create(kSampleProgId), "Echo", {"served"})["result"], "served");

    waiting.sendText(json{{"jsonrpc", "2.0"}, {"id", box["id"]}, {"result", {{"button", 6}}}}.dump());
    EXPECT_EQ(waiting.awaitResponse(call)["result"]["result"], json({{"$i2", 6}}));
}

}  // namespace
}  // namespace lumora::tests
