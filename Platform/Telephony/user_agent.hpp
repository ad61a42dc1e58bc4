#pragma once
// A private baresip: started with a configuration of its own in a folder of its own, driven
// over its ctrl_tcp control port (netstring-framed JSON, one command or event per frame), and
// stopped when the object ends. It is tied to this process: a host that is killed takes it along.
// A reader thread takes the agent's frames as they come: answers go to the command waiting for
// them, events to the owner's handler, on that thread.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "line_list.hpp"

namespace lumora::telephony {

// An event of the user agent's: its class ("call", "register"), type ("CALL_RINGING",
// "REGISTER_FAIL"), parameter (for a closed call the reason: "486 Busy Here"), the call's id and
// the far end's address. The agent going away is the event of class "agent", type "AGENT_ENDED".
struct AgentEvent {
    std::string kind;
    std::string type;
    std::string param;
    std::string callId;
    std::string peer;
    std::string direction;  // "outgoing" or "incoming" for a call's events
};

// What the agent is started with.
struct AgentSetup {
    SipAccount account;
    std::string password;       // "" when the account needs none
    std::string outboundProxy;  // "" to send requests straight to the account's host
    bool registers = false;     // keeps a registration with the account's host fresh
    std::vector<std::string> soundLines;  // from soundFor(); none for a line without sound
};

class UserAgent {
public:
    using EventHandler = std::function<void(const AgentEvent&)>;

    // Starts baresip for the account and connects to its control port; raises
    // UserAgentMissing when baresip is not installed, UserAgentFailed when it does not come up.
    UserAgent(const AgentSetup& setup, EventHandler onEvent);
    ~UserAgent();
    UserAgent(const UserAgent&) = delete;
    UserAgent& operator=(const UserAgent&) = delete;

    // Sends the commands in order, none of another caller's in between, each waiting for its
    // answer; raises UserAgentFailed when the agent refuses one, has gone or does not answer
    // within 5 s.
    void commands(const std::vector<std::pair<std::string, std::string>>& sequence);
    void command(const std::string& name, const std::string& params = {}) { commands({{name, params}}); }

private:
    struct Folder {
        std::filesystem::path path;
        ~Folder();
    };
    struct Process;
    struct Control;
    // Declared in this order so the reader stops before the process, and the folder goes last.
    Folder m_folder;
    std::unique_ptr<Process> m_process;
    std::unique_ptr<Control> m_control;
};

}  // namespace lumora::telephony
