#include "default_bindings.hpp"

#include <algorithm>
#include <string_view>

namespace lumora::sync {

namespace {

std::string firstCalendarFor(const std::vector<dav::DavCollection>& collections, std::string_view component) {
    const auto names = [&](const dav::DavCollection& c) {
        return c.kind == dav::CollectionKind::Calendar && !c.sharedByOther &&
               std::ranges::find(c.components, component) != c.components.end();
    };
    const auto takes = [&](const dav::DavCollection& c) {
        return c.kind == dav::CollectionKind::Calendar && !c.sharedByOther && c.holds(component);
    };
    auto found = std::ranges::find_if(collections, names);
    if (found == collections.end()) found = std::ranges::find_if(collections, takes);
    return found == collections.end() ? std::string() : found->url;
}

}  // namespace

DefaultCollections chooseDefaultCollections(const std::vector<dav::DavCollection>& collections) {
    DefaultCollections chosen;
    chosen.events = firstCalendarFor(collections, "VEVENT");
    chosen.tasks = firstCalendarFor(collections, "VTODO");
    const auto book = std::ranges::find_if(
        collections,
        [](const dav::DavCollection& c) { return c.kind == dav::CollectionKind::AddressBook && !c.sharedByOther; });
    if (book != collections.end()) chosen.contacts = book->url;
    return chosen;
}

DefaultCollections boundDefaultCollections(pim::PimStore& store, std::string_view account) {
    const int64_t mailbox = store.currentMailbox().id;
    const auto followed = [&](pim::FolderType type) {
        const std::optional<SyncBinding> bound = bindingOfFolder(store, store.defaultFolder(mailbox, type).id);
        return bound && bound->account == account ? bound->collectionUrl : std::string();
    };
    return {followed(pim::FolderType::Calendar), followed(pim::FolderType::Tasks), followed(pim::FolderType::Contacts)};
}

std::vector<SyncBinding> bindDefaultFolders(pim::PimStore& store, const std::string& account,
                                            const DefaultCollections& chosen) {
    const int64_t mailbox = store.currentMailbox().id;
    std::vector<SyncBinding> made;
    for (const auto& [type, url] : {std::pair{pim::FolderType::Calendar, chosen.events},
                                    {pim::FolderType::Tasks, chosen.tasks},
                                    {pim::FolderType::Contacts, chosen.contacts}}) {
        if (url.empty()) continue;
        SyncBinding binding;
        binding.folder = store.defaultFolder(mailbox, type).id;
        binding.account = account;
        binding.collectionUrl = url;
        bindFolder(store, binding);
        made.push_back(binding);
    }
    return made;
}

}  // namespace lumora::sync
