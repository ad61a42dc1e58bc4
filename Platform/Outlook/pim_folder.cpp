#include "pim_folder.hpp"

#include "Automation/vb/strings.hpp"
#include "pim_errors.hpp"
#include "pim_item.hpp"
#include "pim_view.hpp"

namespace lumora::pim {

namespace {

struct MessageClassName {
    std::string_view name;
    ItemClass itemClass;
};
constexpr MessageClassName kMessageClasses[] = {
    {"IPM.Note", ItemClass::Mail},          {"IPM.Appointment", ItemClass::Appointment},
    {"IPM.Contact", ItemClass::Contact},    {"IPM.Task", ItemClass::Task},
    {"IPM.DistList", ItemClass::DistributionList},
};

}  // namespace

Object folderObject(std::shared_ptr<PimStore> store, FolderRow row) {
    requireInView(*store, row.id);
    return makeObject<PimFolder>(std::move(store), std::move(row));
}

ItemClass classOfAddType(const Variant& type, int32_t folderItemType) {
    if (type.isAbsent()) {
        if (auto itemClass = classOfType(folderItemType)) return *itemClass;
        raise(PimError::BadItemType, std::to_string(folderItemType));
    }
    if (type.isString())
        for (const MessageClassName& entry : kMessageClasses)
            if (vb::equalsNoCase(entry.name, type.str())) return entry.itemClass;
    int32_t number = type.toI4();
    if (auto itemClass = classOfType(number)) return *itemClass;
    raise(PimError::BadItemType, std::to_string(number));
}

std::string PimFolder::storeId() const { return m_store->mailbox(m_row.mailbox).storeId; }

const TypeInfo& PimFolder::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("MAPIFolder");
        t.getter<PimFolder>("Name", 0x3001, [](PimFolder& f) { return Variant(f.row().name); });
        t.getter<PimFolder>("EntryID", 0xf01e, [](PimFolder& f) { return Variant(f.row().entryId); });
        t.getter<PimFolder>("StoreID", 0x3108, [](PimFolder& f) { return Variant(f.storeId()); });
        t.getter<PimFolder>("DefaultItemType", 0x3106, [](PimFolder& f) { return Variant(f.row().defaultItemType); });
        t.getter<PimFolder>("Items", 0x3100,
                            [](PimFolder& f) { return Variant(makeObject<PimItems>(f.m_store, f.m_row)); });
        t.getter<PimFolder>("Folders", 0x2103,
                            [](PimFolder& f) { return Variant(makeObject<PimFolders>(f.m_store, f.m_row)); });
        return t;
    }();
    return info;
}

const TypeInfo& PimFolders::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("Folders");
        addCollectionMembers(t, kAutomationCollection);
        t.method<PimFolders>("Add", 0x5f, {"Name", "Type"}, 1,
                             [](PimFolders& c, Args& a) { return Variant(c.add(a[0].toString(), a[1])); });
        return t;
    }();
    return info;
}

int32_t PimFolders::count() {
    requireInView(*m_store, m_parent.id);
    return static_cast<int32_t>(m_store->subfolders(m_parent.id).size());
}

std::optional<Variant> PimFolders::at(int32_t position) {
    std::vector<FolderRow> rows = m_store->subfolders(m_parent.id);
    if (position >= static_cast<int32_t>(rows.size())) return std::nullopt;
    return Variant(folderObject(m_store, std::move(rows[position])));
}

std::optional<Variant> PimFolders::named(std::string_view name) {
    for (FolderRow& row : m_store->subfolders(m_parent.id))
        if (vb::equalsNoCase(row.name, name)) return Variant(folderObject(m_store, std::move(row)));
    raise(PimError::FolderNotFound, name);
}

Object PimFolders::add(std::string_view name, const Variant& folderType) {
    // Wherever a name is read as a C string a NUL ends it, so a folder named with one would show
    // as another, shorter name: such a name is refused rather than stored.
    if (name.find('\0') != std::string_view::npos) raise(PimError::BadFolderName);
    int32_t itemType = m_parent.defaultItemType;
    if (!folderType.isAbsent()) {
        int32_t type = folderType.toI4();
        std::optional<DefaultFolderKind> folder = defaultFolderOfType(type);
        if (!folder) raise(PimError::BadFolderType, std::to_string(type));
        itemType = static_cast<int32_t>(folder->itemType);
    }
    return folderObject(m_store, m_store->addFolder(m_parent.id, name, itemType));
}

const TypeInfo& PimItems::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("Items");
        addCollectionMembers(t, kAutomationCollection);
        t.method<PimItems>("Add", 0x5f, {"Type"}, 0, [](PimItems& c, Args& a) { return Variant(c.add(a[0])); });
        return t;
    }();
    return info;
}

int32_t PimItems::count() {
    requireInView(*m_store, m_folder.id);
    return static_cast<int32_t>(m_store->itemIds(m_folder.id).size());
}

std::optional<Variant> PimItems::at(int32_t position) {
    const std::vector<int64_t>& ids = m_store->itemIds(m_folder.id);
    if (position < 0 || position >= static_cast<int32_t>(ids.size())) return std::nullopt;
    return Variant(PimItem::load(m_store, ids[position]));
}

Object PimItems::add(const Variant& type) {
    return PimItem::create(m_store, m_folder.id, classOfAddType(type, m_folder.defaultItemType));
}

}  // namespace lumora::pim
