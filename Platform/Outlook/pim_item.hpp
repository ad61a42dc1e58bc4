#pragma once
// An item of any of the five classes. Its values live in memory from the moment it is read
// or made until save, which writes them in one transaction; its members come from its class's
// property table and the members every item shares.

#include <memory>
#include <string>
#include <vector>

#include "Automation/object.hpp"
#include "Automation/property_table.hpp"
#include "pim_store.hpp"

namespace lumora::pim {

// What an item object and its user-property objects share: the record and what changed in it.
struct ItemState {
    std::shared_ptr<PimStore> store;
    ItemRecord record;
    std::vector<std::string> changed;  // value names set since the last save
    // A new appointment's end moves with its start, keeping its length, until the end is set.
    bool endFollowsStart = false;
    void markChanged(const std::string& name);
    // The user properties, read from the store on first use.
    std::vector<UserPropertyRow>& userProperties();
    // A mail item's recipients and attachments, read from the store on first use.
    ItemRecord& mailParts();
};

class PimItem : public Dispatch {
public:
    PimItem(std::shared_ptr<PimStore> store, ItemRecord record);
    explicit PimItem(std::shared_ptr<ItemState> state);
    // A new, unsaved item of the class in a folder, with its entry id and UID. A new appointment
    // starts at the next half hour of the Desktop clock and lasts 30 minutes.
    static Object create(std::shared_ptr<PimStore> store, int64_t folder, ItemClass itemClass);
    // A stored item; raises PimError::NotShared when its folder is out of the caller's view.
    static Object load(std::shared_ptr<PimStore> store, int64_t id);

    const TypeInfo& typeInfo() const override;
    PropertyStore& properties() { return m_values; }

    const ItemRecord& record() const { return m_state->record; }
    Object parent() const;
    Object userProperties() const;
    // Both raise PimError::NotShared, changing nothing, when the item's folder has left the
    // caller's view since it was read (pim_view.hpp).
    void save();
    void remove();
    // Hands the item to the Desktop: an item window where the Desktop has them, else the item
    // as a file in the documents folder (item_display.cpp).
    void display();
    // Another object over the same item, as the item window holds it.
    static Object sharing(std::shared_ptr<ItemState> state);
    const std::shared_ptr<ItemState>& state() const { return m_state; }

private:
    // The generic get and put read and write the record; a never-set contact name is composed.
    class Values final : public PropertyStore {
    public:
        explicit Values(ItemState& state) : m_state(state) {}
        std::optional<Variant> load(const PropertyDef& property) override;
        void store(const PropertyDef& property, Variant value) override;

    private:
        ItemState& m_state;
    };

    std::shared_ptr<PimStore> m_store;
    std::shared_ptr<ItemState> m_state;
    Values m_values;
};

// A stored value as text ("" when never set), and as it is stored (its class's default when
// never set), by the property's declared name.
std::string textValue(const ItemRecord& record, std::string_view name);
Variant storedValue(const ItemRecord& record, std::string_view name);

// "First Middle Last Suffix" and "Last, First": what a contact's FullName and FileAs read
// until they are set.
std::string composedFullName(const ItemRecord& record);
std::string composedFileAs(const ItemRecord& record);

}  // namespace lumora::pim
