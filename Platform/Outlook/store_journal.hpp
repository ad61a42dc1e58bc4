#pragma once
// The store's journal, as it is written: one entry per top-level call that touched items, in the
// call's own transaction, holding for each item what it needs to be put back (the folder it was
// in, the old values of what changed, its old user properties). Reading and undoing entries is
// store_history's.
//
// Outside any call each write transaction is an entry of its own, described by the write.
//
// The journal is bounded: entries older than the age or beyond the count are pruned when a store
// opens, or when the person asks.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "item_kinds.hpp"

namespace lumora::pim {

class StatementCache;
struct ItemRecord;
struct UserPropertyRow;

// The milliseconds since 1970 by the system clock: the journal's and the trash's time.
int64_t storeNow();
inline constexpr int64_t kMillisecondsPerDay = 24LL * 60 * 60 * 1000;

struct JournalBounds {
    int64_t maxAgeDays = 90;
    int64_t maxEntries = 100000;
};

// Removes the entries beyond the bounds; returns how many. `onlyWhenOver` first checks, reading
// only, whether any are, so that opening a store within its bounds writes nothing.
int64_t pruneJournal(StatementCache& statements, const JournalBounds& bounds, bool onlyWhenOver);

class JournalRecorder {
public:
    explicit JournalRecorder(StatementCache& statements) : m_statements(statements) {}

    // What the next write outside any call is, for its entry ("item save", "item delete").
    void describeNextWrite(std::string_view what) { m_writeOutsideCalls = what; }
    // Marks the entry the running transaction writes as the undoing of another.
    void markUndoing(int64_t entry);
    // The entry the running transaction writes; 0 between transactions outside calls.
    int64_t entryBeingWritten() const { return m_entry; }

    // What a write is about to do, called before it does it, inside its transaction.
    void created(const ItemRecord& item);
    void changing(const ItemRecord& next, const std::vector<std::string>& names);
    void userPropertiesChanging(const ItemRecord& next);
    void moving(int64_t item, int64_t to);
    void removing(int64_t item);

    // The edges of the store's transactions: the entry is made when one begins (or goes on, for a
    // call that waited for the person), counted before it commits and dropped when it is empty.
    void transactionBegun();
    void beforeCommit();
    void rolledBack() noexcept;

private:
    struct Touched {
        bool created = false;
        bool userPropertiesKept = false;
    };
    // The item's row in the running entry, made on first touch from its stored head.
    Touched touch(int64_t item);

    StatementCache& m_statements;
    std::string m_writeOutsideCalls = "store write";
    int64_t m_entry = 0;          // the entry being written; 0 between transactions outside calls
    uint64_t m_entryCall = 0;     // the call it belongs to: a call waiting for a person keeps it
    bool m_entryCommitted = false;  // the entry was committed before the running transaction
    int64_t m_undoing = 0;        // the entry the running transaction undoes
};

}  // namespace lumora::pim
