#pragma once
// What the bridge's connections share: the options, the access policy, the shown files and a
// way to open a page. Internal to the server; kept free of Beast so the header stays light.

#include <functional>
#include <memory>
#include <string>

#include "access_policy.hpp"
#include "connection_table.hpp"
#include "bridge_server.hpp"
#include "page.hpp"
#include "shown_files.hpp"

namespace lumora::bridge {

struct ServerContext {
    ServerContext(ServerOptions serverOptions, uint16_t boundPort, std::string secret)
        : options(std::move(serverOptions)),
          policy(boundPort, options.allowedOrigins, std::move(secret)),
          connections(affordableConnections(options.maxConnections)) {}

    ServerOptions options;
    AccessPolicy policy;
    ConnectionTable connections;
    ShownFiles files;
    // Opens a page for a new connection on the network thread; nullptr when the bridge already
    // serves as many pages as it may. linkBase: the bridge's address as that page reached it.
    std::function<std::shared_ptr<Page>(std::shared_ptr<PageOutbox>, std::string linkBase)> openPage;
};

}  // namespace lumora::bridge
