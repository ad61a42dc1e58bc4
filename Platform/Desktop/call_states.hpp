#pragma once
// What a person is told about a phone call while it runs: it rings, it was answered, it ended or
// failed, and why. The telephony stand-in reports each change as it happens, often after the
// member that placed the call has returned, from a thread of its own; the desktop the call was
// placed on hands it on (the page's Telephony panel, a transcript).

#include <cstdint>
#include <memory>
#include <optional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace lumora::desktop {

struct CallState {
    int64_t call = 0;        // this process's number for the call, the same in each of its reports
    std::string line;        // the line's name
    std::string number;      // the number dialled
    std::string state;       // "ringing", "answered", "ended" or "failed"
    std::string reason;      // why it ended or failed, as the person reads it; "" otherwise
    std::optional<int64_t> seconds;  // how long it was answered, once it has ended
    std::string notice;      // something the person must know about the line ("no sound"), told once
};

// Takes the reports of calls. Thread-safe; must outlive nothing: it is held by the calls it serves.
class CallStateSink {
public:
    virtual ~CallStateSink() = default;
    virtual void report(const CallState& state) = 0;
};

}  // namespace lumora::desktop

namespace lumora::desktop {

// Keeps the reports until they are taken: what a transcript shows of the calls.
class RecordedCallStates : public CallStateSink {
public:
    void report(const CallState& state) override {
        std::lock_guard lock(m_mutex);
        m_states.push_back(state);
    }
    std::vector<CallState> take() {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_states, {});
    }

private:
    std::mutex m_mutex;
    std::vector<CallState> m_states;
};

}  // namespace lumora::desktop
