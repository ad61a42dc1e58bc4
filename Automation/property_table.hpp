#pragma once
// Property tables for data-driven classes: one declaration per class lists each plain property
// (name, dispatch id, type, default, access), and one generic get and put serve them all, with
// the runtime's coercions (13 type mismatch, 6 overflow) and read-only errors. Where the values
// live is up to the class: in memory (MemoryPropertyStore), or a row of a store.
//
//     const PropertyTable kContactProperties{
//         {"FirstName", 0x3a06, ParamType::String, ""},
//         {"Birthday", 0x3a42, ParamType::Date, Variant(Date{949998.0})},
//         {"EntryID", 0xf01e, ParamType::String, "", Access::ReadOnly},
//     };
//     class ContactItem : public Dispatch {
//     public:
//         PropertyStore& properties() { return m_row; }   // the generic members read and write here
//         const TypeInfo& typeInfo() const override {
//             static const TypeInfo info = [] {
//                 TypeInfo t("ContactItem");
//                 kContactProperties.addTo<ContactItem>(t);
//                 return t;
//             }();
//             return info;
//         }
//     };

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "error.hpp"
#include "object.hpp"
#include "typed_members.hpp"

namespace lumora {

enum class Access : uint8_t {
    ReadWrite,
    ReadOnly,  // a put fails with the property's read-only error (383 unless it has its own)
    GetOnly,   // no put at all: script gets 438, as for any member the class does not have
};

struct PropertyDef {
    std::string name;
    DispId id;
    ParamType type = ParamType::Variant;  // what a put converts its value to
    Variant defaultValue;                 // what the property reads before anything was stored
    Access access = Access::ReadWrite;
    std::optional<Error> readOnlyError = std::nullopt;
    size_t slot = 0;  // the property's place in its table, set by the table
};

// Where the values of one object's properties live. A value never stored reads as nullopt, and
// the table gives the property's default instead.
class PropertyStore {
public:
    virtual ~PropertyStore() = default;
    virtual std::optional<Variant> load(const PropertyDef& property) = 0;
    virtual void store(const PropertyDef& property, Variant value) = 0;
};

// Values held in the object itself, one slot per property of the table.
class MemoryPropertyStore final : public PropertyStore {
public:
    std::optional<Variant> load(const PropertyDef& property) override;
    void store(const PropertyDef& property, Variant value) override;

private:
    std::vector<std::optional<Variant>> m_values;
};

class PropertyTable {
public:
    PropertyTable(std::initializer_list<PropertyDef> properties);
    explicit PropertyTable(std::vector<PropertyDef> properties);

    const std::vector<PropertyDef>& properties() const { return m_properties; }

    // The generic get and put every property of the table is served by.
    static Variant get(PropertyStore& store, const PropertyDef& property);
    static void put(PropertyStore& store, const PropertyDef& property, const Variant& value);

    // Adds a get, and a put unless the property is get-only, for each property. T provides
    // `PropertyStore& properties()`. The members point into this table, so a table lives as
    // long as the program: declared at namespace scope or as a function's static.
    template <class T>
    void addTo(TypeInfo& info) const {
        for (const PropertyDef& property : m_properties) {
            const PropertyDef* def = &property;
            info.add(TypeInfo::member<T>(property.name, property.id, MemberKind::PropertyGet, {}, 0,
                                         [def](T& self, Args&) { return get(self.properties(), *def); }));
            if (property.access == Access::GetOnly) continue;
            info.setter<T>(property.name, property.id,
                           [def](T& self, const Variant& value) { put(self.properties(), *def, value); });
        }
    }

private:
    std::vector<PropertyDef> m_properties;
};

}  // namespace lumora
