#pragma once
// The application and its MAPI namespace: the entry points into the store. The store is opened
// on first use, so that a damaged or read-only file is reported by the member that needed it.

#include <memory>
#include <string>

#include "Automation/collection.hpp"
#include "pim_store.hpp"

namespace lumora::pim {

// The data folder's store for an object tree, opened on first use and shared with the other
// object trees of the thread that opened it.
class StoreAccess {
public:
    std::shared_ptr<PimStore> store();

private:
    std::shared_ptr<PimStore> m_store;
};

class PimApplication final : public Dispatch {
public:
    const TypeInfo& typeInfo() const override;
    Object nameSpace();
    Object createItem(int32_t itemType);

private:
    std::shared_ptr<StoreAccess> m_access = std::make_shared<StoreAccess>();
};

class PimNamespace final : public Dispatch {
public:
    explicit PimNamespace(std::shared_ptr<StoreAccess> access) : m_access(std::move(access)) {}
    const TypeInfo& typeInfo() const override;
    PimStore& store() { return *m_access->store(); }
    std::shared_ptr<PimStore> sharedStore() { return m_access->store(); }

    Object defaultFolder(int32_t folderType);
    // GetItemFromID / GetFolderFromID: 0x8004010F when absent or not in the given store.
    Object itemFromId(const std::string& entryId, const Variant& storeId);
    Object folderFromId(const std::string& entryId, const Variant& storeId);
    Object sharedDefaultFolder(const Object& recipient, int32_t folderType);

private:
    std::shared_ptr<StoreAccess> m_access;
};

// A name to resolve against the store's mailboxes.
class PimRecipient final : public Dispatch {
public:
    PimRecipient(std::shared_ptr<StoreAccess> access, std::string name) : m_access(std::move(access)), m_name(std::move(name)) {}
    const TypeInfo& typeInfo() const override;
    bool resolve();
    bool resolved() const { return m_mailbox != 0; }
    int64_t mailbox() const { return m_mailbox; }
    const std::string& name() const { return m_name; }

private:
    std::shared_ptr<StoreAccess> m_access;
    std::string m_name;
    int64_t m_mailbox = 0;
};

class PimExplorer final : public Dispatch {
public:
    explicit PimExplorer(std::shared_ptr<StoreAccess> access) : m_access(std::move(access)) {}
    const TypeInfo& typeInfo() const override;
    Object selection();

private:
    std::shared_ptr<StoreAccess> m_access;
};

// The items selected in the explorer, in selection order; items deleted since are left out.
class PimSelection final : public Collection {
public:
    explicit PimSelection(std::vector<Variant> items) : m_items(std::move(items)) {}
    const TypeInfo& typeInfo() const override;
    int32_t count() override { return static_cast<int32_t>(m_items.size()); }
    std::optional<Variant> at(int32_t position) override;

private:
    std::vector<Variant> m_items;
};

}  // namespace lumora::pim
