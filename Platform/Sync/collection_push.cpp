#include "collection_push.hpp"

#include "Platform/Dav/dav_errors.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "Platform/Outlook/dav_resources.hpp"
#include "pending_changes.hpp"
#include "resource_names.hpp"
#include "server_wins.hpp"

namespace lumora::sync {

using dav::DavError;
using dav::WriteCondition;
using pim::PimStore;

namespace {

constexpr std::string_view kCalendarContentType = "text/calendar; charset=utf-8";
constexpr std::string_view kCardContentType = "text/vcard; charset=utf-8";

bool isDavError(const Error& error, DavError id) { return error.number() == errorOf(id).number(); }

// Only over the version the store knows; a server that never named one is written over as is.
WriteCondition overKnownVersion(const SyncedItem& synced) {
    return synced.etag.empty() ? WriteCondition::unconditional() : WriteCondition::ifMatch(synced.etag);
}

class Pusher {
public:
    Pusher(PimStore& store, dav::DavClient& client, const SyncBinding& binding)
        : m_store(store), m_client(client), m_binding(binding), m_class(folderClass(store, binding.folder)) {}

    PushResult run(PendingReach reach) {
        for (const PendingChange& change : pendingChangesOf(m_store, m_binding, reach)) {
            send(change.item);
            auto write = m_store.beginWrite("sync push");
            advancePushCursor(m_store, m_binding.folder, change.latestEntry);
            write.commit();
        }
        return std::move(m_result);
    }

private:
    static pim::ItemClass folderClass(PimStore& store, int64_t folder) {
        return pim::classOfType(store.folder(folder).defaultItemType).value_or(pim::ItemClass::Appointment);
    }

    void send(int64_t item) {
        const std::optional<int64_t> folder = currentFolderOf(m_store, item);
        std::optional<SyncedItem> synced = syncedItemOf(m_store, item);
        const bool sharedFromHere = synced && syncedFolderOf(m_store, item) == m_binding.folder;
        if (folder == m_binding.folder) {
            // Moved here from another bound folder: it leaves that folder's collection first, so
            // that it is never in both, nor written over there.
            if (synced && !sharedFromHere) {
                leaveOtherCollection(item, *synced);
                synced.reset();
            }
            put(item, synced);
        } else if (sharedFromHere) {
            remove(item, *synced);
        }
        // else an item this folder's collection never had left the folder: nothing to send
    }

    // The resource of an item the person moved out of another bound folder, removed there over
    // the version the store knows. Gone already, it is what was asked for; changed there
    // meanwhile, the server's version stays and arrives with that folder's next pull as a new
    // item, so that neither side's change is lost.
    void leaveOtherCollection(int64_t item, const SyncedItem& synced) {
        try {
            m_client.remove(synced.href, overKnownVersion(synced));
        } catch (const Error& e) {
            if (!isDavError(e, DavError::NotFound) && !isDavError(e, DavError::PreconditionFailed)) throw;
        }
        auto write = m_store.beginWrite("sync push");
        forgetSyncedItem(m_store, item);
        write.commit();
        ++m_result.deleted;
    }

    void put(int64_t id, const std::optional<SyncedItem>& synced) {
        pim::ItemRecord item = m_store.loadItem(id);
        m_store.loadUserProperties(item);
        std::string text;
        try {
            text = pim::resourceText(item, synced ? std::string_view(synced->serverText) : std::string_view(),
                                     desktop::current().now());
        } catch (const Error& e) {
            m_result.skipped.push_back({item.entryId, e.description()});
            return;
        }
        std::string href = synced ? synced->href : newResourceUrl(m_binding.collectionUrl, item.uid, item.itemClass);
        const WriteCondition condition = synced ? overKnownVersion(*synced) : WriteCondition::createOnly();
        std::string etag;
        try {
            etag = m_client.put(href, text, contentType(), condition);
        } catch (const Error& e) {
            if (!isDavError(e, DavError::PreconditionFailed) && !isDavError(e, DavError::AlreadyExists)) throw;
            if (serverChangedMeanwhile(id, href, item.uid)) return;
            // Another item holds the address: this one takes a name of its own.
            href = newResourceUrl(m_binding.collectionUrl, "", item.itemClass);
            etag = m_client.put(href, text, contentType(), WriteCondition::createOnly());
        }
        // A server that does not name the new version in its answer is asked for it.
        if (etag.empty()) etag = m_client.get(href).etag;
        auto write = m_store.beginWrite("sync push");
        rememberSyncedItem(m_store, m_binding.folder, {id, href, etag, text});
        write.commit();
        ++m_result.pushed;
    }

    void remove(int64_t item, const SyncedItem& synced) {
        try {
            m_client.remove(synced.href, overKnownVersion(synced));
        } catch (const Error& e) {
            if (isDavError(e, DavError::PreconditionFailed)) {
                // Another item at the address now: this one is gone from the server, as asked.
                if (serverChangedMeanwhile(item, synced.href, uidOf(synced.serverText))) return;
            } else if (!isDavError(e, DavError::NotFound)) {  // gone already: what was asked for
                throw;
            }
        }
        auto write = m_store.beginWrite("sync push");
        forgetSyncedItem(m_store, item);
        write.commit();
        ++m_result.deleted;
    }

    // The server holds another version than the store knows, or something where a new item was to
    // go: the server's version wins, or, gone there, the person's goes to Deleted Items. False,
    // with nothing done, when what the address holds is another item (another UID).
    bool serverChangedMeanwhile(int64_t item, const std::string& href, const std::string& uid) {
        const dav::DavReply current = m_client.send({"GET", href, {}, {}, std::nullopt, {}});
        if (current.status == 404 || current.status == 410) {
            if (currentFolderOf(m_store, item) == m_binding.folder && syncedItemOf(m_store, item))
                report(keepLocalVersionInDeletedItems(m_store, item));
            return true;
        }
        if (!current.succeeded()) m_client.failedStatus(current, "GET");
        pim::ItemRecord serverItem;
        try {
            serverItem = pim::readResource(current.body, m_class).item;
        } catch (const Error& e) {
            m_result.skipped.push_back({href, e.description()});
            return true;
        }
        if (serverItem.uid != uid) return false;
        std::optional<int64_t> known;
        if (currentFolderOf(m_store, item)) known = item;
        report(takeServerVersion(m_store, m_binding, known, std::move(serverItem), {0, href, current.etag, current.body}));
        return true;
    }

    std::string uidOf(const std::string& serverText) const {
        try {
            return pim::readResource(serverText, m_class).item.uid;
        } catch (const Error&) {
            return {};
        }
    }

    // A conflict whose server version changed nothing here is none for the person.
    void report(const SyncConflict& conflict) {
        if (conflict.journalEntry != 0) m_result.conflicts.push_back(conflict);
    }

    std::string_view contentType() const {
        return m_class == pim::ItemClass::Contact ? kCardContentType : kCalendarContentType;
    }

    PimStore& m_store;
    dav::DavClient& m_client;
    SyncBinding m_binding;
    pim::ItemClass m_class;
    PushResult m_result;
};

}  // namespace

PushResult pushCollection(PimStore& store, dav::DavClient& client, const SyncBinding& binding, PendingReach reach) {
    SyncBinding current = bindingOfFolder(store, binding.folder).value_or(binding);
    return Pusher(store, client, current).run(reach);
}

}  // namespace lumora::sync
