#include "further_bindings.hpp"

#include <algorithm>
#include <set>

#include "Automation/vb/strings.hpp"
#include "Platform/Dav/dav_address.hpp"

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

// How the person sees the collection: its display name, else the last segment of its address. A
// backslash would read as a folder path's separator.
std::string folderNameOf(const dav::DavCollection& collection) {
    std::string name = vb::trim(collection.displayName);
    if (name.empty()) name = dav::lastSegmentOf(collection.url);
    std::ranges::replace(name, '\\', '/');
    return name.empty() ? std::string("Collection") : name;
}

class SubfolderBinder {
public:
    SubfolderBinder(PimStore& store, std::string accountName)
        : m_store(store), m_account(std::move(accountName)), m_mailbox(store.currentMailbox().id) {
        for (FolderType type : kFollowingTypes) m_defaults.insert(store.defaultFolder(m_mailbox, type).id);
    }

    // The subfolder of the parent that follows the collection: the one that already does, else a
    // free one of its name, else a new one (named "Name (2)" where another collection has the name).
    SyncBinding bind(FolderType parentType, const dav::DavCollection& collection) {
        const pim::FolderRow parent = m_store.defaultFolder(m_mailbox, parentType);
        const int64_t folder = subfolderFor(parent, collection);
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
    int64_t subfolderFor(const pim::FolderRow& parent, const dav::DavCollection& collection) {
        const std::string name = folderNameOf(collection);
        const std::vector<pim::FolderRow> siblings = m_store.subfolders(parent.id);
        for (const pim::FolderRow& sibling : siblings) {
            const std::optional<SyncBinding> bound = bindingOfFolder(m_store, sibling.id);
            if (bound && bound->account == m_account && bound->collectionUrl == collection.url) return sibling.id;
        }
        for (int n = 1;; ++n) {
            const std::string candidate = n == 1 ? name : name + " (" + std::to_string(n) + ")";
            const pim::FolderRow* same = nullptr;
            for (const pim::FolderRow& sibling : siblings)
                if (vb::equalsNoCase(sibling.name, candidate)) same = &sibling;
            if (!same) return m_store.addFolder(parent.id, candidate, parent.defaultItemType).id;
            // A folder of that name the person made, or one a collection left: it follows this one.
            if (!bindingOfFolder(m_store, same->id) && !m_kept.contains(same->id)) return same->id;
        }
    }

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
