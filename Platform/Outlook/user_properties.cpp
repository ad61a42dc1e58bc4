#include "user_properties.hpp"

#include "Automation/vb/strings.hpp"
#include "item_properties.hpp"

namespace lumora::pim {

namespace {

// The user property types and what a value put converts to.
enum class UserPropertyType : int32_t { Text = 1, Number = 3, DateTime = 5, YesNo = 6, Duration = 7, Percent = 12,
                                        Currency = 14, Integer = 20 };

Variant initialValue(int32_t type) {
    switch (static_cast<UserPropertyType>(type)) {
    case UserPropertyType::Number:
    case UserPropertyType::Currency: return Variant(0.0);
    case UserPropertyType::DateTime: return Variant(kNoDate);
    case UserPropertyType::YesNo: return Variant(false);
    case UserPropertyType::Duration:
    case UserPropertyType::Percent:
    case UserPropertyType::Integer: return Variant(int32_t{0});
    case UserPropertyType::Text: break;
    }
    return Variant("");
}

Variant converted(int32_t type, const Variant& value) {
    switch (static_cast<UserPropertyType>(type)) {
    case UserPropertyType::Number:
    case UserPropertyType::Currency: return Variant(value.toR8());
    case UserPropertyType::DateTime: return Variant(value.toDate());
    case UserPropertyType::YesNo: return Variant(value.toBool());
    case UserPropertyType::Duration:
    case UserPropertyType::Percent:
    case UserPropertyType::Integer: return Variant(value.toI4());
    case UserPropertyType::Text: break;
    }
    return Variant(value.toString());
}

UserPropertyRow* findRow(ItemState& state, std::string_view name) {
    for (UserPropertyRow& row : state.userProperties())
        if (vb::equalsNoCase(row.name, name)) return &row;
    return nullptr;
}

}  // namespace

const TypeInfo& UserProperties::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("UserProperties");
        addCollectionMembers(t, kAutomationCollection);
        t.method<UserProperties>("Find", 0x67, {"Name", "Custom"}, 1,
                                 [](UserProperties& c, Args& a) { return Variant(c.find(a[0].toString())); });
        t.method<UserProperties>("Add", 0x66, {"Name", "Type", "AddToFolderFields", "DisplayFormat"}, 2,
                                 [](UserProperties& c, Args& a) {
                                     return Variant(c.add(a[0].toString(), a[1].toI4(),
                                                          a.valueOr(2, Variant(true)).toBool()));
                                 });
        return t;
    }();
    return info;
}

int32_t UserProperties::count() { return static_cast<int32_t>(m_state->userProperties().size()); }

std::optional<Variant> UserProperties::at(int32_t position) {
    if (position >= count()) return std::nullopt;
    return Variant(makeObject<UserProperty>(m_state, m_state->userProperties()[position].name));
}

std::optional<Variant> UserProperties::named(std::string_view name) {
    if (!findRow(*m_state, name)) raise(RuntimeError::InvalidProcedureCall);
    return Variant(find(name));
}

Object UserProperties::find(std::string_view name) {
    UserPropertyRow* row = findRow(*m_state, name);
    if (!row) return Object();
    return makeObject<UserProperty>(m_state, row->name);
}

Object UserProperties::add(std::string_view name, int32_t type, bool addToFolderFields) {
    if (name.empty()) raise(RuntimeError::InvalidProcedureCall);
    if (UserPropertyRow* existing = findRow(*m_state, name)) {
        existing->addToFolderFields = existing->addToFolderFields || addToFolderFields;
        return makeObject<UserProperty>(m_state, existing->name);
    }
    m_state->userProperties().push_back(
        UserPropertyRow{std::string(name), type, initialValue(type), addToFolderFields});
    return makeObject<UserProperty>(m_state, std::string(name));
}

UserPropertyRow& UserProperty::row() {
    UserPropertyRow* row = findRow(*m_state, m_name);
    if (!row) raise(RuntimeError::ObjectNotSet);
    return *row;
}

const TypeInfo& UserProperty::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("UserProperty");
        t.defaultGetter<UserProperty>("Value", {}, 0, [](UserProperty& p, Args&) { return p.row().value; });
        t.setter<UserProperty>("Value", kDispIdValue, [](UserProperty& p, const Variant& v) {
            UserPropertyRow& row = p.row();
            row.value = converted(row.type, v);
        });
        t.getter<UserProperty>("Name", 0x70, [](UserProperty& p) { return Variant(p.row().name); });
        t.getter<UserProperty>("Type", 0x6d, [](UserProperty& p) { return Variant(p.row().type); });
        return t;
    }();
    return info;
}

}  // namespace lumora::pim
