#pragma once
// A real PBX for telephony tests: Debian's kamailio on a free UDP port of 127.0.0.1, run in the
// foreground in a process group of its own, with its configuration, runtime folder and log in a
// temporary folder of its own. No database: registrations are held in memory and the users'
// passwords are written into the generated routing script.
//
// What it answers:
// - OPTIONS to the PBX itself: 200 (the readiness check the constructor waits for).
// - REGISTER without credentials, or with a stale nonce: 401 with a digest challenge for the
//   realm kRealm. With a wrong password, an unknown user, or credentials of a user other than the
//   one registered (To): 403 Forbidden, never a new challenge. With the right password: 200 OK,
//   the contact saved.
// - A new INVITE (or any other new request) without proxy credentials: 407 with a challenge;
//   wrong credentials, or credentials of a user other than the From user: 403.
// - An authenticated INVITE to a user (sip:bob@127.0.0.1:PORT; only the user part counts): 404 for
//   a user the PBX does not know, 480 for a known user with no registered contact, otherwise
//   proxied to the contact, record-routed so that ACK, BYE and re-INVITEs pass through the PBX.
//   A contact that gives no answer at all (a phone gone without unregistering): 408 after 5 s.
//
// stop() ends it (SIGTERM, then SIGKILL after a bounded wait), as a PBX going away mid-call; the
// destructor stops it and removes the folder. A kamailio that does not start or answer makes the
// constructor throw with the end of its log. Every wait is bounded.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "sipp_process.hpp"

extern char** environ;

namespace lumora::testing {

struct SipUser {
    std::string name;
    std::string password;
};

class SipPbx {
public:
    static constexpr std::string_view kRealm = "lumora.test";

    // SipPbx({{"ann", "annpass"}, {"bob", "bobpass"}}); one user needs the same double braces.
    SipPbx(std::initializer_list<SipUser> users) : SipPbx(std::vector<SipUser>(users)) {}

    explicit SipPbx(std::vector<SipUser> users) : m_users(std::move(users)) {
        for (const SipUser& user : m_users) checkUser(user);
        std::string pattern = (std::filesystem::temp_directory_path() / "lumora-pbx-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("could not make the PBX folder");
        m_folder = pattern;
        try {
            std::filesystem::create_directory(m_folder / "run");
            m_port = freeUdpPort();
            std::ofstream(m_folder / "kamailio.cfg") << configuration();
            start();
        } catch (...) {
            removeFolder();
            throw;
        }
    }

    ~SipPbx() {
        stop();
        removeFolder();
    }
    SipPbx(const SipPbx&) = delete;
    SipPbx& operator=(const SipPbx&) = delete;

    // Whether Debian's kamailio is installed (it lives in /usr/sbin, not always on PATH).
    static bool available() { return !program().empty(); }

    int port() const { return m_port; }
    std::string uri() const { return "sip:127.0.0.1:" + std::to_string(m_port); }
    std::string uriOf(std::string_view user) const {
        return "sip:" + std::string(user) + "@127.0.0.1:" + std::to_string(m_port);
    }
    const std::filesystem::path& folder() const { return m_folder; }
    bool running() const { return m_pid > 0; }

    // kamailio's log so far (its standard output and error).
    std::string log() const {
        std::ifstream in(m_folder / "kamailio.log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // The PBX goes away: SIGTERM to its process group, SIGKILL if it has not ended within 5 s.
    void stop() {
        if (m_pid <= 0) return;
        ::kill(-m_pid, SIGTERM);
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (::waitpid(m_pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(-m_pid, SIGKILL);
                ::waitpid(m_pid, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        m_pid = 0;
    }

private:
    static std::string program() {
        for (const char* candidate : {"/usr/sbin/kamailio", "/usr/local/sbin/kamailio"})
            if (::access(candidate, X_OK) == 0) return candidate;
        return onPath("kamailio") ? "kamailio" : "";
    }

    // User names go into SIP URIs and passwords into the script's quoted strings: only characters
    // that need no escaping in either are taken.
    static void checkUser(const SipUser& user) {
        const bool nameFits = !user.name.empty() && user.name.find_first_not_of("abcdefghijklmnopqrstuvwxyz"
                                                                                "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                                                "0123456789._-") == std::string::npos;
        bool passwordFits = !user.password.empty();
        for (char c : user.password)
            if (c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20) passwordFits = false;
        if (!nameFits || !passwordFits)
            throw std::invalid_argument("a PBX user needs a name of letters, digits, '.', '_' or '-' and a non-empty "
                                        "password without quotes, backslashes or control characters: '" +
                                        user.name + "'");
    }

    std::string configuration() const {
        const std::string port = std::to_string(m_port);
        const std::string realm = "\"" + std::string(kRealm) + "\"";
        std::string passwords;
        for (const SipUser& user : m_users)
            passwords += "    if ($var(user) == \"" + user.name + "\") $var(password) = \"" + user.password + "\";\n";
        return "#!KAMAILIO\n"
               "debug=2\n"
               "log_stderror=yes\n"
               "children=2\n"
               "disable_tcp=yes\n"
               "auto_aliases=no\n"
               "listen=udp:127.0.0.1:" + port + "\n"
               "alias=\"127.0.0.1:" + port + "\"\n"
               "loadmodule \"kex.so\"\n"
               "loadmodule \"tm.so\"\n"
               "loadmodule \"tmx.so\"\n"
               "loadmodule \"sl.so\"\n"
               "loadmodule \"rr.so\"\n"
               "loadmodule \"pv.so\"\n"
               "loadmodule \"maxfwd.so\"\n"
               "loadmodule \"usrloc.so\"\n"
               "loadmodule \"registrar.so\"\n"
               "loadmodule \"textops.so\"\n"
               "loadmodule \"siputils.so\"\n"
               "loadmodule \"xlog.so\"\n"
               "loadmodule \"sanity.so\"\n"
               "loadmodule \"auth.so\"\n"
               "modparam(\"tm\", \"fr_timer\", 5000)\n"
               "modparam(\"rr\", \"append_fromtag\", 1)\n"
               "modparam(\"registrar\", \"max_expires\", 3600)\n"
               "modparam(\"auth\", \"nonce_expire\", 300)\n"
               "\n"
               "request_route {\n"
               "    if (!mf_process_maxfwd_header(\"10\")) { sl_send_reply(\"483\", \"Too Many Hops\"); exit; }\n"
               "    if (!sanity_check()) exit;\n"
               "    if (is_method(\"OPTIONS\") && uri == myself && $rU == $null) { sl_send_reply(\"200\", \"Ready\"); "
               "exit; }\n"
               "    if (has_totag()) { route(IN_DIALOG); exit; }\n"
               "    if (is_method(\"CANCEL\")) { if (t_check_trans()) t_relay(); exit; }\n"
               "    if (!is_method(\"ACK\")) t_check_trans();\n"
               "    if (is_method(\"REGISTER\")) { route(REGISTER); exit; }\n"
               "    if (is_method(\"ACK\")) exit;\n"
               "    route(CALLER);\n"
               "    route(CALLEE);\n"
               "}\n"
               "\n"
               "route[IN_DIALOG] {\n"
               "    if (loose_route()) { t_relay(); exit; }\n"
               "    if (is_method(\"ACK\")) { if (t_check_trans()) t_relay(); exit; }\n"
               "    sl_send_reply(\"404\", \"Not Here\");\n"
               "}\n"
               "\n"
               "# $var(password): the password of $var(user), \"\" for a user this PBX does not know.\n"
               "route[PASSWORD] {\n"
               "    $var(password) = \"\";\n" +
               passwords +
               "}\n"
               "\n"
               "route[REGISTER] {\n"
               "    if ($au == $null) { www_challenge(" + realm + ", \"0\"); exit; }\n"
               "    $var(user) = $au;\n"
               "    route(PASSWORD);\n"
               "    if ($var(password) == \"\" || $au != $tU) { sl_send_reply(\"403\", \"Forbidden\"); exit; }\n"
               "    pv_www_authenticate(" + realm + ", \"$var(password)\", \"0\");\n"
               "    $var(rc) = $rc;\n"
               "    # A stale or reused nonce gets a fresh challenge; a wrong password is refused.\n"
               "    if ($var(rc) == -4 || $var(rc) == -6) { www_challenge(" + realm + ", \"0\"); exit; }\n"
               "    if ($var(rc) < 0) { sl_send_reply(\"403\", \"Forbidden\"); exit; }\n"
               "    consume_credentials();\n"
               "    if (!save(\"location\")) sl_reply_error();\n"
               "}\n"
               "\n"
               "route[CALLER] {\n"
               "    if ($au == $null) { proxy_challenge(" + realm + ", \"0\"); exit; }\n"
               "    $var(user) = $au;\n"
               "    route(PASSWORD);\n"
               "    if ($var(password) == \"\" || $au != $fU) { sl_send_reply(\"403\", \"Forbidden\"); exit; }\n"
               "    pv_proxy_authenticate(" + realm + ", \"$var(password)\", \"0\");\n"
               "    $var(rc) = $rc;\n"
               "    # A stale or reused nonce gets a fresh challenge; a wrong password is refused.\n"
               "    if ($var(rc) == -4 || $var(rc) == -6) { proxy_challenge(" + realm + ", \"0\"); exit; }\n"
               "    if ($var(rc) < 0) { sl_send_reply(\"403\", \"Forbidden\"); exit; }\n"
               "    consume_credentials();\n"
               "}\n"
               "\n"
               "route[CALLEE] {\n"
               "    if ($rU == $null) { sl_send_reply(\"404\", \"Not Found\"); exit; }\n"
               "    $var(user) = $rU;\n"
               "    route(PASSWORD);\n"
               "    if ($var(password) == \"\") { sl_send_reply(\"404\", \"Not Found\"); exit; }\n"
               "    if (!lookup(\"location\")) { sl_send_reply(\"480\", \"Temporarily Unavailable\"); exit; }\n"
               "    record_route();\n"
               "    if (!t_relay()) sl_reply_error();\n"
               "}\n";
    }

    void start() {
        const std::string kamailio = program();
        if (kamailio.empty()) throw std::runtime_error("kamailio is not installed (Debian's kamailio package)");
        const std::string config = (m_folder / "kamailio.cfg").string();
        const std::string runtime = (m_folder / "run").string();
        const std::string logPath = (m_folder / "kamailio.log").string();
        // Modules come from the package's own folder. -DD: no daemon, the main process stays ours;
        // -E: the log to standard error; -Y: its runtime files in our folder; small memory pools,
        // enough for a few calls.
        std::vector<std::string> args{kamailio, "-DD", "-E", "-f", config, "-Y", runtime, "-m", "32", "-M", "8"};
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        // A group of its own, so that stopping it reaches the worker processes it forks.
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
        const int rc = ::posix_spawnp(&m_pid, kamailio.c_str(), &actions, &attributes, argv.data(), environ);
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) {
            m_pid = 0;
            throw std::runtime_error("could not start kamailio");
        }
        try {
            waitUntilAnswering();
        } catch (...) {
            stop();
            throw;
        }
    }

    // Ready once the PBX answers an OPTIONS with 200; sent again every 100 ms for up to 20 s.
    void waitUntilAnswering() {
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (fd < 0) throw std::runtime_error("no UDP socket for the PBX's readiness check");
        struct Closer {
            int fd;
            ~Closer() { ::close(fd); }
        } closer{fd};
        sockaddr_in pbx{};
        pbx.sin_family = AF_INET;
        pbx.sin_port = htons(static_cast<uint16_t>(m_port));
        pbx.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        sockaddr_in local = pbx;
        local.sin_port = 0;
        socklen_t length = sizeof local;
        ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length);
        const std::string options = "OPTIONS " + uri() + " SIP/2.0\r\n"
                                    "Via: SIP/2.0/UDP 127.0.0.1:" + std::to_string(ntohs(local.sin_port)) +
                                    ";branch=z9hG4bK-lumora-ready\r\n"
                                    "From: <sip:ready@127.0.0.1>;tag=ready\r\n"
                                    "To: <" + uri() + ">\r\n"
                                    "Call-ID: ready@127.0.0.1\r\n"
                                    "CSeq: 1 OPTIONS\r\n"
                                    "Max-Forwards: 70\r\n"
                                    "Content-Length: 0\r\n\r\n";
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = 0;
                throw std::runtime_error("kamailio ended at start:\n" + logTail());
            }
            ::sendto(fd, options.data(), options.size(), 0, reinterpret_cast<sockaddr*>(&pbx), sizeof pbx);
            pollfd waiting{fd, POLLIN, 0};
            if (::poll(&waiting, 1, 100) > 0) {
                char answer[2048] = {};
                if (::recv(fd, answer, sizeof answer - 1, 0) > 0 && std::string_view(answer).starts_with("SIP/2.0 200"))
                    return;
            }
        }
        throw std::runtime_error("kamailio does not answer on port " + std::to_string(m_port) + ":\n" + logTail());
    }

    std::string logTail(size_t lines = 20) const {
        std::istringstream in(log());
        std::deque<std::string> last;
        for (std::string line; std::getline(in, line);) {
            last.push_back(line);
            if (last.size() > lines) last.pop_front();
        }
        std::string text;
        for (const std::string& line : last) text += line + "\n";
        return text;
    }

    void removeFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    std::vector<SipUser> m_users;
    std::filesystem::path m_folder;
    pid_t m_pid = 0;
    int m_port = 0;
};

}  // namespace lumora::testing
