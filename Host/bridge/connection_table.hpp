#pragma once
// The bridge's open connections of every kind (plain HTTP and pages' WebSockets), held to one
// limit so that a flood of connections cannot use up the process's file descriptors. When every
// place is taken, the connection that has waited longest for a request gives up its place to
// the newcomer: a client that opens connections and never finishes a request (slowloris) then
// cannot lock others out. Pages are never pushed out. Used on the network thread only.

#include <cstdint>
#include <functional>
#include <map>

namespace lumora::bridge {

class ConnectionTable;

// One connection's place in the table; gives it back when destroyed.
class ConnectionSlot {
public:
    ConnectionSlot() = default;
    ConnectionSlot(ConnectionTable& table, uint64_t id) : m_table(&table), m_id(id) {}
    ConnectionSlot(ConnectionSlot&& other) noexcept;
    ConnectionSlot& operator=(ConnectionSlot&& other) noexcept;
    ~ConnectionSlot();

    explicit operator bool() const { return m_table != nullptr; }
    // Waiting for a request: the connection may be closed to make room. onPushedOut closes it.
    void waitingForRequest(std::function<void()> onPushedOut);
    // Busy with a request, or a page: it keeps its place.
    void busy();

private:
    void giveBack();
    ConnectionTable* m_table = nullptr;
    uint64_t m_id = 0;
};

class ConnectionTable {
public:
    explicit ConnectionTable(size_t limit) : m_limit(limit) {}

    // A place for a new connection: an empty slot when every place is taken by a busy
    // connection or a page.
    ConnectionSlot take();
    size_t limit() const { return m_limit; }
    size_t open() const { return m_open.size(); }

private:
    friend class ConnectionSlot;
    struct Entry {
        std::function<void()> pushOut;  // empty while busy
    };
    size_t m_limit;
    uint64_t m_nextId = 1;
    std::map<uint64_t, Entry> m_open;  // by id, which is also age
};

// The connections this process can afford: at most `wanted`, and within the file-descriptor
// limit, keeping a share of descriptors for the files and sockets the controls open.
size_t affordableConnections(size_t wanted);

}  // namespace lumora::bridge
