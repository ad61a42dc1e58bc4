#pragma once
// A helper program kept running and spoken to in lines: requests written to its standard
// input, answers read from its standard output, each read bounded in time. A browser's debugging
// pipe is spoken to the same way in records that end with a NUL, on descriptors 3 and 4. It runs in a
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

// Where the program reads requests and writes answers.
enum class Channel {
    StandardStreams,        // its standard input and output
    DescriptorsThreeAndFour  // reads descriptor 3 and writes 4; its standard streams are /dev/null
};

class PipedChild {
public:
    // Starts the program (found on PATH); nullopt when it cannot be started.
    static std::optional<PipedChild> start(const std::vector<std::string>& argv, Channel channel = Channel::StandardStreams);
    PipedChild(PipedChild&& other) noexcept;
    PipedChild& operator=(PipedChild&&) = delete;
    ~PipedChild();

    // False when the program no longer reads (or the waiting call is cancelled while it is not reading).
    bool writeLine(std::string_view line);
    // The next line without its end; nullopt at end of output, when the deadline passes, or
    // when the waiting call is cancelled.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);
    // Records that end with `end` and may be long (a document in a message): the write gives up
    // at the deadline or when the waiting call is cancelled, and a record beyond maxSize is
    // refused (nullopt) rather than kept growing.
    bool writeRecord(std::string_view record, char end, std::chrono::steady_clock::time_point deadline);
    std::optional<std::string> readRecord(std::chrono::steady_clock::time_point deadline, char end, size_t maxSize);
    // Whether the program is still running (it may have died since the last answer).
    bool running();
    // Closes its input and waits up to grace for it to end, then kills its group.
    void stop(std::chrono::milliseconds grace);

private:
    PipedChild(pid_t pid, int input, int output) : m_pid(pid), m_group(pid), m_input(input), m_output(output) {}

    pid_t m_pid = -1;
    HelperGroup m_group;
    posix::FileDescriptor m_input;
    posix::FileDescriptor m_output;
    std::string m_pending;
    size_t m_scanned = 0;  // how much of m_pending is known to hold no record end
    bool m_exited = false;  // collected by running(): stop() has no child to wait for
};

}  // namespace lumora::desktop::process
