#include "crm_marks.hpp"

#include "Automation/vb/strings.hpp"
#include "Control/frame/control_messages.hpp"

namespace lumora::control {

namespace {

// The CRM makes its ids as GUIDs: 36 characters, 38 with braces. A shorter id was typed or
// imported and needs the mark to count.
constexpr int32_t kCrmGuidLength = 36;

}  // namespace

Object findOrAddTextProperty(const Object& item, std::string_view name) {
    const Object properties = item.getObject("UserProperties");
    Object property = properties.call("Find", name).toObject();
    if (property.isNothing()) property = properties.call("Add", name, kTextProperty).toObject();
    return property;
}

std::optional<std::string> markValue(const Object& item, std::string_view name) {
    const Object property = item.getObject("UserProperties").call("Find", name).toObject();
    if (property.isNothing()) return std::nullopt;
    return property.value().toString();
}

bool carriesLumoraMark(const Object& item) { return markValue(item, mark::Lumora) == msg::LumoraMarkTrue; }

bool isSynchronised(const Object& item, std::string_view crmIdProperty) {
    bool synchronised = false;
    if (std::optional<std::string> lumora = markValue(item, mark::Lumora))
        synchronised = vb::lCase(*lumora) == msg::LumoraMarkTrue;
    const std::optional<std::string> crmId = markValue(item, crmIdProperty);
    if (!crmId) return false;
    if (vb::len(*crmId) >= kCrmGuidLength) synchronised = true;
    return synchronised;
}

}  // namespace lumora::control
