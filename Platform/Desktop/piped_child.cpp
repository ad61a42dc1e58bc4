#include "piped_child.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>

#include <pthread.h>

#include <cerrno>
#include <thread>

#include "child_process.hpp"

namespace lumora::desktop::process {

namespace {
constexpr size_t kMaxLine = 64 * 1024;
}

std::optional<PipedChild> PipedChild::start(const std::vector<std::string>& argv) {
    int toChild[2], fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0) return std::nullopt;
    posix::FileDescriptor childInput(toChild[0]), input(toChild[1]);
    if (::pipe2(fromChild, O_CLOEXEC) != 0) return std::nullopt;
    posix::FileDescriptor output(fromChild[0]), childOutput(fromChild[1]);

    SpawnAttributes attributes;
    FileActions actions;
    prepareChild(attributes, actions, POSIX_SPAWN_SETSID, childOutput.get(), childInput.get());
    const std::optional<pid_t> pid = spawn(argv, attributes, actions);
    if (!pid) return std::nullopt;
    const int in = input.get(), out = output.get();
    PipedChild child(*pid, in, out);
    (void)input.release();
    (void)output.release();
    return child;
}

PipedChild::PipedChild(PipedChild&& other) noexcept
    : m_pid(other.m_pid),
      m_group(std::move(other.m_group)),
      m_input(other.m_input.release()),
      m_output(other.m_output.release()),
      m_pending(std::move(other.m_pending)) {
    other.m_pid = -1;
}

PipedChild::~PipedChild() { stop(std::chrono::milliseconds(0)); }

bool PipedChild::writeLine(std::string_view line) {
    std::string data(line);
    data += '\n';
    // Writing to a helper that died must fail the write, not end the host: SIGPIPE is held
    // back on this thread while writing, and one it raised is taken off again.
    sigset_t pipeSignal, previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    size_t done = 0;
    bool broken = false;
    while (done < data.size()) {
        const ssize_t n = ::write(m_input.get(), data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            broken = true;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (broken && !sigismember(&previous, SIGPIPE)) {
        const timespec none{0, 0};
        while (sigtimedwait(&pipeSignal, nullptr, &none) == SIGPIPE) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return !broken;
}

std::optional<std::string> PipedChild::readLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (const size_t end = m_pending.find('\n'); end != std::string::npos) {
            std::string line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            return line;
        }
        if (m_pending.size() > kMaxLine) return std::nullopt;
        if (waitReadable(m_output.get(), deadline) != WaitOutcome::Readable) return std::nullopt;
        char buffer[4096];
        const ssize_t n = ::read(m_output.get(), buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return std::nullopt;
        m_pending.append(buffer, static_cast<size_t>(n));
    }
}

void PipedChild::stop(std::chrono::milliseconds grace) {
    if (m_pid <= 0) return;
    m_input.reset();
    const auto deadline = std::chrono::steady_clock::now() + grace;
    int status = 0;
    while (::waitpid(m_pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(-m_pid, SIGKILL);
            waitForExit(m_pid);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // What the helper started may outlive it in its group: end that too.
    ::kill(-m_pid, SIGKILL);
    m_group.reset();
    m_pid = -1;
    m_output.reset();
}

}  // namespace lumora::desktop::process
