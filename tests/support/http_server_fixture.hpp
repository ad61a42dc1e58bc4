#pragma once
// A real HTTP server on the loopback interface for tests (tests/support/http_server.py; its
// header lists the endpoints). The object starts the server on a free port, waits until it
// answers, and stops it when it goes away. Every wait is bounded.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "loopback_port.hpp"

extern char** environ;

namespace lumora::test {

class LoopbackHttpServer {
public:
    // Serves the files under root at /files/... and stores PUT /upload/<name> in uploads; with a
    // request log, writes each request's method and path there as a line.
    LoopbackHttpServer(const std::filesystem::path& root, const std::filesystem::path& uploads,
                       const std::filesystem::path& requestLog = {}) {
        // Requests to the loopback server never go through a proxy the environment may name.
        setenv("NO_PROXY", "127.0.0.1,localhost", 1);
        std::filesystem::create_directories(root);
        std::filesystem::create_directories(uploads);
        int fds[2];
        if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
        m_output = fds[0];
        std::string script = scriptPath().string();
        std::string rootText = root.string(), uploadsText = uploads.string();
        std::string logText = requestLog.string();
        std::vector<char*> argv{const_cast<char*>("python3"), script.data(), const_cast<char*>("--root"),
                                rootText.data(), const_cast<char*>("--uploads"), uploadsText.data()};
        if (!logText.empty()) argv.insert(argv.end(), {const_cast<char*>("--log"), logText.data()});
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        int rc = posix_spawnp(&m_pid, "python3", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (rc != 0) {
            close(m_output);
            throw std::runtime_error("could not start python3 for the test HTTP server");
        }
        try {
            m_port = readPort();
            waitUntilAnswering();
        } catch (...) {
            stop();
            throw;
        }
    }

    ~LoopbackHttpServer() { stop(); }
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    int port() const { return m_port; }
    // "http://127.0.0.1:<port>" + path.
    std::string url(std::string_view path) const {
        return "http://127.0.0.1:" + std::to_string(m_port) + std::string(path);
    }

private:
    static std::filesystem::path scriptPath() {
        if (const char* source = std::getenv("LUMORA_SOURCE_DIR"))
            return std::filesystem::path(source) / "tests" / "support" / "http_server.py";
        return std::filesystem::path(__FILE__).parent_path() / "http_server.py";
    }

    // The server's first line is "PORT <n>"; ten seconds is ample for python to start.
    int readPort() {
        std::string line;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (line.find('\n') == std::string::npos) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) throw std::runtime_error("the test HTTP server did not report its port");
            pollfd p{m_output, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
            char buffer[128];
            ssize_t n = read(m_output, buffer, sizeof buffer);
            if (n <= 0) throw std::runtime_error("the test HTTP server ended before it listened");
            line.append(buffer, static_cast<size_t>(n));
        }
        if (line.rfind("PORT ", 0) != 0) throw std::runtime_error("unexpected test HTTP server output: " + line);
        return std::stoi(line.substr(5));
    }

    void waitUntilAnswering() const {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            if (loopbackAccepts(m_port)) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        throw std::runtime_error("the test HTTP server does not accept connections");
    }

    void stop() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            int status = 0;
            auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
            while (waitpid(m_pid, &status, WNOHANG) == 0) {
                if (std::chrono::steady_clock::now() > deadline) {
                    kill(m_pid, SIGKILL);
                    waitpid(m_pid, &status, 0);
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            m_pid = 0;
        }
        if (m_output >= 0) {
            close(m_output);
            m_output = -1;
        }
    }

    pid_t m_pid = 0;
    int m_output = -1;
    int m_port = 0;
};

}  // namespace lumora::test
