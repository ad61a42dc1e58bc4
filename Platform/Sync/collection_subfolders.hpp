#pragma once
// The subfolder that follows a collection beyond a default folder's own: the person's further
// calendars and address books (further_bindings.hpp), and a colleague's further shares
// (shared_bindings.hpp). It is named as the server names the collection.

#include <cstdint>
#include <set>
#include <string>

#include "Platform/Dav/account_discovery.hpp"
#include "Platform/Outlook/pim_store.hpp"

namespace lumora::sync {

// The collection's display name, else the last segment of its address. A backslash would read as
// a folder path's separator, and becomes "/".
std::string folderNameOf(const dav::DavCollection& collection);

// The subfolder of parent that follows the collection for the account: the one that already does,
// else a free one of its name (one the person made, or one a collection left), else a new one,
// named "Name (2)" where another collection has the name. taken: the folders bound to other
// collections in this pass, not yet written.
int64_t subfolderFollowing(pim::PimStore& store, const pim::FolderRow& parent, const dav::DavCollection& collection,
                           const std::string& account, const std::set<int64_t>& taken);

}  // namespace lumora::sync
