#pragma once
// The helper programs this process starts and keeps for a while (the document converter, the
// SIP user agents, a one-shot conversion), each in a process group of its own, and how a host
// waits on them. A stopping host ends every helper at once, whatever its owner is doing, so that
// none outlives the host; a wait on a helper ends early once the waiting call is cancelled.

#include <sys/types.h>

#include <chrono>

namespace lumora::desktop::process {

// Keeps a helper's process group on the list that endAllHelpers() ends, while alive.
class HelperGroup {
public:
    HelperGroup() = default;
    explicit HelperGroup(pid_t group);
    HelperGroup(HelperGroup&& other) noexcept;
    HelperGroup& operator=(HelperGroup&& other) noexcept;
    ~HelperGroup();
    // Takes the group off the list; the owner has ended it itself.
    void reset();

private:
    pid_t m_group = -1;
};

// Ends every listed helper group: a terminate signal, a moment for the helpers to end their
// calls and files, then a kill. Thread-safe; the owners still collect their own children.
void endAllHelpers(std::chrono::milliseconds grace = std::chrono::milliseconds(300));

// How long a wait for a helper lasts at most before it looks at the call's cancel flag again.
inline constexpr std::chrono::milliseconds kCancelPollInterval{100};

enum class WaitOutcome { Ready, TimedOut, Cancelled };
// Waits until fd has input (or its end), the deadline passes, or the calling thread's call is
// cancelled, whichever comes first.
WaitOutcome waitReadable(int fd, std::chrono::steady_clock::time_point deadline);
// The same for room to write into fd (a pipe whose reader is slow).
WaitOutcome waitWritable(int fd, std::chrono::steady_clock::time_point deadline);

}  // namespace lumora::desktop::process
