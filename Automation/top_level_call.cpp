#include "top_level_call.hpp"

#include <algorithm>
#include <atomic>

namespace lumora {

namespace {
thread_local TopLevelCall* t_running = nullptr;
std::atomic<uint64_t> g_lastSerial{0};
}

TopLevelCall::TopLevelCall(std::string what) : m_what(std::move(what)) {
    if (t_running) {
        m_running = t_running;
        return;
    }
    m_outermost = true;
    m_serial = ++g_lastSerial;
    m_running = this;
    t_running = this;
}

TopLevelCall::~TopLevelCall() {
    if (!m_outermost) return;
    settleAll();
    t_running = nullptr;
}

TopLevelCall* TopLevelCall::current() { return t_running; }

void TopLevelCall::finish() {
    if (!m_outermost) return;
    std::vector<CallParticipant*> joined = m_participants;
    settleAll();
    for (CallParticipant* participant : joined) participant->raiseSettleFailure();
}

void TopLevelCall::join(CallParticipant& participant) {
    std::vector<CallParticipant*>& joined = m_running->m_participants;
    if (std::find(joined.begin(), joined.end(), &participant) == joined.end()) joined.push_back(&participant);
}

void TopLevelCall::leave(CallParticipant& participant) {
    std::vector<CallParticipant*>& joined = m_running->m_participants;
    joined.erase(std::remove(joined.begin(), joined.end(), &participant), joined.end());
}

void TopLevelCall::beforePersonWaits() {
    if (t_running) t_running->settleAll();
}

void TopLevelCall::settleAll() {
    // Participants join again on their next write, so the list is taken first.
    std::vector<CallParticipant*> joined;
    joined.swap(m_participants);
    for (CallParticipant* participant : joined) participant->settle();
}

}  // namespace lumora
