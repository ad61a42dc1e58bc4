#pragma once
// The contact folder that SetContactFolder chooses, as the members writing into it see it.

#include <string_view>

#include "Control/frame/control.hpp"
#include "Platform/Outlook/item_kinds.hpp"

namespace lumora::control {

inline constexpr int32_t kContactItemClass = static_cast<int32_t>(pim::ItemClass::Contact);

// The user properties every permanent CRM contact carries: its CRM id, and the mark that it is
// synchronised (holding "true").
inline constexpr std::string_view kLumoraIdProperty = "LUMORAID";
inline constexpr std::string_view kSynchronisedProperty = "Lumora";

// True, after telling the person the member's own message, when SetContactFolder has not
// chosen a contact folder on this control (or CleanUpOutlook has released it since).
bool contactFolderMissing(const ControlState& state, std::string_view message);

// Appends a line to a multi-line field: its current value, CR LF, then the line.
void appendLine(const Object& item, std::string_view member, const std::string& line);

// Adds a text user property to the item (or finds the one it has) and sets its value.
void addTextUserProperty(const Object& item, std::string_view name, const Variant& value);
// The user properties of a permanent CRM contact: its CRM id and the synchronised mark.
void addCrmIdProperties(const Object& item, const Variant& crmId);

}  // namespace lumora::control
