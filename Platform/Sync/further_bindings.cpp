#include "further_bindings.hpp"

#include <set>

#include "collection_subfolders.hpp"

namespace lumora::sync {

using pim::FolderType;
using pim::PimStore;

namespace {

constexpr FolderType kFollowingTypes[] = {FolderType::Calendar, FolderType::Tasks, FolderType::Contacts};

// The default folders of each kind a further collection lands under.
std::vector<FolderType> parentTypesOf(const dav::DavCollection& collection, const DefaultCollections& chosen) {
    if (collection.kind == dav::CollectionKind::AddressBook)
        return collection.url == chosen.contacts ? std::vector<FolderType>{} : std::vector{FolderType::Contacts};
    std::vector<FolderType> types;
    if (collection.holds("VEVENT") && collection.url != chosen.events) types.push_back(FolderType::Calendar);
    if (collection.holds("VTODO") && collection.url != chosen.tasks) types.push_back(FolderType::Tasks);
    return types;
}

class SubfolderBinder {
public:
    SubfolderBinder(PimStore& store, std::string accountName)
        : m_store(store), m_account(std::move(accountName)), m_mailbox(store.currentMailbox().id) {
        for (FolderType type : kFollowingTypes) m_defaults.insert(store.defaultFolder(m_mailbox, type).id);
    }

    SyncBinding bind(FolderType parentType, const dav::DavCollection& collection) {
        const pim::FolderRow parent = m_store.defaultFolder(m_mailbox, parentType);
        const int64_t folder = subfolderFollowing(m_store, parent, collection, m_account, m_kept);
        SyncBinding binding;
        binding.folder = folder;
        binding.account = m_account;
        binding.collectionUrl = collection.url;
        bindFolder(m_store, binding);
        m_kept.insert(folder);
        return *bindingOfFolder(m_store, folder);
    }

    // Ends the bindings of the person's subfolders that no collection followed this time.
    void unbindTheRest() {
        for (const SyncBinding& bound : bindingsOfAccount(m_store, m_account)) {
            if (m_kept.contains(bound.folder) || m_defaults.contains(bound.folder)) continue;
            if (m_store.mailboxOfFolder(bound.folder) != m_mailbox) continue;  // a colleague's share
            unbindFolder(m_store, bound.folder);
        }
    }

private:
    PimStore& m_store;
    std::string m_account;
    int64_t m_mailbox;
    std::set<int64_t> m_defaults;
    std::set<int64_t> m_kept;  // the subfolders bound this time
};

}  // namespace

std::vector<SyncBinding> bindFurtherCollections(PimStore& store, const std::string& accountName,
                                                const std::vector<dav::DavCollection>& collections,
                                                const DefaultCollections& chosen) {
    SubfolderBinder binder(store, accountName);
    std::vector<SyncBinding> made;
    for (const dav::DavCollection& collection : collections) {
        if (collection.sharedByOther) continue;
        for (FolderType parentType : parentTypesOf(collection, chosen))
            made.push_back(binder.bind(parentType, collection));
    }
    binder.unbindTheRest();
    return made;
}

}  // namespace lumora::sync
