#include "store_history.hpp"

#include <unordered_map>

#include "pim_errors.hpp"
#include "pim_store.hpp"

namespace lumora::pim {

namespace {

HistoryEntry readEntry(Statement& query) {
    return HistoryEntry{query.integer(0), query.integer(1), query.text(2),    query.integer(3),
                        query.integer(4), query.integer(5), query.integer(6), query.integer(7)};
}

#define LUMORA_ENTRY_COLUMNS "j.id, j.at, j.what, j.created, j.changed, j.moved, j.removed, IFNULL(j.undoes, 0)"

// The item's id by its entry id: a stored item's, else the one the journal names, so that
// items removed for good keep their history.
std::optional<int64_t> journaledItemId(PimStore& store, const std::string& entryId) {
    if (std::optional<int64_t> stored = store.itemIdByEntryId(entryId)) return stored;
    Statement& named = store.statements()("SELECT item FROM journal_items WHERE entry_id = ? LIMIT 1");
    named.bind(1, entryId);
    if (!named.step()) return std::nullopt;
    const int64_t id = named.integer(0);
    named.reset();
    return id;
}

// What an entry did to one item, and the first later entry that touched it again.
struct JournaledItem {
    int64_t id = 0;
    std::string entryId;
    int64_t folderBefore = 0;
    int64_t folderAfter = 0;
    bool created = false;
    bool changed = false;
    bool removed = false;
    bool userPropertiesKept = false;
    int64_t laterEntry = 0;
};

std::vector<JournaledItem> itemsOfEntry(StatementCache& statements, int64_t entry) {
    Statement& rows = statements(
        "SELECT ji.item, ji.entry_id, ji.folder_before, ji.folder_after, ji.created, ji.changed, ji.removed,"
        " ji.user_properties_kept, IFNULL((SELECT MIN(later.entry) FROM journal_items later"
        "  WHERE later.item = ji.item AND later.entry > ji.entry), 0)"
        " FROM journal_items ji WHERE ji.entry = ? ORDER BY ji.item");
    rows.bind(1, entry);
    std::vector<JournaledItem> items;
    while (rows.step())
        items.push_back(JournaledItem{rows.integer(0), rows.text(1), rows.integer(2), rows.integer(3),
                                      rows.integer(4) != 0, rows.integer(5) != 0, rows.integer(6) != 0,
                                      rows.integer(7) != 0, rows.integer(8)});
    rows.reset();
    return items;
}

// Puts the items of one entry back through the store's own operations, so that the undo is
// journaled and the store's folder order follows.
class EntryUndo {
public:
    EntryUndo(PimStore& store, int64_t entry) : m_store(store), m_statements(store.statements()), m_entry(entry) {}

    // False when the journal shows the item cannot or must not be put back; `skipped` says why.
    bool mayPutBack(const JournaledItem& item, bool force, std::vector<UndoSkip>& skipped) {
        if (item.created && item.removed) return false;  // made and gone within the entry: nothing to undo
        if (item.removed) return skip(skipped, item, UndoSkip::Reason::RemovedForGood);
        if (item.laterEntry != 0 && !force) return skip(skipped, item, UndoSkip::Reason::TouchedLater);
        return true;
    }

    // True when anything of the item was put back; otherwise `skipped` says why not.
    bool putBack(const JournaledItem& item, std::vector<UndoSkip>& skipped) {
        if (!exists(item.id)) return skip(skipped, item, UndoSkip::Reason::Gone);
        if (item.created) {
            // A created item goes to the trash, where a person can still find it.
            if (!m_store.isInDeletedItems(m_store.loadItem(item.id).folder)) m_store.deleteItem(item.id);
            return true;
        }
        if (item.changed) restoreValues(item);
        if (item.folderBefore == item.folderAfter) return item.changed;
        if (!folderExists(item.folderBefore)) {
            skip(skipped, item, UndoSkip::Reason::FolderGone);
            return item.changed;
        }
        m_store.moveItem(item.id, item.folderBefore);
        return true;
    }

private:
    bool skip(std::vector<UndoSkip>& skipped, const JournaledItem& item, UndoSkip::Reason reason) {
        skipped.push_back(UndoSkip{item.entryId, reason, reason == UndoSkip::Reason::TouchedLater ? item.laterEntry : 0});
        return false;
    }

    bool exists(int64_t item) {
        Statement& query = m_statements("SELECT 1 FROM items WHERE id = ?");
        query.bind(1, item);
        const bool found = query.step();
        query.reset();
        return found;
    }

    bool folderExists(int64_t folder) {
        auto known = m_folders.find(folder);
        if (known != m_folders.end()) return known->second;
        Statement& query = m_statements("SELECT 1 FROM folders WHERE id = ?");
        query.bind(1, folder);
        const bool found = query.step();
        query.reset();
        return m_folders.emplace(folder, found).first->second;
    }

    // The values the entry changed, as they were before it (kind NULL: the item had none), and
    // the whole user-property list when the entry kept it.
    void restoreValues(const JournaledItem& item) {
        ItemRecord record = m_store.loadItem(item.id);
        std::vector<std::string> names;
        Statement& values = m_statements("SELECT name, kind, value FROM journal_values WHERE entry = ? AND item = ?");
        values.bind(1, m_entry).bind(2, item.id);
        while (values.step()) {
            names.push_back(values.text(0));
            if (values.isNull(1))
                record.values.erase(names.back());
            else
                record.values[names.back()] = values.variant(1);
        }
        values.reset();
        if (item.userPropertiesKept) {
            Statement& properties = m_statements(
                "SELECT name, type, kind, value FROM journal_user_properties WHERE entry = ? AND item = ? ORDER BY position");
            properties.bind(1, m_entry).bind(2, item.id);
            while (properties.step())
                record.userProperties.push_back(UserPropertyRow{
                    properties.text(0), static_cast<int32_t>(properties.integer(1)), properties.variant(2)});
            properties.reset();
            record.userPropertiesLoaded = true;
        }
        m_store.saveItem(record, names);
    }

    PimStore& m_store;
    StatementCache& m_statements;
    int64_t m_entry;
    std::unordered_map<int64_t, bool> m_folders;  // folder id -> still there
};

}  // namespace

void forEachHistoryEntry(PimStore& store, const HistoryQuery& query,
                         const std::function<void(const HistoryEntry&)>& visit) {
    Statement* rows = nullptr;
    if (query.itemEntryId) {
        std::optional<int64_t> item = journaledItemId(store, *query.itemEntryId);
        if (!item) return;
        rows = &store.statements()("SELECT " LUMORA_ENTRY_COLUMNS " FROM journal_items ji JOIN journal j ON j.id = ji.entry"
                                   " WHERE ji.item = ? ORDER BY ji.entry DESC LIMIT ?");
        rows->bind(1, *item).bind(2, query.limit);
    } else {
        rows = &store.statements()("SELECT " LUMORA_ENTRY_COLUMNS " FROM journal j ORDER BY j.id DESC LIMIT ?");
        rows->bind(1, query.limit);
    }
    while (rows->step()) visit(readEntry(*rows));
    rows->reset();
}

std::vector<HistoryEntry> listHistory(PimStore& store, const HistoryQuery& query) {
    std::vector<HistoryEntry> entries;
    forEachHistoryEntry(store, query, [&](const HistoryEntry& entry) { entries.push_back(entry); });
    return entries;
}

#undef LUMORA_ENTRY_COLUMNS

UndoResult undoEntry(PimStore& store, int64_t entry, bool force) {
    Statement& known = store.statements()("SELECT 1 FROM journal WHERE id = ?");
    known.bind(1, entry);
    if (!known.step()) raise(PimError::NoJournalEntry, std::to_string(entry));
    known.reset();

    UndoResult result;
    result.undone = entry;
    EntryUndo undo(store, entry);
    // What the journal alone rules out is told without writing anything.
    std::vector<JournaledItem> items = itemsOfEntry(store.statements(), entry);
    std::erase_if(items, [&](const JournaledItem& item) { return !undo.mayPutBack(item, force, result.skipped); });
    if (items.empty()) return result;
    // All or nothing: the item operations are writes within one whole write.
    auto write = store.beginWholeWrite("undo");
    try {
        store.journal().markUndoing(entry);
        for (const JournaledItem& item : items)
            if (undo.putBack(item, result.skipped)) ++result.putBack;
        if (result.putBack > 0) result.entry = store.journal().entryBeingWritten();
        // An undo that put nothing back leaves no entry, and must not mark the next one.
        if (result.putBack == 0) store.journal().markUndoing(0);
        write.commit();
    } catch (...) {
        store.journal().markUndoing(0);
        throw;
    }
    return result;
}

}  // namespace lumora::pim
