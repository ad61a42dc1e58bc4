#include "shared_bindings.hpp"

#include <map>
#include <set>

#include "Automation/vb/strings.hpp"
#include "collection_subfolders.hpp"

namespace lumora::sync {

namespace {

constexpr pim::FolderType kSharedFolderTypes[] = {pim::FolderType::Calendar, pim::FolderType::Tasks,
                                                  pim::FolderType::Contacts};

// The default folder type of a bound folder of another mailbox; nullopt for any other folder.
std::optional<pim::FolderType> sharedTypeOf(pim::PimStore& store, int64_t folder, int64_t mailbox) {
    for (pim::FolderType type : kSharedFolderTypes)
        if (store.defaultFolder(mailbox, type).id == folder) return type;
    return std::nullopt;
}

}  // namespace

std::optional<pim::FolderType> folderTypeFor(const dav::DavCollection& collection) {
    if (collection.kind == dav::CollectionKind::AddressBook) return pim::FolderType::Contacts;
    if (collection.holds("VEVENT")) return pim::FolderType::Calendar;
    if (collection.holds("VTODO")) return pim::FolderType::Tasks;
    return std::nullopt;
}

std::vector<SyncBinding> bindSharedCollections(pim::PimStore& store, const std::string& accountName,
                                               const std::vector<dav::SharedCollection>& shares) {
    const pim::MailboxRow me = store.currentMailbox();
    // Each owner's default folder of a kind keeps the collection it follows while the server
    // still offers it; else the first offered takes it. The others become its subfolders.
    std::map<int64_t, std::string> defaultHolders;  // owner's default folder -> collection
    struct Offered {
        const dav::SharedCollection* share;
        pim::FolderType type;
        pim::FolderRow ownersDefault;
    };
    std::vector<Offered> offeredShares;
    for (const dav::SharedCollection& share : shares) {
        const std::optional<pim::FolderType> type = folderTypeFor(share.collection);
        // The store's current user cannot be granted its own folders.
        if (!type || vb::equalsNoCase(share.ownerUser, me.userName)) continue;
        const pim::FolderRow ownersDefault = store.defaultFolder(store.addMailbox(share.ownerUser).id, *type);
        offeredShares.push_back({&share, *type, ownersDefault});
        const std::optional<SyncBinding> bound = bindingOfFolder(store, ownersDefault.id);
        if (bound && bound->account == accountName && bound->collectionUrl == share.collection.url)
            defaultHolders[ownersDefault.id] = share.collection.url;
        else
            defaultHolders.try_emplace(ownersDefault.id, share.collection.url);
    }

    std::vector<SyncBinding> made;
    std::set<int64_t> offered;  // the folders bound now
    for (const auto& [share, type, ownersDefault] : offeredShares) {
        const pim::ShareAccess access = share->writable ? pim::ShareAccess::ReadWrite : pim::ShareAccess::ReadOnly;
        const bool holdsDefault = defaultHolders[ownersDefault.id] == share->collection.url;
        const int64_t folder =
            holdsDefault ? ownersDefault.id
                         : subfolderFollowing(store, ownersDefault, share->collection, accountName, offered);
        if (!offered.insert(folder).second) continue;
        SyncBinding binding;
        binding.folder = folder;
        binding.account = accountName;
        binding.collectionUrl = share->collection.url;
        bindFolder(store, binding);
        if (holdsDefault)
            store.setShared(ownersDefault.mailbox, type, me.id, true, access);
        else
            store.setFolderAccess(folder, access);
        made.push_back(*bindingOfFolder(store, folder));
    }
    for (const SyncBinding& bound : bindingsOfAccount(store, accountName)) {
        const int64_t mailbox = store.mailboxOfFolder(bound.folder);
        if (mailbox == me.id || offered.contains(bound.folder)) continue;
        if (std::optional<pim::FolderType> type = sharedTypeOf(store, bound.folder, mailbox))
            store.setShared(mailbox, *type, me.id, false);
        unbindFolder(store, bound.folder);
    }
    return made;
}

}  // namespace lumora::sync
