#include "browser_converter.hpp"

#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "Automation/cancellation.hpp"
#include "Automation/error.hpp"
#include "Platform/Desktop/child_process.hpp"
#include "Platform/Desktop/sandbox.hpp"
#include "browser_tab.hpp"
#include "pdf_errors.hpp"

namespace lumora::pdf {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

std::atomic<int> g_browserStarts{0};

// Closing a tab and its context after a conversion.
constexpr auto kCloseLimit = 5s;
// Opening a tab ahead of the next conversion.
constexpr auto kSpareTabLimit = 10s;

// Nothing a page may use reaches out on its own: no background traffic, no extensions, no GPU
// process, no proxy detection, and no host name or address resolves, so that what the request
// answering does not see (a script's WebSocket) finds no server even outside the sandbox.
constexpr const char* kBrowserFlags[] = {
    "--headless=new", "--remote-debugging-pipe", "--no-first-run", "--no-default-browser-check",
    "--disable-gpu", "--disable-extensions", "--disable-background-networking", "--disable-sync",
    "--disable-component-update", "--disable-default-apps", "--disable-breakpad", "--no-pings",
    "--mute-audio", "--hide-scrollbars", "--no-proxy-server", "--force-webrtc-ip-handling-policy=disable_non_proxied_udp",
    "--host-resolver-rules=MAP * ~NOTFOUND",
};

desktop::process::PipedChild startBrowser(const fs::path& work) {
    const auto browser = desktop::process::findProgram("chromium");
    if (!browser) raise(PdfError::NoConverter);
    std::vector<std::string> argv{browser->string()};
    argv.insert(argv.end(), std::begin(kBrowserFlags), std::end(kBrowserFlags));
    argv.push_back("--user-data-dir=" + (work / "profile").string());
    // Debian's launcher reads its settings from /etc/chromium.d.
    const desktop::sandbox::View view{{"/etc/chromium.d"}, work};
    std::vector<std::string> command;
    if (auto confined = desktop::sandbox::confinedCommand(argv, view)) {
        // Inside the sandbox the browser cannot make namespaces of its own for its sandbox,
        // and needs none: the page already sees no network and no file. Its zygote still
        // works there, and without it each tab costs a full start of the browser's program.
        command = std::move(*confined);
        command.push_back("--no-sandbox");
    } else {
        desktop::sandbox::warnUnconfined("Chromium (PDF conversion)");
        command = std::move(argv);
        // Chromium refuses to run as root with its own sandbox.
        if (::geteuid() == 0) command.push_back("--no-sandbox");
    }
    command.push_back("about:blank");
    ++g_browserStarts;
    auto child = desktop::process::PipedChild::start(command, desktop::process::Channel::DescriptorsThreeAndFour);
    if (!child) raise(PdfError::ConversionFailed, "Chromium could not be started");
    return std::move(*child);
}

bool isTimeout(const Error& error) { return error.number() == errorOf(PdfError::ConversionTimedOut).number(); }

class WarmBrowser {
public:
    static WarmBrowser& instance() {
        static WarmBrowser browser;
        return browser;
    }

    std::string print(const fs::path& page, std::chrono::milliseconds timeLimit) {
        std::lock_guard lock(m_mutex);
        ensureStarted();
        const Deadline deadline = Clock::now() + timeLimit;
        std::optional<BrowserTab> tab = std::exchange(m_spare, std::nullopt);
        try {
            if (!tab) tab = BrowserTab::open(*m_client, deadline);
            std::string pdf = tab->print(*m_client, page, deadline);
            tab->close(*m_client, std::min(deadline, Clock::now() + kCloseLimit));
            wantSpare();
            return pdf;
        } catch (const Error& error) {
            // A browser that overran or ended is ended with all it started; the next
            // conversion starts another. One that only refused this page is kept.
            if (isTimeout(error) || cancelRequested() || !m_client->running()) {
                m_client.reset();
                if (isTimeout(error)) raise(PdfError::ConversionTimedOut, page.filename().string());
            } else if (tab) {
                tab->close(*m_client, std::min(deadline, Clock::now() + kCloseLimit));
            }
            throw;
        }
    }

    void end() {
        std::lock_guard lock(m_mutex);
        m_spare.reset();
        m_client.reset();
    }

    ~WarmBrowser() {
        {
            std::lock_guard lock(m_mutex);
            m_ending = true;
        }
        m_wake.notify_all();
        if (m_preparer.joinable()) m_preparer.join();
        if (m_client) m_client->stop(2s);
        m_client.reset();
        std::error_code ignored;
        if (!m_work.empty()) fs::remove_all(m_work, ignored);
    }

private:
    // Called with m_mutex held.
    void ensureStarted() {
        if (m_client && m_client->running()) return;
        m_client.reset();
        m_spare.reset();
        DevToolsClient client(startBrowser(workFolder()));
        // The browser is ready once it answers; one that does not within the limit is ended.
        try {
            client.call("Browser.getVersion", Json::object(), {}, Clock::now() + kBrowserStartLimit);
        } catch (const Error&) {
            checkCancelled();
            raise(PdfError::ConversionFailed, "Chromium did not start");
        }
        m_client.emplace(std::move(client));
        if (!m_preparer.joinable()) m_preparer = std::thread([this] { prepareSpares(); });
    }

    // Called with m_mutex held: the next tab is opened while nobody waits for it.
    void wantSpare() {
        m_spareWanted = true;
        m_wake.notify_one();
    }

    // The preparing thread: opens a spare tab whenever one is wanted. A conversion that comes
    // meanwhile waits for it, as it would have opened the tab itself.
    void prepareSpares() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_ending || m_spareWanted; });
            if (m_ending) return;
            m_spareWanted = false;
            if (!m_client || m_spare) continue;
            try {
                m_spare = BrowserTab::open(*m_client, Clock::now() + kSpareTabLimit);
            } catch (const Error&) {
                // A browser too slow to open a tab is in trouble: the next conversion starts another.
                m_client.reset();
            }
        }
    }

    // A folder of this process's own, made private under a fresh name: the browser's profile.
    // It is all the browser may write, and besides the system all it may read.
    const fs::path& workFolder() {
        if (m_work.empty()) {
            std::string pattern = (fs::temp_directory_path() / "lumora-browser-XXXXXX").string();
            if (!::mkdtemp(pattern.data())) raise(PdfError::ConversionFailed, "a private work folder could not be made");
            m_work = pattern;
        }
        return m_work;
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<DevToolsClient> m_client;
    std::optional<BrowserTab> m_spare;
    bool m_spareWanted = false;
    bool m_ending = false;
    std::thread m_preparer;
    fs::path m_work;
};

}  // namespace

bool browserInstalled() { return desktop::process::findProgram("chromium").has_value(); }

std::string printWithBrowser(const fs::path& page, std::chrono::milliseconds timeLimit) {
    return WarmBrowser::instance().print(page, timeLimit);
}

void endBrowser() { WarmBrowser::instance().end(); }

int browserStarts() { return g_browserStarts; }

}  // namespace lumora::pdf
