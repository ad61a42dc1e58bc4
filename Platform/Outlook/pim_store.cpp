#include "pim_store.hpp"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <random>

#include "Automation/vb/strings.hpp"
#include "pim_errors.hpp"
#include "sqlite_handles.hpp"
#include "store_schema.hpp"

namespace lumora::pim {

namespace {

std::unique_ptr<Database> openDatabase(const std::filesystem::path& dataFolder) {
    std::error_code ignored;
    std::filesystem::create_directories(dataFolder, ignored);
    return std::make_unique<Database>(dataFolder / kStoreFileName);
}

std::string loginName() {
    if (const char* user = std::getenv("USER"); user && *user) return user;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_name) return entry->pw_name;
    return "User";
}

}  // namespace

std::string newHexId(size_t bytes) {
    // The system's random source costs a system call per word on some machines (tens of
    // microseconds each, a millisecond per saved item); ids only need to be unique, so a
    // generator seeded from it once per thread serves them. A forked process seeds its own, so
    // parent and child never hand out the same ids.
    struct Generator {
        std::mt19937_64 engine;
        pid_t seededIn = 0;
    };
    static thread_local Generator generator;
    if (generator.seededIn != ::getpid()) {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device(), device(), device(), device(), device()};
        generator.engine.seed(seed);
        generator.seededIn = ::getpid();
    }
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string id;
    id.reserve(bytes * 2);
    uint64_t word = 0;
    for (size_t i = 0; i < bytes; ++i) {
        if (i % 8 == 0) word = generator.engine();
        const unsigned value = static_cast<unsigned>(word >> (8 * (i % 8))) & 0xff;
        id += kDigits[value >> 4];
        id += kDigits[value & 0xf];
    }
    return id;
}

std::string newUid(ItemClass itemClass) {
    std::string hex = newHexId(16);
    for (char& c : hex) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    hex[12] = '4';  // the version: random
    // The variant sets the top two bits of the 17th digit to 10: it becomes 8, 9, a or b.
    const int digit = hex[16] <= '9' ? hex[16] - '0' : hex[16] - 'a' + 10;
    hex[16] = "89ab"[digit & 3];
    const std::string uuid = hex.substr(0, 8) + "-" + hex.substr(8, 4) + "-" + hex.substr(12, 4) + "-" +
                             hex.substr(16, 4) + "-" + hex.substr(20);
    return itemClass == ItemClass::Contact ? "urn:uuid:" + uuid : uuid;
}

std::vector<std::string> valueNames(const ItemRecord& item) {
    std::vector<std::string> names;
    for (const auto& [name, value] : item.values) names.push_back(name);
    return names;
}

PimStore::PimStore(const std::filesystem::path& dataFolder)
    : m_db(openDatabase(dataFolder)), m_statements(*m_db) {
    prepareSchema(*m_db);
    try {
        pruneJournal(m_statements, JournalBounds{}, true);
    } catch (const Error&) {
        // Another process holds the store: the next opening prunes.
    }
}

PimStore::~PimStore() = default;

std::shared_ptr<PimStore> PimStore::shared(const std::filesystem::path& dataFolder) {
    static thread_local std::unordered_map<std::string, std::weak_ptr<PimStore>> open;
    std::weak_ptr<PimStore>& slot = open[dataFolder.lexically_normal().string()];
    if (std::shared_ptr<PimStore> store = slot.lock()) return store;
    auto store = std::make_shared<PimStore>(dataFolder);
    slot = store;
    return store;
}

StoreTransactions::Write PimStore::beginWrite(std::string_view what) {
    m_journal.describeNextWrite(what);
    return StoreTransactions::Write(m_transactions);
}

StoreTransactions::Write PimStore::beginWholeWrite(std::string_view what) {
    m_journal.describeNextWrite(what);
    return StoreTransactions::Write(m_transactions, StoreTransactions::Write::Kind::Whole);
}

Statement& PimStore::statement(std::string_view sql) {
    if (m_transactions.beginReading()) checkDataVersion();
    return m_statements(sql);
}

void PimStore::transactionBegun() {
    m_journal.transactionBegun();
    // The call may have read, and cached, from an older state before this transaction began.
    checkDataVersion();
}

void PimStore::beforeCommit() { m_journal.beforeCommit(); }

void PimStore::rolledBack() noexcept {
    m_journal.rolledBack();
    writeRolledBack();
}

void PimStore::writeRolledBack() noexcept {
    // The cached positions may hold writes that are gone.
    forgetCachedState();
    m_seenVersion = -1;
}

void PimStore::forgetCachedState() {
    m_order.clear();
    m_trash.inDeletedItems.clear();
    m_trash.deletedItemsFor.clear();
    m_writableFolders.clear();
}

MailboxRow PimStore::currentMailbox() {
    Statement& query = statement("SELECT id, store_id, user_name FROM mailboxes WHERE is_current = 1");
    if (query.step()) {
        MailboxRow row{query.integer(0), query.text(1), query.text(2)};
        query.reset();
        return row;
    }
    auto write = beginWrite("mailbox add");
    MailboxRow row = addMailbox(loginName());
    statement("UPDATE mailboxes SET is_current = 1 WHERE id = ?").bind(1, row.id).run();
    write.commit();
    return row;
}

std::optional<MailboxRow> PimStore::mailboxByName(std::string_view userName) {
    Statement& query = statement("SELECT id, store_id, user_name FROM mailboxes WHERE user_name = ?");
    query.bind(1, userName);
    if (!query.step()) return std::nullopt;
    MailboxRow row{query.integer(0), query.text(1), query.text(2)};
    query.reset();
    return row;
}

MailboxRow PimStore::mailbox(int64_t id) {
    Statement& query = statement("SELECT id, store_id, user_name FROM mailboxes WHERE id = ?");
    query.bind(1, id);
    if (!query.step()) raise(PimError::NotFound);
    MailboxRow row{query.integer(0), query.text(1), query.text(2)};
    query.reset();
    return row;
}

MailboxRow PimStore::addMailbox(std::string_view userName) {
    if (auto existing = mailboxByName(userName)) return *existing;
    auto transaction = beginWrite("mailbox add");
    statement("INSERT INTO mailboxes(store_id, user_name) VALUES(?, ?)").bind(1, newHexId(48)).bind(2, userName).run();
    int64_t mailboxId = m_db->lastInsertId();
    std::string rootName = "Mailbox - " + std::string(userName);
    statement("INSERT INTO folders(entry_id, mailbox, parent, name, default_item_type) VALUES(?, ?, NULL, ?, 0)")
        .bind(1, newHexId(24))
        .bind(2, mailboxId)
        .bind(3, rootName)
        .run();
    int64_t root = m_db->lastInsertId();
    for (const DefaultFolderKind& folder : kDefaultFolders) {
        statement("INSERT INTO folders(entry_id, mailbox, parent, name, default_item_type, folder_type) "
                  "VALUES(?, ?, ?, ?, ?, ?)")
            .bind(1, newHexId(24))
            .bind(2, mailboxId)
            .bind(3, root)
            .bind(4, folder.name)
            .bind(5, static_cast<int64_t>(folder.itemType))
            .bind(6, static_cast<int64_t>(folder.type))
            .run();
    }
    transaction.commit();
    return mailbox(mailboxId);
}

FolderRow PimStore::readFolder(Statement& query) {
    return FolderRow{query.integer(0), query.text(1), query.integer(2), query.integer(3), query.text(4),
                     static_cast<int32_t>(query.integer(5))};
}

#define LUMORA_FOLDER_COLUMNS "SELECT id, entry_id, mailbox, IFNULL(parent, 0), name, default_item_type FROM folders "

FolderRow PimStore::defaultFolder(int64_t mailbox, FolderType type) {
    Statement& query = statement(LUMORA_FOLDER_COLUMNS "WHERE mailbox = ? AND folder_type = ?");
    query.bind(1, mailbox).bind(2, static_cast<int64_t>(type));
    if (!query.step()) raise(PimError::BadFolderType, std::to_string(static_cast<int32_t>(type)));
    FolderRow row = readFolder(query);
    query.reset();
    return row;
}

FolderRow PimStore::folder(int64_t id) {
    Statement& query = statement(LUMORA_FOLDER_COLUMNS "WHERE id = ?");
    query.bind(1, id);
    if (!query.step()) raise(PimError::NotFound);
    FolderRow row = readFolder(query);
    query.reset();
    return row;
}

std::optional<FolderRow> PimStore::folderByEntryId(std::string_view entryId) {
    Statement& query = statement(LUMORA_FOLDER_COLUMNS "WHERE entry_id = ?");
    query.bind(1, entryId);
    if (!query.step()) return std::nullopt;
    FolderRow row = readFolder(query);
    query.reset();
    return row;
}

std::vector<FolderRow> PimStore::subfolders(int64_t parent) {
    Statement& query = statement(LUMORA_FOLDER_COLUMNS "WHERE parent = ? ORDER BY id");
    query.bind(1, parent);
    std::vector<FolderRow> rows;
    while (query.step()) rows.push_back(readFolder(query));
    query.reset();
    return rows;
}

#undef LUMORA_FOLDER_COLUMNS

FolderRow PimStore::addFolder(int64_t parent, std::string_view name, int32_t itemType) {
    FolderRow parentRow = folder(parent);
    for (const FolderRow& sibling : subfolders(parent))
        if (vb::equalsNoCase(sibling.name, name)) raise(PimError::FolderExists, name);
    auto transaction = beginWrite("folder add");
    statement("INSERT INTO folders(entry_id, mailbox, parent, name, default_item_type) VALUES(?, ?, ?, ?, ?)")
        .bind(1, newHexId(24))
        .bind(2, parentRow.mailbox)
        .bind(3, parent)
        .bind(4, name)
        .bind(5, static_cast<int64_t>(itemType))
        .run();
    int64_t id = m_db->lastInsertId();
    transaction.commit();
    return folder(id);
}

void PimStore::refreshOrderCache() {
    // While a transaction is open no other connection's write can be seen: a write transaction
    // holds the write lock from its start (BEGIN IMMEDIATE), a call's read transaction sees the
    // store as it began. Each was checked when it began.
    if (m_db->inTransaction()) return;
    checkDataVersion();
}

void PimStore::checkDataVersion() {
    Statement& query = m_statements("PRAGMA data_version");
    query.step();
    int64_t version = query.integer(0);
    query.reset();
    if (version != m_seenVersion) {
        forgetCachedState();
        m_seenVersion = version;
    }
}

const std::vector<int64_t>& PimStore::itemIds(int64_t folder) {
    refreshOrderCache();
    auto it = m_order.find(folder);
    if (it != m_order.end()) return it->second;
    std::vector<int64_t> ids;
    Statement& query = statement("SELECT id FROM items WHERE folder = ? ORDER BY id");
    query.bind(1, folder);
    while (query.step()) ids.push_back(query.integer(0));
    query.reset();
    return m_order.emplace(folder, std::move(ids)).first->second;
}

ItemRecord PimStore::loadItem(int64_t id) {
    ItemRecord item;
    // The item and its values in one query: a folder walk reads one item per position.
    Statement& values = statement(
        "SELECT i.entry_id, i.folder, i.class, IFNULL(i.uid, ''), v.name, v.kind, v.value FROM items i "
        "LEFT JOIN item_values v ON v.item = i.id WHERE i.id = ?");
    values.bind(1, id);
    if (!values.step()) raise(PimError::ItemDeleted);
    item.id = id;
    item.entryId = values.text(0);
    item.folder = values.integer(1);
    item.itemClass = classFromNumber(static_cast<int32_t>(values.integer(2))).value_or(ItemClass::Mail);
    item.uid = values.text(3);
    do {
        if (!values.isNull(4)) item.values.emplace(values.text(4), values.variant(5));
    } while (values.step());
    values.reset();
    item.userPropertiesLoaded = false;
    item.mailPartsLoaded = item.itemClass != ItemClass::Mail;
    return item;
}

void PimStore::loadUserProperties(ItemRecord& item) {
    if (item.userPropertiesLoaded) return;
    Statement& properties =
        statement("SELECT name, type, kind, value FROM user_properties WHERE item = ? ORDER BY position");
    properties.bind(1, item.id);
    while (properties.step())
        item.userProperties.push_back(
            UserPropertyRow{properties.text(0), static_cast<int32_t>(properties.integer(1)), properties.variant(2)});
    properties.reset();
    item.userPropertiesLoaded = true;
}

void PimStore::loadMailParts(ItemRecord& item) {
    if (item.mailPartsLoaded) return;
    Statement& recipients = statement("SELECT type, name FROM recipients WHERE item = ? ORDER BY position");
    recipients.bind(1, item.id);
    while (recipients.step())
        item.recipients.push_back(
            std::make_shared<RecipientRow>(RecipientRow{recipients.text(1), static_cast<int32_t>(recipients.integer(0))}));
    recipients.reset();
    Statement& attachments =
        statement("SELECT file_name, data, IFNULL(content_id, '') FROM attachments WHERE item = ? ORDER BY position");
    attachments.bind(1, item.id);
    while (attachments.step())
        item.attachments.push_back(std::make_shared<AttachmentRow>(
            AttachmentRow{attachments.text(0), attachments.blob(1), attachments.text(2)}));
    attachments.reset();
    item.mailPartsLoaded = true;
}

std::optional<int64_t> PimStore::itemIdByEntryId(std::string_view entryId) {
    Statement& query = statement("SELECT id FROM items WHERE entry_id = ?");
    query.bind(1, entryId);
    if (!query.step()) return std::nullopt;
    int64_t id = query.integer(0);
    query.reset();
    return id;
}

std::vector<int64_t> PimStore::itemIdsByUid(int64_t mailbox, ItemClass itemClass, std::string_view uid) {
    Statement& query = statement(
        "SELECT i.id, i.folder FROM items i JOIN folders f ON f.id = i.folder"
        " WHERE i.uid = ? AND i.class = ? AND f.mailbox = ? ORDER BY i.id");
    query.bind(1, uid).bind(2, static_cast<int64_t>(itemClass)).bind(3, mailbox);
    std::vector<std::pair<int64_t, int64_t>> found;
    while (query.step()) found.emplace_back(query.integer(0), query.integer(1));
    query.reset();
    std::vector<int64_t> ids;
    for (const auto& [id, folderId] : found)
        if (!isInDeletedItems(folderId)) ids.push_back(id);
    return ids;
}

int64_t PimStore::mailboxOfFolder(int64_t folderId) { return folder(folderId).mailbox; }

int64_t PimStore::writeItem(ItemRecord& item, const std::vector<std::string>& changedValues) {
    const bool first = item.id == 0;
    if (first) {
        if (item.entryId.empty()) item.entryId = newHexId(24);
        if (item.uid.empty()) item.uid = newUid(item.itemClass);
        statement("INSERT INTO items(entry_id, folder, class, uid) VALUES(?, ?, ?, ?)")
            .bind(1, item.entryId)
            .bind(2, item.folder)
            .bind(3, static_cast<int64_t>(item.itemClass))
            .bind(4, item.uid)
            .run();
    } else {
        Statement& exists = statement("SELECT 1 FROM items WHERE id = ?");
        exists.bind(1, item.id);
        if (!exists.step()) raise(PimError::ItemDeleted);
        exists.reset();
    }
    const int64_t id = first ? m_db->lastInsertId() : item.id;
    if (first) {
        ItemRecord head;
        head.id = id;
        head.entryId = item.entryId;
        head.folder = item.folder;
        head.itemClass = item.itemClass;
        m_journal.created(head);
    } else {
        m_journal.changing(item, changedValues);
        if (item.userPropertiesLoaded) m_journal.userPropertiesChanging(item);
    }
    Statement& write = statement("INSERT OR REPLACE INTO item_values(item, name, kind, value) VALUES(?, ?, ?, ?)");
    for (const std::string& name : changedValues) {
        auto value = item.values.find(name);
        if (value == item.values.end())
            statement("DELETE FROM item_values WHERE item = ? AND name = ?").bind(1, id).bind(2, name).run();
        else
            write.bind(1, id).bind(2, name).bindVariant(3, value->second).run();
    }
    if (item.userPropertiesLoaded) writeUserProperties(id, item);
    if (item.mailPartsChanged) writeMailParts(id, item);
    return id;
}

void PimStore::saveItem(ItemRecord& item, const std::vector<std::string>& changedValues) {
    refreshOrderCache();
    requireWritable(item.folder);
    auto transaction = beginWrite("item save");
    const bool first = item.id == 0;
    const int64_t id = writeItem(item, changedValues);
    transaction.commit();
    item.mailPartsChanged = false;
    item.id = id;
    // Our own commits leave data_version alone, so the cached order is extended here.
    if (first) addToOrder(item.folder, id);
}

void PimStore::saveNewItems(std::vector<ItemRecord>& items) {
    std::vector<std::vector<std::string>> names;
    for (const ItemRecord& item : items) names.push_back(valueNames(item));
    saveItems(items, names);
}

void PimStore::saveItems(std::vector<ItemRecord>& items, const std::vector<std::vector<std::string>>& changedValues) {
    refreshOrderCache();
    for (const ItemRecord& item : items) requireWritable(item.folder);
    auto transaction = beginWrite("item import");
    std::vector<int64_t> ids;
    for (size_t i = 0; i < items.size(); ++i) ids.push_back(writeItem(items[i], changedValues.at(i)));
    transaction.commit();
    for (size_t i = 0; i < items.size(); ++i) {
        const bool first = items[i].id == 0;
        items[i].id = ids[i];
        items[i].mailPartsChanged = false;
        if (first) addToOrder(items[i].folder, items[i].id);
    }
}

void PimStore::writeUserProperties(int64_t id, const ItemRecord& item) {
    statement("DELETE FROM user_properties WHERE item = ?").bind(1, id).run();
    int64_t position = 0;
    for (const UserPropertyRow& property : item.userProperties) {
        statement("INSERT INTO user_properties(item, position, name, type, kind, value) VALUES(?, ?, ?, ?, ?, ?)")
            .bind(1, id)
            .bind(2, position++)
            .bind(3, property.name)
            .bind(4, static_cast<int64_t>(property.type))
            .bindVariant(5, property.value)
            .run();
        if (property.addToFolderFields)
            statement("INSERT OR IGNORE INTO folder_fields(folder, name, type) VALUES(?, ?, ?)")
                .bind(1, item.folder)
                .bind(2, property.name)
                .bind(3, static_cast<int64_t>(property.type))
                .run();
    }
}

void PimStore::writeMailParts(int64_t id, const ItemRecord& item) {
    // Address lines a mail of an older store kept as plain values are its recipients now; left
    // behind, they would come back as recipients once the list is emptied.
    statement("DELETE FROM item_values WHERE item = ? AND name IN ('To', 'CC', 'BCC')").bind(1, id).run();
    statement("DELETE FROM recipients WHERE item = ?").bind(1, id).run();
    int64_t position = 0;
    for (const auto& recipient : item.recipients)
        statement("INSERT INTO recipients(item, position, type, name) VALUES(?, ?, ?, ?)")
            .bind(1, id)
            .bind(2, position++)
            .bind(3, static_cast<int64_t>(recipient->type))
            .bind(4, recipient->name)
            .run();
    statement("DELETE FROM attachments WHERE item = ?").bind(1, id).run();
    position = 0;
    for (const auto& attachment : item.attachments)
        statement("INSERT INTO attachments(item, position, file_name, data, content_id) VALUES(?, ?, ?, ?, NULLIF(?, ''))")
            .bind(1, id)
            .bind(2, position++)
            .bind(3, attachment->fileName)
            .bindBlob(4, attachment->bytes)
            .bind(5, attachment->contentId)
            .run();
}

void PimStore::removeFromOrder(int64_t folder, int64_t id) {
    if (auto order = m_order.find(folder); order != m_order.end()) {
        auto& ids = order->second;
        auto at = std::lower_bound(ids.begin(), ids.end(), id);
        if (at != ids.end() && *at == id) ids.erase(at);
    }
}

// Positions follow creation order, so an item coming back takes its old place.
void PimStore::addToOrder(int64_t folder, int64_t id) {
    if (auto order = m_order.find(folder); order != m_order.end()) {
        auto& ids = order->second;
        auto at = std::lower_bound(ids.begin(), ids.end(), id);
        if (at == ids.end() || *at != id) ids.insert(at, id);
    }
}

std::vector<PimStore::FolderStep> PimStore::folderAndParents(int64_t folder) {
    // One primary-key lookup per level. A recursive query would build a temporary table for
    // every answer, whose memory the allocator hands back to the system each time: a purge of
    // thousands of items asks this twice per item, and the returns cost more than the purge.
    Statement& query = statement("SELECT IFNULL(parent, 0), mailbox, IFNULL(folder_type, 0) FROM folders WHERE id = ?");
    std::vector<FolderStep> chain;
    // A damaged store whose parents form a loop still ends the walk.
    auto seen = [&](int64_t id) {
        return std::any_of(chain.begin(), chain.end(), [&](const FolderStep& step) { return step.id == id; });
    };
    for (int64_t id = folder; id != 0 && !seen(id);) {
        query.bind(1, id);
        if (!query.step()) break;
        const int64_t parent = query.integer(0);
        chain.push_back(FolderStep{id, query.integer(1), static_cast<int32_t>(query.integer(2))});
        query.reset();
        id = parent;
    }
    query.reset();
    return chain;
}

bool PimStore::isInDeletedItems(int64_t folder) {
    if (auto known = m_trash.inDeletedItems.find(folder); known != m_trash.inDeletedItems.end()) return known->second;
    const std::vector<FolderStep> chain = folderAndParents(folder);
    const bool inside = std::any_of(chain.begin(), chain.end(), [](const FolderStep& step) {
        return step.folderType == static_cast<int32_t>(FolderType::DeletedItems);
    });
    m_trash.inDeletedItems.emplace(folder, inside);
    return inside;
}

void PimStore::deleteItem(int64_t id) {
    refreshOrderCache();
    Statement& head = statement("SELECT folder FROM items WHERE id = ?");
    head.bind(1, id);
    if (!head.step()) raise(PimError::ItemDeleted);
    const int64_t folderId = head.integer(0);
    head.reset();
    requireWritable(folderId);
    if (!isInDeletedItems(folderId)) {
        auto trash = m_trash.deletedItemsFor.find(folderId);
        if (trash == m_trash.deletedItemsFor.end())
            trash = m_trash.deletedItemsFor
                        .emplace(folderId, defaultFolder(mailboxOfFolder(folderId), FolderType::DeletedItems).id)
                        .first;
        return moveKnownItem(id, folderId, trash->second, true);
    }
    auto transaction = beginWrite("item delete");
    m_journal.removing(id);
    statement("DELETE FROM items WHERE id = ?").bind(1, id).run();
    transaction.commit();
    removeFromOrder(folderId, id);
}

void PimStore::moveItem(int64_t id, int64_t folderId) {
    refreshOrderCache();
    Statement& head = statement("SELECT folder FROM items WHERE id = ?");
    head.bind(1, id);
    if (!head.step()) raise(PimError::ItemDeleted);
    const int64_t from = head.integer(0);
    head.reset();
    if (from == folderId) return;
    requireWritable(from);
    requireWritable(folderId);
    moveKnownItem(id, from, folderId, isInDeletedItems(folderId));
}

void PimStore::moveKnownItem(int64_t id, int64_t from, int64_t to, bool intoTrash) {
    // Within the trash an item keeps where it came from and when it was deleted.
    const bool withinTrash = intoTrash && isInDeletedItems(from);
    auto transaction = beginWrite("item move");
    m_journal.moving(id, to);
    if (withinTrash) {
        statement("UPDATE items SET folder = ? WHERE id = ?").bind(1, to).bind(2, id).run();
    } else {
        Statement& move = statement("UPDATE items SET folder = ?, deleted_from = ?, deleted_at = ? WHERE id = ?");
        move.bind(1, to);
        if (intoTrash) move.bind(2, from).bind(3, storeNow());
        move.bind(4, id).run();
    }
    transaction.commit();
    removeFromOrder(from, id);
    addToOrder(to, id);
}

void PimStore::setShared(int64_t owner, FolderType type, int64_t grantee, bool allowed, ShareAccess access) {
    auto transaction = beginWrite("folder share");
    if (allowed)
        statement("INSERT INTO shares(owner, folder_type, grantee, writable) VALUES(?, ?, ?, ?) "
                  "ON CONFLICT(owner, folder_type, grantee) DO UPDATE SET writable = excluded.writable")
            .bind(1, owner)
            .bind(2, static_cast<int64_t>(type))
            .bind(3, grantee)
            .bind(4, int64_t{access == ShareAccess::ReadWrite})
            .run();
    else
        statement("DELETE FROM shares WHERE owner = ? AND folder_type = ? AND grantee = ?")
            .bind(1, owner)
            .bind(2, static_cast<int64_t>(type))
            .bind(3, grantee)
            .run();
    transaction.commit();
    m_writableFolders.clear();
}

bool PimStore::isShared(int64_t owner, FolderType type, int64_t grantee) {
    Statement& query = statement("SELECT 1 FROM shares WHERE owner = ? AND folder_type = ? AND grantee = ?");
    query.bind(1, owner).bind(2, static_cast<int64_t>(type)).bind(3, grantee);
    bool shared = query.step();
    query.reset();
    return shared;
}

std::optional<ShareAccess> PimStore::shareAccess(int64_t owner, FolderType type, int64_t grantee) {
    Statement& query = statement("SELECT writable FROM shares WHERE owner = ? AND folder_type = ? AND grantee = ?");
    query.bind(1, owner).bind(2, static_cast<int64_t>(type)).bind(3, grantee);
    std::optional<ShareAccess> access;
    if (query.step()) access = query.integer(0) != 0 ? ShareAccess::ReadWrite : ShareAccess::ReadOnly;
    query.reset();
    return access;
}

void PimStore::setFolderAccess(int64_t folder, std::optional<ShareAccess> access) {
    auto transaction = beginWrite("folder access");
    if (access)
        statement("INSERT INTO folder_access(folder, writable) VALUES(?, ?) "
                  "ON CONFLICT(folder) DO UPDATE SET writable = excluded.writable")
            .bind(1, folder)
            .bind(2, int64_t{*access == ShareAccess::ReadWrite})
            .run();
    else
        statement("DELETE FROM folder_access WHERE folder = ?").bind(1, folder).run();
    transaction.commit();
    m_writableFolders.clear();
}

std::optional<ShareAccess> PimStore::folderAccess(int64_t folder) {
    Statement& query = statement("SELECT writable FROM folder_access WHERE folder = ?");
    query.bind(1, folder);
    std::optional<ShareAccess> access;
    if (query.step()) access = query.integer(0) != 0 ? ShareAccess::ReadWrite : ShareAccess::ReadOnly;
    query.reset();
    return access;
}

bool PimStore::isWritable(int64_t folder) {
    if (auto known = m_writableFolders.find(folder); known != m_writableFolders.end()) return known->second;
    const int64_t me = currentMailbox().id;
    bool readOnly = false;
    bool writable = false;
    for (const FolderStep& step : folderAndParents(folder)) {
        if (step.mailbox == me) continue;
        if (std::optional<ShareAccess> own = folderAccess(step.id)) {
            readOnly = *own == ShareAccess::ReadOnly;
            writable = !readOnly;
            break;
        }
        if (step.folderType == 0) continue;
        std::optional<ShareAccess> access = shareAccess(step.mailbox, static_cast<FolderType>(step.folderType), me);
        readOnly = readOnly || access == ShareAccess::ReadOnly;
        writable = writable || access == ShareAccess::ReadWrite;
    }
    const bool result = writable || !readOnly;
    m_writableFolders.emplace(folder, result);
    return result;
}

void PimStore::requireWritable(int64_t folder) {
    if (m_serverCopyWrites > 0 || isWritable(folder)) return;
    raise(PimError::ReadOnlyShare, mailbox(mailboxOfFolder(folder)).userName);
}

bool PimStore::isVisibleTo(int64_t folder, int64_t grantee) {
    for (const FolderStep& step : folderAndParents(folder)) {
        if (step.mailbox == grantee) return true;
        if (step.folderType != 0 && isShared(step.mailbox, static_cast<FolderType>(step.folderType), grantee)) return true;
    }
    return false;
}

void PimStore::setSelection(const std::vector<std::string>& entryIds) {
    auto transaction = beginWrite("selection");
    statement("DELETE FROM selection").run();
    int64_t position = 0;
    for (const std::string& entryId : entryIds)
        statement("INSERT INTO selection(position, entry_id) VALUES(?, ?)").bind(1, position++).bind(2, entryId).run();
    transaction.commit();
}

std::vector<std::string> PimStore::selection() {
    Statement& query = statement("SELECT entry_id FROM selection ORDER BY position");
    std::vector<std::string> ids;
    while (query.step()) ids.push_back(query.text(0));
    query.reset();
    return ids;
}

void PimStore::injectFault(std::string_view member, int32_t number) {
    auto transaction = beginWrite("fault injection");
    statement("INSERT OR REPLACE INTO injected_faults(member, number) VALUES(?, ?)").bind(1, member).bind(2, number).run();
    transaction.commit();
}

void PimStore::failIfInjected(std::string_view member) {
    Statement& query = statement("SELECT number FROM injected_faults WHERE member = ?");
    query.bind(1, member);
    if (!query.step()) return;
    auto number = static_cast<int32_t>(query.integer(0));
    query.reset();
    auto transaction = beginWrite("fault injection");
    statement("DELETE FROM injected_faults WHERE member = ?").bind(1, member).run();
    transaction.commit();
    Error injected = errorOf(PimError::Injected);
    throw Error(number, injected.description(), injected.source());
}

}  // namespace lumora::pim
