#pragma once
// Lookups in a recipient document's fieldlist element: from a record field to its merge header
// and back, and the template's extra tag names for a merge header.

#include <string>

#include "Automation/object.hpp"

namespace lumora::mail {

// The mergeheader of the entry whose fieldname matches in any letter case; the last such entry
// wins, "" when none. A matching entry without mergeheader raises "Invalid use of Null".
std::string GetMergeHeader(const std::string& fieldname, const Object& fieldList);
// The fieldname of the first entry whose mergeheader matches exactly; "" when none. A matching
// entry without fieldname raises "Invalid use of Null".
std::string GetFieldName(const std::string& mergeheader, const Object& fieldList);
// The templatetag / templatetag2 of the first entry whose mergeheader matches exactly; "" when
// none or when that entry has no such attribute.
std::string GetTemplateTag(const std::string& mergeheader, const Object& fieldList);
std::string GetTemplateTag2(const std::string& mergeheader, const Object& fieldList);
// The text of the record's first child element named exactly name; "" when none.
std::string GetNodeText(const Object& record, const std::string& name);

}  // namespace lumora::mail
