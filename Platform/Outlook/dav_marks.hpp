#pragma once
// The CRM's marks on an item as they travel to a calendar or address-book server: each as an
// X- property of the event, task or card, so that the CRM finds its items again after they
// come back from the server, or from another device that synchronises with it. The user
// properties ACID, Lumora, guid, USTID and LUMORAID travel as X-LUMORA-PROP-<NAME>, the fields
// User1 to User3 as X-LUMORA-USER1 to X-LUMORA-USER3. Another user property stays local.

#include <string>
#include <string_view>
#include <vector>

#include "pim_store.hpp"

namespace lumora::pim {

inline constexpr std::string_view kMarkPrefix = "X-LUMORA-";

struct Mark {
    std::string propertyName;  // the X- property, in upper case
    std::string value;
};

// The marks the item carries, in a fixed order: the fields that hold text, then the user
// properties it has (a user property with an empty value too: the CRM reads its presence).
std::vector<Mark> marksOf(const ItemRecord& item);

// The mark fields the class has (User1 to User3 of a contact).
std::vector<std::string_view> markFieldsOf(ItemClass itemClass);

// Whether the property (any case) is one of the marks' names, which the PIM writes in full.
bool isMarkProperty(std::string_view propertyName);

// Whether the user property (any case) is one of the marks, which a server's copy brings along.
bool isMarkUserProperty(std::string_view name);

// Sets the mark the property names on the item: a field its class has, or a text user property
// under the CRM's spelling. Another property, or a field the class lacks, is ignored.
void applyMark(ItemRecord& item, std::string_view propertyName, std::string value);

}  // namespace lumora::pim
