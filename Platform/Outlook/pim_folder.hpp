#pragma once
// A folder, its subfolders and its items. Items are in the folder's own (creation) order,
// numbered from 1; a delete moves the later items up one place.

#include <memory>

#include "Automation/collection.hpp"
#include "pim_store.hpp"

namespace lumora::pim {

class PimFolder final : public Dispatch {
public:
    PimFolder(std::shared_ptr<PimStore> store, FolderRow row) : m_store(std::move(store)), m_row(std::move(row)) {}
    const TypeInfo& typeInfo() const override;
    const FolderRow& row() const { return m_row; }
    std::string storeId() const;

private:
    std::shared_ptr<PimStore> m_store;
    FolderRow m_row;
};

class PimFolders final : public Collection {
public:
    PimFolders(std::shared_ptr<PimStore> store, FolderRow parent) : m_store(std::move(store)), m_parent(std::move(parent)) {}
    const TypeInfo& typeInfo() const override;
    int32_t count() override;
    std::optional<Variant> at(int32_t position) override;
    std::optional<Variant> named(std::string_view name) override;
    // Add(name [, folder type]): without a type the new folder holds its parent's item type.
    Object add(std::string_view name, const Variant& folderType);

private:
    std::shared_ptr<PimStore> m_store;
    FolderRow m_parent;
};

class PimItems final : public Collection {
public:
    PimItems(std::shared_ptr<PimStore> store, FolderRow folder) : m_store(std::move(store)), m_folder(std::move(folder)) {}
    const TypeInfo& typeInfo() const override;
    int32_t count() override;
    std::optional<Variant> at(int32_t position) override;
    // Add([type]): a new unsaved item of the type (an item type number or a message class),
    // the folder's own type by default.
    Object add(const Variant& type);

private:
    std::shared_ptr<PimStore> m_store;
    FolderRow m_folder;
};

// A folder as an automation object (PimError::NotShared when it is out of the caller's view),
// and the class an Add type names (number or message class).
Object folderObject(std::shared_ptr<PimStore> store, FolderRow row);
ItemClass classOfAddType(const Variant& type, int32_t folderItemType);

}  // namespace lumora::pim
