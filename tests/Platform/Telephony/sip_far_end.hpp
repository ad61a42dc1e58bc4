#pragma once
// The far end of a real SIP call on loopback: sipp answering as a user agent server, started
// by pid and stopped by pid, its SIP messages logged to a file the test reads back.

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/sipp_process.hpp"

namespace lumora::testing {

class SippFarEnd {
public:
    // sipp's built-in answering scenario: 180 Ringing, 200 OK, then it waits for the BYE; with
    // `echo`, it sends back every RTP packet it receives.
    explicit SippFarEnd(const std::filesystem::path& folder, int calls = 1, bool echo = false)
        : m_port(freeUdpPort()),
          m_log(folder / "sipp-messages.log"),
          m_process(arguments(m_port, calls, echo, m_log), folder / "sipp.out") {
        // sipp opens its port within moments; a call placed before would meet a closed port.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }

    // Every SIP message sipp saw and sent, as it logged them.
    std::string messages() const {
        std::ifstream in(m_log);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    int port() const { return m_port; }
    bool ended(std::chrono::seconds wait) { return m_process.ended(wait); }

    // True once sipp has logged its 200 OK to the INVITE within the wait.
    bool answered(std::chrono::seconds wait) const { return sipLogged(m_log, "SIP/2.0 200 OK", wait); }

    // The request lines and status lines sipp saw and sent, in order.
    std::vector<std::string> firstLines() const { return sipFirstLines(m_log); }

    // When each INVITE arrived, as sipp stamped it in its message log.
    std::vector<std::chrono::system_clock::time_point> inviteTimes() const {
        std::vector<std::chrono::system_clock::time_point> times;
        for (const SipLoggedMessage& message : sipLoggedMessages(m_log))
            if (!message.sent && message.firstLine.starts_with("INVITE ")) times.push_back(message.time);
        return times;
    }

private:
    static std::vector<std::string> arguments(int port, int calls, bool echo, const std::filesystem::path& log) {
        std::vector<std::string> args{"-sn", "uas", "-i", "127.0.0.1", "-p", std::to_string(port), "-m",
                                      std::to_string(calls), "-nostdin", "-trace_msg", "-message_file", log.string()};
        if (echo) {
            args.push_back("-rtp_echo");
            args.insert(args.end(), {"-mp", std::to_string(freeUdpPort())});
        }
        return args;
    }

    int m_port;
    std::filesystem::path m_log;
    SippProcess m_process;
};

}  // namespace lumora::testing
