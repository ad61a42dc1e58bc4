#include "file_objects.hpp"

#include "Automation/error.hpp"
#include "Automation/vb/strings.hpp"
#include "drive_map.hpp"
#include "entry_info.hpp"
#include "file_errors.hpp"
#include "path_names.hpp"
#include "text_stream.hpp"

namespace lumora::files {

namespace fs = std::filesystem;

namespace {

Force forceOf(const Args& args, size_t index) { return args.valueOr(index, false).toBool() ? Force::Yes : Force::No; }

Overwrite overwriteOf(const Args& args, size_t index) {
    return args.valueOr(index, true).toBool() ? Overwrite::Yes : Overwrite::No;
}

// The dispatch ids of the entry's plain properties.
enum EntryProperty : DispId {
    kPath = kDispIdValue,
    kName = 1000,
    kAttributes = 1003,
    kParentFolder = 1005,
    kDateCreated = 1006,
    kDateLastAccessed = 1007,
    kDateLastModified = 1008,
    kSize = 1009,
};

// Values pass through as given: the entry converts them as its file-system calls need, so a
// Null name is "Invalid use of Null" as before.
const PropertyTable kEntryProperties{
    {"Path", kPath, ParamType::Variant, "", Access::GetOnly},
    {"Name", kName, ParamType::Variant, ""},
    {"ParentFolder", kParentFolder, ParamType::Variant, Variant(Object()), Access::GetOnly},
    {"Attributes", kAttributes, ParamType::Variant, int32_t{0}},
    {"DateCreated", kDateCreated, ParamType::Variant, Variant(Date{}), Access::GetOnly},
    {"DateLastAccessed", kDateLastAccessed, ParamType::Variant, Variant(Date{}), Access::GetOnly},
    {"DateLastModified", kDateLastModified, ParamType::Variant, Variant(Date{}), Access::GetOnly},
    {"Size", kSize, ParamType::Variant, int32_t{0}, Access::GetOnly},
};

}  // namespace

Object entryObject(PagePath where, EntryKind kind) {
    if (kind == EntryKind::File) return makeObject<FileObject>(std::move(where));
    return makeObject<FolderObject>(std::move(where));
}

RuntimeError EntryObject::missingError() const {
    return m_kind == EntryKind::File ? RuntimeError::FileNotFound : RuntimeError::PathNotFound;
}

void EntryObject::requireExists() const {
    if (!isKind(m_where.local, m_kind)) raise(missingError());
}

std::string EntryObject::path() const {
    requireExists();
    return pageText(m_where.local, m_where.style);
}

bool EntryObject::isRoot() const {
    if (m_where.style == PathStyle::Windows) {
        auto mapping = DriveMap::instance().mappingHolding(m_where.local);
        if (mapping && mapping->root == m_where.local) return true;
    }
    return !m_where.local.has_relative_path();
}

std::string EntryObject::name() const {
    requireExists();
    return isRoot() ? std::string() : m_where.local.filename().string();
}

void EntryObject::rename(std::string_view newName) {
    requireExists();
    m_where.local = renameEntry(m_where.local, newName);
}

Object EntryObject::parentFolder() const {
    requireExists();
    if (isRoot()) return Object();
    return makeObject<FolderObject>(PagePath{m_where.local.parent_path(), m_where.style});
}

std::optional<Variant> EntryObject::load(const PropertyDef& property) {
    const fs::path& local = m_where.local;
    switch (property.id) {
        case kPath: return Variant(path());
        case kName: return Variant(name());
        case kParentFolder: return Variant(parentFolder());
        case kAttributes: return Variant(entryAttributes(local, missingError()));
        case kDateCreated: return Variant(entryTime(local, EntryTime::Created, missingError()));
        case kDateLastAccessed: return Variant(entryTime(local, EntryTime::LastAccessed, missingError()));
        case kDateLastModified: return Variant(entryTime(local, EntryTime::LastModified, missingError()));
        case kSize: return entrySize(local, missingError());
        default: return std::nullopt;
    }
}

void EntryObject::store(const PropertyDef& property, Variant value) {
    if (property.id == kName) rename(value.toString());
    if (property.id == kAttributes) setEntryAttributes(m_where.local, value.toI4(), missingError());
}

void EntryObject::addEntryMembers(TypeInfo& t) {
    using E = EntryObject;
    kEntryProperties.addTo<E>(t);
    t.method<E>("Delete", 1200, {"Force"}, 0, [](E& e, Args& a) {
        deleteEntry(e.where().local, e.kind(), forceOf(a, 0));
        return Variant();
    });
    t.method<E>("Copy", 1202, {"Destination", "OverWriteFiles"}, 1, [](E& e, Args& a) {
        copyEntry(e.where().local, e.kind(), a[0].toString(), overwriteOf(a, 1));
        return Variant();
    });
    t.method<E>("Move", 1204, {"Destination"}, 1, [](E& e, Args& a) {
        e.m_where = moveEntry(e.where().local, e.kind(), a[0].toString());
        return Variant();
    });
}

const TypeInfo& FileObject::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("File");
        addEntryMembers(t);
        t.method<FileObject>("OpenAsTextStream", 1100, {"IOMode", "Format"}, 0, [](FileObject& f, Args& a) {
            f.requireExists();
            return Variant(openTextStream(f.where().local, ioModeOf(a.valueOr(0, 1)), false, tristateOf(a.valueOr(1, 0))));
        });
        return t;
    }();
    return info;
}

const TypeInfo& FolderObject::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("Folder");
        addEntryMembers(t);
        using F = FolderObject;
        t.getter<F>("IsRootFolder", 10002, [](F& f) {
            f.requireExists();
            return Variant(f.isRoot());
        });
        t.getter<F>("SubFolders", 10003, [](F& f) {
            f.requireExists();
            return Variant(makeObject<EntryCollection>(f.where(), EntryKind::Folder));
        });
        t.getter<F>("Files", 10004, [](F& f) {
            f.requireExists();
            return Variant(makeObject<EntryCollection>(f.where(), EntryKind::File));
        });
        t.method<F>("CreateTextFile", 1101, {"FileName", "Overwrite", "Unicode"}, 1, [](F& f, Args& a) {
            f.requireExists();
            // The name is read as a page's path below this folder, so it is mapped and kept
            // within the page's reach like any other path ("..\\x" or "/x" included).
            PagePath file = resolvePagePath(buildPath(f.path(), a[0].toString()));
            return Variant(createTextFile(file.local, overwriteOf(a, 1),
                                          a.valueOr(2, false).toBool() ? TextFormat::Unicode : TextFormat::Ansi));
        });
        return t;
    }();
    return info;
}

int32_t EntryCollection::count() { return static_cast<int32_t>(listEntries(m_folder.local, m_kind).size()); }

std::optional<Variant> EntryCollection::at(int32_t position) {
    std::vector<fs::path> entries = listEntries(m_folder.local, m_kind);
    if (position >= static_cast<int32_t>(entries.size())) return std::nullopt;
    return Variant(entryObject(PagePath{std::move(entries[static_cast<size_t>(position)]), m_folder.style}, m_kind));
}

Variant EntryCollection::item(const Variant& key, const CollectionShape&) {
    if (!key.isString()) raise(RuntimeError::InvalidProcedureCall);
    return *named(key.str());
}

std::optional<Variant> EntryCollection::named(std::string_view name) {
    RuntimeError missing = m_kind == EntryKind::File ? RuntimeError::FileNotFound : RuntimeError::PathNotFound;
    std::vector<fs::path> entries = listEntries(m_folder.local, m_kind);
    // The exact name first; the page's system finds names without regard to case as well.
    for (int pass = 0; pass < 2; ++pass) {
        for (const fs::path& entry : entries) {
            std::string entryName = entry.filename().string();
            if (pass == 0 ? entryName == name : vb::equalsNoCase(entryName, name))
                return Variant(entryObject(PagePath{entry, m_folder.style}, m_kind));
        }
    }
    raise(missing);
}

Object EntryCollection::add(std::string_view name) const {
    if (m_kind != EntryKind::Folder) raise(RuntimeError::ObjectDoesNotSupport);
    requireEntryName(name);
    fs::path folder = m_folder.local / std::string(name);
    if (entryPresent(folder)) raise(RuntimeError::FileAlreadyExists);
    if (!isKind(m_folder.local, EntryKind::Folder)) raise(RuntimeError::PathNotFound);
    std::error_code error;
    fs::create_directory(folder, error);
    if (error) raise(fileError(error, RuntimeError::PathNotFound));
    return makeObject<FolderObject>(PagePath{folder, m_folder.style});
}

std::optional<std::vector<Variant>> EntryCollection::elements() {
    std::vector<Variant> items;
    for (fs::path& entry : listEntries(m_folder.local, m_kind))
        items.emplace_back(entryObject(PagePath{std::move(entry), m_folder.style}, m_kind));
    return items;
}

const TypeInfo& EntryCollection::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("Collection");
        using C = EntryCollection;
        CollectionShape byName = kAutomationCollection;
        byName.itemParams = {"Key"};
        addCollectionMembers(t, byName);
        t.method<C>("Add", 2, {"Name"}, 1, [](C& c, Args& a) { return Variant(c.add(a[0].toString())); });
        return t;
    }();
    return info;
}

}  // namespace lumora::files
