#include "form_contact_fields.hpp"

#include <optional>
#include <utility>

#include "Control/frame/control_messages.hpp"
#include "contact_folder.hpp"

namespace lumora::control {

namespace {

using enum FormRule;

// Most element ids are the members' names in upper case; AC_NAME, ACC_ID and DETAILS are not.
constexpr FormContactField kFormContactFields[] = {
    {"TITLE", "title", Always},
    {"FIRSTNAME", "FirstName", Always},
    {"LASTNAME", "LastName", Always},
    {"JOBTITLE", "JobTitle", Always},
    {"DEPARTMENT", "Department", Always},
    {"AC_NAME", "CompanyName", Always},
    {"BUSINESSADDRESSSTREET", "businessaddressstreet", IfNotEmpty},
    {"BUSINESSADDRESSSTREET2", "businessaddressstreet", AppendLine},
    {"BUSINESSADDRESSSTREET3", "businessaddressstreet", AppendLine},
    {"BUSINESSADDRESSCITY", "businessaddresscity", Always},
    {"BUSINESSADDRESSSTATE", "businessaddressstate", Always},
    {"BUSINESSADDRESSPOSTALCODE", "businessaddresspostalcode", Always},
    {"BUSINESSADDRESSCOUNTRY", "businessaddresscountry", Always},
    {"EMAIL1ADDRESS", "Email1Address", Always},
    {"EMAIL2ADDRESS", "Email2Address", Always},
    {"EMAIL3ADDRESS", "Email3Address", Always},
    {"BUSINESSTELEPHONENUMBER", "BusinessTelephoneNumber", Always},
    {"BUSINESSFAXNUMBER", "BusinessFaxNumber", Always},
    {"MOBILETELEPHONENUMBER", "MobileTelephoneNumber", Always},
    {"WEBPAGE", "WebPage", Always},
    {"MANAGERNAME", "ManagerName", Always},
    {"REFERREDBY", "ReferredBy", Always},
    {"ASSISTANTNAME", "AssistantName", Always},
    {"ASSISTANTTELEPHONENUMBER", "AssistantTelephoneNumber", Always},
    {"HOMEADDRESSSTREET", "HomeAddressStreet", IfNotEmpty},
    {"HOMEADDRESSSTREET2", "HomeAddressStreet", AppendLine},
    {"HOMEADDRESSSTREET3", "HomeAddressStreet", AppendLine},
    {"HOMEADDRESSCITY", "HomeAddressCity", Always},
    {"HOMEADDRESSSTATE", "HomeAddressState", Always},
    {"HOMEADDRESSPOSTALCODE", "HomeAddressPostalCode", Always},
    {"HOMEADDRESSCOUNTRY", "HomeAddressCountry", Always},
    {"SENSITIVITY", "Sensitivity", Sensitivity},
    {"SUFFIX", "Suffix", Always},
    {"HOMETELEPHONENUMBER", "HomeTelephoneNumber", Always},
    {"HOMEFAXNUMBER", "HomeFaxNumber", Always},
    {"PERSONALHOMEPAGE", "PersonalHomePage", Always},
    {"BIRTHDAY", "Birthday", IfNotEmpty},
    {"HOBBY", "Hobby", Always},
    {"NICKNAME", "NickName", Always},
    {"SPOUSE", "Spouse", Always},
    {"MIDDLENAME", "MiddleName", Always},
    {"ANNIVERSARY", "Anniversary", IfNotEmpty},
    {msg::LumoraMark, "User1", Constant},
    {msg::PermanentContact, "User2", Constant},
    {"ACC_ID", "User3", Always},
    {"ACC_ID", "LUMORAID", UserProperty},
    {msg::LumoraMarkTrue, "Lumora", ConstantUserProperty},
    {"DETAILS", "body", Always},
};

// The details end where the CRM's marks begin.
constexpr size_t kFormContactDetails = 42;
static_assert(kFormContactFields[kFormContactDetails - 1].source == "ANNIVERSARY");
static_assert(kFormContactFields[kFormContactDetails].rule == Constant);

// Sensitivity by its name, compared in this order; any other value leaves it unwritten.
std::optional<int32_t> sensitivityNumber(const std::string& name) {
    static constexpr std::pair<std::string_view, int32_t> kSensitivities[] = {
        {"Confidential", 3}, {"Normal", 0}, {"Personal", 1}, {"Private", 2}};
    for (const auto& [text, number] : kSensitivities)
        if (name == text) return number;
    return std::nullopt;
}

Variant elementValue(const Object& document, std::string_view id) {
    return document.call("getElementById", id).toObject().get("Value");
}

}  // namespace

std::span<const FormContactField> formContactFields() { return kFormContactFields; }

std::span<const FormContactField> formContactDetails() {
    return std::span<const FormContactField>(kFormContactFields).first(kFormContactDetails);
}

void writeFormContactField(const Object& document, const Object& contact, const FormContactField& field) {
    switch (field.rule) {
    case Constant: contact.put(field.member, Variant(field.source)); return;
    case ConstantUserProperty: addTextUserProperty(contact, field.member, Variant(field.source)); return;
    default: break;
    }
    const Variant value = elementValue(document, field.source);
    switch (field.rule) {
    case Always: contact.put(field.member, value); break;
    case IfNotEmpty:
        if (!value.toString().empty()) contact.put(field.member, value);
        break;
    case AppendLine:
        if (!value.toString().empty()) appendLine(contact, field.member, value.toString());
        break;
    case Sensitivity:
        if (auto number = sensitivityNumber(value.toString())) contact.put(field.member, Variant(*number));
        break;
    case UserProperty: addTextUserProperty(contact, field.member, value); break;
    default: break;
    }
}

}  // namespace lumora::control
