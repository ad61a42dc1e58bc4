#pragma once
// A private baresip: started with a configuration of its own in a folder of its own, driven
// over its ctrl_tcp control port (netstring-framed JSON, one command or event per frame), and
// stopped when the object ends.

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "line_list.hpp"

namespace lumora::telephony {

// An event of the user agent's: its class ("call"), type ("CALL_RINGING") and parameter
// (for a closed call, the reason: "486 Busy Here").
struct AgentEvent {
    std::string type;
    std::string param;
};

class UserAgent {
public:
    // Starts baresip for the account and connects to its control port; raises
    // UserAgentMissing when baresip is not installed, UserAgentFailed when it does not come up.
    UserAgent(const SipAccount& account, const std::string& password);
    ~UserAgent();
    UserAgent(const UserAgent&) = delete;
    UserAgent& operator=(const UserAgent&) = delete;

    // Sends a command and raises UserAgentFailed when the agent refuses it.
    void command(const std::string& name, const std::string& params = {});
    // The next call event before the deadline; nullopt when none came.
    std::optional<AgentEvent> nextCallEvent(std::chrono::steady_clock::time_point deadline);

private:
    struct Process;
    struct Control;
    // The agent's private folder, removed when the agent goes, also when its start fails;
    // declared first, so it goes after the process that uses it.
    struct Folder {
        std::filesystem::path path;
        ~Folder();
    };
    Folder m_folder;
    std::unique_ptr<Process> m_process;
    std::unique_ptr<Control> m_control;
    int m_nextToken = 1;
};

}  // namespace lumora::telephony
