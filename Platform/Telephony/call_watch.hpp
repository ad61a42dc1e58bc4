#pragma once
// One SIP call as its person follows it: the user agent's events for the call come in on the
// agent's reader thread and become the reports a person reads (ringing, answered, ended, failed,
// with the reason and the length), while Connect waits here for the far end to take the call.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "Platform/Desktop/call_states.hpp"
#include "user_agent.hpp"

namespace lumora::telephony {

class CallWatch {
public:
    using Clock = std::chrono::steady_clock;
    enum class Phase { Placing, Ringing, Answered, Over };

    // `identity` names the call (its number, line and dialled number); `notice` rides on its
    // first report.
    CallWatch(std::string target, desktop::CallState identity, std::shared_ptr<desktop::CallStateSink> sink);

    const std::string& target() const { return m_target; }
    // The agent's id for the call, once one of its events has named it.
    std::string callId() const;
    bool bind(const std::string& callId);
    Phase phase() const;

    // An event of this call's, or of its agent's going.
    void take(const AgentEvent& event);
    // The call failed before the far end took it (no answer, not registered, cancelled): told
    // once; a close that follows is not told again.
    void fail(const std::string& reason);

    // Waits until the far end has taken the call (Ringing or Answered) or it is over; the phase
    // reached, or Placing at the deadline. A cancelled call raises error 18.
    Phase waitAccepted(Clock::time_point deadline);
    // Waits until the call is over; false at the deadline.
    bool waitOver(Clock::time_point deadline);
    // Why the call ended or failed, once it is over.
    std::string reason() const;

private:
    void tell(const std::string& state, const std::string& reason = {}, std::optional<int64_t> seconds = {});

    const std::string m_target;
    desktop::CallState m_identity;
    std::shared_ptr<desktop::CallStateSink> m_sink;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string m_callId;
    Phase m_phase = Phase::Placing;
    Clock::time_point m_answeredAt;
    std::string m_reason;
};

// A new number for a call's reports, unique in this process.
int64_t nextCallNumber();

}  // namespace lumora::telephony
