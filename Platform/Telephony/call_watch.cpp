#include "call_watch.hpp"

#include <atomic>

#include "Automation/cancellation.hpp"
#include "Platform/Desktop/helper_processes.hpp"

namespace lumora::telephony {

namespace {

// The user agent's words for who hung up, as the person reads them.
std::string reasonText(const std::string& param) {
    if (param == "Connection reset by user") return "hung up here";
    if (param == "Connection reset by peer" || param.empty()) return "hung up by the other end";
    return param;
}

}  // namespace

int64_t nextCallNumber() {
    static std::atomic<int64_t> next{1};
    return next++;
}

CallWatch::CallWatch(std::string target, desktop::CallState identity, std::shared_ptr<desktop::CallStateSink> sink)
    : m_target(std::move(target)), m_identity(std::move(identity)), m_sink(std::move(sink)) {}

std::string CallWatch::callId() const {
    std::lock_guard lock(m_mutex);
    return m_callId;
}

bool CallWatch::bind(const std::string& callId) {
    std::lock_guard lock(m_mutex);
    if (!m_callId.empty() || m_phase == Phase::Over) return false;
    m_callId = callId;
    return true;
}

CallWatch::Phase CallWatch::phase() const {
    std::lock_guard lock(m_mutex);
    return m_phase;
}

std::string CallWatch::reason() const {
    std::lock_guard lock(m_mutex);
    return m_reason;
}

void CallWatch::tell(const std::string& state, const std::string& reason, std::optional<int64_t> seconds) {
    desktop::CallState report = m_identity;
    report.state = state;
    report.reason = reason;
    report.seconds = seconds;
    m_identity.notice.clear();  // told once, with the first report
    m_sink->report(report);
}

void CallWatch::take(const AgentEvent& event) {
    std::lock_guard lock(m_mutex);
    if (m_phase == Phase::Over) return;
    const std::string& type = event.type;
    if ((type == "CALL_RINGING" || type == "CALL_PROGRESS") && m_phase == Phase::Placing) {
        m_phase = Phase::Ringing;
        tell("ringing");
    } else if (type == "CALL_ESTABLISHED" && m_phase != Phase::Answered) {
        m_phase = Phase::Answered;
        m_answeredAt = Clock::now();
        tell("answered");
    } else if (type == "CALL_CLOSED" || type == "AGENT_ENDED") {
        const Phase was = m_phase;
        m_phase = Phase::Over;
        m_reason = reasonText(event.param);
        if (was == Phase::Placing) {
            tell("failed", m_reason);
        } else {
            std::optional<int64_t> seconds;
            if (was == Phase::Answered)
                seconds = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - m_answeredAt).count();
            tell("ended", m_reason, seconds);
        }
    } else {
        return;
    }
    m_changed.notify_all();
}

void CallWatch::fail(const std::string& reason) {
    std::lock_guard lock(m_mutex);
    if (m_phase == Phase::Over) return;
    m_phase = Phase::Over;
    m_reason = reason;
    tell("failed", reason);
    m_changed.notify_all();
}

CallWatch::Phase CallWatch::waitAccepted(Clock::time_point deadline) {
    std::unique_lock lock(m_mutex);
    while (m_phase == Phase::Placing && Clock::now() < deadline) {
        m_changed.wait_for(lock, desktop::process::kCancelPollInterval);
        if (cancelRequested()) {
            lock.unlock();
            checkCancelled();
        }
    }
    return m_phase;
}

bool CallWatch::waitOver(Clock::time_point deadline) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_until(lock, deadline, [this] { return m_phase == Phase::Over; });
}

}  // namespace lumora::telephony
