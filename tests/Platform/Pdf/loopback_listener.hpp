#pragma once
// A TCP listener on 127.0.0.1 that counts the connections made to it, for showing that a page
// being converted reached no server.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace lumora::testing {

class LoopbackListener {
public:
    LoopbackListener() {
        m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(m_socket, 16) != 0 || ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("the loopback listener could not listen");
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { acceptAll(); });
    }
    ~LoopbackListener() {
        m_stopping = true;
        m_thread.join();
        ::close(m_socket);
    }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    int port() const { return m_port; }
    int connections() const { return m_connections; }

private:
    void acceptAll() {
        while (!m_stopping) {
            pollfd waiting{m_socket, POLLIN, 0};
            if (::poll(&waiting, 1, 50) <= 0) continue;
            const int connection = ::accept4(m_socket, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0) continue;
            ++m_connections;
            ::close(connection);
        }
    }

    int m_socket = -1;
    int m_port = 0;
    std::atomic<int> m_connections{0};
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

}  // namespace lumora::testing
