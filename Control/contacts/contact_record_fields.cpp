#include "contact_record_fields.hpp"

namespace lumora::control {

namespace {

using enum RecordRule;

// The company travels as ACCOUNT_NAME and the web page as BUSINESSHOMEPAGE, which is written
// twice; a record has no sensitivity, suffix, personal home page, dates or notes.
constexpr RecordContactField kRecordContactFields[] = {
    {"ACCOUNT_NAME", "CompanyName", Value},
    {"TITLE", "title", Value},
    {"FIRSTNAME", "FirstName", Value},
    {"MIDDLENAME", "MiddleName", Value},
    {"LASTNAME", "LastName", Value},
    {"JOBTITLE", "JobTitle", Value},
    {"DEPARTMENT", "Department", Value},
    {"BUSINESSADDRESSSTREET", "businessaddressstreet", ThreeLines},
    {"BUSINESSADDRESSCITY", "businessaddresscity", Value},
    {"BUSINESSADDRESSSTATE", "businessaddressstate", Value},
    {"BUSINESSADDRESSPOSTALCODE", "businessaddresspostalcode", Value},
    {"BUSINESSADDRESSCOUNTRY", "businessaddresscountry", Value},
    {"BUSINESSTELEPHONENUMBER", "BusinessTelephoneNumber", Value},
    {"BUSINESSFAXNUMBER", "BusinessFaxNumber", Value},
    {"BUSINESSHOMEPAGE", "BusinessHomePage", Value},
    {"HOMEADDRESSSTREET", "HomeAddressStreet", ThreeLines},
    {"HOMEADDRESSCITY", "HomeAddressCity", Value},
    {"HOMEADDRESSSTATE", "HomeAddressState", Value},
    {"HOMEADDRESSPOSTALCODE", "HomeAddressPostalCode", Value},
    {"HOMEADDRESSCOUNTRY", "HomeAddressCountry", Value},
    {"HOMETELEPHONENUMBER", "HomeTelephoneNumber", Value},
    {"HOMEFAXNUMBER", "HomeFaxNumber", Value},
    {"EMAIL1ADDRESS", "Email1Address", Value},
    {"EMAIL2ADDRESS", "Email2Address", Value},
    {"EMAIL3ADDRESS", "Email3Address", Value},
    {"MOBILETELEPHONENUMBER", "MobileTelephoneNumber", Value},
    {"HOBBY", "Hobby", Value},
    {"NICKNAME", "NickName", Value},
    {"SPOUSE", "Spouse", Value},
    {"MANAGERNAME", "ManagerName", Value},
    {"REFERREDBY", "ReferredBy", Value},
    {"ASSISTANTNAME", "AssistantName", Value},
    {"ASSISTANTTELEPHONENUMBER", "AssistantTelephoneNumber", Value},
    {"BUSINESSHOMEPAGE", "WebPage", Value},
};

}  // namespace

std::span<const RecordContactField> recordContactFields() { return kRecordContactFields; }

}  // namespace lumora::control
