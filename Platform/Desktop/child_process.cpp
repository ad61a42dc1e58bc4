#include "child_process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "helper_processes.hpp"
#include "posix_handles.hpp"

extern char** environ;

namespace lumora::desktop::process {

namespace {

constexpr size_t kMaxOutput = 64 * 1024;

using posix::FileDescriptor;

}  // namespace

std::optional<std::filesystem::path> findProgram(std::string_view name) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (folder.empty()) continue;
        const std::filesystem::path candidate = std::filesystem::path(folder) / name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return std::nullopt;
}

// The child starts clean whatever the host did to its own signals: default dispositions
// (a host that ignores SIGPIPE must not pass that on), nothing blocked. No descriptor of
// the host reaches it except the three standard ones and those the caller passes on.
void prepareChild(SpawnAttributes& attributes, FileActions& actions, short extraFlags, int stdoutFd, int stdinFd,
                  std::span<const int> passedOn) {
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(attributes.get(), &all);
    posix_spawnattr_setsigmask(attributes.get(), &none);
    posix_spawnattr_setflags(attributes.get(), static_cast<short>(POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | extraFlags));

    if (stdinFd >= 0)
        posix_spawn_file_actions_adddup2(actions.get(), stdinFd, 0);
    else
        posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0);
    if (stdoutFd >= 0)
        posix_spawn_file_actions_adddup2(actions.get(), stdoutFd, 1);
    else
        posix_spawn_file_actions_addopen(actions.get(), 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(actions.get(), 2, "/dev/null", O_WRONLY, 0);
    const int firstPassed = 3;
    for (size_t i = 0; i < passedOn.size(); ++i)
        posix_spawn_file_actions_adddup2(actions.get(), passedOn[i], firstPassed + static_cast<int>(i));
    posix_spawn_file_actions_addclosefrom_np(actions.get(), firstPassed + static_cast<int>(passedOn.size()));
}

std::optional<pid_t> spawn(const std::vector<std::string>& argv, SpawnAttributes& attributes, FileActions& actions) {
    if (argv.empty()) return std::nullopt;
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], actions.get(), attributes.get(), args.data(), environ) != 0) return std::nullopt;
    return pid;
}

int waitForExit(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

namespace {

// Reads until end of file or the deadline; false when the deadline or a cancellation came first.
bool readUntilEnd(int fd, std::string& output, std::chrono::steady_clock::time_point deadline) {
    char buffer[4096];
    for (;;) {
        if (waitReadable(fd, deadline) != WaitOutcome::Ready) return false;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return true;
        if (output.size() < kMaxOutput) output.append(buffer, std::min(static_cast<size_t>(n), kMaxOutput - output.size()));
    }
}

}  // namespace

std::optional<std::string> captureOutput(const std::vector<std::string>& argv, std::chrono::milliseconds timeout) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return std::nullopt;
    FileDescriptor readEnd(pipeEnds[0]), writeEnd(pipeEnds[1]);

    SpawnAttributes attributes;
    FileActions actions;
    // A session of its own, and so a process group of its own, so that a helper script that
    // hangs can be killed together with the programs it started; no controlling terminal.
    prepareChild(attributes, actions, POSIX_SPAWN_SETSID, writeEnd.get());
    const std::optional<pid_t> pid = spawn(argv, attributes, actions);
    writeEnd.reset();
    if (!pid) return std::nullopt;
    const HelperGroup listed(*pid);

    std::string output;
    const bool finished = readUntilEnd(readEnd.get(), output, std::chrono::steady_clock::now() + timeout);
    if (!finished) ::kill(-*pid, SIGKILL);
    const int status = waitForExit(*pid);
    if (!finished || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return output;
}

bool startDetached(const std::vector<std::string>& argv) {
    SpawnAttributes attributes;
    FileActions actions;
    prepareChild(attributes, actions, POSIX_SPAWN_SETSID, -1);
    const std::optional<pid_t> pid = spawn(argv, attributes, actions);
    if (!pid) return false;
    // The program may run for as long as the user keeps the document open; its exit status is
    // collected in the background so that it never lingers as a zombie, and nobody waits for it.
    std::thread([child = *pid] { waitForExit(child); }).detach();
    return true;
}

}  // namespace lumora::desktop::process
