#pragma once
// A top-level call: the unit of work a person or a page asks for. The host says where one begins
// and ends, once: a page's call through the bridge, a step of `lumora run`, a `lumora` command, a
// save from a page's item window. Everything the call does in between (a member and the many
// late-bound calls that make it up) belongs to it.
//
// What keeps work that must finish together (a store's open transaction) joins the running call
// on its first write, and is settled (made durable) when the call ends, whatever it returned,
// and before every wait for the person: a message box, a window, a displayed item. So nothing is
// held open while someone reads a dialog, and a process killed in the middle of a call leaves
// none of it behind.
//
// Calls are per thread, like the objects that make them. A call begun while another runs on the
// same thread is part of the running one.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

class CallParticipant {
public:
    virtual ~CallParticipant() = default;
    // Makes durable what the call has done so far through this participant. Called when the call
    // ends and before each wait for the person; the participant joins again on its next write.
    // Must not throw: a failure is the participant's to report on its next use.
    virtual void settle() noexcept = 0;
    // Raises, once, the failure of the last settle, if it failed.
    virtual void raiseSettleFailure() {}
};

class TopLevelCall {
public:
    // Begins a call on the calling thread, described for the record ("LumoraControl2005.LumoraCtrl2005.AddContact",
    // "lumora pim import"); inert when a call already runs on this thread.
    explicit TopLevelCall(std::string what);
    // Settles every participant that joined.
    ~TopLevelCall();
    TopLevelCall(const TopLevelCall&) = delete;
    TopLevelCall& operator=(const TopLevelCall&) = delete;

    // The call running on the calling thread, or null outside any call.
    static TopLevelCall* current();

    // What made the call, as given to the outermost scope.
    const std::string& what() const { return m_what; }
    // Tells calls apart for the life of the process, where addresses may be reused.
    uint64_t serial() const { return m_serial; }

    // Ends the call's work before the caller answers: settles every participant and raises the
    // first failure, so that work which could not be made durable is not reported as done.
    // Nothing for a call inside another; the outermost one settles at its end anyway.
    void finish();

    // Joins a participant until the call ends or waits; joining twice is once.
    void join(CallParticipant& participant);
    // A participant going away before the call ends settles itself and leaves.
    void leave(CallParticipant& participant);

    // Before a wait for the person: settles every participant of the calling thread's call, which
    // join again on their next write. Nothing outside a call.
    static void beforePersonWaits();

private:
    void settleAll();

    std::string m_what;
    uint64_t m_serial = 0;
    bool m_outermost = false;
    TopLevelCall* m_running = nullptr;  // the outermost call of this thread
    std::vector<CallParticipant*> m_participants;
};

}  // namespace lumora
