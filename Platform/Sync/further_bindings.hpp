#pragma once
// The account's own calendars and address books beyond those the default folders follow: each
// is followed by a subfolder of the default folder of its kind, named as the server names the
// collection ("Holidays" under Calendar). A calendar that takes events and tasks alike gets a
// subfolder under Calendar and one under Tasks, as it does as a default. A collection the server
// no longer lists is unbound; its subfolder and items stay on this computer.

#include <string>
#include <vector>

#include "Platform/Dav/account_discovery.hpp"
#include "default_bindings.hpp"
#include "sync_state.hpp"

namespace lumora::sync {

// collections: what listCollections gave (shares of other users are passed over); chosen: the
// collections the default folders follow. Returns the subfolders' bindings, for a pull.
std::vector<SyncBinding> bindFurtherCollections(pim::PimStore& store, const std::string& accountName,
                                                const std::vector<dav::DavCollection>& collections,
                                                const DefaultCollections& chosen);

}  // namespace lumora::sync
