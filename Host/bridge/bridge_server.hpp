#pragma once
// The bridge: a web server on 127.0.0.1 that serves the demo CRM page and lumora.js and
// gives every page that connects over WebSocket (JSON-RPC 2.0 at /rpc) its own objects on its
// own worker thread. One network thread reads and writes for all pages and never waits for a
// call.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "page.hpp"

namespace lumora::bridge {

struct ServerOptions {
    uint16_t port = 8765;                     // 0: any free port (tests)
    std::vector<std::string> allowedOrigins;  // exact origins, besides the bridge's own
    std::string token;                        // empty: a fresh random one
    PageSettings page;                        // message limits, queue caps, the pages' Desktop
    size_t maxPages = 64;                     // pages at once
    size_t maxConnections = 256;              // connections of every kind at once (fewer under a low ulimit -n)
    size_t maxUnsentBytes = 64u << 20;        // answers a page has not read yet before it is dropped
    std::string demoSettings = "{}";          // JSON the demo page reads at /demo-settings.json
    // Sample files served at fixed URL paths ("/samples/quotes/QuoteLines.htm"), so the demo's
    // templates can be fetched from a web address as a CRM's web server offers them.
    std::map<std::string, std::filesystem::path, std::less<>> demoFiles;
};

class BridgeServer {
public:
    // Binds 127.0.0.1:port. Throws std::system_error when the port cannot be had, and
    // std::invalid_argument for an allowed origin that is not an exact origin.
    explicit BridgeServer(ServerOptions options);
    ~BridgeServer();  // stops, closes every page and waits for their workers
    BridgeServer(const BridgeServer&) = delete;
    BridgeServer& operator=(const BridgeServer&) = delete;

    uint16_t port() const;
    const std::string& token() const;
    // "http://127.0.0.1:PORT/"
    std::string address() const;
    // The origins a browser page may connect from, in their serialised form.
    std::vector<std::string> allowedOrigins() const;

    // Serves on the calling thread until stop().
    void run();
    // Serves on a thread of its own; the destructor or stop() ends it.
    void start();
    // Thread-safe; also from a signal-watching thread.
    void stop();
    // Stops serving and cancels every page's running call, then waits up to `grace` for the
    // pages' workers to end; false when one is still running (a call stuck where it cannot
    // look at its cancel flag). Not from the serving thread.
    bool shutdown(std::chrono::milliseconds grace);

    // Pages whose worker has not finished yet.
    size_t pageCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace lumora::bridge
