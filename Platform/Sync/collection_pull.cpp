#include "collection_pull.hpp"

#include <map>
#include <set>

#include "Platform/Dav/change_listing.hpp"
#include "Platform/Outlook/dav_resources.hpp"
#include "Platform/Outlook/pim_errors.hpp"
#include "Platform/Outlook/uid_matcher.hpp"
#include "pending_changes.hpp"
#include "server_wins.hpp"

namespace lumora::sync {

using pim::ItemClass;
using pim::PimStore;

namespace {

ItemClass classOfBoundFolder(const pim::FolderRow& folder) {
    std::optional<ItemClass> itemClass = pim::classOfType(folder.defaultItemType);
    if (!itemClass || (*itemClass != ItemClass::Appointment && *itemClass != ItemClass::Task &&
                       *itemClass != ItemClass::Contact))
        raise(pim::PimError::BadItemType, std::to_string(folder.defaultItemType));
    return *itemClass;
}

// Everything the server lists as changed since the binding's position, the listings it cut
// short followed to their end.
struct ServerChanges {
    std::map<std::string, std::string> changed;  // address -> etag
    std::set<std::string> removed;
    std::string syncToken;
    std::string ctag;
};

ServerChanges listAll(dav::DavClient& client, const SyncBinding& binding, dav::KnownState known) {
    ServerChanges all;
    for (int round = 0; round < kMaxListingRounds; ++round) {
        dav::ChangeList changes = dav::listChanges(client, binding.collectionUrl, known);
        for (dav::MemberVersion& member : changes.changed) {
            all.removed.erase(member.url);
            all.changed[member.url] = std::move(member.etag);
        }
        for (std::string& url : changes.removed) {
            all.changed.erase(url);
            all.removed.insert(std::move(url));
        }
        all.syncToken = changes.syncToken;
        all.ctag = changes.ctag;
        known.syncToken = changes.syncToken;
        if (!changes.more) break;
    }
    return all;
}

// A member as the server sent it, read, to be applied.
struct Arrival {
    pim::ItemRecord item;
    SyncedItem synced;        // its item id is the stored item it updates; 0 for none known
    bool conflicting = false;
};

std::set<int64_t> pendingItems(PimStore& store, const SyncBinding& binding) {
    std::set<int64_t> items;
    for (const PendingChange& change : pendingChangesOf(store, binding)) items.insert(change.item);
    return items;
}

// Reads a member and decides how it lands: a member the person's pending change, move or delete
// stands against is a conflict; a known item removed for good without a pending change is
// forgotten and the member arrives as new.
std::optional<Arrival> arrivalOf(PimStore& store, const SyncBinding& binding, ItemClass expected,
                                 const std::set<int64_t>& pending, dav::DavResource& resource, std::string& text) {
    if (isOtherCalendarClass(text, expected)) return std::nullopt;
    Arrival arrival{pim::readResource(text, expected).item, {0, resource.href, resource.etag, std::move(text)}};
    std::optional<SyncedItem> synced = syncedItemAt(store, binding.folder, resource.href);
    if (!synced) return arrival;
    const std::optional<int64_t> folder = currentFolderOf(store, synced->item);
    arrival.conflicting = pending.contains(synced->item) || (folder && *folder != binding.folder);
    if (folder || arrival.conflicting) arrival.synced.item = synced->item;
    return arrival;
}

}  // namespace

PullResult pullCollection(PimStore& store, dav::DavClient& client, const SyncBinding& binding) {
    const pim::FolderRow folder = store.folder(binding.folder);
    const ItemClass expected = classOfBoundFolder(folder);
    const dav::CollectionKind kind =
        expected == ItemClass::Contact ? dav::CollectionKind::AddressBook : dav::CollectionKind::Calendar;

    // The server is asked everything before the store is written, so that the write is short.
    const std::map<std::string, std::string> etags = knownEtags(store, binding.folder);
    ServerChanges changes = listAll(client, binding, {binding.syncToken, binding.ctag, etags});
    std::vector<std::string> toFetch;
    for (const auto& [url, etag] : changes.changed) {
        auto known = etags.find(url);
        if (known == etags.end() || known->second != etag || etag.empty()) toFetch.push_back(url);
    }
    std::vector<dav::DavResource> fetched = dav::fetchMembers(client, binding.collectionUrl, kind, toFetch);

    PullResult result;
    // Most syncs find nothing new: they leave the store as it is, without a write to wait for.
    if (fetched.empty() && changes.removed.empty() && changes.syncToken == binding.syncToken &&
        changes.ctag == binding.ctag) {
        result.positionRemembered = true;
        return result;
    }
    const std::set<int64_t> pending = pendingItems(store, binding);
    // The server's copy arrives in the folder whether or not the person may change it here.
    pim::PimStore::ServerCopyWrites serverCopy(store);
    std::vector<Arrival> arrivals;
    for (dav::DavResource& resource : fetched) {
        if (resource.status == 404) {  // removed since it was listed
            changes.removed.insert(resource.href);
            continue;
        }
        std::string& text = kind == dav::CollectionKind::AddressBook ? resource.addressData : resource.calendarData;
        if (!resource.found() || text.empty()) {
            result.skipped.push_back({resource.href, "the server sent no data (status " +
                                                         std::to_string(resource.status) + ")"});
            continue;
        }
        try {
            if (std::optional<Arrival> arrival = arrivalOf(store, binding, expected, pending, resource, text))
                arrivals.push_back(std::move(*arrival));
        } catch (const Error& e) {
            result.skipped.push_back({resource.href, e.description()});
        }
    }

    // Conflicts first, each in its own write: should one fail, the position is not yet
    // remembered and the next pull brings the rest again.
    for (Arrival& arrival : arrivals) {
        if (!arrival.conflicting) continue;
        const std::optional<int64_t> item = arrival.synced.item ? std::optional(arrival.synced.item) : std::nullopt;
        SyncConflict conflict = takeServerVersion(store, binding, item, std::move(arrival.item), arrival.synced);
        if (conflict.journalEntry != 0) result.conflicts.push_back(std::move(conflict));  // else the same on both sides
    }
    std::vector<std::string> removedHere;
    for (const std::string& href : changes.removed) {
        std::optional<SyncedItem> synced = syncedItemAt(store, binding.folder, href);
        if (!synced) continue;
        if (currentFolderOf(store, synced->item) == binding.folder && pending.contains(synced->item))
            result.conflicts.push_back(keepLocalVersionInDeletedItems(store, synced->item));
        else
            removedHere.push_back(href);
    }

    auto write = store.beginWholeWrite(kPullJournalWhat);
    pim::UidMatcher matcher = serverItemMatcher(store, binding.folder);
    std::vector<std::pair<size_t, const Arrival*>> applied;
    for (Arrival& arrival : arrivals) {
        if (arrival.conflicting) continue;
        std::optional<int64_t> known;
        if (arrival.synced.item) known = arrival.synced.item;
        const size_t position = matcher.add(std::move(arrival.item), binding.folder, known);
        ++(matcher.isNew(position) ? result.created : result.updated);
        applied.emplace_back(position, &arrival);
    }
    matcher.save();
    for (const auto& [position, arrival] : applied) {
        SyncedItem synced = arrival->synced;
        synced.item = matcher.items()[position].id;
        rememberSyncedItem(store, binding.folder, synced);
    }

    for (const std::string& href : removedHere) {
        std::optional<SyncedItem> synced = syncedItemAt(store, binding.folder, href);
        if (!synced) continue;
        forgetSyncedItem(store, synced->item);
        // An item the person has moved out, deleted or removed for good stays as the person left it.
        if (currentFolderOf(store, synced->item) != binding.folder) continue;
        store.deleteItem(synced->item);
        ++result.removed;
    }

    if (result.skipped.empty()) {
        rememberPosition(store, binding.folder, changes.syncToken, changes.ctag);
        result.positionRemembered = true;
    }
    write.commit();
    return result;
}

}  // namespace lumora::sync
