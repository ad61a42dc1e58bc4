// Displayed items outside a page: the files a person's mail, calendar and address programs open,
// written whole to the Lumora documents folder under names that no subject can turn into a path.
// Calendars and vCards are read back by Debian's python3-icalendar and python3-vobject.

#include <fstream>
#include <string>

#include "pim_fixture.hpp"
#include "tests/support/pim_file_reader.hpp"

namespace lumora::pim::tests {
namespace {

using nlohmann::json;
using lumora::testing::readPimFile;

class ItemFilesTest : public PimTest {
protected:
    std::filesystem::path documents() const { return m_data.path() / "documents"; }
    std::filesystem::path displayed(Object item) {
        item.call("Display");
        const auto& shown = m_desktop.transcript().shown;
        return shown.empty() ? std::filesystem::path() : shown.back().file;
    }
};

TEST_F(ItemFilesTest, AMailBecomesAnUnsentDraftWithItsBccAndAttachments) {
    std::filesystem::create_directories(m_data.path() / "in");
    std::ofstream(m_data.path() / "in" / "quote.pdf", std::ios::binary) << std::string("%PDF\0\x01\xff", 7);
    Object mail = outlook().getObject("CreateItem", 0);
    mail.put("Subject", "Your quote – Q-17");
    mail.put("HTMLBody", "<html><body><p>Dear customer</p></body></html>");
    mail.put("BCC", "ann@example.com;bo@example.com;");
    mail.getObject("Recipients").call("Add", "ENTER THE E-MAIL ADDRESS OF THE RECIPIENT OF THE QUOTE HERE");
    mail.getObject("Attachments").call("Add", (m_data.path() / "in" / "quote.pdf").string());

    const std::filesystem::path file = displayed(mail);
    EXPECT_EQ(file, documents() / "Your quote – Q-17.eml");
    const std::string draft = readFile(file);
    EXPECT_NE(draft.find("X-Unsent: 1\r\n"), std::string::npos);
    EXPECT_NE(draft.find("Bcc: ann@example.com, bo@example.com\r\n"), std::string::npos) << draft;
    EXPECT_NE(draft.find("To: ENTER THE E-MAIL ADDRESS OF THE RECIPIENT OF THE QUOTE HERE: ;\r\n"), std::string::npos) << draft;
    EXPECT_NE(draft.find("Subject: Your quote =?UTF-8?B?4oCT?= Q-17\r\n"), std::string::npos);  // the dash encoded
    EXPECT_NE(draft.find("Content-Type: text/html"), std::string::npos);
    EXPECT_NE(draft.find("filename=quote.pdf"), std::string::npos);
    EXPECT_NE(draft.find("JVBERgAB/w=="), std::string::npos);  // the attachment's bytes, base64
    EXPECT_NE(m_desktop.transcript().shown.back().detail.find("\nBCC: ann@example.com; bo@example.com\n"), std::string::npos);
    // Displaying is not saving.
    EXPECT_TRUE(store().itemIds(store().defaultFolder(store().currentMailbox().id, FolderType::Drafts).id).empty());
}

TEST_F(ItemFilesTest, ALineBreakInASubjectOrNameStartsNoHeaderOfItsOwn) {
    Object mail = outlook().getObject("CreateItem", 0);
    mail.put("Subject", "Hello\r\nBcc: everyone@example.com");
    mail.getObject("Recipients").call("Add", "Ann\r\nX-Injected: 1 <ann@example.com>");
    const std::string draft = readFile(displayed(mail));
    EXPECT_EQ(draft.find("\r\nBcc:"), std::string::npos) << draft;
    EXPECT_EQ(draft.find("\r\nX-Injected:"), std::string::npos) << draft;
    EXPECT_NE(draft.find("ann@example.com"), std::string::npos);
}

TEST_F(ItemFilesTest, NamesComeFromTheSubjectStayInTheDocumentsFolderAndNeverReplaceAFile) {
    Object mail = outlook().getObject("CreateItem", 0);
    mail.put("Subject", "../../etc/passwd");
    EXPECT_EQ(displayed(mail), documents() / "_.._etc_passwd.eml");
    mail.put("Subject", "Offer");
    EXPECT_EQ(displayed(mail), documents() / "Offer.eml");
    EXPECT_EQ(displayed(mail), documents() / "Offer (2).eml");
    mail.put("Subject", " ..  ");
    EXPECT_EQ(displayed(mail), documents() / "Untitled.eml");
    mail.put("Subject", std::string(200, 'x') + "\xF0\x9F\x98\x80");
    EXPECT_EQ(displayed(mail).filename(), std::string(80, 'x') + ".eml");
    for (const auto& entry : std::filesystem::directory_iterator(documents()))
        EXPECT_NE(entry.path().filename().string().front(), '.') << "a scratch file was left: " << entry.path();
}

TEST_F(ItemFilesTest, AnAppointmentBecomesAnIcsAndAContactAVcard) {
    ScopedTimeZone berlin("Europe/Berlin");
    Object appointment = outlook().getObject("CreateItem", 1);
    appointment.put("Subject", "Site visit");
    appointment.put("Location", "Dock 3; gate B");
    appointment.put("Start", Date{46364.4166666667});  // 2026-12-08 10:00
    appointment.put("End", Date{46364.5});
    const std::string ics = readFile(displayed(appointment));
    EXPECT_NE(ics.find("BEGIN:VEVENT\r\n"), std::string::npos);
    EXPECT_NE(ics.find("SUMMARY:Site visit\r\n"), std::string::npos);
    EXPECT_NE(ics.find("LOCATION:Dock 3\\; gate B\r\n"), std::string::npos) << ics;
    EXPECT_NE(ics.find("DTSTART;TZID=Europe/Berlin:20261208T100000\r\n"), std::string::npos) << ics;
    EXPECT_NE(ics.find("DTEND;TZID=Europe/Berlin:20261208T120000\r\n"), std::string::npos);
    EXPECT_NE(ics.find("BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"), std::string::npos);

    Object contact = outlook().getObject("CreateItem", 2);
    contact.put("FirstName", "Ann");
    contact.put("LastName", "Lee");
    const std::filesystem::path card = displayed(contact);
    EXPECT_EQ(card.filename(), "Ann Lee.vcf");
    EXPECT_NE(readFile(card).find("N:Lee;Ann;;;\r\n"), std::string::npos);
}

// The case a calendar program could not place: an appointment shown before its first save had
// neither identity nor start, so each opening made another event.
TEST_F(ItemFilesTest, ANewAppointmentShownUnsavedHasItsUidAndTheNextHalfHour) {
    ScopedTimeZone berlin("Europe/Berlin");  // the clock reads 09:10 there, 08:10 UTC
    Object appointment = outlook().getObject("CreateItem", 1);
    const json read = readPimFile(displayed(appointment));
    for (const char* parser : {"icalendar", "vobject"}) {
        SCOPED_TRACE(parser);
        ASSERT_EQ(read[parser].size(), 1u) << read;
        const json& event = read[parser][0];
        EXPECT_EQ(event["uid"].get<std::string>().size(), 36u);  // a UUID
        EXPECT_EQ(event["dtstart"]["utc"], "2026-12-08T08:30:00Z");
        EXPECT_EQ(event["dtend"]["utc"], "2026-12-08T09:00:00Z");
        EXPECT_EQ(event["dtstamp"]["utc"], "2026-12-08T08:10:00Z");  // the Desktop clock's, not the system's
    }
    EXPECT_EQ(read["icalendar"][0]["dtstart"]["tzid"], "Europe/Berlin");
    EXPECT_EQ(read["timezones"], json::array({"Europe/Berlin"}));
    // Shown again after its save, it is the same event.
    const std::string entryId = appointment.get("EntryID").toString();
    appointment.call("Save");
    EXPECT_EQ(appointment.get("EntryID"), Variant(entryId));
    EXPECT_EQ(readPimFile(displayed(appointment))["icalendar"][0]["uid"], read["icalendar"][0]["uid"]);
}

TEST_F(ItemFilesTest, TimesAreWrittenInUtcWhereTheZoneIsUtcOrHasNoName) {
    Object appointment = outlook().getObject("CreateItem", 1);
    // A zone given by its rules alone, which no calendar program could look up by name.
    for (const char* zone : {"UTC", "Etc/UTC", "CET-1CEST,M3.5.0,M10.5.0/3"}) {
        SCOPED_TRACE(zone);
        ScopedTimeZone scoped(zone);
        const std::string ics = readFile(displayed(appointment));
        EXPECT_EQ(ics.find("VTIMEZONE"), std::string::npos);
        const json event = readPimFile(displayed(appointment))["icalendar"][0];
        const bool utc = std::string(zone).find("UTC") != std::string::npos;
        EXPECT_EQ(event["dtstart"]["value"], utc ? "2026-12-08T09:30:00+00:00" : "2026-12-08T08:30:00+00:00");
    }
}

TEST_F(ItemFilesTest, TasksAllDayEventsAndAContactOfAnAddressAloneReadInDebiansParsers) {
    ScopedTimeZone berlin("Europe/Berlin");
    Object task = outlook().getObject("CreateItem", 3);
    task.put("Subject", "Call back");
    task.put("DueDate", civilDate(2026, 7, 8, 15, 0));  // summer time: UTC+2
    json read = readPimFile(displayed(task));
    EXPECT_EQ(read["icalendar"][0]["due"]["utc"], "2026-07-08T13:00:00Z");
    EXPECT_EQ(read["vobject"][0]["due"]["utc"], "2026-07-08T13:00:00Z");

    Object holiday = outlook().getObject("CreateItem", 1);
    holiday.put("AllDayEvent", true);
    holiday.put("Start", civilDate(2026, 12, 24));
    holiday.put("End", civilDate(2026, 12, 25));
    const std::filesystem::path file = displayed(holiday);
    EXPECT_NE(readFile(file).find("DTSTART;VALUE=DATE:20261224\r\n"), std::string::npos);
    EXPECT_EQ(readFile(file).find("VTIMEZONE"), std::string::npos);  // no time names the zone
    read = readPimFile(file);
    EXPECT_EQ(read["icalendar"][0]["dtstart"]["value"], "2026-12-24");
    EXPECT_EQ(read["vobject"][0]["dtend"]["value"], "2026-12-25");

    // RFC 6350 requires a formatted name; a phone's types are two, not one "work,voice".
    Object contact = outlook().getObject("CreateItem", 2);
    contact.put("Email1Address", "ann@example.com");
    contact.put("BusinessTelephoneNumber", "+49 30 1234");
    const json card = readPimFile(displayed(contact))["vobject"][0];
    EXPECT_EQ(card["fn"], "ann@example.com");
    EXPECT_EQ(card["uid"].get<std::string>().rfind("urn:uuid:", 0), 0u);
    EXPECT_EQ(card["tel"], json::array({{{"value", "+49 30 1234"}, {"types", {"work", "voice"}}}}));
    contact.put("CompanyName", "Acme");
    EXPECT_EQ(readPimFile(displayed(contact))["vobject"][0]["fn"], "Acme");
}

}  // namespace
}  // namespace lumora::pim::tests
