#pragma once
// Other users' calendars and address books that the server shares with an account, as those
// users' mailboxes in the store: each owner is a mailbox, and the default folder a shared
// collection stands for (Calendar for events, Tasks for tasks, Contacts for an address book)
// follows that collection and is shared with the current user, to change or only to read as the
// server allows; an owner's further collections of a kind are subfolders of it. A share the server
// no longer offers is unshared and its folder unbound; its items stay on this computer.

#include <optional>
#include <string>
#include <vector>

#include "Platform/Dav/shared_collections.hpp"
#include "sync_state.hpp"

namespace lumora::sync {

// The default folder a shared collection stands for: Calendar for a calendar that takes events,
// Tasks for one that takes only tasks, Contacts for an address book; nullopt for a calendar of
// neither.
std::optional<pim::FolderType> folderTypeFor(const dav::DavCollection& collection);

// Binds what the account's server shares now (findSharedCollections) and ends the shares of
// the account it no longer offers. Where one owner shares several collections of a kind, the
// default folder keeps the one it follows (else takes the first), and each other is a subfolder
// of it named as the server names the collection, with its own access (PimStore::setFolderAccess).
// Returns the bindings of the shared folders, for a pull.
std::vector<SyncBinding> bindSharedCollections(pim::PimStore& store, const std::string& accountName,
                                               const std::vector<dav::SharedCollection>& shares);

}  // namespace lumora::sync
