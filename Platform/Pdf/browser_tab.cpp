#include "browser_tab.hpp"

#include <optional>

#include "Automation/error.hpp"
#include "base64.hpp"
#include "page_folder.hpp"
#include "pdf_errors.hpp"

namespace lumora::pdf {

namespace {

constexpr double kA4WidthInches = 8.27;
constexpr double kA4HeightInches = 11.69;

// The events of one page load: requests answered from the page's folder, and the load's end.
class PageLoad {
public:
    PageLoad(DevToolsClient& browser, const std::filesystem::path& page, std::string session)
        : m_browser(browser), m_folder(page), m_session(std::move(session)) {}

    const std::string& url() const { return m_folder.pageUrl(); }
    bool loaded() const { return m_loaded; }

    void handle(const Json& event) {
        if (event.value("sessionId", std::string()) != m_session) return;
        const std::string method = event.value("method", std::string());
        if (method == "Page.loadEventFired") {
            m_loaded = true;
        } else if (method == "Fetch.requestPaused") {
            answer(event.value("params", Json::object()));
        } else if (method == "Inspector.targetCrashed") {
            raise(PdfError::ConversionFailed, "the page's renderer crashed");
        }
    }

private:
    // Every request the page makes: a file from beside it, or a refusal.
    void answer(const Json& request) {
        const std::string id = request.value("requestId", std::string());
        const std::string url = request.value("request", Json::object()).value("url", std::string());
        if (std::optional<PageFile> file = m_folder.fileFor(url)) {
            m_browser.send("Fetch.fulfillRequest",
                           {{"requestId", id},
                            {"responseCode", 200},
                            {"responseHeaders", Json::array({{{"name", "Content-Type"}, {"value", file->contentType}}})},
                            {"body", base64Encode(file->bytes)}},
                           m_session);
        } else {
            m_browser.send("Fetch.failRequest", {{"requestId", id}, {"errorReason", "AccessDenied"}}, m_session);
        }
    }

    DevToolsClient& m_browser;
    PageFolder m_folder;
    std::string m_session;
    bool m_loaded = false;
};

}  // namespace

BrowserTab BrowserTab::open(DevToolsClient& browser, Deadline deadline) {
    BrowserTab tab;
    tab.m_context =
        browser.call("Target.createBrowserContext", Json::object(), {}, deadline).value("browserContextId", std::string());
    try {
        const std::string target =
            browser.call("Target.createTarget", {{"url", "about:blank"}, {"browserContextId", tab.m_context}}, {}, deadline)
                .value("targetId", std::string());
        tab.m_session = browser.call("Target.attachToTarget", {{"targetId", target}, {"flatten", true}}, {}, deadline)
                            .value("sessionId", std::string());
        browser.call("Fetch.enable", {{"patterns", Json::array({{{"urlPattern", "*"}}})}}, tab.m_session, deadline);
        browser.call("Page.enable", Json::object(), tab.m_session, deadline);
    } catch (const Error&) {
        tab.close(browser, deadline);
        throw;
    }
    return tab;
}

std::string BrowserTab::print(DevToolsClient& browser, const std::filesystem::path& page, Deadline deadline) {
    PageLoad load(browser, page, m_session);
    const auto onEvent = [&load](const Json& event) { load.handle(event); };
    const Json navigated = browser.call("Page.navigate", {{"url", load.url()}}, m_session, deadline, onEvent);
    if (const std::string failure = navigated.value("errorText", std::string()); !failure.empty())
        raise(PdfError::ConversionFailed, failure);
    while (!load.loaded()) browser.awaitEvent(deadline, onEvent);
    const Json printed = browser.call(
        "Page.printToPDF",
        {{"printBackground", true}, {"preferCSSPageSize", true}, {"paperWidth", kA4WidthInches}, {"paperHeight", kA4HeightInches}},
        m_session, deadline, onEvent);
    std::optional<std::string> pdf = base64Decode(printed.value("data", std::string()));
    if (!pdf || pdf->empty()) raise(PdfError::ConversionFailed, "the browser printed nothing");
    return std::move(*pdf);
}

void BrowserTab::close(DevToolsClient& browser, Deadline deadline) noexcept {
    if (m_context.empty()) return;
    try {
        browser.call("Target.disposeBrowserContext", {{"browserContextId", m_context}}, {}, deadline);
    } catch (...) {
    }
    m_context.clear();
}

}  // namespace lumora::pdf
