#pragma once
// Sending one item the person changed to the server its folder follows, the way the sync's push
// does it: the item's resource made over the server's last text (so that what another program
// keeps there survives), written only over the version the store last saw (If-Match), and the
// new etag and text remembered in a write of the store's own (sync::syncedItemOf reads them).

#include <cstdint>
#include <string>

#include "Platform/Dav/dav_client.hpp"
#include "Platform/Outlook/pim_store.hpp"

namespace lumora::bench {

// Throws std::runtime_error for an item its folder does not share with the server, and the
// client's errors (PreconditionFailed when the server holds another version).
void pushChangedItem(pim::PimStore& store, dav::DavClient& client, int64_t item);

}  // namespace lumora::bench
