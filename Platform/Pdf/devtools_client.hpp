#pragma once
// The browser's debugging protocol over its pipe: JSON messages, each ended by a NUL, commands
// answered by id and events in between. Every wait has a deadline; a browser that overruns it,
// ends, or stops reading fails the command with the conversion table's error, and the owner
// ends the browser.

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "Platform/Desktop/piped_child.hpp"

namespace lumora::pdf {

using Json = nlohmann::json;
using Deadline = std::chrono::steady_clock::time_point;

// Called for each event that arrives while a command waits for its answer.
using EventHandler = std::function<void(const Json& event)>;

class DevToolsClient {
public:
    explicit DevToolsClient(desktop::process::PipedChild browser) : m_browser(std::move(browser)) {}

    // Sends a command (to a target's session when one is given) without waiting for its answer.
    // Returns its id.
    int send(std::string_view method, Json params, std::string_view session = {});
    // Sends a command and returns its result; events meanwhile go to onEvent. Errors:
    // ConversionTimedOut at the deadline, ConversionFailed when the browser ended or refused
    // the command (its message is the detail).
    Json call(std::string_view method, Json params, std::string_view session, Deadline deadline,
              const EventHandler& onEvent = {});
    // Waits for the next event and hands it to onEvent; answers to commands sent without waiting
    // are passed over. Errors as call.
    void awaitEvent(Deadline deadline, const EventHandler& onEvent);

    bool running() { return m_browser.running(); }
    // Closes the pipe, which a browser takes as its cue to end, and ends it after grace.
    void stop(std::chrono::milliseconds grace) { m_browser.stop(grace); }

private:
    Json receive(Deadline deadline);

    desktop::process::PipedChild m_browser;
    int m_nextId = 0;
    Deadline m_writeDeadline = Deadline::max();
};

}  // namespace lumora::pdf
