#pragma once
// sipp runs for tests and benchmarks: one process started by pid and, unless it ended by itself,
// killed by pid; a free UDP port to give it; and the SIP first lines of its message log, with
// when sipp sent or received each message.

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
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
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

// The request lines and status lines of a sipp message log (-trace_msg), in order.
inline std::vector<std::string> sipFirstLines(const std::filesystem::path& messageLog) {
    std::ifstream in(messageLog);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.starts_with("SIP/2.0 ") || line.ends_with(" SIP/2.0")) lines.push_back(line);
    }
    return lines;
}

// One message of a sipp message log (-trace_msg): sipp stamps each with the wall-clock time it
// sent it or took it in ("----- 2026-12-08 14:33:17.200967", local time).
struct SipLoggedMessage {
    std::chrono::system_clock::time_point time;
    bool sent = false;
    std::string firstLine;  // "INVITE sip:... SIP/2.0", "SIP/2.0 200 OK"
};

inline std::chrono::system_clock::time_point sippStampTime(const std::string& stamp) {
    std::tm civil{};
    int micros = 0;
    std::sscanf(stamp.c_str(), "%d-%d-%d %d:%d:%d.%d", &civil.tm_year, &civil.tm_mon, &civil.tm_mday, &civil.tm_hour,
                &civil.tm_min, &civil.tm_sec, &micros);
    civil.tm_year -= 1900;
    civil.tm_mon -= 1;
    civil.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&civil)) + std::chrono::microseconds(micros);
}

// The messages of a sipp message log, in order.
inline std::vector<SipLoggedMessage> sipLoggedMessages(const std::filesystem::path& messageLog) {
    std::ifstream in(messageLog);
    std::vector<SipLoggedMessage> messages;
    std::string line, stamp;
    bool sent = false, awaitingFirstLine = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t stampAt = line.find_first_not_of("- ");
        if (line.starts_with("-----") && stampAt != std::string::npos) {
            stamp = line.substr(stampAt);
        } else if (line.starts_with("UDP message ")) {
            sent = line.starts_with("UDP message sent");
            awaitingFirstLine = true;
        } else if (awaitingFirstLine && !line.empty()) {
            messages.push_back({sippStampTime(stamp), sent, line});
            awaitingFirstLine = false;
        }
    }
    return messages;
}

// The status code of the last response among a log's first lines; 0 when there is none.
inline int lastSipStatus(const std::vector<std::string>& firstLines) {
    int status = 0;
    for (const std::string& line : firstLines)
        if (line.starts_with("SIP/2.0 ")) status = std::atoi(line.c_str() + 8);
    return status;
}

// True once `line` is among the message log's first lines within the wait.
inline bool sipLogged(const std::filesystem::path& messageLog, const std::string& line,
                      std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        for (const auto& logged : sipFirstLines(messageLog))
            if (logged == line) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// True while something holds the UDP port on 127.0.0.1 (a sipp that has opened it).
inline bool udpPortTaken(int port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool taken = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0;
    ::close(fd);
    return taken;
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
    bool ended(std::chrono::milliseconds wait) {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (m_pid > 0 && std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return m_pid <= 0;
    }

    bool running() const { return m_pid > 0; }

    // sipp's exit code once it ended by itself: 0 when every call succeeded, 1 when some failed;
    // -1 while it runs, when it was killed or could not start.
    int exitCode() const { return m_exitCode; }

private:
    pid_t m_pid = -1;
    int m_exitCode = -1;
};

}  // namespace lumora::testing
