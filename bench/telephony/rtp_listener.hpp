#pragma once
// A media port of the benchmark's own on 127.0.0.1: a phone's answer names it as where the call's
// audio goes, and a thread of its own notes when each RTP packet arrives, so that a benchmark can
// tell when a call's first audio came.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

namespace lumora::bench {

class RtpListener {
public:
    using Time = std::chrono::system_clock::time_point;

    RtpListener() : m_fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
        if (m_fd < 0) throw std::runtime_error("no UDP socket for the media port");
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            ::close(m_fd);
            throw std::runtime_error("cannot bind the media port on 127.0.0.1");
        }
        m_port = ntohs(address.sin_port);
        m_thread = std::jthread([this](std::stop_token stop) { listen(stop); });
    }
    ~RtpListener() {
        m_thread.request_stop();
        m_thread.join();
        ::close(m_fd);
    }
    RtpListener(const RtpListener&) = delete;
    RtpListener& operator=(const RtpListener&) = delete;

    int port() const { return m_port; }

    // The arrival of the first RTP packet at or after `from`, waiting up to `wait` for one.
    std::optional<Time> firstAfter(Time from, std::chrono::milliseconds wait) {
        std::unique_lock lock(m_mutex);
        std::optional<Time> first;
        m_arrived.wait_for(lock, wait, [&] {
            for (Time arrival : m_arrivals)
                if (arrival >= from) return (first = arrival).has_value();
            return false;
        });
        return first;
    }

private:
    // Packets are kept up to a bound, beyond which the oldest half goes: a run is a few calls.
    static constexpr size_t kKeptArrivals = 100000;

    void listen(const std::stop_token& stop) {
        unsigned char packet[2048];
        while (!stop.stop_requested()) {
            pollfd waiting{m_fd, POLLIN, 0};
            if (::poll(&waiting, 1, 50) <= 0) continue;
            const ssize_t size = ::recv(m_fd, packet, sizeof packet, 0);
            const Time arrival = std::chrono::system_clock::now();
            // RTP: version 2 and at least its fixed header.
            if (size < 12 || (packet[0] >> 6) != 2) continue;
            std::lock_guard lock(m_mutex);
            if (m_arrivals.size() >= kKeptArrivals)
                m_arrivals.erase(m_arrivals.begin(), m_arrivals.begin() + kKeptArrivals / 2);
            m_arrivals.push_back(arrival);
            m_arrived.notify_all();
        }
    }

    int m_fd;
    int m_port = 0;
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<Time> m_arrivals;
    std::jthread m_thread;  // last: it stops before the rest goes
};

}  // namespace lumora::bench
