#include "recipient_lists.hpp"

#include "Automation/cancellation.hpp"
#include "Automation/object.hpp"

namespace lumora::mail {

std::string recipientList(const Variant& recipients, std::string_view fieldName) {
    const Object campaign = recipients.toObject().getObject("selectSingleNode", "MAIL_CAMPAIGN");
    // Element names are compared whole and with their case, as written (prefix included); the
    // record's own name does not matter, only that it is not the letter's field list. One
    // selection in document order finds the same fields as a walk over the records would.
    const std::string path = "*[name()!='fieldlist']/*[name()='" + std::string(fieldName) + "']";
    const Object fields = campaign.getObject("selectNodes", path);
    const int32_t count = fields.get("length").toI4();
    std::string list;
    for (int32_t i = 0; i < count; ++i) {
        checkCancelled();
        const std::string value = fields.getObject("item", i).get("text").toString();
        if (value.empty()) continue;
        list += value;
        list += ';';
    }
    return list;
}

}  // namespace lumora::mail
