#include "item_properties.hpp"

#include <vector>

namespace lumora::pim {

namespace {

PropertyDef text(std::string name, DispId id) { return {std::move(name), id, ParamType::String, Variant("")}; }
PropertyDef date(std::string name, DispId id) { return {std::move(name), id, ParamType::Date, Variant(kNoDate)}; }
PropertyDef number(std::string name, DispId id, int32_t initial = 0) {
    return {std::move(name), id, ParamType::I4, Variant(initial)};
}
PropertyDef flag(std::string name, DispId id) { return {std::move(name), id, ParamType::Bool, Variant(false)}; }

// What every item has.
std::vector<PropertyDef> common() {
    return {text("Subject", 0x37),          text("Body", 0x9100),       text("Categories", 0x9001),
            number("Importance", 0x17, 1),  number("Sensitivity", 0x36), text("BillingInformation", 0x8535),
            text("Mileage", 0x8534),        date("CreationTime", 0x3007), date("LastModificationTime", 0x3008),
            text("MessageClass", 0x1a)};
}

std::vector<PropertyDef> with(std::vector<PropertyDef> own) {
    std::vector<PropertyDef> all = common();
    all.insert(all.end(), own.begin(), own.end());
    return all;
}

const PropertyTable kMailProperties{with({
    text("To", 0xe04), text("CC", 0xe03), text("BCC", 0xe02), text("SenderName", 0xc1a),
    text("SenderEmailAddress", 0xc1f), text("HTMLBody", 0xf404), date("SentOn", 0x39), date("ReceivedTime", 0xe06),
    flag("UnRead", 0xf01c), flag("Sent", 0xf402), number("BodyFormat", 0xfa49, 1),
})};

const PropertyTable kAppointmentProperties{with({
    date("Start", 0x820d), date("End", 0x820e), text("Location", 0x8208), flag("AllDayEvent", 0x8215),
    number("BusyStatus", 0x8205, 2), flag("ReminderSet", 0x8503), number("ReminderMinutesBeforeStart", 0x8501, 15),
    text("Organizer", 0x42), text("RequiredAttendees", 0xe04), text("OptionalAttendees", 0xe03),
    flag("IsRecurring", 0x8223), number("MeetingStatus", 0x8217),
})};

const PropertyTable kContactProperties{with({
    text("Title", 0x3a45),
    text("FirstName", 0x3a06),
    text("MiddleName", 0x3a44),
    text("LastName", 0x3a11),
    text("Suffix", 0x3a05),
    text("FullName", 0x3001),
    text("FileAs", 0x8005),
    text("NickName", 0x3a4f),
    text("CompanyName", 0x3a16),
    text("Department", 0x3a18),
    text("JobTitle", 0x3a17),
    text("ManagerName", 0x3a4e),
    text("AssistantName", 0x3a30),
    text("AssistantTelephoneNumber", 0x3a2e),
    text("Email1Address", 0x8083),
    text("Email2Address", 0x8093),
    text("Email3Address", 0x80a3),
    text("Email1DisplayName", 0x8080),
    text("BusinessTelephoneNumber", 0x3a08),
    text("Business2TelephoneNumber", 0x3a1b),
    text("BusinessFaxNumber", 0x3a24),
    text("MobileTelephoneNumber", 0x3a1c),
    text("HomeTelephoneNumber", 0x3a09),
    text("Home2TelephoneNumber", 0x3a2f),
    text("HomeFaxNumber", 0x3a25),
    text("OtherTelephoneNumber", 0x3a1f),
    text("PagerNumber", 0x3a21),
    text("BusinessHomePage", 0x3a51),
    text("PersonalHomePage", 0x3a50),
    text("WebPage", 0x802b),
    text("BusinessAddress", 0x801b),
    text("BusinessAddressStreet", 0x8045),
    text("BusinessAddressCity", 0x8046),
    text("BusinessAddressState", 0x8047),
    text("BusinessAddressPostalCode", 0x8048),
    text("BusinessAddressCountry", 0x8049),
    text("HomeAddress", 0x801a),
    text("HomeAddressStreet", 0x3a5d),
    text("HomeAddressCity", 0x3a59),
    text("HomeAddressState", 0x3a5c),
    text("HomeAddressPostalCode", 0x3a5b),
    text("HomeAddressCountry", 0x3a5a),
    text("OtherAddressStreet", 0x3a63),
    text("OtherAddressCity", 0x3a5f),
    text("OtherAddressState", 0x3a62),
    text("OtherAddressPostalCode", 0x3a61),
    text("OtherAddressCountry", 0x3a60),
    date("Birthday", 0x3a42),
    date("Anniversary", 0x3a41),
    text("Spouse", 0x3a48),
    text("Children", 0x800c),
    text("Hobby", 0x3a43),
    text("ReferredBy", 0x3a47),
    text("Profession", 0x3a46),
    text("Account", 0x3a00),
    text("CustomerID", 0x3a4a),
    text("User1", 0x804f),
    text("User2", 0x8050),
    text("User3", 0x8051),
    text("User4", 0x8052),
})};

const PropertyTable kTaskProperties{with({
    date("StartDate", 0x8104), date("DueDate", 0x8105), date("DateCompleted", 0x810f), flag("Complete", 0x811c),
    number("PercentComplete", 0x8102), number("Status", 0x8101), flag("TeamTask", 0x8103), text("Owner", 0x811f),
    number("TotalWork", 0x8111), number("ActualWork", 0x8110), flag("ReminderSet", 0x8503),
    date("ReminderTime", 0x8502), text("Companies", 0x8539),
})};

const PropertyTable kDistributionListProperties{with({
    text("DLName", 0x8053),
})};

}  // namespace

const PropertyTable& propertiesOf(ItemClass itemClass) {
    switch (itemClass) {
    case ItemClass::Appointment: return kAppointmentProperties;
    case ItemClass::Contact: return kContactProperties;
    case ItemClass::Task: return kTaskProperties;
    case ItemClass::DistributionList: return kDistributionListProperties;
    case ItemClass::Mail: break;
    }
    return kMailProperties;
}

}  // namespace lumora::pim
