#pragma once
// An item's user properties: named, typed values kept with the item and saved with it.
// UserProperties.Find(name) gives Nothing when absent; Add(name, type, addToFolderFields)
// gives the property, the existing one when the name is already there; a property's default
// member is its Value.

#include <memory>
#include <string>

#include "Automation/collection.hpp"
#include "pim_item.hpp"

namespace lumora::pim {

class UserProperties final : public Collection {
public:
    explicit UserProperties(std::shared_ptr<ItemState> state) : m_state(std::move(state)) {}
    const TypeInfo& typeInfo() const override;
    int32_t count() override;
    std::optional<Variant> at(int32_t position) override;
    std::optional<Variant> named(std::string_view name) override;

    Object find(std::string_view name);
    Object add(std::string_view name, int32_t type, bool addToFolderFields);

private:
    std::shared_ptr<ItemState> m_state;
};

class UserProperty final : public Dispatch {
public:
    UserProperty(std::shared_ptr<ItemState> state, std::string name) : m_state(std::move(state)), m_name(std::move(name)) {}
    const TypeInfo& typeInfo() const override;
    UserPropertyRow& row();

private:
    std::shared_ptr<ItemState> m_state;
    std::string m_name;
};

}  // namespace lumora::pim
