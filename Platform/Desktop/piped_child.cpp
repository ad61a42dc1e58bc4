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
constexpr size_t kReadChunk = 64 * 1024;
// Above the descriptors a child is given (3 and 4), so that passing one on never overwrites the other.
constexpr int kAbovePassedDescriptors = 10;

using Clock = std::chrono::steady_clock;

// Writing to a helper that died must fail the write, not end the host: SIGPIPE is held back on
// this thread while writing, and one it raised is taken off again.
class PipeSignalHeld {
public:
    PipeSignalHeld() {
        sigemptyset(&m_pipeSignal);
        sigaddset(&m_pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &m_pipeSignal, &m_previous);
    }
    ~PipeSignalHeld() {
        if (m_broken && !sigismember(&m_previous, SIGPIPE)) {
            const timespec none{0, 0};
            while (sigtimedwait(&m_pipeSignal, nullptr, &none) == SIGPIPE) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
    }
    PipeSignalHeld(const PipeSignalHeld&) = delete;
    PipeSignalHeld& operator=(const PipeSignalHeld&) = delete;
    void markBroken() { m_broken = true; }

private:
    sigset_t m_pipeSignal;
    sigset_t m_previous;
    bool m_broken = false;
};

// A copy of fd numbered above those a child is given, closed on exec like the original.
int numberedAbovePassed(int fd) { return ::fcntl(fd, F_DUPFD_CLOEXEC, kAbovePassedDescriptors); }

}  // namespace

std::optional<PipedChild> PipedChild::start(const std::vector<std::string>& argv, Channel channel) {
    int toChild[2], fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0) return std::nullopt;
    posix::FileDescriptor childInput(toChild[0]), input(toChild[1]);
    if (::pipe2(fromChild, O_CLOEXEC) != 0) return std::nullopt;
    posix::FileDescriptor output(fromChild[0]), childOutput(fromChild[1]);

    SpawnAttributes attributes;
    FileActions actions;
    // Copies of the child's ends, alive until it has started, for a channel on descriptors 3 and 4.
    posix::FileDescriptor requests, answers;
    if (channel == Channel::StandardStreams) {
        prepareChild(attributes, actions, POSIX_SPAWN_SETSID, childOutput.get(), childInput.get());
    } else {
        requests = posix::FileDescriptor(numberedAbovePassed(childInput.get()));
        answers = posix::FileDescriptor(numberedAbovePassed(childOutput.get()));
        if (requests.get() < 0 || answers.get() < 0) return std::nullopt;
        const int passedOn[] = {requests.get(), answers.get()};
        prepareChild(attributes, actions, POSIX_SPAWN_SETSID, -1, -1, passedOn);
    }
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
      m_pending(std::move(other.m_pending)),
      m_scanned(other.m_scanned),
      m_exited(other.m_exited) {
    other.m_pid = -1;
}

PipedChild::~PipedChild() { stop(std::chrono::milliseconds(0)); }

bool PipedChild::writeLine(std::string_view line) { return writeRecord(line, '\n', Clock::time_point::max()); }

bool PipedChild::writeRecord(std::string_view record, char end, Clock::time_point deadline) {
    std::string data(record);
    data += end;
    PipeSignalHeld held;
    // Written without blocking, so that a reader that stopped reading halfway through a long
    // record cannot hold this thread past the deadline.
    const int flags = ::fcntl(m_input.get(), F_GETFL);
    ::fcntl(m_input.get(), F_SETFL, flags | O_NONBLOCK);
    size_t done = 0;
    bool written = true;
    while (done < data.size()) {
        const ssize_t n = ::write(m_input.get(), data.data() + done, data.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN && waitWritable(m_input.get(), deadline) == WaitOutcome::Ready) continue;
        if (n < 0 && errno == EPIPE) held.markBroken();
        written = false;
        break;
    }
    ::fcntl(m_input.get(), F_SETFL, flags);
    return written;
}

std::optional<std::string> PipedChild::readRecord(Clock::time_point deadline, char end, size_t maxSize) {
    for (;;) {
        if (const size_t found = m_pending.find(end, m_scanned); found != std::string::npos) {
            std::string record = m_pending.substr(0, found);
            m_pending.erase(0, found + 1);
            m_scanned = 0;
            return record;
        }
        m_scanned = m_pending.size();
        if (m_pending.size() > maxSize) return std::nullopt;
        if (waitReadable(m_output.get(), deadline) != WaitOutcome::Ready) return std::nullopt;
        const size_t before = m_pending.size();
        m_pending.resize(before + kReadChunk);
        const ssize_t n = ::read(m_output.get(), m_pending.data() + before, kReadChunk);
        m_pending.resize(before + static_cast<size_t>(std::max<ssize_t>(n, 0)));
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return std::nullopt;
    }
}

std::optional<std::string> PipedChild::readLine(std::chrono::milliseconds timeout) {
    return readRecord(Clock::now() + timeout, '\n', kMaxLine);
}

bool PipedChild::running() {
    if (m_pid <= 0 || m_exited) return false;
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) == 0) return true;
    m_exited = true;
    return false;
}

void PipedChild::stop(std::chrono::milliseconds grace) {
    if (m_pid <= 0) return;
    m_input.reset();
    const auto deadline = Clock::now() + grace;
    int status = 0;
    while (!m_exited && ::waitpid(m_pid, &status, WNOHANG) == 0) {
        if (Clock::now() >= deadline) {
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
