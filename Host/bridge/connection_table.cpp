#include "connection_table.hpp"

#include <sys/resource.h>

#include <algorithm>
#include <utility>

namespace lumora::bridge {

ConnectionSlot::ConnectionSlot(ConnectionSlot&& other) noexcept
    : m_table(std::exchange(other.m_table, nullptr)), m_id(other.m_id) {}

ConnectionSlot& ConnectionSlot::operator=(ConnectionSlot&& other) noexcept {
    if (this != &other) {
        giveBack();
        m_table = std::exchange(other.m_table, nullptr);
        m_id = other.m_id;
    }
    return *this;
}

ConnectionSlot::~ConnectionSlot() { giveBack(); }

void ConnectionSlot::giveBack() {
    if (m_table) m_table->m_open.erase(m_id);
    m_table = nullptr;
}

void ConnectionSlot::waitingForRequest(std::function<void()> onPushedOut) {
    if (!m_table) return;
    auto it = m_table->m_open.find(m_id);
    if (it != m_table->m_open.end()) it->second.pushOut = std::move(onPushedOut);
}

void ConnectionSlot::busy() { waitingForRequest({}); }

ConnectionSlot ConnectionTable::take() {
    if (m_open.size() >= m_limit) {
        auto oldestWaiting = std::find_if(m_open.begin(), m_open.end(), [](const auto& e) { return bool(e.second.pushOut); });
        if (oldestWaiting == m_open.end()) return {};
        // Its place is free from now on; the connection closes as its read is cancelled.
        std::function<void()> pushOut = std::move(oldestWaiting->second.pushOut);
        m_open.erase(oldestWaiting);
        pushOut();
    }
    uint64_t id = m_nextId++;
    m_open.emplace(id, Entry{});
    return ConnectionSlot(*this, id);
}

size_t affordableConnections(size_t wanted) {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return wanted;
    // Half of what is left after the descriptors every process needs goes to connections.
    constexpr rlim_t kReserved = 32;
    rlim_t share = limit.rlim_cur > kReserved ? (limit.rlim_cur - kReserved) / 2 : 0;
    return std::min(std::max<size_t>(static_cast<size_t>(share), 4), wanted);
}

}  // namespace lumora::bridge
