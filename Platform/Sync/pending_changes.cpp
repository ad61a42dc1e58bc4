#include "pending_changes.hpp"

#include "server_entries.hpp"

namespace lumora::sync {

using pim::PimStore;
using pim::Statement;

std::vector<PendingChange> pendingChangesOf(PimStore& store, const SyncBinding& binding) {
    // journal_items is keyed by entry first, so only the entries after the cursor are read. An
    // appointment, task or contact of the folder the server has never had is pending whatever
    // the journal says: it was there before the folder was bound, or its entry was pruned.
    Statement& rows = store.statements()(
        "SELECT item, MAX(latest) AS latest FROM ("
        " SELECT touched.item AS item, touched.latest AS latest FROM ("
        "  SELECT ji.item AS item, MAX(CASE WHEN j.what NOT IN (?3, ?4) THEN j.id END) AS latest,"
        "         MAX(CASE WHEN j.what = ?4 THEN j.id END) AS settled"
        "  FROM journal_items ji JOIN journal j ON j.id = ji.entry WHERE ji.entry > ?1 GROUP BY ji.item) AS touched"
        " WHERE touched.latest > IFNULL(touched.settled, 0)"
        "   AND (EXISTS(SELECT 1 FROM items WHERE id = touched.item AND folder = ?2)"
        "        OR EXISTS(SELECT 1 FROM sync_items WHERE item = touched.item AND folder = ?2))"
        " UNION ALL"
        " SELECT i.id, 0 FROM items i WHERE i.folder = ?2 AND i.class IN (?5, ?6, ?7)"
        "   AND NOT EXISTS(SELECT 1 FROM sync_items s WHERE s.item = i.id))"
        " GROUP BY item ORDER BY latest, item");
    rows.bind(1, binding.pushCursor).bind(2, binding.folder).bind(3, kPullJournalWhat).bind(4, kConflictJournalWhat);
    rows.bind(5, static_cast<int64_t>(pim::ItemClass::Appointment))
        .bind(6, static_cast<int64_t>(pim::ItemClass::Task))
        .bind(7, static_cast<int64_t>(pim::ItemClass::Contact));
    std::vector<PendingChange> pending;
    while (rows.step()) pending.push_back({rows.integer(0), rows.integer(1)});
    return pending;
}

int64_t pendingChanges(PimStore& store, std::string_view account) {
    int64_t count = 0;
    for (const SyncBinding& binding : bindingsOfAccount(store, account))
        count += static_cast<int64_t>(pendingChangesOf(store, binding).size());
    return count;
}

}  // namespace lumora::sync
