// Appointments through the control on a real store: the new appointment's link and marks, the
// loopback retry and an absent Outlook, linking the selected item, and opening by entry id in the
// own calendar, in a calendar another user shares, and through every store error.

#include <gtest/gtest.h>

#include <fstream>

#include "Automation/vb/strings.hpp"

#include "tests/Control/support/outlook_fixture.hpp"

namespace lumora {
namespace {

constexpr int32_t kCalendar = 9;
const std::string kNot = "\xC2\xAC";  // the account information's separator

class AppointmentsTest : public testing::OutlookControlTest {
protected:
    Variant newAppointment(const std::string& info, std::optional<bool> secure = std::nullopt) {
        if (secure) return control.call("NewAppointment", info, "crm.example:8080", "lumora", *secure);
        return control.call("NewAppointment", info, "crm.example:8080", "lumora");
    }
    std::string savedAppointment(const Object& folder, const std::string& subject) {
        Object appointment = folder.getObject("Items").getObject("Add");
        appointment.put("Subject", subject);
        appointment.call("Save");
        return appointment.get("EntryID").toString();
    }
    Variant openAppointment(const std::string& reference) { return control.call("OpenAppointment", reference); }
};

TEST_F(AppointmentsTest, NewAppointmentIsShownUnsavedWithItsCrmLinkAndMarks) {
    EXPECT_EQ(newAppointment("ac_id=A-1" + kNot + "SUBJECT=Visit" + kNot + "Location=Hall 2" + kNot + "guid=G-9" +
                             kNot + "colour=red"),
              Variant(""));
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0].kind, "appointment");
    EXPECT_EQ(shown()[0].title, "Visit");
    const std::string& fields = shown()[0].detail;
    EXPECT_NE(fields.find("Body: http://crm.example:8080/lumora/Lumora.ASPX?Page=Account&ItemID=A-1\n"),
              std::string::npos);
    EXPECT_NE(fields.find("Location: Hall 2\n"), std::string::npos);
    EXPECT_NE(fields.find("ACID: A-1\nLumora: true\nguid: G-9\n"), std::string::npos);
    EXPECT_EQ(defaultFolder(kCalendar).getObject("Items").count(), 0);  // the person saves it
}

TEST_F(AppointmentsTest, AccountInfoForms) {
    // A lone part is the account id; a value keeps only the text between the first two "=";
    // a guid part without a value leaves the property empty; secure mode gives https.
    EXPECT_EQ(newAppointment("4711" + kNot + "subject=a=b=c" + kNot + "guid=", true), Variant(""));
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0].title, "a");
    EXPECT_NE(shown()[0].detail.find("Body: https://crm.example:8080/lumora/Lumora.ASPX?Page=Account&ItemID=4711\n"),
              std::string::npos);
    EXPECT_NE(shown()[0].detail.find("ACID: 4711\nLumora: true\nguid: \n"), std::string::npos);
    EXPECT_EQ(shown()[0].detail.find("Location:"), std::string::npos);
}

TEST_F(AppointmentsTest, NewAppointmentRetriesOnLoopbackAndTellsAbsentOrFailingOutlook) {
    RegistryFaults faults;
    faults.failFirst = {"Outlook.Application"};
    setFaults(faults);
    EXPECT_EQ(newAppointment("1"), Variant(""));
    EXPECT_EQ(shown().size(), 1u);

    setFaults(testing::machineWithoutOutsideApplications());
    EXPECT_EQ(newAppointment("1"), Variant("NoOutlook"));

    // A store that cannot be read fails after Outlook was reached.
    install("Outlook.Application");
    Registry::instance().forgetRunningInstances();
    std::ofstream(dataFolder() / "pim.sqlite", std::ios::binary) << std::string(4096, 'Z');
    EXPECT_EQ(newAppointment("1"), Variant("7"));
    EXPECT_EQ(shown().size(), 1u);
}

TEST_F(AppointmentsTest, AddAppointmentMarksTheOneSelectedItemAndSavesIt) {
    Object calendar = defaultFolder(kCalendar);
    const std::string first = savedAppointment(calendar, "First");
    const std::string second = savedAppointment(calendar, "Second");

    admin().call("Select");
    EXPECT_EQ(control.call("AddAppointment", "AC-5"), Variant(""));
    expectLastBox("Please select an item to add", "Select an item", 64);

    admin().call("Select", first, second);
    EXPECT_EQ(control.call("AddAppointment", "AC-5"), Variant(""));
    expectLastBox("You cannot add more than 1 item at a time. Please select 1 item only and try again.", "Lumora");
    EXPECT_EQ(userProperty(item(first), "ACID"), "<none>");

    admin().call("Select", second);
    EXPECT_EQ(control.call("AddAppointment", "AC-5"), Variant("success"));
    expectLastBox("Appointment was synchronised with Lumora. Please wait until next mail scan.", "Lumora");
    Object marked = item(second);
    EXPECT_EQ(userProperty(marked, "ACID"), "AC-5");
    EXPECT_EQ(userProperty(marked, "Lumora"), "true");
    const std::string guid = userProperty(marked, "guid");
    ASSERT_EQ(guid.size(), 36u);
    EXPECT_EQ(guid[8], '-');
    EXPECT_EQ(userProperty(item(first), "ACID"), "<none>");
}

TEST_F(AppointmentsTest, AddAppointmentFailuresNameTheirStep) {
    RegistryFaults faults;
    faults.notRunning = {"Outlook.Application"};
    setFaults(faults);
    EXPECT_EQ(control.call("AddAppointment", "AC-5"),
              Variant("An error occured whilst getting Outlook Application: ActiveX component can't create object"));

    setFaults({});
    const std::string id = savedAppointment(defaultFolder(kCalendar), "Review");
    admin().call("Select", id);
    EXPECT_EQ(control.call("AddAppointment", Variant::null()),
              Variant("An error occured whilst setting ACID parameter: Invalid use of Null"));
    EXPECT_EQ(userProperty(item(id), "ACID"), "<none>");  // nothing saved
}

TEST_F(AppointmentsTest, OpenAppointmentInTheOwnCalendar) {
    const std::string id = savedAppointment(defaultFolder(kCalendar), "Review");
    EXPECT_EQ(openAppointment(id), Variant(""));
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0].title, "Review");
    EXPECT_EQ(openAppointment("00FF00FF"),
              Variant("The appointment cannot be found, it may have been deleted or it may not belong to you"));

    setFaults(testing::machineWithoutOutsideApplications());
    EXPECT_EQ(openAppointment(id), Variant("NoOutlook"));
}

TEST_F(AppointmentsTest, EveryStoreErrorOfGetItemFromIdHasItsMessage) {
    const std::string id = savedAppointment(defaultFolder(kCalendar), "Review");
    const std::vector<std::pair<uint32_t, std::string>> rows = {
        {0x80040124, "The account being used to connect to the mail server has been disabled. Contact your Exchange "
                     "Server Administrator"},
        {0x8004010B, "Another operation is in progress; it should be allowed to complete, or it should be stopped, "
                     "before this operation should be initiated"},
        {0x80004005, "It is probable that the sending limit property has been set on the mailbox and there are "
                     "enough messages in the mailbox to meet the limit criteria."},
        {0x80040116, "There was a problem writing to or reading from disk."},
        {0x8004011D, "You may have insufficient permissions to the mailbox that you are logged onto."},
        {0x80040123, "The request cannot be processed because of access permissions on the mail server."},
        {0x80040111, "The workstation account being used to connect to the mail server is not valid"},
        {0x80040115, "There was a network failure while trying to complete the current operation"},
        {0x80040102, "One or more elements of the Windows Messaging Subsystem installed on the computer are out of "
                     "date"},
        {0x8004010D, "Hard disk may be out of space"},
        {0x8007000E, "Not enough memory was available to complete the operation"},
        {0x8004010E, "Not enough system resources were available to complete the operation"},
        {0x8004010F, "The appointment cannot be found, it may have been deleted or it may not belong to you"},
        {0x80040502, "The transport provider cannot handle this message. The MAPI spooler should try to find another "
                     "transport provider for it. Please check your Outlook delivery methods"},
        {0x80040120, "The Mail server has responded that your logon password must be changed"},
        {0x80040121, "The Mail server has responded that your password has expired"},
        {0x80040114, "An asynchronous operation is in progress and cannot be stopped or it has already completed"},
        {0x8004011C, "Your MAPI Logon has not been configured properly"},
        {0x80040106, "CDO 1.21 does not ship with Outlook 97 or the Exchange clients. It must be obtained and "
                     "installed separately."},
        {0x80040110, "The version of OLE installed on the workstation is not compatible with this version of MAPI."},
        {0x80040107, "An invalid entry id was supplied for this appointment."},
        {0x80040600, "An unknown error (-2147219968) occurred attempting to open this appointment. The operation "
                     "failed"},
    };
    for (const auto& [number, message] : rows) {
        admin().call("FailNext", "GetItemFromID", static_cast<int32_t>(number));
        EXPECT_EQ(openAppointment(id), Variant(message)) << std::hex << number;
    }
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(openAppointment(id), Variant(""));  // each fault fails one call only
}

TEST_F(AppointmentsTest, OpenAppointmentInACalendarAnotherUserShares) {
    admin().call("AddMailbox", "Ann Lee");
    admin().call("Share", "Ann Lee", kCalendar, true);
    Object ann = mapi().getObject("CreateRecipient", "Ann Lee");
    ann.call("Resolve");
    Object annsCalendar = mapi().getObject("GetSharedDefaultFolder", ann, kCalendar);
    savedAppointment(annsCalendar, "Other");
    const std::string id = savedAppointment(annsCalendar, "Ann's review");

    EXPECT_EQ(openAppointment(id + "@Ann Lee"), Variant(""));
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0].title, "Ann's review");
    // The entry id is compared exactly: another case is another id.
    EXPECT_EQ(openAppointment(vb::lCase(id) + "@Ann Lee"), Variant("Appointment ID not found in calendar for 'Ann Lee'"));
    EXPECT_EQ(openAppointment(id + "@Bo \"Quinn\""), Variant("Unable to access user 'Bo \"Quinn\"'"));
    EXPECT_EQ(openAppointment(id + "@Ann@Lee"), Variant("Bad parameter string"));

    admin().call("Share", "Ann Lee", kCalendar, false);
    EXPECT_EQ(openAppointment(id + "@Ann Lee"), Variant("9"));
    EXPECT_EQ(shown().size(), 1u);
}

}  // namespace
}  // namespace lumora
