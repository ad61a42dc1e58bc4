// A line that places no real call: it records each connect and disconnect in the data folder,
// for tests and for trying the CRM page without a phone.

#include <fstream>

#include "Platform/Desktop/desktop.hpp"
#include "call_watch.hpp"
#include "line_call.hpp"
#include "telephony_errors.hpp"

namespace lumora::telephony {

namespace {

AgentEvent callEvent(std::string type, std::string param = {}) {
    AgentEvent event;
    event.kind = "call";
    event.type = std::move(type);
    event.param = std::move(param);
    return event;
}

class LoopbackCall : public LineCall {
public:
    LoopbackCall(std::string line, std::string number, std::filesystem::path record)
        : m_line(std::move(line)), m_number(std::move(number)), m_record(std::move(record)) {}

    // The far end answers at once; the call is told as a real one would be.
    void connect() override {
        note("connect");
        m_connected = true;
        desktop::CallState identity;
        identity.call = nextCallNumber();
        identity.line = m_line;
        identity.number = m_number;
        m_watch = std::make_shared<CallWatch>(m_number, identity, desktop::current().callStates());
        m_watch->take(callEvent("CALL_RINGING"));
        m_watch->take(callEvent("CALL_ESTABLISHED"));
    }
    void disconnect() override {
        if (!m_connected) return;
        m_connected = false;
        note("disconnect");
        m_watch->take(callEvent("CALL_CLOSED", "Connection reset by user"));
    }

private:
    void note(std::string_view event) {
        std::ofstream out(m_record, std::ios::app);
        out << m_line << '\t' << event << '\t' << m_number << '\n';
        out.close();
        if (!out) raise(TelephonyError::LineRefused, "the loopback record " + m_record.string() + " cannot be written");
    }

    std::string m_line;
    std::string m_number;
    std::filesystem::path m_record;
    bool m_connected = false;
    std::shared_ptr<CallWatch> m_watch;
};

}  // namespace

std::filesystem::path loopbackRecord(const std::filesystem::path& dataFolder) { return dataFolder / "loopback-calls.log"; }

std::unique_ptr<LineCall> openLoopbackCall(const Line& line, const std::string& number,
                                           const std::filesystem::path& dataFolder) {
    return std::make_unique<LoopbackCall>(line.name, number, loopbackRecord(dataFolder));
}

}  // namespace lumora::telephony
