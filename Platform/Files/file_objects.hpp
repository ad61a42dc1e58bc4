#pragma once
// The File and Folder objects and the Files and SubFolders collections. Each stands for an
// entry by its path; the entry is looked up afresh on every call, so an object whose entry
// has gone reports 53 (a file) or 76 (a folder), and collections always list what is there now.

#include <string>
#include <string_view>

#include "Automation/error.hpp"
#include "Automation/collection.hpp"
#include "Automation/object.hpp"
#include "Automation/property_table.hpp"
#include "file_operations.hpp"
#include "page_path.hpp"

namespace lumora::files {

// What files and folders have in common: name, path, parent, times, size, attributes, and
// delete, copy and move. The plain properties come from a property table whose store is the
// entry itself: every read and write goes to the file system, so they show the entry as it is.
class EntryObject : public Dispatch, private PropertyStore {
public:
    EntryObject(PagePath where, EntryKind kind) : m_where(std::move(where)), m_kind(kind) {}

    PropertyStore& properties() { return *this; }

    const PagePath& where() const { return m_where; }
    EntryKind kind() const { return m_kind; }
    RuntimeError missingError() const;
    void requireExists() const;

    std::string path() const;
    std::string name() const;
    void rename(std::string_view newName);
    Object parentFolder() const;
    bool isRoot() const;

protected:
    // Adds the shared members to a class's table.
    static void addEntryMembers(TypeInfo& info);

private:
    std::optional<Variant> load(const PropertyDef& property) override;
    void store(const PropertyDef& property, Variant value) override;

protected:

    PagePath m_where;
    EntryKind m_kind;
};

class FileObject : public EntryObject {
public:
    explicit FileObject(PagePath where) : EntryObject(std::move(where), EntryKind::File) {}
    const TypeInfo& typeInfo() const override;
};

class FolderObject : public EntryObject {
public:
    explicit FolderObject(PagePath where) : EntryObject(std::move(where), EntryKind::Folder) {}
    const TypeInfo& typeInfo() const override;
};

// Folder.Files and Folder.SubFolders: Count, Item(name), for-each, and Add(name) for folders.
class EntryCollection : public Collection {
public:
    EntryCollection(PagePath folder, EntryKind kind) : m_folder(std::move(folder)), m_kind(kind) {}
    const TypeInfo& typeInfo() const override;
    // The folder is listed once for a for-each, not once per position.
    std::optional<std::vector<Variant>> elements() override;

    int32_t count() override;
    std::optional<Variant> at(int32_t position) override;
    // Entries are found by name only: a key that is not a name is refused with error 5.
    Variant item(const Variant& key, const CollectionShape& shape) override;
    std::optional<Variant> named(std::string_view name) override;
    Object add(std::string_view name) const;

private:
    PagePath m_folder;
    EntryKind m_kind;
};

// The object for an entry of a kind at a path.
Object entryObject(PagePath where, EntryKind kind);

}  // namespace lumora::files
