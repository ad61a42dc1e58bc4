#pragma once
// The trash as the person at the command line sees it: the items lying in each mailbox's
// Deleted Items (or a folder inside it), restoring them to where they came from, and emptying
// it for good. Every change goes through the store's own operations, so it is journaled.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "item_kinds.hpp"

namespace lumora::pim {

class PimStore;

struct TrashItem {
    std::string entryId;
    ItemClass itemClass = ItemClass::Mail;
    std::string name;         // a contact's FileAs (or full name), an item's subject
    std::string mailbox;      // the user name of the mailbox whose trash holds it
    std::string cameFrom;     // the name of the folder it was deleted from; "" when not known
    bool cameFromGone = false;  // that folder has been removed since
    int64_t deletedAt = 0;    // milliseconds since 1970; 0 when not known (moved there by older versions)
};

// Newest deletion first.
std::vector<TrashItem> listTrash(PimStore& store);

struct RestoreResult {
    struct Restored {
        std::string entryId;
        std::string folder;  // the name of the folder it went back to
    };
    std::vector<Restored> restored;
    std::vector<std::string> unknown;     // entry ids of no item
    std::vector<std::string> notInTrash;  // entry ids of items outside Deleted Items
};

// Moves each item back to the folder it was deleted from, or, when that folder is gone, to its
// mailbox's default folder for its class; all in one write.
RestoreResult restoreFromTrash(PimStore& store, const std::vector<std::string>& entryIds);

// Removes for good the items in Deleted Items, or with `olderThanDays` only those deleted longer
// ago than that (an item whose deletion time is not known stays); returns how many.
int64_t emptyTrash(PimStore& store, std::optional<int64_t> olderThanDays);

}  // namespace lumora::pim
