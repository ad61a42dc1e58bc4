#pragma once
// A real CalDAV/CardDAV server for tests: Debian's radicale on a free loopback port, with its
// storage, its users and its rights in a temporary folder of its own. Two users, alice and bob,
// each own the collections below their principal; bob may also see alice's principal (the
// list of her collections) and read, not write, her collection "shared", the way a radicale
// admin shares a calendar. Her other collections stay hidden from him. The server runs in its own process group,
// which is ended (and the folder removed) when the object goes away. Every wait is bounded.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "loopback_port.hpp"

extern char** environ;

namespace lumora::test {

class RadicaleServer {
public:
    static constexpr std::string_view kAlice = "alice";
    static constexpr std::string_view kAlicePassword = "alice-secret";
    static constexpr std::string_view kBob = "bob";
    static constexpr std::string_view kBobPassword = "bob-secret";

    RadicaleServer() {
        setenv("NO_PROXY", "127.0.0.1,localhost", 1);
        std::string pattern = (std::filesystem::temp_directory_path() / "lumora-radicale-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("could not make the radicale folder");
        m_folder = pattern;
        m_port = freeLoopbackPort();
        writeFile("users", std::string(kAlice) + ":" + std::string(kAlicePassword) + "\n" + std::string(kBob) + ":" +
                               std::string(kBobPassword) + "\n");
        // The first rule that matches both user and collection decides.
        writeFile("rights",
                  "[root]\nuser: .+\ncollection:\npermissions: R\n\n"
                  "[principal]\nuser: .+\ncollection: {user}\npermissions: RW\n\n"
                  // "R" on a principal lists it and those of its collections the user may read.
                  "[bob-sees-alice]\nuser: bob\ncollection: alice\npermissions: R\n\n"
                  "[alice-shares-with-bob]\nuser: bob\ncollection: alice/shared\npermissions: r\n\n"
                  "[own-collections]\nuser: .+\ncollection: {user}/[^/]+\npermissions: rw\n");
        writeFile("config", "[server]\nhosts = 127.0.0.1:" + std::to_string(m_port) +
                                "\n[auth]\ntype = htpasswd\nhtpasswd_filename = " + (m_folder / "users").string() +
                                "\nhtpasswd_encryption = plain\ndelay = 0\n"
                                "[rights]\ntype = from_file\nfile = " + (m_folder / "rights").string() +
                                "\n[storage]\nfilesystem_folder = " + (m_folder / "collections").string() +
                                "\n[web]\ntype = none\n[logging]\nlevel = warning\n");
        start();
    }

    ~RadicaleServer() {
        stop();
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    RadicaleServer(const RadicaleServer&) = delete;
    RadicaleServer& operator=(const RadicaleServer&) = delete;

    // "http://127.0.0.1:<port>" + path.
    std::string url(std::string_view path = "/") const {
        return "http://127.0.0.1:" + std::to_string(m_port) + std::string(path);
    }
    int port() const { return m_port; }
    const std::filesystem::path& folder() const { return m_folder; }

    // A server away for a while: ended, then started again on the same port with the same storage.
    void stopServing() { stop(); }
    void serveAgain() { start(); }

private:
    void writeFile(const std::string& name, const std::string& text) const {
        std::ofstream out(m_folder / name);
        out << text;
    }

    std::string log() const {
        std::ifstream in(m_folder / "radicale.log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    void start() {
        std::string config = (m_folder / "config").string();
        std::string logPath = (m_folder / "radicale.log").string();
        std::vector<char*> argv{const_cast<char*>("radicale"), const_cast<char*>("--config"), config.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        // A group of its own, so that stopping it reaches every process it started.
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
        int rc = posix_spawnp(&m_pid, "radicale", &actions, &attributes, argv.data(), environ);
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) throw std::runtime_error("could not start radicale (is the radicale package installed?)");
        try {
            waitUntilAnswering();
        } catch (...) {
            stop();
            throw;
        }
    }

    void waitUntilAnswering() {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = 0;
                throw std::runtime_error("radicale ended at start: " + log());
            }
            if (loopbackAccepts(m_port)) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        throw std::runtime_error("radicale does not accept connections: " + log());
    }

    void stop() {
        if (m_pid <= 0) return;
        kill(-m_pid, SIGTERM);
        int status = 0;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (waitpid(m_pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(-m_pid, SIGKILL);
                waitpid(m_pid, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        m_pid = 0;
    }

    std::filesystem::path m_folder;
    pid_t m_pid = 0;
    int m_port = 0;
};

}  // namespace lumora::test
