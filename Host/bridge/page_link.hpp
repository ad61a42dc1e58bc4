#pragma once
// The two directions between a page and the bridge that the transports and the page's
// Desktop share: PageOutbox carries messages out through whichever transport the page came
// by; PageLink is what the page's Desktop needs of the page while a call runs.

#include <chrono>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Desktop/desktop.hpp"

namespace lumora::bridge {

// The sending half of one page's transport. Thread-safe; sending to a page that has gone is a
// quiet no-op.
class PageOutbox {
public:
    virtual ~PageOutbox() = default;
    virtual void send(std::string message) = 0;
    // The largest message the transport can carry; 0 when it has no limit of its own.
    virtual size_t maxMessageBytes() const { return 0; }
};

class PageLink {
public:
    virtual ~PageLink() = default;
    // Sends a request to the page and waits for its answer: the answer's result, null when the
    // page answered with an error, nullopt when the page went away first.
    virtual std::optional<nlohmann::json> ask(const std::string& method, nlohmann::json params) = 0;
    // Sends a notification; no answer.
    virtual void tell(const std::string& method, nlohmann::json params) = 0;
    // The window events the page sent since the last take; when there are none, waits up to
    // `wait` for one.
    virtual std::vector<desktop::WindowEvent> takeEvents(std::chrono::milliseconds wait) = 0;
    // True once the page has gone: nothing more will be answered.
    virtual bool closed() const = 0;
    // Makes a shown file downloadable by this page; returns the link, "" when the transport
    // has no web server to serve it.
    virtual std::string publishFile(const std::filesystem::path& file) = 0;
    // Where the page's calls report how they go, from any thread and for as long as they run,
    // the page's going included; the default drops the reports.
    virtual std::shared_ptr<desktop::CallStateSink> callStates() { return nullptr; }
};

}  // namespace lumora::bridge
