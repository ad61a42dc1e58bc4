#include "devtools_client.hpp"

#include "Automation/cancellation.hpp"
#include "pdf_errors.hpp"

namespace lumora::pdf {

namespace {

// A printed document comes back in one message, in base64.
constexpr size_t kMaxMessageBytes = 256u << 20;

}  // namespace

int DevToolsClient::send(std::string_view method, Json params, std::string_view session) {
    const int id = ++m_nextId;
    Json message{{"id", id}, {"method", method}, {"params", std::move(params)}};
    if (!session.empty()) message["sessionId"] = session;
    if (!m_browser.writeRecord(message.dump(), '\0', m_writeDeadline)) {
        checkCancelled();
        raise(PdfError::ConversionFailed, "the browser stopped reading");
    }
    return id;
}

Json DevToolsClient::receive(Deadline deadline) {
    std::optional<std::string> message = m_browser.readRecord(deadline, '\0', kMaxMessageBytes);
    if (!message) {
        checkCancelled();
        if (std::chrono::steady_clock::now() >= deadline) raise(PdfError::ConversionTimedOut, "the page");
        raise(PdfError::ConversionFailed, "the browser ended");
    }
    Json parsed = Json::parse(*message, nullptr, false);
    if (parsed.is_discarded() || !parsed.is_object()) raise(PdfError::ConversionFailed, "the browser answered unreadably");
    return parsed;
}

Json DevToolsClient::call(std::string_view method, Json params, std::string_view session, Deadline deadline,
                          const EventHandler& onEvent) {
    m_writeDeadline = deadline;
    const int id = send(method, std::move(params), session);
    for (;;) {
        Json message = receive(deadline);
        if (message.contains("method")) {
            if (onEvent) onEvent(message);
            continue;
        }
        if (message.value("id", 0) != id) continue;
        if (const auto error = message.find("error"); error != message.end())
            raise(PdfError::ConversionFailed, std::string(method) + ": " + error->value("message", std::string("refused")));
        return message.value("result", Json::object());
    }
}

void DevToolsClient::awaitEvent(Deadline deadline, const EventHandler& onEvent) {
    m_writeDeadline = deadline;
    for (;;) {
        Json message = receive(deadline);
        if (!message.contains("method")) continue;
        onEvent(message);
        return;
    }
}

}  // namespace lumora::pdf
