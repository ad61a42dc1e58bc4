#include "form_contact_fields.hpp"

#include "Control/frame/control_messages.hpp"

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

}  // namespace

std::span<const FormContactField> formContactFields() { return kFormContactFields; }

}  // namespace lumora::control
