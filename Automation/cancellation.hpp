#pragma once
// A call that nobody waits for any more is cancelled: the page that made it has gone, or the
// bridge is stopping. Whoever runs calls on a thread (a page's worker) lends that thread a
// CancelFlag. Long loops of the stand-ins and members ask at their natural points (per tag, per
// row, per item, per record), and waits on helpers (a converter, a user agent, a transfer) ask
// while they wait. Once cancelled, every check raises error 18, so the member ends in its own
// failure path: its objects are released and its files removed as after any other failure.
// Failure paths themselves never check, so their clean-up runs to the end.

#include <atomic>

namespace lumora {

class CancelFlag {
public:
    // Thread-safe: the transport's or a signal-watching thread cancels what a worker runs.
    void cancel() { m_cancelled.store(true, std::memory_order_relaxed); }
    bool cancelled() const { return m_cancelled.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> m_cancelled{false};
};

// Lends the calling thread a flag until destroyed; the flag must outlive the scope.
class ScopedCancelFlag {
public:
    explicit ScopedCancelFlag(const CancelFlag& flag);
    ~ScopedCancelFlag();
    ScopedCancelFlag(const ScopedCancelFlag&) = delete;
    ScopedCancelFlag& operator=(const ScopedCancelFlag&) = delete;

private:
    const CancelFlag* m_previous;
};

// True once the call running on this thread was cancelled; false on a thread without a flag
// (the command line, whose person stops it with Ctrl+C).
bool cancelRequested();
// Raises error 18 "User interrupt occurred" once the call running on this thread was cancelled.
void checkCancelled();

}  // namespace lumora
