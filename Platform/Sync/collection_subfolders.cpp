#include "collection_subfolders.hpp"

#include <algorithm>

#include "Automation/vb/strings.hpp"
#include "Platform/Dav/dav_address.hpp"
#include "sync_state.hpp"

namespace lumora::sync {

std::string folderNameOf(const dav::DavCollection& collection) {
    std::string name = vb::trim(collection.displayName);
    if (name.empty()) name = dav::lastSegmentOf(collection.url);
    std::ranges::replace(name, '\\', '/');
    return name.empty() ? std::string("Collection") : name;
}

int64_t subfolderFollowing(pim::PimStore& store, const pim::FolderRow& parent, const dav::DavCollection& collection,
                           const std::string& account, const std::set<int64_t>& taken) {
    const std::vector<pim::FolderRow> siblings = store.subfolders(parent.id);
    for (const pim::FolderRow& sibling : siblings) {
        const std::optional<SyncBinding> bound = bindingOfFolder(store, sibling.id);
        if (bound && bound->account == account && bound->collectionUrl == collection.url) return sibling.id;
    }
    const std::string name = folderNameOf(collection);
    for (int n = 1;; ++n) {
        const std::string candidate = n == 1 ? name : name + " (" + std::to_string(n) + ")";
        const auto same = std::ranges::find_if(
            siblings, [&](const pim::FolderRow& sibling) { return vb::equalsNoCase(sibling.name, candidate); });
        if (same == siblings.end()) return store.addFolder(parent.id, candidate, parent.defaultItemType).id;
        if (!bindingOfFolder(store, same->id) && !taken.contains(same->id)) return same->id;
    }
}

}  // namespace lumora::sync
