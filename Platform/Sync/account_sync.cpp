#include "account_sync.hpp"

#include <exception>
#include <thread>

#include "Automation/top_level_call.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "collection_pull.hpp"
#include "collection_push.hpp"
#include "pending_changes.hpp"

namespace lumora::sync {

using pim::PimStore;

namespace {

void moveInto(std::vector<SyncConflict>& to, std::vector<SyncConflict>& from) {
    for (SyncConflict& conflict : from) to.push_back(std::move(conflict));
}

PendingReach reachOf(SyncSteps steps) {
    return steps == SyncSteps::PushOnly ? PendingReach::JournalOnly : PendingReach::WithNeverSent;
}

CollectionSync syncCollection(PimStore& store, dav::DavClient& client, const SyncBinding& binding, SyncSteps steps) {
    CollectionSync sync;
    sync.folder = binding.folder;
    sync.collectionUrl = binding.collectionUrl;
    try {
        asError([&] {
            if (steps == SyncSteps::PullAndPush) {
                PullResult pulled = pullCollection(store, client, binding);
                sync.created = pulled.created;
                sync.updated = pulled.updated;
                sync.removed = pulled.removed;
                sync.skipped = std::move(pulled.skipped);
                moveInto(sync.conflicts, pulled.conflicts);
            }
            PushResult pushed = pushCollection(store, client, binding, reachOf(steps));
            sync.pushed = pushed.pushed;
            sync.deleted = pushed.deleted;
            sync.skipped.insert(sync.skipped.end(), pushed.skipped.begin(), pushed.skipped.end());
            moveInto(sync.conflicts, pushed.conflicts);
        });
    } catch (const Error& e) {
        sync.failure = e;
    }
    return sync;
}

AccountSyncResult syncOutsideCalls(PimStore& store, dav::DavClient& client, std::string_view accountName,
                                   SyncSteps steps) {
    AccountSyncResult result;
    result.account = accountName;
    for (const SyncBinding& binding : bindingsOfAccount(store, accountName)) {
        // A push alone asks nothing of a server whose folder has nothing to send.
        if (steps == SyncSteps::PushOnly && pendingChangesOf(store, binding, reachOf(steps)).empty()) continue;
        result.collections.push_back(syncCollection(store, client, binding, steps));
    }
    return result;
}

}  // namespace

bool AccountSyncResult::succeeded() const {
    for (const CollectionSync& collection : collections)
        if (collection.failure) return false;
    return true;
}

AccountSyncResult syncAccount(PimStore& store, dav::DavClient& client, std::string_view accountName,
                              SyncSteps steps) {
    if (!TopLevelCall::current()) return syncOutsideCalls(store, client, accountName, steps);
    // Within a call every write would join the call's entry, and the server's writes could not be
    // told from the person's: the call's work is made durable first, so that the other
    // connection's writes do not wait for it.
    TopLevelCall::beforePersonWaits();
    const std::filesystem::path dataFolder = store.database().file().parent_path();
    desktop::Desktop& callersDesktop = desktop::current();
    AccountSyncResult result;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            desktop::ScopedDesktop scope(callersDesktop);
            PimStore own(dataFolder);
            result = syncOutsideCalls(own, client, accountName, steps);
        } catch (...) {
            failure = std::current_exception();
        }
    });
    worker.join();
    if (failure) std::rethrow_exception(failure);
    return result;
}

}  // namespace lumora::sync
