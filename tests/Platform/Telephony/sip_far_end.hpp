#pragma once
// The far end of a real SIP call on loopback: sipp answering as a user agent server, started
// by pid and stopped by pid, its SIP messages logged to a file the test reads back.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace lumora::testing {

inline bool onPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// A UDP port on 127.0.0.1 that is free now.
inline int freeUdpPort() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// One sipp run, started by pid and, unless it ended by itself, killed by pid.
class SippProcess {
public:
    SippProcess(const std::vector<std::string>& args, const std::filesystem::path& output) {
        std::vector<char*> argv{const_cast<char*>("sipp")};
        for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        if (::posix_spawnp(&m_pid, "sipp", &actions, nullptr, argv.data(), environ) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~SippProcess() {
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    SippProcess(const SippProcess&) = delete;
    SippProcess& operator=(const SippProcess&) = delete;

    // True once sipp has ended by itself (its calls are done) within the wait.
    bool ended(std::chrono::seconds wait) {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (m_pid > 0 && std::chrono::steady_clock::now() < deadline) {
            if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = -1;
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return m_pid <= 0;
    }

private:
    pid_t m_pid = -1;
};

class SippFarEnd {
public:
    // sipp's built-in answering scenario: 180 Ringing, 200 OK, then it waits for the BYE.
    explicit SippFarEnd(const std::filesystem::path& folder, int calls = 1)
        : m_port(freeUdpPort()),
          m_log(folder / "sipp-messages.log"),
          m_process({"-sn", "uas", "-i", "127.0.0.1", "-p", std::to_string(m_port), "-m", std::to_string(calls),
                     "-nostdin", "-trace_msg", "-message_file", m_log.string()},
                    folder / "sipp.out") {
        // sipp opens its port within moments; a call placed before would meet a closed port.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }

    int port() const { return m_port; }
    bool ended(std::chrono::seconds wait) { return m_process.ended(wait); }

    // True once sipp has logged its 200 OK to the INVITE within the wait.
    bool answered(std::chrono::seconds wait) const {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (std::chrono::steady_clock::now() < deadline) {
            for (const auto& line : firstLines())
                if (line == "SIP/2.0 200 OK") return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    // The request lines and status lines sipp saw and sent, in order.
    std::vector<std::string> firstLines() const {
        std::ifstream in(m_log);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.starts_with("SIP/2.0 ") || line.ends_with(" SIP/2.0")) lines.push_back(line);
        }
        return lines;
    }

    // When each INVITE arrived, from the time stamps sipp writes above every message it logs
    // ("----- 2026-12-08 14:33:17.200967", local time).
    std::vector<std::chrono::system_clock::time_point> inviteTimes() const {
        std::ifstream in(m_log);
        std::vector<std::chrono::system_clock::time_point> times;
        std::string line, stamp;
        bool received = false;
        while (std::getline(in, line)) {
            const size_t stampAt = line.find_first_not_of("- ");
            if (line.starts_with("-----") && stampAt != std::string::npos) stamp = line.substr(stampAt);
            else if (line.starts_with("UDP message ")) received = line.starts_with("UDP message received");
            else if (received && line.starts_with("INVITE ")) times.push_back(timeOf(stamp));
        }
        return times;
    }

private:
    static std::chrono::system_clock::time_point timeOf(const std::string& stamp) {
        std::tm civil{};
        int micros = 0;
        std::sscanf(stamp.c_str(), "%d-%d-%d %d:%d:%d.%d", &civil.tm_year, &civil.tm_mon, &civil.tm_mday,
                    &civil.tm_hour, &civil.tm_min, &civil.tm_sec, &micros);
        civil.tm_year -= 1900;
        civil.tm_mon -= 1;
        civil.tm_isdst = -1;
        return std::chrono::system_clock::from_time_t(std::mktime(&civil)) + std::chrono::microseconds(micros);
    }

    int m_port;
    std::filesystem::path m_log;
    SippProcess m_process;
};

}  // namespace lumora::testing
