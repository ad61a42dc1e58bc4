#pragma once
// The PIM store's file as SQLite itself reads it, without the store's own code: what tests check
// after another process wrote it, or was killed writing it.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "Platform/Outlook/item_kinds.hpp"
#include "Platform/Outlook/pim_store.hpp"
#include "Platform/Outlook/sqlite_handles.hpp"

namespace lumora::tests {

using Values = std::map<std::string, std::string>;

class StoreFile {
public:
    explicit StoreFile(const std::filesystem::path& dataFolder) : m_db(dataFolder / pim::kStoreFileName) {}

    std::string integrity() { return text("PRAGMA integrity_check"); }
    int64_t defaultFolder(pim::FolderType type) {
        return number("SELECT id FROM folders WHERE folder_type = " + std::to_string(static_cast<int>(type)));
    }
    int64_t number(const std::string& sql) {
        pim::Statement query(m_db, sql);
        return query.step() ? query.integer(0) : -1;
    }
    std::string text(const std::string& sql) {
        pim::Statement query(m_db, sql);
        return query.step() ? query.text(0) : "";
    }
    std::vector<int64_t> ids(const std::string& sql, const std::string& parameter = {}) {
        pim::Statement query(m_db, sql);
        if (!parameter.empty()) query.bind(1, parameter);
        std::vector<int64_t> found;
        while (query.step()) found.push_back(query.integer(0));
        return found;
    }
    // The items whose LastName or Subject is the name.
    std::vector<int64_t> itemsNamed(const std::string& name) {
        return ids("SELECT item FROM item_values WHERE name IN ('LastName', 'Subject') AND value = ?", name);
    }
    Values values(int64_t item) { return pairs("SELECT name, value FROM item_values WHERE item = ?", item); }
    Values userProperties(int64_t item) { return pairs("SELECT name, value FROM user_properties WHERE item = ?", item); }
    // The journal entry that created the item.
    int64_t createdIn(int64_t item) {
        return number("SELECT entry FROM journal_items WHERE created AND item = " + std::to_string(item));
    }
    int64_t folderOf(int64_t item) { return number("SELECT folder FROM items WHERE id = " + std::to_string(item)); }
    int64_t deletedFrom(int64_t item) {
        return number("SELECT IFNULL(deleted_from, 0) FROM items WHERE id = " + std::to_string(item) +
                      " AND deleted_at > 0");
    }
    // The temporary contacts in a folder.
    std::vector<int64_t> temporaryIn(int64_t folder) {
        return ids("SELECT i.id FROM items i JOIN item_values v ON v.item = i.id AND v.name = 'User2' "
                   "AND v.value = 'Temp' WHERE i.folder = " + std::to_string(folder));
    }

private:
    Values pairs(const std::string& sql, int64_t item) {
        pim::Statement query(m_db, sql);
        query.bind(1, item);
        Values found;
        while (query.step()) found[query.text(0)] = query.isNull(1) ? "<null>" : query.text(1);
        return found;
    }
    pim::Database m_db;
};

}  // namespace lumora::tests
