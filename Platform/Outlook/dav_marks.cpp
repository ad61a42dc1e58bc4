#include "dav_marks.hpp"

#include <algorithm>

#include "Automation/vb/strings.hpp"
#include "Automation/vb/text.hpp"
#include "item_properties.hpp"

namespace lumora::pim {

namespace {

enum class MarkKind { Field, UserProperty };

struct MarkName {
    std::string_view propertyName;
    MarkKind kind;
    std::string_view crmName;  // the field, or the user property as the CRM spells it
};

// In the order marksOf writes them.
constexpr MarkName kMarks[] = {
    {"X-LUMORA-USER1", MarkKind::Field, "User1"},
    {"X-LUMORA-USER2", MarkKind::Field, "User2"},
    {"X-LUMORA-USER3", MarkKind::Field, "User3"},
    {"X-LUMORA-PROP-ACID", MarkKind::UserProperty, "ACID"},
    {"X-LUMORA-PROP-LUMORA", MarkKind::UserProperty, "Lumora"},
    {"X-LUMORA-PROP-GUID", MarkKind::UserProperty, "guid"},
    {"X-LUMORA-PROP-USTID", MarkKind::UserProperty, "USTID"},
    {"X-LUMORA-PROP-LUMORAID", MarkKind::UserProperty, "LUMORAID"},
};

constexpr int32_t kTextPropertyType = 1;

bool classHasField(ItemClass itemClass, std::string_view field) {
    const auto& properties = propertiesOf(itemClass).properties();
    return std::any_of(properties.begin(), properties.end(), [&](const PropertyDef& p) { return p.name == field; });
}

// User property names are found without regard to case, as UserProperties.Find finds them.
template <class Rows>
auto userPropertyNamed(Rows& rows, std::string_view name) {
    return std::find_if(rows.begin(), rows.end(), [&](const UserPropertyRow& row) { return vb::equalsNoCase(row.name, name); });
}

}  // namespace

std::vector<Mark> marksOf(const ItemRecord& item) {
    std::vector<Mark> marks;
    const auto& rows = item.userProperties;
    for (const MarkName& mark : kMarks) {
        if (mark.kind == MarkKind::Field) {
            auto value = item.values.find(std::string(mark.crmName));
            if (value != item.values.end() && !value->second.toString().empty())
                marks.push_back({std::string(mark.propertyName), value->second.toString()});
        } else if (auto row = userPropertyNamed(rows, mark.crmName); row != rows.end()) {
            marks.push_back({std::string(mark.propertyName), row->value.toString()});
        }
    }
    return marks;
}

std::vector<std::string_view> markFieldsOf(ItemClass itemClass) {
    std::vector<std::string_view> fields;
    for (const MarkName& mark : kMarks)
        if (mark.kind == MarkKind::Field && classHasField(itemClass, mark.crmName)) fields.push_back(mark.crmName);
    return fields;
}

bool isMarkProperty(std::string_view propertyName) {
    return vb::asciiEqualsNoCase(propertyName.substr(0, kMarkPrefix.size()), kMarkPrefix);
}

bool isMarkUserProperty(std::string_view name) {
    return std::any_of(std::begin(kMarks), std::end(kMarks), [&](const MarkName& mark) {
        return mark.kind == MarkKind::UserProperty && vb::equalsNoCase(mark.crmName, name);
    });
}

void applyMark(ItemRecord& item, std::string_view propertyName, std::string value) {
    for (const MarkName& mark : kMarks) {
        if (!vb::asciiEqualsNoCase(propertyName, mark.propertyName)) continue;
        if (mark.kind == MarkKind::Field) {
            if (classHasField(item.itemClass, mark.crmName)) item.values[std::string(mark.crmName)] = Variant(std::move(value));
            return;
        }
        auto row = userPropertyNamed(item.userProperties, mark.crmName);
        if (row == item.userProperties.end()) {
            item.userProperties.emplace_back().name = mark.crmName;
            row = std::prev(item.userProperties.end());
        }
        row->type = kTextPropertyType;
        row->value = Variant(std::move(value));
        return;
    }
}

}  // namespace lumora::pim
