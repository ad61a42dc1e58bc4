#include "pending_changes.hpp"

#include "server_entries.hpp"

namespace lumora::sync {

using pim::PimStore;
using pim::Statement;

namespace {

// The items the person's entries after the cursor touched, in the folder now or shared with the
// server from it. Only the entries after the cursor are read, and of those only the items of
// entries that are not the server's own pulls: a first sync of thousands of items is one pull
// entry, which the check after every call would otherwise walk item by item.
constexpr std::string_view kJournaledChanges =
    "SELECT touched.item AS item, touched.latest AS latest FROM ("
    "  SELECT ji.item AS item, MAX(CASE WHEN j.what <> ?4 THEN j.id END) AS latest,"
    "         MAX(CASE WHEN j.what = ?4 THEN j.id END) AS settled"
    "  FROM journal j CROSS JOIN journal_items ji ON ji.entry = j.id"
    "  WHERE j.id > ?1 AND j.what <> ?3 GROUP BY ji.item) AS touched"
    " WHERE touched.latest > IFNULL(touched.settled, 0)"
    "   AND (EXISTS(SELECT 1 FROM items WHERE id = touched.item AND folder = ?2)"
    "        OR EXISTS(SELECT 1 FROM sync_items WHERE item = touched.item AND folder = ?2))";

// The folder's appointments, tasks and contacts the server has never had.
constexpr std::string_view kNeverSent =
    " SELECT i.id, 0 FROM items i WHERE i.folder = ?2 AND i.class IN (?5, ?6, ?7)"
    "   AND NOT EXISTS(SELECT 1 FROM sync_items s WHERE s.item = i.id)";

std::string pendingQuery(PendingReach reach) {
    std::string query = "SELECT item, MAX(latest) AS latest FROM (";
    query += kJournaledChanges;
    if (reach == PendingReach::WithNeverSent) {
        query += " UNION ALL";
        query += kNeverSent;
    }
    return query + ") GROUP BY item ORDER BY latest, item";
}

}  // namespace

std::vector<PendingChange> pendingChangesOf(PimStore& store, const SyncBinding& binding, PendingReach reach) {
    static const std::string withNeverSent = pendingQuery(PendingReach::WithNeverSent);
    static const std::string journalOnly = pendingQuery(PendingReach::JournalOnly);
    Statement& rows = store.statements()(reach == PendingReach::WithNeverSent ? withNeverSent : journalOnly);
    rows.bind(1, binding.pushCursor).bind(2, binding.folder).bind(3, kPullJournalWhat).bind(4, kConflictJournalWhat);
    if (reach == PendingReach::WithNeverSent)
        rows.bind(5, static_cast<int64_t>(pim::ItemClass::Appointment))
            .bind(6, static_cast<int64_t>(pim::ItemClass::Task))
            .bind(7, static_cast<int64_t>(pim::ItemClass::Contact));
    std::vector<PendingChange> pending;
    while (rows.step()) pending.push_back({rows.integer(0), rows.integer(1)});
    return pending;
}

int64_t pendingChanges(PimStore& store, std::string_view account, PendingReach reach) {
    int64_t count = 0;
    for (const SyncBinding& binding : bindingsOfAccount(store, account))
        count += static_cast<int64_t>(pendingChangesOf(store, binding, reach).size());
    return count;
}

}  // namespace lumora::sync
