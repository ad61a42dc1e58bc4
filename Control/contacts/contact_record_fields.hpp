#pragma once
// How a contact record from the CRM maps onto an Outlook contact: each record field, the contact
// member it is written to, and the rule it is written by, in the order AddUpdateContactXML
// writes them.

#include <span>
#include <string_view>

namespace lumora::control {

enum class RecordRule {
    Value,       // the field's value, unchanged (an absent field writes the empty string)
    ThreeLines,  // the field and the fields named with "2" and "3" after it, joined by CR LF,
                 // empty lines included
};

struct RecordContactField {
    std::string_view field;   // the record field's name
    std::string_view member;  // contact member
    RecordRule rule;
};

std::span<const RecordContactField> recordContactFields();

}  // namespace lumora::control
