#include "bridge_server.hpp"

#include <algorithm>
#include <atomic>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <map>
#include <thread>

#include "connections.hpp"

namespace lumora::bridge {

namespace net = boost::asio;
using tcp = net::ip::tcp;

namespace {

// Binds before anything else is built, so the policy knows the real port when 0 was asked for.
tcp::acceptor bindLoopback(net::io_context& io, uint16_t port) {
    tcp::acceptor acceptor(io);
    tcp::endpoint endpoint(net::ip::make_address_v4("127.0.0.1"), port);
    acceptor.open(endpoint.protocol());
    acceptor.set_option(net::socket_base::reuse_address(true));
    acceptor.bind(endpoint);
    acceptor.listen(net::socket_base::max_listen_connections);
    return acceptor;
}

}  // namespace

struct BridgeServer::Impl {
    explicit Impl(ServerOptions options) : acceptor(bindLoopback(io, options.port)) {
        std::string token = options.token.empty() ? randomHex(32) : options.token;
        context = std::make_unique<ServerContext>(std::move(options), acceptor.local_endpoint().port(),
                                                  std::move(token));
        context->openPage = [this](std::shared_ptr<PageOutbox> outbox, std::string linkBase) {
            return openPage(std::move(outbox), std::move(linkBase));
        };
    }

    ~Impl() {
        while (!shutdown(std::chrono::seconds(1))) {
        }
        pages.clear();
    }

    bool shutdown(std::chrono::milliseconds grace) {
        stop();
        if (thread.joinable()) thread.join();
        stopping = true;
        // Every page's worker winds down: its running call is cancelled, pending message boxes
        // are dismissed and open windows closed, so each worker ends soon after. They are waited
        // for while everything they use still exists.
        for (auto& [id, page] : pages) page->close();
        const auto deadline = std::chrono::steady_clock::now() + grace;
        for (auto& [id, page] : pages) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (!page->waitFinished(std::max(left, std::chrono::milliseconds(0)))) return false;
        }
        return true;
    }

    std::shared_ptr<Page> openPage(std::shared_ptr<PageOutbox> outbox, std::string linkBase) {
        if (pages.size() >= context->options.maxPages) return nullptr;
        PageId id = nextPage++;
        PageSettings settings = context->options.page;
        settings.linkBase = std::move(linkBase);
        auto page = std::make_shared<Page>(id, std::move(outbox), std::move(settings), context->files, [this, id] {
            // Runs on the page's worker; the page is dropped on the network thread, where the
            // join is immediate because the worker has finished.
            if (stopping) return;
            net::post(io, [this, id] {
                pages.erase(id);
                liveCount = pages.size();
            });
        });
        pages.emplace(id, page);
        liveCount = pages.size();
        return page;
    }

    void accept() {
        acceptor.async_accept(io, [this](boost::system::error_code ec, tcp::socket socket) {
            if (ec == net::error::operation_aborted || !acceptor.is_open()) return;
            if (ec == net::error::no_descriptors || ec == net::error::no_buffer_space ||
                ec == net::error::no_memory) {
                // Out of descriptors or memory, another accept would fail the same way at once
                // and keep a core busy; the connection waits in the backlog meanwhile.
                return acceptLater();
            }
            if (!ec) {
                if (ConnectionSlot slot = context->connections.take()) {
                    // Answers are small and come in bursts; waiting to coalesce them (Nagle)
                    // would add tens of milliseconds to a page's calls.
                    boost::system::error_code ignored;
                    socket.set_option(tcp::no_delay(true), ignored);
                    serveHttp(std::move(socket), *context, std::move(slot));
                }
                // Without a place the socket closes here: every connection is busy or a page.
            }
            accept();
        });
    }

    void acceptLater() {
        retryTimer.expires_after(std::chrono::milliseconds(100));
        retryTimer.async_wait([this](boost::system::error_code ec) {
            if (!ec && acceptor.is_open()) accept();
        });
    }

    void stop() {
        net::post(io, [this] {
            boost::system::error_code ignored;
            acceptor.close(ignored);
            retryTimer.cancel();
            io.stop();
        });
    }

    // Declared first so it goes last: connections still held by the io_context refer to it.
    std::unique_ptr<ServerContext> context;
    net::io_context io{1};
    tcp::acceptor acceptor;
    net::steady_timer retryTimer{io};
    std::map<PageId, std::shared_ptr<Page>> pages;  // touched on the network thread only
    std::atomic<size_t> liveCount{0};
    std::atomic<bool> stopping{false};
    PageId nextPage = 1;
    std::thread thread;
};

BridgeServer::BridgeServer(ServerOptions options) : m_impl(std::make_unique<Impl>(std::move(options))) {
    m_impl->accept();
}

BridgeServer::~BridgeServer() = default;

uint16_t BridgeServer::port() const { return m_impl->context->policy.port(); }
const std::string& BridgeServer::token() const { return m_impl->context->policy.token(); }
std::string BridgeServer::address() const { return "http://127.0.0.1:" + std::to_string(port()) + "/"; }

std::vector<std::string> BridgeServer::allowedOrigins() const {
    std::vector<std::string> origins;
    for (const Origin& origin : m_impl->context->policy.allowedOrigins()) origins.push_back(origin.serialize());
    return origins;
}

void BridgeServer::run() { m_impl->io.run(); }

void BridgeServer::start() {
    m_impl->thread = std::thread([impl = m_impl.get()] { impl->io.run(); });
}

void BridgeServer::stop() { m_impl->stop(); }

bool BridgeServer::shutdown(std::chrono::milliseconds grace) { return m_impl->shutdown(grace); }

size_t BridgeServer::pageCount() const { return m_impl->liveCount; }

}  // namespace lumora::bridge
