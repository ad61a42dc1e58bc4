#pragma once
// A helper program kept running and spoken to in lines: requests written to its standard
// input, answers read from its standard output, each read bounded in time. It runs in a
// session (and so a process group) of its own, without a controlling terminal, so that ending
// it ends whatever it started; it is ended when the object goes.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "helper_processes.hpp"
#include "posix_handles.hpp"

namespace lumora::desktop::process {

class PipedChild {
public:
    // Starts the program (found on PATH); nullopt when it cannot be started.
    static std::optional<PipedChild> start(const std::vector<std::string>& argv);
    PipedChild(PipedChild&& other) noexcept;
    PipedChild& operator=(PipedChild&&) = delete;
    ~PipedChild();

    // False when the program no longer reads.
    bool writeLine(std::string_view line);
    // The next line without its end; nullopt at end of output, when the deadline passes, or
    // when the waiting call is cancelled.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);
    // Closes its input and waits up to grace for it to end, then kills its group.
    void stop(std::chrono::milliseconds grace);

private:
    PipedChild(pid_t pid, int input, int output) : m_pid(pid), m_group(pid), m_input(input), m_output(output) {}

    pid_t m_pid = -1;
    HelperGroup m_group;
    posix::FileDescriptor m_input;
    posix::FileDescriptor m_output;
    std::string m_pending;
};

}  // namespace lumora::desktop::process
