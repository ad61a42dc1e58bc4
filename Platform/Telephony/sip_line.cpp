// A SIP account dialled through a private baresip. Connect succeeds once the far end rings or
// answers, and fails with the far end's reason, or after the line's wait without an answer.

#include "line_call.hpp"
#include "phone_number.hpp"
#include "telephony_errors.hpp"
#include "user_agent.hpp"

namespace lumora::telephony {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kHangupWait = std::chrono::seconds(2);

// The far end has the call: it rings, makes progress, or answered.
bool accepted(const std::string& type) {
    return type == "CALL_RINGING" || type == "CALL_PROGRESS" || type == "CALL_ESTABLISHED";
}

// The number as the user part of a SIP URI (RFC 3261): "#" must be escaped there.
std::string userPart(const std::string& number) {
    std::string user;
    for (char c : dialledDigits(number)) user += c == '#' ? std::string("%23") : std::string(1, c);
    return user;
}

class SipCall : public LineCall {
public:
    SipCall(Line line, std::string number) : m_line(std::move(line)), m_number(std::move(number)) {}

    void connect() override {
        const SipAccount account = parseSipAccount(m_line.account);
        auto agent = std::make_unique<UserAgent>(account, m_line.password);
        std::string target = "sip:" + userPart(m_number) + "@" + account.host;
        if (account.port) target += ":" + std::to_string(*account.port);
        agent->command("dial", target);
        const auto deadline = Clock::now() + m_line.connectWait;
        for (;;) {
            const auto event = agent->nextCallEvent(deadline);
            // The agent's destructor ends the unanswered attempt before the error is told.
            if (!event) raise(TelephonyError::NoAnswer, std::to_string(m_line.connectWait.count()));
            if (accepted(event->type)) break;
            if (event->type == "CALL_CLOSED") raise(TelephonyError::LineRefused, event->param);
        }
        m_agent = std::move(agent);
    }

    void disconnect() override {
        if (!m_agent) return;
        std::unique_ptr<UserAgent> agent = std::move(m_agent);
        agent->command("hangup");
        // The BYE has left once the agent reports the call closed; then the agent may stop.
        const auto deadline = Clock::now() + kHangupWait;
        while (auto event = agent->nextCallEvent(deadline))
            if (event->type == "CALL_CLOSED") break;
    }

private:
    Line m_line;
    std::string m_number;
    std::unique_ptr<UserAgent> m_agent;
};

}  // namespace

std::unique_ptr<LineCall> openSipCall(const Line& line, const std::string& number) {
    return std::make_unique<SipCall>(line, number);
}

}  // namespace lumora::telephony
