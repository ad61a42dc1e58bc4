#include "user_agent.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <thread>

#include "Automation/cancellation.hpp"
#include "Platform/Desktop/helper_processes.hpp"
#include "Platform/Desktop/tied_children.hpp"
#include "telephony_errors.hpp"

namespace lumora::telephony {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kStartWait = std::chrono::seconds(10);
constexpr auto kStopWait = std::chrono::seconds(2);
constexpr auto kAnswerWait = std::chrono::seconds(5);
constexpr auto kReaderPoll = std::chrono::milliseconds(200);
// Ports are chosen free a moment before the agent binds them; another program taking one in
// between makes that start fail, and the start is tried again on other ports.
constexpr int kStartAttempts = 3;
// A frame longer than this is not an event the agent sends; the connection is broken off.
constexpr size_t kMaxFrame = 1 << 20;
constexpr char kModulePath[] = "/usr/lib/baresip/modules";

class Socket {
public:
    explicit Socket(int fd = -1) : m_fd(fd) {}
    ~Socket() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

int freePort(int type) {
    Socket s(::socket(AF_INET, type | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (s.get() < 0 || ::bind(s.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(s.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        raise(TelephonyError::UserAgentFailed, "no free port on this machine");
    return ntohs(address.sin_port);
}

bool isLoopbackHost(const std::string& host) { return host == "127.0.0.1" || host == "localhost" || host == "[::1]"; }

void writeFile(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::trunc);
    out << text;
    out.close();
    if (!out) raise(TelephonyError::UserAgentFailed, "its configuration cannot be written");
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string lastLine(const std::string& log) {
    std::string line, last;
    for (char c : log) {
        if (c == '\n' || c == '\r') {
            if (!line.empty()) last = line;
            line.clear();
        } else {
            line += c;
        }
    }
    return line.empty() ? last : line;
}

std::string configText(const AgentSetup& setup, int sipPort, int controlPort) {
    const std::string listen = isLoopbackHost(setup.account.host) ? "127.0.0.1" : "0.0.0.0";
    // Opus is offered first, then G.711; the far end picks from what both have.
    std::string text = "poll_method epoll\n"
                       "sip_listen " + listen + ":" + std::to_string(sipPort) + "\n"
                       "module_path " + kModulePath + "\n"
                       "module opus.so\n"
                       "module g711.so\n";
    for (const std::string& line : setup.soundLines) text += line + "\n";
    text += "module_app account.so\n"
            "module_app menu.so\n"
            "module_app ctrl_tcp.so\n"
            "ctrl_tcp_listen 127.0.0.1:" + std::to_string(controlPort) + "\n";
    return text;
}

// How often a registration is renewed, in seconds.
constexpr int kRegistrationInterval = 600;

std::string accountText(const AgentSetup& setup) {
    std::string aor = "<sip:" + setup.account.user + "@" + setup.account.host;
    if (setup.account.port) aor += ":" + std::to_string(*setup.account.port);
    aor += ">;answermode=manual;regint=" + std::to_string(setup.registers ? kRegistrationInterval : 0);
    if (!setup.password.empty()) aor += ";auth_pass=" + setup.password;
    if (!setup.outboundProxy.empty()) aor += ";outbound=\"" + setup.outboundProxy + "\"";
    return aor + "\n";
}

AgentEvent eventOf(const nlohmann::json& doc) {
    return {doc.value("class", std::string()), doc.value("type", std::string()), doc.value("param", std::string()),
            doc.value("id", std::string()), doc.value("peeruri", std::string()),
            doc.value("direction", std::string())};
}

}  // namespace

struct UserAgent::Process {
    pid_t pid = -1;
    // Its own session, so its group: a stopping host ends it with the other helpers.
    desktop::process::HelperGroup listed;
    ~Process() {
        if (pid <= 0) return;
        // baresip ends its calls when told to stop; a stubborn one is killed with its group.
        ::kill(pid, SIGTERM);
        const auto deadline = Clock::now() + kStopWait;
        while (Clock::now() < deadline) {
            if (::waitpid(pid, nullptr, WNOHANG) == pid) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::kill(-pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    bool running() { return pid > 0 && ::waitpid(pid, nullptr, WNOHANG) == 0; }
};

struct UserAgent::Control {
    Socket socket;
    EventHandler onEvent;
    std::mutex mutex;
    std::condition_variable answered;
    std::map<std::string, nlohmann::json> answers;  // by token
    bool gone = false;
    std::atomic<bool> stopping{false};
    std::mutex commandMutex;  // one caller's sequence at a time
    int nextToken = 1;
    std::thread reader;

    Control(int fd, EventHandler handler) : socket(fd), onEvent(std::move(handler)) {
        reader = std::thread([this] { read(); });
    }
    ~Control() {
        stopping = true;
        ::shutdown(socket.get(), SHUT_RDWR);
        reader.join();
    }

    void send(const std::string& json) {
        const std::string frame = std::to_string(json.size()) + ":" + json + ",";
        size_t sent = 0;
        while (sent < frame.size()) {
            const ssize_t n = ::send(socket.get(), frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) raise(TelephonyError::UserAgentFailed, "its control connection closed");
            sent += static_cast<size_t>(n);
        }
    }

    nlohmann::json ask(const std::string& name, const std::string& params) {
        const std::string token = std::to_string(nextToken++);
        nlohmann::json request{{"command", name}, {"token", token}};
        if (!params.empty()) request["params"] = params;
        send(request.dump());
        const auto deadline = Clock::now() + kAnswerWait;
        std::unique_lock lock(mutex);
        for (;;) {
            if (auto found = answers.find(token); found != answers.end()) {
                nlohmann::json answer = std::move(found->second);
                answers.erase(found);
                return answer;
            }
            if (gone) raise(TelephonyError::UserAgentFailed, "it ended");
            // Not cancellable: a command is answered within moments, and a hang-up sent for a call
            // being cancelled must be seen through.
            if (answered.wait_until(lock, deadline) == std::cv_status::timeout && !answers.contains(token))
                raise(TelephonyError::UserAgentFailed, "it did not answer the command " + name);
        }
    }

    void read() {
        std::string buffer;
        while (!stopping) {
            pollfd waiting{socket.get(), POLLIN, 0};
            const int ready = ::poll(&waiting, 1, static_cast<int>(kReaderPoll.count()));
            if (ready < 0 && errno == EINTR) continue;
            if (ready == 0) continue;
            char chunk[4096];
            const ssize_t n = ready > 0 ? ::recv(socket.get(), chunk, sizeof chunk, 0) : -1;
            if (n <= 0) break;
            buffer.append(chunk, static_cast<size_t>(n));
            bool readable = true;
            while (auto frame = takeFrame(buffer, readable)) deliver(*frame);
            if (!readable) break;
        }
        {
            std::lock_guard lock(mutex);
            gone = true;
        }
        answered.notify_all();
        if (!stopping && onEvent) {
            AgentEvent ended;
            ended.kind = "agent";
            ended.type = "AGENT_ENDED";
            ended.param = "the SIP user agent ended";
            onEvent(ended);
        }
    }

    void deliver(const std::string& frame) {
        const auto doc = nlohmann::json::parse(frame, nullptr, false);
        if (!doc.is_object()) return;
        if (doc.value("response", false)) {
            {
                std::lock_guard lock(mutex);
                answers[doc.value("token", std::string())] = doc;
            }
            answered.notify_all();
        } else if (doc.value("event", false) && onEvent) {
            onEvent(eventOf(doc));
        }
    }

    static std::optional<std::string> takeFrame(std::string& buffer, bool& readable) {
        const size_t colon = buffer.find(':');
        if (colon == std::string::npos) {
            readable = buffer.size() <= 20;
            return std::nullopt;
        }
        size_t length = 0;
        for (size_t i = 0; i < colon; ++i) {
            if (buffer[i] < '0' || buffer[i] > '9' || length > kMaxFrame) {
                readable = false;
                return std::nullopt;
            }
            length = length * 10 + static_cast<size_t>(buffer[i] - '0');
        }
        if (length > kMaxFrame) {
            readable = false;
            return std::nullopt;
        }
        if (buffer.size() < colon + 1 + length + 1) return std::nullopt;
        std::string frame = buffer.substr(colon + 1, length);
        buffer.erase(0, colon + 1 + length + 1);
        return frame;
    }
};

UserAgent::UserAgent(const AgentSetup& setup, EventHandler onEvent) {
    std::string pattern = (fs::temp_directory_path() / "lumora-sip-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) raise(TelephonyError::UserAgentFailed, "no private folder could be made");
    m_folder.path = pattern;
    // The account is made once the control connection is up (below), so that none of its
    // events (the registration's answer) passes before anyone listens, and no password is written.
    writeFile(m_folder.path / "accounts", "");
    writeFile(m_folder.path / "contacts", "");

    const fs::path log = m_folder.path / "agent.log";
    for (int attempt = 1;; ++attempt) {
        const int controlPort = freePort(SOCK_STREAM);
        const int sipPort = freePort(SOCK_DGRAM);
        writeFile(m_folder.path / "config", configText(setup, sipPort, controlPort));

        m_process = std::make_unique<Process>();
        m_process->pid = desktop::process::spawnTiedChild("baresip", {"-f", m_folder.path.string()}, log);
        if (m_process->pid <= 0) {
            m_process->pid = -1;
            raise(TelephonyError::UserAgentMissing);
        }
        m_process->listed = desktop::process::HelperGroup(m_process->pid);

        const auto deadline = Clock::now() + kStartWait;
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(controlPort));
        bool ended = false;
        while (!m_control) {
            if (!m_process->running()) {
                m_process->pid = -1;
                ended = true;
                break;
            }
            int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
                m_control = std::make_unique<Control>(fd, std::move(onEvent));
                break;
            }
            if (fd >= 0) ::close(fd);
            if (Clock::now() > deadline) raise(TelephonyError::UserAgentFailed, "its control port did not open");
            checkCancelled();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (m_control) break;
        const std::string said = readFile(log);
        if (ended && said.find("in use") != std::string::npos && attempt < kStartAttempts) continue;
        raise(TelephonyError::UserAgentFailed, "it ended at start: " + lastLine(said));
    }
    // The agent's answer repeats the account line, password and all: it is never passed on.
    std::lock_guard serial(m_control->commandMutex);
    if (!m_control->ask("uanew", accountText(setup)).value("ok", false))
        raise(TelephonyError::UserAgentFailed, "it refused the line's account");
}

UserAgent::Folder::~Folder() {
    std::error_code ignored;
    if (!path.empty()) fs::remove_all(path, ignored);
}

UserAgent::~UserAgent() {
    m_control.reset();
    m_process.reset();
}

void UserAgent::commands(const std::vector<std::pair<std::string, std::string>>& sequence) {
    std::lock_guard serial(m_control->commandMutex);
    for (const auto& [name, params] : sequence) {
        const nlohmann::json answer = m_control->ask(name, params);
        if (!answer.value("ok", false)) raise(TelephonyError::UserAgentFailed, answer.value("data", std::string("refused")));
    }
}

}  // namespace lumora::telephony
