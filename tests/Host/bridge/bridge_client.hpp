#pragma once
// A page on the other end of the bridge for the tests: a real WebSocket client (Boost.Beast)
// on loopback that sends JSON-RPC, collects what the bridge sends, and answers the bridge's
// message boxes the way a person would, plus plain HTTP requests for the security checks.

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/websocket/stream.hpp>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace lumora::tests {

using Headers = std::vector<std::pair<std::string, std::string>>;

struct HttpReply {
    int status = 0;
    std::map<std::string, std::string> headers;  // names in lower case
    std::string body;
};

// One plain HTTP request; Host defaults to 127.0.0.1:port unless headers name one. A header
// named twice is sent twice.
HttpReply httpRequest(uint16_t port, const std::string& method, const std::string& target, Headers headers = {});

// The HTTP status an upgrade to /rpc gets with these headers: 101 when the bridge takes it.
int upgradeStatus(uint16_t port, Headers headers, const std::string& target = "/rpc");

class BridgeClient {
public:
    // Connects as a page from `origin` (the bridge's own demo origin when empty).
    explicit BridgeClient(uint16_t port, std::string origin = {});
    // Connects as a native tool: no Origin, the token in X-Lumora-Token.
    static BridgeClient withToken(uint16_t port, const std::string& token);
    ~BridgeClient();
    BridgeClient(BridgeClient&&) noexcept;

    // The person at the page: answers each message box (default: the box's first button).
    std::function<int(const nlohmann::json& params)> answerBox;

    // Sends a request and waits for its answer (the whole response: result or error). Message
    // boxes asked meanwhile are answered; notifications are kept in notifications().
    nlohmann::json request(const std::string& method, nlohmann::json params);
    // The "result" of a request that must succeed.
    nlohmann::json call(int64_t object, const std::string& member, nlohmann::json args = nlohmann::json::array());
    int64_t create(const std::string& progId);

    // Raw traffic.
    int64_t sendRequest(const std::string& method, nlohmann::json params);
    void sendText(const std::string& text);
    void sendBinary(const std::string& bytes);
    // The next message the bridge sends; throws after `timeout`.
    nlohmann::json receive(std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // Waits for the response with that id, handling everything that comes before it.
    nlohmann::json awaitResponse(const nlohmann::json& id);
    // Waits for the next notification of that method (or one already kept).
    nlohmann::json awaitNotification(const std::string& method);
    void notify(const std::string& method, nlohmann::json params);

    const std::vector<nlohmann::json>& notifications() const { return m_notifications; }
    // The code of the close frame the bridge sent, once receive() has failed on it.
    int closeCode() const;
    void close();

private:
    BridgeClient(uint16_t port, std::optional<std::string> origin, std::optional<std::string> token);
    void handle(const nlohmann::json& message);

    std::unique_ptr<boost::asio::io_context> m_io;
    std::unique_ptr<boost::beast::websocket::stream<boost::asio::ip::tcp::socket>> m_ws;
    std::deque<nlohmann::json> m_responses;
    std::vector<nlohmann::json> m_notifications;
    size_t m_notificationsSeen = 0;
    int64_t m_nextId = 1;
};

}  // namespace lumora::tests
