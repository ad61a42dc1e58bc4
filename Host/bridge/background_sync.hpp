#pragma once
// The PIM's sync with its groupware accounts while `lumora serve` runs, on a thread of its own
// with its own connection to the store, so that pages are never held up by a server:
// - every interval, each account whose retry time has come is synced whole (shares, pull, push);
// - soon after a page's call returns, what the call changed in a synced folder is pushed, so
//   that the server and the person's other devices have it within moments.
// An account that fails is retried after its backoff (account_sync_runner). What a sync finds
// wrong is kept with the account and shown by `lumora pim account list` and the page.

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "Host/accounts/account_sync_runner.hpp"

namespace lumora::bridge {

class BackgroundSync {
public:
    // `log` is told one line per sync that did or found something (lumora serve --verbose).
    BackgroundSync(std::filesystem::path dataFolder, std::chrono::seconds interval,
                   std::function<void(const std::string&)> log = {});
    ~BackgroundSync();  // stops, after the sync under way ends
    BackgroundSync(const BackgroundSync&) = delete;
    BackgroundSync& operator=(const BackgroundSync&) = delete;

    // Stops within `grace`: false when a sync was still talking to its server, which the caller
    // (a bridge that is ending) then leaves to the end of the process, object and all. A sync cut
    // short there loses nothing: the store's write is whole or absent, and it resumes next time.
    bool stop(std::chrono::milliseconds grace);

    // A page's call has returned: push what it changed. Cheap when nothing did.
    void callReturned();

private:
    void run();
    void syncEachAccount(host::SyncScope scope);

    const std::filesystem::path m_dataFolder;
    const std::chrono::seconds m_interval;
    const std::function<void(const std::string&)> m_log;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    bool m_callsReturned = false;
    bool m_finished = false;
    std::thread m_thread;
};

}  // namespace lumora::bridge
