#pragma once
// sipp as users of the PBX (SipPbx), with the scenarios in sipp/ beside this header:
// - registerWithSipp: one digest-authenticated REGISTER of a user, and the status the PBX gave it.
// - SippAnsweringPhone: a colleague's phone, registered at the PBX as its user, that rings,
//   answers and echoes the caller's audio (-rtp_echo) until the caller hangs up; or, for a
//   benchmark that listens for the caller's audio itself, answers with a media port of its choosing.
// - SippCaller: registers as its user, calls another user through the PBX (answering the proxy
//   challenge), sends audio for the call's length and hangs up; for tests, and as the floor a
//   benchmark compares the product's calls with.
// Every sipp is started and ended by pid; its messages are logged in the folder the caller gives.

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "sip_pbx.hpp"
#include "sipp_process.hpp"
#include "support_folder.hpp"

namespace lumora::testing {

inline std::filesystem::path sippScenario(const std::string& name) { return testSupportFolder() / "sipp" / name; }

struct SippRegistration {
    int status = 0;  // the PBX's last answer to the REGISTER: 200, 403...; 0 for none
    std::vector<std::string> firstLines;
};

// Registers `user` at the PBX with its contact on 127.0.0.1:`contactPort` (0: sipp's own port).
// Waits at most 15 s.
inline SippRegistration registerWithSipp(const SipPbx& pbx, const SipUser& user, const std::filesystem::path& folder,
                                         int contactPort = 0) {
    const int port = freeUdpPort();
    const std::string name = "register-" + user.name + "-" + std::to_string(port);
    const std::filesystem::path log = folder / (name + ".log");
    SippProcess sipp({"127.0.0.1:" + std::to_string(pbx.port()), "-sf", sippScenario("register.xml").string(), "-s",
                      user.name, "-ap", user.password, "-key", "contact_port",
                      std::to_string(contactPort ? contactPort : port), "-i", "127.0.0.1", "-p", std::to_string(port),
                      "-m", "1", "-timeout", "10s", "-nostdin", "-trace_msg", "-message_file", log.string()},
                     folder / (name + ".out"));
    sipp.ended(std::chrono::seconds(15));
    SippRegistration registration;
    registration.firstLines = sipFirstLines(log);
    registration.status = lastSipStatus(registration.firstLines);
    return registration;
}

class SippAnsweringPhone {
public:
    // Answers `calls` calls, then ends. Its answers offer sipp's own echoing media port, or
    // `answeredMediaPort` on 127.0.0.1 when given. Throws when the PBX does not take its registration.
    SippAnsweringPhone(const SipPbx& pbx, const SipUser& user, const std::filesystem::path& folder, int calls = 1,
                       int answeredMediaPort = 0)
        : m_port(freeUdpPort()),
          m_mediaPort(freeUdpPort()),
          m_log(folder / ("phone-" + user.name + "-" + std::to_string(m_port) + ".log")),
          m_process({"-sf", sippScenario("answer.xml").string(), "-s", user.name, "-i", "127.0.0.1", "-p",
                     std::to_string(m_port), "-mp", std::to_string(m_mediaPort), "-rtp_echo", "-key",
                     "answered_media_port", std::to_string(answeredMediaPort ? answeredMediaPort : m_mediaPort),
                     "-m", std::to_string(calls), "-nostdin", "-trace_msg", "-message_file", m_log.string()},
                    folder / ("phone-" + user.name + "-" + std::to_string(m_port) + ".out")) {
        // The PBX may send a call as soon as the registration is in: sipp must hold its port by then.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!udpPortTaken(m_port) && m_process.running() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const SippRegistration registration = registerWithSipp(pbx, user, folder, m_port);
        if (registration.status != 200)
            throw std::runtime_error("the PBX did not register " + user.name + "'s phone: status " +
                                     std::to_string(registration.status));
    }

    int port() const { return m_port; }
    int mediaPort() const { return m_mediaPort; }
    bool answered(std::chrono::milliseconds wait) const { return sipLogged(m_log, "SIP/2.0 200 OK", wait); }
    bool ended(std::chrono::milliseconds wait) { return m_process.ended(wait); }
    int exitCode() const { return m_process.exitCode(); }
    std::vector<std::string> firstLines() const { return sipFirstLines(m_log); }
    std::vector<SipLoggedMessage> messages() const { return sipLoggedMessages(m_log); }

private:
    int m_port;
    int m_mediaPort;
    std::filesystem::path m_log;
    SippProcess m_process;
};

class SippCaller {
public:
    // Places `calls` calls from `user` to `callee`, each lasting `callLength` once answered, at
    // sipp's default rate (10 a second). Each call gives up after 30 s.
    SippCaller(const SipPbx& pbx, const SipUser& user, const std::string& callee, const std::filesystem::path& folder,
               std::chrono::milliseconds callLength = std::chrono::milliseconds(1000), int calls = 1)
        : m_port(freeUdpPort()),
          m_log(folder / ("caller-" + user.name + "-" + std::to_string(m_port) + ".log")),
          m_process({"127.0.0.1:" + std::to_string(pbx.port()), "-sf", sippScenario("call.xml").string(), "-s",
                     user.name, "-ap", user.password, "-key", "callee", callee, "-key", "audio", audioFile(), "-d",
                     std::to_string(callLength.count()), "-i", "127.0.0.1", "-p", std::to_string(m_port), "-mp",
                     std::to_string(freeUdpPort()), "-m", std::to_string(calls), "-recv_timeout", "30s", "-nostdin",
                     "-trace_msg", "-message_file", m_log.string()},
                    folder / ("caller-" + user.name + "-" + std::to_string(m_port) + ".out")) {}

    bool ended(std::chrono::milliseconds wait) { return m_process.ended(wait); }
    // 0 once every call was answered and hung up; 1 when some failed.
    int exitCode() const { return m_process.exitCode(); }
    std::vector<std::string> firstLines() const { return sipFirstLines(m_log); }
    // The PBX's or the callee's last answer: 200 to the BYE of a completed call, 404, 480...
    int lastStatus() const { return lastSipStatus(firstLines()); }
    std::vector<SipLoggedMessage> messages() const { return sipLoggedMessages(m_log); }

private:
    // A few seconds of G.711 A-law that Debian's sipp package ships.
    static std::string audioFile() { return "/usr/share/sip-tester/g711a.pcap"; }

    int m_port;
    std::filesystem::path m_log;
    SippProcess m_process;
};

}  // namespace lumora::testing
