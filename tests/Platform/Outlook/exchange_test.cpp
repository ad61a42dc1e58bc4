// Files from a person's other programs filled into the store, and the store's folders written
// back out: vCards of two programs' habits, calendars with a time zone and in UTC, a round trip,
// and files that import nothing because part of them is bad.

#include <fstream>
#include <string>

#include "Automation/vb/convert.hpp"
#include "Platform/Outlook/item_properties.hpp"
#include "Platform/Outlook/pim_exchange.hpp"
#include "Platform/Outlook/store_history.hpp"
#include "pim_fixture.hpp"
#include "tests/support/pim_file_reader.hpp"

namespace lumora::pim::tests {
namespace {

using nlohmann::json;
using lumora::testing::readPimFile;

constexpr int32_t kBadFile = static_cast<int32_t>(0x80040606);

// An address-book program's export: vCard 3.0, folded lines, grouped properties, TYPE lists.
constexpr std::string_view kVCard30 =
    "BEGIN:VCARD\r\n"
    "VERSION:3.0\r\n"
    "N:Lee;Ann;Marie;Dr.;\r\n"
    "FN:Dr. Ann Marie Lee\r\n"
    "ORG:Acme\\, Inc.;Sales\r\n"
    "TITLE:Head of Sales\r\n"
    "item1.EMAIL;type=INTERNET;type=pref:ann@acme.example\r\n"
    "item1.X-ABLabel:_$!<Work>!$_\r\n"
    "TEL;type=WORK;type=VOICE;type=pref:+49 30 1234\r\n"
    "TEL;type=CELL;type=VOICE:+49 170 5555\r\n"
    "TEL;type=WORK;type=FAX:+49 30 1235\r\n"
    "ADR;type=WORK;type=pref:;;Hauptstra\xC3\x9F""e 1\\nHinterhaus;Berlin;;10115;Germa\r\n"
    " ny\r\n"
    "NOTE:Met at the fair\\; wants a quote\\nby Friday\r\n"
    "URL;type=WORK:https://acme.example\r\n"
    "BDAY:1985-04-12\r\n"
    "END:VCARD\r\n"
    // An older mail program's card: 2.1 habits, quoted-printable with a soft line break.
    "BEGIN:VCARD\r\n"
    "VERSION:2.1\r\n"
    "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BCller;J=C3=B6rg\r\n"
    "TEL;HOME:030 999\r\n"
    "NOTE;ENCODING=QUOTED-PRINTABLE:Gr=C3=BC=C3=9Fe =\r\n"
    "aus Berlin\r\n"
    "ORG;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:B=E4ckerei\r\n"
    "END:VCARD\r\n";

// A vCard 4.0 as RFC 6350 writes it: a tel: URI, a quoted TYPE list, a birthday without a year.
constexpr std::string_view kVCard40 =
    "BEGIN:VCARD\n"
    "VERSION:4.0\n"
    "FN:Zo\xC3\xAB \xF0\x9F\x8C\xBB Park\n"
    "N:Park;Zo\xC3\xAB;;;\n"
    "TEL;VALUE=uri;TYPE=\"work,voice\":tel:+1-555-0100\n"
    "EMAIL;TYPE=home:zoe@example.org\n"
    "ADR;TYPE=home:;;12 Elm St;Springfield;IL;62701;USA\n"
    "BDAY:--0412\n"
    "END:VCARD\n";

// A calendar program's export: the zone defined in the file, an all-day event and a task.
constexpr std::string_view kCalendarWithZone =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Example Corp//Calendar 9//EN\r\n"
    "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"
    "BEGIN:STANDARD\r\nDTSTART:19701025T030000\r\nRRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\n"
    "TZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nEND:STANDARD\r\n"
    "BEGIN:DAYLIGHT\r\nDTSTART:19700329T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\n"
    "TZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nEND:DAYLIGHT\r\n"
    "END:VTIMEZONE\r\n"
    "BEGIN:VEVENT\r\nUID:1@example\r\nDTSTAMP:20261201T080000Z\r\n"
    "DTSTART;TZID=Europe/Berlin:20261208T100000\r\nDTEND;TZID=Europe/Berlin:20261208T113000\r\n"
    "SUMMARY:Quarterly review\r\nLOCATION:Room 4\\, 2nd floor\r\nDESCRIPTION:Bring the figures\\nand coffee\r\n"
    "END:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:2@example\r\nDTSTAMP:20261201T080000Z\r\n"
    "DTSTART;VALUE=DATE:20261224\r\nSUMMARY:Office closed\r\nEND:VEVENT\r\n"
    "BEGIN:VTODO\r\nUID:3@example\r\nDTSTAMP:20261201T080000Z\r\n"
    "SUMMARY:Send the quote\r\nDUE;VALUE=DATE:20261211\r\nSTATUS:IN-PROCESS\r\nPRIORITY:1\r\n"
    "PERCENT-COMPLETE:40\r\nEND:VTODO\r\n"
    "END:VCALENDAR\r\n";

// A web calendar's export: UTC times and a duration instead of an end.
constexpr std::string_view kCalendarInUtc =
    "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Web Calendar//EN\n"
    "BEGIN:VEVENT\nUID:x@web\nDTSTAMP:20261201T080000Z\nDTSTART:20261208T150000Z\nDURATION:PT45M\n"
    "SUMMARY:Call with Tokyo\nEND:VEVENT\n"
    "END:VCALENDAR\n";

// A calendar of one event at a wall-clock time of a zone the file defines with the parts given.
std::string zonedEvent(std::string_view zoneParts, std::string_view start) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Example Corp//Calendar 9//EN\r\n"
           "BEGIN:VTIMEZONE\r\nTZID:Office\r\n" + std::string(zoneParts) + "END:VTIMEZONE\r\n"
           "BEGIN:VEVENT\r\nUID:z@example\r\nDTSTAMP:20260101T000000Z\r\nDTSTART;TZID=Office:" + std::string(start) +
           "\r\nSUMMARY:Zoned\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

std::string zonePart(std::string_view kind, std::string_view start, std::string_view rule, std::string_view from,
                     std::string_view to) {
    std::string part = "BEGIN:" + std::string(kind) + "\r\nDTSTART:" + std::string(start) + "\r\n";
    if (!rule.empty()) part += "RRULE:" + std::string(rule) + "\r\n";
    return part + "TZOFFSETFROM:" + std::string(from) + "\r\nTZOFFSETTO:" + std::string(to) + "\r\nEND:" +
           std::string(kind) + "\r\n";
}

// Central Europe's rules since 1996 as calendar programs write them, from the year given.
std::string centralEurope(std::string_view firstYear, std::string_view count = "") {
    return zonePart("STANDARD", std::string(firstYear) + "1027T030000",
                    "FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU" + std::string(count), "+0200", "+0100") +
           zonePart("DAYLIGHT", std::string(firstYear) + "0329T020000",
                    "FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU" + std::string(count), "+0100", "+0200");
}

// Local time for these tests is Tokyo's (UTC+9, no summer time), so every conversion shows.
class ExchangeTest : public PimTest {
protected:
    std::filesystem::path write(const std::string& name, std::string_view text) {
        const std::filesystem::path file = m_data.path() / name;
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }
    ImportCounts import(std::string_view text) {
        PimStore pim = store();
        return importFile(pim, write("in.txt", text));
    }
    Object item(FolderType type, int32_t position) {
        return defaultFolder(static_cast<int32_t>(type)).getObject("Items").getObject("Item", position);
    }
    int32_t count(FolderType type) {
        return defaultFolder(static_cast<int32_t>(type)).getObject("Items").get("Count").toI4();
    }
    static std::string when(const Variant& date) { return vb::formatDate(date.toDate(), "yyyy-MM-dd HH:mm"); }

    ScopedTimeZone m_zone{"Asia/Tokyo"};
};

TEST_F(ExchangeTest, VCardsOfTwoProgramsKeepTheirFields) {
    ImportCounts counts = import(kVCard30);
    EXPECT_EQ(counts.contacts, 2);
    Object ann = item(FolderType::Contacts, 1);
    EXPECT_EQ(ann.get("LastName"), Variant("Lee"));
    EXPECT_EQ(ann.get("MiddleName"), Variant("Marie"));
    EXPECT_EQ(ann.get("Title"), Variant("Dr."));
    EXPECT_EQ(ann.get("FullName"), Variant("Dr. Ann Marie Lee"));
    EXPECT_EQ(ann.get("CompanyName"), Variant("Acme, Inc."));
    EXPECT_EQ(ann.get("Department"), Variant("Sales"));
    EXPECT_EQ(ann.get("JobTitle"), Variant("Head of Sales"));
    EXPECT_EQ(ann.get("Email1Address"), Variant("ann@acme.example"));
    EXPECT_EQ(ann.get("BusinessTelephoneNumber"), Variant("+49 30 1234"));
    EXPECT_EQ(ann.get("MobileTelephoneNumber"), Variant("+49 170 5555"));
    EXPECT_EQ(ann.get("BusinessFaxNumber"), Variant("+49 30 1235"));
    EXPECT_EQ(ann.get("BusinessAddressStreet"), Variant("Hauptstra\xC3\x9F""e 1\r\nHinterhaus"));
    EXPECT_EQ(ann.get("BusinessAddressCountry"), Variant("Germany"));  // a folded line
    EXPECT_EQ(ann.get("Body"), Variant("Met at the fair; wants a quote\r\nby Friday"));
    EXPECT_EQ(ann.get("BusinessHomePage"), Variant("https://acme.example"));
    EXPECT_EQ(when(ann.get("Birthday")), "1985-04-12 00:00");
    Object joerg = item(FolderType::Contacts, 2);
    EXPECT_EQ(joerg.get("LastName"), Variant("M\xC3\xBCller"));
    EXPECT_EQ(joerg.get("FirstName"), Variant("J\xC3\xB6rg"));
    EXPECT_EQ(joerg.get("HomeTelephoneNumber"), Variant("030 999"));
    EXPECT_EQ(joerg.get("Body"), Variant("Gr\xC3\xBC\xC3\x9F""e aus Berlin"));
    EXPECT_EQ(joerg.get("CompanyName"), Variant("B\xC3\xA4""ckerei"));  // Latin-1 read as such

    import(kVCard40);
    Object zoe = item(FolderType::Contacts, 3);
    EXPECT_EQ(zoe.get("FullName"), Variant("Zo\xC3\xAB \xF0\x9F\x8C\xBB Park"));
    EXPECT_EQ(zoe.get("BusinessTelephoneNumber"), Variant("+1-555-0100"));
    EXPECT_EQ(zoe.get("Email1Address"), Variant("zoe@example.org"));
    EXPECT_EQ(zoe.get("HomeAddressPostalCode"), Variant("62701"));
    EXPECT_EQ(zoe.get("Birthday"), Variant(kNoDate));  // no year: no date the field can hold
}

TEST_F(ExchangeTest, ZonedAndUtcTimesBecomeLocalTime) {
    ImportCounts counts = import(kCalendarWithZone);
    EXPECT_EQ(counts.appointments, 2);
    EXPECT_EQ(counts.tasks, 1);
    Object review = item(FolderType::Calendar, 1);
    EXPECT_EQ(review.get("Subject"), Variant("Quarterly review"));
    EXPECT_EQ(review.get("Location"), Variant("Room 4, 2nd floor"));
    EXPECT_EQ(review.get("Body"), Variant("Bring the figures\nand coffee"));
    EXPECT_EQ(when(review.get("Start")), "2026-12-08 18:00");  // 10:00 in Berlin
    EXPECT_EQ(when(review.get("End")), "2026-12-08 19:30");
    Object closed = item(FolderType::Calendar, 2);
    EXPECT_EQ(closed.get("AllDayEvent"), Variant(true));
    EXPECT_EQ(when(closed.get("Start")), "2026-12-24 00:00");
    EXPECT_EQ(when(closed.get("End")), "2026-12-25 00:00");
    Object task = item(FolderType::Tasks, 1);
    EXPECT_EQ(task.get("Subject"), Variant("Send the quote"));
    EXPECT_EQ(when(task.get("DueDate")), "2026-12-11 00:00");
    EXPECT_EQ(task.get("Status"), Variant(int32_t{1}));
    EXPECT_EQ(task.get("Importance"), Variant(int32_t{2}));
    EXPECT_EQ(task.get("PercentComplete"), Variant(int32_t{40}));

    import(kCalendarInUtc);
    Object call = item(FolderType::Calendar, 3);
    EXPECT_EQ(when(call.get("Start")), "2026-12-09 00:00");  // 15:00 UTC
    EXPECT_EQ(when(call.get("End")), "2026-12-09 00:45");
}

TEST_F(ExchangeTest, AnExportReadBackGivesTheSameItemsUidsAndZone) {
    import(kVCard30);
    import(kVCard40);
    import(kCalendarWithZone);
    PimStore pim = store();
    EXPECT_EQ(exportFolder(pim, ExportKind::Contacts, m_data.path() / "out.vcf"), 3);
    EXPECT_EQ(exportFolder(pim, ExportKind::Calendar, m_data.path() / "out.ics"), 2);
    EXPECT_EQ(exportFolder(pim, ExportKind::Tasks, m_data.path() / "tasks.ics"), 1);

    lumora::tests::TempFolder other;
    PimStore copy(other.path());
    EXPECT_EQ(importFile(copy, m_data.path() / "out.vcf").contacts, 3);
    EXPECT_EQ(importFile(copy, m_data.path() / "out.ics").appointments, 2);
    EXPECT_EQ(importFile(copy, m_data.path() / "tasks.ics").tasks, 1);
    for (FolderType type : {FolderType::Contacts, FolderType::Calendar, FolderType::Tasks}) {
        const std::vector<int64_t>& originals = pim.itemIds(pim.defaultFolder(pim.currentMailbox().id, type).id);
        const std::vector<int64_t>& copies = copy.itemIds(copy.defaultFolder(copy.currentMailbox().id, type).id);
        ASSERT_EQ(originals.size(), copies.size());
        for (size_t i = 0; i < originals.size(); ++i) {
            ItemRecord original = pim.loadItem(originals[i]);
            ItemRecord back = copy.loadItem(copies[i]);
            EXPECT_EQ(back.uid, original.uid);
            for (const auto& [name, value] : original.values) {
                ASSERT_TRUE(back.values.contains(name)) << name;
                EXPECT_EQ(back.values.at(name), value) << name;
            }
        }
    }
    // The files name the person's zone, and the copy writes them as the store did.
    const std::string calendar = readFile(m_data.path() / "out.ics");
    EXPECT_NE(calendar.find("DTSTART;TZID=Asia/Tokyo:20261208T180000\r\n"), std::string::npos) << calendar;
    EXPECT_NE(calendar.find("DTSTART;VALUE=DATE:20261224\r\n"), std::string::npos);
    EXPECT_NE(calendar.find("UID:1@example\r\n"), std::string::npos);
    exportFolder(copy, ExportKind::Calendar, m_data.path() / "again.ics");
    exportFolder(copy, ExportKind::Contacts, m_data.path() / "again.vcf");
    EXPECT_EQ(readFile(m_data.path() / "again.ics"), calendar);  // the same clock stamps both
    EXPECT_EQ(readFile(m_data.path() / "again.vcf"), readFile(m_data.path() / "out.vcf"));
}

TEST_F(ExchangeTest, ImportingAFileAgainUpdatesItsItemsInPlace) {
    ImportCounts first = import(kCalendarWithZone);
    EXPECT_EQ(first.created, 3);
    EXPECT_EQ(first.updated, 0);
    // The CRM marks the review: a User field and a user property.
    Object review = item(FolderType::Calendar, 1);
    const Variant entryId = review.get("EntryID");
    review.put("Categories", "CRM");
    review.getObject("UserProperties").getObject("Add", "ACID", 1, true).putValue(Variant("A-17"));
    review.call("Save");

    // The other program moved the review to 11:00 and dropped its location.
    std::string moved(kCalendarWithZone);
    moved.replace(moved.find("20261208T100000"), 15, "20261208T110000");
    moved.erase(moved.find("LOCATION:"), moved.find("DESCRIPTION:") - moved.find("LOCATION:"));
    ImportCounts again = import(moved);
    EXPECT_EQ(again.created, 0);
    EXPECT_EQ(again.updated, 3);
    EXPECT_EQ(again.total(), 3);
    EXPECT_EQ(count(FolderType::Calendar), 2);
    EXPECT_EQ(count(FolderType::Tasks), 1);
    review = item(FolderType::Calendar, 1);
    EXPECT_EQ(review.get("EntryID"), entryId);
    EXPECT_EQ(when(review.get("Start")), "2026-12-08 19:00");
    EXPECT_EQ(review.get("Location"), Variant(""));
    EXPECT_EQ(review.get("Categories"), Variant("CRM"));
    EXPECT_EQ(review.getObject("UserProperties").getObject("Find", "ACID").value(), Variant("A-17"));
    {
        // The update is history like any change: undone, the review is back where it was.
        PimStore pim = store();
        EXPECT_EQ(undoEntry(pim, listHistory(pim, {}).front().id, false).putBack, 1);  // the others read the same
        EXPECT_EQ(when(item(FolderType::Calendar, 1).get("Start")), "2026-12-08 18:00");
        EXPECT_EQ(item(FolderType::Calendar, 1).get("Location"), Variant("Room 4, 2nd floor"));
        import(moved);
    }

    // An item in Deleted Items is no longer the one the file names: the file makes it anew.
    review.call("Delete");
    EXPECT_EQ(import(moved).created, 1);
    EXPECT_EQ(count(FolderType::Calendar), 2);

    // Cards: one without a UID is new each time and gets one; one UID twice updates two contacts.
    const std::string cards =
        "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:No Uid\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:urn:uuid:1\r\nFN:Twin A\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:urn:uuid:1\r\nFN:Twin B\r\nEND:VCARD\r\n";
    EXPECT_EQ(import(cards).created, 3);
    Object marked = item(FolderType::Contacts, 3);
    marked.put("User1", "Lumora");
    marked.call("Save");
    ImportCounts cardsAgain = import(cards);
    EXPECT_EQ(cardsAgain.created, 1);
    EXPECT_EQ(cardsAgain.updated, 2);
    EXPECT_EQ(count(FolderType::Contacts), 4);
    EXPECT_EQ(item(FolderType::Contacts, 3).get("FullName"), Variant("Twin B"));
    EXPECT_EQ(item(FolderType::Contacts, 3).get("User1"), Variant("Lumora"));
    PimStore pim = store();
    EXPECT_FALSE(pim.loadItem(pim.itemIds(pim.defaultFolder(pim.currentMailbox().id, FolderType::Contacts).id)[0]).uid.empty());
}

TEST_F(ExchangeTest, AUidThatIsNoUriIsWrittenAsTextAndStartsNoLine) {
    import("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:42\\nEND:VCARD\r\nFN:Ann\r\nEND:VCARD\r\n");
    PimStore pim = store();
    exportFolder(pim, ExportKind::Contacts, m_data.path() / "out.vcf");
    const std::string card = readFile(m_data.path() / "out.vcf");
    EXPECT_NE(card.find("\r\nUID;VALUE=text:42\\nEND:VCARD\r\nFN:Ann\r\n"), std::string::npos) << card;
    const ImportCounts again = importFile(pim, m_data.path() / "out.vcf");
    EXPECT_EQ(again.updated, 1);
    EXPECT_EQ(again.created, 0);
}

TEST_F(ExchangeTest, AnEventInUtcComesBackAtItsInstantInThePersonsZone) {
    ScopedTimeZone berlin("Europe/Berlin");
    import("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Web Calendar//EN\r\nBEGIN:VEVENT\r\nUID:u@web\r\n"
           "DTSTAMP:20261201T080000Z\r\nDTSTART:20261208T090000Z\r\nDTEND:20261208T093000Z\r\nSUMMARY:Standup\r\n"
           "END:VEVENT\r\nEND:VCALENDAR\r\n");
    EXPECT_EQ(when(item(FolderType::Calendar, 1).get("Start")), "2026-12-08 10:00");
    PimStore pim = store();
    exportFolder(pim, ExportKind::Calendar, m_data.path() / "out.ics");
    EXPECT_NE(readFile(m_data.path() / "out.ics").find("DTSTART;TZID=Europe/Berlin:20261208T100000\r\n"), std::string::npos);
    const json read = readPimFile(m_data.path() / "out.ics");
    EXPECT_EQ(read["timezones"], json::array({"Europe/Berlin"}));
    for (const char* parser : {"icalendar", "vobject"}) {
        EXPECT_EQ(read[parser][0]["dtstart"]["utc"], "2026-12-08T09:00:00Z") << parser;
        EXPECT_EQ(read[parser][0]["dtend"]["utc"], "2026-12-08T09:30:00Z") << parser;
    }
    // Read back by this store's own reader, through the zone the file defines.
    lumora::tests::TempFolder other;
    PimStore copy(other.path());
    importFile(copy, m_data.path() / "out.ics");
    const ItemRecord back = copy.loadItem(copy.itemIds(copy.defaultFolder(copy.currentMailbox().id, FolderType::Calendar).id)[0]);
    EXPECT_EQ(when(back.values.at("Start")), "2026-12-08 10:00");
}

TEST_F(ExchangeTest, ABadPartOfAFileImportsNothing) {
    std::string unfinished(kVCard30);
    unfinished += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Half\r\n";
    EXPECT_AUTOMATION_ERROR(import(unfinished), kBadFile);
    std::string noStart(kCalendarWithZone);
    noStart.insert(noStart.rfind("END:VCALENDAR"), "BEGIN:VEVENT\r\nSUMMARY:When?\r\nDTSTART:soon\r\nEND:VEVENT\r\n");
    EXPECT_AUTOMATION_ERROR(import(noStart), kBadFile);
    EXPECT_AUTOMATION_ERROR(import("Name,Email\r\nAnn,ann@example.com\r\n"), kBadFile);
    EXPECT_AUTOMATION_ERROR(import(""), kBadFile);
    EXPECT_AUTOMATION_ERROR(import("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n"), kBadFile);
    // Dates libical reads without a complaint but no date field can hold.
    const std::pair<std::string, std::string> noDates[] = {
        {"DTSTART:20261208T100000\r\nDTEND:09448451T110000Z\r\n", "event 1: its end"},
        {"DTSTART:20261345T100000\r\n", "event 1: its start"},
        {"DTSTART;VALUE=DATE:00500101\r\n", "event 1: its start"},
    };
    for (const auto& [times, refusal] : noDates) {
        try {
            import("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n" + times + "END:VEVENT\r\nEND:VCALENDAR\r\n");
            ADD_FAILURE() << times;
        } catch (const Error& e) {
            EXPECT_EQ(e.description(), "The file cannot be imported; nothing was imported: " + refusal +
                                           " is no date between the years 100 and 9999");
        }
    }
    EXPECT_AUTOMATION_ERROR(import("BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nDUE:99991231T235959Z\r\nEND:VTODO\r\nEND:VCALENDAR\r\n"),
                            kBadFile);  // past the last day in Tokyo
    // Nested some hundred thousand deep, a calendar would overflow the stack as it is freed.
    std::string deep = "BEGIN:VCALENDAR\r\n";
    for (int i = 0; i < 400'000; ++i) deep += "BEGIN:VEVENT\r\n";
    for (int i = 0; i < 400'000; ++i) deep += "END:VEVENT\r\n";
    deep += "END:VCALENDAR\r\n";
    ASSERT_LT(deep.size(), kMaxImportBytes);
    EXPECT_AUTOMATION_ERROR(import(deep), kBadFile);
    EXPECT_EQ(count(FolderType::Contacts), 0);
    EXPECT_EQ(count(FolderType::Calendar), 0);
    EXPECT_EQ(count(FolderType::Tasks), 0);

    std::string huge = "BEGIN:VCARD\r\nNOTE:" + std::string(kMaxImportBytes, 'x') + "\r\nEND:VCARD\r\n";
    EXPECT_AUTOMATION_ERROR(import(huge), 0x80040607);
    PimStore pim = store();
    EXPECT_AUTOMATION_ERROR(importFile(pim, m_data.path()), kBadFile);  // a folder
}

TEST_F(ExchangeTest, AZoneOfTheFileGivesItsOffsetAtEachTimeOfTheYear) {
    struct Case {
        std::string zone;
        std::string start;
        std::string tokyo;
    };
    const std::string us = zonePart("DAYLIGHT", "19870405T020000", "FREQ=YEARLY;BYMONTH=4;BYDAY=1SU;UNTIL=20060402T070000Z",
                                    "-0500", "-0400") +
                           zonePart("STANDARD", "19671029T020000", "FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU;UNTIL=20061029T060000Z",
                                    "-0400", "-0500") +
                           zonePart("DAYLIGHT", "20070311T020000", "FREQ=YEARLY;BYMONTH=3;BYDAY=2SU", "-0500", "-0400") +
                           zonePart("STANDARD", "20071104T020000", "FREQ=YEARLY;BYMONTH=11;BYDAY=1SU", "-0400", "-0500");
    // Changes listed by date rather than by rule, as some programs write them.
    const std::string dated =
        zonePart("STANDARD", "19700101T000000", "", "+0100", "+0100") +
        "BEGIN:DAYLIGHT\r\nDTSTART:20260329T020000\r\nRDATE:20270328T020000\r\nTZOFFSETFROM:+0100\r\n"
        "TZOFFSETTO:+0200\r\nEND:DAYLIGHT\r\n"
        "BEGIN:STANDARD\r\nDTSTART:20261025T030000\r\nRDATE:20271031T030000\r\nTZOFFSETFROM:+0200\r\n"
        "TZOFFSETTO:+0100\r\nEND:STANDARD\r\n";
    const Case cases[] = {
        {centralEurope("1970"), "20260708T100000", "2026-07-08 17:00"},  // summer time, UTC+2
        {centralEurope("1970"), "20260329T013000", "2026-03-29 09:30"},  // the last half hour of winter time
        {centralEurope("1970"), "20260329T033000", "2026-03-29 10:30"},  // the first of summer time
        {centralEurope("1970"), "20261025T023000", "2026-10-25 10:30"},  // an hour the clocks repeat: the later one
        {centralEurope("1601"), "20260708T100000", "2026-07-08 17:00"},
        {centralEurope("1601"), "20260115T100000", "2026-01-15 18:00"},
        {centralEurope("1601", ";COUNT=1000"), "20260708T100000", "2026-07-08 17:00"},
        {centralEurope("1970"), "21000708T100000", "2100-07-08 17:00"},
        {centralEurope("1970"), "26000708T100000", "2600-07-08 17:00"},  // past the years libical counts in
        {centralEurope("1970"), "26001208T100000", "2600-12-08 18:00"},
        {centralEurope("1970"), "19600708T100000", "1960-07-08 18:00"},  // before the first change: its offset from
        {us, "20060401T120000", "2006-04-02 02:00"},  // the old rule: summer time starts on 2 April 2006
        {us, "20060403T120000", "2006-04-04 01:00"},
        {us, "20070320T120000", "2007-03-21 01:00"},  // the new one: on 11 March 2007
        {dated, "20270110T100000", "2027-01-10 18:00"},
        {dated, "20270708T100000", "2027-07-08 17:00"},
        {dated, "20271208T100000", "2027-12-08 18:00"},
        {zonePart("STANDARD", "16010101T000000", "FREQ=DAILY", "+0100", "+0100"), "20260708T100000", "2026-07-08 18:00"},
        {zonePart("STANDARD", "16010101T000000", "", "+0530", "+0530"), "20260708T100000", "2026-07-08 13:30"},
        // A rule that never occurs (no month has a second-to-last 31st): libical searched
        // centuries for its first occurrence each time it was asked.
        {zonePart("STANDARD", "16010101T000000", "", "+0100", "+0100") +
             zonePart("DAYLIGHT", "16010102T000000", "FREQ=MONTHLY;BYMONTHDAY=31;BYSETPOS=-2", "+0100", "+0200"),
         "20260708T100000", "2026-07-08 17:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        ASSERT_EQ(import(zonedEvent(c.zone, c.start)).appointments, 1);
        EXPECT_EQ(when(item(FolderType::Calendar, count(FolderType::Calendar)).get("Start")), c.tokyo);
    }
}

TEST_F(ExchangeTest, AZoneThatChangesMoreOftenThanDailyImportsNothing) {
    const std::string fast[] = {"FREQ=SECONDLY", "FREQ=MINUTELY", "FREQ=HOURLY", "FREQ=DAILY;BYHOUR=1,13",
                                "FREQ=YEARLY;BYMINUTE=0,30"};
    for (const std::string& rule : fast) {
        SCOPED_TRACE(rule);
        const std::string file = zonedEvent(zonePart("STANDARD", "16010101T000000", rule, "+0100", "+0100"),
                                            "20260301T100000");
        EXPECT_LT(file.size(), 512u);
        try {
            import(file);
            ADD_FAILURE() << "imported";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), kBadFile);
            EXPECT_EQ(e.description(), "The file cannot be imported; nothing was imported: time zone Office: its "
                                       "STANDARD rule repeats more often than daily");
        }
    }
    // A zone no time uses is refused all the same, and so is a part that starts on no date.
    std::string unused(kCalendarInUtc);
    unused.insert(unused.find("BEGIN:VEVENT"), "BEGIN:VTIMEZONE\nTZID:Unused\n" +
                                                   zonePart("DAYLIGHT", "19700101T000000", "FREQ=MINUTELY", "+0100", "+0200") +
                                                   "END:VTIMEZONE\n");
    EXPECT_AUTOMATION_ERROR(import(unused), kBadFile);
    EXPECT_AUTOMATION_ERROR(import(zonedEvent(zonePart("STANDARD", "16010229T000000", "FREQ=YEARLY", "+0100", "+0100"),
                                              "20260301T100000")),
                            kBadFile);
    EXPECT_EQ(count(FolderType::Calendar), 0);
}

}  // namespace
}  // namespace lumora::pim::tests
