#include "pim_session.hpp"

#include "Automation/registry.hpp"
#include "Automation/vb/strings.hpp"
#include "pim_errors.hpp"
#include "pim_folder.hpp"
#include "pim_item.hpp"
#include "pim_view.hpp"

namespace lumora::pim {

namespace {

FolderType folderTypeOf(int32_t number) {
    if (std::optional<DefaultFolderKind> folder = defaultFolderOfType(number)) return folder->type;
    raise(PimError::BadFolderType, std::to_string(number));
}

// An entry id must belong to the store named, when the caller names one.
bool inStore(PimStore& store, int64_t folder, const Variant& storeId) {
    if (storeId.isAbsent()) return true;
    return store.mailbox(store.mailboxOfFolder(folder)).storeId == storeId.toString();
}

}  // namespace

std::shared_ptr<PimStore> StoreAccess::store() {
    if (!m_store) m_store = PimStore::shared(Registry::instance().dataFolder());
    return m_store;
}

const TypeInfo& PimApplication::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("Application");
        t.method<PimApplication>("GetNamespace", 0x110, {"Type"}, 1, [](PimApplication& app, Args& a) {
            if (!vb::equalsNoCase(a[0].toString(), "MAPI")) raise(RuntimeError::InvalidProcedureCall);
            return Variant(app.nameSpace());
        });
        t.getter<PimApplication>("Session", 0xf10b, [](PimApplication& app) { return Variant(app.nameSpace()); });
        t.method<PimApplication>("CreateItem", 0x10a, {"ItemType"}, 1,
                                 [](PimApplication& app, Args& a) { return Variant(app.createItem(a[0].toI4())); });
        t.method<PimApplication>("ActiveExplorer", 0x111, {}, 0, [](PimApplication& app, Args&) {
            return Variant(makeObject<PimExplorer>(app.m_access));
        });
        t.getter<PimApplication>("Name", 0x3001, [](PimApplication&) { return Variant("Outlook"); });
        t.method<PimApplication>("Quit", 0x113, {}, 0, [](PimApplication&, Args&) { return Variant(); });
        return t;
    }();
    return info;
}

Object PimApplication::nameSpace() { return makeObject<PimNamespace>(m_access); }

Object PimApplication::createItem(int32_t itemType) {
    std::optional<ItemClass> itemClass = classOfType(itemType);
    if (!itemClass) raise(PimError::BadItemType, std::to_string(itemType));
    std::shared_ptr<PimStore> store = m_access->store();
    FolderRow home = store->defaultFolder(store->currentMailbox().id, homeFolderOf(*itemClass));
    return PimItem::create(store, home.id, *itemClass);
}

const TypeInfo& PimNamespace::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("NameSpace");
        t.method<PimNamespace>("GetDefaultFolder", 0x20b, {"FolderType"}, 1,
                               [](PimNamespace& ns, Args& a) { return Variant(ns.defaultFolder(a[0].toI4())); });
        t.method<PimNamespace>("GetItemFromID", 0x2109, {"EntryIDItem", "EntryIDStore"}, 1,
                               [](PimNamespace& ns, Args& a) { return Variant(ns.itemFromId(a[0].toString(), a[1])); });
        t.method<PimNamespace>("GetFolderFromID", 0x2108, {"EntryIDFolder", "EntryIDStore"}, 1,
                               [](PimNamespace& ns, Args& a) {
                                   return Variant(ns.folderFromId(a[0].toString(), a[1]));
                               });
        t.method<PimNamespace>("CreateRecipient", 0x210a, {"RecipientName"}, 1, [](PimNamespace& ns, Args& a) {
            return Variant(makeObject<PimRecipient>(ns.m_access, a[0].toString()));
        });
        t.method<PimNamespace>("GetSharedDefaultFolder", 0x200c, {"Recipient", "FolderType"}, 2,
                               [](PimNamespace& ns, Args& a) {
                                   return Variant(ns.sharedDefaultFolder(a[0].toObject(), a[1].toI4()));
                               });
        t.getter<PimNamespace>("CurrentUser", 0x2101, [](PimNamespace& ns) {
            auto me = makeObject<PimRecipient>(ns.m_access, ns.store().currentMailbox().userName);
            me.as<PimRecipient>()->resolve();
            return Variant(me);
        });
        t.method<PimNamespace>("Logon", 0x2107, {"Profile", "Password", "ShowDialog", "NewSession"}, 0,
                               [](PimNamespace&, Args&) { return Variant(); });
        t.method<PimNamespace>("Logoff", 0x2106, {}, 0, [](PimNamespace&, Args&) { return Variant(); });
        return t;
    }();
    return info;
}

Object PimNamespace::defaultFolder(int32_t folderType) {
    FolderType type = folderTypeOf(folderType);
    return folderObject(sharedStore(), store().defaultFolder(store().currentMailbox().id, type));
}

Object PimNamespace::itemFromId(const std::string& entryId, const Variant& storeId) {
    store().failIfInjected("GetItemFromID");
    std::optional<int64_t> id = store().itemIdByEntryId(entryId);
    if (!id) raise(PimError::NotFound);
    Object item = PimItem::load(sharedStore(), *id);
    if (!inStore(store(), item.as<PimItem>()->record().folder, storeId)) raise(PimError::NotFound);
    return item;
}

Object PimNamespace::folderFromId(const std::string& entryId, const Variant& storeId) {
    std::optional<FolderRow> row = store().folderByEntryId(entryId);
    if (!row || !inStore(store(), row->id, storeId)) raise(PimError::NotFound);
    return folderObject(sharedStore(), std::move(*row));
}

Object PimNamespace::sharedDefaultFolder(const Object& recipient, int32_t folderType) {
    FolderType type = folderTypeOf(folderType);
    auto* who = recipient.as<PimRecipient>();
    if (!who) raise(RuntimeError::TypeMismatch);
    if (!who->resolved() && !who->resolve()) raise(PimError::NotResolved, who->name());
    int64_t me = store().currentMailbox().id;
    if (who->mailbox() != me && !store().isShared(who->mailbox(), type, me)) raise(PimError::NotShared, who->name());
    return folderObject(sharedStore(), store().defaultFolder(who->mailbox(), type));
}

const TypeInfo& PimRecipient::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("Recipient");
        t.getter<PimRecipient>("Name", 0x3001, [](PimRecipient& r) { return Variant(r.name()); });
        t.getter<PimRecipient>("Resolved", 0x64, [](PimRecipient& r) { return Variant(r.resolved()); });
        t.method<PimRecipient>("Resolve", 0x71, {}, 0, [](PimRecipient& r, Args&) { return Variant(r.resolve()); });
        return t;
    }();
    return info;
}

bool PimRecipient::resolve() {
    std::optional<MailboxRow> mailbox = m_access->store()->mailboxByName(m_name);
    m_mailbox = mailbox ? mailbox->id : 0;
    if (mailbox) m_name = mailbox->userName;
    return resolved();
}

const TypeInfo& PimExplorer::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("Explorer");
        t.getter<PimExplorer>("Selection", 0x2204, [](PimExplorer& e) { return Variant(e.selection()); });
        return t;
    }();
    return info;
}

Object PimExplorer::selection() {
    std::shared_ptr<PimStore> store = m_access->store();
    std::vector<Variant> items;
    for (const std::string& entryId : store->selection()) {
        std::optional<int64_t> id = store->itemIdByEntryId(entryId);
        if (!id) continue;
        // The local user may have selected what a page cannot see: the page's selection leaves it out.
        // An item deleted since it was selected has left the view it was selected in.
        ItemRecord record = store->loadItem(*id);
        if (store->isInDeletedItems(record.folder)) continue;
        if (inView(*store, record.folder)) items.emplace_back(makeObject<PimItem>(store, std::move(record)));
    }
    return makeObject<PimSelection>(std::move(items));
}

const TypeInfo& PimSelection::typeInfo() const {
    static const TypeInfo info = Collection::collectionTypeInfo("Selection", kAutomationCollection);
    return info;
}

std::optional<Variant> PimSelection::at(int32_t position) {
    if (position >= count()) return std::nullopt;
    return m_items[position];
}

}  // namespace lumora::pim
