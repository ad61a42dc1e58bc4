#include "helper_processes.hpp"

#include <poll.h>
#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <set>
#include <thread>

#include "Automation/cancellation.hpp"

namespace lumora::desktop::process {

namespace {

struct HelperList {
    std::mutex mutex;
    std::multiset<pid_t> groups;
};

HelperList& helpers() {
    // Never destroyed: helpers may still be ended while static objects go at exit.
    static HelperList* list = new HelperList;
    return *list;
}

void forget(pid_t group) {
    HelperList& list = helpers();
    std::lock_guard lock(list.mutex);
    if (auto found = list.groups.find(group); found != list.groups.end()) list.groups.erase(found);
}

}  // namespace

HelperGroup::HelperGroup(pid_t group) : m_group(group) {
    if (m_group <= 0) return;
    HelperList& list = helpers();
    std::lock_guard lock(list.mutex);
    list.groups.insert(m_group);
}

HelperGroup::HelperGroup(HelperGroup&& other) noexcept : m_group(other.m_group) { other.m_group = -1; }

HelperGroup& HelperGroup::operator=(HelperGroup&& other) noexcept {
    if (this != &other) {
        reset();
        m_group = other.m_group;
        other.m_group = -1;
    }
    return *this;
}

HelperGroup::~HelperGroup() { reset(); }

void HelperGroup::reset() {
    if (m_group > 0) forget(m_group);
    m_group = -1;
}

void endAllHelpers(std::chrono::milliseconds grace) {
    std::set<pid_t> groups;
    {
        HelperList& list = helpers();
        std::lock_guard lock(list.mutex);
        groups.insert(list.groups.begin(), list.groups.end());
    }
    if (groups.empty()) return;
    for (pid_t group : groups) ::kill(-group, SIGTERM);
    // A group is gone once kill(-group, 0) fails; a leader its owner has not collected yet
    // still counts, so the wait is bounded by the grace either way.
    const auto deadline = std::chrono::steady_clock::now() + grace;
    while (std::chrono::steady_clock::now() < deadline &&
           std::any_of(groups.begin(), groups.end(), [](pid_t group) { return ::kill(-group, 0) == 0; }))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    for (pid_t group : groups) ::kill(-group, SIGKILL);
}

namespace {

WaitOutcome waitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        if (cancelRequested()) return WaitOutcome::Cancelled;
        // Rounded up: a wait that ends when less than a millisecond is left has not reached its
        // deadline, and its caller, asking the clock, would not take it for a timeout.
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return WaitOutcome::TimedOut;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        pollfd waiting{fd, events, 0};
        const int ready = ::poll(&waiting, 1, static_cast<int>(std::min(left, kCancelPollInterval).count()));
        if (ready > 0) return WaitOutcome::Ready;
        if (ready < 0 && errno != EINTR) return WaitOutcome::Ready;  // the read or write that follows tells what failed
    }
}

}  // namespace

WaitOutcome waitReadable(int fd, std::chrono::steady_clock::time_point deadline) { return waitFor(fd, POLLIN, deadline); }

WaitOutcome waitWritable(int fd, std::chrono::steady_clock::time_point deadline) { return waitFor(fd, POLLOUT, deadline); }

}  // namespace lumora::desktop::process
