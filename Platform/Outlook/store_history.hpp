#pragma once
// The store's journal as the person at the command line reads it, and the undo of one entry.
//
// An undo is itself an entry (marked as undoing the other), written through the store's own
// operations, so it is journaled like any call and can be undone in turn, which redoes. Items a
// later entry touched again are left alone unless forced, since putting back their older state
// would silently throw away what came after.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lumora::pim {

class PimStore;

struct HistoryEntry {
    int64_t id = 0;
    int64_t at = 0;  // milliseconds since 1970
    std::string what;
    int64_t created = 0;
    int64_t changed = 0;
    int64_t moved = 0;
    int64_t removed = 0;
    int64_t undoes = 0;  // the entry it undid; 0 for none
};

struct HistoryQuery {
    int64_t limit = 20;
    // Only the entries that touched the item of that entry id, which need not exist any more.
    std::optional<std::string> itemEntryId;
};

// Newest first. An item entry id the store and its journal never knew gives no entries.
std::vector<HistoryEntry> listHistory(PimStore& store, const HistoryQuery& query);
// The same entries handed over one at a time as they are read, so that a long listing holds only
// one; `visit` must not use the store.
void forEachHistoryEntry(PimStore& store, const HistoryQuery& query,
                         const std::function<void(const HistoryEntry&)>& visit);

// One item the undo could not put back, and why.
struct UndoSkip {
    enum class Reason {
        TouchedLater,  // a later entry (`laterEntry`) touched it; forcing undoes it anyway
        RemovedForGood,
        Gone,          // it no longer exists (removed by a later entry, when forced)
        FolderGone,    // the folder it was moved from no longer exists; it stays where it is
    };
    std::string entryId;
    Reason reason = Reason::TouchedLater;
    int64_t laterEntry = 0;
};

struct UndoResult {
    int64_t undone = 0;    // the entry asked for
    int64_t entry = 0;     // the entry that undid it; 0 when nothing was put back
    int64_t putBack = 0;   // items put back, wholly or in part
    std::vector<UndoSkip> skipped;
};

// Puts back what the entry did, as one write of the store: in a top-level call, part of its
// transaction and its journal entry. Raises the store's NoJournalEntry for an unknown entry.
UndoResult undoEntry(PimStore& store, int64_t entry, bool force);

}  // namespace lumora::pim
