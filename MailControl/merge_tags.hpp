#pragma once
// The letter fields of a campaign: one MergeTag per entry of the recipient document's fieldlist,
// naming the record field, the column it fills in the merge data and the template's extra tags.

#include <string>
#include <vector>

#include "Automation/object.hpp"

namespace lumora::mail {

struct MergeTag {
    std::string fieldname;
    std::string mergeheader;
    std::string templatetag;   // "" when the entry has none
    std::string templatetag2;  // "" when the entry has none
};

// The entries of MAIL_CAMPAIGN/fieldlist in document order. An entry without fieldname or
// mergeheader raises "Invalid use of Null"; a document without fieldlist raises "object not set".
std::vector<MergeTag> BuildTagList(const Object& recipients);

// The value of an attribute the entry must have: Null (absent) raises "Invalid use of Null".
std::string requiredAttribute(const Object& element, std::string_view name);
// The value of an attribute the entry may leave out: "" when absent.
std::string optionalAttribute(const Object& element, std::string_view name);

// Calls each(child) for every element child of node, in document order.
template <class Each>
void forEachElement(const Object& node, Each&& each) {
    constexpr int32_t kElementNode = 1;
    const Object children = node.getObject("childNodes");
    const int32_t count = children.get("length").toI4();
    for (int32_t i = 0; i < count; ++i) {
        Object child = children.getObject("item", i);
        if (child.get("nodeType").toI4() == kElementNode) each(child);
    }
}

}  // namespace lumora::mail
