#include "background_sync.hpp"

#include "Host/accounts/account_registry.hpp"
#include "Host/accounts/account_sync_runner.hpp"
#include "Host/accounts/sync_report_text.hpp"
#include "Platform/Outlook/pim_store.hpp"

namespace lumora::bridge {

namespace {

// The first whole sync waits a moment after start, so that the bridge answers its first page
// before it talks to any server.
constexpr std::chrono::seconds kFirstSyncDelay{2};
// A new calendar, of the person's own or shared by a colleague, is seldom: the account's
// collections and shares are found again on the first whole sync and then on every twelfth
// (hourly at the default interval), which spares each sync the requests.
constexpr int kWholeSyncsPerSharesCheck = 12;

}  // namespace

BackgroundSync::BackgroundSync(std::filesystem::path dataFolder, std::chrono::seconds interval,
                               std::function<void(const std::string&)> log)
    : m_dataFolder(std::move(dataFolder)), m_interval(interval), m_log(std::move(log)) {
    m_thread = std::thread([this] { run(); });
}

BackgroundSync::~BackgroundSync() {
    if (m_thread.joinable()) stop(std::chrono::milliseconds::max());
}

bool BackgroundSync::stop(std::chrono::milliseconds grace) {
    std::unique_lock lock(m_mutex);
    m_stopping = true;
    m_wake.notify_all();
    const bool finished = grace == std::chrono::milliseconds::max()
                              ? (m_wake.wait(lock, [this] { return m_finished; }), true)
                              : m_wake.wait_for(lock, grace, [this] { return m_finished; });
    lock.unlock();
    if (!finished) return false;
    m_thread.join();
    return true;
}

void BackgroundSync::callReturned() {
    {
        std::lock_guard guard(m_mutex);
        m_callsReturned = true;
    }
    m_wake.notify_all();
}

void BackgroundSync::run() {
    auto nextWholeSync = std::chrono::steady_clock::now() + kFirstSyncDelay;
    int wholeSyncs = 0;
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        m_wake.wait_until(lock, nextWholeSync, [this] { return m_stopping || m_callsReturned; });
        if (m_stopping) break;
        const bool pushOnly = m_callsReturned && std::chrono::steady_clock::now() < nextWholeSync;
        m_callsReturned = false;
        lock.unlock();
        if (pushOnly) {
            syncEachAccount(host::SyncScope::PendingChangesOnly);
        } else {
            syncEachAccount(wholeSyncs++ % kWholeSyncsPerSharesCheck == 0 ? host::SyncScope::SharesAndChanges
                                                                          : host::SyncScope::Changes);
            nextWholeSync = std::chrono::steady_clock::now() + m_interval;
        }
        lock.lock();
    }
    m_finished = true;
    m_wake.notify_all();
}

// An account waiting out a failure is left alone: its changes go with its next attempt. Each
// account's failure stays with the account; nothing a server does may end the thread.
void BackgroundSync::syncEachAccount(host::SyncScope scope) {
    try {
        const std::vector<host::GroupwareAccount> accounts = host::AccountRegistry(m_dataFolder).accounts();
        if (accounts.empty()) return;
        // A connection per pass: one kept open between passes could go on reading the store as it
        // was when a query of its last pass stopped early.
        pim::PimStore store(m_dataFolder);
        for (const host::GroupwareAccount& account : accounts) {
            if (account.retryAt > pim::storeNow()) continue;
            const host::AccountSyncReport report = host::runAccountSync(m_dataFolder, store, account.name, scope);
            if (m_log && (report.result || report.failed()))
                for (const std::string& line : host::reportLines(report)) m_log("sync: " + line);
        }
    } catch (const std::exception& e) {
        if (m_log) m_log(std::string("sync: ") + e.what());
    }
}

}  // namespace lumora::bridge
