#include "pending_changes.hpp"

#include "server_entries.hpp"

namespace lumora::sync {

using pim::PimStore;
using pim::Statement;

std::vector<PendingChange> pendingChangesOf(PimStore& store, const SyncBinding& binding) {
    // journal_items is keyed by entry first, so only the entries after the cursor are read.
    Statement& rows = store.statements()(
        "SELECT touched.item, touched.latest FROM ("
        "  SELECT ji.item AS item, MAX(CASE WHEN j.what NOT IN (?3, ?4) THEN j.id END) AS latest,"
        "         MAX(CASE WHEN j.what = ?4 THEN j.id END) AS settled"
        "  FROM journal_items ji JOIN journal j ON j.id = ji.entry WHERE ji.entry > ?1 GROUP BY ji.item) AS touched"
        " WHERE touched.latest > IFNULL(touched.settled, 0)"
        "   AND (EXISTS(SELECT 1 FROM items WHERE id = touched.item AND folder = ?2)"
        "        OR EXISTS(SELECT 1 FROM sync_items WHERE item = touched.item AND folder = ?2))"
        " ORDER BY touched.latest, touched.item");
    rows.bind(1, binding.pushCursor).bind(2, binding.folder).bind(3, kPullJournalWhat).bind(4, kConflictJournalWhat);
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
