#include "line_agent.hpp"

#include <algorithm>
#include <map>

#include "Automation/cancellation.hpp"
#include "Automation/error.hpp"
#include "Platform/Desktop/helper_processes.hpp"

namespace lumora::telephony {

using Clock = std::chrono::steady_clock;

std::string registrationText(const Registration& registration) {
    switch (registration.state) {
    case Registration::State::NotRegistering: return "not registering";
    case Registration::State::Registering: return "registering";
    case Registration::State::Registered: return "registered";
    case Registration::State::Failing: return "failing: " + registration.reason;
    }
    return {};
}

LineAgent::LineAgent(const Line& line, const std::string& password, const SoundSetup& sound) : m_sound(sound) {
    const SipAccount account = parseSipAccount(line.account);
    m_pbx = line.outboundProxy.empty() ? account.host : line.outboundProxy;
    if (line.registers) m_registration.state = Registration::State::Registering;
    AgentSetup setup{account, password, line.outboundProxy, line.registers, sound.configLines};
    m_agent = std::make_unique<UserAgent>(setup, [this](const AgentEvent& event) { take(event); });
}

bool LineAgent::alive() const {
    std::lock_guard lock(m_mutex);
    return !m_agentEnded;
}

Registration LineAgent::registration() const {
    std::lock_guard lock(m_mutex);
    return m_registration;
}

Registration LineAgent::waitRegistered(Clock::time_point deadline) {
    std::unique_lock lock(m_mutex);
    while (m_registration.state == Registration::State::Registering && Clock::now() < deadline) {
        m_changed.wait_for(lock, desktop::process::kCancelPollInterval);
        if (cancelRequested()) {
            lock.unlock();
            checkCancelled();
            lock.lock();
        }
    }
    if (m_registration.state != Registration::State::Registering) return m_registration;
    // Still waiting: the agent keeps trying, and the line counts as failing until it answers.
    return {Registration::State::Failing, "the PBX " + m_pbx + " does not answer"};
}

void LineAgent::dial(const std::string& target, const std::shared_ptr<CallWatch>& watch) {
    {
        std::lock_guard lock(m_mutex);
        std::erase_if(m_watches, [](const auto& w) { return w->phase() == CallWatch::Phase::Over; });
        m_watches.push_back(watch);
    }
    m_agent->command("dial", target);
}

void LineAgent::hangup(const std::shared_ptr<CallWatch>& watch) {
    if (watch->phase() == CallWatch::Phase::Over) return;
    const std::string id = watch->callId();
    // A call none of whose events has come yet is the one dialled last, the agent's current call.
    if (id.empty()) m_agent->command("hangup");
    else m_agent->commands({{"callfind", id}, {"hangup", ""}});
}

std::string LineAgent::waitIncoming(Clock::time_point deadline) {
    std::unique_lock lock(m_mutex);
    m_changed.wait_until(lock, deadline, [this] { return !m_ringing.empty(); });
    return m_ringing.empty() ? std::string() : m_ringing.front();
}

void LineAgent::answer(const std::string& callId, const std::shared_ptr<CallWatch>& watch) {
    {
        std::lock_guard lock(m_mutex);
        std::erase(m_ringing, callId);
        watch->bind(callId);
        m_watches.push_back(watch);
    }
    watch->take(AgentEvent{"call", "CALL_RINGING", {}, callId, {}, "incoming"});
    m_agent->commands({{"callfind", callId}, {"accept", ""}});
}

std::shared_ptr<CallWatch> LineAgent::watchFor(const AgentEvent& event) {
    for (const auto& watch : m_watches)
        if (!event.callId.empty() && watch->callId() == event.callId) return watch;
    // The first event of a call names its id: it belongs to the oldest call to that address
    // that has none yet.
    if (event.direction != "outgoing") return nullptr;
    for (const auto& watch : m_watches)
        if (watch->target() == event.peer && watch->bind(event.callId)) return watch;
    return nullptr;
}

void LineAgent::take(const AgentEvent& event) {
    std::vector<std::shared_ptr<CallWatch>> told;
    {
        std::lock_guard lock(m_mutex);
        if (event.kind == "register") {
            if (event.type == "REGISTER_OK") m_registration = {Registration::State::Registered, {}};
            else if (event.type == "REGISTER_FAIL") m_registration = {Registration::State::Failing, event.param};
            m_changed.notify_all();
            return;
        }
        if (event.kind == "agent") {
            m_agentEnded = true;
            m_registration = {Registration::State::Failing, event.param};
            m_changed.notify_all();
            told = m_watches;
        } else if (event.kind == "call" && !event.callId.empty()) {
            if (event.type == "CALL_INCOMING") {
                m_ringing.push_back(event.callId);
                m_changed.notify_all();
            } else if (event.type == "CALL_CLOSED") {
                std::erase(m_ringing, event.callId);
            }
            if (auto watch = watchFor(event)) told.push_back(watch);
        }
    }
    for (const auto& watch : told) watch->take(event);
}

namespace {

struct KeptAgents {
    std::mutex mutex;
    std::map<std::string, std::shared_ptr<LineAgent>> byLine;
};

KeptAgents& kept() {
    static KeptAgents agents;
    return agents;
}

// What makes a line's agent: a line changed in any of these needs a new one.
std::string keyOf(const Line& line, const std::string& password) {
    return line.name + '\n' + line.account + '\n' + line.outboundProxy + '\n' + line.audio + '\n' + password;
}

}  // namespace

std::shared_ptr<LineAgent> keptAgent(const Line& line, const std::string& password) {
    KeptAgents& agents = kept();
    const std::string key = keyOf(line, password);
    std::shared_ptr<LineAgent> ended;  // let go outside the lock
    {
        std::lock_guard lock(agents.mutex);
        if (auto found = agents.byLine.find(key); found != agents.byLine.end()) {
            if (found->second->alive()) return found->second;
            ended = std::move(found->second);
            agents.byLine.erase(found);
        }
    }
    // Started outside the lock: another line's call need not wait for this agent's start.
    auto agent = std::make_shared<LineAgent>(line, password, soundFor(line.audio));
    std::lock_guard lock(agents.mutex);
    return agents.byLine.try_emplace(key, std::move(agent)).first->second;
}

std::vector<std::string> startRegistrations(const std::vector<Line>& lines) {
    std::vector<std::string> problems;
    for (const Line& line : lines) {
        if (line.kind != LineKind::Sip || !line.registers) continue;
        try {
            keptAgent(line, linePassword(line));
        } catch (const Error& e) {
            problems.push_back("the line '" + line.name + "' cannot register: " + e.description());
        }
    }
    return problems;
}

void keepOnlyAgentsOf(const std::vector<Line>& lines) {
    KeptAgents& agents = kept();
    std::vector<std::shared_ptr<LineAgent>> leaving;
    {
        std::lock_guard lock(agents.mutex);
        std::erase_if(agents.byLine, [&](auto& entry) {
            const bool listed = std::any_of(lines.begin(), lines.end(),
                                            [&](const Line& line) { return entry.first.starts_with(keyOf(line, {})); });
            if (!listed) leaving.push_back(entry.second);
            return !listed;
        });
    }
    // The agents end here, outside the lock, unless a call still holds one.
}

}  // namespace lumora::telephony
