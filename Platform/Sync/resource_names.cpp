#include "resource_names.hpp"

#include "Platform/Outlook/pim_store.hpp"

namespace lumora::sync {

namespace {

bool isSafe(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.';
}

}  // namespace

std::string newResourceUrl(const std::string& collectionUrl, const std::string& uid, pim::ItemClass itemClass) {
    std::string name;
    for (char c : uid) name += isSafe(c) ? c : '-';
    // A name of dots alone would step out of the collection.
    if (name.empty() || name.size() > kMaxResourceNameLength || name.find_first_not_of('.') == std::string::npos)
        name = pim::newHexId(16);
    std::string url = collectionUrl;
    if (url.empty() || url.back() != '/') url += '/';
    return url + name + (itemClass == pim::ItemClass::Contact ? ".vcf" : ".ics");
}

}  // namespace lumora::sync
