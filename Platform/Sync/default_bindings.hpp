#pragma once
// Which of an account's collections the person's default folders follow, and binding them: the
// Calendar follows the first calendar that names events among its components (else the first
// that takes any), Tasks likewise for tasks, Contacts the first address book. Collections other
// users share in the account's homes are theirs (shared_bindings.hpp), never the person's defaults.

#include <string>
#include <string_view>
#include <vector>

#include "Platform/Dav/account_discovery.hpp"
#include "sync_state.hpp"

namespace lumora::sync {

struct DefaultCollections {
    std::string events;    // "" when the account has no calendar for them
    std::string tasks;
    std::string contacts;
};

DefaultCollections chooseDefaultCollections(const std::vector<dav::DavCollection>& collections);

// The collections the current mailbox's Calendar, Tasks and Contacts follow for the account now.
DefaultCollections boundDefaultCollections(pim::PimStore& store, std::string_view account);

// Binds the current mailbox's Calendar, Tasks and Contacts to the chosen collections (those the
// account has); returns the bindings made.
std::vector<SyncBinding> bindDefaultFolders(pim::PimStore& store, const std::string& account,
                                            const DefaultCollections& chosen);

}  // namespace lumora::sync
