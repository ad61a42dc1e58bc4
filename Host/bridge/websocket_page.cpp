// A page's WebSocket: reads the page's messages frame by frame (so an oversized message is
// dropped without being kept, and answered, while the connection stays usable), hands each
// complete one to the page, and writes the page's answers, requests and notifications in order.

#include <boost/asio/dispatch.hpp>
#include <boost/asio/post.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <deque>
#include <mutex>

#include "bridge_errors.hpp"
#include "connections.hpp"

namespace lumora::bridge {
namespace {

namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;

constexpr size_t kReadChunk = 64 * 1024;
constexpr size_t kKeptPrefix = 4096;  // of a dropped message, to recover its id

class WebSocketPage;

// Sending from any thread: the message is posted to the network thread, which writes it.
class WebSocketOutbox : public PageOutbox {
public:
    WebSocketOutbox(boost::asio::any_io_executor executor, size_t maxUnsentBytes)
        : m_executor(std::move(executor)), m_maxUnsentBytes(maxUnsentBytes) {}
    void attach(const std::shared_ptr<WebSocketPage>& connection) {
        std::lock_guard lock(m_mutex);
        m_connection = connection;
    }
    void send(std::string message) override;
    // An answer larger than what a page may leave unread would cut the page off the moment it
    // is queued; it is refused as too large instead, and the page keeps its objects.
    size_t maxMessageBytes() const override { return m_maxUnsentBytes; }

private:
    boost::asio::any_io_executor m_executor;
    size_t m_maxUnsentBytes;
    std::mutex m_mutex;
    std::weak_ptr<WebSocketPage> m_connection;
};

class WebSocketPage : public std::enable_shared_from_this<WebSocketPage> {
public:
    WebSocketPage(beast::tcp_stream stream, ServerContext& context, ConnectionSlot slot)
        : m_ws(std::move(stream)), m_context(context), m_slot(std::move(slot)) {}

    void start(HttpRequest request, std::shared_ptr<Page> page) {
        m_page = std::move(page);
        m_ws.set_option(websocket::stream_base::timeout::suggested(beast::role_type::server));
        m_ws.set_option(websocket::stream_base::decorator(
            [](websocket::response_type& response) { response.set(http::field::server, "Lumora-Bridge"); }));
        // The size limit is kept by reading frame by frame below; the stream's own limit would
        // close the connection instead of answering.
        m_ws.read_message_max(0);
        m_ws.auto_fragment(false);
        m_ws.async_accept(request, [self = shared_from_this()](beast::error_code ec) {
            if (ec) return self->finish();
            self->read();
        });
    }

    void queueWrite(std::string message) {
        if (m_finished) return;
        m_unsentBytes += message.size();
        if (m_unsentBytes > m_context.options.maxUnsentBytes) {
            // The page does not read what it is sent; holding more would only grow memory. The
            // connection is cut: a polite close would queue behind the very writes not read.
            beast::error_code ignored;
            beast::get_lowest_layer(m_ws).socket().close(ignored);
            return finish();
        }
        m_writes.push_back(std::move(message));
        if (m_writes.size() == 1) writeNext();
    }

private:
    void read() {
        m_ws.async_read_some(m_buffer, kReadChunk,
                             [self = shared_from_this()](beast::error_code ec, size_t) { self->onRead(ec); });
    }

    void onRead(beast::error_code ec) {
        if (ec) return finish();
        if (!m_ws.got_text()) m_binary = true;

        std::string_view chunk(static_cast<const char*>(m_buffer.data().data()), m_buffer.size());
        m_size += chunk.size();
        if (m_size > m_context.options.page.limits.maxBytes && !m_oversized) {
            m_oversized = true;
            m_message.append(chunk.substr(0, kKeptPrefix));
            m_message.resize(std::min(m_message.size(), kKeptPrefix));
        } else if (!m_oversized && !m_binary) {
            m_message.append(chunk);
        }
        m_buffer.consume(m_buffer.size());

        if (m_ws.is_message_done()) {
            if (m_binary)
                queueWrite(errorResponse(nullptr, BridgeError::BinaryMessage).dump());
            else if (m_oversized)
                m_page->receiveOversized(m_message, m_size);
            else
                m_page->receive(m_message);
            m_message.clear();
            m_size = 0;
            m_oversized = false;
            m_binary = false;
        }
        read();
    }

    void writeNext() {
        m_ws.text(true);
        m_ws.async_write(boost::asio::buffer(m_writes.front()),
                         [self = shared_from_this()](beast::error_code ec, size_t) {
                             if (ec) return self->finish();
                             if (self->m_finished) return;
                             self->m_unsentBytes -= self->m_writes.front().size();
                             self->m_writes.pop_front();
                             if (!self->m_writes.empty()) self->writeNext();
                         });
    }

    // The connection is over: the page winds down on its own worker; the registry keeps it
    // until the worker has finished, so dropping it here never waits for a call. Queued
    // writes stay until this object goes, since one of them may still be in flight.
    void finish() {
        if (m_finished) return;
        m_finished = true;
        if (m_page) m_page->close();
        m_page.reset();
    }

    websocket::stream<beast::tcp_stream> m_ws;
    ServerContext& m_context;
    ConnectionSlot m_slot;
    std::shared_ptr<Page> m_page;
    beast::flat_buffer m_buffer;
    std::string m_message;
    size_t m_size = 0;
    bool m_oversized = false;
    bool m_binary = false;
    std::deque<std::string> m_writes;
    size_t m_unsentBytes = 0;
    bool m_finished = false;
};

void WebSocketOutbox::send(std::string message) {
    std::weak_ptr<WebSocketPage> connection;
    {
        std::lock_guard lock(m_mutex);
        connection = m_connection;
    }
    boost::asio::post(m_executor, [connection, message = std::move(message)]() mutable {
        if (auto live = connection.lock()) live->queueWrite(std::move(message));
    });
}

void refuseFull(beast::tcp_stream stream, const HttpRequest& request) {
    auto held = std::make_shared<std::pair<beast::tcp_stream, http::response<http::string_body>>>(
        std::move(stream), http::response<http::string_body>{http::status::service_unavailable, request.version()});
    auto& response = held->second;
    response.set(http::field::server, "Lumora-Bridge");
    response.set(http::field::content_type, "text/plain; charset=utf-8");
    response.body() = "Service unavailable: the bridge serves as many pages as it may; close one and retry\n";
    response.prepare_payload();
    response.keep_alive(false);
    http::async_write(held->first, response, [held](beast::error_code, size_t) {
        beast::error_code ignored;
        held->first.socket().shutdown(boost::asio::ip::tcp::socket::shutdown_send, ignored);
    });
}

}  // namespace

void serveWebSocketPage(beast::tcp_stream stream, HttpRequest request, ServerContext& context, std::string linkBase,
                        ConnectionSlot slot) {
    auto outbox = std::make_shared<WebSocketOutbox>(stream.get_executor(), context.options.maxUnsentBytes);
    std::shared_ptr<Page> page = context.openPage(outbox, std::move(linkBase));
    if (!page) return refuseFull(std::move(stream), request);
    auto connection = std::make_shared<WebSocketPage>(std::move(stream), context, std::move(slot));
    outbox->attach(connection);
    connection->start(std::move(request), std::move(page));
}

}  // namespace lumora::bridge
