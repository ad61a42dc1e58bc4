#include "property_table.hpp"

namespace lumora {

std::optional<Variant> MemoryPropertyStore::load(const PropertyDef& property) {
    if (property.slot >= m_values.size()) return std::nullopt;
    return m_values[property.slot];
}

void MemoryPropertyStore::store(const PropertyDef& property, Variant value) {
    if (property.slot >= m_values.size()) m_values.resize(property.slot + 1);
    m_values[property.slot] = std::move(value);
}

PropertyTable::PropertyTable(std::initializer_list<PropertyDef> properties)
    : PropertyTable(std::vector<PropertyDef>(properties)) {}

PropertyTable::PropertyTable(std::vector<PropertyDef> properties) : m_properties(std::move(properties)) {
    for (size_t i = 0; i < m_properties.size(); ++i) m_properties[i].slot = i;
}

Variant PropertyTable::get(PropertyStore& store, const PropertyDef& property) {
    if (auto value = store.load(property)) return std::move(*value);
    return property.defaultValue;
}

void PropertyTable::put(PropertyStore& store, const PropertyDef& property, const Variant& value) {
    if (property.access != Access::ReadWrite) {
        if (property.readOnlyError) raise(*property.readOnlyError);
        raise(RuntimeError::PropertyReadOnly);
    }
    store.store(property, coerce(value, property.type));
}

}  // namespace lumora
