#pragma once
// The two kinds of connection the bridge's network thread serves: plain HTTP (the web files,
// shown files, preflights) and, after an accepted upgrade, a page's WebSocket.

#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>

#include "server_context.hpp"

namespace lumora::bridge {

using HttpRequest = boost::beast::http::request<boost::beast::http::string_body>;

// Reads requests from a new connection until it closes or upgrades. The slot is the
// connection's place among the bridge's connections; an upgrade hands it to the page.
void serveHttp(boost::asio::ip::tcp::socket socket, ServerContext& context, ConnectionSlot slot);

// Takes an upgrade that passed the access checks: opens a page for it and completes the
// WebSocket handshake, or answers 503 when the bridge serves as many pages as it may.
// linkBase: the bridge's address as this page reached it, for download links.
void serveWebSocketPage(boost::beast::tcp_stream stream, HttpRequest request, ServerContext& context,
                        std::string linkBase, ConnectionSlot slot);

}  // namespace lumora::bridge
