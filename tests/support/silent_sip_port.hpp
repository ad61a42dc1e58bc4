#pragma once
// A SIP far end that takes an INVITE and never answers it: a UDP port on 127.0.0.1, so a call
// placed there waits for as long as its line lets it.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>

namespace lumora::tests {

class SilentSipPort {
public:
    SilentSipPort() : m_fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~SilentSipPort() { ::close(m_fd); }
    SilentSipPort(const SilentSipPort&) = delete;
    SilentSipPort& operator=(const SilentSipPort&) = delete;

    int port() const { return m_port; }

    // True once an INVITE has come in; invite() is then its start.
    bool receivedInvite(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            const auto left = std::max(std::chrono::milliseconds(0),
                                       std::chrono::duration_cast<std::chrono::milliseconds>(
                                           deadline - std::chrono::steady_clock::now()));
            pollfd waiting{m_fd, POLLIN, 0};
            if (::poll(&waiting, 1, static_cast<int>(left.count())) > 0) {
                char message[512] = {};
                if (::recv(m_fd, message, sizeof message - 1, 0) > 0 && std::string(message).rfind("INVITE ", 0) == 0) {
                    m_invite = message;
                    return true;
                }
            } else if (left.count() == 0) {
                return false;
            }
        }
    }

    const std::string& invite() const { return m_invite; }

private:
    int m_fd;
    int m_port = 0;
    std::string m_invite;
};

}  // namespace lumora::tests
