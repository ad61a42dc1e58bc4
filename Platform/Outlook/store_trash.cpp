#include "store_trash.hpp"

#include <algorithm>

#include "pim_item.hpp"
#include "pim_store.hpp"

namespace lumora::pim {

namespace {

constexpr int64_t kDeletedItems = static_cast<int64_t>(FolderType::DeletedItems);

// The folders of every mailbox's Deleted Items, and of the folders inside them, as `trash`; ?1 is
// the Deleted Items folder type.
#define LUMORA_TRASH_FOLDERS                                                                          \
    "WITH RECURSIVE trash(id, mailbox) AS (SELECT id, mailbox FROM folders WHERE folder_type = ?1"    \
    " UNION SELECT f.id, f.mailbox FROM folders f JOIN trash t ON f.parent = t.id) "

std::string displayName(const ItemRecord& item) {
    switch (item.itemClass) {
    case ItemClass::Contact:
        for (const char* name : {"FileAs", "FullName"})
            if (std::string text = textValue(item, name); !text.empty()) return text;
        if (std::string fileAs = composedFileAs(item); !fileAs.empty()) return fileAs;
        return composedFullName(item);
    case ItemClass::DistributionList: return textValue(item, "DLName");
    default: return textValue(item, "Subject");
    }
}

}  // namespace

std::vector<TrashItem> listTrash(PimStore& store) {
    Statement& query = store.statements()(
        LUMORA_TRASH_FOLDERS
        "SELECT i.id, m.user_name, IFNULL(source.name, ''), i.deleted_from IS NOT NULL AND source.id IS NULL,"
        " IFNULL(i.deleted_at, 0) FROM trash t JOIN items i ON i.folder = t.id JOIN mailboxes m ON m.id = t.mailbox"
        " LEFT JOIN folders source ON source.id = i.deleted_from ORDER BY IFNULL(i.deleted_at, 0) DESC, i.id");
    query.bind(1, kDeletedItems);
    std::vector<std::pair<int64_t, TrashItem>> rows;
    while (query.step()) {
        TrashItem item;
        item.mailbox = query.text(1);
        item.cameFrom = query.text(2);
        item.cameFromGone = query.integer(3) != 0;
        item.deletedAt = query.integer(4);
        rows.emplace_back(query.integer(0), std::move(item));
    }
    query.reset();
    std::vector<TrashItem> items;
    items.reserve(rows.size());
    for (auto& [id, item] : rows) {
        const ItemRecord record = store.loadItem(id);
        item.entryId = record.entryId;
        item.itemClass = record.itemClass;
        item.name = displayName(record);
        items.push_back(std::move(item));
    }
    return items;
}

RestoreResult restoreFromTrash(PimStore& store, const std::vector<std::string>& entryIds) {
    RestoreResult result;
    auto write = store.beginWholeWrite("trash restore");
    for (const std::string& entryId : entryIds) {
        std::optional<int64_t> id = store.itemIdByEntryId(entryId);
        if (!id) {
            result.unknown.push_back(entryId);
            continue;
        }
        const ItemRecord item = store.loadItem(*id);
        if (!store.isInDeletedItems(item.folder)) {
            result.notInTrash.push_back(entryId);
            continue;
        }
        Statement& source = store.statements()(
            "SELECT f.id, f.name FROM items i JOIN folders f ON f.id = i.deleted_from WHERE i.id = ?");
        source.bind(1, *id);
        std::optional<FolderRow> home;
        if (source.step()) home = FolderRow{source.integer(0), {}, 0, 0, source.text(1), 0};
        source.reset();
        if (!home) home = store.defaultFolder(store.mailboxOfFolder(item.folder), homeFolderOf(item.itemClass));
        store.moveItem(*id, home->id);
        result.restored.push_back({entryId, home->name});
    }
    write.commit();
    return result;
}

int64_t emptyTrash(PimStore& store, std::optional<int64_t> olderThanDays) {
    Statement& query = store.statements()(
        LUMORA_TRASH_FOLDERS
        "SELECT i.id FROM trash t JOIN items i ON i.folder = t.id"
        " WHERE ?2 IS NULL OR (i.deleted_at IS NOT NULL AND i.deleted_at < ?2) ORDER BY i.id");
    query.bind(1, kDeletedItems);
    // Beyond a million days every deletion is younger: the cutoff stays within range.
    if (olderThanDays) query.bind(2, storeNow() - std::min<int64_t>(*olderThanDays, 1'000'000) * kMillisecondsPerDay);
    std::vector<int64_t> ids;
    while (query.step()) ids.push_back(query.integer(0));
    query.reset();
    if (ids.empty()) return 0;
    auto write = store.beginWholeWrite("trash empty");
    for (int64_t id : ids) store.deleteItem(id);  // in Deleted Items, a delete is for good
    write.commit();
    return static_cast<int64_t>(ids.size());
}

#undef LUMORA_TRASH_FOLDERS

}  // namespace lumora::pim
