#include "tied_children.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

extern char** environ;

namespace lumora::desktop::process {

namespace fs = std::filesystem;

namespace {

// The one thread that forks tied children; it waits for work for the rest of the process's life.
class Launcher {
public:
    static Launcher& instance() {
        // Never destroyed: the thread must outlive every child it started.
        static Launcher* launcher = new Launcher;
        return *launcher;
    }

    pid_t run(std::function<pid_t()> work) {
        std::packaged_task<pid_t()> task(std::move(work));
        std::future<pid_t> result = task.get_future();
        {
            std::lock_guard lock(m_mutex);
            m_work.push_back(std::move(task));
        }
        m_ready.notify_one();
        return result.get();
    }

private:
    Launcher() { std::thread([this] { serve(); }).detach(); }

    [[noreturn]] void serve() {
        for (;;) {
            std::packaged_task<pid_t()> task;
            {
                std::unique_lock lock(m_mutex);
                m_ready.wait(lock, [this] { return !m_work.empty(); });
                task = std::move(m_work.front());
                m_work.pop_front();
            }
            task();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<std::packaged_task<pid_t()>> m_work;
};

// The program's full path, found before forking: the child may only make async-signal-safe calls.
std::string onPath(const std::string& program) {
    if (program.find('/') != std::string::npos) return program;
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        const size_t end = std::min(folders.find(':', start), folders.size());
        const fs::path candidate = fs::path(folders.substr(start, end - start)) / program;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
        start = end + 1;
    }
    return {};
}

pid_t forkTied(const std::string& file, const std::vector<std::string>& args, const fs::path& log) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(file.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    // The child: only async-signal-safe calls from here on.
    ::setsid();
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);  // the parent went before the tie was made
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0) ::_exit(127);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(out, 2);
    for (int fd = 3; fd < 1024; ++fd) ::close(fd);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::execve(file.c_str(), argv.data(), environ);
    ::_exit(127);
}

}  // namespace

pid_t spawnTiedChild(const std::string& program, const std::vector<std::string>& args, const fs::path& log) {
    const std::string file = onPath(program);
    if (file.empty()) return -1;
    return Launcher::instance().run([&] { return forkTied(file, args, log); });
}

}  // namespace lumora::desktop::process
