#pragma once
// The recipient lists of a campaign, read from the recipient XML: every non-empty field of the
// medium's name in every record, each followed by ";", in document order.

#include <string>
#include <string_view>

#include "Automation/variant.hpp"

namespace lumora::mail {

inline constexpr std::string_view kEmailField = "Email1Address";
inline constexpr std::string_view kFaxField = "BusinessFaxNumberFormatted";

// Raises the document's own error, or "object not set" for a document without MAIL_CAMPAIGN.
std::string recipientList(const Variant& recipients, std::string_view fieldName);

}  // namespace lumora::mail
