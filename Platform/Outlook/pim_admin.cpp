#include "pim_admin.hpp"

#include "Automation/vb/strings.hpp"
#include "pim_errors.hpp"

namespace lumora::pim {

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
        return t;
    }();
    return info;
}

void PimAdmin::select(const std::vector<std::string>& entryIds) {
    PimStore& store = *m_access.store();
    for (const std::string& entryId : entryIds)
        if (!store.itemIdByEntryId(entryId)) raise(PimError::NotFound);
    store.setSelection(entryIds);
}

std::string PimAdmin::addMailbox(const std::string& userName) {
    if (userName.empty()) raise(RuntimeError::InvalidProcedureCall);
    return m_access.store()->addMailbox(userName).storeId;
}

void PimAdmin::share(const std::string& userName, int32_t folderType, bool allowed) {
    PimStore& store = *m_access.store();
    std::optional<MailboxRow> owner = store.mailboxByName(userName);
    if (!owner) raise(PimError::NotResolved, userName);
    store.defaultFolder(owner->id, static_cast<FolderType>(folderType));  // raises for a type it does not have
    store.setShared(owner->id, static_cast<FolderType>(folderType), store.currentMailbox().id, allowed);
}

void PimAdmin::failNext(const std::string& member, int32_t number) {
    // Only members that consult the store's injected faults; another name would wait forever.
    static constexpr std::string_view kFaultableMembers[] = {"GetItemFromID"};
    for (std::string_view faultable : kFaultableMembers)
        if (vb::equalsNoCase(faultable, member)) return m_access.store()->injectFault(faultable, number);
    raise(RuntimeError::InvalidProcedureCall);
}

}  // namespace lumora::pim
