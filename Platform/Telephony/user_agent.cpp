#include "user_agent.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>
#include <vector>

#include "Automation/cancellation.hpp"
#include "Platform/Desktop/helper_processes.hpp"
#include "telephony_errors.hpp"

extern char** environ;

namespace lumora::telephony {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kStartWait = std::chrono::seconds(5);
constexpr auto kStopWait = std::chrono::seconds(2);
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

// A port on 127.0.0.1 that nothing listens on now. The agent binds it a moment later; another
// program taking it in between makes the start fail, which is reported, never mistaken.
int freePort(int type) {
    Socket s(::socket(AF_INET, type, 0));
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

std::string lastLines(const fs::path& log) {
    std::ifstream in(log);
    std::string line, last;
    while (std::getline(in, line))
        if (!line.empty()) last = line;
    return last;
}

std::optional<AgentEvent> callEventOf(const nlohmann::json& doc) {
    if (!doc.is_object() || !doc.value("event", false) || doc.value("class", std::string()) != "call") return std::nullopt;
    return AgentEvent{doc.value("type", std::string()), doc.value("param", std::string())};
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
    std::string buffer;
    std::deque<AgentEvent> pending;

    explicit Control(int fd) : socket(fd) {}

    void send(const std::string& json) {
        const std::string frame = std::to_string(json.size()) + ":" + json + ",";
        size_t sent = 0;
        while (sent < frame.size()) {
            const ssize_t n = ::send(socket.get(), frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) raise(TelephonyError::UserAgentFailed, "its control connection closed");
            sent += static_cast<size_t>(n);
        }
    }

    // The next whole frame before the deadline. A call cancelled meanwhile stops waiting (18).
    std::optional<std::string> receive(Clock::time_point deadline) {
        for (;;) {
            if (auto frame = takeFrame()) return frame;
            const auto waited = desktop::process::waitReadable(socket.get(), deadline);
            if (waited == desktop::process::WaitOutcome::Cancelled) checkCancelled();
            if (waited != desktop::process::WaitOutcome::Ready) return std::nullopt;
            char chunk[4096];
            const ssize_t n = ::recv(socket.get(), chunk, sizeof chunk, 0);
            if (n <= 0) raise(TelephonyError::UserAgentFailed, "its control connection closed");
            buffer.append(chunk, static_cast<size_t>(n));
        }
    }

    std::optional<std::string> takeFrame() {
        const size_t colon = buffer.find(':');
        if (colon == std::string::npos) {
            if (buffer.size() > 20) raise(TelephonyError::UserAgentFailed, "it sent an unreadable frame");
            return std::nullopt;
        }
        size_t length = 0;
        for (size_t i = 0; i < colon; ++i) {
            if (buffer[i] < '0' || buffer[i] > '9') raise(TelephonyError::UserAgentFailed, "it sent an unreadable frame");
            length = length * 10 + static_cast<size_t>(buffer[i] - '0');
            if (length > kMaxFrame) raise(TelephonyError::UserAgentFailed, "it sent an unreadable frame");
        }
        if (buffer.size() < colon + 1 + length + 1) return std::nullopt;
        std::string frame = buffer.substr(colon + 1, length);
        buffer.erase(0, colon + 1 + length + 1);
        return frame;
    }
};

UserAgent::UserAgent(const SipAccount& account, const std::string& password) {
    std::string pattern = (fs::temp_directory_path() / "lumora-sip-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) raise(TelephonyError::UserAgentFailed, "no private folder could be made");
    m_folder.path = pattern;

    const int controlPort = freePort(SOCK_STREAM);
    const int sipPort = freePort(SOCK_DGRAM);
    // Only what a call needs: the account, the G.711 codecs, the control port. No audio device
    // is named, so a machine without sound still places calls; no registration is made, since
    // the line only dials out.
    const std::string listen = isLoopbackHost(account.host) ? "127.0.0.1" : "0.0.0.0";
    writeFile(m_folder.path / "config", "poll_method epoll\n"
                                   "sip_listen " + listen + ":" + std::to_string(sipPort) + "\n"
                                   "module_path " + kModulePath + "\n"
                                   "module g711.so\n"
                                   "module_app account.so\n"
                                   "module_app menu.so\n"
                                   "module_app ctrl_tcp.so\n"
                                   "ctrl_tcp_listen 127.0.0.1:" + std::to_string(controlPort) + "\n");
    std::string aor = "<sip:" + account.user + "@" + account.host;
    if (account.port) aor += ":" + std::to_string(*account.port);
    aor += ">;regint=0";
    if (!password.empty()) aor += ";auth_pass=" + password;
    writeFile(m_folder.path / "accounts", aor + "\n");
    writeFile(m_folder.path / "contacts", "");

    const fs::path log = m_folder.path / "agent.log";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    const std::string folder = m_folder.path.string();
    std::vector<char*> argv{const_cast<char*>("baresip"), const_cast<char*>("-f"), const_cast<char*>(folder.c_str()),
                            nullptr};
    m_process = std::make_unique<Process>();
    const int spawned = ::posix_spawnp(&m_process->pid, "baresip", &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        m_process->pid = -1;
        raise(TelephonyError::UserAgentMissing);
    }
    m_process->listed = desktop::process::HelperGroup(m_process->pid);

    const auto deadline = Clock::now() + kStartWait;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(controlPort));
    while (!m_control) {
        if (!m_process->running()) {
            m_process->pid = -1;
            raise(TelephonyError::UserAgentFailed, "it ended at start: " + lastLines(log));
        }
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            m_control = std::make_unique<Control>(fd);
            break;
        }
        if (fd >= 0) ::close(fd);
        if (Clock::now() > deadline) raise(TelephonyError::UserAgentFailed, "its control port did not open");
        checkCancelled();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

UserAgent::Folder::~Folder() {
    std::error_code ignored;
    if (!path.empty()) fs::remove_all(path, ignored);
}

UserAgent::~UserAgent() {
    m_control.reset();
    m_process.reset();
}

void UserAgent::command(const std::string& name, const std::string& params) {
    const std::string token = std::to_string(m_nextToken++);
    nlohmann::json request{{"command", name}, {"token", token}};
    if (!params.empty()) request["params"] = params;
    m_control->send(request.dump());
    const auto deadline = Clock::now() + kStartWait;
    for (;;) {
        const auto frame = m_control->receive(deadline);
        if (!frame) raise(TelephonyError::UserAgentFailed, "it did not answer the command " + name);
        const auto doc = nlohmann::json::parse(*frame, nullptr, false);
        if (!doc.is_object()) continue;
        if (doc.value("response", false) && doc.value("token", std::string()) == token) {
            if (!doc.value("ok", false)) raise(TelephonyError::UserAgentFailed, doc.value("data", std::string("refused")));
            return;
        }
        // Call events that arrive before the answer are kept for nextCallEvent.
        if (auto event = callEventOf(doc)) m_control->pending.push_back(std::move(*event));
    }
}

std::optional<AgentEvent> UserAgent::nextCallEvent(Clock::time_point deadline) {
    if (!m_control->pending.empty()) {
        AgentEvent event = std::move(m_control->pending.front());
        m_control->pending.pop_front();
        return event;
    }
    for (;;) {
        const auto frame = m_control->receive(deadline);
        if (!frame) return std::nullopt;
        if (auto event = callEventOf(nlohmann::json::parse(*frame, nullptr, false))) return event;
    }
}

}  // namespace lumora::telephony
