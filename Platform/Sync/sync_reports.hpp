#pragma once
// What a pull or a push tells its caller beside its counts: the resources it passed over, and
// the conflicts the server won.

#include <cstdint>
#include <string>

namespace lumora::sync {

struct SkippedResource {
    std::string href;  // the resource's address, or the item's entry id when it has none yet
    std::string reason;
};

// An item changed on both sides, or changed on one and deleted on the other. The server's
// version is what the folder holds now; undoing `journalEntry` brings back the person's, and
// the next sync sends it.
struct SyncConflict {
    enum class Kind {
        ChangedOnBoth,
        DeletedHereChangedThere,  // the server's version came back into the folder
        ChangedHereDeletedThere,  // the person's version went to Deleted Items
    };
    Kind kind = Kind::ChangedOnBoth;
    std::string entryId;    // the item's, as it is now
    std::string subject;    // an appointment's or task's subject, a contact's name
    int64_t journalEntry = 0;  // 0 when the server's version changed nothing here
};

}  // namespace lumora::sync
