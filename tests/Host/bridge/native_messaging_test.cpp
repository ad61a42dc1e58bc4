// The native-messaging channel a browser extension opens: length-prefixed JSON over a pair of
// pipes, the same requests and message boxes as the WebSocket, and its own size limits.

#include <unistd.h>

#include <thread>

#include "Host/bridge/native_messaging.hpp"
#include "bridge_fixture.hpp"

namespace lumora::tests {
namespace {

using nlohmann::json;

class NativeMessaging : public BridgeTest {
protected:
    void start(bridge::PageSettings settings = {}) {
        int toHost[2], fromHost[2];
        ASSERT_EQ(pipe(toHost), 0);
        ASSERT_EQ(pipe(fromHost), 0);
        m_write = toHost[1];
        m_read = fromHost[0];
        settings.desktop.launchPrograms = false;
        settings.creatable.push_back(kSampleProgId);
        m_host = std::thread([=, this] {
            m_status = bridge::serveNativeMessaging(toHost[0], fromHost[1], settings);
            ::close(toHost[0]);
            ::close(fromHost[1]);
        });
    }
    void TearDown() override {
        endInput();
        if (m_host.joinable()) m_host.join();
        if (m_read >= 0) ::close(m_read);
        BridgeTest::TearDown();
    }
    void endInput() {
        if (m_write >= 0) ::close(m_write);
        m_write = -1;
    }
    void sendFrame(const std::string& text) {
        uint32_t length = static_cast<uint32_t>(text.size());
        ASSERT_EQ(::write(m_write, &length, 4), 4);
        size_t done = 0;
        while (done < text.size()) {
            ssize_t put = ::write(m_write, text.data() + done, text.size() - done);
            ASSERT_GT(put, 0);
            done += static_cast<size_t>(put);
        }
    }
    json readFrame() {
        uint32_t length = 0;
        EXPECT_EQ(::read(m_read, &length, 4), 4);
        std::string text(length, '\0');
        size_t done = 0;
        while (done < length) {
            ssize_t got = ::read(m_read, text.data() + done, length - done);
            if (got <= 0) break;
            done += static_cast<size_t>(got);
        }
        return json::parse(text);
    }
    json request(int id, const std::string& method, json params) {
        sendFrame(json{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}}.dump());
        return readFrame();
    }

    int m_write = -1, m_read = -1;
    int m_status = -1;
    std::thread m_host;
};

TEST_F(NativeMessaging, ExtensionCreatesAndCallsLikeAPage) {
    start();
    json created = request(1, "create", {{"progId", kSampleProgId}});
    int64_t sample = created["result"]["object"];
    json called = request(2, "call", {{"object", sample}, {"member", "Twice"}, {"args", {4}}});
    EXPECT_EQ(called["id"], 2);
    EXPECT_EQ(called["result"]["byref"], json::array({8}));
    endInput();
    m_host.join();
    EXPECT_EQ(m_status, 0);
}

TEST_F(NativeMessaging, MessageBoxTravelsTheSameChannel) {
    start();
    int64_t sample = request(1, "create", {{"progId", kSampleProgId}})["result"]["object"];
    sendFrame(json{{"jsonrpc", "2.0"}, {"id", 2}, {"method", "call"},
                   {"params", {{"object", sample}, {"member", "Ask"}, {"args", {"Dial?", {{"$i2", 4}}}}}}}
                  .dump());
    json box = readFrame();
    EXPECT_EQ(box["method"], "messageBox");
    EXPECT_EQ(box["params"]["text"], "Dial?");
    sendFrame(json{{"jsonrpc", "2.0"}, {"id", box["id"]}, {"result", {{"button", 6}}}}.dump());
    EXPECT_EQ(readFrame()["result"]["result"], json({{"$i2", 6}}));
}

TEST_F(NativeMessaging, OversizedMessageIsSkippedAndTheChannelStaysInStep) {
    bridge::PageSettings settings;
    settings.limits.maxBytes = 1024;
    start(settings);
    sendFrame(R"({"id":5,"jsonrpc":"2.0","method":"create","params":{"progId":")" + std::string(5000, 'x') + "\"}}");
    json refused = readFrame();
    EXPECT_EQ(refused["id"], 5);
    EXPECT_EQ(refused["error"]["code"], -32600);
    EXPECT_TRUE(request(6, "create", {{"progId", kSampleProgId}})["result"].contains("object"));
}

TEST_F(NativeMessaging, AnswerTooLargeForTheBrowserIsAnErrorInstead) {
    start();
    int64_t sample = request(1, "create", {{"progId", kSampleProgId}})["result"]["object"];
    json answer = request(2, "call", {{"object", sample}, {"member", "Echo"}, {"args", {std::string(2u << 20, 'q')}}});
    EXPECT_EQ(answer["id"], 2);
    EXPECT_EQ(answer["error"]["code"], -32002);
    // The channel still works afterwards.
    EXPECT_EQ(request(3, "call", {{"object", sample}, {"member", "Echo"}, {"args", {"small"}}})["result"]["result"],
              "small");
}

}  // namespace
}  // namespace lumora::tests
