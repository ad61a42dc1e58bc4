#pragma once
// Runs the built lumora program as a separate process, the way a person or a script does, and
// collects its exit status and output, at its end or line by line while it runs.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace lumora::tests {

struct ProcessResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string readWhole(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// $LUMORA_BUILD_DIR/bin/lumora, as CTest runs the tests; absolute, so a test may run it elsewhere.
inline std::string lumoraProgram() {
    const char* buildDir = std::getenv("LUMORA_BUILD_DIR");
    return std::filesystem::absolute(std::string(buildDir ? buildDir : ".") + "/bin/lumora").string();
}

// Starts lumora with args, its standard input read from `in` and its output going to the
// descriptors given, in `workingFolder` when one is given; returns its process id.
inline pid_t startLumora(const std::vector<std::string>& args, const std::filesystem::path& in, int out, int err,
                         const std::filesystem::path& workingFolder = {}) {
    std::string program = lumoraProgram();
    pid_t child = fork();
    if (child == 0) {
        dup2(open(in.c_str(), O_RDONLY), 0);
        dup2(out, 1);
        dup2(err, 2);
        if (!workingFolder.empty() && chdir(workingFolder.c_str()) != 0) _exit(126);
        std::vector<char*> argv{program.data()};
        std::vector<std::string> copies(args);
        for (auto& arg : copies) argv.push_back(arg.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return child;
}

// Runs lumora with args to its end; input is its standard input. Output goes through files in
// `scratch`, so a large transcript cannot fill a pipe and stall the test. It runs in
// `workingFolder` when one is given.
inline ProcessResult runLumora(const std::vector<std::string>& args, const std::filesystem::path& scratch,
                               const std::string& input = {}, const std::filesystem::path& workingFolder = {}) {
    auto in = scratch / "stdin", out = scratch / "stdout", err = scratch / "stderr";
    std::ofstream(in, std::ios::binary) << input;
    const int outFile = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int errFile = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    pid_t child = startLumora(args, in, outFile, errFile, workingFolder);
    close(outFile);
    close(errFile);
    ProcessResult result;
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    result.out = readWhole(out);
    result.err = readWhole(err);
    return result;
}

// lumora running beside the test, its standard output read line by line while it runs (as a
// person watches `lumora run --stream`); the test may wait for it or kill it at any point.
class RunningLumora {
public:
    RunningLumora(const std::vector<std::string>& args, const std::filesystem::path& scratch,
                  const std::string& input = {})
        : m_errFile(scratch / "stderr") {
        const auto in = scratch / "stdin";
        std::ofstream(in, std::ios::binary) << input;
        int pipeEnds[2];
        if (pipe2(pipeEnds, O_CLOEXEC) != 0) throw std::runtime_error("no pipe for lumora's output");
        const int errFile = open(m_errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        m_pid = startLumora(args, in, pipeEnds[1], errFile);
        close(pipeEnds[1]);
        close(errFile);
        m_out = fdopen(pipeEnds[0], "r");
    }
    ~RunningLumora() {
        if (m_pid > 0 && !m_status) kill();
        if (m_out) fclose(m_out);
    }
    RunningLumora(const RunningLumora&) = delete;
    RunningLumora& operator=(const RunningLumora&) = delete;

    // The next whole line it printed, without its line end; nullopt once its output has ended.
    // A last line cut short by its end is no line.
    std::optional<std::string> nextLine() {
        char* text = nullptr;
        size_t capacity = 0;
        const ssize_t length = getline(&text, &capacity, m_out);
        std::optional<std::string> line;
        if (length > 0 && text[length - 1] == '\n') line = std::string(text, static_cast<size_t>(length - 1));
        free(text);
        return line;
    }

    // Kills it (SIGKILL) and returns the whole lines it had printed that were not read yet.
    std::vector<std::string> kill() {
        ::kill(m_pid, SIGKILL);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_status = status;
        std::vector<std::string> rest;
        while (auto line = nextLine()) rest.push_back(std::move(*line));
        return rest;
    }

    // Its exit code once it has ended by itself within the limit; nullopt while it still runs.
    std::optional<int> exitWithin(std::chrono::milliseconds limit) {
        const auto until = std::chrono::steady_clock::now() + limit;
        while (!m_status) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_status = status;
                break;
            }
            if (std::chrono::steady_clock::now() >= until) return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return WIFEXITED(*m_status) ? WEXITSTATUS(*m_status) : -1;
    }

    pid_t pid() const { return m_pid; }
    bool wasKilled() const { return m_status && WIFSIGNALED(*m_status) && WTERMSIG(*m_status) == SIGKILL; }
    std::string err() const { return readWhole(m_errFile); }

private:
    std::filesystem::path m_errFile;
    pid_t m_pid = -1;
    FILE* m_out = nullptr;
    std::optional<int> m_status;  // as waitpid gave it, once it has ended
};

}  // namespace lumora::tests
