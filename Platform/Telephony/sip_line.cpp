// A SIP line's call, placed by the line's user agent. Connect succeeds once the far end rings or
// answers, and fails with the far end's reason, after the line's wait without an answer, or at
// once when the line's registration with its PBX fails. The call's later life (answered, ended)
// is reported to the desktop it was placed on as it happens.

#include "Platform/Desktop/desktop.hpp"
#include "call_watch.hpp"
#include "line_agent.hpp"
#include "line_call.hpp"
#include "phone_number.hpp"
#include "telephony_errors.hpp"

namespace lumora::telephony {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kHangupWait = std::chrono::seconds(2);
// How long a call waits for a line's first registration before it counts as failing.
constexpr auto kRegisterWait = std::chrono::seconds(5);

// The number as the user part of a SIP URI (RFC 3261): "#" must be escaped there.
std::string userPart(const std::string& number) {
    std::string user;
    for (char c : dialledDigits(number)) user += c == '#' ? std::string("%23") : std::string(1, c);
    return user;
}

std::string noSoundNotice(const std::string& lineName, const std::string& problem) {
    return "The line '" + lineName + "' has no sound: " + problem +
           ". Its calls are placed, but nobody can be heard on them until a sound device works.";
}

class SipCall : public LineCall {
public:
    SipCall(Line line, std::string number) : m_line(std::move(line)), m_number(std::move(number)) {}

    ~SipCall() override {
        try {
            disconnect();
        } catch (const std::exception&) {
            // The agent has gone with the call, or ends it when it goes.
        }
    }

    void connect() override {
        const SipAccount account = parseSipAccount(m_line.account);
        const std::string password = linePassword(m_line);
        std::shared_ptr<LineAgent> agent =
            m_line.registers ? keptAgent(m_line, password)
                             : std::make_shared<LineAgent>(m_line, password, soundFor(m_line.audio));

        std::string target = "sip:" + userPart(m_number) + "@" + account.host;
        if (account.port) target += ":" + std::to_string(*account.port);
        desktop::CallState identity;
        identity.call = nextCallNumber();
        identity.line = m_line.name;
        identity.number = m_number;
        if (const std::string& problem = agent->sound().problem; !problem.empty() && firstTimeWithoutSound(m_line.name))
            identity.notice = noSoundNotice(m_line.name, problem);
        auto watch = std::make_shared<CallWatch>(target, identity, desktop::current().callStates());

        // Whatever ends the attempt early (no registration, no answer, a cancelled call) ends
        // the call with it and tells the person why.
        struct Attempt {
            LineAgent& agent;
            std::shared_ptr<CallWatch> watch;
            bool placed = false;
            ~Attempt() {
                if (placed) return;
                try {
                    agent.hangup(watch);
                } catch (const std::exception&) {
                }
                watch->fail("the call was not placed");
            }
        } attempt{*agent, watch};

        if (m_line.registers) {
            const Registration registration = agent->waitRegistered(Clock::now() + kRegisterWait);
            if (registration.state != Registration::State::Registered) {
                watch->fail("the line is not registered: " + registration.reason);
                raise(TelephonyError::NotRegistered, registration.reason);
            }
        }
        agent->dial(target, watch);
        const CallWatch::Phase reached = watch->waitAccepted(Clock::now() + m_line.connectWait);
        if (reached == CallWatch::Phase::Placing) {
            watch->fail("no answer within " + std::to_string(m_line.connectWait.count()) + " seconds");
            raise(TelephonyError::NoAnswer, std::to_string(m_line.connectWait.count()));
        }
        if (reached == CallWatch::Phase::Over) raise(TelephonyError::LineRefused, watch->reason());
        attempt.placed = true;
        m_agent = std::move(agent);
        m_watch = std::move(watch);
    }

    void disconnect() override {
        if (!m_agent) return;
        std::shared_ptr<LineAgent> agent = std::move(m_agent);
        std::shared_ptr<CallWatch> watch = std::move(m_watch);
        agent->hangup(watch);
        // The BYE has left once the agent reports the call closed; then a call's own agent may stop.
        watch->waitOver(Clock::now() + kHangupWait);
    }

private:
    Line m_line;
    std::string m_number;
    std::shared_ptr<LineAgent> m_agent;
    std::shared_ptr<CallWatch> m_watch;
};

}  // namespace

std::unique_ptr<LineCall> openSipCall(const Line& line, const std::string& number) {
    return std::make_unique<SipCall>(line, number);
}

}  // namespace lumora::telephony
