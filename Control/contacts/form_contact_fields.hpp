#pragma once
// How a contact form on a CRM page maps onto an Outlook contact: each form element (found by its
// id) or constant, the contact member it is written to, and the rule it is written by, in the
// order AddContactAll writes them.

#include <cstddef>
#include <span>
#include <string_view>

#include "Automation/object.hpp"

namespace lumora::control {

enum class FormRule {
    Always,         // the element's value, unchanged
    IfNotEmpty,     // only when the element's value is not empty
    AppendLine,     // only when not empty: the member's value, CR LF, the element's value
    Sensitivity,    // the value's name mapped to Outlook's sensitivity number; others unwritten
    Constant,       // the text in place of an element id, written to the member
    UserProperty,   // the element's value into the text user property of that name
    ConstantUserProperty,  // the constant text into the text user property of that name
};

struct FormContactField {
    std::string_view source;  // element id, or the constant text
    std::string_view member;  // contact member, or user property name
    FormRule rule;
};

std::span<const FormContactField> formContactFields();

// The contact's own details: the form's fields before the CRM's marks (TITLE to ANNIVERSARY).
// A contact the page only sends on, and never keeps, is written from these alone.
std::span<const FormContactField> formContactDetails();

// Writes one field of the page's form (its HTML document) into the contact, by the field's rule.
// Errors: a missing element, or a value the contact refuses.
void writeFormContactField(const Object& document, const Object& contact, const FormContactField& field);

}  // namespace lumora::control
