#include "field_list_lookups.hpp"

#include <optional>

#include "Automation/vb/strings.hpp"
#include "merge_tags.hpp"

namespace lumora::mail {

namespace {

// The first entry whose mergeheader is exactly mergeheader.
std::optional<Object> entryFor(const std::string& mergeheader, const Object& fieldList) {
    std::optional<Object> found;
    forEachElement(fieldList, [&](const Object& entry) {
        if (found) return;
        const Variant header = entry.call("getAttribute", "mergeheader");
        if (!header.isNull() && header.toString() == mergeheader) found = entry;
    });
    return found;
}

}  // namespace

std::string GetMergeHeader(const std::string& fieldname, const Object& fieldList) {
    const std::string wanted = vb::uCase(fieldname);
    std::string header;
    forEachElement(fieldList, [&](const Object& entry) {
        const Variant name = entry.call("getAttribute", "fieldname");
        if (!name.isNull() && vb::uCase(name.toString()) == wanted) header = requiredAttribute(entry, "mergeheader");
    });
    return header;
}

std::string GetFieldName(const std::string& mergeheader, const Object& fieldList) {
    auto entry = entryFor(mergeheader, fieldList);
    return entry ? requiredAttribute(*entry, "fieldname") : std::string();
}

std::string GetTemplateTag(const std::string& mergeheader, const Object& fieldList) {
    auto entry = entryFor(mergeheader, fieldList);
    return entry ? optionalAttribute(*entry, "templatetag") : std::string();
}

std::string GetTemplateTag2(const std::string& mergeheader, const Object& fieldList) {
    auto entry = entryFor(mergeheader, fieldList);
    return entry ? optionalAttribute(*entry, "templatetag2") : std::string();
}

std::string GetNodeText(const Object& record, const std::string& name) {
    std::optional<std::string> text;
    forEachElement(record, [&](const Object& child) {
        if (!text && child.get("nodeName").toString() == name) text = child.get("text").toString();
    });
    return text.value_or(std::string());
}

}  // namespace lumora::mail
