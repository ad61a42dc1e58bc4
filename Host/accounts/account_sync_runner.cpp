#include "account_sync_runner.hpp"

#include <algorithm>

#include "Host/host_errors.hpp"
#include "Platform/Dav/shared_collections.hpp"
#include "Platform/Outlook/store_journal.hpp"
#include "Platform/Sync/default_bindings.hpp"
#include "Platform/Sync/further_bindings.hpp"
#include "Platform/Sync/pending_changes.hpp"
#include "Platform/Sync/shared_bindings.hpp"
#include "account_registry.hpp"
#include "credential_store.hpp"
#include "sync_lock.hpp"

namespace lumora::host {

namespace {

constexpr std::chrono::milliseconds kFirstRetry = std::chrono::seconds(30);
constexpr std::chrono::milliseconds kLongestRetry = std::chrono::minutes(30);

// How the account's sync went, kept for `account list`, the page and the background's schedule.
void recordOutcome(GroupwareAccount& account, const AccountSyncReport& report) {
    const int64_t now = pim::storeNow();
    if (report.failed()) {
        account.lastError = report.error;
        ++account.failures;
        account.retryAt = now + retryDelay(account.failures).count();
    } else {
        account.lastError.clear();
        account.failures = 0;
        account.retryAt = 0;
        account.lastSync = now;
    }
}

// The account's calendars and address books, found again: a new one of the person's own becomes
// a subfolder, a new share a folder of its owner's mailbox; one gone or withdrawn is unbound (its
// items stay here).
void refreshCollections(pim::PimStore& store, dav::DavClient& client, const std::string& name) {
    const dav::AccountHomes homes = dav::discoverHomes(client);
    const std::vector<dav::DavCollection> collections = dav::listCollections(client, homes);
    sync::bindFurtherCollections(store, name, collections, sync::boundDefaultCollections(store, name));
    sync::bindSharedCollections(store, name, dav::findSharedCollections(client, homes, collections));
}

// The folder's path below its mailbox's root: "Calendar", or "Calendar\Holidays" for a subfolder.
std::string pathBelowRoot(pim::PimStore& store, const pim::FolderRow& folder) {
    std::string path = folder.name;
    if (folder.parent == 0) return path;
    for (pim::FolderRow parent = store.folder(folder.parent); parent.parent != 0; parent = store.folder(parent.parent))
        path = parent.name + "\\" + path;
    return path;
}

// "Calendar" for the person's own folder, "Calendar of alice" for one a colleague shares.
std::vector<std::string> folderLabels(pim::PimStore& store, const sync::AccountSyncResult& result) {
    const int64_t own = store.currentMailbox().id;
    std::vector<std::string> labels;
    for (const sync::CollectionSync& collection : result.collections) {
        const pim::FolderRow folder = store.folder(collection.folder);
        const std::string path = pathBelowRoot(store, folder);
        labels.push_back(folder.mailbox == own ? path : path + " of " + store.mailbox(folder.mailbox).userName);
    }
    return labels;
}

std::string firstFailure(const sync::AccountSyncResult& result, const std::vector<std::string>& labels) {
    for (size_t i = 0; i < result.collections.size(); ++i)
        if (result.collections[i].failure) return labels[i] + ": " + result.collections[i].failure->description();
    return {};
}

}  // namespace

std::chrono::milliseconds retryDelay(int64_t failures) {
    std::chrono::milliseconds delay = kFirstRetry;
    for (int64_t i = 1; i < failures && delay < kLongestRetry; ++i) delay *= 2;
    return std::min(delay, kLongestRetry);
}

AccountSyncReport runAccountSync(const std::filesystem::path& dataFolder, pim::PimStore& store, const std::string& name,
                                 SyncScope scope) {
    AccountSyncReport report;
    report.account = name;
    // Most calls change nothing synced: they cost one query, and no lock.
    if (scope == SyncScope::PendingChangesOnly &&
        sync::pendingChanges(store, name, sync::PendingReach::JournalOnly) == 0)
        return report;
    SyncLock lock(dataFolder);
    // Read under the lock: another process may have just kept what its sync did.
    AccountRegistry registry(dataFolder);
    const GroupwareAccount* found = registry.find(name);
    if (!found) raise(HostError::NoSuchAccount, name);
    GroupwareAccount account = *found;

    try {
        const std::optional<std::string> password = openCredentialStore(dataFolder)->load(name);
        if (!password) raise(HostError::NoPassword, name);
        dav::DavClient client({account.serverUrl, account.user, *password});
        if (scope == SyncScope::SharesAndChanges) refreshCollections(store, client, name);
        report.result = sync::syncAccount(store, client, name,
                                          scope == SyncScope::PendingChangesOnly ? sync::SyncSteps::PushOnly
                                                                                 : sync::SyncSteps::PullAndPush);
        report.folderLabels = folderLabels(store, *report.result);
        report.error = firstFailure(*report.result, report.folderLabels);
    } catch (const Error& e) {
        report.error = e.description();
    }
    recordOutcome(account, report);
    registry.update(account);
    return report;
}

}  // namespace lumora::host
