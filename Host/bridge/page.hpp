#pragma once
// One page: a browser tab's connection, or one native-messaging channel. The page's objects
// live on its own worker thread, which runs the page's calls one at a time as the controls
// expect (single-threaded apartment) with the page's Desktop installed. The transport's
// thread only hands messages in: it never waits for a call, so other pages go on being
// served while this one is busy or waiting for its user.

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "Automation/cancellation.hpp"
#include "Host/session.hpp"
#include "bridge_desktop.hpp"
#include "page_link.hpp"
#include "page_message.hpp"
#include "shown_files.hpp"

namespace lumora::bridge {

// The classes a page may create by name: the three deliverables, as a browser would create only
// controls marked safe for scripting. The outside applications behind them (file system, Word,
// Outlook) stay reachable only through what the controls' members hand back.
std::vector<std::string> deliverableClasses();
// What a page may create by default: the deliverables, and Lumora.PimAdmin, through which the
// page shows the person's folders and items and sets the explorer selection. Its members that
// change who sees what, inject faults or reach files refuse a page (error 70).
std::vector<std::string> pageClasses();

struct PageSettings {
    MessageLimits limits;
    std::vector<std::string> creatable = pageClasses();  // ProgIDs and class ids
    size_t maxQueuedCalls = 256;   // calls waiting behind the running one
    size_t maxQueuedEvents = 1024; // clicks not yet pumped
    BridgeDesktopOptions desktop;
    // The bridge's own address as the page reached it ("http://127.0.0.1:8765"), the base of
    // download links; empty when the transport has no web server (native messaging).
    std::string linkBase;
    // Told one line per answered request (lumora serve --verbose); empty: nothing is logged.
    std::function<void(const std::string&)> callLog;
    // Told on the page's worker after each answered request (the PIM's background sync).
    std::function<void()> afterCall;
};

class Page : public PageLink {
public:
    // onFinished runs on the worker thread once it has released the page's objects.
    Page(PageId id, std::shared_ptr<PageOutbox> outbox, PageSettings settings, ShownFiles& files,
         std::function<void()> onFinished = {});
    ~Page() override;  // closes and waits for the worker
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    // From the transport's thread: one complete text message.
    void receive(std::string_view text);
    // From the transport's thread: a message that was over the size limit and was dropped.
    void receiveOversized(std::string_view prefix, size_t size);
    // The connection is gone: the running call is cancelled, a pending message box is dismissed,
    // open windows close, queued calls are dropped, and the worker releases the page's objects
    // and ends.
    void close();
    // Waits up to `timeout` for the worker to end; true when it has.
    bool waitFinished(std::chrono::milliseconds timeout);

    PageId id() const { return m_id; }

    // PageLink, used by the page's Desktop on the worker thread.
    std::optional<nlohmann::json> ask(const std::string& method, nlohmann::json params) override;
    void tell(const std::string& method, nlohmann::json params) override;
    std::vector<desktop::WindowEvent> takeEvents(std::chrono::milliseconds wait) override;
    bool closed() const override;
    std::string publishFile(const std::filesystem::path& file) override;
    // Each report becomes a call.state notification through the page's outbox, which outlives
    // the page's worker and drops what comes after the page has gone.
    std::shared_ptr<desktop::CallStateSink> callStates() override;

private:
    void workerMain();
    std::optional<PageRequest> nextRequest();
    void send(const nlohmann::json& message);
    void answer(const PageRequest& request, nlohmann::json result);
    void run(host::Session& session, BridgeDesktop& desktop, const PageRequest& request);

    PageId m_id;
    std::shared_ptr<PageOutbox> m_outbox;
    PageSettings m_settings;
    ShownFiles& m_files;
    std::function<void()> m_onFinished;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<PageRequest> m_calls;
    std::deque<desktop::WindowEvent> m_events;
    std::map<std::string, std::optional<nlohmann::json>> m_asked;  // by request id: the answer once in
    uint64_t m_nextAsk = 1;
    bool m_closed = false;
    bool m_finished = false;
    CancelFlag m_cancel;  // lent to the worker: set when the page goes
    std::thread m_worker;
};

}  // namespace lumora::bridge
