#pragma once
// The direct letter merge's building blocks: the column list and header record taken from the
// model record, the data-source document filled with one table row per recipient, and the
// template's tags turned into merge fields.

#include <string>
#include <vector>

#include "Automation/object.hpp"
#include "mail_control.hpp"

namespace lumora::mail {

// The header record of the model record's fields (the first child of MAIL_CAMPAIGN), joined by
// ","; columns receives their element names and one empty entry after them.
std::string BuildFieldList(const Object& recipients, const Object& fieldList, std::vector<std::string>& columns);

// Fills the first table of the data-source document at state.DataSourcePath: the header row
// stays, each recipient gets a row of its values by column; saved and closed.
void BuildMergeDoc(const MailState& state, const Object& recipients, const std::vector<std::string>& columns,
                   const Object& wordApp);

// The data-source document's path in the temporary folder; raises its own error on failure.
void SetTempFile(MailState& state);

// Replaces every "<tag>" of the data field's fieldname, templatetag and templatetag2 in the
// document by a merge field of the data field's name.
void ReplaceFieldTags(MailState& state, const std::string& dataField, const Object& fieldList,
                      const Object& wordApp, const Object& document);

}  // namespace lumora::mail
