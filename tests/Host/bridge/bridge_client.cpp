#include "bridge_client.hpp"

#include <boost/asio/connect.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <stdexcept>

namespace lumora::tests {

namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using nlohmann::json;

namespace {

tcp::socket connectLoopback(net::io_context& io, uint16_t port) {
    tcp::socket socket(io);
    socket.connect(tcp::endpoint(net::ip::make_address_v4("127.0.0.1"), port));
    return socket;
}

bool namesHost(const Headers& headers) {
    for (const auto& [name, value] : headers)
        if (beast::iequals(name, "Host")) return true;
    return false;
}

}  // namespace

HttpReply httpRequest(uint16_t port, const std::string& method, const std::string& target, Headers headers) {
    net::io_context io;
    tcp::socket socket = connectLoopback(io, port);
    http::request<http::string_body> request{http::string_to_verb(method), target, 11};
    if (!namesHost(headers)) request.set(http::field::host, "127.0.0.1:" + std::to_string(port));
    for (const auto& [name, value] : headers) request.insert(name, value);
    request.prepare_payload();
    http::write(socket, request);

    beast::flat_buffer buffer;
    http::response_parser<http::string_body> parser;
    parser.body_limit(64u << 20);
    if (method == "HEAD") parser.skip(true);
    http::read(socket, buffer, parser);
    HttpReply reply;
    reply.status = static_cast<int>(parser.get().result_int());
    for (const auto& field : parser.get()) {
        std::string name(field.name_string());
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        reply.headers[name] = std::string(field.value());
    }
    reply.body = parser.get().body();
    return reply;
}

int upgradeStatus(uint16_t port, Headers headers, const std::string& target) {
    headers.insert(headers.begin(), {{"Connection", "Upgrade"},
                                     {"Upgrade", "websocket"},
                                     {"Sec-WebSocket-Version", "13"},
                                     {"Sec-WebSocket-Key", "dGhlIHNhbXBsZSBub25jZQ=="}});
    return httpRequest(port, "GET", target, std::move(headers)).status;
}

BridgeClient::BridgeClient(uint16_t port, std::string origin)
    : BridgeClient(port, origin.empty() ? "http://127.0.0.1:" + std::to_string(port) : origin, std::nullopt) {}

BridgeClient BridgeClient::withToken(uint16_t port, const std::string& token) {
    return BridgeClient(port, std::nullopt, token);
}

BridgeClient::BridgeClient(uint16_t port, std::optional<std::string> origin, std::optional<std::string> token)
    : m_io(std::make_unique<net::io_context>()) {
    m_ws = std::make_unique<websocket::stream<tcp::socket>>(connectLoopback(*m_io, port));
    m_ws->set_option(websocket::stream_base::decorator([origin, token](websocket::request_type& request) {
        if (origin) request.set(http::field::origin, *origin);
        if (token) request.set("X-Lumora-Token", *token);
    }));
    m_ws->read_message_max(0);
    m_ws->handshake("127.0.0.1:" + std::to_string(port), "/rpc");
}

BridgeClient::~BridgeClient() {
    if (m_ws) close();
}

BridgeClient::BridgeClient(BridgeClient&&) noexcept = default;

void BridgeClient::close() {
    if (!m_ws) return;
    beast::error_code ignored;
    m_ws->close(websocket::close_code::normal, ignored);
    m_ws.reset();
}

int BridgeClient::closeCode() const { return m_ws->reason().code; }

void BridgeClient::sendText(const std::string& text) {
    m_ws->text(true);
    m_ws->write(net::buffer(text));
}

void BridgeClient::sendBinary(const std::string& bytes) {
    m_ws->binary(true);
    m_ws->write(net::buffer(bytes));
}

int64_t BridgeClient::sendRequest(const std::string& method, json params) {
    int64_t id = m_nextId++;
    sendText(json{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}}.dump());
    return id;
}

void BridgeClient::notify(const std::string& method, json params) {
    sendText(json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}}.dump());
}

json BridgeClient::receive(std::chrono::milliseconds timeout) {
    beast::flat_buffer buffer;
    bool done = false;
    beast::error_code result;
    m_ws->async_read(buffer, [&](beast::error_code ec, size_t) {
        done = true;
        result = ec;
    });
    m_io->restart();
    m_io->run_for(timeout);
    if (!done) {
        beast::get_lowest_layer(*m_ws).cancel();
        m_io->restart();
        m_io->run();
        throw std::runtime_error("the bridge sent nothing in time");
    }
    if (result) throw beast::system_error(result);
    return json::parse(beast::buffers_to_string(buffer.data()));
}

void BridgeClient::handle(const json& message) {
    if (!message.contains("method")) {
        m_responses.push_back(message);
    } else if (message.contains("id")) {
        // The bridge asks: a message box.
        int button = answerBox ? answerBox(message["params"]) : 1;
        sendText(json{{"jsonrpc", "2.0"}, {"id", message["id"]}, {"result", {{"button", button}}}}.dump());
    } else {
        m_notifications.push_back(message);
    }
}

json BridgeClient::awaitResponse(const json& id) {
    while (true) {
        for (auto it = m_responses.begin(); it != m_responses.end(); ++it) {
            if ((*it)["id"] == id) {
                json response = std::move(*it);
                m_responses.erase(it);
                return response;
            }
        }
        handle(receive());
    }
}

json BridgeClient::awaitNotification(const std::string& method) {
    while (true) {
        for (; m_notificationsSeen < m_notifications.size(); ++m_notificationsSeen)
            if (m_notifications[m_notificationsSeen]["method"] == method) return m_notifications[m_notificationsSeen++];
        handle(receive());
    }
}

json BridgeClient::request(const std::string& method, json params) {
    return awaitResponse(sendRequest(method, std::move(params)));
}

json BridgeClient::call(int64_t object, const std::string& member, json args) {
    json response = request("call", {{"object", object}, {"member", member}, {"args", std::move(args)}});
    if (!response.contains("result")) throw std::runtime_error("call failed: " + response.dump());
    return response["result"];
}

int64_t BridgeClient::create(const std::string& progId) {
    json response = request("create", {{"progId", progId}});
    if (!response.contains("result")) throw std::runtime_error("create failed: " + response.dump());
    return response["result"]["object"].get<int64_t>();
}

}  // namespace lumora::tests
