#include "account_sync.hpp"

#include <exception>
#include <thread>

#include "Automation/top_level_call.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "collection_pull.hpp"
#include "collection_push.hpp"

namespace lumora::sync {

using pim::PimStore;

namespace {

void moveInto(std::vector<SyncConflict>& to, std::vector<SyncConflict>& from) {
    for (SyncConflict& conflict : from) to.push_back(std::move(conflict));
}

CollectionSync syncCollection(PimStore& store, dav::DavClient& client, const SyncBinding& binding) {
    CollectionSync sync;
    sync.folder = binding.folder;
    sync.collectionUrl = binding.collectionUrl;
    try {
        asError([&] {
            PullResult pulled = pullCollection(store, client, binding);
            sync.created = pulled.created;
            sync.updated = pulled.updated;
            sync.removed = pulled.removed;
            sync.skipped = std::move(pulled.skipped);
            moveInto(sync.conflicts, pulled.conflicts);
            PushResult pushed = pushCollection(store, client, binding);
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

AccountSyncResult syncOutsideCalls(PimStore& store, dav::DavClient& client, std::string_view accountName) {
    AccountSyncResult result;
    result.account = accountName;
    for (const SyncBinding& binding : bindingsOfAccount(store, accountName))
        result.collections.push_back(syncCollection(store, client, binding));
    return result;
}

}  // namespace

bool AccountSyncResult::succeeded() const {
    for (const CollectionSync& collection : collections)
        if (collection.failure) return false;
    return true;
}

AccountSyncResult syncAccount(PimStore& store, dav::DavClient& client, std::string_view accountName) {
    if (!TopLevelCall::current()) return syncOutsideCalls(store, client, accountName);
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
            result = syncOutsideCalls(own, client, accountName);
        } catch (...) {
            failure = std::current_exception();
        }
    });
    worker.join();
    if (failure) std::rethrow_exception(failure);
    return result;
}

}  // namespace lumora::sync
