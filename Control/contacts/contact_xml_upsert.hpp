#pragma once
// The private routines AddUpdateContactXML builds on: reading one field of a contact record, and
// finding the Outlook contact that already stands for a CRM contact.

#include <cstdint>
#include <string>
#include <string_view>

#include "Control/frame/control.hpp"

namespace lumora::control {

// The value of the record's first `field` with that name; "" when it has none. A field that
// cannot be read (one without a value) is told in an OK-only message box and reads as "".
std::string GetXMLFieldValue(const Object& record, std::string_view name);

// What CheckOutLookContactExists found: Failed after telling the person why, None, or Found with
// the contact in ContactItem, standing at `position` in the contact folder.
struct ContactLookup {
    enum class Result : int16_t { Failed = -1, None = 0, Found = 1 };
    Result result = Result::None;
    int32_t position = 0;
};

// Looks the CRM contact up in the contact temporary index, building it first when SetContactFolder
// has chosen the folder since. A contact matches by its CRM id or, while `emailNameMatching`
// holds, by first name, last name and one of its e-mails; `emailNameMatching` is cleared when
// any of the three is empty.
ContactLookup CheckOutLookContactExists(ControlState& state, const std::string& id, const std::string& firstName,
                                        const std::string& lastName, const std::string& email,
                                        bool& emailNameMatching);

}  // namespace lumora::control
