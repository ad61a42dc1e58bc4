#pragma once
// The CRM's marks on Outlook items, kept as text user properties, and the tests that read them
// back: an appointment is synchronised when it carries the "Lumora" mark; a task or a contact
// only when it also carries its CRM id, long enough to be one the CRM made or confirmed by the mark.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Automation/object.hpp"

namespace lumora::control {

// The type UserProperties.Add gives a property that holds text.
inline constexpr int32_t kTextProperty = 1;

// The marks' property names.
namespace mark {
inline constexpr std::string_view Lumora = "Lumora";      // "true" on every synchronised item
inline constexpr std::string_view Guid = "guid";          // an appointment's CRM item id
inline constexpr std::string_view AccountId = "ACID";     // an appointment's CRM account id
inline constexpr std::string_view TaskId = "USTID";       // a task's CRM id, in braces
inline constexpr std::string_view ContactId = "LUMORAID"; // a contact's CRM id
}  // namespace mark

// The item's user property of that name, added as a text property when it has none.
Object findOrAddTextProperty(const Object& item, std::string_view name);

// The value of the item's user property as text; nullopt when the item has no such property.
std::optional<std::string> markValue(const Object& item, std::string_view name);

// An appointment's test: its "Lumora" mark is exactly "true".
bool carriesLumoraMark(const Object& item);

// A task's or a contact's test, with the property that holds its CRM id: without that id it is
// not synchronised; with an id of 36 characters or more (a GUID the CRM gave it) it is; with a
// shorter id only when its "Lumora" mark is "true" in any letter case.
bool isSynchronised(const Object& item, std::string_view crmIdProperty);

}  // namespace lumora::control
