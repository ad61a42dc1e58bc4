#include "merge_tags.hpp"

namespace lumora::mail {

std::string requiredAttribute(const Object& element, std::string_view name) {
    return element.call("getAttribute", std::string(name)).toString();
}

std::string optionalAttribute(const Object& element, std::string_view name) {
    const Variant value = element.call("getAttribute", std::string(name));
    return value.isNull() ? std::string() : value.toString();
}

std::vector<MergeTag> BuildTagList(const Object& recipients) {
    const Object fieldList = recipients.getObject("selectSingleNode", "MAIL_CAMPAIGN/fieldlist");
    std::vector<MergeTag> tags;
    forEachElement(fieldList, [&](const Object& entry) {
        tags.push_back({requiredAttribute(entry, "fieldname"), requiredAttribute(entry, "mergeheader"),
                        optionalAttribute(entry, "templatetag"), optionalAttribute(entry, "templatetag2")});
    });
    return tags;
}

}  // namespace lumora::mail
