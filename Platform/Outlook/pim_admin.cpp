#include "pim_admin.hpp"

#include "Automation/vb/convert.hpp"
#include "Automation/vb/strings.hpp"
#include "Platform/Files/page_path.hpp"
#include "item_properties.hpp"
#include "pim_errors.hpp"
#include "pim_exchange.hpp"
#include "pim_item.hpp"
#include "pim_view.hpp"

namespace lumora::pim {

namespace {

Variant row(std::vector<Variant> cells) { return Variant(Array{0, std::move(cells)}); }

std::string dateText(const Variant& value) {
    if (value.toDate().days == kNoDate.days) return {};
    return vb::formatDate(value.toDate(), "yyyy-MM-dd HH:mm");
}

// A line of the explorer's list: what names the item, and what one reads beside it.
std::pair<std::string, std::string> listedText(const ItemRecord& item) {
    switch (item.itemClass) {
    case ItemClass::Appointment:
        return {textValue(item, "Subject"), dateText(storedValue(item, "Start"))};
    case ItemClass::Task:
        return {textValue(item, "Subject"), dateText(storedValue(item, "DueDate"))};
    case ItemClass::Contact: {
        std::string name = textValue(item, "FullName");
        if (name.empty()) name = composedFullName(item);
        return {name, textValue(item, "Email1Address")};
    }
    case ItemClass::DistributionList:
        return {textValue(item, "DLName"), {}};
    case ItemClass::Mail: break;
    }
    return {textValue(item, "Subject"), {}};
}

void addFolders(PimStore& store, int64_t parent, int32_t depth, std::vector<Variant>& rows) {
    for (const FolderRow& folder : store.subfolders(parent)) {
        rows.push_back(row({Variant(folder.entryId), Variant(folder.name), Variant(folder.defaultItemType),
                            Variant(static_cast<int32_t>(store.itemIds(folder.id).size())), Variant(depth)}));
        addFolders(store, folder.id, depth + 1, rows);
    }
}

}  // namespace

const TypeInfo& PimAdmin::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("PimAdmin");
        t.variadic<PimAdmin>("Select", 1, {}, 0, [](PimAdmin& admin, Args& a) {
            std::vector<std::string> entryIds;
            for (size_t i = 0; i < a.size(); ++i)
                if (a.has(i)) entryIds.push_back(a[i].toString());
            admin.select(entryIds);
            return Variant();
        });
        t.method<PimAdmin>("AddMailbox", 2, {"UserName"}, 1,
                           [](PimAdmin& admin, Args& a) { return Variant(admin.addMailbox(a[0].toString())); });
        t.method<PimAdmin>("Share", 3, {"UserName", "FolderType", "Allowed"}, 2, [](PimAdmin& admin, Args& a) {
            admin.share(a[0].toString(), a[1].toI4(), a.valueOr(2, Variant(true)).toBool());
            return Variant();
        });
        t.method<PimAdmin>("FailNext", 4, {"Member", "Number"}, 2, [](PimAdmin& admin, Args& a) {
            admin.failNext(a[0].toString(), a[1].toI4());
            return Variant();
        });
        t.method<PimAdmin>("Folders", 5, {}, 0, [](PimAdmin& admin, Args&) { return admin.folders(); });
        t.method<PimAdmin>("Items", 6, {"FolderEntryID"}, 1,
                           [](PimAdmin& admin, Args& a) { return admin.items(a[0].toString()); });
        t.method<PimAdmin>("Display", 7, {"EntryID"}, 1, [](PimAdmin& admin, Args& a) {
            admin.display(a[0].toString());
            return Variant();
        });
        // Created and Updated, when passed, return how many items were new and how many updated.
        t.method<PimAdmin>("Import", 8, {"Path", "Created", "Updated"}, 1, [](PimAdmin& admin, Args& a) {
            const ImportCounts counts = admin.importFile(a[0].toString());
            if (a.has(1)) a.ref(1) = Variant(counts.created);
            if (a.has(2)) a.ref(2) = Variant(counts.updated);
            return Variant(counts.total());
        });
        t.method<PimAdmin>("Export", 9, {"Kind", "Path"}, 2, [](PimAdmin& admin, Args& a) {
            return Variant(admin.exportFolder(a[0].toString(), a[1].toString()));
        });
        return t;
    }();
    return info;
}

Variant PimAdmin::folders() {
    PimStore& store = *m_access.store();
    const MailboxRow mailbox = store.currentMailbox();
    const FolderRow inbox = store.defaultFolder(mailbox.id, FolderType::Inbox);
    std::vector<Variant> rows;
    addFolders(store, inbox.parent, 0, rows);
    return Variant(Array{0, std::move(rows)});
}

Variant PimAdmin::items(const std::string& folderEntryId) {
    PimStore& store = *m_access.store();
    std::optional<FolderRow> folder = store.folderByEntryId(folderEntryId);
    if (!folder) raise(PimError::NotFound);
    requireInView(store, folder->id);
    std::vector<Variant> rows;
    for (int64_t id : store.itemIds(folder->id)) {
        if (rows.size() >= kMaxListedItems) break;
        const ItemRecord item = store.loadItem(id);
        auto [title, detail] = listedText(item);
        rows.push_back(row({Variant(item.entryId), Variant(static_cast<int32_t>(item.itemClass)), Variant(title),
                            Variant(detail)}));
    }
    return Variant(Array{0, std::move(rows)});
}

void PimAdmin::display(const std::string& entryId) {
    std::shared_ptr<PimStore> store = m_access.store();
    std::optional<int64_t> id = store->itemIdByEntryId(entryId);
    if (!id) raise(PimError::NotFound);
    PimItem::load(store, *id).call("Display");
}

ImportCounts PimAdmin::importFile(const std::string& path) {
    requireLocalUser();
    return pim::importFile(*m_access.store(), files::resolvePagePath(path).local);
}

int32_t PimAdmin::exportFolder(const std::string& kind, const std::string& path) {
    requireLocalUser();
    const ExportKind what = exportKindOf(kind);
    return pim::exportFolder(*m_access.store(), what, files::resolvePagePath(path).local);
}

void PimAdmin::select(const std::vector<std::string>& entryIds) {
    PimStore& store = *m_access.store();
    for (const std::string& entryId : entryIds) {
        std::optional<int64_t> id = store.itemIdByEntryId(entryId);
        if (!id) raise(PimError::NotFound);
        requireInView(store, store.loadItem(*id).folder);
    }
    store.setSelection(entryIds);
}

std::string PimAdmin::addMailbox(const std::string& userName) {
    requireLocalUser();
    if (userName.empty()) raise(RuntimeError::InvalidProcedureCall);
    return m_access.store()->addMailbox(userName).storeId;
}

void PimAdmin::share(const std::string& userName, int32_t folderType, bool allowed) {
    requireLocalUser();
    PimStore& store = *m_access.store();
    std::optional<MailboxRow> owner = store.mailboxByName(userName);
    if (!owner) raise(PimError::NotResolved, userName);
    store.defaultFolder(owner->id, static_cast<FolderType>(folderType));  // raises for a type it does not have
    store.setShared(owner->id, static_cast<FolderType>(folderType), store.currentMailbox().id, allowed);
}

void PimAdmin::failNext(const std::string& member, int32_t number) {
    requireLocalUser();
    // Only members that consult the store's injected faults; another name would wait forever.
    static constexpr std::string_view kFaultableMembers[] = {"GetItemFromID"};
    for (std::string_view faultable : kFaultableMembers)
        if (vb::equalsNoCase(faultable, member)) return m_access.store()->injectFault(faultable, number);
    raise(RuntimeError::InvalidProcedureCall);
}

}  // namespace lumora::pim
