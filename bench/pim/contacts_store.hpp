#pragma once
// A PIM store in a private data folder, filled directly with a large contacts folder, for the
// benchmarks of the object model and of the control members built on it; and the floor of the
// purge: plain SQLite moving the same temporary contacts into Deleted Items in one transaction.

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "Automation/registry.hpp"
#include "Platform/Outlook/pim_store.hpp"
#include "Platform/Outlook/register.hpp"
#include "Platform/Outlook/sqlite_handles.hpp"

namespace lumora::pim::bench {

constexpr int kFolderItems = 50'000;
constexpr int kTemporary = 10'000;
constexpr int kAdded = 10'000;
constexpr const char* kWalked[] = {"FirstName", "LastName", "Email1Address", "User1", "User2"};

// Whether the filled contacts carry their CRM id ("C-" + number) as the LUMORAID user property.
enum class CrmIds { None, Carried };

class ContactsStore {
public:
    // The store goes into a folder of its own under `parent` (the temporary folder by default).
    explicit ContactsStore(const std::filesystem::path& parent = std::filesystem::temp_directory_path()) {
        m_folder = parent / ("lumora-pim-bench-" + std::to_string(std::random_device()()));
        static bool registered = (registerPimClasses(Registry::instance()), true);
        (void)registered;
        Registry::instance().setDataFolder(m_folder);
    }
    ~ContactsStore() { std::filesystem::remove_all(m_folder); }
    ContactsStore(const ContactsStore&) = delete;
    ContactsStore& operator=(const ContactsStore&) = delete;

    // n contacts written by the CRM in the default contacts folder, `temporary` of them spread
    // evenly and marked "Temp", written in one transaction. Returns the folder's id.
    int64_t fill(int count, int temporary, CrmIds crmIds = CrmIds::None) {
        PimStore store(m_folder);
        int64_t folder = store.defaultFolder(store.currentMailbox().id, FolderType::Contacts).id;
        Database& db = store.database();
        Transaction transaction(db);
        Statement item(db, "INSERT INTO items(entry_id, folder, class) VALUES(?, ?, 40)");
        Statement value(db, "INSERT INTO item_values(item, name, kind, value) VALUES(?, ?, ?, ?)");
        Statement crmId(db, "INSERT INTO user_properties(item, position, name, type, kind, value) "
                            "VALUES(?, 0, 'LUMORAID', 1, ?, ?)");
        int marked = 0;
        for (int i = 0; i < count; ++i) {
            item.bind(1, newHexId(24)).bind(2, folder).run();
            int64_t id = db.lastInsertId();
            bool temp = marked < temporary && i % (count / std::max(temporary, 1)) == 0;
            marked += temp;
            for (const char* name : kWalked) {
                std::string text = std::string(name) == "User2" ? (temp ? "Temp" : "Perm")
                                   : std::string(name) == "User1" ? "Lumora"
                                                                  : std::string(name) + " " + std::to_string(i);
                value.bind(1, id).bind(2, name).bindVariant(3, Variant(text)).run();
            }
            if (crmIds == CrmIds::Carried) crmId.bind(1, id).bindVariant(2, Variant("C-" + std::to_string(i))).run();
        }
        transaction.commit();
        return folder;
    }
    const std::filesystem::path& folder() const { return m_folder; }
    std::filesystem::path file() const { return m_folder / kStoreFileName; }

private:
    std::filesystem::path m_folder;
};

// The floor of a purge: finds the folder's temporary contacts and moves them all into Deleted
// Items, remembering where they were and when, in one durable transaction.
inline void purgeWithPlainSqlite(const ContactsStore& contacts, int64_t folder) {
    Database db(contacts.file());
    Statement trash(db, "SELECT id FROM folders WHERE folder_type = 3");
    trash.step();
    const int64_t deletedItems = trash.integer(0);
    Statement temporary(db, "SELECT i.id FROM items i JOIN item_values v ON v.item = i.id AND v.name = 'User2' "
                            "WHERE i.folder = ? AND v.value = 'Temp' ORDER BY i.id");
    Statement move(db, "UPDATE items SET folder = ?, deleted_from = ?, deleted_at = ? WHERE id = ?");
    Transaction transaction(db);
    std::vector<int64_t> ids;
    temporary.bind(1, folder);
    while (temporary.step()) ids.push_back(temporary.integer(0));
    const int64_t now = storeNow();
    for (int64_t id : ids) move.bind(1, deletedItems).bind(2, folder).bind(3, now).bind(4, id).run();
    transaction.commit();
}

}  // namespace lumora::pim::bench
