// Plain HTTP on the bridge: the demo page and lumora.js, the demo's sample files, files shown to
// a page, answers to browsers' preflights, and the checks an upgrade to a page's WebSocket must
// pass. Only GET
// and HEAD read anything, and none of them changes state.

#include <boost/asio/dispatch.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket/rfc6455.hpp>
#include <chrono>
#include <memory>
#include <optional>

#include "connections.hpp"
#include "web_assets.hpp"

namespace lumora::bridge {
namespace {

namespace beast = boost::beast;
namespace http = beast::http;
using tcp = boost::asio::ip::tcp;

constexpr auto kRequestTimeout = std::chrono::seconds(30);
constexpr size_t kHeaderLimit = 16 * 1024;
// No request the bridge answers carries a body; a small one is tolerated and ignored.
constexpr size_t kBodyLimit = 64 * 1024;

std::optional<std::string_view> header(const HttpRequest& request, http::field field) {
    auto it = request.find(field);
    if (it == request.end()) return std::nullopt;
    return std::string_view(it->value().data(), it->value().size());
}

std::optional<std::string_view> header(const HttpRequest& request, std::string_view name) {
    auto it = request.find(beast::string_view(name.data(), name.size()));
    if (it == request.end()) return std::nullopt;
    return std::string_view(it->value().data(), it->value().size());
}

// Beast of this Boost release has its own string_view.
beast::string_view bsv(std::string_view text) { return beast::string_view(text.data(), text.size()); }

std::string_view pathOf(const HttpRequest& request) {
    std::string_view target(request.target().data(), request.target().size());
    return target.substr(0, target.find_first_of("?#"));
}

class HttpConnection : public std::enable_shared_from_this<HttpConnection> {
public:
    HttpConnection(tcp::socket socket, ServerContext& context, ConnectionSlot slot)
        : m_stream(std::move(socket)), m_context(context), m_slot(std::move(slot)) {}

    void start() {
        boost::asio::dispatch(m_stream.get_executor(), [self = shared_from_this()] { self->readRequest(); });
    }

private:
    void readRequest() {
        m_parser.emplace();
        m_parser->header_limit(kHeaderLimit);
        m_parser->body_limit(kBodyLimit);
        m_stream.expires_after(kRequestTimeout);
        // Until a request has come in whole, this connection may make room for a newer one.
        m_slot.waitingForRequest([weak = weak_from_this()] {
            beast::error_code ignored;
            if (auto self = weak.lock()) self->m_stream.socket().close(ignored);
        });
        http::async_read(m_stream, m_buffer, *m_parser,
                         [self = shared_from_this()](beast::error_code ec, size_t) { self->onRequest(ec); });
    }

    void onRequest(beast::error_code ec) {
        m_slot.busy();
        if (ec == http::error::end_of_stream) return shutdown();
        if (ec == http::error::header_limit || ec == http::error::body_limit) {
            HttpRequest none;
            return respond(plain(none, http::status::payload_too_large, "Request too large\n"), false);
        }
        if (ec) return;  // timeout or a broken request: the connection is simply closed

        HttpRequest request = m_parser->release();
        std::optional<std::string_view> host = header(request, http::field::host);
        if (!host || !m_context.policy.hostAllowed(*host)) {
            // A name other than the listener's own is how DNS rebinding shows itself.
            return respond(plain(request, http::status::forbidden,
                                 "Forbidden: this bridge answers only to 127.0.0.1:" +
                                     std::to_string(m_context.policy.port()) + " and localhost:" +
                                     std::to_string(m_context.policy.port()) + "\n"),
                           false);
        }
        if (beast::websocket::is_upgrade(request)) return upgrade(std::move(request), std::string(*host));

        switch (request.method()) {
        case http::verb::get:
        case http::verb::head:
            return serveGet(request);
        case http::verb::options:
            return preflight(request);
        default: {
            auto response = plain(request, http::status::method_not_allowed, "Method not allowed\n");
            response.set(http::field::allow, "GET, HEAD, OPTIONS");
            return respond(std::move(response), request.keep_alive());
        }
        }
    }

    void upgrade(HttpRequest request, std::string host) {
        if (pathOf(request) != "/rpc")
            return respond(plain(request, http::status::not_found, "Not found\n"), false);
        std::optional<std::string_view> origin = header(request, http::field::origin);
        std::optional<std::string_view> token = header(request, "X-Lumora-Token");
        switch (m_context.policy.checkUpgrade(origin, token)) {
        case UpgradeVerdict::Allowed:
            break;
        case UpgradeVerdict::OriginNotAllowed:
            return respond(plain(request, http::status::forbidden,
                                 "Forbidden: the origin " + std::string(*origin) +
                                     " is not allowed; start the bridge with --allow-origin for it\n"),
                           false);
        case UpgradeVerdict::TokenMissing:
            return respond(plain(request, http::status::forbidden,
                                 "Forbidden: a client without an Origin must send the bridge's token in "
                                 "X-Lumora-Token\n"),
                           false);
        case UpgradeVerdict::TokenWrong:
            return respond(plain(request, http::status::forbidden, "Forbidden: wrong X-Lumora-Token\n"), false);
        }
        m_stream.expires_never();
        serveWebSocketPage(std::move(m_stream), std::move(request), m_context, "http://" + host, std::move(m_slot));
    }

    void serveGet(const HttpRequest& request) {
        std::string_view path = pathOf(request);
        bool keepAlive = request.keep_alive();
        if (path == "/rpc")
            return respond(plain(request, http::status::upgrade_required, "Upgrade to WebSocket required\n"),
                           keepAlive);
        if (const WebAsset* asset = findWebAsset(path)) return serveAsset(request, *asset);
        if (path == "/demo-settings.json") return serveAsset(request, {path, m_context.options.demoSettings});
        if (auto demoFile = m_context.options.demoFiles.find(path); demoFile != m_context.options.demoFiles.end())
            return serveFile(request, demoFile->second);
        if (path.starts_with(ShownFiles::kPrefix)) {
            if (auto file = m_context.files.find(path)) return serveFile(request, *file);
        }
        respond(plain(request, http::status::not_found, "Not found\n"), keepAlive);
    }

    void serveAsset(const HttpRequest& request, const WebAsset& asset) {
        http::response<http::string_body> response{http::status::ok, request.version()};
        commonHeaders(response);
        response.set(http::field::content_type, bsv(contentTypeOf(asset.path)));
        if (asset.path.ends_with(".html")) {
            std::string port = std::to_string(m_context.policy.port());
            // The demo page talks only to this bridge, and no other site may frame it (a
            // framed demo page would connect with the bridge's own origin).
            response.set("Content-Security-Policy",
                         "default-src 'self'; connect-src 'self' ws://127.0.0.1:" + port + " ws://localhost:" +
                             port + "; img-src 'self' data:; frame-ancestors 'none'; base-uri 'none'; "
                                    "form-action 'none'");
            response.set(http::field::x_frame_options, "DENY");
        }
        allowReading(request, response);
        if (request.method() != http::verb::head) response.body() = std::string(asset.body);
        response.content_length(asset.body.size());
        respond(std::move(response), request.keep_alive());
    }

    void serveFile(const HttpRequest& request, const std::filesystem::path& file) {
        http::file_body::value_type body;
        beast::error_code ec;
        body.open(file.c_str(), beast::file_mode::scan, ec);
        if (ec) return respond(plain(request, http::status::not_found, "Not found\n"), request.keep_alive());
        auto size = body.size();
        http::response<http::file_body> response{std::piecewise_construct, std::make_tuple(std::move(body)),
                                                 std::make_tuple(http::status::ok, request.version())};
        commonHeaders(response);
        response.set(http::field::content_type, bsv(contentTypeOf(file.filename().string())));
        response.set(http::field::content_disposition,
                     "inline; filename*=UTF-8''" + percentEncode(file.filename().string()));
        // A produced HTML file may hold anything the CRM put into it; sandboxed it runs no
        // script and gets no origin, so it can never talk to the bridge as the bridge itself.
        response.set("Content-Security-Policy",
                     "sandbox; default-src 'none'; img-src 'self' data:; style-src 'unsafe-inline'");
        response.content_length(size);
        if (request.method() == http::verb::head) {
            http::response<http::empty_body> head{http::status::ok, request.version()};
            for (const auto& field : response) head.set(field.name_string(), field.value());
            head.content_length(size);
            return respond(std::move(head), request.keep_alive());
        }
        respond(std::move(response), request.keep_alive());
    }

    // Browsers ask before a page of another site reaches a local address (Private Network
    // Access) and before a cross-origin request with custom headers (CORS). Only the allowed
    // origins get a yes.
    void preflight(const HttpRequest& request) {
        std::optional<std::string_view> origin = header(request, http::field::origin);
        if (!origin || !m_context.policy.originAllowed(*origin))
            return respond(plain(request, http::status::forbidden, "Forbidden: origin not allowed\n"), false);
        http::response<http::empty_body> response{http::status::no_content, request.version()};
        commonHeaders(response);
        response.set(http::field::access_control_allow_origin, bsv(*origin));
        response.set(http::field::access_control_allow_methods, "GET, HEAD");
        response.set(http::field::access_control_allow_headers, "X-Lumora-Token");
        response.set(http::field::access_control_max_age, "600");
        response.set(http::field::vary, "Origin");
        if (header(request, "Access-Control-Request-Private-Network"))
            response.set("Access-Control-Allow-Private-Network", "true");
        respond(std::move(response), request.keep_alive());
    }

    template <class Response>
    void allowReading(const HttpRequest& request, Response& response) {
        std::optional<std::string_view> origin = header(request, http::field::origin);
        response.set(http::field::vary, "Origin");
        if (origin && m_context.policy.originAllowed(*origin))
            response.set(http::field::access_control_allow_origin, bsv(*origin));
    }

    template <class Response>
    static void commonHeaders(Response& response) {
        response.set(http::field::server, "Lumora-Bridge");
        response.set(http::field::cache_control, "no-store");
        response.set("X-Content-Type-Options", "nosniff");
        response.set("Referrer-Policy", "no-referrer");
    }

    static http::response<http::string_body> plain(const HttpRequest& request, http::status status, std::string text) {
        http::response<http::string_body> response{status, request.version() ? request.version() : 11};
        commonHeaders(response);
        response.set(http::field::content_type, "text/plain; charset=utf-8");
        response.body() = std::move(text);
        response.prepare_payload();
        return response;
    }

    template <class Response>
    void respond(Response&& response, bool keepAlive) {
        response.keep_alive(keepAlive);
        auto held = std::make_shared<std::decay_t<Response>>(std::forward<Response>(response));
        m_stream.expires_after(kRequestTimeout);
        http::async_write(m_stream, *held, [self = shared_from_this(), held, keepAlive](beast::error_code ec, size_t) {
            if (ec) return;
            if (!keepAlive) return self->shutdown();
            self->readRequest();
        });
    }

    void shutdown() {
        beast::error_code ec;
        m_stream.socket().shutdown(tcp::socket::shutdown_send, ec);
    }

    beast::tcp_stream m_stream;
    beast::flat_buffer m_buffer;
    std::optional<http::request_parser<http::string_body>> m_parser;
    ServerContext& m_context;
    ConnectionSlot m_slot;
};

}  // namespace

void serveHttp(tcp::socket socket, ServerContext& context, ConnectionSlot slot) {
    std::make_shared<HttpConnection>(std::move(socket), context, std::move(slot))->start();
}

}  // namespace lumora::bridge
