#pragma once
// A bridge serving on a free loopback port for one test, with the host's sample class and the
// window class of these tests registered, and a private data folder.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

#include "../sample_class.hpp"
#include "Automation/registry.hpp"
#include "Host/bridge/bridge_server.hpp"
#include "Host/stand_ins.hpp"
#include "Host/startup.hpp"
#include "bridge_client.hpp"
#include "temp_folder.hpp"
#include "windows_class.hpp"

namespace lumora::tests {

template <class Predicate>
bool eventually(Predicate predicate, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (predicate()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return predicate();
}

// The host's stand-ins and this build's deliverables registered, as `lumora serve` has them, so
// a page reaches the real desktop control and what it drives.
inline void registerWorkstationClasses() {
    static std::once_flag standIns;
    std::call_once(standIns, host::registerStandIns);
    host::StartupReport report;
    const char* buildDir = std::getenv("LUMORA_BUILD_DIR");
    host::ensureDeliverablesRegistered(std::filesystem::path(buildDir ? buildDir : LUMORA_BUILD_DIR) / "lib", report);
    ASSERT_TRUE(report.problems.empty()) << report.problems.front();
}

class BridgeTest : public ::testing::Test {
protected:
    void SetUp() override {
        Registry::instance().setDataFolder(m_data.path());
        registerSampleClass();
        registerWindowsClass();
        options.page.creatable.push_back(kSampleProgId);
        options.page.creatable.push_back(kWindowsProgId);
    }
    void TearDown() override { server.reset(); }

    // Starts the bridge; tests adjust the options first.
    bridge::BridgeServer& serve() {
        options.port = 0;
        options.page.desktop.launchPrograms = false;
        server = std::make_unique<bridge::BridgeServer>(options);
        server->start();
        return *server;
    }
    uint16_t port() const { return server->port(); }
    std::string hostHeader() const { return "127.0.0.1:" + std::to_string(port()); }

    bridge::ServerOptions options;
    std::unique_ptr<bridge::BridgeServer> server;
    TempFolder m_data;
};

}  // namespace lumora::tests
