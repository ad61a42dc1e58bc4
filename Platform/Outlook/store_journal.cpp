#include "store_journal.hpp"

#include <chrono>
#include <optional>

#include "Automation/top_level_call.hpp"
#include "pim_store.hpp"
#include "statement_cache.hpp"

namespace lumora::pim {

int64_t storeNow() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

int64_t pruneJournal(StatementCache& statements, const JournalBounds& bounds, bool onlyWhenOver) {
    const int64_t cutoff = storeNow() - bounds.maxAgeDays * kMillisecondsPerDay;
    if (onlyWhenOver) {
        // Entries are made in time order, so the oldest is the first by id: both checks are key
        // lookups (an index on the time would cost every call's commit a page). The count runs
        // only when the ids say there may be too many.
        Statement& span = statements(
            "SELECT IFNULL((SELECT at FROM journal ORDER BY id LIMIT 1), 0), IFNULL(MAX(id) - MIN(id) + 1, 0) FROM journal");
        span.step();
        const bool tooOld = span.integer(0) != 0 && span.integer(0) < cutoff;
        const bool maybeTooMany = span.integer(1) > bounds.maxEntries;
        span.reset();
        bool tooMany = false;
        if (maybeTooMany) {
            Statement& count = statements("SELECT COUNT(*) FROM journal");
            count.step();
            tooMany = count.integer(0) > bounds.maxEntries;
            count.reset();
        }
        if (!tooOld && !tooMany) return 0;
    }
    Transaction transaction(statements.database());
    Statement& prune = statements(
        "DELETE FROM journal WHERE at < ?1 OR id < (SELECT id FROM journal ORDER BY id DESC LIMIT 1 OFFSET ?2 - 1)");
    prune.bind(1, cutoff).bind(2, bounds.maxEntries).run();
    const int64_t removed = statements.database().changes();
    transaction.commit();
    return removed;
}

void JournalRecorder::markUndoing(int64_t entry) { m_undoing = entry; }

void JournalRecorder::transactionBegun() {
    TopLevelCall* call = TopLevelCall::current();
    if (call && m_entry != 0 && m_entryCall == call->serial()) {
        m_entryCommitted = true;  // the call goes on after a wait, in the entry it committed then
        return;
    }
    m_entryCommitted = false;
    m_statements("INSERT INTO journal(at, what) VALUES(?, ?)")
        .bind(1, storeNow())
        .bind(2, call ? std::string_view(call->what()) : std::string_view(m_writeOutsideCalls))
        .run();
    m_entry = m_statements.database().lastInsertId();
    m_entryCall = call ? call->serial() : 0;
}

void JournalRecorder::beforeCommit() {
    if (m_entry == 0) return;
    // An item made and removed for good by the same entry left nothing to undo.
    m_statements(
        "UPDATE journal SET"
        " created = (SELECT COUNT(*) FROM journal_items WHERE entry = ?1 AND created AND NOT removed),"
        " changed = (SELECT COUNT(*) FROM journal_items WHERE entry = ?1 AND changed AND NOT created AND NOT removed),"
        " moved = (SELECT COUNT(*) FROM journal_items WHERE entry = ?1 AND folder_before <> folder_after"
        "          AND NOT created AND NOT removed),"
        " removed = (SELECT COUNT(*) FROM journal_items WHERE entry = ?1 AND removed AND NOT created),"
        " undoes = IFNULL(NULLIF(?2, 0), undoes) WHERE id = ?1")
        .bind(1, m_entry)
        .bind(2, m_undoing ? m_undoing : int64_t{0})
        .run();
    m_undoing = 0;
    Statement& empty = m_statements("SELECT created + changed + moved + removed = 0 FROM journal WHERE id = ?");
    empty.bind(1, m_entry);
    const bool nothing = empty.step() && empty.integer(0) != 0;
    empty.reset();
    if (nothing) {
        m_statements("DELETE FROM journal WHERE id = ?").bind(1, m_entry).run();
        m_entry = 0;
    }
    if (m_entryCall == 0) m_entry = 0;  // outside a call, the next transaction is the next entry
}

void JournalRecorder::rolledBack() noexcept {
    m_undoing = 0;
    // An entry committed before the call waited is still there, and the call's next write goes
    // on in it.
    if (m_entryCommitted) return;
    m_entry = 0;
    m_entryCall = 0;
}

JournalRecorder::Touched JournalRecorder::touch(int64_t item) {
    m_statements(
        "INSERT OR IGNORE INTO journal_items(entry, item, entry_id, class, folder_before, folder_after)"
        " SELECT ?1, id, entry_id, class, folder, folder FROM items WHERE id = ?2")
        .bind(1, m_entry)
        .bind(2, item)
        .run();
    Statement& row = m_statements("SELECT created, user_properties_kept FROM journal_items WHERE entry = ? AND item = ?");
    row.bind(1, m_entry).bind(2, item);
    Touched touched;
    if (row.step()) touched = Touched{row.integer(0) != 0, row.integer(1) != 0};
    row.reset();
    return touched;
}

void JournalRecorder::created(const ItemRecord& item) {
    m_statements(
        "INSERT OR IGNORE INTO journal_items(entry, item, entry_id, class, folder_before, folder_after, created)"
        " VALUES(?, ?, ?, ?, ?, ?, 1)")
        .bind(1, m_entry)
        .bind(2, item.id)
        .bind(3, item.entryId)
        .bind(4, static_cast<int64_t>(item.itemClass))
        .bind(5, item.folder)
        .bind(6, item.folder)
        .run();
}

void JournalRecorder::changing(const ItemRecord& next, const std::vector<std::string>& names) {
    Statement& stored = m_statements("SELECT kind, value FROM item_values WHERE item = ? AND name = ?");
    std::optional<Touched> touched;
    for (const std::string& name : names) {
        stored.bind(1, next.id).bind(2, name);
        const bool had = stored.step();
        const Variant old = had ? stored.variant(0) : Variant();
        stored.reset();
        auto value = next.values.find(name);
        const bool has = value != next.values.end();
        if (had == has && (!has || old == value->second)) continue;
        if (!touched) touched = touch(next.id);
        if (touched->created) return;  // undoing a creation does not need the first values
        Statement& keep = m_statements(
            "INSERT OR IGNORE INTO journal_values(entry, item, name, kind, value) VALUES(?, ?, ?, ?, ?)");
        keep.bind(1, m_entry).bind(2, next.id).bind(3, name);
        if (had) keep.bindVariant(4, old);  // an absent value stays NULL in both columns
        keep.run();
    }
    if (touched)
        m_statements("UPDATE journal_items SET changed = 1 WHERE entry = ? AND item = ?").bind(1, m_entry).bind(2, next.id).run();
}

void JournalRecorder::userPropertiesChanging(const ItemRecord& next) {
    Statement& stored =
        m_statements("SELECT name, type, kind, value FROM user_properties WHERE item = ? ORDER BY position");
    stored.bind(1, next.id);
    size_t position = 0;
    bool same = true;
    while (same && stored.step()) {
        same = position < next.userProperties.size() && next.userProperties[position].name == stored.text(0) &&
               next.userProperties[position].type == stored.integer(1) &&
               next.userProperties[position].value == stored.variant(2);
        ++position;
    }
    stored.reset();
    if (same && position == next.userProperties.size()) return;
    const Touched touched = touch(next.id);
    if (touched.created) return;
    if (!touched.userPropertiesKept)
        m_statements(
            "INSERT INTO journal_user_properties(entry, item, position, name, type, kind, value)"
            " SELECT ?1, item, position, name, type, kind, value FROM user_properties WHERE item = ?2")
            .bind(1, m_entry)
            .bind(2, next.id)
            .run();
    m_statements("UPDATE journal_items SET changed = 1, user_properties_kept = 1 WHERE entry = ? AND item = ?")
        .bind(1, m_entry)
        .bind(2, next.id)
        .run();
}

// One statement each: a purge or an undo moves thousands of items.
void JournalRecorder::moving(int64_t item, int64_t to) {
    m_statements(
        "INSERT INTO journal_items(entry, item, entry_id, class, folder_before, folder_after)"
        " SELECT ?1, id, entry_id, class, folder, ?3 FROM items WHERE id = ?2"
        " ON CONFLICT(entry, item) DO UPDATE SET folder_after = excluded.folder_after")
        .bind(1, m_entry)
        .bind(2, item)
        .bind(3, to)
        .run();
}

void JournalRecorder::removing(int64_t item) {
    m_statements(
        "INSERT INTO journal_items(entry, item, entry_id, class, folder_before, folder_after, removed)"
        " SELECT ?1, id, entry_id, class, folder, folder, 1 FROM items WHERE id = ?2"
        " ON CONFLICT(entry, item) DO UPDATE SET removed = 1")
        .bind(1, m_entry)
        .bind(2, item)
        .run();
}

}  // namespace lumora::pim
