#include "page.hpp"

#include "Automation/class_ids.hpp"
#include "Automation/deliverables.hpp"
#include "Automation/registry.hpp"
#include "Automation/top_level_call.hpp"
#include "Host/call_state_json.hpp"
#include "Platform/Desktop/documents_folder.hpp"
#include "Platform/Files/page_reach.hpp"
#include "bridge_errors.hpp"
#include "call_log.hpp"
#include "page_requests.hpp"

namespace lumora::bridge {

using nlohmann::json;

std::vector<std::string> deliverableClasses() {
    std::vector<std::string> classes;
    for (const deliverables::Identity* identity :
         {&deliverables::kDesktopControl, &deliverables::kDialer, &deliverables::kMailControl}) {
        classes.emplace_back(identity->progId);
        classes.emplace_back(identity->classId);
    }
    return classes;
}

std::vector<std::string> pageClasses() {
    std::vector<std::string> classes = deliverableClasses();
    classes.emplace_back(progid::PimAdmin);
    classes.emplace_back(progid::PimSync);
    return classes;
}

Page::Page(PageId id, std::shared_ptr<PageOutbox> outbox, PageSettings settings, ShownFiles& files,
           std::function<void()> onFinished)
    : m_id(id),
      m_outbox(std::move(outbox)),
      m_settings(std::move(settings)),
      m_files(files),
      m_onFinished(std::move(onFinished)) {
    m_worker = std::thread([this] { workerMain(); });
}

Page::~Page() {
    close();
    if (m_worker.joinable()) m_worker.join();
}

void Page::send(const json& message) {
    // Invalid UTF-8 from a member's result is replaced rather than failing the whole answer.
    m_outbox->send(message.dump(-1, ' ', false, json::error_handler_t::replace));
}

void Page::receive(std::string_view text) {
    PageMessage message;
    try {
        message = readPageMessage(text, m_settings.limits);
    } catch (const std::exception& e) {
        // Whatever a page sends must not take the network thread down with it.
        send(errorResponse(nullptr, BridgeError::InternalError, e.what()));
        return;
    }

    if (auto* refusal = std::get_if<Refusal>(&message)) {
        if (!refusal->reply.is_null()) send(refusal->reply);
        return;
    }

    std::unique_lock lock(m_mutex);
    if (m_closed) return;
    if (auto* request = std::get_if<PageRequest>(&message)) {
        if (m_calls.size() >= m_settings.maxQueuedCalls) {
            lock.unlock();
            if (request->wantsAnswer)
                send(errorResponse(request->id, BridgeError::TooManyQueued,
                                   std::to_string(m_settings.maxQueuedCalls) + " calls are already waiting"));
            return;
        }
        m_calls.push_back(std::move(*request));
    } else if (auto* answer = std::get_if<PageAnswer>(&message)) {
        if (!answer->id.is_string()) return;
        auto waiting = m_asked.find(answer->id.get<std::string>());
        // Only the first answer to a question counts.
        if (waiting == m_asked.end() || waiting->second) return;
        waiting->second = std::move(answer->result);
    } else if (auto* event = std::get_if<PageEvent>(&message)) {
        if (m_events.size() >= m_settings.maxQueuedEvents) return;
        auto kind = event->method == "click" ? desktop::WindowEventKind::Click : desktop::WindowEventKind::Closed;
        m_events.push_back({event->window, kind, std::move(event->control)});
    }
    m_changed.notify_all();
}

void Page::receiveOversized(std::string_view prefix, size_t size) {
    send(refuseOversized(prefix, size, m_settings.limits).reply);
}

void Page::close() {
    std::lock_guard lock(m_mutex);
    if (m_closed) return;
    m_closed = true;
    m_cancel.cancel();
    m_calls.clear();
    m_changed.notify_all();
}

bool Page::closed() const {
    std::lock_guard lock(m_mutex);
    return m_closed;
}

bool Page::waitFinished(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this] { return m_finished; });
}

std::optional<json> Page::ask(const std::string& method, json params) {
    std::unique_lock lock(m_mutex);
    if (m_closed) return std::nullopt;
    std::string id = "lumora-" + std::to_string(m_nextAsk++);
    m_asked.emplace(id, std::nullopt);
    lock.unlock();

    send({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}});

    lock.lock();
    m_changed.wait(lock, [&] { return m_closed || m_asked[id].has_value(); });
    std::optional<json> answer = std::move(m_asked[id]);
    m_asked.erase(id);
    return answer;
}

void Page::tell(const std::string& method, json params) {
    if (closed()) return;
    send({{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
}

std::shared_ptr<desktop::CallStateSink> Page::callStates() {
    class OutboxCallStates : public desktop::CallStateSink {
    public:
        explicit OutboxCallStates(std::shared_ptr<PageOutbox> outbox) : m_outbox(std::move(outbox)) {}
        void report(const desktop::CallState& state) override {
            const json message{{"jsonrpc", "2.0"}, {"method", "call.state"}, {"params", host::callStateJson(state)}};
            m_outbox->send(message.dump(-1, ' ', false, json::error_handler_t::replace));
        }

    private:
        std::shared_ptr<PageOutbox> m_outbox;
    };
    return std::make_shared<OutboxCallStates>(m_outbox);
}

std::vector<desktop::WindowEvent> Page::takeEvents(std::chrono::milliseconds wait) {
    std::unique_lock lock(m_mutex);
    if (m_events.empty() && !m_closed && wait.count() > 0)
        m_changed.wait_for(lock, wait, [this] { return m_closed || !m_events.empty(); });
    std::vector<desktop::WindowEvent> events(std::make_move_iterator(m_events.begin()),
                                             std::make_move_iterator(m_events.end()));
    m_events.clear();
    return events;
}

std::string Page::publishFile(const std::filesystem::path& file) {
    if (m_settings.linkBase.empty()) return {};
    return m_settings.linkBase + m_files.publish(m_id, file);
}

std::optional<PageRequest> Page::nextRequest() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_closed || !m_calls.empty(); });
    if (m_closed) return std::nullopt;
    PageRequest request = std::move(m_calls.front());
    m_calls.pop_front();
    // Clicks meant for a window of an earlier call are stale by now.
    m_events.clear();
    return request;
}

void Page::answer(const PageRequest& request, json result) {
    if (!request.wantsAnswer) return;
    json response{{"jsonrpc", "2.0"}, {"id", request.id}, {"result", std::move(result)}};
    size_t limit = m_outbox->maxMessageBytes();
    if (limit != 0) {
        std::string text = response.dump(-1, ' ', false, json::error_handler_t::replace);
        if (text.size() > limit) {
            send(errorResponse(request.id, BridgeError::ResultTooLarge,
                               std::to_string(text.size()) + " bytes, the limit is " + std::to_string(limit)));
            return;
        }
        m_outbox->send(std::move(text));
        return;
    }
    send(response);
}

void Page::run(host::Session& session, BridgeDesktop& desktop, const PageRequest& request) {
    const auto started = std::chrono::steady_clock::now();
    std::optional<json> result;
    json failure;
    try {
        asError([&] {
            // An item window's Save and Close act on the item the page's Desktop holds open; a
            // save is a unit of work of its own, as a page's call is (top_level_call.hpp).
            if (request.operation == Operation::ItemSave) {
                TopLevelCall unitOfWork("item window save");
                result = desktop.saveItemWindow(request.object, request.value);
                unitOfWork.finish();
            } else if (request.operation == Operation::ItemClose) {
                desktop.closeItemWindow(request.object);
                result = json::object();
            } else {
                result = runPageRequest(session, request, m_settings.creatable);
            }
        });
    } catch (const NotCreatable& refusal) {
        failure = notCreatableResponse(request.id, refusal);
    } catch (const Error& e) {
        failure = automationErrorResponse(request.id, e);
    }
    if (m_settings.callLog) {
        auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);
        m_settings.callLog(callLogLine(m_id, request, !result, result ? *result : failure["error"], took));
    }
    if (result)
        answer(request, std::move(*result));
    else if (request.wantsAnswer)
        send(failure);
    if (m_settings.afterCall) m_settings.afterCall();
}

void Page::workerMain() {
    {
        // The page's running call ends at its next check once the page goes; see close().
        ScopedCancelFlag cancellation(m_cancel);
        BridgeDesktop desktop(*this, m_settings.desktop);
        desktop::ScopedDesktop scope(desktop);
        // The page's paths reach its mapped drives, the temporary folder and the user's Lumora
        // documents folder; nothing else on this machine exists for it.
        files::PageReach reach({desktop.tempFolder(), desktop::lumoraDocumentsFolder(Registry::instance().dataFolder())});
        // The session and every object it holds are made and destroyed on this thread.
        // A page holds handles only to the classes it may create; see host::HandleRule.
        host::Session session(host::HandleRule::CreatedClassesOnly);
        while (auto request = nextRequest()) run(session, desktop, *request);
        try {
            session.releaseAll();
        } catch (...) {
            // An object failing in its own clean-up must not keep the worker from ending.
        }
    }
    m_files.withdraw(m_id);
    {
        std::lock_guard lock(m_mutex);
        m_finished = true;
        m_changed.notify_all();
    }
    if (m_onFinished) m_onFinished();
}

}  // namespace lumora::bridge
