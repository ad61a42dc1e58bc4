#pragma once
// The user agent of one SIP line: it registers with the line's PBX when the line registers, keeps
// that registration fresh and knows how it stands, places the line's calls and hands each call's
// events to the call's watch. A registering line keeps its agent for as long as this process
// runs (keptAgent), so calls start at once and the line can be reached; a line that only dials
// out starts an agent for each call.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "call_watch.hpp"
#include "line_list.hpp"
#include "sound_device.hpp"
#include "user_agent.hpp"

namespace lumora::telephony {

struct Registration {
    enum class State { NotRegistering, Registering, Registered, Failing };
    State state = State::NotRegistering;
    std::string reason;  // why it fails
};

// How the line's registration stands, as `lumora lines list` shows it.
std::string registrationText(const Registration& registration);

class LineAgent {
public:
    // Starts the agent; raises what UserAgent raises.
    LineAgent(const Line& line, const std::string& password, const SoundSetup& sound);

    const SoundSetup& sound() const { return m_sound; }
    // False once the user agent has ended by itself (it crashed or was killed).
    bool alive() const;
    Registration registration() const;
    // Waits for the registration's first answer, up to the deadline: a PBX that has not answered
    // by then counts as failing. A cancelled call raises error 18.
    Registration waitRegistered(std::chrono::steady_clock::time_point deadline);

    // Dials the target; the call's events go to the watch from now on.
    void dial(const std::string& target, const std::shared_ptr<CallWatch>& watch);
    // Hangs up the watch's call; nothing when the call is over.
    void hangup(const std::shared_ptr<CallWatch>& watch);

    // A call coming in to a registered line rings until it is taken. The id of the first one
    // ringing, once one rings before the deadline; "" when none did.
    std::string waitIncoming(std::chrono::steady_clock::time_point deadline);
    // Answers the incoming call; its events go to the watch from now on.
    void answer(const std::string& callId, const std::shared_ptr<CallWatch>& watch);

private:
    void take(const AgentEvent& event);
    std::shared_ptr<CallWatch> watchFor(const AgentEvent& event);

    SoundSetup m_sound;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    Registration m_registration;
    bool m_agentEnded = false;
    std::string m_pbx;  // for the reason when it does not answer
    std::vector<std::shared_ptr<CallWatch>> m_watches;
    std::vector<std::string> m_ringing;  // incoming calls not taken yet, by id
    // Last, so its reader thread, which calls take(), stops before the rest goes.
    std::unique_ptr<UserAgent> m_agent;
};

// The kept agent of a registering line, started at the first need, and again after it ended.
std::shared_ptr<LineAgent> keptAgent(const Line& line, const std::string& password);
// Starts the kept agents of the registering lines among these, so they register now; what could
// not be started is returned, one text per line, and tried again at the line's next call.
std::vector<std::string> startRegistrations(const std::vector<Line>& lines);
// Lets the kept agents of lines no longer in the list, or changed since, go.
void keepOnlyAgentsOf(const std::vector<Line>& lines);

}  // namespace lumora::telephony
