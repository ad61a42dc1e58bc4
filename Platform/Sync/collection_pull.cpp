#include "collection_pull.hpp"

#include <map>
#include <set>

#include "Platform/Dav/change_listing.hpp"
#include "Platform/Outlook/dav_resources.hpp"
#include "Platform/Outlook/pim_errors.hpp"
#include "Platform/Outlook/uid_matcher.hpp"

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

// A member as the server sent it, to be applied.
struct Arrival {
    size_t position = 0;  // in the matcher's items
    std::string href;
    std::string etag;
    std::string text;
};

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
    // The server's copy arrives in the folder whether or not the person may change it here.
    pim::PimStore::ServerCopyWrites serverCopy(store);
    auto write = store.beginWholeWrite(kPullJournalWhat);
    pim::UidMatcher matcher(store, store.mailboxOfFolder(binding.folder), pim::resourceFieldsOf);
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
            pim::ParsedResource parsed = pim::readResource(text, expected);
            std::optional<SyncedItem> synced = syncedItemAt(store, binding.folder, resource.href);
            std::optional<int64_t> known;
            if (synced) known = synced->item;
            const size_t position = matcher.add(std::move(parsed.item), binding.folder, known);
            ++(matcher.isNew(position) ? result.created : result.updated);
            arrivals.push_back({position, resource.href, resource.etag, std::move(text)});
        } catch (const Error& e) {
            result.skipped.push_back({resource.href, e.description()});
        }
    }
    matcher.save();
    for (const Arrival& arrival : arrivals)
        rememberSyncedItem(store, binding.folder,
                           {matcher.items()[arrival.position].id, arrival.href, arrival.etag, arrival.text});

    for (const std::string& href : changes.removed) {
        std::optional<SyncedItem> synced = syncedItemAt(store, binding.folder, href);
        if (!synced) continue;
        forgetSyncedItem(store, synced->item);
        // An item the person has deleted already stays where it is: a delete in Deleted Items is final.
        if (store.isInDeletedItems(store.loadItem(synced->item).folder)) continue;
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
