#include "shared_bindings.hpp"

#include <algorithm>
#include <set>

#include "Automation/vb/strings.hpp"

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
    std::vector<SyncBinding> made;
    std::set<int64_t> offered;  // the folders bound now
    for (const dav::SharedCollection& share : shares) {
        const std::optional<pim::FolderType> type = folderTypeFor(share.collection);
        // The store's current user cannot be granted its own folders.
        if (!type || vb::equalsNoCase(share.ownerUser, me.userName)) continue;
        const pim::MailboxRow owner = store.addMailbox(share.ownerUser);
        const int64_t folder = store.defaultFolder(owner.id, *type).id;
        if (!offered.insert(folder).second) continue;
        SyncBinding binding;
        binding.folder = folder;
        binding.account = accountName;
        binding.collectionUrl = share.collection.url;
        bindFolder(store, binding);
        store.setShared(owner.id, *type, me.id, true,
                        share.writable ? pim::ShareAccess::ReadWrite : pim::ShareAccess::ReadOnly);
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
