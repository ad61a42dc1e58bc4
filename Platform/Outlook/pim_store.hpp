#pragma once
// The PIM's store: one SQLite file in the data folder holding mailboxes, their folders, the
// items of the five classes with their property values and user properties, folder shares and
// the explorer selection.
//
// What one top-level call writes is one durable transaction (see store_transactions), journaled
// for undo (store_journal). A deleted item moves into its mailbox's Deleted Items folder, from
// where it can be restored; only a delete there is final.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Automation/variant.hpp"
#include "item_kinds.hpp"
#include "statement_cache.hpp"
#include "store_journal.hpp"
#include "store_transactions.hpp"

namespace lumora::pim {

struct MailboxRow {
    int64_t id = 0;
    std::string storeId;
    std::string userName;
};

struct FolderRow {
    int64_t id = 0;
    std::string entryId;
    int64_t mailbox = 0;
    int64_t parent = 0;  // 0 for a mailbox's root
    std::string name;
    int32_t defaultItemType = 0;
};

struct UserPropertyRow {
    std::string name;
    int32_t type = 1;  // text
    Variant value;
    bool addToFolderFields = false;
};

// One addressee of a mail item. Type: 1 To, 2 CC, 3 BCC.
struct RecipientRow {
    std::string name;
    int32_t type = 1;
};

// A file attached to a mail item: its bytes are copied into the store, so the item keeps them
// when the file is moved or deleted. A content id (empty for none) names it for the HTML body,
// which shows it in place where it refers to "cid:" and the id.
struct AttachmentRow {
    std::string fileName;
    std::string bytes;
    std::string contentId;
};

// An item's saved state; id 0 until its first save. An item made by the object model has its
// entry id and UID from the start (pim_item.cpp); the first save gives them to one that has none.
struct ItemRecord {
    int64_t id = 0;
    std::string entryId;
    std::string uid;  // what other programs know it by: an iCalendar or vCard UID
    int64_t folder = 0;
    ItemClass itemClass = ItemClass::Mail;
    std::unordered_map<std::string, Variant> values;  // by the property's declared name
    std::vector<UserPropertyRow> userProperties;
    // Read on first use (loadUserProperties): a folder walk seldom needs them. A save leaves
    // the stored ones alone until they were read.
    bool userPropertiesLoaded = true;
    // A mail item's recipients and attachments, read on first use like the user properties.
    // Shared so that the Recipient and Attachment objects a caller holds stay attached to them.
    std::vector<std::shared_ptr<RecipientRow>> recipients;
    std::vector<std::shared_ptr<AttachmentRow>> attachments;
    bool mailPartsLoaded = true;
    bool mailPartsChanged = false;
};

// What a share lets its grantee do with the items of the owner's folder.
enum class ShareAccess { ReadOnly, ReadWrite };

// The names of the values the record holds, for a save that writes them all.
std::vector<std::string> valueNames(const ItemRecord& item);

inline constexpr std::string_view kStoreFileName = "pim.sqlite";

class PimStore final : private TransactionListener {
public:
    // Opens or creates dataFolder/pim.sqlite; raises the store's error when it cannot be used.
    // A store written by an older version gains the trash and the journal; the journal is pruned
    // to its bounds.
    explicit PimStore(const std::filesystem::path& dataFolder);
    ~PimStore() override;
    PimStore(const PimStore&) = delete;
    PimStore& operator=(const PimStore&) = delete;

    // Mailboxes. The current user's is made on first use, named after the login.
    MailboxRow currentMailbox();
    std::optional<MailboxRow> mailboxByName(std::string_view userName);  // any case
    MailboxRow mailbox(int64_t id);
    MailboxRow addMailbox(std::string_view userName);  // the existing one when already there

    // Folders.
    FolderRow defaultFolder(int64_t mailbox, FolderType type);
    FolderRow folder(int64_t id);
    std::optional<FolderRow> folderByEntryId(std::string_view entryId);
    std::vector<FolderRow> subfolders(int64_t parent);
    FolderRow addFolder(int64_t parent, std::string_view name, int32_t itemType);

    // A folder's item ids in creation order. Kept in memory and refreshed only when another
    // connection has written, so reading position i of a large folder costs no query.
    const std::vector<int64_t>& itemIds(int64_t folder);
    ItemRecord loadItem(int64_t id);  // raises ItemDeleted when it is gone; user properties unread
    void loadUserProperties(ItemRecord& item);
    void loadMailParts(ItemRecord& item);
    std::optional<int64_t> itemIdByEntryId(std::string_view entryId);
    // The items of the class with the UID in the mailbox, outside Deleted Items, in creation order.
    std::vector<int64_t> itemIdsByUid(int64_t mailbox, ItemClass itemClass, std::string_view uid);
    int64_t mailboxOfFolder(int64_t folder);
    // Writes the named values (removing those the item no longer has) and every user property
    // in one write; a first save gives the item its id and entry id. This, the saves of many
    // items, a delete and a move raise ReadOnlyShare for an item of a folder the current user
    // only reads (requireWritable), and then write nothing.
    void saveItem(ItemRecord& item, const std::vector<std::string>& changedValues);
    // New items with every value they hold, all in one write: all are saved or none.
    void saveNewItems(std::vector<ItemRecord>& items);
    // Items new and stored alike, each writing the values named beside it as saveItem does, all
    // in one write: all are saved or none.
    void saveItems(std::vector<ItemRecord>& items, const std::vector<std::vector<std::string>>& changedValues);
    // Moves the item into its mailbox's Deleted Items, remembering where it was; an item already
    // in Deleted Items (or a folder inside it) is removed for good.
    void deleteItem(int64_t id);
    // Moves the item into another folder; out of Deleted Items, it forgets where it came from.
    void moveItem(int64_t id, int64_t folder);
    bool isInDeletedItems(int64_t folder);

    // Shares of an owner's default folder with another mailbox; sharing anew sets the access.
    void setShared(int64_t owner, FolderType type, int64_t grantee, bool allowed,
                   ShareAccess access = ShareAccess::ReadWrite);
    bool isShared(int64_t owner, FolderType type, int64_t grantee);
    std::optional<ShareAccess> shareAccess(int64_t owner, FolderType type, int64_t grantee);
    // A folder inside another mailbox's shared default folder whose access is its own (nullopt:
    // its default folder's share decides again).
    void setFolderAccess(int64_t folder, std::optional<ShareAccess> access);
    // False only for a folder of another mailbox that is, or lies inside, a folder of its own
    // access to read only, or else a default folder shared with the current user to read only
    // (and with no share that lets it write); the nearest folder of its own access decides.
    // Folders of other mailboxes reached without a share keep what their callers allow them.
    bool isWritable(int64_t folder);
    // Raises ReadOnlyShare, naming the owner, where isWritable is false.
    void requireWritable(int64_t folder);

    // While one lives, the store takes changes to folders the current user only reads: the
    // server's own copy of another user's shared folder arriving by a pull.
    class ServerCopyWrites {
    public:
        explicit ServerCopyWrites(PimStore& store) : m_store(store) { ++m_store.m_serverCopyWrites; }
        ~ServerCopyWrites() { --m_store.m_serverCopyWrites; }
        ServerCopyWrites(const ServerCopyWrites&) = delete;
        ServerCopyWrites& operator=(const ServerCopyWrites&) = delete;

    private:
        PimStore& m_store;
    };
    // True when the folder is in the grantee's own mailbox, or is or lies inside a default
    // folder its owner shares with the grantee now.
    bool isVisibleTo(int64_t folder, int64_t grantee);

    // The explorer selection, as entry ids in selection order.
    void setSelection(const std::vector<std::string>& entryIds);
    std::vector<std::string> selection();

    // A failure the next call of a member raises once, with that number, in whichever process
    // calls it next: how tests and a person reach a caller's handling of store errors.
    void injectFault(std::string_view member, int32_t number);
    void failIfInjected(std::string_view member);

    Database& database() { return *m_db; }
    StatementCache& statements() { return m_statements; }
    JournalRecorder& journal() { return m_journal; }
    // A write of its own, for work that writes through statements() directly.
    StoreTransactions::Write beginWrite(std::string_view what);
    // A write that the store's writes within it join, undone as a whole if any of them fails
    // (StoreTransactions::Write::Kind::Whole): for work of many writes that must land together.
    StoreTransactions::Write beginWholeWrite(std::string_view what);
    // Raises, once, a failure to commit what the last top-level call wrote through this store.
    void raiseLostCommit() { m_transactions.raiseLostCommit(); }

    // The store of the data folder for the calling thread: the objects of one thread share one
    // connection, so that everything a call does through any of them is in its one transaction.
    static std::shared_ptr<PimStore> shared(const std::filesystem::path& dataFolder);

private:
    // A statement of the store's own; inside a call, the first one begins the call's reads.
    Statement& statement(std::string_view sql);
    FolderRow readFolder(Statement& query);
    // A folder and its parents up to the mailbox's root, nearest first.
    struct FolderStep {
        int64_t id = 0;
        int64_t mailbox = 0;
        int32_t folderType = 0;  // 0 for a folder that is no default folder
    };
    std::vector<FolderStep> folderAndParents(int64_t folder);
    std::optional<ShareAccess> folderAccess(int64_t folder);  // setFolderAccess's, if any
    void forgetCachedState();
    // Moves an item known to be in `from`; `intoTrash` when `to` lies in Deleted Items.
    void moveKnownItem(int64_t id, int64_t from, int64_t to, bool intoTrash);
    void transactionBegun() override;
    void beforeCommit() override;
    void rolledBack() noexcept override;
    void writeRolledBack() noexcept override;
    void removeFromOrder(int64_t folder, int64_t id);
    void addToOrder(int64_t folder, int64_t id);
    // The writes of a save, inside the caller's transaction; returns the item's id, and gives a
    // new item the entry id and UID it lacks.
    int64_t writeItem(ItemRecord& item, const std::vector<std::string>& changedValues);
    void writeUserProperties(int64_t id, const ItemRecord& item);
    void writeMailParts(int64_t id, const ItemRecord& item);
    void refreshOrderCache();
    // Forgets what is cached when another connection has written since it was last checked.
    void checkDataVersion();

    std::unique_ptr<Database> m_db;
    StatementCache m_statements;
    JournalRecorder m_journal{m_statements};
    StoreTransactions m_transactions{m_statements, *this};
    std::unordered_map<int64_t, std::vector<int64_t>> m_order;  // folder -> item ids
    // What a purge asks of the same few folders for each item it deletes; forgotten with the
    // order, when another connection writes or a write is rolled back.
    struct TrashFacts {
        std::unordered_map<int64_t, bool> inDeletedItems;        // folder -> lies in Deleted Items
        std::unordered_map<int64_t, int64_t> deletedItemsFor;    // folder -> its mailbox's Deleted Items
    };
    TrashFacts m_trash;
    std::unordered_map<int64_t, bool> m_writableFolders;  // folder -> isWritable
    int m_serverCopyWrites = 0;
    int64_t m_seenVersion = -1;
};

// A new random entry or store id: upper-case hex, stable for the life of what it names.
std::string newHexId(size_t bytes);
// A new UID for an item of the class: a random UUID (RFC 9562 version 4), as a URN for a contact,
// whose vCard UID is a URI (RFC 6350 section 6.7.6).
std::string newUid(ItemClass itemClass);

}  // namespace lumora::pim
